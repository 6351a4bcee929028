#include "tests/spiel/oberflaeche/oberflaeche_test.h"

#include "gui/oberflaeche.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/oberflaeche/pausemenu.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/vorrat.h"
#include "tests/gui/gui_testhilfe.h"

namespace Spiel::Test {

void OberflaecheTest::SetUp()
{
    InputTest::SetUp();
    layer.mGeraete = {{kKeyboard, Plattform::RohTypTastatur, "kbd"}, {kMouse, Plattform::RohTypMaus, "maus"}};
    layer.mBreite = 1280;
    layer.mHoehe = 768;
    guitest::Starte(1280, 768);
    mAlterPfad = gSystem.mAnwendungsPfad;
    // The style file of the source tree's data folder.
    gSystem.mAnwendungsPfad = WandleUtf8NachUtf32(WEILERBAU_QUELLEN);
    gSystem.mBeenden = false;
    Vorrat::Zuruecksetzen();
    TurmGesetzt = false;
    mUhr.Starte();
    mButtons = std::make_unique<Buttons>(&mUhr, new Gui::Renderer);
    Start();
    System()->SetHandler(mButtons.get());
    Bild();
}

void OberflaecheTest::TearDown()
{
    if (System())
        System()->SetHandler(nullptr);
    mButtons.reset();
    gSystem.mAnwendungsPfad = mAlterPfad;
    gSystem.mBeenden = false;
    TurmGesetzt = false;
    InputTest::TearDown();
    gTimer.Leere();
}

void OberflaecheTest::Bild(float sekunden)
{
    layer.mZeit += static_cast<uint32_t>(sekunden * 1000.0f + 0.5f);
    System()->Update();
    guitest::Schritt(sekunden);
    mUhr.Vorruecken(mUhr.mPausiert ? 0 : Gui::Ticks(sekunden));
    mButtons->Aktualisiere();
}

void OberflaecheTest::Taste(int glfwTaste, bool gedrueckt)
{
    layer.Taste(kKeyboard, glfwTaste, gedrueckt);
    Bild();
}

void OberflaecheTest::Tippe(int glfwTaste)
{
    Taste(glfwTaste, true);
    Taste(glfwTaste, false);
}

void OberflaecheTest::Klicke(Gui::Basis* element)
{
    const BVektor<float> mitte = element->AbsoluteMitte();
    layer.mCursorX = mitte.x;
    layer.mCursorY = mitte.y;
    Bild();
    layer.Knopf(kMouse, 0, true);
    Bild();
    layer.Knopf(kMouse, 0, false);
    Bild();
}

std::vector<PauseMenu*> OberflaecheTest::Menues() const
{
    std::vector<PauseMenu*> menues;
    for (Gui::Basis* kind : mButtons->mOberflaeche->mKinder)
        if (auto* menue = dynamic_cast<PauseMenu*>(kind))
            menues.push_back(menue);
    return menues;
}

PauseMenu* OberflaecheTest::SichtbaresMenue() const
{
    for (PauseMenu* menue : Menues())
        if (menue->mSichtbar)
            return menue;
    return nullptr;
}

}  // namespace Spiel::Test
