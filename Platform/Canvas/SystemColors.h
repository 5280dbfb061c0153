#pragma once
// System colours: the colour numbers 0..30 that a platform colour value
// 0xFF0000nn names, and their RGB values.
//
// There is no desktop colour scheme to ask on our platform, so the numbers
// resolve through one fixed table: the classic desktop defaults (the grey
// 3-D scheme with the navy title bar). SystemColors.cpp lists every entry.
#include <cstdint>

#include "Platform/Core/Types.h"

namespace platform {

inline constexpr std::int32_t SystemColorCount = 31;

// The RGB value (0x00BBGGRR) of system colour Index; 0 (black) for a number
// outside 0..30.
TColor SystemColorRGB(std::int32_t Index);

// A platform colour value with a system colour resolved: 0xFF0000nn and any
// other value with the top bit set give the RGB of colour nn (its low byte);
// an RGB value comes back with its top byte cleared.
TColor ResolveColor(TColor Color);

}  // namespace platform
