#pragma once
// The three stocks of the settlement. A stock never goes below 0: every taker tests it first.
#include <cstdint>

namespace Spiel::Vorrat {

extern uint64_t Nahrung;
extern uint64_t Holz;
extern uint64_t Stein;

// Back to the start values 10, 10, 0.
void Zuruecksetzen();

}  // namespace Spiel::Vorrat
