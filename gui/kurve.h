#pragma once
// Easing curves and the fade values the renderer draws with.
#include <cstdint>

namespace Gui {

class Basis;

// Curve mode m at t (normally 0..1); rising and falling pairs, damped bounces, steps.
float Kurve(float t, uint32_t modus);
// min(x, 1), and 0 for anything not above 0.
float Klemme(float x);
// Opacity: fades in over 0.5 s after a show and out over 0.5 s after a hide.
float Deckkraft(const Basis* element);
// Focus highlight: rises over 0.2 s after gaining focus, falls over 0.2 s after losing it.
float FokusWert(const Basis* element);

}  // namespace Gui
