#pragma once
// The forester's house: its worker plants saplings on free land.
#include "spiel/welt/werkstatt.h"

namespace Spiel {

class Forsthaus : public Werkstatt
{
public:
    static constexpr Art ART = Art::Forsthaus;

    Forsthaus(Szene* szene, const Vektor& position) : Werkstatt(szene, position, 4, 17, ART) {}
};

}  // namespace Spiel
