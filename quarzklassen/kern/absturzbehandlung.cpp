#include "quarzklassen/kern/absturzbehandlung.h"

#include <cxxabi.h>

#include <cstdlib>
#include <cstring>
#include <exception>
#include <typeinfo>

#include "plattform/absturz/absturz_linux.h"
#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_stackwalker.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/kern/textkodierung.h"

namespace {

struct Name {
  uint32_t code;
  const char* name;
};

constexpr Name kNamen[] = {
    {0xC0000005, "ACCESS_VIOLATION"},      {0x80000002, "DATATYPE_MISALIGNMENT"},
    {0x80000003, "BREAKPOINT"},            {0x80000004, "SINGLE_STEP"},
    {0xC000008C, "ARRAY_BOUNDS_EXCEEDED"}, {0xC000008D, "FLT_DENORMAL_OPERAND"},
    {0xC000008E, "FLT_DIVIDE_BY_ZERO"},    {0xC000008F, "FLT_INEXACT_RESULT"},
    {0xC0000090, "FLT_INVALID_OPERATION"}, {0xC0000091, "FLT_OVERFLOW"},
    {0xC0000092, "FLT_STACK_CHECK"},       {0xC0000093, "FLT_UNDERFLOW"},
    {0xC0000094, "INT_DIVIDE_BY_ZERO"},    {0xC0000095, "INT_OVERFLOW"},
    {0xC0000096, "PRIV_INSTRUCTION"},      {0xC0000006, "IN_PAGE_ERROR"},
    {0xC000001D, "ILLEGAL_INSTRUCTION"},   {0xC0000025, "NONCONTINUABLE_EXCEPTION"},
    {0xC00000FD, "STACK_OVERFLOW"},        {0xC0000026, "INVALID_DISPOSITION"},
    {0x80000001, "GUARD_PAGE"},            {0xC0000008, "INVALID_HANDLE"},
};

constexpr size_t kMaxRoheFrames = 128;
constexpr unsigned kWaechterRoh = 2;       // seconds for the raw frame walk
constexpr unsigned kWaechterSymbole = 10;  // seconds for symbols and lines

// "MiniDump.dmp" in the user-data folder, encoded into a fixed buffer when the crash happens
// (no allocation, and no dependence on whether the system object existed at installation).
bool DumpPfad(char* pfad, size_t groesse) {
  const std::wstring& ordner = gSystem.mBenutzerPfad;
  if (ordner.empty()) return false;
  Plattform::AbsturzText text;
  for (const wchar_t zeichen : ordner) {
    char bytes[4];
    text.Text(bytes, KodiereUtf8(static_cast<uint32_t>(zeichen), bytes));
  }
  if (text.Daten()[text.Laenge() - 1] != '/') text.Zeichen('/');
  text.Text("MiniDump.dmp");
  if (text.Laenge() + 1 >= groesse || text.Laenge() + 1 >= Plattform::AbsturzText::Groesse)
    return false;
  std::memcpy(pfad, text.Daten(), text.Laenge() + 1);
  return true;
}

void Zeile(Plattform::AbsturzText& text) {
  AbsturzZeile(text.Daten());
  text.Leeren();
}

// What escaped: an engine exception with where it was thrown, a standard exception with its
// text, any other type by name.
void BeschreibeAusnahme(Plattform::AbsturzText& text) {
  const std::exception_ptr ausnahme = std::current_exception();
  if (!ausnahme) {
    text.Text("std::terminate called without an active exception");
    return;
  }
  auto typName = [&](const std::type_info* typ) {
    if (typ == nullptr) return;
    int status = -1;
    char* name = abi::__cxa_demangle(typ->name(), nullptr, nullptr, &status);
    text.Text(status == 0 && name ? name : typ->name());
    std::free(name);
  };
  try {
    std::rethrow_exception(ausnahme);
  } catch (const Quarz_Ausnahme& a) {
    text.Text("Uncaught Quarz_Ausnahme \"").Text(a.mMeldung.c_str()).Text("\" in ");
    text.Text(a.mFunktion.c_str()).Text(" (").Text(a.mDatei.c_str()).Text(":").Dez(a.mZeile);
    text.Text(")");
  } catch (const std::exception& e) {
    text.Text("Uncaught ");
    typName(&typeid(e));
    text.Text(": ").Text(e.what());
  } catch (...) {
    text.Text("Uncaught exception of type ");
    typName(abi::__cxa_current_exception_type());
  }
}

void SchreibeRoheFrames(void* daten) {
  const auto& fall = *static_cast<const Plattform::AbsturzFall*>(daten);
  uint64_t frames[kMaxRoheFrames];
  const size_t anzahl = Plattform::RoheFrames(fall, frames, kMaxRoheFrames);
  Plattform::AbsturzText text;
  for (size_t i = 0; i < anzahl; ++i) {
    if (i % 8 == 0) text.Text("Frames: ");
    text.Hex(frames[i], 16).Text(" ");
    if (i % 8 == 7 || i + 1 == anzahl) Zeile(text);
  }
}

void ZeigeStapel(void* daten) {
  const auto& fall = *static_cast<const Plattform::AbsturzFall*>(daten);
  Quarz_StackWalker walker;
  walker.ZeigeAufrufstapel(fall.thread, &fall);
}

void SchreibeDump(const Plattform::AbsturzFall& fall) {
  Plattform::AbsturzText text;
  int fehler = 0;
  static char pfad[Plattform::AbsturzText::Groesse];
  const Plattform::DumpErgebnis ergebnis = DumpPfad(pfad, sizeof(pfad))
                                               ? Plattform::SchreibeMiniDump(pfad, fall, fehler)
                                               : Plattform::DumpErgebnis::DateiFehler;
  switch (ergebnis) {
    case Plattform::DumpErgebnis::DateiFehler:
      text.Text("MiniDump, CreateFile() failed with error: ").Dez(fehler);
      break;
    case Plattform::DumpErgebnis::DumpFehler:
      text.Text("Minidump failed with error code ").Dez(fehler);
      break;
    case Plattform::DumpErgebnis::Erstellt:
      text.Text("Minidump created.");
      break;
  }
  Zeile(text);
}

}  // namespace

const char* AusnahmeName(uint32_t code) {
  for (const Name& n : kNamen)
    if (n.code == code) return n.name;
  return nullptr;
}

void AbsturzZeile(const char* zeile) {
  Plattform::AbsturzText text;
  int64_t mikro = 0;
  if (gLog.IstGestartet() && gTimerFrequenzD != 0.0)
    mikro = static_cast<int64_t>(
        static_cast<double>(Plattform::LeistungsZaehler() - gLog.mStartZaehler) *
        gTimerKehrwertD * 1000000.0);
  text.Dez(mikro / 1000000, 4).Text(":").Dez(mikro % 1000000, 6).Text(" (t");
  const uint16_t kennung = Quarz_Log::ThreadKennung(Plattform::ThreadId());
  for (int stelle = 12; stelle >= 0; stelle -= 4) text.Zeichen("0123456789abcdef"[kennung >> stelle & 0xF]);
  text.Text("): ").Text(zeile);
  if (text.Laenge() == 0 || text.Daten()[text.Laenge() - 1] != '\n') text.Text("\n");

  if (gLog.IstGestartet() && gLog.mDateiPfad && t_logfile.mBool.load(std::memory_order_relaxed))
    Plattform::HaengeAnDatei(gLog.mDateiPfad->c_str(), text.Daten(), text.Laenge());
  // Standard output and error are often the same terminal (or file): there each line once.
  Plattform::SchreibeAlles(1, text.Daten(), text.Laenge());
  if (!Plattform::GleichesZiel(1, 2)) Plattform::SchreibeAlles(2, text.Daten(), text.Laenge());
}

void Absturzbehandlung(const Plattform::AbsturzFall& fall) {
  Plattform::AbsturzText text;
  text.Zeichen('*', 84);
  Zeile(text);

  const char* name = AusnahmeName(fall.code);
  text.Text("!Exception code: ").Hex(fall.code, 8).Text(" ").Text(name ? name : fall.beschreibung);
  Zeile(text);

  // The whole 64-bit address: its low half alone would name a wrong place.
  Plattform::ModulOrt ort;
  text.Text("Fault address:  ").Hex(fall.befehl, 16).Text(" ");
  if (Plattform::FindeModul(fall.befehl, ort))
    text.Hex(ort.abschnitt, 2).Text(":").Hex(ort.versatz, 8).Text(" ").Text(ort.pfad);
  else
    text.Text("00:00000000 (module-name not available)");
  Zeile(text);
  if (fall.ausnahme != nullptr) {
    text.Text(fall.ausnahme);
    Zeile(text);
  }

  // The raw addresses first: reading symbols may hang or fault, and then the report still has
  // its stack and goes on to the minidump.
  Plattform::AbsturzFall kopie = fall;
  if (!Plattform::MitWaechter(kWaechterRoh, &SchreibeRoheFrames, &kopie)) {
    text.Text("?Stack walk abandoned.");
    Zeile(text);
  }
  if (!Plattform::MitWaechter(kWaechterSymbole, &ZeigeStapel, &kopie)) {
    text.Text("?Symbol lookup abandoned.");
    Zeile(text);
  }
  SchreibeDump(fall);
}

void InstalliereAbsturzbehandlung() {
  if (Plattform::AbsturzFilterInstalliert()) return;
  Plattform::BereiteSymboleVor();
  Plattform::InstalliereAbsturzFilter(&Absturzbehandlung, &BeschreibeAusnahme);
}

void EntferneAbsturzbehandlung() { Plattform::EntferneAbsturzFilter(); }
