#include <backtrace.h>
#include <cxxabi.h>
#include <sys/utsname.h>
#include <ucontext.h>
#include <unistd.h>
#include <unwind.h>

#include <cstdlib>
#include <cstring>

#include "plattform/absturz/absturz_linux.h"

namespace Plattform {

namespace {

backtrace_state* gSymbole = nullptr;

void KeinFehler(void*, const char*, int) {}

backtrace_state* Symbole() {
  if (gSymbole == nullptr) gSymbole = backtrace_create_state(nullptr, 1, &KeinFehler, nullptr);
  return gSymbole;
}

void Kopiere(char* ziel, size_t groesse, const char* text) {
  const size_t n = std::strlen(text);
  const size_t k = n < groesse - 1 ? n : groesse - 1;
  std::memcpy(ziel, text, k);
  ziel[k] = '\0';
}

void Entschluessele(const char* roh, char* ziel, size_t groesse) {
  int status = -1;
  char* name = roh[0] == '_' && roh[1] == 'Z' ? abi::__cxa_demangle(roh, nullptr, nullptr, &status)
                                              : nullptr;
  Kopiere(ziel, groesse, status == 0 && name ? name : roh);
  std::free(name);
}

struct Sammlung {
  uint64_t* frames;
  size_t max;
  size_t anzahl;
  uint64_t start;      // the faulting instruction: the frames before it are the handler's own
  uint64_t abStapel;   // or: the first frame whose frame lies above this stack pointer
  size_t uebersprungen;
  bool gefunden;
};

_Unwind_Reason_Code SammleFrame(_Unwind_Context* kontext, void* daten) {
  Sammlung& s = *static_cast<Sammlung*>(daten);
  int vorBefehl = 0;
  const uint64_t ip = _Unwind_GetIPInfo(kontext, &vorBefehl);
  if (!s.gefunden) {
    const bool erster = s.abStapel != 0 ? _Unwind_GetCFA(kontext) > s.abStapel : ip == s.start;
    if (!erster) return ++s.uebersprungen > 64 ? _URC_END_OF_STACK : _URC_NO_REASON;
    s.gefunden = true;
  }
  s.frames[s.anzahl++] = ip;
  return s.anzahl == s.max ? _URC_END_OF_STACK : _URC_NO_REASON;
}

// Without unwind tables through the signal frame: follow the frame-pointer chain.
size_t FolgeRahmenzeigern(const ucontext_t& kontext, uint64_t* frames, size_t max) {
  size_t n = 0;
  frames[n++] = static_cast<uint64_t>(kontext.uc_mcontext.gregs[REG_RIP]);
  uint64_t rahmen = static_cast<uint64_t>(kontext.uc_mcontext.gregs[REG_RBP]);
  while (n < max) {
    uint64_t paar[2];
    if (!LeseSicher(rahmen, paar, sizeof(paar)) || paar[1] == 0) break;
    frames[n++] = paar[1];
    if (paar[0] <= rahmen) break;
    rahmen = paar[0];
  }
  return n;
}

}  // namespace

size_t RoheFrames(const AbsturzFall& fall, uint64_t* frames, size_t max) {
  if (max == 0) return 0;
  Sammlung s{frames, max, 0, fall.befehl, 0, 0, false};
  if (fall.kontext == nullptr) {
    s.gefunden = true;  // the caller's own stack, from here
  } else if (fall.code == kCppAusnahme) {
    // An escaping exception: its context was taken in the terminate handler, on this stack;
    // the report's own frames lie below it.
    s.abStapel = static_cast<uint64_t>(
        static_cast<const ucontext_t*>(fall.kontext)->uc_mcontext.gregs[REG_RSP]);
  }
  _Unwind_Backtrace(&SammleFrame, &s);
  if (s.anzahl > 0 || fall.kontext == nullptr) return s.anzahl;
  return FolgeRahmenzeigern(*static_cast<const ucontext_t*>(fall.kontext), frames, max);
}

bool Symbolisiere(uint64_t adresse, SymbolInfo& info) {
  info = SymbolInfo{};
  backtrace_state* zustand = Symbole();
  if (zustand == nullptr) return false;
  // The line comes from the innermost (possibly inlined) frame at the address, the name from
  // the symbol table: the function the code belongs to, with its full signature.
  backtrace_pcinfo(
      zustand, adresse,
      [](void* d, uintptr_t, const char* datei, int zeile, const char* funktion) -> int {
        SymbolInfo& i = *static_cast<SymbolInfo*>(d);
        if (datei) Kopiere(i.datei, sizeof(i.datei), datei);
        if (funktion) Kopiere(i.roh, sizeof(i.roh), funktion);
        i.zeile = zeile > 0 ? static_cast<uint32_t>(zeile) : 0;
        return 1;
      },
      &KeinFehler, &info);
  backtrace_syminfo(
      zustand, adresse,
      [](void* d, uintptr_t pc, const char* name, uintptr_t wert, uintptr_t) {
        SymbolInfo& i = *static_cast<SymbolInfo*>(d);
        if (name == nullptr) return;
        Kopiere(i.roh, sizeof(i.roh), name);
        i.symbolVersatz = pc - wert;
      },
      &KeinFehler, &info);
  if (info.roh[0] == '\0') return info.datei[0] != '\0';
  Entschluessele(info.roh, info.name, sizeof(info.name));
  return true;
}

void BereiteSymboleVor() { Symbole(); }

uint32_t ProzessId() { return static_cast<uint32_t>(::getpid()); }

bool AktuellerOrdner(char* puffer, size_t groesse) { return ::getcwd(puffer, groesse) != nullptr; }

void SystemVersion(uint32_t& major, uint32_t& minor, uint32_t& patch) {
  major = minor = patch = 0;
  utsname name{};
  if (::uname(&name) != 0) return;
  uint32_t* teile[3] = {&major, &minor, &patch};
  const char* p = name.release;
  for (uint32_t* teil : teile) {
    while (*p >= '0' && *p <= '9') *teil = *teil * 10 + static_cast<uint32_t>(*p++ - '0');
    if (*p != '.') break;
    ++p;
  }
}

}  // namespace Plattform
