// The worker's job states 12 to 32: woodcutter, forester, quarry worker and tower worker.
#include <algorithm>
#include <cmath>

#include "spiel/welt/baum.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/pruefung.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

namespace {

constexpr float kPi = 3.14159265f;

float Zufall01() { return static_cast<float>(Spiel::rand()) * (1.0f / 32767.0f); }

}  // namespace

float Mensch::HandleHolzUndForst()
{
    const Zeitpunkt jetzt = Jetzt();
    switch (mZustand)
    {
    case 12:
    case 17:
    case 21:
        KommeAn(2.0f, mZustand == 12 ? 13 : 18, 1.0f);
        return 0.0f;
    case 13:
    case 18:
    {
        const float hopser = WarteHopser();
        const uint32_t vorher = mZustand;
        Essen();
        if (mZustand == vorher && jetzt >= mZeitpunkt)
        {
            const bool gefunden = vorher == 13 ? SucheBaum() : SuchePflanzplatz();
            if (!gefunden)
                mZeitpunkt = PlusSekunden(jetzt, 1.0f);
        }
        return hopser;
    }
    case 14:
        KommeAn(4.0f, 15, 10.0f);
        return 0.0f;
    case 15:
    {
        const float hopser = ArbeitsHopser(2.0f * kPi);
        if (jetzt >= mZeitpunkt)
        {
            Baum* baum = Als<Baum>(mZiel);
            SPIEL_PRUEFE(baum);
            baum->Faelle();
            RodeBoden(baum->mPosition);
            mZustand = 16;
            mZielPosition = Tuer();
            mZiel = nullptr;
            WechsleModell("mensch_holz");
        }
        return hopser;
    }
    case 16:
        if (KommeAn(2.0f, 13, 1.0f))
        {
            WechsleModell("mensch");
            ++Vorrat::Holz;
        }
        return 0.0f;
    case 19:
        KommeAn(3.0f, 20, 5.0f);
        return 0.0f;
    case 20:
    {
        const float hopser = ArbeitsHopser(2.0f * kPi);
        if (jetzt >= mZeitpunkt)
        {
            Baum* baum = Als<Baum>(mZiel);
            SPIEL_PRUEFE(baum);
            baum->StarteWachstum();
            MacheWald(baum->mPosition);
            mZustand = 21;
            mZielPosition = Tuer();
            mZiel = nullptr;
            WechsleModell("mensch");
        }
        return hopser;
    }
    default:
        return 0.0f;
    }
}

float Mensch::HandleSteinUndTurm()
{
    const Zeitpunkt jetzt = Jetzt();
    switch (mZustand)
    {
    case 22:
        KommeAn(2.0f, 23, 1.0f);
        return 0.0f;
    case 23:
    {
        const float hopser = WarteHopser();
        Essen();
        if (mZustand == 23 && jetzt >= mZeitpunkt && !SucheFels())
            mZeitpunkt = PlusSekunden(jetzt, 1.0f);
        return hopser;
    }
    case 24:
        KommeAn(12.0f, 25, 20.0f);
        return 0.0f;
    case 25:
    {
        const float hopser = ArbeitsHopser(2.0f * kPi);
        if (jetzt >= mZeitpunkt)
        {
            SenkeRegion(mZielRegion);
            mSzene->AktualisiereRegion(mZielRegion, true);
            mZustand = 26;
            mZielPosition = Tuer();
            mZiel = nullptr;
            mZielRegion = UINT64_MAX;
            WechsleModell("mensch_stein");
        }
        return hopser;
    }
    case 26:
        if (KommeAn(2.0f, 23, 1.0f))
        {
            WechsleModell("mensch");
            ++Vorrat::Stein;
        }
        return 0.0f;
    case 27:
        KommeAn(2.0f, 28, 10.0f);
        return 0.0f;
    case 28:
    {
        const Vektor d = mArbeitsplatz ? mArbeitsplatz->mPosition - mPosition : Vektor();
        mRichtung = std::atan2(d.z, d.x);
        Essen();
        if (mZustand == 28 && jetzt >= mZeitpunkt)
        {
            mZeitpunkt = PlusSekunden(jetzt, 10.0f) + Ticks(Zufall01() * 10.0f);
            Holen();
        }
        return 0.0f;
    }
    case 29:
    case 31:
        if (Angekommen(2.0f))
        {
            const bool stein = mZustand == 29;
            mZustand = stein ? 30 : 32;
            mZiel = nullptr;
            const Turm* turm = Als<Turm>(mArbeitsplatz);
            SPIEL_PRUEFE(turm);
            mZielPosition = turm->NeuerPosten();
            WechsleModell(stein ? "mensch_stein" : "mensch_holz");
        }
        return 0.0f;
    case 30:
    case 32:
        if (Angekommen(2.0f))
        {
            const bool stein = mZustand == 30;
            mZustand = 28;
            mZeitpunkt = PlusSekunden(jetzt, 10.0f) + Ticks(Zufall01() * 10.0f);
            Halt();
            WechsleModell("mensch");
            Turm* turm = Als<Turm>(mArbeitsplatz);
            SPIEL_PRUEFE(turm);
            if (stein)
                turm->LiefereStein();
            else
                turm->LiefereHolz();
        }
        return 0.0f;
    default:
        return 0.0f;
    }
}

bool Mensch::SucheBaum()
{
    const uint64_t kapazitaet = mSzene->mObjekte.Kapazitaet();
    for (int versuch = 0; versuch < 100; ++versuch)
    {
        const uint64_t i = static_cast<uint64_t>(Spiel::rand()) % kapazitaet;
        if (!mSzene->mObjekte.IstBelegt(i))
            continue;
        Baum* baum = Als<Baum>(mSzene->mObjekte[i]);
        if (!baum || baum->mZustand != Baum::Zustand::Steht)
            continue;
        const Vektor d = baum->mPosition - mArbeitsplatz->mPosition;
        if (Punkt(d, d) > 14400.0f)
            continue;
        mZiel = baum;
        mZielPosition = baum->mPosition;
        mZustand = 14;
        baum->Reserviere();
        return true;
    }
    return false;
}

bool Mensch::SuchePflanzplatz()
{
    const uint64_t anzahl = mSzene->mRegionen.size();
    for (int versuch = 0; versuch < 100; ++versuch)
    {
        const uint64_t r = static_cast<uint64_t>(Spiel::rand()) % anzahl;
        const Region& region = mSzene->mRegionen[r];
        if (region.mTyp != Region::Frei || !region.HatEcken())
            continue;
        if (HorizontalQuadrat(mSzene->mPunkte[r], mArbeitsplatz->mPosition) > 10000.0f)
            continue;
        // An object whose footprint is farther from the region's point than the farthest corner
        // reaches none of the corners: one distance rules it out.
        const Vektor& mitte = mSzene->mPunkte[r];
        float reichweite = 0.0f;
        for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
            reichweite = std::max(reichweite, HorizontalQuadrat(region.mEcken[k], mitte));
        reichweite = std::sqrt(reichweite) + 0.01f;
        bool bedeckt = false;
        for (const Objekt* o : mSzene->Liste(Art::Grundflaeche))
        {
            if (!(o->mRadius > 0.0f))
                continue;
            const float weite = o->mRadius + reichweite;
            if (HorizontalQuadrat(o->mPosition, mitte) > weite * weite)
                continue;
            for (uint32_t k = 0; k < region.mEckenAnzahl && !bedeckt; ++k)
            {
                const Vektor d = region.mEcken[k] - o->mPosition;
                bedeckt = Punkt(d, d) < o->mRadius * o->mRadius;
            }
            if (bedeckt)
                break;
        }
        if (bedeckt)
            continue;
        const float u1 = Zufall01();
        const float u2 = Zufall01();
        const Vektor& p = mSzene->mPunkte[r];
        Vektor platz(p.x + 10.0f * u2 - 5.0f, p.y, p.z + 10.0f * u1 - 5.0f);
        const PickErgebnis boden = mSzene->PickeRegion(platz, Vektor(0, 1, 0));
        if (boden.mRegion == r)
            platz = boden.mPunkt;
        Baum* setzling = new Baum(mSzene, platz, true);
        mZiel = setzling;
        mZielPosition = platz;
        mZustand = 19;
        WechsleModell("mensch_baum");
        return true;
    }
    return false;
}

bool Mensch::SucheFels()
{
    const uint64_t anzahl = mSzene->mRegionen.size();
    for (int versuch = 0; versuch < 100; ++versuch)
    {
        const uint64_t r = static_cast<uint64_t>(Spiel::rand()) % anzahl;
        const Region& region = mSzene->mRegionen[r];
        if (region.mTyp != Region::Berg)
            continue;
        if (HorizontalQuadrat(mSzene->mPunkte[r], mArbeitsplatz->mPosition) > 10000.0f)
            continue;
        bool offen = false;
        for (uint32_t k = 0; k < region.mNachbarAnzahl && !offen; ++k)
        {
            const uint64_t j = region.mNachbarn[k];
            offen = mSzene->IstRegion(j) && mSzene->mRegionen[j].mTyp != Region::Rand &&
                    mSzene->mRegionen[j].mTyp != Region::Berg;
        }
        bool hoch = false;
        for (uint32_t k = 0; k < region.mEckenAnzahl && !hoch; ++k)
            hoch = region.mEcken[k].y > 15.0f;
        if (!offen || !hoch)
            continue;
        mZiel = nullptr;
        mZielRegion = r;
        mZielPosition = mSzene->mPunkte[r];
        mZustand = 24;
        return true;
    }
    return false;
}

void Mensch::RodeBoden(const Vektor& position)
{
    // Only forest turns into free land: the tree may stand near a field, a mountain or the border.
    const PickErgebnis treffer = mSzene->PickeRegion(position, Vektor(0, 1, 0));
    if (treffer.mRegion == UINT64_MAX)
        return;
    Region& region = mSzene->mRegionen[treffer.mRegion];
    if (region.mTyp != Region::Wald)
        return;
    const float u = Zufall01();
    region.mTyp = Region::Frei;
    region.mFarbe = TAlphaFarbe(0.36f + u * 0.04f, 0.63f + u * 0.07f, 0.27f + u * 0.03f, 1.0f);
    mSzene->AktualisiereRegion(treffer.mRegion, false);
}

void Mensch::MacheWald(const Vektor& position)
{
    // Only free land turns into forest.
    const PickErgebnis treffer = mSzene->PickeRegion(position, Vektor(0, 1, 0));
    if (treffer.mRegion == UINT64_MAX)
        return;
    Region& region = mSzene->mRegionen[treffer.mRegion];
    if (region.mTyp != Region::Frei)
        return;
    const float f = 0.9f + Zufall01() * 0.1f;
    region.mTyp = Region::Wald;
    region.mFarbe = TAlphaFarbe(f * (0x77 / 255.0f), f * (0x70 / 255.0f), f * (0x55 / 255.0f), 1.0f);
    mSzene->AktualisiereRegion(treffer.mRegion, false);
}

void Mensch::SenkeRegion(uint64_t r)
{
    if (!mSzene->IstRegion(r))
        return;
    Region& region = mSzene->mRegionen[r];
    bool hoch = false;
    for (uint32_t k = 0; k < region.mEckenAnzahl; ++k)
    {
        region.mEcken[k].y = std::max(region.mEcken[k].y - 0.5f, 15.0f);
        hoch = hoch || region.mEcken[k].y > 15.0f;
    }
    if (hoch)
        return;
    const float u = Zufall01();
    region.mTyp = Region::Frei;
    region.mFarbe = TAlphaFarbe(0.36f + u * 0.04f, 0.342f + u * 0.038f, 0.324f + u * 0.036f, 1.0f);
}

void Mensch::Holen()
{
    Turm* turm = Als<Turm>(mArbeitsplatz);
    SPIEL_PRUEFE(turm);
    const int64_t holz = static_cast<int64_t>(turm->mHolzGeliefert) + turm->mHolzUnterwegs;
    const int64_t stein = static_cast<int64_t>(turm->mSteinGeliefert) + turm->mSteinUnterwegs;
    uint32_t naechster;
    if (holz == stein && Vorrat::Stein > 4)
    {
        --Vorrat::Stein;
        ++turm->mSteinUnterwegs;
        naechster = 29;
    }
    else if (holz < stein && Vorrat::Holz > 4)
    {
        --Vorrat::Holz;
        ++turm->mHolzUnterwegs;
        naechster = 31;
    }
    else
        return;
    // The world always holds a farmhouse to fetch from.
    Bauernhaus* ziel = mSzene->SucheBauernhaus(mPosition);
    SPIEL_PRUEFE(ziel);
    mZiel = ziel;
    mZielPosition = Vektor(ziel->mPosition.x, ziel->mPosition.y, ziel->mPosition.z + 6.0f);
    mZustand = naechster;
}

}  // namespace Spiel
