#include "tests/spiel/gemeinsam/testumgebung.h"

#include <cstring>

#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/vorrat.h"
#include "spiel/welt/zufall.h"

namespace Spiel::Test {

void ZaehlPuffer::Erzeuge(Modell&, const Vertex*, uint64_t, const uint32_t*, uint64_t)
{
    ++mLebende;
    ++mErzeugte;
}

void ZaehlPuffer::GibFrei(Modell&) { --mLebende; }

void ZaehlPuffer::Aktualisiere(Modell&, const Netz&, uint64_t, bool indizesNeu)
{
    ++mAktualisierte;
    mNeueIndizes += indizesNeu ? 1 : 0;
}

void Spielumgebung::SetUp()
{
    gTimer.Leere();
    gTimer.Starte();
    mUhr.Starte();
    Vorrat::Zuruecksetzen();
    TurmGesetzt = false;
    Spiel::srand(1);
    LadeModelle();
}

void Spielumgebung::TearDown()
{
    mSzene.reset();
    gTimer.Leere();
    GebeModelleFrei();
}

void Spielumgebung::Schritt(float sekunden)
{
    const int64_t ticks = Ticks(sekunden);
    gTimer.Vorruecken(ticks);
    mUhr.Vorruecken(ticks);
    mSzene->AktualisiereObjekte();
}

void Spielumgebung::Laufe(float sekunden, float schritt)
{
    const int schritte = static_cast<int>(sekunden / schritt + 0.5f);
    for (int i = 0; i < schritte; ++i)
        Schritt(schritt);
}

std::unique_ptr<Szene> Spielumgebung::BaueTestwelt(Quarz_Timer* uhr, int n, float seite, float hoehe)
{
    std::vector<Vektor> punkte;
    std::vector<Region> regionen;
    const uint64_t anzahl = static_cast<uint64_t>(n) * static_cast<uint64_t>(n);
    for (int zeile = 0; zeile < n; ++zeile)
    {
        for (int spalte = 0; spalte < n; ++spalte)
        {
            const float x0 = seite * static_cast<float>(spalte), z0 = seite * static_cast<float>(zeile);
            const float x1 = x0 + seite, z1 = z0 + seite;
            punkte.emplace_back(x0 + 0.5f * seite, 0.0f, z0 + 0.5f * seite);
            Region r;
            r.mEckenAnzahl = 4;
            r.mEcken[0] = Vektor(x0, hoehe, z0);
            r.mEcken[1] = Vektor(x1, hoehe, z0);
            r.mEcken[2] = Vektor(x1, hoehe, z1);
            r.mEcken[3] = Vektor(x0, hoehe, z1);
            // Across edge k: below, right, above, left; outside the grid a mirror index.
            auto index = [&](int z, int x) -> uint64_t {
                if (z < 0 || x < 0 || z >= n || x >= n)
                    return anzahl;
                return static_cast<uint64_t>(z) * static_cast<uint64_t>(n) + static_cast<uint64_t>(x);
            };
            r.mNachbarAnzahl = 4;
            r.mNachbarn[0] = index(zeile - 1, spalte);
            r.mNachbarn[1] = index(zeile, spalte + 1);
            r.mNachbarn[2] = index(zeile + 1, spalte);
            r.mNachbarn[3] = index(zeile, spalte - 1);
            r.mFarbe = TAlphaFarbe(0.36f, 0.63f, 0.27f, 1.0f);
            regionen.push_back(r);
        }
    }
    return std::make_unique<Szene>(uhr, std::move(punkte), std::move(regionen));
}

namespace {
bool LeeresDreieck(const uint32_t* d) { return d[0] == d[1] && d[1] == d[2]; }
}  // namespace

uint64_t GezeichneteDreiecke(const Netz& netz)
{
    uint64_t n = 0;
    for (size_t k = 0; k + 2 < netz.mIndizes.size(); k += 3)
        n += LeeresDreieck(&netz.mIndizes[k]) ? 0 : 1;
    return n;
}

bool Spielumgebung::GelaendeWieNeu() const
{
    // The same triangles, drawn in the same order.
    auto gezeichnete = [](const Netz& netz) {
        std::vector<Vertex> ecken;
        for (size_t k = 0; k + 2 < netz.mIndizes.size(); k += 3)
            if (!LeeresDreieck(&netz.mIndizes[k]))
                for (size_t e = k; e < k + 3; ++e)
                    ecken.push_back(netz.mVertices[netz.mIndizes[e]]);
        return ecken;
    };
    const std::vector<Vertex> neu = gezeichnete(mSzene->ErzeugeGelaendeNetz());
    const std::vector<Vertex> alt = gezeichnete(mSzene->GelaendeNetz());
    return neu.size() == alt.size() &&
           std::memcmp(neu.data(), alt.data(), neu.size() * sizeof(Vertex)) == 0;
}

std::unique_ptr<Szene> Spielumgebung::GeneriereWelt(uint32_t saat)
{
    Spiel::srand(saat);
    return std::make_unique<Szene>(&mUhr);
}

}  // namespace Spiel::Test
