// The generated world: golden values per seed, invariants, picking, terrain and searches.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "spiel/welt/acker.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/mensch.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/zufall.h"
#include "spiel/welt/turm.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

float Seite(const Vektor& a, const Vektor& b, const Vektor& p)
{
    return (p.z - a.z) * (b.x - a.x) - (b.z - a.z) * (p.x - a.x);
}

// Inside the polygon or no farther than the tolerance outside one of its edges.
bool InnenMitToleranz(const Region& r, float x, float z, float toleranz)
{
    for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
    {
        const Vektor& a = r.mEcken[k];
        const Vektor& b = r.mEcken[(k + 1) % r.mEckenAnzahl];
        const float laenge = std::sqrt(HorizontalQuadrat(a, b));
        if (Seite(a, b, Vektor(x, 0, z)) < -toleranz * laenge)
            return false;
    }
    return r.HatEcken();
}

class Welt : public Spielumgebung
{
};

struct Gold
{
    uint32_t saat;
    size_t regionen;
    int baeume;
    float hausX, hausZ;
    uint64_t dreiecke;
};

TEST_F(Welt, GoldeneWerteJeSaat)
{
    const Gold faelle[] = {
        {1, 3736, 713, 266.336334f, 59.544231f, 27834},
        {2, 3810, 712, 541.939758f, 102.812584f, 28647},
        {3, 3761, 703, 361.549805f, 599.430908f, 28541},
        // A cell of 11 corners (region 2960).
        {7, 3778, 749, 50.783615f, 819.842590f, 28433},
        // A dart on the map's edge (region 1030 at z = 0), in a forest circle.
        {8, 3712, 723, 558.575806f, 627.722290f, 27732},
    };
    for (const Gold& g : faelle)
    {
        mSzene = GeneriereWelt(g.saat);
        EXPECT_EQ(mSzene->mRegionen.size(), g.regionen) << g.saat;
        EXPECT_EQ(Zaehle<Baum>(), g.baeume) << g.saat;
        EXPECT_NEAR(mSzene->mStartpunkt.x, g.hausX, 1e-3f) << g.saat;
        EXPECT_NEAR(mSzene->mStartpunkt.z, g.hausZ, 1e-3f) << g.saat;
        EXPECT_EQ(Zaehle<Bauernhaus>(), 1);
        EXPECT_EQ(mSzene->ErzeugeGelaendeNetz().Dreiecke(), g.dreiecke) << g.saat;
        mSzene.reset();
    }
    // The same seed gives the same map twice.
    auto a = GeneriereWelt(77);
    auto b = GeneriereWelt(77);
    ASSERT_EQ(a->mRegionen.size(), b->mRegionen.size());
    for (size_t i = 0; i < a->mRegionen.size(); ++i)
    {
        EXPECT_EQ(a->mRegionen[i].mTyp, b->mRegionen[i].mTyp);
        EXPECT_EQ(a->mRegionen[i].mFarbe, b->mRegionen[i].mFarbe);
    }
    EXPECT_EQ(a->mStartpunkt, b->mStartpunkt);
}

TEST_F(Welt, InvariantenDerKarte)
{
    for (uint32_t saat : {1u, 5u, 8u, 99u})
    {
        mSzene = GeneriereWelt(saat);
        const auto& regionen = mSzene->mRegionen;
        const uint64_t anzahl = regionen.size();
        int ohneEcken = 0, wald = 0, kanten = 0, einseitig = 0;
        for (uint64_t i = 0; i < anzahl; ++i)
        {
            const Region& r = regionen[i];
            if (!r.HatEcken())
            {
                ++ohneEcken;
                continue;
            }
            ASSERT_GE(r.mEckenAnzahl, 3u);
            ASSERT_EQ(r.mNachbarAnzahl, r.mEckenAnzahl);
            bool amRand = false;
            for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
            {
                const Vektor& e = r.mEcken[k];
                EXPECT_GE(e.x, -0.01f);
                EXPECT_LE(e.x, 1000.01f);
                EXPECT_GE(e.z, -0.01f);
                EXPECT_LE(e.z, 1000.01f);
                amRand = amRand || e.x < 1 || e.z < 1 || e.x > 999 || e.z > 999;
                // Convex in the winding the picking test expects, the point inside.
                const Vektor& b = r.mEcken[(k + 1) % r.mEckenAnzahl];
                const Vektor& c = r.mEcken[(k + 2) % r.mEckenAnzahl];
                EXPECT_GT(Seite(e, b, c), -1e-3f) << saat << " region " << i;
                // A point on the map's edge lies on its cell's edge.
                EXPECT_GE(Seite(e, b, mSzene->mPunkte[i]), 0.0f) << saat << " region " << i;
            }
            if (amRand)
            {
                EXPECT_EQ(r.mTyp, Region::Rand) << i;
                for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
                    EXPECT_FLOAT_EQ(r.mEcken[k].y, 60.0f);
            }
            else
                EXPECT_NE(r.mTyp, Region::Rand) << i;
            wald += r.mTyp == Region::Wald;
            // Neighbours are mutual: whoever lies across my edge has me across one of theirs.
            // A cell is cut only by its 16 nearest points (less the farther of two in nearly the
            // same direction): where a neighbour 35 to 40 units away lies beyond that, the shared
            // edge is seen from one side only (a few links per map).
            for (uint32_t k = 0; k < r.mNachbarAnzahl; ++k)
            {
                const uint64_t j = r.mNachbarn[k];
                if (j >= anzahl || !regionen[j].HatEcken())
                    continue;
                ++kanten;
                bool gegenseitig = false;
                for (uint32_t m = 0; m < regionen[j].mNachbarAnzahl; ++m)
                    gegenseitig = gegenseitig || regionen[j].mNachbarn[m] == i;
                einseitig += gegenseitig ? 0 : 1;
            }
            // A vertical ray through the region's centre picks this region.
            const Vektor p = r.Schwerpunkt();
            const PickErgebnis treffer = mSzene->PickeRegion(Vektor(p.x, 500, p.z), Vektor(0, -1, 0));
            EXPECT_EQ(treffer.mRegion, i);
            EXPECT_NEAR(treffer.mPunkt.y, r.MittlereHoehe(), 1e-3f);
        }
        EXPECT_EQ(ohneEcken, 0) << saat;
        EXPECT_LT(einseitig * 200, kanten) << saat;

        // One tree per forest region, standing near its point and on the ground.
        EXPECT_EQ(Zaehle<Baum>(), wald);
        for (Objekt* o : mSzene->mObjekte)
        {
            Baum* baum = dynamic_cast<Baum*>(o);
            if (!baum)
                continue;
            bool beiWald = false;
            for (uint64_t i = 0; i < anzahl && !beiWald; ++i)
            {
                const Vektor d = (mSzene->mPunkte[i] - baum->mPosition).OhneHoehe();
                beiWald = regionen[i].mTyp == Region::Wald && Punkt(d, d) <= 50.0f + 1e-3f;
            }
            EXPECT_TRUE(beiWald);
            const PickErgebnis boden = mSzene->PickeRegion(baum->mPosition, Vektor(0, 1, 0));
            ASSERT_NE(boden.mRegion, UINT64_MAX);
            EXPECT_NEAR(baum->mPosition.y, boden.mPunkt.y, 1e-3f);
        }

        // The first farmhouse stands on free land surrounded by free land.
        const PickErgebnis haus = mSzene->PickeRegion(mSzene->mStartpunkt, Vektor(0, 1, 0));
        ASSERT_NE(haus.mRegion, UINT64_MAX);
        const Region& hausRegion = regionen[haus.mRegion];
        EXPECT_EQ(hausRegion.mTyp, Region::Frei);
        for (uint32_t k = 0; k < hausRegion.mNachbarAnzahl; ++k)
        {
            if (hausRegion.mNachbarn[k] < anzahl)
            {
                EXPECT_EQ(regionen[hausRegion.mNachbarn[k]].mTyp, Region::Frei);
            }
        }
        mSzene.reset();
    }
}

// No holes: a dart on the map's edge (its own mirror point) and a cell of many corners both
// once left a region without corners.
TEST_F(Welt, JederPunktDerKarteLiegtInEinerRegion)
{
    std::mt19937 zufall(12345);
    std::uniform_real_distribution<float> koordinate(0.0f, 1000.0f);
    for (uint32_t saat = 1; saat <= 10; ++saat)
    {
        mSzene = GeneriereWelt(saat);
        uint32_t meisteEcken = 0;
        for (const Region& r : mSzene->mRegionen)
        {
            EXPECT_TRUE(r.HatEcken()) << saat;
            meisteEcken = std::max(meisteEcken, r.mEckenAnzahl);
        }
        EXPECT_LE(meisteEcken, Region::MAX_ECKEN);
        int loecher = 0;
        for (int n = 0; n < 100000; ++n)
        {
            const float x = koordinate(zufall), z = koordinate(zufall);
            if (x <= 0.0f || z <= 0.0f || x >= 1000.0f || z >= 1000.0f)
                continue;
            if (mSzene->PickeRegion(Vektor(x, 500, z), Vektor(0, -1, 0)).mRegion != UINT64_MAX)
                continue;
            // Neighbouring cells compute their shared edge each on its own: the two copies may
            // lie a rounding error apart. A point in that seam is no hole.
            const bool inNaht = std::any_of(mSzene->mRegionen.begin(), mSzene->mRegionen.end(),
                                            [&](const Region& r) { return InnenMitToleranz(r, x, z, 1e-3f); });
            if (!inNaht && ++loecher <= 3)
                ADD_FAILURE() << "seed " << saat << ": (" << x << ", " << z << ") lies in no region";
        }
        EXPECT_EQ(loecher, 0) << saat;
        mSzene.reset();
    }
}

// Mountains stand at 50 with their free neighbours at 45; the height field spreads a quarter
// of their height around them and falls off by at most 1.6666666 per 10 units.
TEST_F(Welt, BergeUndGeglaettetesHoehenfeld)
{
    for (uint32_t saat : {2u, 6u})
    {
        mSzene = GeneriereWelt(saat);
        const auto& regionen = mSzene->mRegionen;
        int gipfel = 0, flanken = 0;
        for (uint64_t i = 0; i < regionen.size(); ++i)
        {
            const Region& r = regionen[i];
            if (r.mTyp == Region::Berg)
            {
                const float h = r.mEcken[0].y;
                ASSERT_TRUE(h == 50.0f || h == 45.0f) << saat << " region " << i;
                for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
                    EXPECT_EQ(r.mEcken[k].y, h);
                if (h == 45.0f)
                {
                    ++flanken;
                    continue;
                }
                ++gipfel;
                // Every region beside a peak is a mountain (or the border, or was one first).
                for (uint32_t k = 0; k < r.mNachbarAnzahl; ++k)
                {
                    const uint64_t j = r.mNachbarn[k];
                    if (mSzene->IstRegion(j))
                    {
                        EXPECT_NE(regionen[j].mTyp, Region::Frei) << saat << " beside peak " << i;
                    }
                }
                continue;
            }
            if (r.mTyp != Region::Frei && r.mTyp != Region::Wald)
                continue;
            // Free land: heights from the smoothed field, never above a quarter of the border's 60
            // (but in the last cells, where the field is read beyond its end).
            for (uint32_t k = 0; k < r.mEckenAnzahl; ++k)
            {
                const Vektor& a = r.mEcken[k];
                const Vektor& b = r.mEcken[(k + 1) % r.mEckenAnzahl];
                EXPECT_GE(a.y, 0.0f);
                if (a.x < 990.0f && a.z < 990.0f)
                {
                    EXPECT_LE(a.y, 15.0f + 1e-4f);
                }
                const float weg = std::fabs(a.x - b.x) + std::fabs(a.z - b.z);
                EXPECT_LE(std::fabs(a.y - b.y), weg * (1.6666666f / 10.0f) + 1e-3f) << saat << " region " << i;
            }
        }
        EXPECT_GT(gipfel, 0) << saat;
        EXPECT_LE(gipfel, static_cast<int>(regionen.size() / 30)) << saat;
        EXPECT_GT(flanken, gipfel) << saat;

        // Next to a mountain the land rises: a free corner that a mountain shares stands at
        // least 12.5 - 2 x 1.6666666 high (the mountain wrote 12.5 or 11.25 into its cell).
        int gemessen = 0;
        for (const Region& r : regionen)
        {
            for (uint32_t n = 0; r.mTyp == Region::Frei && n < r.mNachbarAnzahl; ++n)
            {
                const uint64_t j = r.mNachbarn[n];
                if (!mSzene->IstRegion(j) || regionen[j].mTyp != Region::Berg)
                    continue;
                // Corner n + 1 lies on the shared edge.
                const Vektor& ecke = r.mEcken[(n + 1) % r.mEckenAnzahl];
                ++gemessen;
                EXPECT_GE(ecke.y, 11.25f - 2.0f * 1.6666666f) << saat;
            }
        }
        EXPECT_GT(gemessen, 10) << saat;
        mSzene.reset();
    }
}

TEST_F(Welt, GelaendeNetzMitWaendenNachAussen)
{
    mSzene = GeneriereWelt(3);
    const Netz netz = mSzene->ErzeugeGelaendeNetz();
    uint64_t oben = 0;
    for (const Region& r : mSzene->mRegionen)
        oben += r.mEckenAnzahl;
    ASSERT_GT(netz.Dreiecke(), oben);
    int aufrecht = 0;
    for (size_t t = 0; t < netz.Dreiecke(); ++t)
    {
        const Vertex& v = netz.mVertices[3 * t];
        const float laenge = v.mNormale.Laenge();
        if (t < oben)
        {
            // Tops face up.
            EXPECT_GT(v.mNormale.y, 0.0f) << t;
            EXPECT_NEAR(laenge, 1.0f, 1e-3f);
            continue;
        }
        // Walls: unit normals (no wall pairs a corner with itself), and upright: each joins an
        // edge to the neighbour's matching edge below it. Only where a neighbour sees no shared
        // edge (it lies beyond its 16 nearest points) may one lean.
        EXPECT_NEAR(laenge, 1.0f, 1e-3f) << t;
        aufrecht += std::fabs(v.mNormale.y) < 0.01f ? 1 : 0;
    }
    EXPECT_GE(aufrecht * 1000, static_cast<int>(netz.Dreiecke() - oben) * 999);
    // The terrain is instance 0 drawing the same triangles, the cursor instance 1.
    EXPECT_TRUE(mSzene->mInstanzen.IstBelegt(0));
    EXPECT_TRUE(mSzene->mInstanzen.IstBelegt(1));
    EXPECT_EQ(mSzene->Instanz(0)->mDreiecke, mSzene->GelaendeNetz().Dreiecke());
    EXPECT_EQ(GezeichneteDreiecke(mSzene->GelaendeNetz()), netz.Dreiecke());
}

// A region's change rewrites its own vertices and those of the walls its heights shape, in
// place; where a wall appears or goes, the index list follows. Nothing is built anew.
TEST_F(Welt, GelaendeWirdAnOrtUndStelleNachgefuehrt)
{
    GebeModelleFrei();
    ZaehlPuffer puffer;
    ModellPuffer* alt = SetzeModellPuffer(&puffer);
    mSzene = BaueTestwelt(&mUhr, 6, 10.0f, 2.0f);
    auto& regionen = mSzene->mRegionen;
    const int64_t erzeugt = puffer.mErzeugte;
    struct Fall
    {
        uint64_t region;
        float hoehe;  // NaN: only the colour changes
        bool wandWechsel;
    };
    const float nur = std::nanf("");
    const Fall faelle[] = {
        {14, nur, false},   // a field or a felled tree: colour only
        {14, 5.0f, true},   // higher than its neighbours: four walls appear
        {14, 4.5f, false},  // lowered: the same walls, moved
        {15, 4.5f, true},   // as high as its neighbour 14: the walls between them go
        {14, 6.0f, true},   // above 15 again: the walls between them come back
        {0, 1.0f, true},    // in the corner, walls down to the void on two sides stay
        {0, 0.5f, false},
    };
    for (const Fall& f : faelle)
    {
        regionen[f.region].mFarbe = TAlphaFarbe(0.1f, 0.2f, 0.3f * f.region, 1.0f);
        if (!std::isnan(f.hoehe))
            for (uint32_t k = 0; k < 4; ++k)
                regionen[f.region].mEcken[k].y = f.hoehe;
        const int64_t aktualisiert = puffer.mAktualisierte;
        const int64_t neueIndizes = puffer.mNeueIndizes;
        mSzene->AktualisiereRegion(f.region, !std::isnan(f.hoehe));
        EXPECT_EQ(puffer.mAktualisierte - aktualisiert, 1) << f.region << " " << f.hoehe;
        EXPECT_EQ(puffer.mNeueIndizes - neueIndizes, f.wandWechsel ? 1 : 0) << f.region << " " << f.hoehe;
        EXPECT_TRUE(GelaendeWieNeu()) << f.region << " " << f.hoehe;
        EXPECT_EQ(mSzene->Instanz(0)->mDreiecke, mSzene->GelaendeNetz().Dreiecke());
    }
    EXPECT_EQ(puffer.mErzeugte, erzeugt);
    mSzene.reset();
    SetzeModellPuffer(alt);
    Spiel::srand(1);
    LadeModelle();
}

TEST_F(Welt, PickenSchraegFlachUndAusserhalb)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f, 3.0f);
    // A slanted ray meets each region at its own height.
    PickErgebnis p = mSzene->PickeRegion(Vektor(5, 13, 5), Normiert(Vektor(1, -1, 1)));
    EXPECT_EQ(p.mRegion, 5u);
    EXPECT_NEAR(p.mPunkt.x, 15.0f, 1e-4f);
    EXPECT_NEAR(p.mPunkt.y, 3.0f, 1e-4f);
    // A ray parallel to the ground tests its origin.
    p = mSzene->PickeRegion(Vektor(25, 100, 35), Vektor(1, 0, 0));
    EXPECT_EQ(p.mRegion, 14u);
    EXPECT_FLOAT_EQ(p.mPunkt.y, 100.0f);
    // Outside every region and on a shared edge: nothing.
    p = mSzene->PickeRegion(Vektor(-5, 10, 5), Vektor(0, -1, 0));
    EXPECT_EQ(p.mRegion, UINT64_MAX);
    EXPECT_EQ(p.mPunkt, Vektor());
    EXPECT_EQ(mSzene->PickeRegion(Vektor(10, 10, 5), Vektor(0, -1, 0)).mRegion, UINT64_MAX);

    // A region without corners is never hit and does not break the terrain mesh.
    mSzene->mRegionen[5].mEckenAnzahl = 0;
    mSzene->mRegionen[5].mNachbarAnzahl = 0;
    EXPECT_EQ(mSzene->PickeRegion(Vektor(15, 10, 15), Vektor(0, -1, 0)).mRegion, UINT64_MAX);
    EXPECT_EQ(mSzene->PickeRegion(Vektor(15, 10, 15), Normiert(Vektor(0.1f, -1, 0))).mRegion, UINT64_MAX);
    mSzene->BaueGelaende();
    for (const Vertex& v : mSzene->ErzeugeGelaendeNetz().mVertices)
        ASSERT_FALSE(std::isnan(v.mPosition.y) || std::isnan(v.mNormale.x));
}

// The pointer's pick: what the ray meets first among the tops and walls as drawn. A top gives
// its region and the point on the region's mean height; a wall hides what lies behind it and
// picks nothing, and so does the side of a top that is not drawn.
TEST_F(Welt, ZeigerPicktWasDerStrahlZuerstTrifft)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    auto hebe = [&](uint64_t region, float hoehe) {
        for (uint32_t k = 0; k < 4; ++k)
            mSzene->mRegionen[region].mEcken[k].y = hoehe;
    };
    hebe(55, 30.0f);   // a mountain in the middle
    hebe(67, -10.0f);  // a hollow
    hebe(92, 20.0f);   // high ground at the map's edge
    mSzene->BaueGelaende();
    constexpr uint64_t kKeine = UINT64_MAX;
    struct Fall
    {
        const char* name;
        Vektor von, ziel;
        uint64_t region;
    };
    const Fall faelle[] = {
        {"the mountain's top", {55, 80, 130}, {55, 30, 57}, 55},
        {"ground before the mountain", {55, 80, 130}, {55, 0, 75}, 75},
        {"ground beyond the mountain, passed over", {55, 300, 130}, {55, 0, 35}, 35},
        {"ground before a hollow", {75, 80, 130}, {75, 0, 75}, 77},
        {"straight down", {35, 50, 35}, {35, 0, 35}, 33},
        {"the mountain's wall", {55, 80, 130}, {55, 15, 60}, kKeine},
        {"the wall at the map's edge, from beyond it", {25, 30, 130}, {25, 10, 100}, kKeine},
        {"a top from below", {45, -5, 45}, {44, 0, 44}, kKeine},
    };
    for (const Fall& f : faelle)
    {
        const PickErgebnis p = mSzene->PickeOberflaeche(f.von, Normiert(f.ziel - f.von));
        EXPECT_EQ(p.mRegion, f.region) << f.name;
        // Each top aimed at is flat: the point aimed at lies on its mean height.
        const Vektor punkt = f.region == kKeine ? Vektor() : f.ziel;
        EXPECT_NEAR(p.mPunkt.x, punkt.x, 1e-3f) << f.name;
        EXPECT_NEAR(p.mPunkt.y, punkt.y, 1e-3f) << f.name;
        EXPECT_NEAR(p.mPunkt.z, punkt.z, 1e-3f) << f.name;
    }
}

TEST_F(Welt, SuchenUndIhreSchwellen)
{
    mSzene = BaueTestwelt(&mUhr, 10, 10.0f);
    Bauernhaus* haus = new Bauernhaus(mSzene.get(), Vektor(5, 0, 5));
    Turm* turm = new Turm(mSzene.get(), Vektor(55, 0, 55));
    std::vector<Mensch*> leute;
    for (int i = 0; i < 5; ++i)
    {
        leute.push_back(new Mensch(mSzene.get(), Vektor(90.0f - 10.0f * static_cast<float>(i), 0, 90), haus));
        leute.back()->mZustand = i < 4 ? 1 : 9;
    }
    leute[3]->mPosition = Vektor(56, 0, 56);  // right next to the tower
    EXPECT_EQ(mSzene->SucheTurmarbeiter(turm), nullptr);
    leute[4]->mZustand = 1;
    EXPECT_EQ(mSzene->SucheTurmarbeiter(turm), leute[3]);
    // A tower worker waiting at its post counts for other jobs but not for the tower.
    leute[3]->mZustand = 28;
    EXPECT_EQ(mSzene->SucheTurmarbeiter(turm), nullptr);
    EXPECT_EQ(mSzene->SucheArbeiter(turm), leute[3]);

    // Equal distances: the lowest slot wins.
    leute[0]->mPosition = Vektor(30, 0, 55);
    leute[1]->mPosition = Vektor(80, 0, 55);
    leute[3]->mZustand = 9;
    EXPECT_EQ(mSzene->SucheArbeiter(turm), leute[0]);

    // A second farmer is refused within 40 units of another farmer's field.
    Acker* feld = new Acker(mSzene.get(), 0);
    Acker* anderes = new Acker(mSzene.get(), 99);
    leute[2]->mZustand = 5;
    leute[2]->mZiel = anderes;
    const Vektor arbeitsPunkt = mSzene->mPunkte[0];
    anderes->mPosition = arbeitsPunkt + Vektor(39, 0, 0);
    EXPECT_EQ(mSzene->SucheFeldarbeiter(feld), nullptr);
    anderes->mPosition = arbeitsPunkt + Vektor(41, 0, 0);
    EXPECT_NE(mSzene->SucheFeldarbeiter(feld), nullptr);
    leute[2]->mZustand = 9;
    anderes->mPosition = arbeitsPunkt + Vektor(1, 0, 0);
    EXPECT_NE(mSzene->SucheFeldarbeiter(feld), nullptr);

    EXPECT_EQ(mSzene->SucheBauernhaus(Vektor(500, 0, 500)), haus);
}

TEST_F(Welt, BauernhausplatzUeberspringtRegionenOhneEcken)
{
    mSzene = BaueTestwelt(&mUhr, 4, 10.0f);
    auto& regionen = mSzene->mRegionen;
    for (Region& r : regionen)
        r.mTyp = Region::Berg;
    // A free region without corners would pass the neighbour test with a NaN centre.
    regionen[5].mTyp = Region::Frei;
    regionen[5].mEckenAnzahl = 0;
    regionen[5].mNachbarAnzahl = 0;
    EXPECT_EQ(mSzene->WaehleBauernhausRegion(), UINT64_MAX);
    // Free land next to a mountain is taken only when nothing better exists.
    regionen[10].mTyp = Region::Frei;
    EXPECT_EQ(mSzene->WaehleBauernhausRegion(), 10u);
    // A free corner region whose outer neighbours are mirror points passes.
    for (uint64_t i : {0u, 1u, 4u})
        regionen[i].mTyp = Region::Frei;
    EXPECT_EQ(mSzene->WaehleBauernhausRegion(), 0u);
}

}  // namespace
}  // namespace Spiel::Test
