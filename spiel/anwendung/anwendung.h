#pragma once
// The application: starts the screen, the engine timer, the input library and the on-screen
// console, has the models built, runs the frame loop, and tears it all down again.
#include <functional>

#include "input/inputsystem.h"

class Quarz_KonsoleStandardAnzeige;
namespace ORVIS {
class InputHandler;
class InputSystem;
}

namespace Spiel {

class ZeichenKontextPuffer;

class Anwendung
{
public:
    // Throws Quarz_Ausnahme when the screen, the timer or the input library cannot start;
    // what was started before stays as it is.
    Anwendung();
    ~Anwendung();
    Anwendung(const Anwendung&) = delete;
    Anwendung& operator=(const Anwendung&) = delete;

    // The frame loop; returns once the system's quit flag is set.
    void Lauf();

    Quarz_KonsoleStandardAnzeige* mKonsole = nullptr;
    // Makes the models' GPU buffers through the drawing context; owned.
    ZeichenKontextPuffer* mModellPuffer = nullptr;

private:
    // The window system's event poll as the screen installed it, before the input system's
    // queued records were joined to it.
    std::function<void()> mFensterAbfrage;
};

// The application's console display, for whatever needs to reach the console from anywhere:
// set once the console exists, before the models are built, and cleared first thing when the
// application goes; null before and after.
extern Quarz_KonsoleStandardAnzeige* gKonsolenAnzeige;

// The window the input library serves: the screen's GLFW window.
ORVIS::HWND HoleFensterHandle();
// The input library's log hook: "Input says: ...".
void EingabeLog(const char* text);

// The frame's event poll joined with the input library: the window system's poll, then the
// records it queued handed on at once, so a key pressed before a frame's poll acts in that frame.
std::function<void()> MitEingabe(std::function<void()> fensterAbfrage);

// F11: an open console that has the input closes and gives it back to the build bar (leiste);
// otherwise the console opens and takes keyboard and mouse.
void SchalteKonsoleUm(uint8_t& konsoleSichtbar, ORVIS::InputHandler* konsole, ORVIS::InputSystem& eingabe,
                      ORVIS::InputHandler* leiste);

}  // namespace Spiel
