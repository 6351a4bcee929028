// A program started the way the game starts: crash handler and audio object from their start
// libraries, the log and the audio creation at the top of main. With the argument "absturz"
// it then dies of a null access; otherwise it shuts down and returns 0.
#include <cstring>

#include "quarzklassen/audio/audio_start.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_variable.h"

extern "C" const char* __asan_default_options() {
  return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0:"
         "allow_user_segv_handler=1:use_sigaltstack=0";
}

namespace {
int* volatile gNullZeiger = nullptr;
__attribute__((noinline, no_sanitize("address", "undefined"))) void StartprobeAbsturz() {
  *gNullZeiger = 1;
}
}  // namespace

int main(int argc, char** argv) {
  t_logfile.mBool.store(true);
  gLog.Starte(gSystem.mBenutzerPfad, L"spiel.log");
  gAudio.Erstelle();
  if (argc > 1 && std::strcmp(argv[1], "absturz") == 0) StartprobeAbsturz();
  Quarz_Audio::Beenden();
  gLog.Beende();
  return 0;
}
