#pragma once
// The demo's pictures, each drawn procedurally from a fixed seed.

#include "tools/common/FileWriters.h"

namespace datagen {

// A photo-like sunset over mountains and a lake (for JPEG).
RgbImage DrawSunsetLake(int width, int height);
// Soft out-of-focus lights over a colour gradient (for PNG).
RgbImage DrawBokeh(int width, int height);
// A flat-colour geometric poster with few colours (for an 8-bit BMP).
RgbImage DrawGeometricPoster(int width, int height);
// A flat illustration of rolling hills, trees and a sun (for GIF).
RgbImage DrawHills(int width, int height);
// A city skyline under a moonlit night sky (for TIFF).
RgbImage DrawNightCity(int width, int height);

}  // namespace datagen
