#include "spiel/welt/mensch.h"

#include <cmath>

#include "spiel/welt/acker.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baustelle.h"
#include "spiel/welt/forsthaus.h"
#include "spiel/welt/holzfaeller.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/pruefung.h"
#include "spiel/welt/steinbruch.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/turm.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

namespace {
constexpr float kPi = 3.14159265f;
}

Mensch::Mensch(Szene* szene, const Vektor& position, Bauernhaus* heim) : Objekt(szene, position), mZiel(heim)
{
    Melde(ART);
    ++mSzene->mArbeiter;
    mInstanz = NeueInstanz("mensch", TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
    const float u1 = static_cast<float>(Spiel::rand()) * 6.103702e-5f;
    const float u2 = static_cast<float>(Spiel::rand()) * 6.103702e-5f;
    mZielPosition = Vektor(mPosition.x + u2 - 1.0f, mPosition.y, mPosition.z + u1 + 9.0f);
}

Mensch::~Mensch()
{
    if (mZustand == 2)
        StehtAuf();
    --mSzene->mArbeiter;
    EntferneInstanz(mInstanz);
}

void Mensch::StehtAuf() { --mSzene->mHungrige; }

bool Mensch::Angekommen(float r) const
{
    return HorizontalQuadrat(mZielPosition, mPosition) < r * r;
}

void Mensch::UebernimmFeld(Acker* acker, uint32_t zustand)
{
    // Sowing starts from a bare field, harvesting from a ripe one.
    if (zustand == 5)
        SPIEL_PRUEFE(acker->mZustand == Acker::Zustand::Leer);
    else
        SPIEL_PRUEFE(acker->mZustand == Acker::Zustand::Reif);
    mZiel = acker;
    // A hungry worker keeps its workplace: a production building never hires a second one.
    mHungrigeErnte = mZustand == 2;
    if (mHungrigeErnte)
        StehtAuf();
    else
        mArbeitsplatz = nullptr;
    mZustand = zustand;
    mZielPosition = mSzene->mPunkte[acker->mRegion];
}

bool Mensch::KommeAn(float r, uint32_t zustand, float sekunden)
{
    if (!Angekommen(r))
        return false;
    mZustand = zustand;
    Halt();
    mZeitpunkt = PlusSekunden(Jetzt(), sekunden);
    return true;
}

void Mensch::WechsleModell(const char* name)
{
    // The record is replaced in place: the pool index stays the worker's.
    const TMatrix4 welt = mSzene->Instanz(mInstanz)->mWeltMatrix;
    *mSzene->Instanz(mInstanz) = RenderInstanz(SucheModell(name), welt);
}

void Mensch::PlaneMahlzeit()
{
    const float u = static_cast<float>(Spiel::rand()) * 0.0007324442f;
    mNaechsteMahlzeit = PlusSekunden(Jetzt(), 108.0f + u);
}

uint32_t Mensch::ZustandDerArbeit() const
{
    if (Als<Holzfaeller>(mArbeitsplatz))
        return 13;
    if (Als<Forsthaus>(mArbeitsplatz))
        return 18;
    if (Als<Steinbruch>(mArbeitsplatz))
        return 23;
    if (Als<Turm>(mArbeitsplatz))
        return 28;
    return 1;
}

void Mensch::KehreZurArbeitZurueck()
{
    const uint32_t warten = ZustandDerArbeit();
    if (warten == 1)
        return;
    // Each waiting state follows the walk there: to the door, or to a post at the tower.
    mZustand = warten - 1;
    mZiel = mArbeitsplatz;
    mZielPosition = warten == 28 ? static_cast<const Turm*>(mArbeitsplatz)->NeuerPosten() : Tuer();
}

float Mensch::WarteHopser() const
{
    return std::sin(Sekunden(Jetzt()) * kPi + AdressWinkel()) + 1.0f;
}

float Mensch::ArbeitsHopser(float frequenz) const
{
    const float r = Sekunden(mZeitpunkt - Jetzt());
    return 2.0f * std::fabs(std::sin(r * frequenz));
}

Vektor Mensch::Tuer() const
{
    return Vektor(mArbeitsplatz->mPosition.x, mArbeitsplatz->mPosition.y, mArbeitsplatz->mPosition.z + 10.0f);
}

void Mensch::Essen()
{
    const Zeitpunkt jetzt = Jetzt();
    if (mNaechsteMahlzeit > jetzt)
        return;
    if (Vorrat::Nahrung > 0)
    {
        --Vorrat::Nahrung;
        PlaneMahlzeit();
        return;
    }
    mZustand = 2;
    ++mSzene->mHungrige;
    const float u = static_cast<float>(Spiel::rand()) * 3.051851e-5f;
    mZeitpunkt = PlusSekunden(jetzt, 1.0f + u);
}

void Mensch::Aktualisiere()
{
    const float hopser = Handle();
    Gehe();
    Zeichne(hopser);
}

float Mensch::Handle()
{
    if (mZustand <= 11)
        return HandleHeimUndFeld();
    if (mZustand <= 21)
        return HandleHolzUndForst();
    return HandleSteinUndTurm();
}

float Mensch::HandleHeimUndFeld()
{
    const Zeitpunkt jetzt = Jetzt();
    switch (mZustand)
    {
    case 0:
        if (Angekommen(2.0f))
        {
            mZustand = 1;
            mZiel = nullptr;
            Halt();
            mRichtung = 0.0f;
            PlaneMahlzeit();
        }
        return 0.0f;
    case 1:
    {
        const float hopser = WarteHopser();
        Essen();
        return hopser;
    }
    case 2:
        if (jetzt >= mZeitpunkt && Vorrat::Nahrung > 0)
        {
            --Vorrat::Nahrung;
            PlaneMahlzeit();
            StehtAuf();
            mZustand = ZustandDerArbeit();
        }
        return 0.0f;
    case 5:
        KommeAn(5.0f, 6, 10.0f);
        return 0.0f;
    case 7:
        KommeAn(5.0f, 8, 20.0f);
        return 0.0f;
    case 6:
    {
        const float hopser = ArbeitsHopser(2.0f * kPi);
        if (jetzt >= mZeitpunkt)
        {
            Acker* acker = Als<Acker>(mZiel);
            SPIEL_PRUEFE(acker);
            acker->StarteWachstum();
            mZustand = 1;
            mZiel = nullptr;
            mRichtung = 0.0f;
            if (mHungrigeErnte)
            {
                mHungrigeErnte = false;
                KehreZurArbeitZurueck();
            }
        }
        return hopser;
    }
    case 8:
    {
        const float hopser = ArbeitsHopser(kPi);
        if (jetzt >= mZeitpunkt)
        {
            Acker* acker = Als<Acker>(mZiel);
            SPIEL_PRUEFE(acker);
            acker->mZustand = Acker::Leer;
            WechsleModell("mensch_getr");
            mZustand = 9;
            Bauernhaus* ziel = mSzene->SucheBauernhaus(mPosition);
            SPIEL_PRUEFE(ziel);
            mZiel = ziel;
            mZielPosition = Vektor(ziel->mPosition.x, ziel->mPosition.y, ziel->mPosition.z + 5.0f);
        }
        return hopser;
    }
    case 9:
        if (Angekommen(3.0f))
        {
            ++Vorrat::Nahrung;
            WechsleModell("mensch");
            mZustand = 1;
            mZiel = nullptr;
            Halt();
            mRichtung = 0.0f;
            if (mHungrigeErnte)
            {
                // Its own grain, before anyone else lying hungry takes it.
                mHungrigeErnte = false;
                --Vorrat::Nahrung;
                PlaneMahlzeit();
                KehreZurArbeitZurueck();
            }
        }
        return 0.0f;
    case 10:
        if (Angekommen(5.0f))
        {
            mZustand = 11;
            Halt();
            Baustelle* baustelle = Als<Baustelle>(mZiel);
            SPIEL_PRUEFE(baustelle);
            baustelle->BeginneBau();
        }
        return 0.0f;
    case 11:
    {
        const float hopser = ArbeitsHopser(2.0f * kPi);
        Baustelle* baustelle = Als<Baustelle>(mZiel);
        SPIEL_PRUEFE(baustelle);
        if (baustelle->mZustand == Baustelle::Abbau)
        {
            mZustand = 1;
            mZiel = nullptr;
            mRichtung = 0.0f;
        }
        return hopser;
    }
    default:
        return 0.0f;
    }
}

void Mensch::Gehe()
{
    Vektor d = mZielPosition - mPosition;
    d.y = 0.0f;
    const float laenge = d.Laenge();
    if (!(laenge > 0.5f))
        return;
    mRichtung = std::atan2(d.z, d.x);
    const float schritt = Sekunden(Schritt()) * 10.0f;
    if (laenge > schritt)
        d = Mal(d, schritt / laenge);
    mPosition += d;
    const PickErgebnis boden = mSzene->PickeRegion(mPosition, Vektor(0, -1, 0));
    mPosition.y = boden.mRegion == UINT64_MAX ? 0.0f : boden.mPunkt.y;
}

void Mensch::Zeichne(float hopser)
{
    TMatrix4 welt;
    if (mZustand == 2)
    {
        welt = TMatrix4::RotationZ(1.51f);
        welt *= TMatrix4::Verschiebung(mPosition.x, mPosition.y + 0.7f, mPosition.z);
    }
    else
    {
        // T(position + bob) . R_y(direction), written out: the same elements as the product,
        // without a general 4 x 4 product per worker and frame.
        const float c = std::cos(mRichtung);
        const float s = std::sin(mRichtung);
        welt = TMatrix4({c, 0, -s, mPosition.x, 0, 1, 0, mPosition.y + hopser, s, 0, c, mPosition.z, 0, 0, 0, 1});
        if (mZustand == 28)
        {
            // The bow comes first, in the worker's own frame.
            const float r = Sekunden(mZeitpunkt - Jetzt());
            TMatrix4 verbeugung = TMatrix4::RotationZ(0.3f * (std::sin(r * kPi) + 1.0f));
            verbeugung *= welt;
            welt = verbeugung;
        }
    }
    SetzeMatrix(mInstanz, welt);
}

}  // namespace Spiel
