// The game's program entry: opens the log, loads the configuration, runs the application and
// saves the configuration again, whichever way the run ends.
#include <exception>

#include "plattform/system/system_linux.h"
#include "quarzklassen/audio/audio_start.h"
#include "quarzklassen/kern/quarz_ausnahme.h"
#include "quarzklassen/kern/quarz_log.h"
#include "quarzklassen/kern/quarz_system.h"
#include "quarzklassen/kern/quarz_variable.h"
#include "spiel/anwendung/anwendung.h"

namespace {

void Beende()
{
    Quarz_Variable::SpeichereKonfig();
    Quarz_Audio::Beenden();
    gLog.Beende();
}

}  // namespace

int main()
{
    // Before any clock starts: a fixed frame step (test runs) must govern every clock.
    Plattform::FesterTakt();
    Plattform::FangeBeendenSignale();

    gLog.Starte(gSystem.mBenutzerPfad, L"spiel.log");
    gAudio.Erstelle();
    Quarz_Variable::LadeKonfig(gSystem.mBenutzerPfad, L"spiel.cfg");

    int ergebnis = 0;
    try
    {
        Spiel::Anwendung anwendung;
        anwendung.Lauf();
    }
    catch (Quarz_Ausnahme ausnahme)
    {
        gLog.Schreibe("Exception thrown: %s (%d) - %s(): %s", ausnahme.mDatei.c_str(),
                      static_cast<int>(ausnahme.mZeile), ausnahme.mFunktion.c_str(), ausnahme.mMeldung.c_str());
        ergebnis = -1;
    }
    catch (const std::exception& fehler)
    {
        // Not the engine's own kind: the crash handler reports it, but the player's settings
        // are kept first.
        gLog.Schreibe("!Unerwartete Ausnahme: %s", fehler.what());
        Quarz_Variable::SpeichereKonfig();
        throw;
    }
    Beende();
    return ergebnis;
}
