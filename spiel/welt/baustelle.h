#pragma once
// A construction site: calls a builder once a second, counts down the build time while the
// building rises from below the ground, creates the building, lowers its scaffold and goes.
#include <cstdint>

#include "spiel/welt/objekt.h"

namespace Spiel {

class Baustelle : public Objekt
{
public:
    static constexpr Art ART = Art::Baustelle;

    enum Zustand : uint32_t
    {
        Wartet = 0,     // looking for a builder
        Unterwegs = 1,  // a builder is on the way
        Bau = 2,        // building
        Abbau = 3,      // done; the scaffold sinks
    };

    Baustelle(Szene* szene, const Vektor& position, uint64_t typ);
    ~Baustelle() override;
    void Aktualisiere() override;
    // The builder has arrived.
    void BeginneBau();

    uint64_t mGeruestInstanz = SIZE_MAX;
    uint64_t mGebaeudeInstanz = SIZE_MAX;
    uint32_t mZustand = Wartet;
    uint64_t mTyp;
    int64_t mBaudauer;
    int64_t mRestzeit;
    bool mLoeschungGeplant = false;

private:
    void StelleGebaeude();
};

}  // namespace Spiel
