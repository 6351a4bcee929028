#include "spiel/anwendung/anwendung.h"

#include <cinttypes>
#include <cmath>
#include <memory>
#include <utility>

#include "input/inputhandler.h"
#include "input/keyboard.h"
#include "input/mouse.h"
#include "plattform/system/system_linux.h"
#include "quarzklassen/grafik/geraet/quarz_screen3d.h"
#include "quarzklassen/grafik/geraet/quarz_zeichenkontext.h"
#include "quarzklassen/grafik/konsole/quarz_konsolestandardanzeige.h"
#include "quarzklassen/grafik/schrift/quarz_font3d.h"
#include "quarzklassen/grafik/sprite/quarz_blockgfx3d.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "spiel/darstellung/bildschirmfoto.h"
#include "spiel/oberflaeche/buttons.h"
#include "spiel/grafik/datenpfad.h"
#include "spiel/darstellung/filtersatz.h"
#include "spiel/anwendung/kamera.h"
#include "spiel/oberflaeche/mauszeiger.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/modellpuffer.h"
#include "spiel/welt/platzierung.h"
#include "spiel/grafik/spielgrafik.h"
#include "spiel/welt/szene.h"
#include "spiel/darstellung/szenenrenderer.h"
#include "spiel/welt/vorrat.h"
#include "spiel/grafik/zeichenkontextpuffer.h"
#include "spiel/welt/zufall.h"

extern Quarz_Variable displaywidth;
extern Quarz_Variable displayheight;
extern Quarz_Variable fullscreen;
extern Quarz_Variable vsync;

namespace Spiel {

Quarz_KonsoleStandardAnzeige* gKonsolenAnzeige = nullptr;

namespace {

constexpr const char* kFunktion = "Spiel::Anwendung::Anwendung";
constexpr uint32_t kTasteF1 = 0x3B;
constexpr uint32_t kTasteF11 = 0x57;
constexpr uint32_t kRadAchse = 2;
constexpr uint32_t kLinkerKnopf = 0;

// A tick count of 0.1 s, as both clocks cap their steps.
int64_t ZehntelSekunde()
{
    const float ticks = gTimerFrequenz * 0.1f;
    return ticks > 0.0f ? static_cast<int64_t>(ticks) : 0;
}

// The models, the terrain, the game's sprite batch and font hold buffers of the drawing
// context: they go before the screen closes, or its leak report would fire on every exit.
void GibSpielGrafikFrei()
{
    delete gSpielSchrift;
    gSpielSchrift = nullptr;
    delete gSpielGrafik;
    gSpielGrafik = nullptr;
    GebeModelleFrei();
}

// Everything the loop owns, torn down in one order however the loop ends (a normal quit or an
// exception): first no handler any more, so that no key event during shutdown reaches the
// build bar or the console; then the world, the filter set, the scene renderer and the build
// bar; the game clock, which the world and an open pause menu still point to, goes last.
struct Spielrunde
{
    Quarz_Timer uhr;
    std::unique_ptr<Szene> welt;
    std::unique_ptr<Buttons> leiste;
    std::unique_ptr<SzenenRenderer> renderer;
    std::unique_ptr<FilterSatz> filter;
    bool pauseFilter = false;

    Spielrunde() = default;
    Spielrunde(const Spielrunde&) = delete;
    Spielrunde& operator=(const Spielrunde&) = delete;
    ~Spielrunde()
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
};

uint32_t Zufallsstart()
{
    uint32_t saat = 0;
    if (!Plattform::FesterZufallsStart(saat))
        saat = static_cast<uint32_t>(Plattform::LeistungsZaehler());
    return saat;
}

// The cursor over the spot under the mouse and, on a released button, the placement there.
void WaehleBauplatz(Szene& welt, const Kamera& kamera, uint64_t typ, float mausX, float mausY, bool losgelassen)
{
    if (typ == 0)
    {
        welt.SetzeInstanzMatrix(1, TMatrix4::Verschiebung(0.0f, 1000000.0f, 0.0f));
        return;
    }
    // The ray spans the picture the renderer draws: the drawing context's screen.
    const Quarz_ZeichenKontext& kontext = *Quarz_Screen3D::GetZeichenKontext();
    Vektor ursprung, richtung;
    kamera.Strahl(mausX, mausY, static_cast<float>(kontext.BildschirmBreite()),
                  static_cast<float>(kontext.BildschirmHoehe()), ursprung, richtung);
    const PickErgebnis treffer = welt.PickeRegion(ursprung, richtung);
    const bool erlaubt = IstPlatzErlaubt(welt, typ, treffer.mRegion, treffer.mPunkt);
    *welt.Instanz(1) = RenderInstanz(SucheModell(erlaubt ? "pfeil1" : "pfeil0"),
                                     TMatrix4::Verschiebung(treffer.mPunkt.x, treffer.mPunkt.y, treffer.mPunkt.z));
    if (erlaubt && losgelassen && Platziere(welt, typ, treffer.mRegion, treffer.mPunkt))
        gLog.Schreibe("Gesetzt: Bautyp %" PRIu64 " bei (%.1f, %.1f); Vorrat %03" PRIu64 "x Nahrung, %03" PRIu64
                      "x Holz, %03" PRIu64 "x Stein.",
                      typ, treffer.mPunkt.x, treffer.mPunkt.z, Vorrat::Nahrung, Vorrat::Holz, Vorrat::Stein);
}

}  // namespace

ORVIS::HWND HoleFensterHandle() { return Quarz_Screen3D::mFenster; }

void EingabeLog(const char* text) { gLog.Schreibe("Input says: %s", text); }

std::function<void()> MitEingabe(std::function<void()> fensterAbfrage)
{
    return [fensterAbfrage = std::move(fensterAbfrage)] {
        if (fensterAbfrage)
            fensterAbfrage();
        if (ORVIS::InputSystem::Instance)
            ORVIS::InputSystem::Instance->ProcessQueuedEvents();
    };
}

void SchalteKonsoleUm(uint8_t& konsoleSichtbar, ORVIS::InputHandler* konsole, ORVIS::InputSystem& eingabe,
                      ORVIS::InputHandler* leiste)
{
    if (konsoleSichtbar && eingabe.GetHandler() == konsole)
    {
        konsoleSichtbar = 0;
        eingabe.SetHandler(leiste);
    }
    else
    {
        konsoleSichtbar = 1;
        eingabe.SetHandler(konsole);
    }
}

Anwendung::Anwendung()
{
    Quarz_Screen3D::Modus modus;
    modus.mBreite = displaywidth.mInt;
    modus.mHoehe = displayheight.mInt;
    uint64_t flags = Quarz_Screen3D::FLAG_ANWENDUNG;
    if (fullscreen.mBool)
        flags |= Quarz_Screen3D::FLAG_VOLLBILD;
    if (vsync.mBool)
        flags |= Quarz_Screen3D::FLAG_VSYNC;
    if (!Quarz_Screen3D::Init(modus, flags))
        QUARZ_WIRF("Screen initialisation failed.", kFunktion);

    gLog.Schreibe("Creating Timer");
    if (!gTimer.Starte())
        QUARZ_WIRF("Timer initialisation failed", kFunktion);
    gTimer.SetMaxSchritt(ZehntelSekunde());

    // The hook first, so that the input library's own start-up lines reach the log.
    ORVIS::LogCallback = EingabeLog;
    gLog.Schreibe("Creating Input");
    if (!CreateInputSystem(HoleFensterHandle()))
        QUARZ_WIRF("Failed to initialize input system", kFunktion);
    mFensterAbfrage = gSystem.mEreignisAbfrage;
    gSystem.mEreignisAbfrage = MitEingabe(mFensterAbfrage);

    mKonsole = new Quarz_KonsoleStandardAnzeige(DatenDatei(L"calibrib.fnt"));
    gKonsolenAnzeige = mKonsole;

    // The models' buffers come from the screen's drawing context.
    mModellPuffer = new ZeichenKontextPuffer(*Quarz_Screen3D::GetZeichenKontext());
    SetzeModellPuffer(mModellPuffer);
    LadeModelle();
    LadeSpielGrafik();
}

Anwendung::~Anwendung()
{
    gKonsolenAnzeige = nullptr;
    delete mKonsole;
    mKonsole = nullptr;
    gSystem.mEreignisAbfrage = std::move(mFensterAbfrage);
    DestroyInputSystem();
    GibSpielGrafikFrei();
    SetzeModellPuffer(nullptr);
    delete mModellPuffer;
    mModellPuffer = nullptr;
    gTimer.Schliesse();
    Quarz_Screen3D::Beenden();
}

void Anwendung::Lauf()
{
    Spielrunde runde;
    runde.uhr.Starte();
    runde.uhr.SetMaxSchritt(ZehntelSekunde());

    Spiel::srand(Zufallsstart());
    runde.welt = std::make_unique<Szene>(&runde.uhr);

    ORVIS::InputSystem& eingabe = *ORVIS::InputSystem::Instance;
    runde.leiste = std::make_unique<Buttons>(&runde.uhr);
    eingabe.SetHandler(runde.leiste.get());

    runde.renderer = std::make_unique<SzenenRenderer>();
    runde.filter = std::make_unique<FilterSatz>();
    if (FilterEffekt* pause = runde.renderer->mFilterVerwaltung.SucheAktivierbarenEffekt("pause"))
    {
        runde.filter->AddFilter(pause, 0);
        runde.pauseFilter = true;
    }

    Kamera kamera(runde.welt->mStartpunkt.x, runde.welt->mStartpunkt.z);
    float blende = 0.0f;

    while (!gSystem.mBeenden)
    {
        Plattform::NaechstesBild();
        eingabe.Update();
        if (gSystem.mEreignisAbfrage)
            gSystem.mEreignisAbfrage();
        if (Plattform::BeendenAngefordert())
            gSystem.mBeenden = true;
        gTimer.Aktualisiere();
        gLog.LeereWarteschlange();
        runde.uhr.Aktualisiere();
        runde.welt->AktualisiereObjekte();

        const float dt = gTimer.LetzterSchrittSekunden();
        const bool pausiert = runde.uhr.mPausiert;
        blende = NaechsteBlende(blende, pausiert, dt);
        if (runde.pauseFilter)
            runde.filter->SetParameter("staerke", blende, 0.0f, 0.0f, 0.0f);

        ORVIS::Keyboard* tastatur = eingabe.mPrimaryKeyboard;
        ORVIS::Mouse* maus = eingabe.mPrimaryMouse;
        if (!pausiert)
        {
            kamera.Steuere(tastatur, dt);
            if (maus)
                kamera.Zoome(maus->GetAxisAbsolute(kRadAchse));
        }
        kamera.Glaette(dt);

        runde.renderer->Zeichne(*runde.welt, kamera.Ziel(), kamera.mAbstand, kamera.Neigung(), *runde.filter);

        float mausX = 0.0f, mausY = 0.0f;
        MausPosition(maus, mausX, mausY);
        if (!pausiert && !runde.leiste->TrifftGuiElement(mausX, mausY))
            WaehleBauplatz(*runde.welt, kamera, runde.leiste->Gebaeudeauswahl(), mausX, mausY,
                           maus && maus->WasButtonReleased(kLinkerKnopf));

        runde.leiste->Aktualisiere();
        mKonsole->Zeichne();

        if (tastatur && tastatur->WasKeyPressed(kTasteF1))
            SpeichereBildschirmfoto();
        if (tastatur && tastatur->WasKeyPressed(kTasteF11))
            SchalteKonsoleUm(mKonsole->mSichtbar, mKonsole, eingabe, runde.leiste.get());

        if (Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext())
            kontext->Praesentiere();
    }
}

}  // namespace Spiel
