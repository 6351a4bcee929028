#pragma once
// The building types: footprint radius, model, build time and costs, indexed by build type.
#include <cstdint>

namespace Spiel {

struct Gebaeudetyp
{
    float mRadius;
    const char* mModell;  // null when the type has no model
    float mBauzeit;       // seconds
    uint64_t mNahrung;
    uint64_t mHolz;
    uint64_t mStein;
};

// 0 nothing, 1 field, 2 farmhouse, 3 woodcutter's hut, 4 forester's house, 5 quarry, 6 tower.
inline constexpr uint64_t GEBAEUDETYPEN = 7;
extern const Gebaeudetyp Gebaeudetypen[GEBAEUDETYPEN];

}  // namespace Spiel
