// The frame loop headless: the game's round on a small flat world, the build bar with a renderer
// that draws nothing, the input library over its scripted layer, and both clocks on a counter
// the test moves by hand. What a player does with taps, clicks and the console reaches the game
// the way it must.
#include <GLFW/glfw3.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/oberflaeche.h"
#include "gui/renderer.h"
#include "gui/text.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/anwendung/spielrunde.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/oberflaeche/buttons.h"
#include "spiel/oberflaeche/pausemenu.h"
#include "spiel/welt/acker.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/vorrat.h"
#include "tests/input/input_testhilfe.h"
#include "tests/kern/dienste/hilfen.h"
#include "tests/spiel/gemeinsam/bildpunkt.h"
#include "tests/spiel/gemeinsam/testumgebung.h"

namespace Spiel::Test {
namespace {

// A screen with a window of 640 x 384 units that counts its screenshots.
class Fenster : public Anzeige
{
public:
    void Groesse(float& breite, float& hoehe) const override
    {
        breite = kBreite;
        hoehe = kHoehe;
    }
    void Bildschirmfoto() override { ++mFotos; }
    static constexpr float kBreite = 640, kHoehe = 384;
    int mFotos = 0;
};

class Spielschleife : public InputTest
{
protected:
    void SetUp() override
    {
        InputTest::SetUp();
        layer.mGeraete = {{kKeyboard, Plattform::RohTypTastatur, "kbd"}, {kMouse, Plattform::RohTypMaus, "maus"}};
        layer.mBreite = static_cast<int>(Fenster::kBreite);
        layer.mHoehe = static_cast<int>(Fenster::kHoehe);
        gTimer.Leere();
        gTimer.Starte();
        Quarz_Screen3D::mModus.mBreite = layer.mBreite;
        Quarz_Screen3D::mModus.mHoehe = layer.mHoehe;
        mAlterPfad = gSystem.mAnwendungsPfad;
        gSystem.mAnwendungsPfad = WandleUtf8NachUtf32(WEILERBAU_QUELLEN);
        mAlteAbfrage = gSystem.mEreignisAbfrage;
        gSystem.mEreignisAbfrage = [this] {
            if (mEreignisse)
                mEreignisse();
            System()->ProcessQueuedEvents();
        };
        gSystem.mBeenden = false;
        Vorrat::Zuruecksetzen();
        TurmGesetzt = false;
        LadeModelle();

        mRunde = std::make_unique<Spielrunde>();
        mRunde->uhr.Starte();
        mRunde->uhr.SetMaxSchritt(Ticks(0.1f));
        mRunde->welt = Spielumgebung::BaueTestwelt(&mRunde->uhr, 100, 10.0f);
        mRunde->leiste = std::make_unique<Buttons>(&mRunde->uhr, new Gui::Renderer);
        mRunde->kamera = Kamera(500, 500);
        Start();
        System()->SetHandler(mRunde->leiste.get());
        Bild();
    }
    void TearDown() override
    {
        mRunde.reset();
        GebeModelleFrei();
        gSystem.mEreignisAbfrage = mAlteAbfrage;
        gSystem.mAnwendungsPfad = mAlterPfad;
        gSystem.mBeenden = false;
        TurmGesetzt = false;
        InputTest::TearDown();
    }

    // One frame after the given seconds; the window system dispatches `ereignisse` in its poll.
    void Bild(const std::function<void()>& ereignisse = {}, float sekunden = 1.0f / 60.0f)
    {
        mUhr.Vor(Ticks(sekunden));
        layer.mZeit += static_cast<uint32_t>(sekunden * 1000.0f + 0.5f);
        mEreignisse = ereignisse;
        mRunde->Bild(*System(), mFenster);
        mEreignisse = {};
    }
    void Zeiger(const BVektor<float>& p)
    {
        layer.mCursorX = p.x;
        layer.mCursorY = p.y;
        Bild();
    }
    void Knopf(bool gedrueckt)
    {
        Bild([&] { layer.Knopf(kMouse, 0, gedrueckt); });
    }
    // The pointer there, then button 0 pressed and released, a frame each.
    void Klicke(const BVektor<float>& p)
    {
        Zeiger(p);
        Knopf(true);
        Knopf(false);
    }
    // Where the camera draws a world point, in the back buffer's units.
    BVektor<float> Gezeichnet(const Vektor& p) const
    {
        const Kamera& kamera = mRunde->kamera;
        const TMatrix4 m = SzenenRenderer::KameraSicht(kamera.Ziel(), kamera.mAbstand, kamera.Neigung()) *
                           SzenenRenderer::KameraProjektion(Fenster::kBreite, Fenster::kHoehe);
        const auto [x, y] = Bildpunkt(m, p, Fenster::kBreite, Fenster::kHoehe);
        return BVektor<float>(x, y, 0);
    }
    // Press and release in one frame's events, then a frame for the release to count in.
    void Tippe(int taste)
    {
        Bild([&] {
            layer.Taste(kKeyboard, taste, true);
            layer.Taste(kKeyboard, taste, false);
        });
        Bild();
    }
    PauseMenu* Menue() const { return dynamic_cast<PauseMenu*>(mRunde->leiste->mOberflaeche->mKinder.back()); }
    static Gui::Button* Weiter(PauseMenu* menue)
    {
        for (Gui::Basis* kind : menue->mKinder)
            if (auto* knopf = dynamic_cast<Gui::Button*>(kind); knopf && knopf->mBeschriftung == "Weiter")
                return knopf;
        return nullptr;
    }
    int Felder() const { return static_cast<int>(mRunde->welt->Liste(Art::Acker).size()); }

    testhilfe::FalscheUhrAn mUhr;
    Fenster mFenster;
    std::unique_ptr<Spielrunde> mRunde;
    std::function<void()> mEreignisse;
    std::function<void()> mAlteAbfrage;
    std::wstring mAlterPfad;
};

// Free ground right of the build bar.
const BVektor<float> kBoden(420, 250, 0);

// Placing takes the release of the button in the running game over no GUI element, wherever
// the press was: also one the GUI took, such as a press on "Weiter" released after the game
// resumed.
TEST_F(Spielschleife, AReleaseOverFreeGroundInTheRunningGamePlaces)
{
    struct Fall
    {
        const char* name;
        std::function<void()> drueckeUndLasseLos;
        int felder;
    };
    Buttons& leiste = *mRunde->leiste;
    // Each case on ground of its own, so that a wrong placement in one cannot hide another's.
    BVektor<float> boden = kBoden;
    const Fall faelle[] = {
        {"a tap on free ground",
         [&] {
             Zeiger(boden);
             Bild([&] {
                 layer.Knopf(kMouse, 0, true);
                 layer.Knopf(kMouse, 0, false);
             });
             Bild();
         },
         1},
        {"\"Weiter\" pressed, released 0.15 s later over free ground",
         [&] {
             Tippe(GLFW_KEY_ESCAPE);
             ASSERT_NE(Menue(), nullptr);
             Zeiger(Weiter(Menue())->AbsoluteMitte());
             Knopf(true);
             ASSERT_FALSE(Menue() && Menue()->mSichtbar);
             for (int i = 0; i < 3; ++i)
                 Bild({}, 0.05f);
             ASSERT_FALSE(mRunde->uhr.mPausiert);
             Zeiger(boden);
             Knopf(false);
         },
         1},
        {"pressed on the stock text, released over free ground",
         [&] {
             Zeiger(leiste.mVorratText->AbsoluteMitte());
             Knopf(true);
             Zeiger(boden);
             Knopf(false);
         },
         1},
        {"pressed over free ground, released on the build bar",
         [&] {
             Zeiger(boden);
             Knopf(true);
             Zeiger(leiste.mVorratText->AbsoluteMitte());
             Knopf(false);
         },
         0},
    };
    for (const Fall& f : faelle)
    {
        SCOPED_TRACE(f.name);
        boden.y -= 40.0f;
        Tippe(GLFW_KEY_1);
        ASSERT_EQ(leiste.Gebaeudeauswahl(), 1u);
        const int vorher = Felder();
        f.drueckeUndLasseLos();
        EXPECT_EQ(Felder() - vorher, f.felder);
        EXPECT_FALSE(mRunde->uhr.mPausiert);
        // Nothing left over for the next click.
        Bild();
        EXPECT_EQ(Felder() - vorher, f.felder);
    }
}

// With the console open every key reaches it, and the camera keys among them still steer the
// camera, which reads the key states. F11 and F1 act on plain taps.
TEST_F(Spielschleife, TypingIntoTheConsoleStillSteersTheCamera)
{
    Recorder konsole;
    uint8_t sichtbar = 0;
    mRunde->konsole = &konsole;
    mRunde->konsoleSichtbar = &sichtbar;
    Tippe(GLFW_KEY_F11);
    ASSERT_EQ(sichtbar, 1);
    ASSERT_EQ(System()->GetHandler(), &konsole);

    const Vektor ziel = mRunde->kamera.Ziel();
    const std::string text = "set displaywidth 800";
    for (char c : text)
    {
        const int taste = c == ' ' ? GLFW_KEY_SPACE : c >= '0' && c <= '9' ? GLFW_KEY_0 + (c - '0') : GLFW_KEY_A + (c - 'a');
        // Each key held over a frame, as typing at a usual speed is.
        Bild([&] { layer.Taste(kKeyboard, taste, true); });
        Bild();
        Bild([&] { layer.Taste(kKeyboard, taste, false); });
    }
    // "d" twice and "a" once, each held over two frames: two frames' steps to the right.
    EXPECT_NEAR(mRunde->kamera.mX, ziel.x + 2 * 50.0f / 60.0f, 0.05f);
    int tasten = 0;
    for (const std::string& e : konsole.Take())
        tasten += e.rfind("key ", 0) == 0 && e.find(" down") != std::string::npos;
    EXPECT_EQ(tasten, static_cast<int>(text.size()));

    Tippe(GLFW_KEY_F11);
    EXPECT_EQ(sichtbar, 0);
    EXPECT_EQ(System()->GetHandler(), mRunde->leiste.get());

    Tippe(GLFW_KEY_F1);
    EXPECT_EQ(mFenster.mFotos, 1);
}

// A click on a mountain's wall places nothing: the ground behind it is out of sight. A click on
// the ground before the wall places the field there.
TEST_F(Spielschleife, AClickOnAMountainsWallPlacesNothing)
{
    // A ridge one region deep across the view, 30 high, its wall facing the camera at z = 490.
    Szene& welt = *mRunde->welt;
    for (uint64_t region = 4845; region <= 4855; ++region)
        for (uint32_t k = 0; k < 4; ++k)
            welt.mRegionen[region].mEcken[k].y = 30.0f;
    welt.BaueGelaende();
    Tippe(GLFW_KEY_1);
    ASSERT_EQ(mRunde->leiste->Gebaeudeauswahl(), 1u);

    Klicke(Gezeichnet(Vektor(505, 15, 490)));
    EXPECT_EQ(Felder(), 0);
    Klicke(Gezeichnet(Vektor(505, 0, 495)));
    ASSERT_EQ(Felder(), 1);
    EXPECT_EQ(static_cast<const Acker*>(welt.Liste(Art::Acker)[0])->mRegion, 4950u);
}

// A window that the window system resized while the back buffer kept its size shows the frame
// stretched onto it, and the pointer reports in window units: a click on "(1) Feld" as drawn
// selects it, and one on ground as drawn places the field on that ground. Without a window size
// (iconified) the position is taken as it is.
TEST_F(Spielschleife, AClickOnAStretchedFrameLandsWhereItIsDrawn)
{
    struct Fall
    {
        const char* name;
        int breite, hoehe;  // the window's
        Vektor boden;       // ground to click, in region (x / 10, z / 10) of the test world
    };
    const Fall faelle[] = {
        {"shrunk to 0.8 x 0.75 of the back buffer", 512, 288, Vektor(505, 0, 495)},
        {"grown to 1.25 x 1.5 of the back buffer", 800, 576, Vektor(525, 0, 505)},
        {"without a size", 0, 0, Vektor(485, 0, 505)},
    };
    Buttons& leiste = *mRunde->leiste;
    for (const Fall& f : faelle)
    {
        SCOPED_TRACE(f.name);
        layer.mBreite = f.breite;
        layer.mHoehe = f.hoehe;
        // From the back buffer's units, in which everything is drawn, into the window's.
        const BVektor<float> fenster(f.breite ? f.breite / Fenster::kBreite : 1.0f,
                                     f.hoehe ? f.hoehe / Fenster::kHoehe : 1.0f, 0);
        auto imFenster = [&](const BVektor<float>& p) { return BVektor<float>(p.x * fenster.x, p.y * fenster.y, 0); };
        leiste.SetzeBauauswahl(0);
        Klicke(imFenster(leiste.mBauBoxen[0]->AbsoluteMitte()));
        ASSERT_EQ(leiste.Gebaeudeauswahl(), 1u);

        const int vorher = Felder();
        Klicke(imFenster(Gezeichnet(f.boden)));
        ASSERT_EQ(Felder() - vorher, 1);
        const auto* acker = static_cast<const Acker*>(mRunde->welt->Liste(Art::Acker).back());
        EXPECT_EQ(acker->mRegion, static_cast<uint64_t>(f.boden.z / 10) * 100 + static_cast<uint64_t>(f.boden.x / 10));
    }
}

}  // namespace
}  // namespace Spiel::Test
