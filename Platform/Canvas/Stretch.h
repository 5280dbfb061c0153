#pragma once
// Scaled sampling of 32-bit pixels: the bilinear stretch used by the canvas
// and the bitmaps, and the edge rules shared by every resampler.
#include <cstdint>
#include <functional>

#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

// Read-only pixels, top-down rows.
struct SourcePixels {
  const TColor32* Bits = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Stride = 0;  // pixels from one row to the next
  const TColor32* Row(std::int32_t Y) const { return Bits + static_cast<std::intptr_t>(Y) * Stride; }
};

inline SourcePixels SourceOf(const PixelView& View) {
  return SourcePixels{View.Bits, View.Width, View.Height, View.Stride};
}

// What a sample beyond the edge of the source area reads.
enum class EdgeMode { Clamp, Repeat, Mirror };

// Maps an index that may lie outside [0, Count) onto it.
std::int32_t MapEdge(std::int32_t Index, std::int32_t Count, EdgeMode Mode);

// A finished destination row: Count pixels that belong at (X, Y).
using RowSink = std::function<void(std::int32_t X, std::int32_t Y, const TColor32* Row, std::int32_t Count)>;

// Where a stretch reads and writes: SrcRect of the source (inside it) is
// mapped onto DstRect; only the part Clip of DstRect is produced.
struct StretchGeometry {
  TRect SrcRect;
  TRect DstRect;
  TRect Clip;
  EdgeMode Edge = EdgeMode::Clamp;
  // Large areas may be split over two threads (a sink must allow that).
  bool Parallel = true;
};

// Bilinear interpolation. Destination pixel centres map onto the source area
// (pixel x samples at (x + 0.5) * SrcWidth / DstWidth - 0.5), weights are
// rounded to 1/256. The two source rows are interpolated first, each channel
// rounded to 8 bits, then the two columns, rounded again:
//   v = (top * (256 - wy) + bottom * wy + 128) div 256,
//   out = (v0 * (256 - wx) + v1 * wx + 128) div 256.
// Channels (alpha included) are interpolated independently.
void StretchBilinear(const SourcePixels& Src, const StretchGeometry& Geometry, const RowSink& Sink);

// The same, writing straight into Dst (an opaque copy of the samples).
// Geometry.DstRect and Clip are in Dst's coordinates; Clip is cut to Dst.
void StretchBilinearInto(const SourcePixels& Src, const StretchGeometry& Geometry, const PixelView& Dst);

}  // namespace platform
