#pragma once
// A drawing canvas over 32-bit pixel memory: brush, font, rectangle fill,
// formatted text and stretch drawing of pictures. The pixels stay the
// caller's; the canvas draws straight into them (a Cairo image surface over
// the same memory, whose ARGB32 layout is the pixel layout of TColor32).
//
// Drawing keeps the alpha bytes of the pixels it leaves alone; pixels it
// paints become opaque.
#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string_view>

#include "Platform/Core/Font.h"
#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

class Picture;

enum class BrushStyle { Solid, Clear };

struct Brush {
  TColor Color = 0x00FFFFFF;  // a platform colour value; system colours are resolved when drawn
  BrushStyle Style = BrushStyle::Solid;
};

// Flags of DrawText, with the numbers stored text formats use.
inline constexpr std::uint32_t DrawTextLeft = 0x0000;
inline constexpr std::uint32_t DrawTextCenter = 0x0001;
inline constexpr std::uint32_t DrawTextRight = 0x0002;
inline constexpr std::uint32_t DrawTextVCenter = 0x0004;     // single line only
inline constexpr std::uint32_t DrawTextBottom = 0x0008;      // single line only
inline constexpr std::uint32_t DrawTextWordBreak = 0x0010;
inline constexpr std::uint32_t DrawTextSingleLine = 0x0020;
inline constexpr std::uint32_t DrawTextExpandTabs = 0x0040;
inline constexpr std::uint32_t DrawTextNoClip = 0x0100;
inline constexpr std::uint32_t DrawTextCalcRect = 0x0400;
inline constexpr std::uint32_t DrawTextNoPrefix = 0x0800;

class Canvas {
public:
  // Throws std::runtime_error when Cairo cannot use the memory.
  explicit Canvas(const PixelView& Pixels);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  const PixelView& Pixels() const { return Pixels_; }

  platform::Brush Brush;
  TFont Font;

  // Drawing is limited to the clip rectangle (the whole pixel area unless set).
  TRect ClipRect() const { return Clip_; }
  void SetClipRect(const TRect& Clip);

  // Fills R with the brush colour (nothing for a clear brush). Left and top
  // are inside, right and bottom outside; edges are not smoothed.
  void FillRect(const TRect& R);

  // Draws 8-bit (Windows-1252) text into R, formatted by the DrawText*
  // flags, in Font and its colour:
  //  - lines break at CR, LF and CR LF unless DrawTextSingleLine;
  //  - with DrawTextWordBreak lines also wrap at blanks to fit R's width, a
  //    word wider than the line is broken inside it; the blanks at a wrap are
  //    not drawn;
  //  - without DrawTextNoPrefix "&x" underlines x and "&&" draws one "&";
  //  - each line is aligned left, right or centred in R; lines advance by
  //    the font's ascent plus descent;
  //  - drawing is clipped to R unless DrawTextNoClip;
  //  - with a solid brush each line's extent is filled first;
  //  - DrawTextCalcRect only measures: R keeps Left and Top, Right and
  //    Bottom become the extent of the text.
  // Returns the height of the text.
  std::int32_t DrawText(std::string_view Text, TRect& R, std::uint32_t Flags);

  // Width and height of one line of 8-bit text in Font (no line breaks, no
  // prefix processing).
  TPoint TextExtent(std::string_view Text);
  std::int32_t TextWidth(std::string_view Text) { return TextExtent(Text).X; }
  std::int32_t TextHeight(std::string_view Text) { return TextExtent(Text).Y; }

  // Draws Picture stretched into R: a raster picture bilinear (blended by its
  // alpha when it has transparent pixels), a vector picture rendered at R's
  // size.
  void StretchDraw(const TRect& R, const Picture& Picture);

  // The Cairo context over the pixels, clipped to ClipRect; for drawing the
  // canvas has no operation of its own for. Call MarkDirty() after writing
  // to the pixels directly while the canvas is in use.
  cairo_t* Cairo();
  void MarkDirty();

private:
  void Flush();

  PixelView Pixels_;
  TRect Clip_;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> Surface_;
  std::unique_ptr<cairo_t, void (*)(cairo_t*)> Context_;
};

// Loads the faces the shows use (the Liberation faces behind Arial, Times New
// Roman and Courier New, and the sans fallback) and draws a sample with each,
// so that the first text of a show does not pay for font loading and the
// first glyph renders. Call once at start-up; later calls do nothing.
void WarmUpFonts();

}  // namespace platform
