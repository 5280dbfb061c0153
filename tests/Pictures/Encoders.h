#pragma once
// Small writers that make test pictures with the same libraries the decoders
// use, so each case is built exactly as the test needs it.
#include <cstdint>
#include <string>
#include <vector>

namespace picturetest {

using ByteVector = std::vector<std::uint8_t>;

// Samples per pixel by colour space: 1 grey, 3 RGB, 4 CMYK.
ByteVector WriteJpeg(int Width, int Height, int Components, const ByteVector& Samples, bool AdobeMarker = true,
                     bool Progressive = false);
// A smooth colour picture of the given size.
ByteVector WriteGradientJpeg(int Width, int Height, int Quality = 85);
// libjpeg-turbo decoding a grey or colour JPEG top to bottom in one pass at
// ScaleEighths / 8, as 0xAARRGGBB pixels: the reference for the decoder.
std::vector<std::uint32_t> DecodeJpegInOnePass(const ByteVector& Jpeg, int ScaleEighths, int& Width, int& Height);

struct PngSpec {
  int Width = 0, Height = 0;
  int ColorType = 0, Depth = 8;
  bool Interlaced = false;
  std::vector<ByteVector> Rows;   // packed as PNG stores them (big-endian 16-bit)
  ByteVector PaletteRgb;          // colour type 3
  ByteVector Transparency;        // tRNS: palette alphas, or one grey / RGB sample (16-bit values)
  int Filters = 0;                // PNG_FILTER_* flags the writer may choose from; 0: its default
};
ByteVector WritePng(const PngSpec& Spec);

// RGBA, 8 bits, with associated (premultiplied) alpha when Associated.
ByteVector WriteTiffRgba(int Width, int Height, const ByteVector& Rgba, bool Associated);

struct GifSpec {
  int ScreenWidth = 0, ScreenHeight = 0;
  int Left = 0, Top = 0, Width = 0, Height = 0;
  bool Interlaced = false;
  int Transparent = -1;
  std::vector<std::uint8_t> Indices;   // Width * Height, top-down
  std::vector<std::uint32_t> Palette;  // 0xRRGGBB, up to 256
};
ByteVector WriteGif(const GifSpec& Spec);

ByteVector ReadFile(const std::string& Path);
void WriteFile(const std::string& Path, const ByteVector& Data);

}  // namespace picturetest
