#pragma once
// The one program-wide random generator. Seeded once from the clock at
// start-up; tests and `lmotool render --seed N` seed it themselves, so every
// random choice of a show (tile orders, the random transition, the
// typewriter's pace) repeats exactly for the same seed.
#include <cstdint>

namespace platform {

class RandomGenerator {
public:
  void Seed(std::uint64_t Value);
  void SeedFromClock();
  // A uniformly distributed integer in [0, Range); 0 when Range <= 0.
  std::int32_t Next(std::int32_t Range);
  // A uniformly distributed real in [0, 1).
  double NextReal();
private:
  std::uint64_t NextBits();
  std::uint64_t State_ = 0x853c49e6748fea9bULL;
};

RandomGenerator& ProgramRandom();

}  // namespace platform

// The system's names: Random(N) in [0, N), Randomize() seeds from the clock.
std::int32_t Random(std::int32_t Range);
void Randomize();
