// The scene renderer through a real drawing context: its shader files compile and know the
// names it sets, targets are made once per screen size, the frame's transforms follow their
// formulas, instances without buffers are skipped, and a construction that fails leaves
// nothing behind.
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>

#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zbuffer.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/shader/quarz_pixelshader.h"
#include "quarzklassen/grafik/shader/quarz_programm.h"
#include "quarzklassen/grafik/shader/quarz_vertexshader.h"
#include "quarzklassen/grafik/textur/quarz_renderziel.h"
#include "quarzklassen/grafik/textur/quarz_textur.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/zufall.h"
#include "tests/spiel/darstellung/darstellung_test.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

class SzenenRendererTest : public DarstellungsTest
{
protected:
    void SetUp() override
    {
        DarstellungsTest::SetUp();
        mPuffer = std::make_unique<ZeichenKontextPuffer>(*mKontext);
        mAlterPuffer = SetzeModellPuffer(mPuffer.get());
        Spiel::srand(1);
        LadeModelle();
        mUhr.Starte();
        mSzene = Spielumgebung::BaueTestwelt(&mUhr, 4, 25.0f);
    }
    void TearDown() override
    {
        mSzene.reset();
        GebeModelleFrei();
        SetzeModellPuffer(mAlterPuffer);
        DarstellungsTest::TearDown();
    }

    // A frame as the main loop draws it, then presented.
    void Frame(SzenenRenderer& renderer, FilterSatz& satz)
    {
        renderer.Zeichne(*mSzene, BVektor<float>(50, 0, 50), 200.0f, 2.8274333f - 0.0021991148f * 200.0f, satz);
    }

    template <class T>
    int Anzahl() const
    {
        int n = 0;
        for (Quarz_BasisObjekt* o : mKontext->mRegister)
            n += dynamic_cast<T*>(o) ? 1 : 0;
        return n;
    }

    std::unique_ptr<ZeichenKontextPuffer> mPuffer;
    ModellPuffer* mAlterPuffer = nullptr;
    Quarz_Timer mUhr;
    std::unique_ptr<Szene> mSzene;
};

TEST_F(SzenenRendererTest, ShaderDateienUebersetzenUndKennenIhreNamen)
{
    SzenenRenderer renderer;
    // A misspelt name would silently set nothing.
    for (const char* name : {"WeltMatrix", "SichtMatrix", "ProjMatrix", "gLichtTransform", "gLichtRichtung",
                             "gLichtFarbe", "gUmFarbe"})
        EXPECT_NE(renderer.mStartProgramm->GetKonstantenIndex(name), 0xFFFFFFu) << name;
    EXPECT_NE(renderer.mStartProgramm->GetSamplerIndex("texSchatten"), 0xFFFFu);
    for (const char* name : {"WeltMatrix", "SichtMatrix", "ProjMatrix"})
        EXPECT_NE(renderer.mSchattenProgramm->GetKonstantenIndex(name), 0xFFFFFFu) << name;
    // The shipped effect: "pause" with one pass and the parameter the main loop sets.
    FilterEffekt* pause = renderer.mFilterVerwaltung.SucheAktivierbarenEffekt("pause");
    ASSERT_NE(pause, nullptr);
    ASSERT_EQ(pause->mParameter.size(), 1u);
    EXPECT_EQ(pause->mParameter[0].mName, "staerke");
    EXPECT_NE(pause->mFilter[0].mProgramm->GetKonstantenIndex(pause->mParameter[0].mKonstantenName), 0xFFFFFFu);
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

TEST_F(SzenenRendererTest, ZieleEinmalJeBildschirmgroesse)
{
    SzenenRenderer renderer;
    FilterSatz satz;
    satz.AddFilter(renderer.mFilterVerwaltung.SucheEffekt("pause"), 0);
    const uint64_t vorher = mKontext->mRegister.Anzahl();
    const uint64_t schattenTextur = renderer.mSchattenTextur->mAllocId;
    uint64_t ids[4] = {};
    // First frame, second frame, and a frame after a change of size.
    for (int frame = 0; frame < 3; ++frame)
    {
        if (frame == 2)
            Quarz_Screen3D::SetDarstellung(Quarz_Screen3D::Modus{80, 40, 0, 0}, false, false);
        Frame(renderer, satz);
        mKontext->Praesentiere();
        // One depth buffer, two targets and one scene texture beside the shadow texture.
        EXPECT_EQ(mKontext->mRegister.Anzahl(), vorher + 4) << frame;
        EXPECT_EQ(Anzahl<Quarz_ZBuffer>(), 1) << frame;
        EXPECT_EQ(Anzahl<Quarz_Renderziel>(), 2) << frame;
        EXPECT_EQ(Anzahl<Quarz_Textur>(), 2) << frame;
        const uint64_t jetzt[4] = {renderer.mZBuffer->mAllocId, renderer.mSchattenZiel->mAllocId,
                                   renderer.mSzenenTextur->mAllocId, renderer.mSzenenZiel->mAllocId};
        for (int i = 0; frame > 0 && i < 4; ++i)
            EXPECT_EQ(jetzt[i] != ids[i], frame == 2) << frame << " " << i;
        std::copy(jetzt, jetzt + 4, ids);
    }
    EXPECT_EQ(renderer.mSchattenTextur->mAllocId, schattenTextur);
    EXPECT_EQ(renderer.mZBuffer->mBreite, 2048u);
    EXPECT_EQ(renderer.mSzenenTextur->mBreite, 80u);
    EXPECT_EQ(renderer.mSzenenTextur->mHoehe, 40u);
}

// M · (x, y, z, 1).
std::array<float, 4> Mal(const TMatrix4& m, float x, float y, float z)
{
    std::array<float, 4> p{};
    for (int r = 0; r < 4; ++r)
        p[static_cast<size_t>(r)] = m(r, 0) * x + m(r, 1) * y + m(r, 2) * z + m(r, 3);
    return p;
}

TEST(SzenenRendererFormeln, LichtUndKamera)
{
    const BVektor<float> t(400, 12, 300);
    const float d = 200.0f;
    const TMatrix4 licht = SzenenRenderer::LichtSicht(t, d);
    const BVektor<float> richtung = SzenenRenderer::LichtRichtung(licht);
    EXPECT_NEAR(richtung.x, 0.2955f, 1e-4f);
    EXPECT_NEAR(richtung.y, -0.9205f, 1e-4f);
    EXPECT_NEAR(richtung.z, 0.2556f, 1e-4f);
    EXPECT_NEAR(richtung.Laenge(), 1.0f, 1e-5f);

    const float a = 2.8274333f - 0.0021991148f * d;
    const TMatrix4 sicht = SzenenRenderer::KameraSicht(t, d, a);
    const TMatrix4 proj = SzenenRenderer::KameraProjektion(1280, 720);
    const TMatrix4 lichtProj = SzenenRenderer::LichtProjektion(d);
    struct Fall
    {
        const char* was;
        std::array<float, 4> ist, soll;
    };
    const BVektor<float> kamera(t.x, t.y + d * std::sin(a), t.z - d * std::cos(a));
    const Fall faelle[] = {
        {"target seen by the light", Mal(licht, t.x, t.y, t.z), {0, 0, d, 1}},
        {"one step against the light", Mal(licht, t.x - richtung.x, t.y - richtung.y, t.z - richtung.z),
         {0, 0, d - 1, 1}},
        {"target in the light's map", Mal(lichtProj, 0, 0, d), {0, 0, 0.5f, 1}},
        {"light map corner", Mal(lichtProj, 1.25f * d, 500, 2 * d), {1, 1, 1, 1}},
        {"target seen by the camera", Mal(sicht, t.x, t.y, t.z), {0, 0, d, 1}},
        {"camera position", Mal(sicht, kamera.x, kamera.y, kamera.z), {0, 0, 0, 1}},
        {"near plane", Mal(proj, 0, 0, 0.1f), {0, 0, 0, 0.1f}},
        {"far plane", Mal(proj, 0, 0, 1000), {0, 0, 1000, 1000}},
        {"right edge at 0.6 rad", Mal(proj, std::tan(0.6f) * 10, 0, 10), {10, 0, 1.0001f * 10 - 0.10001f, 10}},
        {"view y down is screen up", Mal(proj, 0, -1, 10), {0, 1.4616959f * 1280 / 720, 1.0001f * 10 - 0.10001f, 10}},
    };
    for (const Fall& f : faelle)
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(f.ist[i], f.soll[i], 2e-3f * std::max(1.0f, std::fabs(f.soll[i]))) << f.was << " [" << i << "]";
}

TEST_F(SzenenRendererTest, InstanzenOhnePufferWerdenUebersprungen)
{
    SzenenRenderer renderer;
    FilterSatz satz;
    uint64_t mitPuffern = 0;
    for (const RenderInstanz& instanz : mSzene->mInstanzen)
        mitPuffern += instanz.mVertexPuffer ? 1 : 0;
    mSzene->mInstanzen.Einfuegen(RenderInstanz(SucheModell("gibt es nicht"), TMatrix4::Einheit()));
    RenderInstanz ohnePuffer;
    ohnePuffer.mDreiecke = 12;  // a model made while no drawing context was there
    mSzene->mInstanzen.Einfuegen(ohnePuffer);
    mKontext->NulleZaehler();
    Frame(renderer, satz);
    // Both passes draw every instance with buffers; the pass-through copy draws one quad.
    EXPECT_EQ(mKontext->mZaehler[Quarz_ZeichenKontext::Z_INDEX_ZEICHNUNGEN], 2 * mitPuffern + 1);
    EXPECT_EQ(mLog.Zaehle("!"), 0) << mLog.Alle();
}

TEST_F(SzenenRendererTest, ScheiternderAufbauHinterlaesstNichts)
{
    struct Fall
    {
        std::vector<const char*> dateien;  // copied from the shipped data
        const char* kaputt;                // written with source that does not compile
        const char* meldung;
    };
    const Fall faelle[] = {
        {{"start.vs"}, nullptr, "Datei nicht lesbar"},
        {{"start.vs", "start.ps"}, nullptr, "Datei nicht lesbar"},
        {{"start.vs", "start.ps", "schatten.vs"}, nullptr, "Datei nicht lesbar"},
        {{"start.ps", "schatten.vs", "schatten.ps"}, "start.vs", "VertexShader nicht übersetzbar"},
        {{"start.vs", "start.ps", "schatten.vs"}, "schatten.ps", "PixelShader nicht übersetzbar"},
    };
    int nummer = 0;
    for (const Fall& fall : faelle)
    {
        const std::string anwendung = "anwendung" + std::to_string(nummer++);
        for (const char* datei : fall.dateien)
            KopiereDaten(anwendung, datei);
        if (fall.kaputt)
            SchreibeDatei(TestOrdner(anwendung) + "/" + fall.kaputt, "$raus float4 p;\n$main() { p = nichts; }\n");
        SetzeAnwendung(anwendung);
        const uint64_t vorher = mKontext->mRegister.Anzahl();
        try
        {
            SzenenRenderer renderer;
            ADD_FAILURE() << nummer << ": no exception";
        }
        catch (const Quarz_Ausnahme& ausnahme)
        {
            EXPECT_EQ(ausnahme.mMeldung, fall.meldung) << nummer;
        }
        EXPECT_EQ(mKontext->mRegister.Anzahl(), vorher) << nummer;
    }
    EXPECT_EQ(mLog.Zaehle("!Kann PixelShader-Datei"), 2);
    EXPECT_EQ(mLog.Zaehle("!Kann VertexShader-Datei"), 1);
}

}  // namespace
}  // namespace Spiel::Test
