#include "spiel/welt/zufall.h"

namespace Spiel {

namespace {
// Linear congruential generator s = s * 214013 + 2531011 (mod 2^32), result bits 16..30.
uint32_t gZustand = 1;
}  // namespace

void srand(uint32_t saat) { gZustand = saat; }

int rand()
{
    gZustand = gZustand * 214013u + 2531011u;
    return static_cast<int>((gZustand >> 16) & 0x7FFFu);
}

}  // namespace Spiel
