#pragma once
// Text laid out for drawing: fonts realised through Pango and fontconfig,
// lines broken the way the canvas's DrawText promises. Used by Canvas.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Core/Font.h"

namespace platform::text {

// What of a TFont decides the shapes and metrics of the glyphs.
struct FontKey {
  std::string Family;  // UTF-8
  std::int32_t Height = -11;
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  friend bool operator==(const FontKey&, const FontKey&) = default;
};
FontKey KeyOf(const TFont& Font);

// Pixel metrics of a realised font.
struct FontMetrics {
  std::int32_t LineHeight = 0;  // ascent + descent
  std::int32_t Ascent = 0;      // baseline below the top of a line
  double EmPixels = 0;          // the size the glyphs are drawn at
};
FontMetrics MetricsOf(const FontKey& Key);

// The family fontconfig chose for Key (for diagnostics and tests).
std::string ResolvedFamily(const FontKey& Key);

// Lays out UTF-8 text. Underlined holds byte offsets of characters to
// underline (from "&x"). MaxWidth matters only with WordBreak.
struct LayoutRequest {
  FontKey Font;
  std::string Text;
  std::vector<std::size_t> Underlined;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  std::int32_t MaxWidth = 0;
};

class Layout {
public:
  std::int32_t LineCount() const;
  std::int32_t LineWidth(std::int32_t Line) const;
  std::int32_t Width() const;   // widest line
  std::int32_t Height() const;  // LineCount * LineHeight
  const FontMetrics& Metrics() const { return Metrics_; }
  // Draws line Line with its top-left at (X, Top) in the current source of Cr.
  void DrawLine(cairo_t* Cr, std::int32_t Line, double X, double Top) const;

  struct Impl;
  explicit Layout(std::shared_ptr<Impl> I, FontMetrics M) : Impl_(std::move(I)), Metrics_(M) {}

private:
  std::shared_ptr<Impl> Impl_;
  FontMetrics Metrics_;
};

// Laid-out text; recent layouts are kept, so drawing the same text in the
// same font and width again (the copies of an outlined text) costs only the
// rendering.
Layout LayoutText(const LayoutRequest& Request);

void WarmUp();

}  // namespace platform::text
