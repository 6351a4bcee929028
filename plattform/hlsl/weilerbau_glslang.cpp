// The HLSL compiler's glslang process: compile jobs in, glslang's results out, one after the
// other, until the program that started it closes the socket that is this process's standard
// input and output (d3dx_glslanglauf.h starts it; d3dx_glslangsatz.h has the frames).
//
// A source that crashes glslang, runs it out of stack or keeps it busy ends this process only:
// the program that started it reports a compile error for that source and starts another.
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "plattform/hlsl/intern/d3dx_glslangarbeit.h"
#include "plattform/hlsl/intern/d3dx_glslangsatz.h"

using Plattform::TGlslangSatz;

int main() {
  // A crash ends this process plainly, with the signal in its exit status for the program that
  // started it: no sanitizer report and no core file.
  for (int signal_ : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) signal(signal_, SIG_DFL);
  const rlimit keinKern{0, 0};
  setrlimit(RLIMIT_CORE, &keinKern);
  // Every way out is _exit: glslang's process-wide tables live until the end on purpose, and no
  // exit handler (a leak check among them) has anything to do here.
  for (;;) {
    std::string satz;
    const TGlslangSatz::TStand stand = TGlslangSatz::LiesRahmen(0, satz, std::nullopt);
    if (stand == TGlslangSatz::TStand::Ende) _exit(0);
    Plattform::THlslKompiler::TAuftrag auftrag;
    if (stand != TGlslangSatz::TStand::Gut || !TGlslangSatz::Entpacke(satz, auftrag)) _exit(1);
    // The program that started us kills us when a job takes too long; should it be gone, a
    // hang still ends, a little later.
    alarm(TGlslangSatz::GrenzeMillisekunden / 1000 + 10);
    bool gut = false;
    try {
      gut = TGlslangSatz::SchreibeRahmen(
                1, TGlslangSatz::Verpacke(Plattform::TGlslangArbeit::Fuehre(auftrag)),
                std::nullopt) == TGlslangSatz::TStand::Gut;
    } catch (...) {
      gut = false;
    }
    alarm(0);
    if (!gut) _exit(1);
  }
}
