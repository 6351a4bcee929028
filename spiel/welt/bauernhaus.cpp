#include "spiel/welt/bauernhaus.h"

#include <string>

#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/szene.h"

namespace Spiel {

Bauernhaus::Bauernhaus(Szene* szene, const Vektor& position) : Objekt(szene, position)
{
    Melde(ART);
    Melde(Art::Grundflaeche);
    mRadius = Gebaeudetypen[2].mRadius;
    mZeitpunkt = PlusSekunden(Jetzt(), 5.0f);
    mInstanz = NeueInstanz("haus0", TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
}

Bauernhaus::~Bauernhaus() { EntferneInstanz(mInstanz); }

void Bauernhaus::NeuerBewohner(uint64_t n)
{
    mBewohner = n;
    mZeitpunkt = PlusSekunden(Jetzt(), 30.0f);
    EntferneInstanz(mInstanz);
    const std::string modell = "haus" + std::to_string(n);
    mInstanz = NeueInstanz(modell.c_str(), TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
    new Mensch(mSzene, mPosition, this);
}

void Bauernhaus::Aktualisiere()
{
    if (mBewohner < 4 && mZeitpunkt < Jetzt())
        NeuerBewohner(mBewohner + 1);
}

}  // namespace Spiel
