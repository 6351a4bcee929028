#include "spiel/welt/pruefung.h"

#include <cstdio>
#include <cstdlib>

namespace Spiel {

void PruefungGescheitert(const char* ausdruck, const char* datei, int zeile)
{
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", ausdruck, datei, zeile);
    std::fflush(stderr);
    std::abort();
}

}  // namespace Spiel
