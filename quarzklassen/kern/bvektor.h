#pragma once
// Three-component vector. Property files name BVektor<float> "TVektor"; its text form is
// the three numbers separated by white space.

#include <cmath>
#include <istream>
#include <ostream>

template <typename T>
class BVektor
{
public:
    constexpr BVektor() = default;
    constexpr BVektor(T x_, T y_, T z_) : x(x_), y(y_), z(z_) {}

    constexpr void Setze(T x_, T y_, T z_)
    {
        x = x_;
        y = y_;
        z = z_;
    }

    constexpr BVektor& operator+=(const BVektor& b)
    {
        x += b.x;
        y += b.y;
        z += b.z;
        return *this;
    }
    constexpr BVektor operator+(const BVektor& b) const { return BVektor(x + b.x, y + b.y, z + b.z); }
    constexpr BVektor operator-(const BVektor& b) const { return BVektor(x - b.x, y - b.y, z - b.z); }
    constexpr bool operator==(const BVektor& b) const = default;

    T Laenge() const { return std::sqrt(x * x + y * y + z * z); }

    // The part of the vector in the ground plane (y is up).
    constexpr BVektor OhneHoehe() const { return BVektor(x, T(0), z); }

    T x = T(0);
    T y = T(0);
    T z = T(0);
};

// Written with single blanks and a final newline.
template <typename T>
std::ostream& operator<<(std::ostream& aus, const BVektor<T>& v)
{
    return aus << v.x << ' ' << v.y << ' ' << v.z << '\n';
}

// Reads three numbers separated by white space. Leading white space is skipped even when
// the stream does not skip it itself (boost::lexical_cast turns skipping off).
template <typename T>
std::istream& operator>>(std::istream& ein, BVektor<T>& v)
{
    BVektor<T> gelesen;
    ein >> std::ws >> gelesen.x >> std::ws >> gelesen.y >> std::ws >> gelesen.z;
    if (ein)
        v = gelesen;
    return ein;
}
