// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "spiel/oberflaeche/buttons.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <string>

#include "gui/abstand.h"
#include "gui/anordnung.h"
#include "gui/auswahl.h"
#include "gui/button.h"
#include "gui/checkbox.h"
#include "gui/grafikverweis.h"
#include "gui/oberflaeche.h"
#include "gui/seite.h"
#include "gui/simpelrenderer.h"
#include "gui/text.h"
#include "input/inputsystem.h"
#include "input/mouse.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/textkodierung.h"
#include "spiel/grafik/datenpfad.h"
#include "spiel/welt/gebaeudetyp.h"
#include "spiel/oberflaeche/mauszeiger.h"
#include "spiel/oberflaeche/pausemenu.h"
#include "spiel/welt/platzierung.h"
#include "spiel/grafik/spielgrafik.h"
#include "spiel/welt/vorrat.h"

namespace Spiel {

namespace {

// Keeps SetzeBauauswahl from running again through the changed signals of the boxes it sets.
bool sBauauswahlLaeuft = false;

// DirectInput key codes the build bar reads.
constexpr uint32_t TASTE_ESCAPE = 1;
constexpr uint32_t TASTE_1 = 2;
constexpr uint32_t TASTE_6 = 7;
constexpr uint32_t TASTE_F = 33;

constexpr double kZeitfaktoren[] = {1.0, 2.0, 4.0};

// Distance of the page from every screen edge.
constexpr float kRand = 10.0f;

struct Bauknopf
{
    const char* mText;
    const char* mHinweis;
};

const Bauknopf kBauknoepfe[Buttons::BAUTYPEN] = {
    {"(1) Feld", "Bodenfeld, auf dem angebaut werden soll. Kostet 1x Holz"},
    {"(2) Bauernhaus", "Bauernhaus, in dem bis zu vier Bewohner wohnen. Kostet 4x Holz"},
    {"(3) Holzfäller",
     "Der Holzfäller sucht und fällt nahestehende Bäume, was jeweils 1x Holz ergibt. Kostet 2x Holz."},
    {"(4) Forsthaus", "Sucht freie Plätze in der Nähe und pflanzt neue Bäume. Kostet 2x Holz."},
    {"(5) Steinbruch", "Bricht Steine aus nahen Felsen, was jeweils 1x Stein ergibt. Kostet 2x Holz."},
    {"(6) TURM", "Der Turm, den Dein Gott verlangt. Kostet 20x Holz und 20x Stein."},
};

void FesteGroesse(Gui::Basis* element, float breite, float hoehe)
{
    element->SetGroesse(BVektor<float>(breite, hoehe, 0), false);
}

bool Bezahlbar(uint64_t typ)
{
    const Gebaeudetyp& t = Gebaeudetypen[typ];
    const bool gedeckt = Vorrat::Nahrung >= t.mNahrung && Vorrat::Holz >= t.mHolz && Vorrat::Stein >= t.mStein;
    // One tower per game.
    return gedeckt && !(typ == 6 && TurmGesetzt);
}

Gui::Renderer* SpielRenderer()
{
    return new Gui::SimpelRenderer(gSpielGrafik, gSpielSchrift);
}

}  // namespace

Buttons::Buttons(Quarz_Timer* spieluhr) : mSpieluhr(spieluhr)
{
    BaueSeite();
    try
    {
        mRenderer = SpielRenderer();
    }
    catch (...)
    {
        delete mOberflaeche;
        throw;
    }
}

Buttons::Buttons(Quarz_Timer* spieluhr, Gui::Renderer* renderer) : mRenderer(renderer), mSpieluhr(spieluhr)
{
    BaueSeite();
}

Buttons::~Buttons()
{
    // A key event after this point must not reach a deleted handler.
    if (ORVIS::InputSystem* system = ORVIS::InputSystem::Instance; system && system->GetHandler() == this)
        system->SetHandler(nullptr);
    mBildschirmVerbindung.disconnect();
    delete mRenderer;
    // The surface deletes the page with every widget, and an open pause menu.
    delete mOberflaeche;
}

void Buttons::BaueSeite()
{
    mOberflaeche = new Gui::Oberflaeche(Utf8Pfad(gSystem.mAnwendungsPfad, DatenPfad() + L"/GuiKonfig.xml"));

    mSeite = new Gui::Seite(0, BVektor<float>(1, 1, 0));
    PasseSeiteAn();
    mSeite->SetPosition(BVektor<float>(kRand, kRand, 0), false);
    mOberflaeche->FuegeKindHinzu(mSeite);
    mSeite->SetAnordnung(new Gui::Anordnung(Gui::Anordnung::SPALTE, 0.0f, 0.5f));

    auto* menue = new Gui::Button("Menü", Gui::GrafikVerweis());
    FesteGroesse(menue, 250, 30);
    mSeite->FuegeKindHinzu(menue);
    // Escape reaches the GUI as "back": it opens the menu.
    menue->SetTaste(Gui::TASTE_ZURUECK);
    menue->mGedrueckt.connect([this] { Menueaktion(); });

    mZeitAuswahl = new Gui::Auswahl(0, "(F) Zeit x1", "(F) Zeit x2", "(F) Zeit x4");
    FesteGroesse(mZeitAuswahl, 250, 30);
    mSeite->FuegeKindHinzu(mZeitAuswahl);
    mZeitAuswahl->mGeaendert.connect([this](size_t index) { Zeitaktion(index); });

    // Takes the free height, so that stocks and build choices sit at the bottom.
    mSeite->FuegeKindHinzu(new Gui::Abstand());

    mVorratText = new Gui::Text("", 0);
    FesteGroesse(mVorratText, 250, 100);
    mVorratText->mEigenschaften.Knoten("richt_horiz").SetzeWert("float", "0");
    mSeite->FuegeKindHinzu(mVorratText);
    ZeigeVorrat();

    for (uint64_t i = 0; i < BAUTYPEN; ++i)
    {
        auto* box = new Gui::Checkbox(kBauknoepfe[i].mText);
        FesteGroesse(box, 250, 30);
        box->mHinweisText = kBauknoepfe[i].mHinweis;
        mSeite->FuegeKindHinzu(box);
        const uint64_t typ = i + 1;
        box->mGeaendert.connect([this, typ](bool an) { SetzeBauauswahl(an ? typ : 0); });
        mBauBoxen[i] = box;
    }

    mBildschirmVerbindung = Quarz_Screen3D::mDarstellungGeaendert.connect([this] { PasseSeiteAn(); });
}

void Buttons::PasseSeiteAn()
{
    // A window smaller than the margins leaves an empty page, never a negative one.
    const float breite = std::max(0.0f, static_cast<float>(Quarz_Screen3D::mModus.mBreite) - 2 * kRand);
    const float hoehe = std::max(0.0f, static_cast<float>(Quarz_Screen3D::mModus.mHoehe) - 2 * kRand);
    mSeite->SetGroesse(BVektor<float>(breite, hoehe, 0), false);
}

bool Buttons::OnKey(ORVIS::Keyboard*, uint32_t taste, bool gedrueckt)
{
    if (gedrueckt && taste >= TASTE_1 && taste <= TASTE_6)
        SetzeBauauswahl(taste - 1);
    else if (gedrueckt && taste == TASTE_F)
        mZeitAuswahl->SetAuswahl((mZeitAuswahl->mAktuell + 1) % mZeitAuswahl->mEintraege.size());
    else if (taste == TASTE_ESCAPE)
        mOberflaeche->TasteEingabe(Gui::TASTE_ZURUECK, gedrueckt ? Gui::ZUSTAND_GEDRUECKT : Gui::ZUSTAND_LOSGELASSEN);
    return true;
}

bool Buttons::OnMouseMoved(ORVIS::Mouse*, float, float)
{
    // The primary mouse's position, whichever mouse moved.
    const ORVIS::InputSystem* system = ORVIS::InputSystem::Instance;
    const ORVIS::Mouse* maus = system ? system->mPrimaryMouse : nullptr;
    float x = 0.0f, y = 0.0f;
    MausPosition(maus, x, y);
    mOberflaeche->MausBewegung(BVektor<float>(x, y, 0));
    return true;
}

bool Buttons::OnMouseButton(ORVIS::Mouse*, uint32_t knopf, bool gedrueckt)
{
    // The focus follows the pointer: the primary button activates what lies under it.
    if (knopf == 0)
        mOberflaeche->TasteEingabe(Gui::TASTE_AKTIVIERE, gedrueckt ? Gui::ZUSTAND_GEDRUECKT : Gui::ZUSTAND_LOSGELASSEN);
    return true;
}

void Buttons::SetzeBauauswahl(uint64_t typ)
{
    if (sBauauswahlLaeuft)
        return;
    mGebaeudeauswahl = typ;
    sBauauswahlLaeuft = true;
    for (uint64_t i = 0; i < BAUTYPEN; ++i)
        mBauBoxen[i]->SetWert(typ == i + 1);
    sBauauswahlLaeuft = false;
}

void Buttons::Zeitaktion(size_t index)
{
    if (mSpieluhr)
        mSpieluhr->SetZeitfaktor(kZeitfaktoren[std::min<size_t>(index, std::size(kZeitfaktoren) - 1)]);
    mZeitAuswahl->SetAuswahl(index);
}

void Buttons::Menueaktion()
{
    mOberflaeche->FuegeKindHinzu(new PauseMenu(mSpieluhr));
}

void Buttons::ZeigeVorrat()
{
    char text[99];
    std::snprintf(text, sizeof text, "%03" PRIu64 "x Nahrung\n%03" PRIu64 "x Holz\n%03" PRIu64 "x Stein",
                  Vorrat::Nahrung, Vorrat::Holz, Vorrat::Stein);
    mVorratText->mText = text;
}

void Buttons::Aktualisiere()
{
    ZeigeVorrat();
    for (uint64_t i = 0; i < BAUTYPEN; ++i)
    {
        Gui::Checkbox* box = mBauBoxen[i];
        const bool bezahlbar = Bezahlbar(i + 1);
        // Unticking fires the box's signal, which clears the selection.
        if (!bezahlbar && box->mWert)
            box->SetWert(false);
        box->SetAktiv(bezahlbar);
    }
    mOberflaeche->Zeichne(*mRenderer);
}

bool Buttons::TrifftGuiElement(Gui::Basis* element, float x, float y)
{
    const auto* behaelter = dynamic_cast<const Gui::VaterBasis*>(element);
    if (!behaelter)
        return x >= 0.0f && y >= 0.0f && x <= element->mGroesse.x && y <= element->mGroesse.y;
    for (Gui::Basis* kind : behaelter->mKinder)
        if (TrifftGuiElement(kind, x - kind->mPosition.x, y - kind->mPosition.y))
            return true;
    return false;
}

bool Buttons::TrifftGuiElement(float x, float y) const
{
    return TrifftGuiElement(mOberflaeche, x - mOberflaeche->mPosition.x, y - mOberflaeche->mPosition.y);
}

}  // namespace Spiel
