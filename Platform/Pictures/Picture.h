#pragma once
// Decoded pictures and the decoder registry by file extension.
//
// A picture is either raster (pixels) or vector (a metafile that draws itself
// at any size). The extension alone chooses the decoder; content is never
// sniffed. Every failure of a decoder is a PictureError; callers that show
// pictures turn it into "no picture".
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

class PictureError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Size limits applied before any pixel memory is allocated.
inline constexpr std::int64_t MaxPicturePixels = std::int64_t{1} << 26;  // 256 MiB at 32 bits
inline constexpr std::int32_t MaxPictureSide = 65535;
// Throws PictureError when Width x Height breaks the limits (or is not positive).
void CheckPictureSize(std::int64_t Width, std::int64_t Height);

// Raster pixels: top-down rows, one 32-bit value per pixel, 0xAARRGGBB with
// straight (not premultiplied) alpha; opaque pictures have alpha 255.
struct RasterImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  bool HasAlpha = false;  // some pixel has alpha < 255
  std::vector<std::uint32_t> Pixels;  // Width * Height
  std::uint32_t& At(std::int32_t X, std::int32_t Y) { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
  std::uint32_t At(std::int32_t X, std::int32_t Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
};

class Picture {
public:
  virtual ~Picture() = default;
  // Natural size in pixels (for a metafile: its frame at 96 dpi).
  virtual std::int32_t Width() const = 0;
  virtual std::int32_t Height() const = 0;
  // Raster pictures return their pixels; vector pictures return nullptr.
  virtual const RasterImage* Raster() const { return nullptr; }
  // Vector pictures draw themselves into the rectangle (X, Y, W, H) of Target,
  // in device pixels. Raster pictures leave this to the canvas's stretch.
  virtual void Render(cairo_t* Target, double X, double Y, double W, double H) const;
};

class RasterPicture final : public Picture {
public:
  explicit RasterPicture(RasterImage Image) : Image_(std::move(Image)) {}
  std::int32_t Width() const override { return Image_.Width; }
  std::int32_t Height() const override { return Image_.Height; }
  const RasterImage* Raster() const override { return &Image_; }
  RasterImage& Image() { return Image_; }
private:
  RasterImage Image_;
};

// What the caller knows about the use of the picture. A decoder may use the
// size at which the picture will be drawn to decode at a reduced scale
// (JPEG's DCT scaling) as long as the result stays at least that large.
struct DecodeHints {
  std::int32_t DrawWidth = 0;   // 0: unknown, decode at full size
  std::int32_t DrawHeight = 0;
};

using DecoderFunction = std::unique_ptr<Picture> (*)(std::span<const std::uint8_t> Bytes,
                                                     const DecodeHints& Hints);

// The picture-format table: extension (without dot, compared ignoring ASCII
// case) -> decoder. Built once at start-up by RegisterPictureFormats().
class PictureFormats {
public:
  void Register(std::string Extension, DecoderFunction Decoder);
  // nullptr when the extension is not in the table.
  DecoderFunction Find(std::string_view Extension) const;
  bool Has(std::string_view Extension) const { return Find(Extension) != nullptr; }
  std::vector<std::string> Extensions() const;
private:
  struct Entry {
    std::string Extension;  // lower case
    DecoderFunction Decoder;
  };
  std::vector<Entry> Entries_;
};

PictureFormats& ThePictureFormats();
// Fills ThePictureFormats() with every supported extension (idempotent).
void RegisterPictureFormats();

// The extension of a file name: the text after the last dot of the last
// path element (either delimiter), without the dot; empty when there is none.
std::string ExtensionOf(std::string_view FileName);

// Decodes Bytes with the decoder for Extension. Throws PictureError for an
// unknown extension ("Unbekanntes Dateiformat") or any decoding failure.
std::unique_ptr<Picture> DecodePicture(std::string_view Extension, std::span<const std::uint8_t> Bytes,
                                       const DecodeHints& Hints = {});
// Reads the whole file into memory once, then decodes it from that buffer.
// Throws PictureError when the file cannot be read or decoded.
std::unique_ptr<Picture> LoadPictureFile(const std::string& Path, const DecodeHints& Hints = {});

}  // namespace platform
