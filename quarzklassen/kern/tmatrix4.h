#pragma once
// 4 x 4 float matrix, stored row by row (element (r, c) at index 4r + c) and applied to
// column vectors: p' = M * p. A translation lies in the fourth column (indices 3, 7, 11).
// A *= B makes A become B * A: A does what it did, then B.

#include <array>

#include "quarzklassen/kern/bvektor.h"

class TMatrix4
{
public:
    // All elements zero; Einheit() gives the identity.
    constexpr TMatrix4() = default;
    constexpr explicit TMatrix4(const std::array<float, 16>& elemente) : m(elemente) {}

    static constexpr TMatrix4 Einheit()
    {
        return TMatrix4({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    }
    // Placement at (x, y, z): the identity with the translation in the fourth column.
    static constexpr TMatrix4 Verschiebung(float x, float y, float z)
    {
        return TMatrix4({1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z, 0, 0, 0, 1});
    }
    static constexpr TMatrix4 Skalierung(float sx, float sy, float sz)
    {
        return TMatrix4({sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1});
    }
    // Rows (c, 0, -s, 0), (0, 1, 0, 0), (s, 0, c, 0), (0, 0, 0, 1).
    static TMatrix4 RotationY(float winkel);
    // Rows (c, s, 0, 0), (-s, c, 0, 0), (0, 0, 1, 0), (0, 0, 0, 1).
    static TMatrix4 RotationZ(float winkel);

    float& operator()(int zeile, int spalte) { return m[4 * zeile + spalte]; }
    float operator()(int zeile, int spalte) const { return m[4 * zeile + spalte]; }
    float& operator[](int index) { return m[index]; }
    float operator[](int index) const { return m[index]; }
    const float* Daten() const { return m.data(); }
    bool operator==(const TMatrix4& b) const = default;

    // this = B * this.
    TMatrix4& operator*=(const TMatrix4& b);
    // this = transpose(B) * this.
    TMatrix4& MultipliziereTransponiert(const TMatrix4& b);

    // M * (x, y, z, 1) without the division by w: the point placed by this matrix.
    BVektor<float> TransformierePunkt(const BVektor<float>& p) const;

    std::array<float, 16> m{};
};

// B * A: a copy of A, then *= B (A first, then B).
TMatrix4 operator*(const TMatrix4& a, const TMatrix4& b);
