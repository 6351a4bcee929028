// The pause menu: Escape and the "Menü" button open it, "Weiter" and Escape resume 0.1 s after
// the choice, "Ende" ends the game 0.1 s after it, and the game never runs behind a menu that
// is still shown, however fast Escape comes.
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/oberflaeche.h"
#include "gui/seite.h"
#include "quarzklassen/kern/quarz_system.h"
#include "spiel/oberflaeche/pausemenu.h"
#include "tests/gui/gui_testhilfe.h"
#include "tests/spiel/oberflaeche/oberflaeche_test.h"

namespace Spiel::Test {
namespace {

using PauseMenuTest = OberflaecheTest;

Gui::Button* Knopf(PauseMenu* menue, const std::string& text)
{
    for (Gui::Basis* kind : menue->mKinder)
        if (auto* knopf = dynamic_cast<Gui::Button*>(kind); knopf && knopf->mBeschriftung == text)
            return knopf;
    return nullptr;
}

TEST_F(PauseMenuTest, EscapeOeffnetDasMenue)
{
    Taste(GLFW_KEY_ESCAPE, true);
    ASSERT_EQ(Menues().size(), 1u);
    PauseMenu* menue = Menues().front();
    EXPECT_TRUE(menue->mSichtbar);
    EXPECT_TRUE(mUhr.mPausiert);
    EXPECT_EQ(mButtons->mOberflaeche->mKinder.back(), menue);
    // Centred, half the screen each way, its children laid out inside.
    EXPECT_EQ(menue->mPosition, BVektor<float>(320, 192, 0));
    EXPECT_EQ(menue->mGroesse, BVektor<float>(640, 384, 0));
    Gui::Button* weiter = Knopf(menue, "Weiter");
    ASSERT_NE(weiter, nullptr);
    EXPECT_GT(weiter->mPosition.y, 0.0f);
    EXPECT_LT(weiter->mPosition.y + weiter->mGroesse.y, 384.0f);

    // The release changes nothing; while the menu is up the build bar cannot be reached.
    Taste(GLFW_KEY_ESCAPE, false);
    EXPECT_TRUE(menue->mSichtbar);
    Klicke(mButtons->mBauBoxen[0]);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    EXPECT_EQ(Menues().size(), 1u);
}

TEST_F(PauseMenuTest, WahlWirktErstBeimLoeschen)
{
    const struct {
        const char* knopf;
        bool beendet;
        bool pausiert;
    } faelle[] = {{"Weiter", false, false}, {"Ende", true, true}};
    for (const auto& f : faelle)
    {
        SCOPED_TRACE(f.knopf);
        gSystem.mBeenden = false;
        mUhr.Fortsetzen();
        Klicke(mButtons->mSeite->mKinder.front());  // "Menü"
        ASSERT_EQ(Menues().size(), 1u);
        PauseMenu* menue = Menues().front();
        EXPECT_TRUE(mUhr.mPausiert);

        Klicke(Knopf(menue, f.knopf));
        // Hidden at once, carried out 0.1 s after the click (the click's release came 0.02 s later).
        EXPECT_FALSE(menue->mSichtbar);
        EXPECT_FALSE(gSystem.mBeenden);
        EXPECT_TRUE(mUhr.mPausiert);
        Bild(0.05f);
        ASSERT_EQ(Menues().size(), 1u);
        EXPECT_FALSE(gSystem.mBeenden);
        EXPECT_TRUE(mUhr.mPausiert);
        Bild(0.05f);
        EXPECT_TRUE(Menues().empty());
        EXPECT_EQ(gSystem.mBeenden, f.beendet);
        EXPECT_EQ(mUhr.mPausiert, f.pausiert);
    }
}

TEST_F(PauseMenuTest, SchonPausiertBleibtBisZumFortsetzen)
{
    mUhr.Pausiere();
    Tippe(GLFW_KEY_ESCAPE);
    EXPECT_TRUE(mUhr.mPausiert);
    Tippe(GLFW_KEY_ESCAPE);
    Bild(0.1f);
    EXPECT_TRUE(Menues().empty());
    EXPECT_FALSE(mUhr.mPausiert);
}

TEST_F(PauseMenuTest, ZweitesMenueWaehrendDasErsteVergeht)
{
    Tippe(GLFW_KEY_ESCAPE);  // open
    Tippe(GLFW_KEY_ESCAPE);  // "Weiter": the first menu goes in 0.1 s
    Tippe(GLFW_KEY_ESCAPE);  // within that time: a second one opens
    ASSERT_EQ(Menues().size(), 2u);
    PauseMenu* zweites = SichtbaresMenue();
    ASSERT_NE(zweites, nullptr);
    EXPECT_EQ(zweites, Menues().back());

    // The first one is deleted; the game stays paused under the second.
    Bild(0.1f);
    ASSERT_EQ(Menues().size(), 1u);
    EXPECT_EQ(Menues().front(), zweites);
    EXPECT_TRUE(mUhr.mPausiert);
    Bild(1.0f);
    EXPECT_TRUE(mUhr.mPausiert);

    Tippe(GLFW_KEY_ESCAPE);
    Bild(0.1f);
    EXPECT_TRUE(Menues().empty());
    EXPECT_FALSE(mUhr.mPausiert);
}

TEST_F(PauseMenuTest, GehaltenesEscapeLaesstDasSpielNieHinterEinemMenueLaufen)
{
    const struct {
        float bild;  // frame length; the key repeat comes every 0.1 s after 0.7 s
        int bilder;
    } faelle[] = {{0.02f, 150}, {0.05f, 60}, {0.033f, 90}, {0.1f, 30}};
    for (const auto& f : faelle)
    {
        SCOPED_TRACE(f.bild);
        layer.Taste(kKeyboard, GLFW_KEY_ESCAPE, true);
        int geoeffnet = 0;
        PauseMenu* vorher = nullptr;
        for (int i = 0; i < f.bilder; ++i)
        {
            Bild(f.bild);
            PauseMenu* sichtbar = SichtbaresMenue();
            if (sichtbar && sichtbar != vorher)
                ++geoeffnet;
            vorher = sichtbar;
            ASSERT_TRUE(!sichtbar || mUhr.mPausiert) << "frame " << i;
        }
        EXPECT_GT(geoeffnet, 2);
        layer.Taste(kKeyboard, GLFW_KEY_ESCAPE, false);
        Bild(f.bild);
        // Closed whatever state the repeat left behind.
        if (SichtbaresMenue())
            Tippe(GLFW_KEY_ESCAPE);
        Bild(0.2f);
        EXPECT_TRUE(Menues().empty());
        EXPECT_FALSE(mUhr.mPausiert);
        EXPECT_FALSE(gSystem.mBeenden);
    }
}

TEST_F(PauseMenuTest, OffenesMenueGehtMitDemBaubalken)
{
    Tippe(GLFW_KEY_ESCAPE);
    ASSERT_EQ(Menues().size(), 1u);
    mButtons.reset();
    // No longer the input handler: the next key reaches nobody.
    EXPECT_EQ(System()->GetHandler(), nullptr);
    layer.Taste(kKeyboard, GLFW_KEY_ESCAPE, true);
    System()->Update();
    layer.Taste(kKeyboard, GLFW_KEY_ESCAPE, false);
    System()->Update();
    // Deleted with the surface before its choice: the game counts as resumed, and nothing of it
    // is left on the engine timer.
    EXPECT_FALSE(mUhr.mPausiert);
    EXPECT_FALSE(gSystem.mBeenden);
    guitest::Schritt(1.0f);
    mButtons = std::make_unique<Buttons>(&mUhr, new Gui::Renderer);
    System()->SetHandler(mButtons.get());
    // The count of open menus starts over.
    Tippe(GLFW_KEY_ESCAPE);
    Tippe(GLFW_KEY_ESCAPE);
    Bild(0.1f);
    EXPECT_FALSE(mUhr.mPausiert);
}

}  // namespace
}  // namespace Spiel::Test
