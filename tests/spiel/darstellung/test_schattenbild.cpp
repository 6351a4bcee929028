// Lit faces carry no self-shadow: on flat ground, on the farmhouse's walls and roof, on a tree's
// crown and on the sides of a raised region facing the sun, every pixel well inside such a face
// has the colour the shading gives (ambient plus the sun's diffuse part), none of them darker,
// as a band of self-shadow ("acne") would be. The faces sit at every slope to the light from
// flat to nearly grazing, seen from across the zoom range.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <string>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/darstellung/darstellung_test.h"
#include "tests/spiel/gemeinsam/bildpunkt.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

// The main pass's light colours (the renderer's constants).
constexpr float kLicht[3] = {1.5f, 1.3f, 0.6f};
constexpr float kUm[3] = {0.3f, 0.4f, 0.6f};

struct Flaeche
{
    const char* was;
    std::array<Vektor, 3> ecken;  // world space
    Vektor normale;
    TAlphaFarbe farbe;
};

const Vektor kSockel(130, 0, 66);

class SchattenBild : public WeltDarstellungsTest
{
protected:
    SchattenBild() : WeltDarstellungsTest(640, 480) {}
    void SetUp() override
    {
        WeltDarstellungsTest::SetUp();
        mUhr.Starte();
        // Flat grass, 200 x 200, in squares of 20, and a plinth standing 5 high on it: a
        // region without neighbours, so that walls close it all round. Its sides face every
        // way (the angles of their normals in the ground plane); those at 140, 160 and 180
        // degrees face both the camera and the sun, the first nearly edge-on to the sun.
        std::unique_ptr<Szene> gitter = Spielumgebung::BaueTestwelt(&mUhr, 10, 20.0f);
        std::vector<Vektor> punkte = gitter->mPunkte;
        std::vector<Region> regionen = gitter->mRegionen;
        gitter.reset();
        const float grad = 3.14159265f / 180.0f, radius = 14.0f;
        const float normalen[] = {-60, 30, 110, 140, 160, 180, 240};
        Region sockel;
        for (size_t k = 0; k < std::size(normalen); ++k)
        {
            const float a = normalen[k], b = k + 1 < std::size(normalen) ? normalen[k + 1] : normalen[0] + 360.0f;
            const float mitte = 0.5f * (a + b) * grad, weite = radius / std::cos(0.5f * (b - a) * grad);
            sockel.mEcken[sockel.mEckenAnzahl++] = Vektor(kSockel.x + weite * std::cos(mitte), 5.0f,
                                                          kSockel.z + weite * std::sin(mitte));
        }
        sockel.mFarbe = TAlphaFarbe(0.6f, 0.58f, 0.5f, 1.0f);
        punkte.push_back(kSockel);
        regionen.push_back(sockel);
        mSzene = std::make_unique<Szene>(&mUhr, std::move(punkte), std::move(regionen));
    }
    void TearDown() override
    {
        mSzene.reset();
        for (Modell* m : mModelle)
        {
            m->Freigeben();
            delete m;
        }
        WeltDarstellungsTest::TearDown();
    }

    // Puts a mesh into the world, turned by `winkel` about the vertical and moved to `ort`;
    // gives its triangles in world space.
    std::vector<Flaeche> Stelle(const Netz& netz, const Vektor& ort, float winkel, const char* was)
    {
        TMatrix4 welt = TMatrix4::RotationY(winkel);
        welt *= TMatrix4::Verschiebung(ort.x, ort.y, ort.z);
        mModelle.push_back(new Modell(netz));
        mSzene->mInstanzen.Einfuegen(RenderInstanz(mModelle.back(), welt));
        std::vector<Flaeche> flaechen;
        for (size_t i = 0; i + 2 < netz.mIndizes.size(); i += 3)
        {
            const Vertex& a = netz.mVertices[netz.mIndizes[i]];
            Flaeche f{was, {}, welt.TransformierePunkt(a.mNormale) - welt.TransformierePunkt(Vektor()), a.mFarbe};
            for (size_t k = 0; k < 3; ++k)
                f.ecken[k] = welt.TransformierePunkt(netz.mVertices[netz.mIndizes[i + k]].mPosition);
            flaechen.push_back(f);
        }
        return flaechen;
    }

    // The pixel position (x right, y down, pixel centres at +0.5) of a world point.
    std::array<float, 2> Bildpunkt(const TMatrix4& m, const Vektor& p) const
    {
        return Spiel::Test::Bildpunkt(m, p, static_cast<float>(mBreite), static_cast<float>(mHoehe));
    }

    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
    std::vector<Modell*> mModelle;
};

TEST_F(SchattenBild, BeleuchteteFlaechenOhneStreifen)
{
    // The house as the game places it (never turned); trees turned as the game turns them, by
    // their addresses. Shadows fall toward +x and +z: no object shades another's tested faces
    // or the tested ground square [80, 100] x [120, 140].
    Spiel::srand(5);
    std::vector<Flaeche> haus = Stelle(BaueHaus(0), Vektor(100, 0, 95), 0.0f, "farmhouse");
    std::vector<Flaeche> baeume;
    const std::pair<Vektor, float> orte[] = {{Vektor(20, 0, 100), 0.3f}, {Vektor(40, 0, 70), 1.9f}, {Vektor(50, 0, 120), 4.4f}};
    for (const auto& [ort, winkel] : orte)
    {
        const std::vector<Flaeche> baum = Stelle(BaueBaum(), ort, winkel, "tree");
        // The crown's top tier, the faces around its highest point: nothing lies above them.
        float spitze = 0.0f;
        for (const Flaeche& f : baum)
            spitze = std::max(spitze, f.ecken[1].y);
        for (const Flaeche& f : baum)
            if (f.ecken[1].y == spitze)
                baeume.push_back(f);
    }
    std::vector<Flaeche> kandidaten;
    const TAlphaFarbe gras = mSzene->mRegionen[6 * 10 + 4].mFarbe;
    const TAlphaFarbe boden(0.9f * gras.r, 0.9f * gras.g, 0.9f * gras.b, 0.9f * gras.a);
    kandidaten.push_back({"ground", {Vektor(80, 0, 120), Vektor(100, 0, 120), Vektor(100, 0, 140)}, Vektor(0, 1, 0), boden});
    kandidaten.push_back({"ground", {Vektor(80, 0, 120), Vektor(100, 0, 140), Vektor(80, 0, 140)}, Vektor(0, 1, 0), boden});
    // The plinth's top and walls as the terrain mesh has them (the walls reach 100 below the
    // top, into the grass).
    const Netz& gelaende = mSzene->GelaendeNetz();
    for (size_t i = 0; i + 2 < gelaende.mIndizes.size(); i += 3)
    {
        const Vertex& a = gelaende.mVertices[gelaende.mIndizes[i]];
        Flaeche f{"plinth", {}, a.mNormale, a.mFarbe};
        float hoechste = -1000.0f;
        for (size_t k = 0; k < 3; ++k)
        {
            f.ecken[k] = gelaende.mVertices[gelaende.mIndizes[i + k]].mPosition;
            hoechste = std::max(hoechste, f.ecken[k].y);
        }
        if (hoechste > 4.9f)
            kandidaten.push_back(f);
    }
    // The house is a box under a pyramid roof: convex, so a face toward the sun is shaded by
    // nothing of the house; its top lies hidden under the roof.
    for (const Flaeche& f : haus)
        if (!(f.normale.y > 0.99f && f.ecken[0].y > 5.0f))
            kandidaten.push_back(f);
    kandidaten.insert(kandidaten.end(), baeume.begin(), baeume.end());

    SzenenRenderer renderer;
    FilterSatz durchreichen;
    std::map<std::string, int> gepruefte, streifen;
    float steilste = 1.0f;
    // Camera targets and distances across the zoom range, the house right of the view's middle
    // so that its sunward side faces the camera.
    const std::pair<BVektor<float>, float> ansichten[] = {
        {BVektor<float>(70, 0, 90), 100.0f}, {BVektor<float>(62, 0, 93), 140.0f},
        {BVektor<float>(66, 0, 104), 190.0f}, {BVektor<float>(55, 0, 110), 260.0f}};
    for (const auto& [ziel, abstand] : ansichten)
    {
        const float neigung = 2.8274333f - 0.0021991148f * abstand;
        renderer.Zeichne(*mSzene, ziel, abstand, neigung, durchreichen);
        const std::vector<uint32_t> bild = Bild();
        const BVektor<float> licht = SzenenRenderer::LichtRichtung(SzenenRenderer::LichtSicht(ziel, abstand));
        const Vektor kamera(ziel.x, ziel.y + abstand * std::sin(neigung), ziel.z - abstand * std::cos(neigung));
        const TMatrix4 m = SzenenRenderer::KameraSicht(ziel, abstand, neigung) *
                           SzenenRenderer::KameraProjektion(static_cast<uint64_t>(mBreite), static_cast<uint64_t>(mHoehe));
        for (const Flaeche& f : kandidaten)
        {
            const float diffus = Punkt(f.normale, Mal(licht, -1.0f));
            const Vektor mitte = Mal(f.ecken[0] + f.ecken[1] + f.ecken[2], 1.0f / 3.0f);
            // Lit and turned toward the camera.
            if (diffus < 0.05f || Punkt(f.normale, kamera - mitte) <= 0.0f)
                continue;
            // The shading: ambient plus the sun's diffuse part, times the face's colour.
            uint32_t soll = 0;
            const float kanal[3] = {f.farbe.r, f.farbe.g, f.farbe.b};
            for (int c = 0; c < 3; ++c)
            {
                const float wert = std::clamp((kUm[c] + kLicht[c] * diffus) * kanal[c], 0.0f, 1.0f);
                soll = (soll << 8) | static_cast<uint32_t>(wert * 255.0f + 0.5f);
            }
            // The part of the face above the grass, on screen.
            std::vector<std::array<float, 2>> p;
            for (size_t k = 0; k < 3; ++k)
            {
                const Vektor& a = f.ecken[k];
                const Vektor& b = f.ecken[(k + 1) % 3];
                if (a.y >= 0.0f)
                    p.push_back(Bildpunkt(m, a));
                if ((a.y >= 0.0f) != (b.y >= 0.0f))
                    p.push_back(Bildpunkt(m, a + Mal(b - a, a.y / (a.y - b.y))));
            }
            float flaeche2 = 0.0f;
            for (size_t k = 0; k < p.size(); ++k)
                flaeche2 += p[k][0] * p[(k + 1) % p.size()][1] - p[(k + 1) % p.size()][0] * p[k][1];
            const float vorzeichen = flaeche2 < 0.0f ? -1.0f : 1.0f;
            // Pixels whose centre lies two pixels or more inside every edge.
            for (int y = 0; y < mHoehe; ++y)
                for (int x = 0; x < mBreite; ++x)
                {
                    const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
                    bool innen = p.size() >= 3;
                    for (size_t k = 0; k < p.size() && innen; ++k)
                    {
                        const auto& a = p[k];
                        const auto& b = p[(k + 1) % p.size()];
                        const float lang = std::hypot(b[0] - a[0], b[1] - a[1]);
                        innen = lang > 0.0f &&
                                vorzeichen * ((b[0] - a[0]) * (py - a[1]) - (b[1] - a[1]) * (px - a[0])) >= 2.0f * lang;
                    }
                    if (!innen)
                        continue;
                    const uint32_t ist = Rgb(bild[static_cast<size_t>(y * mBreite + x)]);
                    int abweichung = 0;
                    for (int c = 0; c < 24; c += 8)
                        abweichung = std::max(abweichung, std::abs(int((ist >> c) & 0xFF) - int((soll >> c) & 0xFF)));
                    ++gepruefte[f.was];
                    steilste = std::min(steilste, diffus);
                    if (abweichung > 3 && streifen[f.was]++ == 0)
                        ADD_FAILURE() << f.was << " at pixel " << x << ", " << y << " (camera distance " << abstand
                                      << "): " << std::hex << ist << " instead of " << soll << std::dec
                                      << " (diffuse " << diffus << ")";
                }
        }
    }
    for (const char* was : {"ground", "plinth", "farmhouse", "tree"})
    {
        EXPECT_EQ(streifen[was], 0) << was << " of " << gepruefte[was] << " pixels";
        // Each kind was seen over a fair number of pixels, the plinth down to a nearly grazing
        // slope.
        EXPECT_GE(gepruefte[was], 100) << was;
    }
    EXPECT_LT(steilste, 0.08f);
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

}  // namespace
}  // namespace Spiel::Test
