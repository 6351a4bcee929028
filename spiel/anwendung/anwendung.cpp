#include "spiel/anwendung/anwendung.h"

#include <memory>
#include <utility>

#include "input/inputhandler.h"
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
#include "spiel/anwendung/spielrunde.h"
#include "spiel/welt/modell.h"
#include "spiel/welt/modelle.h"
#include "spiel/welt/modellpuffer.h"
#include "spiel/grafik/spielgrafik.h"
#include "spiel/welt/szene.h"
#include "spiel/darstellung/szenenrenderer.h"
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

uint32_t Zufallsstart()
{
    uint32_t saat = 0;
    if (!Plattform::FesterZufallsStart(saat))
        saat = static_cast<uint32_t>(Plattform::LeistungsZaehler());
    return saat;
}

// The application's window: sizes from its drawing context, the scene with the pause fade,
// the console display, screenshots and present.
class Fensteranzeige : public Anzeige
{
public:
    explicit Fensteranzeige(Quarz_KonsoleStandardAnzeige& konsole) : mKonsole(konsole) {}

    void Groesse(float& breite, float& hoehe) const override
    {
        const Quarz_ZeichenKontext& kontext = *Quarz_Screen3D::GetZeichenKontext();
        breite = static_cast<float>(kontext.BildschirmBreite());
        hoehe = static_cast<float>(kontext.BildschirmHoehe());
    }
    void ZeichneSzene(Spielrunde& runde) override
    {
        if (runde.pauseFilter)
            runde.filter->SetParameter("staerke", runde.blende, 0.0f, 0.0f, 0.0f);
        runde.renderer->Zeichne(*runde.welt, runde.kamera.Ziel(), runde.kamera.mAbstand, runde.kamera.Neigung(),
                                *runde.filter);
    }
    void ZeichneKonsole() override { mKonsole.Zeichne(); }
    void Bildschirmfoto() override { SpeichereBildschirmfoto(); }
    void Praesentiere() override
    {
        if (Quarz_ZeichenKontext* kontext = Quarz_Screen3D::GetZeichenKontext())
            kontext->Praesentiere();
    }

private:
    Quarz_KonsoleStandardAnzeige& mKonsole;
};

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
    Quarz_Screen3D::mKleinsteBreite = Buttons::KLEINSTE_BREITE;
    Quarz_Screen3D::mKleinsteHoehe = Buttons::KLEINSTE_HOEHE;
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

    runde.kamera = Kamera(runde.welt->mStartpunkt.x, runde.welt->mStartpunkt.z);
    runde.konsole = mKonsole;
    runde.konsoleSichtbar = &mKonsole->mSichtbar;

    Fensteranzeige anzeige(*mKonsole);
    while (!gSystem.mBeenden)
    {
        Plattform::NaechstesBild();
        runde.Bild(eingabe, anzeige);
    }
}

}  // namespace Spiel
