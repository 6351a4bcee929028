#pragma once
// The screen's part of a frame: the size everything is measured in and the drawing steps. The
// application shows on its window; a frame without a screen (tests) only gives sizes.
namespace Spiel {

class Spielrunde;

class Anzeige
{
public:
    virtual ~Anzeige() = default;
    // The picture's size: the back buffer's, which the GUI surface, the pointer and the picking
    // ray all measure in (window units on a scaled display, which enlarges only the presented
    // frame).
    virtual void Groesse(float& breite, float& hoehe) const = 0;
    virtual void ZeichneSzene(Spielrunde&) {}
    virtual void ZeichneKonsole() {}
    virtual void Bildschirmfoto() {}
    virtual void Praesentiere() {}
};

}  // namespace Spiel
