#pragma once
// Colour with alpha: four floats in [0, 1], and its packing to 32-bit ARGB
// (alpha in bits 24 to 31, red 16 to 23, green 8 to 15, blue 0 to 7).

#include <cstdint>
#include <istream>
#include <ostream>

class TAlphaFarbe
{
public:
    constexpr TAlphaFarbe() = default;
    constexpr TAlphaFarbe(float r_, float g_, float b_, float a_) : r(r_), g(g_), b(b_), a(a_) {}
    constexpr bool operator==(const TAlphaFarbe& o) const = default;

    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 0.0f;
};

// Each channel becomes the integer part of channel * 255 + 0.51, clamped to 0..255.
uint32_t FarbeNachARGB(const TAlphaFarbe& farbe);

// Each byte times 1/255.
TAlphaFarbe FarbeAusARGB(uint32_t argb);

// Text form: the four numbers separated by single blanks.
std::ostream& operator<<(std::ostream& aus, const TAlphaFarbe& f);
// Reads four numbers separated by white space.
std::istream& operator>>(std::istream& ein, TAlphaFarbe& f);
