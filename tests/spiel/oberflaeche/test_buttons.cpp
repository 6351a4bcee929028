// The build bar: its page on the screen, the build choices against the stocks, the number keys,
// the speed key, the stock text and which points count as the GUI's.
#include <cstdint>
#include <string>

#include "gui/vaterbasis.h"

#include "gui/abstand.h"
#include "gui/auswahl.h"
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/hinweis.h"
#include "gui/oberflaeche.h"
#include "gui/seite.h"
#include "gui/text.h"
#include "spiel/oberflaeche/pausemenu.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/vorrat.h"
#include "tests/gui/gui_testhilfe.h"
#include "tests/spiel/oberflaeche/oberflaeche_test.h"

namespace Spiel::Test {
namespace {

using BaubalkenTest = OberflaecheTest;

// The ticked boxes as a bit set, bit n-1 for type n.
uint32_t Angekreuzt(const Buttons& b)
{
    uint32_t bits = 0;
    for (uint64_t i = 0; i < Buttons::BAUTYPEN; ++i)
        bits |= b.mBauBoxen[i]->mWert ? 1u << i : 0u;
    return bits;
}

uint32_t Aktiv(const Buttons& b)
{
    uint32_t bits = 0;
    for (uint64_t i = 0; i < Buttons::BAUTYPEN; ++i)
        bits |= b.mBauBoxen[i]->mAktiviert ? 1u << i : 0u;
    return bits;
}

TEST_F(BaubalkenTest, SeiteFolgtDemFenster)
{
    Gui::Seite* seite = mButtons->mSeite;
    EXPECT_EQ(seite->mPosition, BVektor<float>(10, 10, 0));
    EXPECT_EQ(seite->mGroesse, BVektor<float>(1260, 748, 0));
    // Menu and speed at the top, the build choices at the bottom, the style's spacing of 4 in.
    EXPECT_EQ(seite->mKinder.front()->mPosition, BVektor<float>(4, 4, 0));
    Gui::Basis* turm = mButtons->mBauBoxen[5];
    EXPECT_FLOAT_EQ(turm->mPosition.y + turm->mGroesse.y, 744.0f);

    const struct {
        int breite, hoehe;
        float erwartetB, erwartetH;
    } faelle[] = {{800, 600, 780, 580}, {1920, 1080, 1900, 1060}, {25, 12, 5, 0}, {0, 0, 0, 0}};
    for (const auto& f : faelle)
    {
        guitest::AendereBildschirm(f.breite, f.hoehe);
        EXPECT_EQ(seite->mGroesse, BVektor<float>(f.erwartetB, f.erwartetH, 0)) << f.breite << "x" << f.hoehe;
    }
    guitest::AendereBildschirm(1024, 768);
    Bild();
    EXPECT_FLOAT_EQ(turm->mPosition.y + turm->mGroesse.y, 744.0f);

    // Gone, the build bar no longer listens: a later change must not reach it.
    mButtons.reset();
    guitest::AendereBildschirm(640, 480);
    mButtons = std::make_unique<Buttons>(&mUhr, new Gui::Renderer);
}

// The build bar's page and the pause menu as the game builds them, to the unit: at 1280 x 768
// and after the window changed to 1024 x 600 (the style's spacing 4 from the shipped file).
TEST_F(BaubalkenTest, SeiteUndPausemenueGenauAngeordnet)
{
    Tippe(GLFW_KEY_ESCAPE);
    ASSERT_EQ(mButtons->mOberflaeche->mKinder.size(), 2u);
    auto* menue = dynamic_cast<Gui::VaterBasis*>(mButtons->mOberflaeche->mKinder.back());
    ASSERT_NE(menue, nullptr);
    ASSERT_EQ(menue->mKinder.size(), 5u);
    Gui::Basis* titel = menue->mKinder[1];
    Gui::Basis* weiter = menue->mKinder[2];
    Gui::Basis* ende = menue->mKinder[3];
    ASSERT_EQ(dynamic_cast<Gui::Text*>(titel)->mText, "Pause");
    ASSERT_EQ(dynamic_cast<Gui::Button*>(weiter)->mBeschriftung, "Weiter");
    ASSERT_EQ(dynamic_cast<Gui::Button*>(ende)->mBeschriftung, "Ende");
    Gui::Seite* seite = mButtons->mSeite;
    Gui::Basis* menueKnopf = seite->mKinder[0];
    Gui::Basis* abstand = seite->mKinder[2];

    struct Rechteck
    {
        Gui::Basis* element;
        const char* name;
        BVektor<float> position;  // absolute
        BVektor<float> groesse;
    };
    // Build bar: page (10, 10), inner size less 4 on each side; fixed heights 30 + (4+30) +
    // (4+0) + (4+100) + 6 (4+30) = 376, the spacer takes the rest. Pause menu: half the screen,
    // centred; the two spacers and the title share the height the buttons (200 x 40) leave.
    const Rechteck bei1280[] = {
        {seite, "Seite", {10, 10, 0}, {1260, 748, 0}},
        {menueKnopf, "Menü", {14, 14, 0}, {250, 30, 0}},
        {mButtons->mZeitAuswahl, "Zeitwahl", {14, 48, 0}, {250, 30, 0}},
        {abstand, "Abstand", {14, 82, 0}, {0, 364, 0}},
        {mButtons->mVorratText, "Vorrat", {14, 450, 0}, {250, 100, 0}},
        {mButtons->mBauBoxen[0], "Feld", {14, 554, 0}, {250, 30, 0}},
        {mButtons->mBauBoxen[5], "TURM", {14, 724, 0}, {250, 30, 0}},
        {menue, "Pausenseite", {320, 192, 0}, {640, 384, 0}},
        {titel, "Pause", {324, 280, 0}, {632, 120, 0}},
        {weiter, "Weiter", {540, 404, 0}, {200, 40, 0}},
        {ende, "Ende", {540, 448, 0}, {200, 40, 0}},
    };
    const Rechteck bei1024[] = {
        {seite, "Seite", {10, 10, 0}, {1004, 580, 0}},
        {menueKnopf, "Menü", {14, 14, 0}, {250, 30, 0}},
        {abstand, "Abstand", {14, 82, 0}, {0, 196, 0}},
        {mButtons->mVorratText, "Vorrat", {14, 282, 0}, {250, 100, 0}},
        {mButtons->mBauBoxen[5], "TURM", {14, 556, 0}, {250, 30, 0}},
        {menue, "Pausenseite", {256, 150, 0}, {512, 300, 0}},
        {titel, "Pause", {260, 210, 0}, {504, 92, 0}},
        {weiter, "Weiter", {412, 306, 0}, {200, 40, 0}},
        {ende, "Ende", {412, 350, 0}, {200, 40, 0}},
    };
    const auto pruefe = [](const auto& faelle) {
        for (const Rechteck& r : faelle)
        {
            EXPECT_EQ(r.element->AbsolutePosition(), r.position) << r.name;
            EXPECT_EQ(r.element->mGroesse, r.groesse) << r.name;
        }
    };
    pruefe(bei1280);
    guitest::AendereBildschirm(1024, 600);
    Bild();
    pruefe(bei1024);
}

// The smallest screen the game accepts is measured: narrower or lower, some element of the page,
// a build choice's tooltip (as the surface makes it on hovering) or the open pause menu is cut
// off by the screen's edge.
TEST_F(BaubalkenTest, KleinsterBildschirmZeigtAllesGanz)
{
    Tippe(GLFW_KEY_ESCAPE);
    const PauseMenu* menue = SichtbaresMenue();
    ASSERT_NE(menue, nullptr);
    const auto abgeschnitten = [&](int breite, int hoehe) {
        guitest::AendereBildschirm(breite, hoehe);
        Bild();
        std::string namen;
        const auto pruefe = [&](const Gui::Basis& e, const std::string& name) {
            const BVektor<float> p = e.AbsolutePosition();
            if (p.x < 0 || p.y < 0 || p.x + e.mGroesse.x > breite || p.y + e.mGroesse.y > hoehe)
                namen += name + ";";
        };
        for (size_t i = 0; i < mButtons->mSeite->mKinder.size(); ++i)
            pruefe(*mButtons->mSeite->mKinder[i], "Seite " + std::to_string(i));
        for (size_t i = 0; i < menue->mKinder.size(); ++i)
            pruefe(*menue->mKinder[i], "Pause " + std::to_string(i));
        for (Gui::Checkbox* box : mButtons->mBauBoxen)
            pruefe(Gui::Hinweis(box->mHinweisText, box), "Hinweis " + box->mBeschriftung);
        return namen;
    };
    int breite = 1280, hoehe = 1024;
    while (abgeschnitten(breite - 1, 1024).empty())
        --breite;
    while (abgeschnitten(1280, hoehe - 1).empty())
        --hoehe;
    EXPECT_EQ(breite, Buttons::KLEINSTE_BREITE);
    EXPECT_EQ(hoehe, Buttons::KLEINSTE_HOEHE);
    EXPECT_EQ(abgeschnitten(breite, hoehe), "");
    EXPECT_EQ(abgeschnitten(breite - 1, hoehe), "Hinweis (3) Holzfäller;");
    EXPECT_EQ(abgeschnitten(breite, hoehe - 1), "Seite 0;Seite 9;");  // "Menü" and "(6) TURM"
}

TEST_F(BaubalkenTest, AuswahlNachVorrat)
{
    const struct {
        uint64_t nahrung, holz, stein;
        bool turmGesetzt;
        uint32_t aktiv;
    } faelle[] = {
        {10, 10, 0, false, 0b011111},   // start: everything but the tower
        {10, 3, 0, false, 0b011101},    // 3 wood: no farmhouse (4)
        {10, 1, 0, false, 0b000001},    // a field only
        {10, 0, 100, false, 0b000000},  // every type costs wood
        {0, 20, 19, false, 0b011111},   // one stone short of the tower
        {0, 20, 20, false, 0b111111},
        {0, 20, 20, true, 0b011111},    // one tower per game
        {UINT64_MAX, UINT64_MAX, UINT64_MAX, false, 0b111111},
    };
    for (const auto& f : faelle)
    {
        Vorrat::Nahrung = f.nahrung;
        Vorrat::Holz = f.holz;
        Vorrat::Stein = f.stein;
        TurmGesetzt = f.turmGesetzt;
        mButtons->Aktualisiere();
        EXPECT_EQ(Aktiv(*mButtons), f.aktiv) << f.nahrung << "/" << f.holz << "/" << f.stein << " " << f.turmGesetzt;
    }
}

TEST_F(BaubalkenTest, AngekreuztesWirdBeiKnappemVorratAbgewaehlt)
{
    Tippe(GLFW_KEY_2);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 2u);
    EXPECT_EQ(Angekreuzt(*mButtons), 0b10u);
    Vorrat::Holz = 3;
    Bild();
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    EXPECT_EQ(Angekreuzt(*mButtons), 0u);
    EXPECT_FALSE(mButtons->mBauBoxen[1]->mAktiviert);

    // A disabled box cannot be clicked on.
    Klicke(mButtons->mBauBoxen[1]);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    // An affordable one can, and clicking it again unticks it.
    Klicke(mButtons->mBauBoxen[2]);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 3u);
    EXPECT_EQ(Angekreuzt(*mButtons), 0b100u);
    Klicke(mButtons->mBauBoxen[2]);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    EXPECT_EQ(Angekreuzt(*mButtons), 0u);
}

TEST_F(BaubalkenTest, TurmNachDemErstenAbgelehnt)
{
    Vorrat::Holz = 20;
    Vorrat::Stein = 20;
    Tippe(GLFW_KEY_6);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 6u);
    TurmGesetzt = true;
    // The key still selects it; the next frame takes it back.
    Taste(GLFW_KEY_6, true);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    mButtons->SetzeBauauswahl(6);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 6u);
    mButtons->Aktualisiere();
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
    EXPECT_FALSE(mButtons->mBauBoxen[5]->mAktiviert);
    Klicke(mButtons->mBauBoxen[5]);
    EXPECT_EQ(mButtons->Gebaeudeauswahl(), 0u);
}

TEST_F(BaubalkenTest, ZahlentastenWaehlenGenauEinenTyp)
{
    const struct {
        int taste;
        uint64_t typ;
    } faelle[] = {{GLFW_KEY_1, 1}, {GLFW_KEY_5, 5}, {GLFW_KEY_3, 3}, {GLFW_KEY_3, 3}, {GLFW_KEY_4, 4},
                  {GLFW_KEY_2, 2}, {GLFW_KEY_7, 2}, {GLFW_KEY_0, 2}, {GLFW_KEY_KP_1, 2}};
    for (const auto& f : faelle)
    {
        Taste(f.taste, true);
        EXPECT_EQ(mButtons->Gebaeudeauswahl(), f.typ) << f.taste;
        EXPECT_EQ(Angekreuzt(*mButtons), 1u << (f.typ - 1)) << f.taste;
        Taste(f.taste, false);
        EXPECT_EQ(mButtons->Gebaeudeauswahl(), f.typ) << f.taste;
    }
    mButtons->SetzeBauauswahl(0);
    EXPECT_EQ(Angekreuzt(*mButtons), 0u);
}

TEST_F(BaubalkenTest, FSchaltetDieGeschwindigkeitReihum)
{
    const struct {
        uint64_t eintrag;
        double faktor;
    } folge[] = {{1, 2.0}, {2, 4.0}, {0, 1.0}, {1, 2.0}};
    EXPECT_EQ(mButtons->mZeitAuswahl->mAktuell, 0u);
    EXPECT_DOUBLE_EQ(mUhr.mZeitfaktor, 1.0);
    for (const auto& f : folge)
    {
        Tippe(GLFW_KEY_F);
        EXPECT_EQ(mButtons->mZeitAuswahl->mAktuell, f.eintrag);
        EXPECT_DOUBLE_EQ(mUhr.mZeitfaktor, f.faktor);
    }
    // A click on the choice steps it the same way.
    Klicke(mButtons->mZeitAuswahl);
    EXPECT_EQ(mButtons->mZeitAuswahl->mAktuell, 2u);
    EXPECT_DOUBLE_EQ(mUhr.mZeitfaktor, 4.0);
}

TEST_F(BaubalkenTest, VorratstextMitGrossenZahlen)
{
    const struct {
        uint64_t nahrung, holz, stein;
        const char* text;
    } faelle[] = {
        {10, 10, 0, "010x Nahrung\n010x Holz\n000x Stein"},
        {999, 1000, 7, "999x Nahrung\n1000x Holz\n007x Stein"},
        {123456789, 0, 5000000000ull, "123456789x Nahrung\n000x Holz\n5000000000x Stein"},
        {UINT64_MAX, UINT64_MAX, UINT64_MAX,
         "18446744073709551615x Nahrung\n18446744073709551615x Holz\n18446744073709551615x Stein"},
    };
    for (const auto& f : faelle)
    {
        Vorrat::Nahrung = f.nahrung;
        Vorrat::Holz = f.holz;
        Vorrat::Stein = f.stein;
        Bild();
        EXPECT_EQ(mButtons->mVorratText->mText, f.text);
    }
}

TEST_F(BaubalkenTest, TrifftGuiElementRaender)
{
    Gui::Text text("x", 0);
    text.SetGroesse(BVektor<float>(250, 100, 0), false);
    const struct {
        float x, y;
        bool treffer;
    } faelle[] = {{0, 0, true},      {250, 100, true},  {125, 50, true},    {-0.01f, 0, false},
                  {0, -0.01f, false}, {250.01f, 0, false}, {0, 100.01f, false}};
    for (const auto& f : faelle)
        EXPECT_EQ(Buttons::TrifftGuiElement(&text, f.x, f.y), f.treffer) << f.x << "," << f.y;

    // A container counts only through its children, hidden or not.
    Gui::VaterBasis* behaelter = new Gui::Seite(0, BVektor<float>(0, 0, 0));
    std::unique_ptr<Gui::VaterBasis> halter(behaelter);
    behaelter->SetGroesse(BVektor<float>(100, 100, 0), false);
    EXPECT_FALSE(Buttons::TrifftGuiElement(behaelter, 50, 50));
    auto* kind = new Gui::Text("y", 0);
    behaelter->FuegeKindHinzu(kind);
    kind->SetPosition(BVektor<float>(10, 20, 0), false);
    kind->SetGroesse(BVektor<float>(30, 40, 0), false);
    kind->SetSichtbar(false);
    EXPECT_TRUE(Buttons::TrifftGuiElement(behaelter, 10, 20));
    EXPECT_TRUE(Buttons::TrifftGuiElement(behaelter, 40, 60));
    EXPECT_FALSE(Buttons::TrifftGuiElement(behaelter, 9.9f, 20));
    EXPECT_FALSE(Buttons::TrifftGuiElement(behaelter, 50, 50));
    EXPECT_FALSE(Buttons::TrifftGuiElement(behaelter, 200, 20));

    // On the screen: the menu button and the build choices are the GUI's, the page's empty
    // middle and the world to its right are not.
    const BVektor<float> menue = mButtons->mSeite->mKinder.front()->AbsoluteMitte();
    const BVektor<float> feld = mButtons->mBauBoxen[0]->AbsoluteMitte();
    EXPECT_TRUE(mButtons->TrifftGuiElement(menue.x, menue.y));
    EXPECT_TRUE(mButtons->TrifftGuiElement(feld.x, feld.y));
    EXPECT_TRUE(mButtons->TrifftGuiElement(14, 14));
    EXPECT_FALSE(mButtons->TrifftGuiElement(13.9f, 14));
    EXPECT_FALSE(mButtons->TrifftGuiElement(10, 10));
    EXPECT_FALSE(mButtons->TrifftGuiElement(100, 384));
    EXPECT_FALSE(mButtons->TrifftGuiElement(640, 384));
    EXPECT_FALSE(mButtons->TrifftGuiElement(feld.x + 200, feld.y));
}

}  // namespace
}  // namespace Spiel::Test
