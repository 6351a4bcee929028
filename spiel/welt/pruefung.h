#pragma once
// Invariants of the game objects. Unlike assert, these stay on in release builds: a broken
// invariant means the simulation's state is corrupt, and going on would only hide it.
// Prints expression, source file and line, then ends the program.

namespace Spiel {
[[noreturn]] void PruefungGescheitert(const char* ausdruck, const char* datei, int zeile);
}

#define SPIEL_PRUEFE(ausdruck) \
    ((ausdruck) ? static_cast<void>(0) : ::Spiel::PruefungGescheitert(#ausdruck, __FILE__, __LINE__))
