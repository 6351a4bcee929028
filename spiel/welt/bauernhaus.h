#pragma once
// The farmhouse: where workers come from (one every 30 s, up to four), where farmers bring
// grain and where tower workers fetch material. Its lit windows count the residents.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Bauernhaus : public Objekt
{
public:
    static constexpr Art ART = Art::Bauernhaus;

    Bauernhaus(Szene* szene, const Vektor& position);
    ~Bauernhaus() override;
    void Aktualisiere() override;
    // Resident number n moves in: the house shows n lit windows and a new worker appears.
    void NeuerBewohner(uint64_t n);

    uint64_t mInstanz = SIZE_MAX;
    uint64_t mBewohner = 0;
    Zeitpunkt mZeitpunkt;
};

}  // namespace Spiel
