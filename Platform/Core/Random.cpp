#include "Random.h"

#include <chrono>

namespace platform {

void RandomGenerator::Seed(std::uint64_t Value) { State_ = Value; }

void RandomGenerator::SeedFromClock() {
  Seed(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
}

// splitmix64: small, fast and good enough for show effects.
std::uint64_t RandomGenerator::NextBits() {
  std::uint64_t Z = (State_ += 0x9e3779b97f4a7c15ULL);
  Z = (Z ^ (Z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94d049bb133111ebULL;
  return Z ^ (Z >> 31);
}

std::int32_t RandomGenerator::Next(std::int32_t Range) {
  if (Range <= 0) return 0;
  // Multiply-shift maps 32 random bits onto [0, Range) without modulo bias
  // worth speaking of for the small ranges used here.
  const std::uint64_t Bits = NextBits() >> 32;
  return static_cast<std::int32_t>((Bits * static_cast<std::uint64_t>(Range)) >> 32);
}

double RandomGenerator::NextReal() {
  return static_cast<double>(NextBits() >> 11) * (1.0 / 9007199254740992.0);
}

RandomGenerator& ProgramRandom() {
  static RandomGenerator Instance;
  return Instance;
}

}  // namespace platform

std::int32_t Random(std::int32_t Range) { return platform::ProgramRandom().Next(Range); }
void Randomize() { platform::ProgramRandom().SeedFromClock(); }
