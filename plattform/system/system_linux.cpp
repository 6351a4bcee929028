#include "plattform/system/system_linux.h"

#include "plattform/system/speicherprobe.h"

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace Plattform {

namespace {

std::atomic<ZaehlerQuelle> gZaehlerQuelle{nullptr};

int64_t MonotoneUhr() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// One text field (name or home folder) of the effective user's password-database entry,
// read with the thread-safe call; empty when there is none.
std::string PasswdFeld(char* passwd::*feld) {
  long groesse = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> puffer(groesse > 0 ? static_cast<size_t>(groesse) : 16384);
  passwd eintrag{};
  passwd* ergebnis = nullptr;
  if (getpwuid_r(geteuid(), &eintrag, puffer.data(), puffer.size(), &ergebnis) == 0 &&
      ergebnis != nullptr && ergebnis->*feld != nullptr)
    return ergebnis->*feld;
  return {};
}

}  // namespace

int64_t LeistungsZaehler() {
  const ZaehlerQuelle quelle = gZaehlerQuelle.load(std::memory_order_acquire);
  return quelle != nullptr ? quelle() : MonotoneUhr();
}

int64_t LeistungsFrequenz() { return 1000000000; }

void SetzeZaehlerQuelle(ZaehlerQuelle quelle) {
  gZaehlerQuelle.store(quelle, std::memory_order_release);
}

bool ProgrammPfad(std::string& pfad) {
  std::vector<char> puffer(4096);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", puffer.data(), puffer.size());
    if (n < 0) return false;
    if (static_cast<size_t>(n) < puffer.size()) {
      pfad.assign(puffer.data(), static_cast<size_t>(n));
      return !pfad.empty();
    }
    if (puffer.size() >= (1u << 20)) return false;
    puffer.resize(puffer.size() * 2);  // the path may have been cut: try a larger buffer
  }
}

bool AnwendungsDatenOrdner(std::string& pfad) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg != nullptr && xdg[0] == '/') {
    pfad = xdg;
    return true;
  }
  std::string heim;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') heim = home;
  else heim = PasswdFeld(&passwd::pw_dir);
  if (heim.empty()) return false;
  if (heim.back() != '/') heim += '/';
  pfad = heim + ".local/share";
  return true;
}

bool OrdnerExistiert(const std::string& pfad) {
  struct stat info{};
  return stat(pfad.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool ErstelleOrdner(const std::string& pfad) {
  if (pfad.empty()) return false;
  // Create every missing component from the root down.
  for (size_t pos = pfad.find('/', 1);; pos = pfad.find('/', pos + 1)) {
    const std::string teil = pfad.substr(0, pos);
    if (!teil.empty() && mkdir(teil.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (pos == std::string::npos) break;
  }
  return OrdnerExistiert(pfad);
}

bool SynchronisiereOrdnerVon(const std::string& dateiPfad) {
  const size_t schraegstrich = dateiPfad.rfind('/');
  const std::string ordner = schraegstrich == std::string::npos ? "."
                             : schraegstrich == 0              ? "/"
                                                               : dateiPfad.substr(0, schraegstrich);
  const int fd = open(ordner.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool gut = fsync(fd) == 0;
  close(fd);
  return gut;
}

bool SynchronisiereDatei(std::FILE* datei) { return datei && fsync(fileno(datei)) == 0; }

bool RegulaereDateiLaenge(std::FILE* datei, uint64_t& laenge) {
  struct stat info{};
  if (!datei || fstat(fileno(datei), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  laenge = static_cast<uint64_t>(info.st_size);
  return true;
}

std::string BenutzerName() {
  std::string name = PasswdFeld(&passwd::pw_name);
  if (!name.empty()) return name;
  const char* user = std::getenv("USER");
  if (user != nullptr && user[0] != '\0') return user;
  return {};
}

bool DebuggerAngehaengt() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return false;
  char zeile[256];
  long tracer = 0;
  while (std::fgets(zeile, sizeof zeile, status) != nullptr) {
    if (std::strncmp(zeile, "TracerPid:", 10) == 0) {
      tracer = std::strtol(zeile + 10, nullptr, 10);
      break;
    }
  }
  std::fclose(status);
  return tracer != 0;
}

void DebuggerAnhalten() {
  if (DebuggerAngehaengt()) std::raise(SIGTRAP);
}

namespace {
// The kernel id is asked once per thread (the log asks for it twice per line). A forked child
// is a new thread with the old cache: the fork handler clears it there.
thread_local uint32_t tThreadId = 0;
void NachFork() { tThreadId = 0; }
const int gForkHandler = pthread_atfork(nullptr, nullptr, &NachFork);
}  // namespace

uint32_t ThreadId() {
  (void)gForkHandler;
  if (tThreadId == 0) tThreadId = static_cast<uint32_t>(syscall(SYS_gettid));
  return tThreadId;
}

namespace {

std::atomic<bool> gBeendenAngefordert{false};
static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

void BeiBeendenSignal(int) { gBeendenAngefordert.store(true, std::memory_order_relaxed); }

// The fixed frame step's counter: starts where the real clock stood and moves only by frames.
std::atomic<int64_t> gTaktZaehler{0};
int64_t TaktZaehler() { return gTaktZaehler.load(std::memory_order_relaxed); }

}  // namespace

void FangeBeendenSignale() {
  struct sigaction aktion{};
  aktion.sa_handler = BeiBeendenSignal;
  sigemptyset(&aktion.sa_mask);
  aktion.sa_flags = SA_RESTART;
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &aktion, nullptr);
}

bool BeendenAngefordert() { return gBeendenAngefordert.load(std::memory_order_relaxed); }

bool FesterZufallsStart(uint32_t& start) {
  const char* text = std::getenv("WEILERBAU_SEED");
  if (!text || !*text) return false;
  char* ende = nullptr;
  errno = 0;
  const unsigned long long wert = std::strtoull(text, &ende, 10);
  if (errno != 0 || *ende != 0 || text[0] == '-' || wert > UINT32_MAX) return false;
  start = static_cast<uint32_t>(wert);
  return true;
}

bool FesterTakt() {
  static const bool fest = [] {
    const char* text = std::getenv("WEILERBAU_FESTER_TAKT");
    if (!text) return false;
    gTaktZaehler.store(LeistungsZaehler(), std::memory_order_relaxed);
    SetzeZaehlerQuelle(&TaktZaehler);
    return true;
  }();
  return fest;
}

void NaechstesBild() {
  if (FesterTakt()) gTaktZaehler.fetch_add(LeistungsFrequenz() / 60, std::memory_order_relaxed);
  Speicherprobe();
}

}  // namespace Plattform
