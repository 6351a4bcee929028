#include "gui/kurve.h"

#include <cmath>
#include <numbers>

#include "gui/basis.h"

namespace Gui {

float Kurve(float t, uint32_t modus) {
  constexpr float pi = std::numbers::pi_v<float>;
  switch (modus) {
    case 0: return t;
    case 1: return 1.0f - t;
    case 2: return t * t;
    case 3: return 1.0f - t * t;
    case 4: return std::sqrt(t);
    case 5: return 1.0f - std::sqrt(t);
    case 6: return 0.5f - 0.5f * std::cos(pi * t);
    case 7: return 0.5f + 0.5f * std::cos(pi * t);
    case 8: return 1.0f - std::cos(4.0f * pi * t) * (1.0f - t);
    case 9: return std::cos(4.0f * pi * t) * (1.0f - t);
    case 10: return 1.0f - std::fabs(std::cos(4.0f * pi * t)) * (1.0f - t);
    case 11: return std::fabs(std::cos(4.0f * pi * t)) * (1.0f - t);
    case 12: return std::sin(pi * t);
    case 13: return t == 1.0f ? 1.0f : 0.0f;
    case 14: return t == 1.0f ? 0.0f : 1.0f;
    case 15: return t == 1.0f ? 0.0f : t;
    case 16: return t == 1.0f ? 1.0f : 1.0f - t;
    default: return 1.0f;
  }
}

float Klemme(float x) {
  x = std::fmin(x, 1.0f);
  return x > 0.0f ? x : 0.0f;
}

float Deckkraft(const Basis* e) {
  const float ein = std::sqrt(Klemme(2.0f * SekundenSeit(e->mGezeigtSeit)));
  if (IstSichtbarKette(e)) return ein;
  return ein * Kurve(Klemme(2.0f * SekundenSeit(e->mVerstecktSeit)), 5);
}

float FokusWert(const Basis* e) {
  float f = Klemme(5.0f * SekundenSeit(e->mFokusErhaltenSeit));
  if (!e->mFokussiert) f *= Kurve(Klemme(5.0f * SekundenSeit(e->mFokusVerlorenSeit)), 1);
  return f;
}

}  // namespace Gui
