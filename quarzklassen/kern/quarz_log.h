#pragma once
// The one process-wide log, gLog. Every entry becomes one line
//   "SSSS:UUUUUU (tXXXX): message\n"
// (seconds and microseconds since the log started, a 16-bit tag of the writing thread) and goes
// to the log file, the console display and standard output. Only the thread that started the
// log touches those; other threads' lines wait in a lock-free queue for LeereWarteschlange.
//
// gLog is constant-initialised, so code running during static initialisation may write to it
// (such lines are dropped: the log is not started yet). Beende is called at the end of main.
#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <string>

class Quarz_KonsoleBasisAnzeige;

class Quarz_Log {
public:
  // Longest line, newline not counted; longer messages are cut (never inside a UTF-8 sequence).
  static constexpr size_t MaxZeilenLaenge = 1997;

  constexpr Quarz_Log() = default;
  ~Quarz_Log();
  Quarz_Log(const Quarz_Log&) = delete;
  Quarz_Log& operator=(const Quarz_Log&) = delete;

  // One entry, always.
  void Schreibe(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // One entry, only while the console variable t_debug is on.
  void SchreibeDebug(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // The common body of both, with a ready argument list.
  void SchreibeV(const char* format, va_list argumente) __attribute__((format(printf, 2, 0)));
  // Delivers one finished line (ending in '\n'): file, display and standard output on the
  // owner thread, the queue on any other thread; dropped while the log is not started.
  void GibAus(const char* zeile);
  // Writes out the lines queued by other threads, in batches of 20, until none is left.
  void LeereWarteschlange();
  // Starts the log: (re)creates ordner/dateiname when t_logfile is on, records the calling
  // thread as owner and the counter as start time, and writes "Log-Start".
  void Starte(const std::wstring& ordner, const std::wstring& dateiname);
  // Drains the queue, stops the log and frees the path and the queue.
  void Beende();

  bool IstGestartet() const { return mGestartet.load(std::memory_order_acquire); }

  // The 16-bit tag of a thread id as the line prefix shows it (FNV-1a over its 4 bytes).
  static uint16_t ThreadKennung(uint32_t threadId);

  struct Warteschlange;  // the lock-free line queue (defined in the implementation)

  std::atomic<bool> mGestartet{false};
  Quarz_KonsoleBasisAnzeige* mAnzeige = nullptr;  // registered console display, or null
  std::atomic<uint32_t> mBesitzer{0};             // thread id of the owner thread
  std::atomic<Warteschlange*> mWarteschlange{nullptr};
  // UTF-8 path of the log file; null while file output is off. (A pointer, not a string member:
  // the log must stay constant-initialised with every compiler we build with.)
  std::unique_ptr<std::string> mDateiPfad;
  int64_t mStartZaehler = 0;                      // performance counter at the start
};

extern constinit Quarz_Log gLog;
