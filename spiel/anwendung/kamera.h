#pragma once
// The player's view: a target point on the ground the camera circles above at a distance,
// moved by the keys at a fixed speed, zoomed by the wheel in steps and eased towards the
// wanted distance. Also the pause fade and the ray under the mouse, so that the main loop's
// arithmetic can be checked without a window.
#include <cstdint>

#include "spiel/welt/netz.h"

namespace ORVIS {
class Keyboard;
}

namespace Spiel {

class Kamera
{
public:
    static constexpr float kTempo = 50.0f;        // units per second
    static constexpr float kZoomSchritt = 50.0f;  // one wheel step
    static constexpr float kNah = 100.0f;
    static constexpr float kFern = 500.0f;
    static constexpr float kStartAbstand = 200.0f;

    Kamera(float x, float z) : mX(x), mZ(z) {}

    // The held keys of one frame: A or Left, D or Right, W or Up, S or Down; each pair moves
    // once, opposite pairs cancel. A missing keyboard moves nothing.
    void Steuere(const ORVIS::Keyboard* tastatur, float dt);
    void Bewege(bool links, bool rechts, bool vor, bool zurueck, float dt);
    // One frame's wheel: the sum of its notches (negative: towards the player). Every frame in
    // which the wheel turned is one step, out for a negative sum, in for a positive one.
    void Zoome(float rad);
    // Eases the distance towards the wanted one (also while the game is paused).
    void Glaette(float dt);
    // The pitch: low at the near limit, nearly straight down at the far one.
    float Neigung() const;
    Vektor Ziel() const { return Vektor(mX, 0.0f, mZ); }

    // The ray under a point of the screen (pixels of a breite x hoehe back buffer).
    void Strahl(float mausX, float mausY, float breite, float hoehe, Vektor& ursprung, Vektor& richtung) const;

    float mX;
    float mZ;
    float mAbstand = kStartAbstand;
    float mWunschAbstand = kStartAbstand;
};

// The pause fade after one frame of dt seconds: up to 1 while paused, down to 0 otherwise,
// within 0.5 s either way.
float NaechsteBlende(float blende, bool pausiert, float dt);

}  // namespace Spiel
