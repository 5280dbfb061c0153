#pragma once
// The fast way for the PNGs most pictures are: 8-bit grey, grey with alpha,
// RGB or RGBA, not interlaced, without a colour key. All image data is
// inflated at once by libdeflate straight into the picture's own pixel
// memory, then each row is unfiltered and widened to BGRA in place.
#include <cstdint>
#include <span>

#include "Platform/Pictures/Picture.h"

namespace platform {

// True with Out holding the picture. False when the file is not one of these
// or anything in it is off (a bad checksum, short or excess image data, an
// unknown filter): then nothing is promised about Out and libpng, with its
// own error handling, decodes the file instead. Throws only when the picture
// is too large to hold.
bool DecodePngDirect(std::span<const std::uint8_t> Data, RasterImage& Out);

}  // namespace platform
