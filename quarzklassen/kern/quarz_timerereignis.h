#pragma once
// One pending one-shot callback of a Quarz_Timer.
#include <boost/function.hpp>
#include <cstdint>

struct Quarz_TimerEreignis {
  uint64_t mId = 0;
  int64_t mFaellig = 0;              // due time, on the scale of the timer's total (ticks)
  boost::function<void()> mRueckruf;
};
