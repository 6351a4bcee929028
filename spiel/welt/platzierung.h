#pragma once
// Placing fields and construction sites on the spot under the mouse: the acceptance test and
// the placement itself (costs taken, object created), from a build type, a hit region and the
// hit point. The main loop calls them each frame; they need no player.
#include <cstdint>

#include "spiel/welt/netz.h"

namespace Spiel {

class Szene;

// Set once the tower's construction site is placed: one tower per game.
extern bool TurmGesetzt;

// Whether a thing of build type typ (1 field, 2..6 buildings) may go at the hit point of the
// hit region (UINT64_MAX: nothing hit).
bool IstPlatzErlaubt(const Szene& szene, uint64_t typ, uint64_t region, const Vektor& punkt);

// Places it when allowed: takes the costs from the stocks and creates the field or the
// construction site. Returns whether something was placed.
bool Platziere(Szene& szene, uint64_t typ, uint64_t region, const Vektor& punkt);

}  // namespace Spiel
