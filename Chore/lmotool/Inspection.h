#pragma once
// Loading a presentation for inspection: only the model, with every class
// registered; no window, fonts or decoders.
#include <string>
#include <vector>

#include "Slides/Slides.h"

// Registers the plug-in classes once (the registration of the player).
void PrepareModel();

// One medium an object refers to, resolved as the player resolves it.
struct MediumReference {
  std::int32_t Slide = 0;   // 1-based
  std::int32_t Object = 0;  // 1-based
  std::string StoredName;   // UTF-8
  std::string ResolvedName; // UTF-8; empty when missing
};

// Class names that no registered class answers to: object records skipped
// when loading, transition and text animation names that read as none.
struct UnregisteredName {
  std::int32_t Slide = 0;
  std::int32_t Object = 0;  // 0 for a skipped record
  std::string Kind;         // "object", "transition", "text animation"
  std::string Name;         // UTF-8
};

std::vector<MediumReference> ListMedia(const TSlides& Slides);
std::vector<UnregisteredName> ListUnregisteredNames(const TSlides& Slides);
// The timing mode as a word: "timed", "key or click", "when done".
std::string TimingModeText(std::uint8_t Mode);
