#pragma once
// Platform colour values as pixels.
#include "Platform/Canvas/SystemColors.h"
#include "Platform/Core/Types.h"

// A platform colour (0x00BBGGRR, or a system colour with the top bit set,
// resolved through platform::SystemColorRGB) as an opaque TColor32
// (0xFFRRGGBB): red and blue change places, alpha becomes 255.
inline TColor32 ToColor32(TColor Color) {
  const TColor Rgb = platform::ResolveColor(Color);
  return 0xFF000000u | ((Rgb & 0xFFu) << 16) | (Rgb & 0xFF00u) | ((Rgb >> 16) & 0xFFu);
}
