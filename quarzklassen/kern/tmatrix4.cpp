#include "quarzklassen/kern/tmatrix4.h"

#include <cmath>

TMatrix4 TMatrix4::RotationY(float winkel)
{
    const float c = std::cos(winkel);
    const float s = std::sin(winkel);
    return TMatrix4({c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
}

TMatrix4 TMatrix4::RotationZ(float winkel)
{
    const float c = std::cos(winkel);
    const float s = std::sin(winkel);
    return TMatrix4({c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

namespace
{
// this = L * this, where element (r, k) of L is links(r, k).
template <typename Links>
void LinksMultiplizieren(std::array<float, 16>& m, Links links)
{
    std::array<float, 16> ergebnis{};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float summe = 0.0f;
            for (int k = 0; k < 4; ++k)
                summe += links(r, k) * m[4 * k + c];
            ergebnis[4 * r + c] = summe;
        }
    m = ergebnis;
}
} // namespace

TMatrix4& TMatrix4::operator*=(const TMatrix4& b)
{
    LinksMultiplizieren(m, [&b](int r, int k) { return b(r, k); });
    return *this;
}

TMatrix4& TMatrix4::MultipliziereTransponiert(const TMatrix4& b)
{
    LinksMultiplizieren(m, [&b](int r, int k) { return b(k, r); });
    return *this;
}

TMatrix4 operator*(const TMatrix4& a, const TMatrix4& b)
{
    TMatrix4 ergebnis = a;
    ergebnis *= b;
    return ergebnis;
}

BVektor<float> TMatrix4::TransformierePunkt(const BVektor<float>& p) const
{
    return BVektor<float>(m[0] * p.x + m[1] * p.y + m[2] * p.z + m[3], m[4] * p.x + m[5] * p.y + m[6] * p.z + m[7],
                          m[8] * p.x + m[9] * p.y + m[10] * p.z + m[11]);
}
