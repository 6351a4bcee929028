#include "plattform/hlsl/intern/d3dx_glslanglauf.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "plattform/system/system_linux.h"

namespace Plattform {

namespace {

using TStand = TGlslangSatz::TStand;

// The glslang process: its id and this side of its socket; -1 while there is none.
struct TProzess {
  pid_t Pid = -1;
  int Fd = -1;
};

// One process for the whole program, serving one compile at a time. Neither needs destroying:
// at exit the kernel closes the socket, and the glslang process, reading its end, ends too.
std::mutex gSperre;
TProzess gProzess;

std::string ProgrammOrt() {
  std::string programm;
  if (!ProgrammPfad(programm)) return {};
  const std::string ordner = programm.substr(0, programm.rfind('/') + 1);
  for (const std::string& ort : {ordner + TGlslangLauf::Programm,
                                 ordner + "../bin64/" + TGlslangLauf::Programm})
    if (access(ort.c_str(), X_OK) == 0) return ort;
  return {};
}

bool Starte(TProzess& p, std::string& fehler) {
  const std::string ort = ProgrammOrt();
  if (ort.empty()) {
    fehler = std::string("cannot start glslang: ") + TGlslangLauf::Programm +
             " is missing beside this program";
    return false;
  }
  int paar[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, paar) != 0) {
    fehler = std::string("cannot start glslang (socket: ") + std::strerror(errno) + ")";
    return false;
  }
  // Its standard input and output are its end of the socket; no other file of ours stays open
  // there.
  posix_spawn_file_actions_t aktionen;
  posix_spawn_file_actions_init(&aktionen);
  posix_spawn_file_actions_adddup2(&aktionen, paar[1], 0);
  posix_spawn_file_actions_adddup2(&aktionen, paar[1], 1);
  posix_spawn_file_actions_addclosefrom_np(&aktionen, 3);
  // It starts with no signal blocked or ignored, whatever this program has set up, and in a
  // process group of its own: Ctrl+C in a terminal is for this program, which ends in its own
  // way; the glslang process follows when its socket closes.
  posix_spawnattr_t art;
  posix_spawnattr_init(&art);
  sigset_t keine, alle;
  sigemptyset(&keine);
  sigfillset(&alle);
  posix_spawnattr_setsigmask(&art, &keine);
  posix_spawnattr_setsigdefault(&art, &alle);
  posix_spawnattr_setpgroup(&art, 0);
  posix_spawnattr_setflags(&art, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                     POSIX_SPAWN_SETPGROUP);
  char* argumente[] = {const_cast<char*>(ort.c_str()), nullptr};
  pid_t pid = -1;
  const int fehlercode = posix_spawn(&pid, ort.c_str(), &aktionen, &art, argumente, environ);
  posix_spawn_file_actions_destroy(&aktionen);
  posix_spawnattr_destroy(&art);
  close(paar[1]);
  if (fehlercode != 0) {
    close(paar[0]);
    fehler = "cannot start " + ort + " (" + std::strerror(fehlercode) + ")";
    return false;
  }
  // This side waits with a time limit, so it must never block.
  fcntl(paar[0], F_SETFL, fcntl(paar[0], F_GETFL) | O_NONBLOCK);
  p = {pid, paar[0]};
  return true;
}

// waitpid, taken up again after a signal.
pid_t Ernte(pid_t pid, int* status, int optionen) {
  pid_t r;
  while ((r = waitpid(pid, status, optionen)) < 0 && errno == EINTR) {
  }
  return r;
}

// False when there is no process or it has ended (it is reaped then).
bool Lebt(TProzess& p) {
  if (p.Pid < 0) return false;
  if (Ernte(p.Pid, nullptr, WNOHANG) == 0) return true;
  close(p.Fd);
  p = TProzess{};
  return false;
}

// Ends the process and reaps it; its exit status. One that is still running (hung, or one that
// sent a damaged record) is killed; a crashed one keeps the status of its crash.
int Beende(TProzess& p) {
  close(p.Fd);
  int status = 0;
  if (Ernte(p.Pid, &status, WNOHANG) == 0) {
    kill(p.Pid, SIGKILL);
    Ernte(p.Pid, &status, 0);
  }
  p = TProzess{};
  return status;
}

}  // namespace

TGlslangSatz::TErgebnis TGlslangLauf::Fuehre(const THlslKompiler::TAuftrag& auftrag) {
  THlslKompiler::TAuftrag vorbereitet = auftrag;
  vorbereitet.Quelltext = THlslKompiler::BereiteVor(auftrag.Quelltext, auftrag.Stufe);
  const std::string anfrage = TGlslangSatz::Verpacke(vorbereitet);
  TGlslangSatz::TErgebnis ergebnis;
  const std::lock_guard<std::mutex> sperre(gSperre);
  for (;;) {
    // A process that has served other compiles may have been killed from outside since: a
    // failure counts against this source only when a freshly started process fails on it.
    bool frisch = false;
    if (!Lebt(gProzess)) {
      std::string fehler;
      if (!Starte(gProzess, fehler)) {
        ergebnis.Meldungen = TGlslangSatz::Fehlerzeile(auftrag, fehler);
        return ergebnis;
      }
      frisch = true;
    }
    const auto ende = std::chrono::steady_clock::now() +
                      std::chrono::milliseconds(TGlslangSatz::GrenzeMillisekunden);
    std::string antwort;
    TStand stand = TGlslangSatz::SchreibeRahmen(gProzess.Fd, anfrage, ende);
    if (stand == TStand::Gut) stand = TGlslangSatz::LiesRahmen(gProzess.Fd, antwort, ende);
    if (stand == TStand::Gut && TGlslangSatz::Entpacke(antwort, ergebnis)) return ergebnis;
    const int status = Beende(gProzess);
    ergebnis = TGlslangSatz::TErgebnis{};
    if (stand == TStand::Zeit) {
      ergebnis.Meldungen =
          TGlslangSatz::Fehlerzeile(auftrag, "glslang took too long on this source");
      return ergebnis;
    }
    if (stand != TStand::Gut && !frisch) continue;
    std::string text = "glslang failed on this source";
    if (WIFSIGNALED(status)) {
      // A stack overflow is a segmentation fault too.
      const char* name = sigdescr_np(WTERMSIG(status));
      text += " (signal " + std::to_string(WTERMSIG(status));
      text += name ? std::string(", ") + name + ")" : std::string(")");
    }
    ergebnis.Meldungen = TGlslangSatz::Fehlerzeile(auftrag, text);
    return ergebnis;
  }
}

}  // namespace Plattform
