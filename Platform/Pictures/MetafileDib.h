#pragma once
// Device-independent bitmaps as metafiles embed them (bitmap blits, pattern
// brushes): the header (core or info, with colour table and masks) and the
// pixel bits, turned into a Cairo image surface.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace platform::metafile {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* Surface) const { cairo_surface_destroy(Surface); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

struct Dib {
  SurfacePtr Surface;  // CAIRO_FORMAT_ARGB32, rows top-down
  int Width = 0;
  int Height = 0;
  bool BottomUp = true;  // stored bottom row first (the usual layout)
  int BitCount = 0;
};

// Info holds the header and what follows it up to the bits (colour table,
// masks); Bits holds the pixel rows. KeepAlpha uses the fourth byte of 32-bit
// pixels as premultiplied alpha (alpha-blended blits); otherwise pixels are
// opaque. Returns nothing when the bitmap is malformed or too large.
std::optional<Dib> DecodeDib(std::span<const std::uint8_t> Info, std::span<const std::uint8_t> Bits,
                             bool KeepAlpha = false);
// A packed bitmap: header, colour table, then the pixel rows.
std::optional<Dib> DecodePackedDib(std::span<const std::uint8_t> Packed, bool KeepAlpha = false);

// Copies a surface of the given size (premultiplied ARGB32).
SurfacePtr MakeSurface(int Width, int Height);

}  // namespace platform::metafile
