#include "quarzklassen/kern/quarz_log.h"

#include <concurrentqueue/concurrentqueue.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/textkodierung.h"
#include "quarzklassen/kern/quarz_konsolebasisanzeige.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"

struct Quarz_Log::Warteschlange : moodycamel::ConcurrentQueue<std::string> {
  Warteschlange() : moodycamel::ConcurrentQueue<std::string>(256) {}
};

constinit Quarz_Log gLog;

namespace {

// The formatting buffer: 1998 bytes hold the line and its terminator, two more leave room
// for the newline that closes a cut line.
constexpr size_t PufferGroesse = 2000;
constexpr size_t FormatGrenze = Quarz_Log::MaxZeilenLaenge + 1;
constexpr size_t StapelMax = 20;

// Length of text[0, laenge) without a UTF-8 sequence that the cut left incomplete at its end.
size_t OhneAngeschnittenesZeichen(const char* text, size_t laenge) {
  size_t start = laenge;
  // Step back over at most three continuation bytes to the lead byte of the last sequence.
  for (int i = 0; i < 4 && start > 0; ++i) {
    --start;
    const unsigned char c = static_cast<unsigned char>(text[start]);
    if ((c & 0xC0) != 0x80) {
      // A byte that starts no sequence stands alone.
      const size_t noetig = std::max<size_t>(Utf8Laenge(c), 1);
      return start + noetig > laenge ? start : laenge;
    }
  }
  return laenge;  // no lead byte found: not UTF-8 we could repair, keep the bytes
}

}  // namespace

Quarz_Log::~Quarz_Log() {
  // Process exit: stop accepting lines and free the queue. Lines still queued are not written
  // out here: the console variables and the display may already be gone.
  mGestartet.store(false, std::memory_order_release);
  delete mWarteschlange.exchange(nullptr);
}

uint16_t Quarz_Log::ThreadKennung(uint32_t threadId) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (int i = 0; i < 4; ++i) {
    h ^= (threadId >> (8 * i)) & 0xFFu;
    h *= 0x100000001b3ull;
  }
  return static_cast<uint16_t>(h & 0xFFFFu);
}

void Quarz_Log::Schreibe(const char* format, ...) {
  va_list argumente;
  va_start(argumente, format);
  SchreibeV(format, argumente);
  va_end(argumente);
}

void Quarz_Log::SchreibeDebug(const char* format, ...) {
  // Before the log runs, t_debug may not even be constructed yet; the line would be dropped.
  if (!IstGestartet() || !t_debug.mBool.load(std::memory_order_relaxed)) return;
  va_list argumente;
  va_start(argumente, format);
  SchreibeV(format, argumente);
  va_end(argumente);
}

void Quarz_Log::SchreibeV(const char* format, va_list argumente) {
  if (!IstGestartet()) return;  // the line would be dropped anyway: skip the formatting

  long long mikro = 0;
  if (gTimerFrequenzD != 0.0) {
    const int64_t spanne = Plattform::LeistungsZaehler() - mStartZaehler;
    mikro = static_cast<long long>(static_cast<double>(spanne) * gTimerKehrwertD * 1000000.0);
  }
  const long long sekunden = mikro / 1000000;
  const long long rest = mikro - sekunden * 1000000;

  char puffer[PufferGroesse];
  int n = std::snprintf(puffer, FormatGrenze, "%04lld:%06lld (t%04x): ", sekunden, rest,
                        static_cast<unsigned>(ThreadKennung(Plattform::ThreadId())));
  size_t laenge = n < 0 ? 0 : (static_cast<size_t>(n) < FormatGrenze ? n : FormatGrenze - 1);
  puffer[laenge] = '\0';

  const int m = std::vsnprintf(puffer + laenge, FormatGrenze - laenge, format, argumente);
  if (m < 0) {
    puffer[laenge] = '\0';  // the message cannot be formatted: the prefix alone stands
  } else if (static_cast<size_t>(m) >= FormatGrenze - laenge) {
    // Cut at the limit: never leave half a UTF-8 character at the end.
    laenge = OhneAngeschnittenesZeichen(puffer, FormatGrenze - 1);
    puffer[laenge] = '\0';
  } else {
    laenge += static_cast<size_t>(m);
  }

  if (laenge == 0 || puffer[laenge - 1] != '\n') {
    puffer[laenge++] = '\n';
    puffer[laenge] = '\0';
  }
  GibAus(puffer);
}

void Quarz_Log::GibAus(const char* zeile) {
  if (!IstGestartet()) return;

  if (Plattform::ThreadId() != mBesitzer.load(std::memory_order_acquire)) {
    Warteschlange* schlange = mWarteschlange.load(std::memory_order_acquire);
    if (schlange == nullptr) return;
    try {
      schlange->enqueue(std::string(zeile));
    } catch (const std::bad_alloc&) {
      // No room for the line or this thread's producer: the line is dropped.
    }
    return;
  }

  if (mDateiPfad && t_logfile.mBool.load(std::memory_order_relaxed)) {
    // Opened and closed for every line, so every line is on disk at once.
    if (std::FILE* datei = std::fopen(mDateiPfad->c_str(), "a")) {
      std::fputs(zeile, datei);
      std::fclose(datei);
    }
  }
  if (mAnzeige != nullptr) mAnzeige->ZeigeZeile(zeile);
  std::fputs(zeile, stdout);
  std::fflush(stdout);
}

void Quarz_Log::LeereWarteschlange() {
  Warteschlange* schlange = mWarteschlange.load(std::memory_order_acquire);
  if (schlange == nullptr || Plattform::ThreadId() != mBesitzer.load(std::memory_order_acquire))
    return;
  std::string stapel[StapelMax];
  for (;;) {
    const size_t anzahl = schlange->try_dequeue_bulk(stapel, StapelMax);
    if (anzahl == 0) break;
    for (size_t i = 0; i < anzahl; ++i) GibAus(stapel[i].c_str());
  }
}

void Quarz_Log::Starte(const std::wstring& ordner, const std::wstring& dateiname) {
  mDateiPfad.reset();
  if (t_logfile.mBool.load(std::memory_order_relaxed)) {
    mDateiPfad = std::make_unique<std::string>(Utf8Pfad(ordner, dateiname));
    // Empty the file of the last run; a failure here is retried by every line.
    if (std::FILE* datei = std::fopen(mDateiPfad->c_str(), "wb")) std::fclose(datei);
  }
  if (mWarteschlange.load(std::memory_order_acquire) == nullptr)
    mWarteschlange.store(new Warteschlange, std::memory_order_release);
  mBesitzer.store(Plattform::ThreadId(), std::memory_order_release);
  mStartZaehler = Plattform::LeistungsZaehler();
  mGestartet.store(true, std::memory_order_release);
  Schreibe("Log-Start");
}

void Quarz_Log::Beende() {
  if (IstGestartet()) LeereWarteschlange();
  mGestartet.store(false, std::memory_order_release);
  mDateiPfad.reset();
  delete mWarteschlange.exchange(nullptr);
}
