#pragma once
// What the build bar's and the pause menu's tests share: the build bar as the handler of an
// input system over the scripted layer (one keyboard, one mouse), drawing through the GUI's
// renderer base that draws nothing, the engine timer and the game clock stepped by hand.
#include <GLFW/glfw3.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/renderer.h"
#include "quarzklassen/kern/quarz_timer.h"
#include "spiel/oberflaeche/buttons.h"
#include "tests/input/input_testhilfe.h"

namespace Spiel {
class PauseMenu;
}

namespace Spiel::Test {

class OberflaecheTest : public InputTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // One frame as the main loop runs it: input, engine timer, game clock, build bar.
    void Bild(float sekunden = 0.02f);
    // A key of the keyboard pressed or released, then one frame.
    void Taste(int glfwTaste, bool gedrueckt);
    // A key pressed and released, a frame each.
    void Tippe(int glfwTaste);
    // The pointer onto the element's centre, then button 0 pressed and released.
    void Klicke(Gui::Basis* element);

    // The open pause menus, in the surface's order (hidden ones too).
    std::vector<PauseMenu*> Menues() const;
    // The open menu that is visible, or null.
    PauseMenu* SichtbaresMenue() const;

    Quarz_Timer mUhr;
    std::unique_ptr<Buttons> mButtons;
    std::wstring mAlterPfad;
};

}  // namespace Spiel::Test
