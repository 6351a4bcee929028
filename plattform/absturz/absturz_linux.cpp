#include "plattform/absturz/absturz_linux.h"

#include <fcntl.h>
#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <exception>
#include <time.h>

#include "plattform/absturz/intern/maps.h"

namespace Plattform {

// ---------------------------------------------------------------------------------------------
// AbsturzText

AbsturzText& AbsturzText::Text(const char* text, size_t laenge) {
  const size_t platz = Groesse - 1 - mLaenge;
  if (laenge > platz) laenge = platz;
  std::memcpy(mPuffer + mLaenge, text, laenge);
  mLaenge += laenge;
  mPuffer[mLaenge] = '\0';
  return *this;
}

AbsturzText& AbsturzText::Text(const char* text) {
  return text ? Text(text, std::strlen(text)) : *this;
}

AbsturzText& AbsturzText::Hex(uint64_t wert, int stellen) {
  char ziffern[16];
  int n = 0;
  do {
    ziffern[n++] = "0123456789ABCDEF"[wert & 0xF];
    wert >>= 4;
  } while (wert != 0);
  while (n < stellen && n < 16) ziffern[n++] = '0';
  char umgekehrt[16];
  for (int i = 0; i < n; ++i) umgekehrt[i] = ziffern[n - 1 - i];
  return Text(umgekehrt, static_cast<size_t>(n));
}

AbsturzText& AbsturzText::Dez(int64_t wert, int stellen) {
  char ziffern[24];
  int n = 0;
  const bool negativ = wert < 0;
  uint64_t betrag = negativ ? 0 - static_cast<uint64_t>(wert) : static_cast<uint64_t>(wert);
  do {
    ziffern[n++] = static_cast<char>('0' + betrag % 10);
    betrag /= 10;
  } while (betrag != 0);
  while (n < stellen && n < 20) ziffern[n++] = '0';
  if (negativ) ziffern[n++] = '-';
  char umgekehrt[24];
  for (int i = 0; i < n; ++i) umgekehrt[i] = ziffern[n - 1 - i];
  return Text(umgekehrt, static_cast<size_t>(n));
}

AbsturzText& AbsturzText::Zeichen(char c, size_t anzahl) {
  for (size_t i = 0; i < anzahl; ++i) Text(&c, 1);
  return *this;
}

// ---------------------------------------------------------------------------------------------

namespace {

constexpr int kSignale[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};
constexpr size_t kAltStapel = 512 * 1024;  // symbol reading and demangling need room

AbsturzFilter gFilter = nullptr;
void (*gBeschreiber)(AbsturzText&) = nullptr;
struct sigaction gVorher[NSIG];
bool gInstalliert = false;
std::terminate_handler gVorherTerminate = nullptr;
void* gAltStapel = nullptr;
size_t gAltStapelGroesse = 0;
stack_t gAltStapelVorher{};
uint64_t gStapelUnten = 0;
uint64_t gStapelOben = 0;
int gLeseRohr[2] = {-1, -1};

// The thread writing a report (0: none). A second crash on that thread is a fault inside the
// report; one on another thread waits for the process to end.
std::atomic<uint32_t> gBesitzer{0};
volatile sig_atomic_t gTerminateGemeldet = 0;
volatile sig_atomic_t gImWaechter = 0;
sigjmp_buf gWaechterSprung;

uint32_t EigeneThreadId() { return static_cast<uint32_t>(::syscall(SYS_gettid)); }

bool IstHardwareFehler(int signal) {
  return signal == SIGSEGV || signal == SIGBUS || signal == SIGFPE || signal == SIGILL;
}

// Hands the signal on: the handler installed before ours, then the default action.
void ReicheWeiter(int signal, siginfo_t* info, void* kontext) {
  const struct sigaction& vorher = gVorher[signal];
  if (vorher.sa_flags & SA_SIGINFO) {
    if (vorher.sa_sigaction != nullptr) vorher.sa_sigaction(signal, info, kontext);
  } else if (vorher.sa_handler != SIG_DFL && vorher.sa_handler != SIG_IGN &&
             vorher.sa_handler != nullptr) {
    vorher.sa_handler(signal);
  }
  // The process dies with its signal: a fault would come back when the handler returns, but a
  // signal sent by kill/raise, an abort and a breakpoint would not.
  struct sigaction standard {};
  standard.sa_handler = SIG_DFL;
  sigemptyset(&standard.sa_mask);
  ::sigaction(signal, &standard, nullptr);
  if (!IstHardwareFehler(signal) || info == nullptr || info->si_code <= 0) ::raise(signal);
  else {
    sigset_t menge;
    sigemptyset(&menge);
    sigaddset(&menge, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &menge, nullptr);
  }
}

void Warte() {
  for (;;) {
    timespec t{1, 0};
    ::nanosleep(&t, nullptr);
  }
}

void Signalbehandler(int signal, siginfo_t* info, void* kontext) {
  const int errnoVorher = errno;
  const uint32_t ich = EigeneThreadId();
  uint32_t besitzer = 0;
  if (!gBesitzer.compare_exchange_strong(besitzer, ich)) {
    if (besitzer != ich) Warte();  // the first report ends the process
    if (gImWaechter) ::siglongjmp(gWaechterSprung, 1);  // a fault inside the best-effort part
    if (!(gTerminateGemeldet && signal == SIGABRT)) {
      ReicheWeiter(signal, info, kontext);  // a fault in the report itself: give up on it
      return;
    }
  } else if (gFilter != nullptr) {
    AbsturzFall fall;
    fall.signal = signal;
    fall.signalCode = info ? info->si_code : 0;
    fall.zugriff = info ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
    fall.kontext = kontext;
    fall.befehl = kontext ? static_cast<uint64_t>(
                                static_cast<const ucontext_t*>(kontext)->uc_mcontext.gregs[REG_RIP])
                          : 0;
    fall.thread = ich;
    fall.code = AbsturzCode(signal, fall.signalCode, fall.zugriff);
    const char* text = ::sigdescr_np(signal);
    fall.beschreibung = text ? text : "";
    gFilter(fall);
  }
  ReicheWeiter(signal, info, kontext);
  errno = errnoVorher;
}

void WaechterBehandler(int, siginfo_t*, void*) {
  if (gImWaechter) ::siglongjmp(gWaechterSprung, 1);
}

void BeiTerminate() {
  const uint32_t ich = EigeneThreadId();
  uint32_t besitzer = 0;
  if (gBesitzer.compare_exchange_strong(besitzer, ich)) {
    AbsturzText text;
    if (gBeschreiber != nullptr) gBeschreiber(text);
    ucontext_t kontext;
    ::getcontext(&kontext);
    AbsturzFall fall;
    fall.code = kCppAusnahme;
    fall.signal = SIGABRT;
    fall.befehl = static_cast<uint64_t>(kontext.uc_mcontext.gregs[REG_RIP]);
    fall.zugriff = fall.befehl;
    fall.kontext = &kontext;
    fall.thread = ich;
    fall.beschreibung = "Unhandled C++ exception";
    fall.ausnahme = text.Daten();
    if (gFilter != nullptr) gFilter(fall);
    gTerminateGemeldet = 1;  // the abort that follows is not reported a second time
  } else if (besitzer != ich) {
    Warte();
  }
  if (gVorherTerminate != nullptr) gVorherTerminate();
  ::abort();
}

// The main stack's guard region: below the lowest address the stack may grow to.
void NimmStapelGrenzen() {
  uint64_t oben = 0;
  Intern::FuerJedeMapsZeile([&](const Intern::MapsZeile& z) {
    if (std::strcmp(z.pfad, "[stack]") != 0) return true;
    oben = z.bis;
    return false;
  });
  if (oben == 0) return;
  rlimit grenze{};
  uint64_t groesse = 8ull << 20;
  if (::getrlimit(RLIMIT_STACK, &grenze) == 0 && grenze.rlim_cur != RLIM_INFINITY)
    groesse = grenze.rlim_cur;
  else if (grenze.rlim_cur == RLIM_INFINITY)
    groesse = 1ull << 30;
  // The kernel keeps a gap of 256 pages below the stack; a touch anywhere there overflows.
  const uint64_t luecke = 256ull * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)) + (1ull << 20);
  const uint64_t unten = oben > groesse + luecke ? oben - groesse - luecke : 0;
  SetzeStapelGrenzen(unten, oben);
}

bool ErstelleAltStapel() {
  const size_t seite = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  gAltStapelGroesse = kAltStapel + seite;
  void* block = ::mmap(nullptr, gAltStapelGroesse, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return false;
  // The stack grows down: a guard page at its low end turns an overflow into a clean fault.
  ::mprotect(block, seite, PROT_NONE);
  gAltStapel = block;
  stack_t stapel{};
  stapel.ss_sp = static_cast<char*>(block) + seite;
  stapel.ss_size = kAltStapel;
  return ::sigaltstack(&stapel, &gAltStapelVorher) == 0;
}

}  // namespace

void SetzeStapelGrenzen(uint64_t unten, uint64_t oben) {
  gStapelUnten = unten;
  gStapelOben = oben;
}

uint32_t AbsturzCode(int signal, int code, uint64_t zugriff) {
  switch (signal) {
    case SIGSEGV:
      if (code > 0 && zugriff >= gStapelUnten && zugriff < gStapelOben) return 0xC00000FD;
      return 0xC0000005;
    case SIGBUS:
      return code == BUS_ADRALN ? 0x80000002 : 0xC0000006;
    case SIGFPE:
      switch (code) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTINV: return 0xC0000090;
        case FPE_FLTSUB: return 0xC000008C;
        default: break;
      }
      break;
    case SIGILL:
      return code == ILL_PRVOPC || code == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
    case SIGTRAP:
      if (code == TRAP_BRKPT) return 0x80000003;
      if (code == TRAP_TRACE) return 0x80000004;
      break;
    default:
      break;
  }
  return static_cast<uint32_t>(signal);
}

bool InstalliereAbsturzFilter(AbsturzFilter filter, void (*beschreiber)(AbsturzText&)) {
  if (gInstalliert) return true;
  gFilter = filter;
  gBeschreiber = beschreiber;
  NimmStapelGrenzen();
  bool gut = ErstelleAltStapel();
  if (::pipe2(gLeseRohr, O_CLOEXEC | O_NONBLOCK) != 0) gut = false;

  struct sigaction aktion {};
  aktion.sa_sigaction = &Signalbehandler;
  // SA_NODEFER: a fault inside the report comes back to us (and ends the best-effort part)
  // instead of killing the process before the minidump is written.
  aktion.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&aktion.sa_mask);
  for (int signal : kSignale)
    if (::sigaction(signal, &aktion, &gVorher[signal]) != 0) gut = false;

  gVorherTerminate = std::set_terminate(&BeiTerminate);
  gInstalliert = true;
  return gut;
}

void EntferneAbsturzFilter() {
  if (!gInstalliert) return;
  for (int signal : kSignale) ::sigaction(signal, &gVorher[signal], nullptr);
  std::set_terminate(gVorherTerminate);
  if (gAltStapel != nullptr) {
    ::sigaltstack(&gAltStapelVorher, nullptr);
    ::munmap(gAltStapel, gAltStapelGroesse);
    gAltStapel = nullptr;
  }
  for (int& fd : gLeseRohr) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  gFilter = nullptr;
  gBeschreiber = nullptr;
  gInstalliert = false;
}

bool AbsturzFilterInstalliert() { return gInstalliert; }

void SchreibeAlles(int fd, const char* daten, size_t laenge) {
  while (laenge > 0) {
    const ssize_t n = ::write(fd, daten, laenge);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    daten += n;
    laenge -= static_cast<size_t>(n);
  }
}

bool GleichesZiel(int fd1, int fd2) {
  struct stat a {}, b {};
  if (::fstat(fd1, &a) != 0 || ::fstat(fd2, &b) != 0) return false;
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

void HaengeAnDatei(const char* pfad, const char* daten, size_t laenge) {
  const int fd = ::open(pfad, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  SchreibeAlles(fd, daten, laenge);
  ::close(fd);
}

bool MitWaechter(unsigned sekunden, void (*arbeit)(void*), void* daten) {
  // The alarm's handler is ours only while the work runs.
  struct sigaction waechter {};
  struct sigaction vorher {};
  waechter.sa_sigaction = &WaechterBehandler;
  waechter.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&waechter.sa_mask);
  ::sigaction(SIGALRM, &waechter, &vorher);
  volatile bool fertig = false;  // read after a jump back
  if (sigsetjmp(gWaechterSprung, 1) == 0) {
    gImWaechter = 1;
    ::alarm(sekunden);
    arbeit(daten);
    fertig = true;
  }
  ::alarm(0);
  gImWaechter = 0;
  ::sigaction(SIGALRM, &vorher, nullptr);
  return fertig;
}

namespace Intern {

ssize_t RoherWrite(int fd, const void* daten, size_t laenge) {
  return ::syscall(SYS_write, fd, daten, laenge);
}

}  // namespace Intern

bool LeseSicher(uint64_t adresse, void* ziel, size_t laenge) {
  // The kernel copies through the pipe: an unmapped page is an EFAULT, not a fault.
  char* z = static_cast<char*>(ziel);
  while (laenge > 0) {
    const size_t stueck = laenge < 4096 ? laenge : 4096;
    if (gLeseRohr[1] < 0 && ::pipe2(gLeseRohr, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    const ssize_t n =
        Intern::RoherWrite(gLeseRohr[1], reinterpret_cast<const void*>(adresse), stueck);
    // Read back whatever went in, so a short copy leaves nothing behind for the next one.
    const ssize_t m = n > 0 ? ::read(gLeseRohr[0], z, static_cast<size_t>(n)) : 0;
    if (n != static_cast<ssize_t>(stueck) || m != n) return false;
    adresse += stueck;
    z += stueck;
    laenge -= stueck;
  }
  return true;
}

}  // namespace Plattform
