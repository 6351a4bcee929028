#pragma once
// One convex cell of the terrain around a world point.
#include <array>
#include <cstdint>

#include "quarzklassen/kern/talphafarbe.h"
#include "spiel/welt/netz.h"

namespace Spiel {

struct Region
{
    enum Typ : uint32_t
    {
        Rand = 0,  // border mountain
        Frei = 1,  // free land
        Berg = 2,  // mountain
        Wald = 3,  // forest
        Feld = 4,  // under a field
    };
    // The largest cell the construction can produce (the world checks it).
    static constexpr uint32_t MAX_ECKEN = 20;

    // Mean height of the corners (0 without corners).
    float MittlereHoehe() const;
    // Mean of the corners (origin without corners).
    Vektor Schwerpunkt() const;
    bool HatEcken() const { return mEckenAnzahl > 0; }

    // The convex polygon, y is the corner's height.
    std::array<Vektor, MAX_ECKEN> mEcken{};
    uint32_t mEckenAnzahl = 0;
    // Entry k is the point across the edge from corner k to corner k+1; an index at or above
    // the world's point count names a mirror point, which is no region.
    std::array<uint64_t, MAX_ECKEN> mNachbarn{};
    uint32_t mNachbarAnzahl = 0;
    TAlphaFarbe mFarbe{0, 0, 0, 1};
    Typ mTyp = Frei;
};

}  // namespace Spiel
