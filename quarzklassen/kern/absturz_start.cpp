// The crash handler's place in the start-up: constructed during static initialisation right
// after the system object (link order), destroyed at process exit, which puts back the
// handlers that were there before.
#include "quarzklassen/kern/absturzbehandlung.h"

namespace {

struct AbsturzStart {
  AbsturzStart() { InstalliereAbsturzbehandlung(); }
  ~AbsturzStart() { EntferneAbsturzbehandlung(); }
};

AbsturzStart gAbsturzStart;

}  // namespace
