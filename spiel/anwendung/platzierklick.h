#pragma once
// The placing click: a press and its release, both in the running game and over no GUI
// element. A press the GUI took (a button, the pause menu's "Weiter") never places, however
// long it is held and wherever it is released.
namespace Spiel {

class Platzierklick
{
public:
    // One frame: whether button 0 went down and went up in it, and whether the spot under the
    // pointer is free for placing (game running, no GUI element there). True: place now.
    bool Bild(bool gedrueckt, bool losgelassen, bool frei);

private:
    bool mScharf = false;  // the button went down on a free spot and is still held
};

}  // namespace Spiel
