// A generated world drawn from a fixed camera under Xvfb: the farmhouse and a tree appear
// where the camera's transforms put them, the tree casts its shadow the way the light falls and
// the shadow map is not uniform. The frame is written to the build folder as szene_test.png
// for a person to look at. The pointer's pick through the game's camera names the region whose
// top the frame shows under the pointer, and none where it shows a wall or the sky.
#include <cmath>
#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "spiel/anwendung/kamera.h"
#include "spiel/welt/bauernhaus.h"
#include "spiel/welt/baum.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/szene.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/zufall.h"
#include "quarzklassen/grafik/bild/quarz_bild.h"
#include "quarzklassen/kern/textkodierung.h"
#include "tests/spiel/darstellung/darstellung_test.h"
#include "tests/spiel/gemeinsam/bildpunkt.h"

namespace Spiel::Test {
namespace {

constexpr float kAbstand = 200.0f;
// What a pixel shows when it shows no region's top.
constexpr uint64_t kWand = UINT64_MAX, kHimmel = UINT64_MAX - 1;

class WeltBild : public WeltDarstellungsTest
{
protected:
    WeltBild() : WeltDarstellungsTest(320, 192) {}
    void SetUp() override
    {
        WeltDarstellungsTest::SetUp();
        Spiel::srand(1);
        LadeModelle();
        mUhr.Starte();
        // A map whose start shows open ground, forest, mountains and the farmhouse.
        Spiel::srand(3);
        mSzene = std::make_unique<Szene>(&mUhr);
        mZiel = BVektor<float>(mSzene->mStartpunkt.x, 0.0f, mSzene->mStartpunkt.z);
    }
    void TearDown() override
    {
        mSzene.reset();
        GebeModelleFrei();
        WeltDarstellungsTest::TearDown();
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
        const TMatrix4 m = SzenenRenderer::KameraSicht(mZiel, kAbstand, Neigung()) *
                           SzenenRenderer::KameraProjektion(static_cast<uint64_t>(mBreite), static_cast<uint64_t>(mHoehe));
        const auto [x, y] = Bildpunkt(m, p, static_cast<float>(mBreite), static_cast<float>(mHoehe));
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

    std::vector<uint32_t> Frame(SzenenRenderer& renderer, const Kamera& kamera)
    {
        renderer.Zeichne(*mSzene, kamera.Ziel(), kamera.mAbstand, kamera.Neigung(), mDurchreichen);
        return Bild();
    }

    // The frame with the tops of the chosen regions in a colour no region has.
    template <typename Wahl>
    std::vector<uint32_t> UmgefaerbtesFrame(SzenenRenderer& renderer, const Kamera& kamera, Wahl gewaehlt)
    {
        std::vector<TAlphaFarbe> farben;
        for (Region& r : mSzene->mRegionen)
        {
            farben.push_back(r.mFarbe);
            if (gewaehlt(static_cast<uint64_t>(&r - mSzene->mRegionen.data())))
                r.mFarbe = TAlphaFarbe(1.0f, 0.0f, 1.0f, 1.0f);
        }
        mSzene->BaueGelaende();
        std::vector<uint32_t> bild = Frame(renderer, kamera);
        for (size_t i = 0; i < farben.size(); ++i)
            mSzene->mRegionen[i].mFarbe = farben[i];
        mSzene->BaueGelaende();
        return bild;
    }

    // Per pixel, the region whose top it shows, kWand for a wall or kHimmel for the sky.
    std::vector<uint64_t> GezeigteRegionen(SzenenRenderer& renderer, const Kamera& kamera)
    {
        const std::vector<uint32_t> wieEs = Frame(renderer, kamera);
        mSzene->SetzeInstanzMatrix(0, TMatrix4::Verschiebung(0.0f, 1000000.0f, 0.0f));
        const std::vector<uint32_t> himmel = Frame(renderer, kamera);
        mSzene->SetzeInstanzMatrix(0, TMatrix4::Einheit());
        const std::vector<uint32_t> alle = UmgefaerbtesFrame(renderer, kamera, [](uint64_t) { return true; });
        std::vector<uint64_t> regionen(wieEs.size(), 0);
        for (uint64_t bit = 0; (uint64_t{1} << bit) < mSzene->mRegionen.size(); ++bit)
        {
            const std::vector<uint32_t> bild =
                UmgefaerbtesFrame(renderer, kamera, [bit](uint64_t i) { return (i >> bit) & 1; });
            for (size_t p = 0; p < bild.size(); ++p)
                regionen[p] |= Rgb(bild[p]) != Rgb(wieEs[p]) ? uint64_t{1} << bit : 0;
        }
        for (size_t p = 0; p < alle.size(); ++p)
            if (Rgb(alle[p]) == Rgb(wieEs[p]))
                regionen[p] = Rgb(wieEs[p]) == Rgb(himmel[p]) ? kHimmel : kWand;
        return regionen;
    }

    // Whether the pixel and its eight neighbours show the same: off the edges between surfaces,
    // where ray and rasteriser may each give the pixel to another side.
    bool Einheitlich(const std::vector<uint64_t>& regionen, int x, int y) const
    {
        const uint64_t mitte = regionen[static_cast<size_t>(y * mBreite + x)];
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (regionen[static_cast<size_t>((y + dy) * mBreite + x + dx)] != mitte)
                    return false;
        return true;
    }

    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
    BVektor<float> mZiel;
    FilterSatz mDurchreichen;
};

TEST_F(WeltBild, GelaendeBaeumeHausUndSchatten)
{
    SzenenRenderer renderer;
    FilterSatz satz;
    satz.AddFilter(renderer.mFilterVerwaltung.SucheAktivierbarenEffekt("pause"), 0);
    const Vektor fuss = FreierPlatz(30.0f);
    Baum* baum = new Baum(mSzene.get(), fuss, false);
    const std::vector<uint32_t> mitBaum = Frame(renderer, satz);
    Quarz_Bild png(static_cast<uint64_t>(mBreite), static_cast<uint64_t>(mHoehe), Quarz::PF_A8R8G8B8, 1);
    for (int y = 0; y < mHoehe; ++y)
        std::memcpy(png.mPixel + static_cast<uint64_t>(y) * png.mPitch, &mitBaum[static_cast<size_t>(y * mBreite)],
                    static_cast<size_t>(mBreite) * 4);
    EXPECT_TRUE(png.SpeicherePNG(WandleUtf8NachUtf32(std::string(WEILERBAU_BAU) + "/szene_test.png")));

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

TEST_F(WeltBild, DerZeigerPicktDieOberseiteDieDasBildUnterIhmZeigt)
{
    // The terrain alone: objects and the cursor would cover it.
    for (uint64_t i = 1; i < mSzene->mInstanzen.Kapazitaet(); ++i)
        if (mSzene->mInstanzen.IstBelegt(i))
            mSzene->SetzeInstanzMatrix(i, TMatrix4::Verschiebung(0.0f, 1000000.0f, 0.0f));
    SzenenRenderer renderer;
    struct Ansicht
    {
        const char* name;
        float x, z, abstand;
        // At least this many pixels of each: a top, a wall, the sky.
        int oben, wand, himmel;
    };
    const Vektor start = mSzene->mStartpunkt;
    const Ansicht ansichten[] = {
        {"the start", start.x, start.z, 200.0f, 1000, 300, 0},
        {"the start, nearest", start.x, start.z, 100.0f, 1000, 300, 0},
        {"the map's corner from beyond it", -20.0f, 960.0f, 200.0f, 300, 1000, 1000},
        {"farthest", 500.0f, 420.0f, 500.0f, 1000, 100, 0},
    };
    for (const Ansicht& a : ansichten)
    {
        Kamera kamera(a.x, a.z);
        kamera.mAbstand = kamera.mWunschAbstand = a.abstand;
        const std::vector<uint64_t> gezeigt = GezeigteRegionen(renderer, kamera);
        int oben = 0, wand = 0, himmel = 0, falsch = 0;
        std::string beispiele;
        for (int y = 1; y + 1 < mHoehe; y += 2)
            for (int x = 1; x + 1 < mBreite; x += 2)
            {
                if (!Einheitlich(gezeigt, x, y))
                    continue;
                Vektor o, d;
                kamera.Strahl(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f, static_cast<float>(mBreite),
                              static_cast<float>(mHoehe), o, d);
                const uint64_t region = mSzene->PickeOberflaeche(o, d).mRegion;
                const uint64_t soll = gezeigt[static_cast<size_t>(y * mBreite + x)];
                oben += soll < kHimmel;
                wand += soll == kWand;
                himmel += soll == kHimmel;
                if (region == (soll < kHimmel ? soll : UINT64_MAX))
                    continue;
                if (++falsch <= 5)
                    beispiele += " (" + std::to_string(x) + ", " + std::to_string(y) + "): shown " +
                                 (soll < kHimmel ? std::to_string(soll) : soll == kWand ? "a wall" : "the sky") +
                                 ", picked " + (region == UINT64_MAX ? "none" : std::to_string(region)) + ";";
            }
        EXPECT_EQ(falsch, 0) << a.name << beispiele;
        EXPECT_GE(oben, a.oben) << a.name;
        EXPECT_GE(wand, a.wand) << a.name;
        EXPECT_GE(himmel, a.himmel) << a.name;
    }
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

}  // namespace
}  // namespace Spiel::Test
