#pragma once
// The game's procedural models: every 3D object is built here in code at start-up.
// The builders draw from the game's random generator in a fixed order; since the generator is
// seeded only later (just before the map), the random models are the same at every start.
#include <cstdint>

#include "spiel/welt/netz.h"

namespace Spiel {

Netz BaueHaus(uint64_t bewohner);  // 0..4 lit windows
Netz BaueBaum();                   // a different tree at each call
Netz BaueMensch(uint64_t last);    // 0 plain, 1 grain, 2 wood, 3 stone, 4 sapling
Netz BauePfeil(bool gross);
Netz BaueGetreide();
Netz BaueBaustelle();
Netz BaueHolzfaeller();
Netz BaueForsthaus();
Netz BaueSteinbruch();
Netz BaueTurm();

// Builds and registers every named model, in the fixed order the random draws rely on.
// The game's sprite sheet "grafik.png" (gSpielGrafik) and font "calibrib.ttf" (gSpielSchrift)
// are loaded right after this with LadeSpielGrafik (spiel/grafik/spielgrafik.h), which needs the
// graphics engine that the world does not link.
void LadeModelle();

}  // namespace Spiel
