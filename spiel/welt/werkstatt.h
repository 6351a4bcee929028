#pragma once
// What the woodcutter's hut, the forester's house and the quarry share: each hires one idle
// worker for good and sends it into its job.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Werkstatt : public Objekt
{
public:
    void Aktualisiere() override;

    uint64_t mInstanz = SIZE_MAX;
    bool mBesetzt = false;
    Zeitpunkt mZeitpunkt;

protected:
    // typ: the building-type row (radius and model); ersterZustand: the worker's first state.
    // art: the building's own kind.
    Werkstatt(Szene* szene, const Vektor& position, uint64_t typ, uint32_t ersterZustand, Art art);
    ~Werkstatt() override;

private:
    uint32_t mErsterZustand;
};

}  // namespace Spiel
