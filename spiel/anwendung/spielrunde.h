#pragma once
// One game as the frame loop runs it: the game clock, the world, the build bar, the scene
// renderer and its filter set, the camera and the pause fade, and the frame itself. What a
// frame shows goes through an Anzeige, so that the frame runs without a screen as well.
#include <cstdint>
#include <memory>

#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/anwendung/anzeige.h"
#include "spiel/anwendung/kamera.h"

class FilterSatz;

namespace ORVIS {
class InputHandler;
class InputSystem;
}  // namespace ORVIS

namespace Spiel {

class Buttons;
class Szene;
class SzenenRenderer;

class Spielrunde
{
public:
    Spielrunde() = default;
    Spielrunde(const Spielrunde&) = delete;
    Spielrunde& operator=(const Spielrunde&) = delete;
    // First no handler any more, so that no key event during shutdown reaches the build bar
    // or the console; then the world, the filter set, the scene renderer and the build bar;
    // the game clock, which the world and an open pause menu still point to, goes last.
    ~Spielrunde();

    // One frame: input, event poll, both clocks, the objects, fade, camera, drawing, the spot
    // under the pointer and the placing click, the build bar, the console, F1 and F11, present.
    void Bild(ORVIS::InputSystem& eingabe, Anzeige& anzeige);

    Quarz_Timer uhr;
    std::unique_ptr<Szene> welt;
    std::unique_ptr<Buttons> leiste;
    std::unique_ptr<SzenenRenderer> renderer;
    std::unique_ptr<FilterSatz> filter;
    bool pauseFilter = false;
    Kamera kamera{0.0f, 0.0f};
    float blende = 0.0f;
    // The console: its input handler and its visible flag (none: F11 does nothing).
    ORVIS::InputHandler* konsole = nullptr;
    uint8_t* konsoleSichtbar = nullptr;
};

}  // namespace Spiel
