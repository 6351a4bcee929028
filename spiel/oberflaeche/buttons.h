#pragma once
// The build bar: the game's heads-up page on the left of the screen (menu button, game speed,
// stocks, six build choices with tooltips) and the game's input handler, which hands keyboard
// and mouse to that page. The main loop reads the chosen building type from it each frame.
#include <boost/signals2/connection.hpp>
#include <cstddef>
#include <cstdint>

#include "input/inputhandler.h"

class Quarz_Timer;

namespace Gui {
class Auswahl;
class Basis;
class Checkbox;
class Oberflaeche;
class Renderer;
class Seite;
class Text;
}  // namespace Gui

namespace Spiel {

class Buttons : public ORVIS::InputHandler
{
public:
    static constexpr uint64_t BAUTYPEN = 6;  // build types 1 to 6
    // The smallest screen that shows every element of the page, each build choice's tooltip
    // and the pause menu whole: the widest tooltip and the page's fixed heights without its
    // margins (the tests measure it from the elements' rectangles).
    static constexpr int64_t KLEINSTE_BREITE = 446;
    static constexpr int64_t KLEINSTE_HOEHE = 376;

    // The page with its style from the data folder's "GuiKonfig.xml", drawn with the game's
    // sprite batch and font (a missing one throws Quarz_Ausnahme).
    explicit Buttons(Quarz_Timer* spieluhr);
    // The same page drawn by the given renderer, which the build bar then owns.
    Buttons(Quarz_Timer* spieluhr, Gui::Renderer* renderer);
    ~Buttons() override;
    Buttons(const Buttons&) = delete;
    Buttons& operator=(const Buttons&) = delete;

    bool OnKey(ORVIS::Keyboard* tastatur, uint32_t taste, bool gedrueckt) override;
    bool OnMouseMoved(ORVIS::Mouse* maus, float x, float y) override;
    bool OnMouseButton(ORVIS::Mouse* maus, uint32_t knopf, bool gedrueckt) override;
    bool OnMouseWheel(ORVIS::Mouse*, float) override { return true; }

    // 0 nothing, 1 to 6 the building type to place.
    uint64_t Gebaeudeauswahl() const { return mGebaeudeauswahl; }
    // Selects a type and ticks its box alone (0 unticks all).
    void SetzeBauauswahl(uint64_t typ);
    void ZeigeVorrat();
    // Once a frame: stock text, which types the stocks cover, then the page is drawn.
    void Aktualisiere();

    // Whether (x, y), relative to the element, lies on the element; for a container, on one of
    // its children (its own area does not count, so the gaps of the page let clicks through).
    static bool TrifftGuiElement(Gui::Basis* element, float x, float y);
    // The same for a screen point over the whole surface.
    bool TrifftGuiElement(float x, float y) const;

    Gui::Oberflaeche* mOberflaeche = nullptr;
    Gui::Renderer* mRenderer = nullptr;
    Quarz_Timer* mSpieluhr;
    Gui::Seite* mSeite = nullptr;
    Gui::Text* mVorratText = nullptr;
    Gui::Auswahl* mZeitAuswahl = nullptr;
    Gui::Checkbox* mBauBoxen[BAUTYPEN] = {};
    uint64_t mGebaeudeauswahl = 0;

private:
    void BaueSeite();
    void PasseSeiteAn();
    void Zeitaktion(size_t index);
    void Menueaktion();

    boost::signals2::scoped_connection mBildschirmVerbindung;
};

}  // namespace Spiel
