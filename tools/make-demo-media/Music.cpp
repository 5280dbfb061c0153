#include "tools/make-demo-media/Music.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace datagen {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Frequency(int midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0); }

// A soft pad voice: fundamental, a quiet octave and a slightly detuned twin
// for a slow chorus shimmer.
double Pad(double frequency, double t) {
  return std::sin(kTwoPi * frequency * t) + 0.6 * std::sin(kTwoPi * frequency * 1.003 * t + 1.0) +
         0.18 * std::sin(kTwoPi * frequency * 2 * t + 0.4);
}

// A bell-like pluck: two inharmonic partials with exponential decay.
double Bell(double frequency, double age) {
  if (age < 0) return 0;
  const double attack = std::min(1.0, age / 0.004);
  return attack * (std::sin(kTwoPi * frequency * age) * std::exp(-age / 0.55) +
                   0.25 * std::sin(kTwoPi * frequency * 2.76 * age) * std::exp(-age / 0.18));
}

// Schroeder reverb: four parallel feedback combs, two series all-passes.
class Reverb {
 public:
  explicit Reverb(int sampleRate) {
    const double combTimes[] = {0.0297, 0.0371, 0.0411, 0.0437};
    for (double time : combTimes) combs_.push_back(Line(static_cast<std::size_t>(time * sampleRate)));
    allpasses_.push_back(Line(static_cast<std::size_t>(0.0050 * sampleRate)));
    allpasses_.push_back(Line(static_cast<std::size_t>(0.0017 * sampleRate)));
  }
  double Process(double in) {
    double sum = 0;
    for (Line& comb : combs_) {
      const double out = comb.buffer[comb.position];
      comb.buffer[comb.position] = in + 0.82 * out;
      comb.position = (comb.position + 1) % comb.buffer.size();
      sum += out;
    }
    double out = sum * 0.25;
    for (Line& allpass : allpasses_) {
      const double delayed = allpass.buffer[allpass.position];
      const double stored = out + 0.7 * delayed;
      allpass.buffer[allpass.position] = stored;
      allpass.position = (allpass.position + 1) % allpass.buffer.size();
      out = delayed - 0.7 * stored;
    }
    return out;
  }

 private:
  struct Line {
    explicit Line(std::size_t length) : buffer(std::max<std::size_t>(length, 1), 0.0) {}
    std::vector<double> buffer;
    std::size_t position = 0;
  };
  std::vector<Line> combs_;
  std::vector<Line> allpasses_;
};

}  // namespace

std::vector<float> ComposeChords(int sampleRate) {
  // Cmaj7 - Am7 - Fmaj7 - G6, 2.5 s each, then a last Cmaj9 ringing out.
  struct Chord {
    int bass;
    int notes[4];
  };
  const Chord chords[] = {{36, {60, 64, 67, 71}}, {45, {57, 60, 64, 67}}, {41, {53, 57, 60, 64}},
                          {43, {59, 62, 64, 67}}, {36, {60, 64, 67, 74}}};
  constexpr double kChordLength = 2.5;
  constexpr double kTotal = 12.0;
  constexpr double kBeat = kChordLength / 8;  // the arpeggio's eighth notes
  const std::size_t count = static_cast<std::size_t>(kTotal * sampleRate);

  std::vector<double> dry(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    double sample = 0;
    for (int c = 0; c < 5; ++c) {
      const double start = c * kChordLength;
      const double end = c == 4 ? kTotal : start + kChordLength;
      // Pads swell in over 0.5 s and overlap the next chord by 0.4 s.
      const double envelope = std::clamp((t - start) / 0.5, 0.0, 1.0) *
                              std::clamp((end + 0.4 - t) / 0.8, 0.0, 1.0);
      if (envelope <= 0) continue;
      double pad = 0;
      for (int note : chords[c].notes) pad += Pad(Frequency(note), t);
      sample += envelope * (0.06 * pad + 0.14 * std::sin(kTwoPi * Frequency(chords[c].bass) * t));
      // Arpeggio over the chord, an octave up: 1 2 3 4 3 2 3 4.
      if (c < 4) {
        const int pattern[] = {0, 1, 2, 3, 2, 1, 2, 3};
        for (int step = 0; step < 8; ++step) {
          const double noteStart = start + step * kBeat;
          sample += 0.07 * Bell(Frequency(chords[c].notes[pattern[step]] + 12), t - noteStart);
        }
      } else {
        sample += 0.09 * Bell(Frequency(chords[c].notes[3] + 12), t - start);
      }
    }
    dry[i] = sample;
  }

  Reverb reverb(sampleRate);
  std::vector<float> out(count);
  double peak = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / sampleRate;
    const double fade = std::clamp(t / 0.3, 0.0, 1.0) * std::clamp((kTotal - t) / 2.0, 0.0, 1.0);
    const double wet = dry[i] * 0.75 + reverb.Process(dry[i]) * 0.45;
    out[i] = static_cast<float>(wet * fade);
    peak = std::max(peak, std::fabs(wet * fade));
  }
  for (float& s : out) s = static_cast<float>(s * 0.7 / peak);  // peak at about -3 dBFS
  return out;
}

}  // namespace datagen
