#pragma once
// The forester's house: its worker plants saplings on free land.
#include "spiel/werkstatt.h"

namespace Spiel {

class Forsthaus : public Werkstatt
{
public:
    Forsthaus(Szene* szene, const Vektor& position) : Werkstatt(szene, position, 4, 17) {}
};

}  // namespace Spiel
