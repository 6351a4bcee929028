// boost::signals2's connect trips a false maybe-uninitialized warning in g++ 12 at -O2.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#include "spiel/oberflaeche/pausemenu.h"

#include "gui/abstand.h"
#include "gui/anordnung.h"
#include "gui/button.h"
#include "gui/grafikverweis.h"
#include "gui/text.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"

namespace Spiel {

namespace {

// Menus not yet deleted. A menu that was left hides at once but lives 0.1 s longer; Escape
// within that time opens the next one over the same pause, so only the last menu to go may
// let the game run again.
uint64_t sOffeneMenues = 0;

// The menu's own seconds until deletion after a choice (room for its fade-out).
constexpr float kLoeschVerzoegerung = 0.1f;

}  // namespace

PauseMenu::PauseMenu(Quarz_Timer* spieluhr) : mSpieluhr(spieluhr)
{
    ++sOffeneMenues;
    if (mSpieluhr && !mSpieluhr->mPausiert)
        mSpieluhr->Pausiere();

    const float breite = static_cast<float>(Quarz_Screen3D::mModus.mBreite);
    const float hoehe = static_cast<float>(Quarz_Screen3D::mModus.mHoehe);
    // The surface has no layout of its own: the menu keeps the place it is given here.
    SetGroesse(BVektor<float>(breite * 0.5f, hoehe * 0.5f, 0), true);
    SetPosition(BVektor<float>(breite * 0.25f, hoehe * 0.25f, 0), true);
    SetAnordnung(new Gui::Anordnung(Gui::Anordnung::SPALTE, 0.5f, 0.5f));

    FuegeKindHinzu(new Gui::Abstand());
    FuegeKindHinzu(new Gui::Text("Pause", 0));
    auto* weiter = new Gui::Button("Weiter", Gui::GrafikVerweis());
    // Bound to the game's Escape: as the newest binding it answers before the build bar's.
    weiter->SetTaste(Gui::TASTE_ZURUECK);
    weiter->mGedrueckt.connect([this] { Waehle(WEITER); });
    FuegeKindHinzu(weiter);
    auto* ende = new Gui::Button("Ende", Gui::GrafikVerweis());
    ende->mGedrueckt.connect([this] { Waehle(ENDE); });
    FuegeKindHinzu(ende);
    FuegeKindHinzu(new Gui::Abstand());
}

PauseMenu::~PauseMenu()
{
    --sOffeneMenues;
    if (mWahl == ENDE)
        gSystem.mBeenden = true;
    else if (sOffeneMenues == 0 && mSpieluhr && mSpieluhr->mPausiert)
        mSpieluhr->Fortsetzen();
}

void PauseMenu::Waehle(uint32_t wahl)
{
    mWahl = wahl;
    // Hidden, the menu no longer blocks the page below while it fades out.
    SetSichtbar(false);
    LoescheVerzoegert(kLoeschVerzoegerung);
}

}  // namespace Spiel
