// The wall-clock measure the benchmarks share.
#pragma once

#include <chrono>

namespace bench {

// Seconds that AFunction takes to run once.
template <class F>
double Seconds(F&& AFunction) {
  std::chrono::steady_clock::time_point start =
      std::chrono::steady_clock::now();
  AFunction();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace bench
