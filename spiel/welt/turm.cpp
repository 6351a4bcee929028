#include "spiel/welt/turm.h"

#include <algorithm>
#include <cmath>

#include "spiel/welt/gebaeudetyp.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/zufall.h"

namespace Spiel {

Turm::Turm(Szene* szene, const Vektor& position) : Objekt(szene, position)
{
    Melde(ART);
    Melde(Art::Grundflaeche);
    mRadius = Gebaeudetypen[6].mRadius;
    mInstanz = NeueInstanz("turm", TMatrix4::Verschiebung(mPosition.x, mPosition.y, mPosition.z));
    mZeitpunkt = Jetzt();
}

Turm::~Turm()
{
    EntferneInstanz(mInstanz);
    GibRingFrei();
}

void Turm::GibRingFrei()
{
    if (mRingModell)
    {
        mRingModell->Freigeben();
        delete mRingModell;
        mRingModell = nullptr;
    }
    EntferneInstanz(mRingInstanz);
}

void Turm::Aktualisiere()
{
    if (Jetzt() < mZeitpunkt)
        return;
    uint64_t arbeiter = 0;
    for (const Objekt* o : mSzene->Liste(Art::Mensch))
        arbeiter += static_cast<const Mensch*>(o)->mArbeitsplatz == this ? 1 : 0;
    if (arbeiter >= 8)
        return;
    if (Mensch* mensch = mSzene->SucheTurmarbeiter(this))
    {
        mensch->mArbeitsplatz = this;
        mensch->mZiel = this;
        mensch->mZustand = 27;
        mensch->mZielPosition = NeuerPosten();
    }
    mZeitpunkt = PlusSekunden(Jetzt(), 2.0f);
}

Vektor Turm::NeuerPosten() const
{
    const float a = static_cast<float>(Spiel::rand()) * 0.00019175345f;  // 2 pi / 32767
    return Vektor(mPosition.x - 14.0f * std::sin(a), mPosition.y, mPosition.z + 14.0f * std::cos(a));
}

void Turm::LiefereHolz()
{
    ++mHolzGeliefert;
    --mHolzUnterwegs;
    BaueModell();
}

void Turm::LiefereStein()
{
    ++mSteinGeliefert;
    --mSteinUnterwegs;
    BaueModell();
}

Netz Turm::ErzeugeRingNetz(uint64_t n)
{
    Netz netz;
    const Vektor oben(0, 1, 0);
    for (uint64_t s = 0; s < n; ++s)
    {
        const uint64_t ring = s / 24, j = s % 24;
        const float t0 = static_cast<float>(j) * 0.2617994f;
        const float t1 = static_cast<float>(j + 1) * 0.2617994f;
        const float y0 = 1.2f * static_cast<float>(ring);
        const float y1 = y0 + 1.2f;
        auto O = [](float t, float y) { return Vektor(8.0f * std::cos(t), y, -8.0f * std::sin(t)); };
        auto I = [](float t, float y) { return Vektor(6.5f * std::cos(t), y, -6.5f * std::sin(t)); };
        const float g = 0.48f + static_cast<float>((233 + 29 * s) % 256) * 0.00047058827f;
        const TAlphaFarbe farbe(g, g, g, 1);
        // The flat normal of each wall triangle, turned outward on the outer wall and toward the
        // axis on the inner wall.
        auto wand = [&](const Vektor& a, const Vektor& b, const Vektor& c, bool aussen) {
            Vektor n = Normiert(Kreuz(c - a, b - a));
            const Vektor mitte = Mal(a + b + c, 1.0f / 3.0f);
            const float seite = n.x * mitte.x + n.z * mitte.z;
            if ((aussen && seite < 0.0f) || (!aussen && seite > 0.0f))
                n = Mal(n, -1.0f);
            FuegeDreieckHinzu(a, b, c, n, farbe, netz.mIndizes, netz.mVertices);
        };
        wand(O(t0, y0), O(t0, y1), O(t1, y1), true);
        wand(O(t0, y0), O(t1, y1), O(t1, y0), true);
        wand(I(t1, y0), I(t1, y1), I(t0, y1), false);
        wand(I(t1, y0), I(t0, y1), I(t0, y0), false);
        if (s + 24 >= n)
        {
            FuegeDreieckHinzu(O(t0, y1), I(t0, y1), I(t1, y1), oben, farbe, netz.mIndizes, netz.mVertices);
            FuegeDreieckHinzu(O(t0, y1), I(t1, y1), O(t1, y1), oben, farbe, netz.mIndizes, netz.mVertices);
        }
    }
    return netz;
}

void Turm::BaueModell()
{
    GibRingFrei();
    const uint64_t n = std::min(mHolzGeliefert, mSteinGeliefert);
    if (n == 0)
        return;
    mRingModell = new Modell(ErzeugeRingNetz(n));
    mRingInstanz = NeueInstanz(mRingModell, TMatrix4::Verschiebung(mPosition.x, mPosition.y + 2.0f, mPosition.z));
}

}  // namespace Spiel
