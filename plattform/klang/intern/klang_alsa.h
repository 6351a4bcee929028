#pragma once
#include "plattform/klang/klang.h"

namespace Klang::Intern {

// The ALSA back end's system object.
Ergebnis ErstelleAlsa(System** system);

}  // namespace Klang::Intern
