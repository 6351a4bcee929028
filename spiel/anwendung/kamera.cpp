#include "spiel/anwendung/kamera.h"

#include <algorithm>
#include <cmath>

#include "input/keyboard.h"

namespace Spiel {

namespace {

// Key codes of the input library.
constexpr uint32_t kTasteA = 0x1E, kTasteD = 0x20, kTasteW = 0x11, kTasteS = 0x1F;
constexpr uint32_t kLinks = 0xCB, kRechts = 0xCD, kHoch = 0xC8, kRunter = 0xD0;

// The picking ray's spread across the screen's width: close to, but not exactly, twice the
// tangent of the view's half-angle 0.6; the game has always picked with this value.
constexpr float kStrahlBreite = 1.36826f;

bool Gehalten(const ORVIS::Keyboard* tastatur, uint32_t a, uint32_t b)
{
    return tastatur->IsKeyDown(a) || tastatur->IsKeyDown(b);
}

}  // namespace

void Kamera::Steuere(const ORVIS::Keyboard* tastatur, float dt)
{
    if (!tastatur)
        return;
    Bewege(Gehalten(tastatur, kTasteA, kLinks), Gehalten(tastatur, kTasteD, kRechts),
           Gehalten(tastatur, kTasteW, kHoch), Gehalten(tastatur, kTasteS, kRunter), dt);
}

void Kamera::Bewege(bool links, bool rechts, bool vor, bool zurueck, float dt)
{
    const float weg = kTempo * dt;
    if (links)
        mX -= weg;
    if (rechts)
        mX += weg;
    if (vor)
        mZ -= weg;
    if (zurueck)
        mZ += weg;
}

void Kamera::Zoome(float rad)
{
    if (rad < 0.0f)
        mWunschAbstand = std::min(mWunschAbstand + kZoomSchritt, kFern);
    else if (rad > 0.0f)
        mWunschAbstand = std::max(mWunschAbstand - kZoomSchritt, kNah);
}

void Kamera::Glaette(float dt) { mAbstand += (mWunschAbstand - mAbstand) * 5.0f * dt; }

float Kamera::Neigung() const { return 2.8274333f - 0.0021991148f * mAbstand; }

void Kamera::Strahl(float mausX, float mausY, float breite, float hoehe, Vektor& ursprung, Vektor& richtung) const
{
    const float a = Neigung();
    const float c = std::cos(a);
    const float s = std::sin(a);
    ursprung = Vektor(mX, mAbstand * s, mZ - mAbstand * c);
    const float dx = (mausX - breite * 0.5f) * kStrahlBreite / breite;
    const float dy = (mausY - hoehe * 0.5f) * kStrahlBreite / breite;
    // The view's rotation turned back: its transpose, applied to (dx, dy, 1).
    richtung = Normiert(Vektor(dx, c * dy - s, s * dy + c));
}

float NaechsteBlende(float blende, bool pausiert, float dt)
{
    return pausiert ? std::min(blende + 2.0f * dt, 1.0f) : std::max(blende - 2.0f * dt, 0.0f);
}

}  // namespace Spiel
