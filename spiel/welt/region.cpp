#include "spiel/welt/region.h"

namespace Spiel {

float Region::MittlereHoehe() const
{
    if (mEckenAnzahl == 0)
        return 0.0f;
    float summe = 0.0f;
    for (uint32_t k = 0; k < mEckenAnzahl; ++k)
        summe += mEcken[k].y;
    return summe / static_cast<float>(mEckenAnzahl);
}

Vektor Region::Schwerpunkt() const
{
    if (mEckenAnzahl == 0)
        return Vektor();
    Vektor summe;
    for (uint32_t k = 0; k < mEckenAnzahl; ++k)
        summe += mEcken[k];
    return Mal(summe, 1.0f / static_cast<float>(mEckenAnzahl));
}

}  // namespace Spiel
