#include "spiel/welt/acker.h"

#include "spiel/welt/mensch.h"
#include "spiel/welt/szene.h"

namespace Spiel {

Acker::Acker(Szene* szene, uint64_t region) : Objekt(szene, Vektor()), mRegion(region)
{
    Melde(ART);
    const Region& r = mSzene->mRegionen[mRegion];
    if (r.HatEcken())
    {
        Vektor summe;
        for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
            summe += r.mEcken[k];
        mPosition = Mal(summe, 1.0f / static_cast<float>(r.mEckenAnzahl));
    }
    mZeitpunkt = Jetzt();
    mInstanz = NeueInstanz("getreide", TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
}

Acker::~Acker() { EntferneInstanz(mInstanz); }

void Acker::StarteWachstum()
{
    mZustand = Waechst;
    mZeitpunkt = PlusSekunden(Jetzt(), 120.0f);
}

bool Acker::RufeBauer(uint32_t arbeiterZustand)
{
    Mensch* bauer = mSzene->SucheFeldarbeiter(this, arbeiterZustand == 7);
    if (!bauer)
    {
        mZeitpunkt = PlusSekunden(Jetzt(), 2.0f);
        return false;
    }
    bauer->UebernimmFeld(this, arbeiterZustand);
    return true;
}

void Acker::Aktualisiere()
{
    const Zeitpunkt jetzt = Jetzt();
    float versatz = -8.0f;
    switch (mZustand)
    {
    case Leer:
        if (jetzt >= mZeitpunkt && RufeBauer(5))
            mZustand = Bestellt;
        break;
    case Waechst:
    {
        const float rest = Sekunden(mZeitpunkt - jetzt);
        versatz = rest * (-1.0f / 24.0f);
        if (!(rest / 120.0f > 0.0f))
            mZustand = Reif;
        break;
    }
    case Reif:
        versatz = 0.0f;
        if (jetzt >= mZeitpunkt && RufeBauer(7))
            mZustand = Ernte;
        break;
    case Ernte:
        versatz = 0.0f;
        break;
    default:
        break;
    }
    SetzeMatrix(mInstanz, TMatrix4::Verschiebung(mPosition.x, mPosition.y + versatz, mPosition.z));
}

}  // namespace Spiel
