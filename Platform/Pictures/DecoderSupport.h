#pragma once
// Helpers shared by the picture decoders: the memory budget every decoder
// stays within, allocation of checked raster pictures, and the decoders'
// entry points (registered by RegisterPictureFormats).
#include "Platform/Pictures/Picture.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

namespace platform {

// The most memory one decode may ask its library for (pixel buffers, coefficient
// arrays, caches). Large enough for the biggest picture CheckPictureSize lets
// through; fuzzers lower it so that a hostile header cannot ask for more.
std::size_t PictureMemoryBudget();
void SetPictureMemoryBudget(std::size_t Bytes);

// CheckPictureSize, and the 32-bit pixels must also fit the memory budget.
void CheckRasterSize(std::int64_t Width, std::int64_t Height);

// A raster of Width x Height pixels, all 0 (transparent black), after the
// checks; SparePixels more at the end of Pixels, for a decoder's use before
// it cuts them off.
RasterImage MakeRaster(std::int64_t Width, std::int64_t Height, std::size_t SparePixels = 0);

// Sets HasAlpha from the pixels.
void UpdateHasAlpha(RasterImage& Image);

std::unique_ptr<Picture> MakeRasterPicture(RasterImage Image);

using Bytes = std::span<const std::uint8_t>;

std::unique_ptr<Picture> DecodeJpeg(Bytes Data, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodePng(Bytes Data, const DecodeHints& Hints);
// The libpng way alone, also for files the one-inflate way would take.
std::unique_ptr<Picture> DecodePngWithLibpng(Bytes Data);
std::unique_ptr<Picture> DecodeTiff(Bytes Data, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeGif(Bytes Data, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodePsd(Bytes Data, const DecodeHints& Hints);
std::unique_ptr<Picture> DecodeTarga(Bytes Data, const DecodeHints& Hints);
// The long tail, through GraphicsMagick: Magick names the coder ("BMP", "PCX").
// Premultiplied: the format stores colour multiplied by alpha (RLA); the
// result is turned back into straight alpha.
std::unique_ptr<Picture> DecodeWithMagick(const char* Magick, Bytes Data, bool Premultiplied = false);
// An extension whose decoder is not available: always fails with PictureError.
std::unique_ptr<Picture> DecodeUnsupported(Bytes Data, const DecodeHints& Hints);

// The JPEG DCT scale (Numerator / 8) to decode a Width x Height picture at when
// it will be drawn at DrawWidth x DrawHeight: 8 (full size) unless the picture
// is drawn at less than half its size in both directions; then the smallest
// eighth whose result still covers the drawn size.
int JpegScaleEighths(std::int32_t Width, std::int32_t Height, const DecodeHints& Hints);

}  // namespace platform
