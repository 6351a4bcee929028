#pragma once
// The pause menu: a modal page centred on the screen that stops the game clock while it is
// open and offers "Weiter" and "Ende". A choice hides the menu and deletes it 0.1 s later; the
// deletion carries the choice out.
#include <cstdint>

#include "gui/vaterbasis.h"

class Quarz_Timer;

namespace Spiel {

class PauseMenu : public Gui::VaterBasis
{
public:
    enum Wahl : uint32_t { WEITER = 0, ENDE = 1 };

    explicit PauseMenu(Quarz_Timer* spieluhr);
    ~PauseMenu() override;

    bool IstModal() const override { return true; }

    Quarz_Timer* mSpieluhr;
    uint32_t mWahl = WEITER;

private:
    void Waehle(uint32_t wahl);
};

}  // namespace Spiel
