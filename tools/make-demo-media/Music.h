#pragma once
// A few seconds of gentle chords for a sound under a slide.

#include <vector>

namespace datagen {

// Mono samples in -1..1 at the given rate.
std::vector<float> ComposeChords(int sampleRate);

}  // namespace datagen
