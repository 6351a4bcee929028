#include "quarzklassen/kern/talphafarbe.h"

namespace
{
// Out-of-range channels would otherwise spill into the neighbouring bytes (or be undefined
// for negative and huge values); values in [0, 1] give the same result as without the clamp.
uint32_t Kanal(float wert)
{
    const float skaliert = wert * 255.0f + 0.51f;
    if (!(skaliert >= 0.0f)) // also catches NaN
        return 0;
    if (skaliert >= 255.0f)
        return 255;
    return static_cast<uint32_t>(skaliert);
}
} // namespace

uint32_t FarbeNachARGB(const TAlphaFarbe& farbe)
{
    return Kanal(farbe.a) << 24 | Kanal(farbe.r) << 16 | Kanal(farbe.g) << 8 | Kanal(farbe.b);
}

TAlphaFarbe FarbeAusARGB(uint32_t argb)
{
    const float faktor = 0.003921569f;
    return TAlphaFarbe(static_cast<float>(argb >> 16 & 0xFF) * faktor, static_cast<float>(argb >> 8 & 0xFF) * faktor,
                       static_cast<float>(argb & 0xFF) * faktor, static_cast<float>(argb >> 24 & 0xFF) * faktor);
}

std::ostream& operator<<(std::ostream& aus, const TAlphaFarbe& f)
{
    return aus << f.r << ' ' << f.g << ' ' << f.b << ' ' << f.a;
}

std::istream& operator>>(std::istream& ein, TAlphaFarbe& f)
{
    TAlphaFarbe gelesen;
    ein >> std::ws >> gelesen.r >> std::ws >> gelesen.g >> std::ws >> gelesen.b >> std::ws >> gelesen.a;
    if (ein)
        f = gelesen;
    return ein;
}
