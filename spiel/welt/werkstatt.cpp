#include "spiel/welt/werkstatt.h"

#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/szene.h"

namespace Spiel {

Werkstatt::Werkstatt(Szene* szene, const Vektor& position, uint64_t typ, uint32_t ersterZustand, Art art)
    : Objekt(szene, position), mErsterZustand(ersterZustand)
{
    Melde(art);
    Melde(Art::Grundflaeche);
    mRadius = Gebaeudetypen[typ].mRadius;
    mInstanz = NeueInstanz(Gebaeudetypen[typ].mModell, TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
    mZeitpunkt = Jetzt();
}

Werkstatt::~Werkstatt() { EntferneInstanz(mInstanz); }

void Werkstatt::Aktualisiere()
{
    if (mBesetzt || Jetzt() < mZeitpunkt)
        return;
    Mensch* arbeiter = mSzene->SucheArbeiter(this);
    if (!arbeiter)
    {
        mZeitpunkt = PlusSekunden(Jetzt(), 2.0f);
        return;
    }
    arbeiter->mArbeitsplatz = this;
    arbeiter->mZiel = this;
    arbeiter->mZustand = mErsterZustand;
    arbeiter->mZielPosition = Vektor(mPosition.x, mPosition.y, mPosition.z + 10.0f);
    mBesetzt = true;
}

}  // namespace Spiel
