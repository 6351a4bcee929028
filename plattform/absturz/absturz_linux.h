#pragma once
// Our layer over Linux for the crash handler: it catches the fatal signals and escaping C++
// exceptions, describes the crash in the vocabulary of the engine's exception-name table, and
// offers what the report needs (module lookup, stack frames, symbols, minidump). Everything
// called from the filter is async-signal-safe unless said otherwise.
#include <cstddef>
#include <cstdint>

#include "plattform/absturz/absturz_text.h"

namespace Plattform {

// The code of an exception nobody caught (the C++ runtime's code on Windows).
constexpr uint32_t kCppAusnahme = 0xE06D7363;

// One crash as the filter sees it.
struct AbsturzFall {
  uint32_t code = 0;             // exception code (see AbsturzCode)
  int signal = 0;                // the signal; SIGABRT for an escaping exception
  int signalCode = 0;            // si_code
  uint64_t zugriff = 0;          // the address the fault touched (si_addr)
  uint64_t befehl = 0;           // instruction pointer at the fault
  const void* kontext = nullptr; // ucontext_t of the faulting thread
  uint32_t thread = 0;           // kernel id of the faulting thread
  const char* beschreibung = ""; // the signal's description, for codes outside the table
  // For an escaping C++ exception: what it was (type, message); null for a signal.
  const char* ausnahme = nullptr;
};

using AbsturzFilter = void (*)(const AbsturzFall& fall);

// Installs the filter: an alternate signal stack with a guard page, handlers for SIGSEGV,
// SIGBUS, SIGFPE, SIGILL, SIGABRT and SIGTRAP, and the terminate handler. The handlers found
// before are remembered; after the filter they run, then the signal's default action ends the
// process. Takes the main stack's bounds (for stack overflows). False when a step failed.
// beschreiber names the escaping exception (called inside the terminate handler).
bool InstalliereAbsturzFilter(AbsturzFilter filter, void (*beschreiber)(AbsturzText& text));
// Puts back what was installed before (process exit).
void EntferneAbsturzFilter();
bool AbsturzFilterInstalliert();

// The exception code for a signal, its si_code and the address it touched; the main stack's
// guard region [stapelGrenzeUnten, stapelGrenzeOben) marks a stack overflow.
uint32_t AbsturzCode(int signal, int signalCode, uint64_t zugriff);
void SetzeStapelGrenzen(uint64_t unten, uint64_t oben);

// Writes all bytes (repeating short writes); appends to a file opened and closed for this call.
void SchreibeAlles(int fd, const char* daten, size_t laenge);
// True when both descriptors lead to the same file, pipe or terminal (same device and inode),
// so that writing to both would show the text twice.
bool GleichesZiel(int fd1, int fd2);
void HaengeAnDatei(const char* pfad, const char* daten, size_t laenge);

// Runs arbeit(daten) under a watchdog: false when it did not finish within the seconds given
// or faulted; the crash report then goes on without it.
bool MitWaechter(unsigned sekunden, void (*arbeit)(void*), void* daten);

// Copies memory that may be unmapped: false instead of a fault.
bool LeseSicher(uint64_t adresse, void* ziel, size_t laenge);

// --- Modules (from /proc/self/maps and the ELF headers in memory) ---
struct ModulOrt {
  char pfad[4096] = {};
  uint64_t basis = 0;      // where the ELF header is mapped
  uint64_t ende = 0;       // end of the module's last mapping
  uint32_t abschnitt = 0;  // 1-based index of the loadable segment holding the address; 0: none
  uint64_t versatz = 0;    // offset of the address in that segment
};
// The module holding the address; false when it lies in none.
bool FindeModul(uint64_t adresse, ModulOrt& ort);
// Calls rueckruf for every module of the process, in address order; returns how many.
size_t FuerJedesModul(void (*rueckruf)(const ModulOrt& modul, void* daten), void* daten);
// The last component of a path.
const char* DateiNameVon(const char* pfad);

// --- Stack ---
// The return addresses of the crashed thread, the faulting instruction first; at most `max`.
size_t RoheFrames(const AbsturzFall& fall, uint64_t* frames, size_t max);
struct SymbolInfo {
  char name[4096] = {};     // demangled function name; empty when unknown
  char roh[4096] = {};      // the symbol as the binary names it
  char datei[4096] = {};    // source file; empty when unknown
  uint32_t zeile = 0;
  uint64_t symbolVersatz = 0;
};
// Symbol and source line of a code address (for return addresses pass the address - 1).
// Not async-signal-safe in every case (debug information is read on first use, names are
// demangled with malloc): call it under MitWaechter.
bool Symbolisiere(uint64_t adresse, SymbolInfo& info);
// Reads the debug information now (at installation), so a crash has less to do.
void BereiteSymboleVor();

// --- Minidump ---
enum class DumpErgebnis { Erstellt, DateiFehler, DumpFehler };
// Writes a minidump of the crashed thread to `pfad` (created anew); fehler receives errno.
DumpErgebnis SchreibeMiniDump(const char* pfad, const AbsturzFall& fall, int& fehler);

uint32_t ProzessId();
// The current working folder; false when it does not fit.
bool AktuellerOrdner(char* puffer, size_t groesse);

// Uname-based operating-system version for the report: major, minor, patch.
void SystemVersion(uint32_t& major, uint32_t& minor, uint32_t& patch);

}  // namespace Plattform
