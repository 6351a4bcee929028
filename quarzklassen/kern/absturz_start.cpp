// The crash handler's place in the start-up: installed during static initialisation, put back
// at process exit. It finds the user-data folder only when a crash happens, so it does not
// depend on the order in which the static objects of the program are constructed.
#include "quarzklassen/kern/absturzbehandlung.h"

namespace {

struct AbsturzStart {
  AbsturzStart() { InstalliereAbsturzbehandlung(); }
  ~AbsturzStart() { EntferneAbsturzbehandlung(); }
};

AbsturzStart gAbsturzStart;

}  // namespace
