// Writes the typewriter's key click: a 45 ms mechanical tick synthesised
// from a sharp noise transient (the type bar striking), two damped
// resonances (the metal frame ringing) and a low knock (the platen). The
// typewriter plays it once per drawn character, so it must be short and
// must start at full strength at its very first sample.
//
// Usage: make-typewriter-wav OUTPUT.wav

#include "tools/common/FileWriters.h"
#include "tools/common/Noise.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <numbers>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT.wav\n", argv[0]);
    return 2;
  }
  constexpr int kRate = 22050;
  constexpr double kLength = 0.045;  // seconds
  constexpr double kTwoPi = 2 * std::numbers::pi;
  const int count = static_cast<int>(kRate * kLength);

  datagen::SeededRandom random(1907);
  std::vector<float> samples(static_cast<std::size_t>(count));
  double lowPassed = 0;
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kRate;
    // Strike: white noise, slightly high-passed, gone within about 3 ms.
    const double white = random.Uniform(-1, 1);
    lowPassed += 0.35 * (white - lowPassed);
    const double strike = (white - lowPassed) * std::exp(-t / 0.0009);
    // Frame: two inharmonic partials ringing out over about 15 ms.
    const double frame = 0.45 * std::sin(kTwoPi * 2350 * t) * std::exp(-t / 0.004) +
                         0.25 * std::sin(kTwoPi * 3710 * t + 0.7) * std::exp(-t / 0.0025);
    // Platen: a short low knock, a little delayed behind the strike.
    const double knockTime = std::max(0.0, t - 0.0015);
    const double knock = 0.55 * std::sin(kTwoPi * 180 * knockTime) * std::exp(-knockTime / 0.007) *
                         (t >= 0.0015 ? 1.0 : 0.0);
    // Fade the last 5 ms to zero so the click ends without a step.
    const double tail = std::clamp((kLength - t) / 0.005, 0.0, 1.0);
    samples[static_cast<std::size_t>(i)] =
        static_cast<float>(0.8 * (strike + frame + knock) * tail);
  }
  // Normalise the peak to -1 dBFS.
  float peak = 0;
  for (float s : samples) peak = std::max(peak, std::fabs(s));
  for (float& s : samples) s *= 0.89f / peak;

  try {
    datagen::WriteWav16Mono(argv[1], samples, kRate);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-typewriter-wav: %s\n", e.what());
    return 1;
  }
  return 0;
}
