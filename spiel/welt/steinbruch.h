#pragma once
// The quarry: its worker lowers rock regions and brings stone.
#include "spiel/welt/werkstatt.h"

namespace Spiel {

class Steinbruch : public Werkstatt
{
public:
    static constexpr Art ART = Art::Steinbruch;

    Steinbruch(Szene* szene, const Vektor& position) : Werkstatt(szene, position, 5, 22, ART) {}
};

}  // namespace Spiel
