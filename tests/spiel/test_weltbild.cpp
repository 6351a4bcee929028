// A generated world drawn from a fixed camera under Xvfb: the farmhouse and a tree appear
// where the camera's transforms put them, the tree casts its shadow the way the light falls,
// the shadow map is not uniform, and the pause effect leaves the picture alone at 0 and greys
// it at 1. The frame is written to the build folder for a person to look at.
#include <cmath>
#include <memory>
#include <set>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/bauernhaus.h"
#include "spiel/baum.h"
#include "spiel/modell.h"
#include "spiel/modelle.h"
#include "spiel/szene.h"
#include "spiel/szenenrenderer.h"
#include "spiel/zeichenkontextpuffer.h"
#include "spiel/zufall.h"
#include "tests/spiel/bilddatei.h"
#include "tests/spiel/darstellung_test.h"

namespace Spiel::Test {
namespace {

constexpr float kAbstand = 200.0f;

class WeltBild : public DarstellungsTest
{
protected:
    WeltBild() : DarstellungsTest(320, 192) {}
    void SetUp() override
    {
        DarstellungsTest::SetUp();
        mPuffer = std::make_unique<ZeichenKontextPuffer>(*mKontext);
        mAlterPuffer = SetzeModellPuffer(mPuffer.get());
        Spiel::srand(1);
        LadeModelle();
        mUhr.Starte();
        Spiel::srand(7);
        mSzene = std::make_unique<Szene>(&mUhr);
        mZiel = BVektor<float>(mSzene->mStartpunkt.x, 0.0f, mSzene->mStartpunkt.z);
    }
    void TearDown() override
    {
        mSzene.reset();
        GebeModelleFrei();
        SetzeModellPuffer(mAlterPuffer);
        DarstellungsTest::TearDown();
    }

    std::vector<uint32_t> Frame(SzenenRenderer& renderer, FilterSatz& satz)
    {
        renderer.Zeichne(*mSzene, mZiel, kAbstand, Neigung(), satz);
        return Bild();
    }
    static float Neigung() { return 2.8274333f - 0.0021991148f * kAbstand; }

    // The pixel a world point lands on, through the renderer's camera.
    std::pair<int, int> Pixel(const Vektor& p) const
    {
        const TMatrix4 sicht = SzenenRenderer::KameraSicht(mZiel, kAbstand, Neigung());
        const TMatrix4 proj = SzenenRenderer::KameraProjektion(static_cast<uint64_t>(mBreite),
                                                               static_cast<uint64_t>(mHoehe));
        float clip[4];
        for (int r = 0; r < 4; ++r)
        {
            float v[4];
            for (int k = 0; k < 4; ++k)
                v[k] = sicht(k, 0) * p.x + sicht(k, 1) * p.y + sicht(k, 2) * p.z + sicht(k, 3);
            clip[r] = proj(r, 0) * v[0] + proj(r, 1) * v[1] + proj(r, 2) * v[2] + proj(r, 3) * v[3];
        }
        const float x = (clip[0] / clip[3] + 1.0f) * 0.5f * static_cast<float>(mBreite);
        const float y = (1.0f - clip[1] / clip[3]) * 0.5f * static_cast<float>(mHoehe);
        return {static_cast<int>(x), static_cast<int>(y)};
    }
    uint32_t An(const std::vector<uint32_t>& bild, std::pair<int, int> p) const
    {
        EXPECT_TRUE(p.first >= 0 && p.first < mBreite && p.second >= 0 && p.second < mHoehe)
            << p.first << ", " << p.second;
        const int x = std::clamp(p.first, 0, mBreite - 1), y = std::clamp(p.second, 0, mHoehe - 1);
        return bild[static_cast<size_t>(y * mBreite + x)];
    }
    // The ground under a point, at the height of the region hit.
    Vektor Boden(float x, float z) const
    {
        const PickErgebnis treffer = mSzene->PickeRegion(Vektor(x, 2000.0f, z), Vektor(0, -1, 0));
        EXPECT_TRUE(mSzene->IstRegion(treffer.mRegion));
        return treffer.mPunkt;
    }
    // Free ground near the target, at least `frei` from every object.
    Vektor FreierPlatz(float frei) const
    {
        for (float r = 30.0f; r < 80.0f; r += 5.0f)
            for (float w = 0.0f; w < 6.28f; w += 0.2f)
            {
                const float x = mZiel.x + r * std::cos(w), z = mZiel.z + r * std::sin(w);
                bool frei_ = true;
                for (const Objekt* o : mSzene->mObjekte)
                    frei_ = frei_ && HorizontalQuadrat(o->mPosition, Vektor(x, 0, z)) > frei * frei;
                if (frei_)
                    return Boden(x, z);
            }
        ADD_FAILURE() << "no free ground near the target";
        return Boden(mZiel.x, mZiel.z);
    }

    std::unique_ptr<ZeichenKontextPuffer> mPuffer;
    ModellPuffer* mAlterPuffer = nullptr;
    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
    BVektor<float> mZiel;
};

TEST_F(WeltBild, GelaendeBaeumeHausUndSchatten)
{
    SzenenRenderer renderer;
    FilterSatz satz;
    satz.AddFilter(renderer.mFilterVerwaltung.SucheAktivierbarenEffekt("pause"), 0);
    const Vektor fuss = FreierPlatz(30.0f);
    Baum* baum = new Baum(mSzene.get(), fuss, false);
    const std::vector<uint32_t> mitBaum = Frame(renderer, satz);
    SchreibeBild(std::string(WEILERBAU_BAU) + "/szene_test", mitBaum, mBreite, mHoehe);

    std::set<uint32_t> farben;
    for (uint32_t p : mitBaum)
        farben.insert(Rgb(p));
    EXPECT_GT(farben.size(), 100u);

    // Without the tree and then without the farmhouse, the pixels where they stood change.
    const Vektor schatten = Boden(fuss.x + 6.0f, fuss.z + 6.0f);  // the light falls toward +x, +z
    const TMatrix4 baumWelt = mSzene->Instanz(baum->mInstanz)->mWeltMatrix;
    mSzene->SetzeInstanzMatrix(baum->mInstanz, TMatrix4::Verschiebung(0, 1000000, 0));
    const std::vector<uint32_t> ohneBaum = Frame(renderer, satz);
    mSzene->SetzeInstanzMatrix(baum->mInstanz, baumWelt);
    const auto krone = Pixel(Vektor(fuss.x, fuss.y + 10.0f, fuss.z));
    EXPECT_NE(Rgb(An(mitBaum, krone)), Rgb(An(ohneBaum, krone)));
    // The tree's shadow: the same ground, darker with the tree than without.
    const uint32_t imSchatten = An(mitBaum, Pixel(schatten)), imLicht = An(ohneBaum, Pixel(schatten));
    EXPECT_LT(Helligkeit(imSchatten) * 10, Helligkeit(imLicht) * 8)
        << std::hex << imSchatten << " " << imLicht;
    // The ground on the side away from the light keeps its light.
    const auto gegenueber = Pixel(Boden(fuss.x - 9.0f, fuss.z + 9.0f));
    EXPECT_EQ(Rgb(An(mitBaum, gegenueber)), Rgb(An(ohneBaum, gegenueber)));

    const Bauernhaus* haus = nullptr;
    for (Objekt* o : mSzene->mObjekte)
        haus = haus ? haus : dynamic_cast<Bauernhaus*>(o);
    ASSERT_NE(haus, nullptr);
    const TMatrix4 hausWelt = mSzene->Instanz(haus->mInstanz)->mWeltMatrix;
    mSzene->SetzeInstanzMatrix(haus->mInstanz, TMatrix4::Verschiebung(0, 1000000, 0));
    const std::vector<uint32_t> ohneHaus = Frame(renderer, satz);
    mSzene->SetzeInstanzMatrix(haus->mInstanz, hausWelt);
    const auto dach = Pixel(Vektor(haus->mPosition.x, haus->mPosition.y + 4.0f, haus->mPosition.z));
    EXPECT_NE(Rgb(An(mitBaum, dach)), Rgb(An(ohneHaus, dach)));

    // The shadow map, shown through the pass-through copy, holds more than one depth.
    FilterSatz leer;
    leer.Anwenden(renderer.mSchattenTextur, {nullptr, 0, 0, 2048, 2048}, renderer.mFilterVerwaltung.Quad());
    std::set<uint32_t> tiefen;
    for (uint32_t p : Bild())
        tiefen.insert(Rgb(p));
    EXPECT_GT(tiefen.size(), 20u);
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

TEST_F(WeltBild, PauseEffekt)
{
    SzenenRenderer renderer;
    FilterSatz ohne;
    const std::vector<uint32_t> roh = Frame(renderer, ohne);
    FilterSatz satz;
    satz.AddFilter(renderer.mFilterVerwaltung.SucheAktivierbarenEffekt("pause"), 0);
    satz.SetParameter("staerke", 0, 0, 0, 0);
    const std::vector<uint32_t> null = Frame(renderer, satz);
    satz.SetParameter("staerke", 1, 0, 0, 0);
    const std::vector<uint32_t> eins = Frame(renderer, satz);
    int gleich = 0;
    int64_t summeRoh = 0, summeEins = 0;
    for (size_t i = 0; i < roh.size(); ++i)
    {
        gleich += Rgb(roh[i]) == Rgb(null[i]) ? 1 : 0;
        summeRoh += Helligkeit(roh[i]);
        summeEins += Helligkeit(eins[i]);
    }
    EXPECT_EQ(gleich, static_cast<int>(roh.size()));
    EXPECT_LT(summeEins * 10, summeRoh * 7);
}

}  // namespace
}  // namespace Spiel::Test
