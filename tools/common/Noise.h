#pragma once
// Deterministic value noise and a small seeded generator, so that every run
// of a generator writes the same bytes.

#include <cmath>
#include <cstdint>

namespace datagen {

// SplitMix64: tiny, fast and good enough for placing drops and stars.
class SeededRandom {
 public:
  explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  double Uniform(double low, double high) { return low + (high - low) * Uniform(); }

 private:
  std::uint64_t state_;
};

// Hash of a lattice point to [0, 1).
inline double LatticeValue(int x, int y, std::uint32_t seed) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u ^
                    static_cast<std::uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return static_cast<double>(h & 0xFFFFFF) / 16777216.0;
}

// Smoothly interpolated value noise in [0, 1).
inline double ValueNoise(double x, double y, std::uint32_t seed) {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  const double a = LatticeValue(ix, iy, seed), b = LatticeValue(ix + 1, iy, seed);
  const double c = LatticeValue(ix, iy + 1, seed), d = LatticeValue(ix + 1, iy + 1, seed);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

// Fractal sum of octaves, normalised to about [0, 1).
inline double FractalNoise(double x, double y, int octaves, std::uint32_t seed) {
  double sum = 0, amplitude = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * ValueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 101u);
    total += amplitude;
    amplitude *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / total;
}

}  // namespace datagen
