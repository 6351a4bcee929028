#include "quarzklassen/kern/tmatrix3.h"

#include <cmath>

TMatrix3 TMatrix3::RotationY(float winkel)
{
    const float c = std::cos(winkel);
    const float s = std::sin(winkel);
    return TMatrix3({c, 0, -s, 0, 1, 0, s, 0, c});
}

BVektor<float> TMatrix3::operator*(const BVektor<float>& v) const
{
    return BVektor<float>(m[0] * v.x + m[1] * v.y + m[2] * v.z, m[3] * v.x + m[4] * v.y + m[5] * v.z,
                          m[6] * v.x + m[7] * v.y + m[8] * v.z);
}
