#pragma once
// The game's own random generator. Every formula of the game reads its numbers as 0..32767
// ("r / 32767"), the range of a Windows C library's rand; glibc's rand goes to 2^31 - 1.
// So the game has its own generator with that range and the srand/rand contract: unseeded it
// starts from state 1, so the procedural models come out the same at every start.
#include <cstdint>

namespace Spiel {

inline constexpr int ZUFALL_MAX = 32767;

// Restarts the sequence from the given seed.
void srand(uint32_t saat);
// The next number of the sequence, 0..32767.
int rand();

}  // namespace Spiel
