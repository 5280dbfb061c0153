#pragma once
// Reals become integers by rounding to the nearest integer, halves to the
// even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
#include <cmath>
#include <cstdint>

inline std::int64_t RoundHalfEven(double Value) {
  // nearbyint rounds by the current mode, which the program never changes
  // from round-to-nearest-even.
  return static_cast<std::int64_t>(std::nearbyint(Value));
}
