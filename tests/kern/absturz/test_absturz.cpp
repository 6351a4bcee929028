// Death tests: each crash runs in a child process with the handler installed, and the parent
// reads the report from the log file, checks the minidump's header and lets lldb read it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "quarzklassen/kern/absturzbehandlung.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "quarzklassen/kern/textkodierung.h"

// The faults must reach our handler, not the sanitizers' own reports.
extern "C" const char* __asan_default_options() {
  return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0:"
         "allow_user_segv_handler=1:use_sigaltstack=0";
}
extern "C" const char* __ubsan_default_options() {
  return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0";
}

#define OHNE_PRUEFUNG __attribute__((noinline, no_sanitize("address", "undefined")))

namespace {

volatile int gNull = 0;
int* volatile gNullZeiger = nullptr;
volatile bool gWeiter = true;

OHNE_PRUEFUNG void NullZugriffAusloesen() { *gNullZeiger = 42; }

OHNE_PRUEFUNG void DivisionDurchNullAusloesen() {
  volatile int ergebnis = 7 / gNull;
  (void)ergebnis;
}

OHNE_PRUEFUNG void AbbruchAusloesen() { std::abort(); }

OHNE_PRUEFUNG void SignalSendenAusloesen() {
  ::raise(SIGSEGV);
  gNull = 1;  // no tail call: the function stays on the stack
}

// noexcept: the exception cannot leave the function, so terminate sees it still active.
OHNE_PRUEFUNG void QuarzAusnahmeAusloesen() noexcept {
  QUARZ_WIRF("Alles kaputt", "Test::QuarzAusnahmeAusloesen");
}

OHNE_PRUEFUNG void TerminateOhneAusnahmeAusloesen() {
  std::terminate();
}

[[noreturn]] __attribute__((noinline)) void WirfLaufzeitfehler() {
  throw std::runtime_error("Laufzeitfehler im Test");
}
OHNE_PRUEFUNG void StandardAusnahmeAusloesen() noexcept { WirfLaufzeitfehler(); }

OHNE_PRUEFUNG int StapelUeberlaufAusloesenTief(int tiefe) {
  volatile char platz[512];
  platz[0] = static_cast<char>(tiefe);
  if (!gWeiter) return platz[0];
  return StapelUeberlaufAusloesenTief(tiefe + 1) + platz[0];
}
OHNE_PRUEFUNG void StapelUeberlaufAusloesen() { gNull = StapelUeberlaufAusloesenTief(0); }

OHNE_PRUEFUNG void ZweiterThreadAusloesen() {
  std::thread t([] { NullZugriffAusloesen(); });
  t.join();
}

void VorherigerHandler(int, siginfo_t*, void*) {
  static const char text[] = "Vorheriger Handler gerufen\n";
  (void)!::write(2, text, sizeof(text) - 1);
}

OHNE_PRUEFUNG void MitVorherigemHandlerAusloesen() {
  NullZugriffAusloesen();
}

struct Absturz {
  const char* name;
  void (*ausloeser)();
  int signal;
  const char* codeZeile;  // the report's code line
  const char* funktion;   // must appear in the stack and in lldb's backtrace
  bool vorherigerHandler = false;
};

const Absturz kAbstuerze[] = {
    {"NullZugriff", NullZugriffAusloesen, SIGSEGV, "!Exception code: C0000005 ACCESS_VIOLATION",
     "NullZugriffAusloesen"},
    {"DivisionDurchNull", DivisionDurchNullAusloesen, SIGFPE,
     "!Exception code: C0000094 INT_DIVIDE_BY_ZERO", "DivisionDurchNullAusloesen"},
    {"Abbruch", AbbruchAusloesen, SIGABRT, "!Exception code: 00000006 Aborted",
     "AbbruchAusloesen"},
    {"SignalGesendet", SignalSendenAusloesen, SIGSEGV,
     "!Exception code: C0000005 ACCESS_VIOLATION", "SignalSendenAusloesen"},
    {"QuarzAusnahme", QuarzAusnahmeAusloesen, SIGABRT,
     "Uncaught Quarz_Ausnahme \"Alles kaputt\" in Test::QuarzAusnahmeAusloesen "
     "(test_absturz.cpp:",
     "QuarzAusnahmeAusloesen"},
    {"StandardAusnahme", StandardAusnahmeAusloesen, SIGABRT,
     "Uncaught std::runtime_error: Laufzeitfehler im Test", "StandardAusnahmeAusloesen"},
    {"OhneAusnahme", TerminateOhneAusnahmeAusloesen, SIGABRT,
     "std::terminate called without an active exception", "TerminateOhneAusnahmeAusloesen"},
    {"StapelUeberlauf", StapelUeberlaufAusloesen, SIGSEGV,
     "!Exception code: C00000FD STACK_OVERFLOW", "StapelUeberlaufAusloesenTief"},
    {"ZweiterThread", ZweiterThreadAusloesen, SIGSEGV,
     "!Exception code: C0000005 ACCESS_VIOLATION", "NullZugriffAusloesen"},
    {"VorherigerHandler", MitVorherigemHandlerAusloesen, SIGSEGV,
     "!Exception code: C0000005 ACCESS_VIOLATION", "NullZugriffAusloesen", true},
};

std::string LiesDatei(const std::string& pfad) {
  std::ifstream datei(pfad, std::ios::binary);
  std::stringstream inhalt;
  inhalt << datei.rdbuf();
  return inhalt.str();
}

std::string Ausfuehren(const std::string& befehl) {
  std::string ausgabe;
  if (FILE* rohr = ::popen((befehl + " 2>&1").c_str(), "r")) {
    char puffer[4096];
    size_t n;
    while ((n = std::fread(puffer, 1, sizeof(puffer), rohr)) > 0) ausgabe.append(puffer, n);
    ::pclose(rohr);
  }
  return ausgabe;
}

// The child: the log writes its file, the handler is installed, then the crash.
[[noreturn]] void StirbAn(const Absturz& a) {
  if (a.vorherigerHandler) {
    struct sigaction aktion {};
    aktion.sa_sigaction = &VorherigerHandler;
    aktion.sa_flags = SA_SIGINFO;
    sigemptyset(&aktion.sa_mask);
    ::sigaction(SIGSEGV, &aktion, nullptr);
  }
  // The same stack limit on every machine, so the overflow ends in the guard region.
  rlimit grenze{};
  ::getrlimit(RLIMIT_STACK, &grenze);
  grenze.rlim_cur = 8 << 20;
  ::setrlimit(RLIMIT_STACK, &grenze);
  t_logfile.mBool.store(true);
  gLog.Starte(L".", L"spiel.log");
  InstalliereAbsturzbehandlung();
  a.ausloeser();
  std::_Exit(0);
}

class AbsturzTest : public ::testing::TestWithParam<Absturz> {};

TEST_P(AbsturzTest, BerichtStapelUndMinidump) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const Absturz& a = GetParam();
  const std::string erwartetStderr = a.vorherigerHandler
                                         ? "ACCESS_VIOLATION.*Vorheriger Handler gerufen"
                                         : "\\*{84}";
  EXPECT_EXIT(StirbAn(a), ::testing::KilledBySignal(a.signal), erwartetStderr);

  const std::string log = LiesDatei("spiel.log");
  EXPECT_NE(log.find("): " + std::string(84, '*') + "\n"), std::string::npos) << log;
  EXPECT_NE(log.find(a.codeZeile), std::string::npos) << log;
  EXPECT_NE(log.find("Fault address:  "), std::string::npos) << log;
  // A frame line with file and line names the test's own function.
  const size_t zeile = log.find("test_absturz.cpp (");
  EXPECT_NE(zeile, std::string::npos) << log;
  EXPECT_NE(log.find(a.funktion, zeile == std::string::npos ? 0 : zeile), std::string::npos)
      << log;
  EXPECT_NE(log.find("Minidump created."), std::string::npos) << log;
  // Written once: the abort after an escaping exception is not a second report.
  EXPECT_EQ(log.find("!Exception code", log.find("!Exception code") + 1), std::string::npos)
      << log;

  const std::string dump = Utf8Pfad(gSystem.mBenutzerPfad, L"MiniDump.dmp");
  const std::string inhalt = LiesDatei(dump);
  ASSERT_GE(inhalt.size(), 32u);
  EXPECT_EQ(inhalt.substr(0, 4), "MDMP");

  const std::string lldb = Ausfuehren("lldb --batch -c '" + dump + "' -o 'thread backtrace'");
  EXPECT_NE(lldb.find(a.funktion), std::string::npos) << lldb;
}

INSTANTIATE_TEST_SUITE_P(Abstuerze, AbsturzTest, ::testing::ValuesIn(kAbstuerze),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs the start probe and returns its wait status. Standard output and error go to the files
// given (opened once when both are the same name), else nowhere.
int StarteProbe(const char* argument, const char* aus = "/dev/null", const char* fehler = "/dev/null") {
  const std::string probe = std::string(WEILERBAU_BAU) + "/tests/absturz_startprobe";
  const pid_t kind = ::fork();
  if (kind == 0) {
    const int flags = O_WRONLY | O_CREAT | O_APPEND;
    const int a = ::open(aus, flags, 0644);
    const int f = std::strcmp(aus, fehler) == 0 ? a : ::open(fehler, flags, 0644);
    ::dup2(a, 1);
    ::dup2(f, 2);
    ::execl(probe.c_str(), probe.c_str(), argument, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(kind, &status, 0);
  return status;
}

TEST(AbsturzStart, DasProgrammInstalliertHandlerUndAudioInDerStartReihenfolge) {
  const std::string ordner = Utf8Pfad(gSystem.mBenutzerPfad, L"");

  int status = StarteProbe("ende");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  std::string log = LiesDatei(ordner + "spiel.log");
  // The audio's lines come after "Log-Start": none is lost while the log is not running.
  const size_t start = log.find("): Log-Start\n");
  ASSERT_NE(start, std::string::npos) << log;
  EXPECT_EQ(log.find("Audio"), log.find("Audio", start)) << log;
  EXPECT_NE(log.find("Audio wird geschlossen."), std::string::npos) << log;
  EXPECT_FALSE(std::ifstream(ordner + "MiniDump.dmp").good());

  status = StarteProbe("absturz");
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << status;
  log = LiesDatei(ordner + "spiel.log");
  EXPECT_NE(log.find("!Exception code: C0000005 ACCESS_VIOLATION"), std::string::npos) << log;
  EXPECT_NE(log.find("StartprobeAbsturz"), std::string::npos) << log;
  EXPECT_NE(log.find("Minidump created."), std::string::npos) << log;
  EXPECT_EQ(LiesDatei(ordner + "MiniDump.dmp").substr(0, 4), "MDMP");
}

// Where standard output and error are one file or terminal, each report line shows once there;
// two different ones each get every line. The log file keeps its one copy.
TEST(AbsturzStart, BerichtszeilenEinmalJeZiel) {
  const std::string ordner = Utf8Pfad(gSystem.mBenutzerPfad, L"");
  const std::string code = "!Exception code: C0000005 ACCESS_VIOLATION";
  auto anzahl = [&](const std::string& text) {
    int n = 0;
    for (size_t p = text.find(code); p != std::string::npos; p = text.find(code, p + 1)) ++n;
    return n;
  };
  const struct {
    const char* aus;
    const char* fehler;
    bool eineDatei;
  } faelle[] = {{"eins.txt", "eins.txt", true},
                {"zweimal_geoeffnet.txt", "./zweimal_geoeffnet.txt", true},  // two descriptors, one file
                {"aus.txt", "fehler.txt", false}};
  for (const auto& f : faelle) {
    std::remove((ordner + "spiel.log").c_str());
    const int status = StarteProbe("absturz", f.aus, f.fehler);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGSEGV) << status;
    EXPECT_EQ(anzahl(LiesDatei(f.aus)), 1) << f.aus << ": " << LiesDatei(f.aus);
    if (!f.eineDatei) {
      EXPECT_EQ(anzahl(LiesDatei(f.fehler)), 1) << f.fehler;
    }
    EXPECT_EQ(anzahl(LiesDatei(ordner + "spiel.log")), 1) << f.aus;
  }
}

}  // namespace
