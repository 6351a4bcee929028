#pragma once
// 3 x 3 float matrix, stored row by row (element (r, c) at index 3r + c) and applied to
// column vectors: v' = M * v.

#include <array>

#include "quarzklassen/kern/bvektor.h"

class TMatrix3
{
public:
    // All elements zero; Einheit() gives the identity.
    constexpr TMatrix3() = default;
    constexpr explicit TMatrix3(const std::array<float, 9>& elemente) : m(elemente) {}

    static constexpr TMatrix3 Einheit() { return TMatrix3({1, 0, 0, 0, 1, 0, 0, 0, 1}); }
    // Rows (c, 0, -s), (0, 1, 0), (s, 0, c).
    static TMatrix3 RotationY(float winkel);

    float& operator()(int zeile, int spalte) { return m[3 * zeile + spalte]; }
    float operator()(int zeile, int spalte) const { return m[3 * zeile + spalte]; }
    bool operator==(const TMatrix3& b) const = default;

    // M * v: component i is row i dotted with v.
    BVektor<float> operator*(const BVektor<float>& v) const;

    std::array<float, 9> m{};
};
