#pragma once
// The middle of a series of timings: one slow outlier from a busy machine does not move it.
#include <algorithm>
#include <cstddef>
#include <vector>

namespace Bench {

// The middle value; of an even count, the mean of the two middle ones. The series is not empty.
inline double Median(std::vector<double> werte) {
  std::sort(werte.begin(), werte.end());
  const std::size_t n = werte.size();
  return n % 2 ? werte[n / 2] : (werte[n / 2 - 1] + werte[n / 2]) / 2;
}

}  // namespace Bench
