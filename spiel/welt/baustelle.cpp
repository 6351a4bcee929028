#include "spiel/welt/baustelle.h"

#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/forsthaus.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/holzfaeller.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/pruefung.h"
#include "spiel/welt/steinbruch.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/turm.h"

namespace Spiel {

Baustelle::Baustelle(Szene* szene, const Vektor& position, uint64_t typ) : Objekt(szene, position), mTyp(typ)
{
    Melde(ART);
    Melde(Art::Grundflaeche);
    SPIEL_PRUEFE(mTyp >= 2 && mTyp < GEBAEUDETYPEN);
    const Gebaeudetyp& zeile = Gebaeudetypen[mTyp];
    mRadius = zeile.mRadius;
    mBaudauer = static_cast<int64_t>(gTimerFrequenz * zeile.mBauzeit);
    mGeruestInstanz = NeueInstanz("baustelle", TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
    mGebaeudeInstanz = NeueInstanz(zeile.mModell, TMatrix4::Verschiebung(mPosition.x, mPosition.y - 20.0f, mPosition.z));
    mRestzeit = static_cast<int64_t>(gTimerFrequenz);
}

Baustelle::~Baustelle()
{
    EntferneInstanz(mGeruestInstanz);
    EntferneInstanz(mGebaeudeInstanz);
}

void Baustelle::BeginneBau()
{
    mZustand = Bau;
    mRestzeit = mBaudauer;
}

void Baustelle::StelleGebaeude()
{
    switch (mTyp)
    {
    case 2: new Bauernhaus(mSzene, mPosition); break;
    case 3: new Holzfaeller(mSzene, mPosition); break;
    case 4: new Forsthaus(mSzene, mPosition); break;
    case 5: new Steinbruch(mSzene, mPosition); break;
    case 6: new Turm(mSzene, mPosition); break;
    default: break;
    }
    EntferneInstanz(mGebaeudeInstanz);
    mZustand = Abbau;
}

void Baustelle::Aktualisiere()
{
    const int64_t schritt = Schritt();
    switch (mZustand)
    {
    case Wartet:
        mRestzeit -= schritt;
        if (mRestzeit <= 0)
        {
            if (Mensch* bauer = mSzene->SucheArbeiter(this))
            {
                mZustand = Unterwegs;
                bauer->mZiel = this;
                bauer->mArbeitsplatz = nullptr;
                bauer->mZustand = 10;
                bauer->mZielPosition = mPosition;
            }
            mRestzeit = static_cast<int64_t>(gTimerFrequenz);
        }
        break;
    case Bau:
        mRestzeit -= schritt;
        if (mRestzeit > 0)
        {
            const float versatz = (Sekunden(mRestzeit) * -20.0f) / Sekunden(mBaudauer);
            SetzeMatrix(mGebaeudeInstanz, TMatrix4::Verschiebung(mPosition.x, mPosition.y + versatz, mPosition.z));
        }
        else
            StelleGebaeude();
        break;
    case Abbau:
    {
        mRestzeit -= schritt;
        const float t = Sekunden(mRestzeit);
        SetzeMatrix(mGeruestInstanz, TMatrix4::Verschiebung(mPosition.x, mPosition.y - 5.0f * t * t, mPosition.z));
        if (mRestzeit < static_cast<int64_t>(gTimerFrequenz * -2.0f) && !mLoeschungGeplant)
        {
            mLoeschungGeplant = true;
            LoescheVerzoegert(0, this);
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace Spiel
