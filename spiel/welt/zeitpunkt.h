#pragma once
// Time points of the game objects: signed 64-bit counts of performance-counter ticks on the
// game clock. Seconds are turned into ticks in single precision, as every object does it.
#include <cstdint>

#include "quarzklassen/kern/quarz_timer.h"

namespace Spiel {

using Zeitpunkt = int64_t;

// s seconds as ticks: the product taken in f32 and truncated toward zero.
inline int64_t Ticks(float sekunden) { return static_cast<int64_t>(sekunden * gTimerFrequenz); }
inline Zeitpunkt PlusSekunden(Zeitpunkt t, float sekunden) { return t + Ticks(sekunden); }
inline float Sekunden(int64_t ticks) { return static_cast<float>(ticks) * gTimerKehrwert; }

}  // namespace Spiel
