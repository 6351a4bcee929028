// The crash handler's pieces that need no crash: the code table, module segments, symbols.
#include <gtest/gtest.h>
#include <link.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "plattform/absturz/absturz_linux.h"
#include "quarzklassen/kern/absturzbehandlung.h"

namespace {

struct CodeFall {
  int signal;
  int siCode;
  uint64_t zugriff;
  uint32_t code;
  const char* name;  // null: outside the name table
};

TEST(AbsturzCode, SignalUndUrsacheGebenDenNamen) {
  Plattform::SetzeStapelGrenzen(0x7000'0000, 0x7100'0000);
  const CodeFall faelle[] = {
      {SIGSEGV, SEGV_MAPERR, 0, 0xC0000005, "ACCESS_VIOLATION"},
      {SIGSEGV, SEGV_MAPERR, 0x7000'0000, 0xC00000FD, "STACK_OVERFLOW"},
      {SIGSEGV, SEGV_MAPERR, 0x70FF'FFFF, 0xC00000FD, "STACK_OVERFLOW"},
      {SIGSEGV, SEGV_MAPERR, 0x7100'0000, 0xC0000005, "ACCESS_VIOLATION"},  // range is half-open
      {SIGSEGV, SI_USER, 0x7000'1000, 0xC0000005, "ACCESS_VIOLATION"},      // sent, not touched
      {SIGBUS, BUS_ADRALN, 0, 0x80000002, "DATATYPE_MISALIGNMENT"},
      {SIGBUS, BUS_ADRERR, 0, 0xC0000006, "IN_PAGE_ERROR"},
      {SIGFPE, FPE_INTDIV, 0, 0xC0000094, "INT_DIVIDE_BY_ZERO"},
      {SIGFPE, FPE_INTOVF, 0, 0xC0000095, "INT_OVERFLOW"},
      {SIGFPE, FPE_FLTDIV, 0, 0xC000008E, "FLT_DIVIDE_BY_ZERO"},
      {SIGFPE, FPE_FLTOVF, 0, 0xC0000091, "FLT_OVERFLOW"},
      {SIGFPE, FPE_FLTUND, 0, 0xC0000093, "FLT_UNDERFLOW"},
      {SIGFPE, FPE_FLTRES, 0, 0xC000008F, "FLT_INEXACT_RESULT"},
      {SIGFPE, FPE_FLTINV, 0, 0xC0000090, "FLT_INVALID_OPERATION"},
      {SIGFPE, FPE_FLTSUB, 0, 0xC000008C, "ARRAY_BOUNDS_EXCEEDED"},
      {SIGFPE, SI_USER, 0, SIGFPE, nullptr},
      {SIGILL, ILL_PRVOPC, 0, 0xC0000096, "PRIV_INSTRUCTION"},
      {SIGILL, ILL_PRVREG, 0, 0xC0000096, "PRIV_INSTRUCTION"},
      {SIGILL, ILL_ILLOPC, 0, 0xC000001D, "ILLEGAL_INSTRUCTION"},
      {SIGTRAP, TRAP_BRKPT, 0, 0x80000003, "BREAKPOINT"},
      {SIGTRAP, TRAP_TRACE, 0, 0x80000004, "SINGLE_STEP"},
      {SIGTRAP, SI_KERNEL, 0, SIGTRAP, nullptr},
      {SIGABRT, SI_TKILL, 0, SIGABRT, nullptr},
  };
  for (const CodeFall& f : faelle) {
    SCOPED_TRACE(testing::Message() << "signal " << f.signal << " code " << f.siCode);
    const uint32_t code = Plattform::AbsturzCode(f.signal, f.siCode, f.zugriff);
    EXPECT_EQ(code, f.code);
    const char* name = AusnahmeName(code);
    if (f.name == nullptr) EXPECT_EQ(name, nullptr);
    else EXPECT_STREQ(name, f.name);
  }
  Plattform::SetzeStapelGrenzen(0, 0);
}

// Each loadable segment of the program: an address at its start belongs to it, not to the
// segment before (ranges are half-open), and so does its last byte.
TEST(AbsturzModul, AbschnittIstDasLadbareSegmentDerAdresse) {
  struct Segment {
    uint64_t von, bis;
  };
  struct Sammlung {
    std::vector<Segment> segmente;
  } s;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* d) {
        auto& s = *static_cast<Sammlung*>(d);
        if (!s.segmente.empty()) return 1;  // the first entry is the program itself
        for (int i = 0; i < info->dlpi_phnum; ++i) {
          const ElfW(Phdr)& p = info->dlpi_phdr[i];
          if (p.p_type != PT_LOAD) continue;
          const uint64_t von = info->dlpi_addr + p.p_vaddr;
          s.segmente.push_back({von, von + std::max(p.p_memsz, p.p_filesz)});
        }
        return 1;
      },
      &s);
  ASSERT_GE(s.segmente.size(), 2u);
  for (size_t i = 0; i < s.segmente.size(); ++i) {
    SCOPED_TRACE(i);
    for (uint64_t adresse : {s.segmente[i].von, s.segmente[i].bis - 1}) {
      Plattform::ModulOrt ort;
      ASSERT_TRUE(Plattform::FindeModul(adresse, ort));
      EXPECT_EQ(ort.abschnitt, i + 1);
      EXPECT_EQ(ort.versatz, adresse - s.segmente[i].von);
      EXPECT_NE(std::string(ort.pfad).find("test_kern_absturz"), std::string::npos);
    }
  }
  Plattform::ModulOrt ort;
  EXPECT_FALSE(Plattform::FindeModul(0x10, ort));
}

constexpr uint32_t kZeileDerFunktion = __LINE__ + 1;
__attribute__((noinline)) int BekannteFunktion(int x) { return x * 3 + 1; }

TEST(AbsturzSymbole, NameDateiUndZeileEinerFunktion) {
  Plattform::SymbolInfo info;
  ASSERT_TRUE(Plattform::Symbolisiere(reinterpret_cast<uint64_t>(&BekannteFunktion), info));
  EXPECT_NE(std::string(info.name).find("BekannteFunktion(int)"), std::string::npos) << info.name;
  EXPECT_NE(std::string(info.datei).find("test_absturz_teile.cpp"), std::string::npos);
  EXPECT_EQ(info.zeile, kZeileDerFunktion);
  EXPECT_EQ(info.symbolVersatz, 0u);
}

TEST(AbsturzText, ZahlenOhneFormatierer) {
  Plattform::AbsturzText t;
  t.Hex(0xC0000005, 8).Text(" ").Hex(0x1F, 2).Text(" ").Hex(0, 4).Text(" ").Dez(-42).Text(" ");
  t.Dez(7, 4).Text(" ").Hex(UINT64_MAX, 16);
  EXPECT_STREQ(t.Daten(), "C0000005 1F 0000 -42 0007 FFFFFFFFFFFFFFFF");
}

// The best-effort parts of a report run under a watchdog: work that hangs is abandoned and the
// report goes on.
TEST(AbsturzWaechter, BeendeteUndHaengendeArbeit) {
  struct Fall {
    void (*arbeit)(void*);
    bool fertig;
  };
  const Fall faelle[] = {
      {[](void* d) { *static_cast<int*>(d) += 1; }, true},
      {[](void* d) {
         *static_cast<int*>(d) += 1;
         for (;;) ::pause();
       },
       false},
  };
  for (const Fall& f : faelle) {
    int gelaufen = 0;
    EXPECT_EQ(Plattform::MitWaechter(1, f.arbeit, &gelaufen), f.fertig);
    EXPECT_EQ(gelaufen, 1);
  }
  // The alarm's handler is put back afterwards.
  struct sigaction jetzt {};
  ::sigaction(SIGALRM, nullptr, &jetzt);
  EXPECT_EQ(jetzt.sa_handler, SIG_DFL);
}

}  // namespace
