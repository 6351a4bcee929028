#pragma once
// Where a world point lands on the screen through a camera's view-projection matrix (rows,
// translation in the fourth column): x to the right, y down, in the units of the given size,
// pixel centres at +0.5.
#include <array>

#include "quarzklassen/kern/tmatrix4.h"

namespace Spiel::Test {

inline std::array<float, 2> Bildpunkt(const TMatrix4& m, const BVektor<float>& p, float breite, float hoehe)
{
    const BVektor<float> clip = m.TransformierePunkt(p);
    const float w = m(3, 0) * p.x + m(3, 1) * p.y + m(3, 2) * p.z + m(3, 3);
    return {(clip.x / w + 1.0f) * 0.5f * breite, (1.0f - clip.y / w) * 0.5f * hoehe};
}

}  // namespace Spiel::Test
