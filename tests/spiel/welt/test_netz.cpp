// Mesh functions and the procedural models.
#include <gtest/gtest.h>

#include <cmath>

#include "spiel/welt/modelle.h"
#include "spiel/welt/netz.h"
#include "spiel/welt/zufall.h"

namespace Spiel {
namespace {

void ErwarteVektor(const Vektor& ist, const Vektor& soll, float toleranz = 1e-5f)
{
    EXPECT_NEAR(ist.x, soll.x, toleranz);
    EXPECT_NEAR(ist.y, soll.y, toleranz);
    EXPECT_NEAR(ist.z, soll.z, toleranz);
}

TEST(Netz, DreieckUndViereckMitNormaleUndIndizes)
{
    Netz netz;
    const TAlphaFarbe farbe(0.1f, 0.2f, 0.3f, 0.4f);
    FuegeDreieckHinzu({0, 0, 0}, {0, 1, 0}, {1, 0, 0}, farbe, netz.mIndizes, netz.mVertices);
    ASSERT_EQ(netz.mVertices.size(), 3u);
    EXPECT_EQ(netz.mIndizes, (std::vector<uint32_t>{0, 1, 2}));
    for (const Vertex& v : netz.mVertices)
    {
        ErwarteVektor(v.mNormale, {0, 0, 1});
        EXPECT_EQ(v.mFarbe, farbe);
    }

    // A second call on the same lists is offset by the vertices already there; the fourth
    // corner completes the parallelogram.
    FuegeViereckHinzu({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, farbe, netz.mIndizes, netz.mVertices);
    ASSERT_EQ(netz.mVertices.size(), 7u);
    EXPECT_EQ(std::vector<uint32_t>(netz.mIndizes.begin() + 3, netz.mIndizes.end()),
              (std::vector<uint32_t>{3, 5, 6, 3, 6, 4}));
    ErwarteVektor(netz.mVertices[6].mPosition, {1, 1, 0});

    // A degenerate triangle keeps a zero normal instead of NaN.
    Netz flach;
    FuegeDreieckHinzu({1, 1, 1}, {1, 1, 1}, {1, 1, 1}, farbe, flach.mIndizes, flach.mVertices);
    ErwarteVektor(flach.mVertices[0].mNormale, {0, 0, 0});
}

TEST(Netz, EinheitsquaderZeigtNachAussen)
{
    Netz netz;
    FuegeQuaderHinzu({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1, 1}, netz.mIndizes, netz.mVertices);
    ASSERT_EQ(netz.mVertices.size(), 24u);
    ASSERT_EQ(netz.mIndizes.size(), 36u);
    for (const Vertex& v : netz.mVertices)
    {
        EXPECT_NEAR(std::fabs(v.mPosition.x), 0.5f, 1e-6f);
        EXPECT_NEAR(std::fabs(v.mPosition.y), 0.5f, 1e-6f);
        EXPECT_NEAR(std::fabs(v.mPosition.z), 0.5f, 1e-6f);
        // Every face normal points away from the centre: the vertex lies on its positive side.
        EXPECT_NEAR(Punkt(v.mPosition, v.mNormale), 0.5f, 1e-6f);
    }
    // Each quad's two triangles wind like its normal.
    for (size_t t = 0; t < netz.mIndizes.size(); t += 3)
    {
        const Vektor a = netz.mVertices[netz.mIndizes[t]].mPosition;
        const Vektor b = netz.mVertices[netz.mIndizes[t + 1]].mPosition;
        const Vektor c = netz.mVertices[netz.mIndizes[t + 2]].mPosition;
        EXPECT_GT(Punkt(Kreuz(c - a, b - a), netz.mVertices[netz.mIndizes[t]].mNormale), 0.0f) << t;
    }
}

struct Hoehen
{
    float min = 1e9f, max = -1e9f;
};
Hoehen HoehenVon(const Netz& netz)
{
    Hoehen h;
    for (const Vertex& v : netz.mVertices)
        h.min = std::min(h.min, v.mPosition.y), h.max = std::max(h.max, v.mPosition.y);
    return h;
}

TEST(ProzeduraleModelle, VertexUndIndexZahlen)
{
    // Quads bring 4 vertices for 2 triangles, everything else 3 per triangle.
    struct Fall
    {
        const char* name;
        Netz netz;
        size_t dreiecke, vertices;
    };
    Spiel::srand(1);
    const Fall faelle[] = {
        {"haus0", BaueHaus(0), 12 + 4 + 8, 24 + 12 + 16},
        {"haus4", BaueHaus(4), 12 + 4 + 8, 24 + 12 + 16},
        {"mensch", BaueMensch(0), 40, 32 + 24 + 48},
        {"mensch_getr", BaueMensch(1), 40 + 12, 104 + 24},
        {"mensch_holz", BaueMensch(2), 40 + 12, 104 + 24},
        {"mensch_stein", BaueMensch(3), 40 + 12, 104 + 24},
        {"mensch_baum", BaueMensch(4), 40 + 3 + 12, 104 + 9 + 24},
        {"pfeil1", BauePfeil(true), 16, 48},
        {"pfeil0", BauePfeil(false), 16, 48},
        {"getreide", BaueGetreide(), 50, 150},
        {"baustelle", BaueBaustelle(), 4 * 12 + 32, 4 * 24 + 32 * 3},
        {"holzfaeller", BaueHolzfaeller(), 28 * 12 + 80, 28 * 24 + 80 * 3},
        {"forsthaus", BaueForsthaus(), 30 * 12 + 100, 30 * 24 + 100 * 3},
        {"steinbruch", BaueSteinbruch(), 28 * 12 + 4 + 3 * 12, 28 * 24 + 12 + 3 * 24},
        {"turm", BaueTurm(), 150, 450},
    };
    for (const Fall& f : faelle)
    {
        EXPECT_EQ(f.netz.Dreiecke(), f.dreiecke) << f.name;
        EXPECT_EQ(f.netz.mVertices.size(), f.vertices) << f.name;
        EXPECT_EQ(f.netz.mIndizes.size(), 3 * f.dreiecke) << f.name;
        for (uint32_t i : f.netz.mIndizes)
            ASSERT_LT(i, f.netz.mVertices.size()) << f.name;
    }
}

// Arrows stand with their tip on the origin; a farmhouse lights one window per resident.
TEST(ProzeduraleModelle, PfeileUndFenster)
{
    EXPECT_FLOAT_EQ(HoehenVon(BauePfeil(false)).max, 12.0f);
    EXPECT_FLOAT_EQ(HoehenVon(BauePfeil(true)).max, 18.0f);
    EXPECT_FLOAT_EQ(HoehenVon(BauePfeil(true)).min, 0.0f);

    const TAlphaFarbe hell(1, 1, 0.4392157f, 1), dunkel(0, 0, 0, 1);
    for (uint64_t n = 0; n <= 4; ++n)
    {
        const Netz haus = BaueHaus(n);
        for (uint64_t f = 0; f < 4; ++f)
            EXPECT_EQ(haus.mVertices[haus.mVertices.size() - 16 + 4 * f].mFarbe, f < n ? hell : dunkel) << n << " " << f;
    }
}

TEST(ProzeduraleModelle, GetreideHalme)
{
    for (uint32_t saat : {1u, 7u, 12345u})
    {
        Spiel::srand(saat);
        const Netz netz = BaueGetreide();
        ASSERT_EQ(netz.Dreiecke(), 50u);
        for (size_t t = 0; t < 50; ++t)
        {
            const Vektor fuss = netz.mVertices[3 * t].mPosition;
            EXPECT_LE(std::sqrt(fuss.x * fuss.x + fuss.z * fuss.z), 10.0f);
            EXPECT_FLOAT_EQ(fuss.y, 0.0f);
            const float hoehe = netz.mVertices[3 * t + 1].mPosition.y;
            EXPECT_GE(hoehe, 5.0f);
            EXPECT_LE(hoehe, 5.5f);
            EXPECT_FLOAT_EQ(netz.mVertices[3 * t + 2].mPosition.y, hoehe);
        }
    }
}

std::vector<float> Flach(const Netz& netz)
{
    std::vector<float> werte;
    for (const Vertex& v : netz.mVertices)
        werte.insert(werte.end(), {v.mPosition.x, v.mPosition.y, v.mPosition.z});
    return werte;
}

TEST(ProzeduraleModelle, BaeumeVerschiedenAberBeiJedemStartGleich)
{
    std::vector<std::vector<float>> erster, zweiter;
    for (auto* lauf : {&erster, &zweiter})
    {
        Spiel::srand(1);  // the unseeded generator's state
        for (int i = 0; i < 3; ++i)
            lauf->push_back(Flach(BaueBaum()));
    }
    EXPECT_EQ(erster, zweiter);
    EXPECT_NE(erster[0], erster[1]);
    EXPECT_NE(erster[1], erster[2]);
    EXPECT_NE(erster[0], erster[2]);
    for (const auto& baum : erster)
    {
        // Trunk (4 quads, 16 vertices) plus three cones of 4 to 9 segments.
        const size_t kronenDreiecke = (baum.size() / 3 - 16) / 3;
        EXPECT_GE(kronenDreiecke, 12u);
        EXPECT_LE(kronenDreiecke, 27u);
    }
}

}  // namespace
}  // namespace Spiel
