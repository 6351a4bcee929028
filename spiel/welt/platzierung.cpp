#include "spiel/welt/platzierung.h"

#include <cmath>

#include "spiel/welt/acker.h"
#include "spiel/welt/baustelle.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

bool TurmGesetzt = false;

namespace {

bool KostenGedeckt(const Gebaeudetyp& typ)
{
    return typ.mNahrung <= Vorrat::Nahrung && typ.mHolz <= Vorrat::Holz && typ.mStein <= Vorrat::Stein;
}

bool FeldErlaubt(const Szene& szene, const Region& region)
{
    if (region.mTyp != Region::Frei)
        return false;
    for (const Objekt* o : szene.Liste(Art::Grundflaeche))
    {
        if (!(o->mRadius > 0.0f))
            continue;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            if (HorizontalQuadrat(o->mPosition, region.mEcken[k]) < o->mRadius * o->mRadius)
                return false;
    }
    return true;
}

bool GebaeudeErlaubt(const Szene& szene, const Gebaeudetyp& typ, const Vektor& punkt)
{
    for (const Objekt* o : szene.Liste(Art::Grundflaeche))
    {
        if (!(o->mRadius > 0.0f))
            continue;
        if (std::sqrt(HorizontalQuadrat(o->mPosition, punkt)) < o->mRadius + typ.mRadius)
            return false;
    }
    for (const Region& region : szene.mRegionen)
    {
        if (region.mTyp == Region::Frei)
            continue;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            if (HorizontalQuadrat(region.mEcken[k], punkt) < typ.mRadius * typ.mRadius)
                return false;
    }
    return true;
}

}  // namespace

bool IstPlatzErlaubt(const Szene& szene, uint64_t typ, uint64_t region, const Vektor& punkt)
{
    if (typ == 0 || typ >= GEBAEUDETYPEN || !szene.IstRegion(region))
        return false;
    // A region without corners has no ground to stand on.
    if (!szene.mRegionen[region].HatEcken())
        return false;
    if (typ == 6 && TurmGesetzt)
        return false;
    const Gebaeudetyp& zeile = Gebaeudetypen[typ];
    if (!KostenGedeckt(zeile))
        return false;
    return typ == 1 ? FeldErlaubt(szene, szene.mRegionen[region]) : GebaeudeErlaubt(szene, zeile, punkt);
}

bool Platziere(Szene& szene, uint64_t typ, uint64_t region, const Vektor& punkt)
{
    if (!IstPlatzErlaubt(szene, typ, region, punkt))
        return false;
    const Gebaeudetyp& zeile = Gebaeudetypen[typ];
    if (typ == 1)
    {
        Region& feld = szene.mRegionen[region];
        feld.mTyp = Region::Feld;
        const float v = 0.9f + static_cast<float>(Spiel::rand()) * (0.1f / 32767.0f);
        feld.mFarbe = TAlphaFarbe(0.4f * v, 0.3f * v, 0.2f * v, v);
        szene.AktualisiereRegion(region, false);
        new Acker(&szene, region);
    }
    else
    {
        new Baustelle(&szene, punkt, typ);
        if (typ == 6)
            TurmGesetzt = true;
    }
    Vorrat::Nahrung -= zeile.mNahrung;
    Vorrat::Holz -= zeile.mHolz;
    Vorrat::Stein -= zeile.mStein;
    return true;
}

}  // namespace Spiel
