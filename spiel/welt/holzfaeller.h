#pragma once
// The woodcutter's hut: its worker fells trees and brings wood.
#include "spiel/welt/werkstatt.h"

namespace Spiel {

class Holzfaeller : public Werkstatt
{
public:
    static constexpr Art ART = Art::Holzfaeller;

    Holzfaeller(Szene* szene, const Vektor& position) : Werkstatt(szene, position, 3, 12, ART) {}
};

}  // namespace Spiel
