#include "spiel/anwendung/spielrunde.h"

#include <cinttypes>

#include "input/inputhandler.h"
#include "input/inputsystem.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "plattform/system/system_linux.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "spiel/anwendung/anwendung.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/oberflaeche/buttons.h"
#include "spiel/oberflaeche/mauszeiger.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/platzierung.h"
#include "spiel/welt/szene.h"
#include "spiel/welt/vorrat.h"

namespace Spiel {

namespace {

constexpr uint32_t kTasteF1 = 0x3B;
constexpr uint32_t kTasteF11 = 0x57;
constexpr uint32_t kRadAchse = 2;
constexpr uint32_t kLinkerKnopf = 0;

// The cursor over the spot under the mouse and, when setzen, the placement there. The spot is
// the ground the player sees under the pointer: a mountain's wall in front of it hides what
// lies behind, and is no spot.
void WaehleBauplatz(Szene& welt, const Kamera& kamera, uint64_t typ, float mausX, float mausY, float breite,
                    float hoehe, bool setzen)
{
    if (typ == 0)
    {
        welt.SetzeInstanzMatrix(1, TMatrix4::Verschiebung(0.0f, 1000000.0f, 0.0f));
        return;
    }
    Vektor ursprung, richtung;
    kamera.Strahl(mausX, mausY, breite, hoehe, ursprung, richtung);
    const PickErgebnis treffer = welt.PickeOberflaeche(ursprung, richtung);
    const bool erlaubt = IstPlatzErlaubt(welt, typ, treffer.mRegion, treffer.mPunkt);
    *welt.Instanz(1) = RenderInstanz(SucheModell(erlaubt ? "pfeil1" : "pfeil0"),
                                     TMatrix4::Verschiebung(treffer.mPunkt.x, treffer.mPunkt.y, treffer.mPunkt.z));
    if (erlaubt && setzen && Platziere(welt, typ, treffer.mRegion, treffer.mPunkt))
        gLog.Schreibe("Gesetzt: Bautyp %" PRIu64 " bei (%.1f, %.1f); Vorrat %03" PRIu64 "x Nahrung, %03" PRIu64
                      "x Holz, %03" PRIu64 "x Stein.",
                      typ, treffer.mPunkt.x, treffer.mPunkt.z, Vorrat::Nahrung, Vorrat::Holz, Vorrat::Stein);
}

}  // namespace

Spielrunde::~Spielrunde()
{
    if (ORVIS::InputSystem::Instance)
        ORVIS::InputSystem::Instance->SetHandler(nullptr);
    welt.reset();
    filter.reset();
    renderer.reset();
    leiste.reset();
    uhr.Leere();
    // Deferred GUI work would reach elements that are gone with the build bar.
    gTimer.Leere();
}

void Spielrunde::Bild(ORVIS::InputSystem& eingabe, Anzeige& anzeige)
{
    eingabe.Update();
    if (gSystem.mEreignisAbfrage)
        gSystem.mEreignisAbfrage();
    if (Plattform::BeendenAngefordert())
        gSystem.mBeenden = true;
    gTimer.Aktualisiere();
    gLog.LeereWarteschlange();
    uhr.Aktualisiere();
    welt->AktualisiereObjekte();

    const float dt = gTimer.LetzterSchrittSekunden();
    const bool pausiert = uhr.mPausiert;
    blende = NaechsteBlende(blende, pausiert, dt);

    ORVIS::Keyboard* tastatur = eingabe.mPrimaryKeyboard;
    ORVIS::Mouse* maus = eingabe.mPrimaryMouse;
    if (!pausiert)
    {
        // Read from the key states, whichever handler gets the key events (the console too).
        kamera.Steuere(tastatur, dt);
        if (maus)
            kamera.Zoome(maus->GetAxisAbsolute(kRadAchse));
    }
    kamera.Glaette(dt);

    anzeige.ZeichneSzene(*this);

    float mausX = 0.0f, mausY = 0.0f;
    MausPosition(maus, mausX, mausY);
    if (!pausiert && !leiste->TrifftGuiElement(mausX, mausY))
    {
        float breite = 0.0f, hoehe = 0.0f;
        anzeige.Groesse(breite, hoehe);
        WaehleBauplatz(*welt, kamera, leiste->Gebaeudeauswahl(), mausX, mausY, breite, hoehe,
                       maus && maus->WasButtonReleased(kLinkerKnopf));
    }

    leiste->Aktualisiere();
    anzeige.ZeichneKonsole();

    if (tastatur && tastatur->WasKeyPressed(kTasteF1))
        anzeige.Bildschirmfoto();
    if (tastatur && tastatur->WasKeyPressed(kTasteF11) && konsole && konsoleSichtbar)
        SchalteKonsoleUm(*konsoleSichtbar, konsole, eingabe, leiste.get());

    anzeige.Praesentiere();
}

}  // namespace Spiel
