#pragma once
// The woodcutter's hut: its worker fells trees and brings wood.
#include "spiel/werkstatt.h"

namespace Spiel {

class Holzfaeller : public Werkstatt
{
public:
    Holzfaeller(Szene* szene, const Vektor& position) : Werkstatt(szene, position, 3, 12) {}
};

}  // namespace Spiel
