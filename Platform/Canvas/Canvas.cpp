#include "Platform/Canvas/Canvas.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Canvas/Stretch.h"
#include "Platform/Canvas/SystemColors.h"
#include "Platform/Canvas/TextLayout.h"
#include "Platform/Core/Cp1252.h"
#include "Platform/Pictures/Picture.h"

namespace platform {
namespace {

// An opaque pixel of a platform colour value.
TColor32 PixelOf(TColor Color) {
  const TColor Rgb = ResolveColor(Color);
  return 0xFF000000u | ((Rgb & 0xFFu) << 16) | (Rgb & 0xFF00u) | ((Rgb >> 16) & 0xFFu);
}

void SetSource(cairo_t* Cr, TColor Color) {
  const TColor Rgb = ResolveColor(Color);
  cairo_set_source_rgb(Cr, (Rgb & 0xFF) / 255.0, ((Rgb >> 8) & 0xFF) / 255.0, ((Rgb >> 16) & 0xFF) / 255.0);
}

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out.push_back(static_cast<char>(C));
  } else if (C < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (C >> 6)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xE0 | (C >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  }
}

// Decodes 8-bit text and, unless NoPrefix, takes out the ampersands: "&x"
// marks x for underlining, "&&" stands for one "&", a final "&" is dropped.
std::string DecodeText(std::string_view Text, bool NoPrefix, std::vector<std::size_t>& Underlined) {
  std::string Out;
  Out.reserve(Text.size() + Text.size() / 4);
  for (std::size_t I = 0; I < Text.size(); ++I) {
    unsigned char C = static_cast<unsigned char>(Text[I]);
    if (!NoPrefix && C == '&') {
      if (I + 1 >= Text.size()) break;
      C = static_cast<unsigned char>(Text[++I]);
      if (C != '&') Underlined.push_back(Out.size());
    }
    AppendUtf8(Out, Cp1252ToCodePoint(C));
  }
  return Out;
}

// Straight-alpha "over" for pictures with transparent pixels.
TColor32 Over(TColor32 F, TColor32 B) {
  const std::uint32_t A = F >> 24;
  if (A == 255) return F;
  if (A == 0) return B;
  const std::uint32_t Ia = 255 - A;
  TColor32 R = 0;
  for (int C = 0; C < 3; ++C) {
    const std::uint32_t V = (((F >> (8 * C)) & 0xFF) * A + ((B >> (8 * C)) & 0xFF) * Ia + 127) / 255;
    R |= V << (8 * C);
  }
  const std::uint32_t Ra = A + ((B >> 24) * Ia + 127) / 255;
  return R | (Ra << 24);
}

}  // namespace

Canvas::Canvas(const PixelView& Pixels)
    : Pixels_(Pixels), Clip_{0, 0, Pixels.Width, Pixels.Height}, Surface_(nullptr, cairo_surface_destroy),
      Context_(nullptr, cairo_destroy) {
  if (!Pixels.Bits || Pixels.Width <= 0 || Pixels.Height <= 0) throw std::runtime_error("Canvas ohne Pixel");
  Surface_.reset(cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(Pixels.Bits),
                                                     CAIRO_FORMAT_ARGB32, Pixels.Width, Pixels.Height,
                                                     Pixels.Stride * 4));
  if (cairo_surface_status(Surface_.get()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("Canvas: Cairo-Fläche nicht möglich");
  Context_.reset(cairo_create(Surface_.get()));
  if (cairo_status(Context_.get()) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("Canvas: Cairo-Kontext nicht möglich");
}

Canvas::~Canvas() {
  if (Surface_) cairo_surface_flush(Surface_.get());
}

void Canvas::SetClipRect(const TRect& Clip) {
  Clip_ = IntersectRect(Clip, TRect{0, 0, Pixels_.Width, Pixels_.Height});
  cairo_reset_clip(Context_.get());
  cairo_rectangle(Context_.get(), Clip_.Left, Clip_.Top, Clip_.Width(), Clip_.Height());
  cairo_clip(Context_.get());
}

cairo_t* Canvas::Cairo() { return Context_.get(); }
void Canvas::MarkDirty() { cairo_surface_mark_dirty(Surface_.get()); }
void Canvas::Flush() { cairo_surface_flush(Surface_.get()); }

void Canvas::FillRect(const TRect& R) {
  if (Brush.Style == BrushStyle::Clear) return;
  const TRect Area = IntersectRect(R, Clip_);
  if (Area.IsEmpty()) return;
  Flush();
  const TColor32 P = PixelOf(Brush.Color);
  for (std::int32_t Y = Area.Top; Y < Area.Bottom; ++Y) std::fill_n(Pixels_.Row(Y) + Area.Left, Area.Width(), P);
  MarkDirty();
}

std::int32_t Canvas::DrawText(std::string_view Text, TRect& R, std::uint32_t Flags) {
  text::LayoutRequest Request;
  Request.Font = text::KeyOf(Font);
  Request.Text = DecodeText(Text, (Flags & DrawTextNoPrefix) != 0, Request.Underlined);
  Request.WordBreak = (Flags & DrawTextWordBreak) != 0;
  Request.SingleLine = (Flags & DrawTextSingleLine) != 0;
  Request.ExpandTabs = (Flags & DrawTextExpandTabs) != 0;
  Request.MaxWidth = R.Width();
  const text::Layout L = text::LayoutText(Request);
  const std::int32_t LineHeight = L.Metrics().LineHeight;
  const std::int32_t Height = L.Height();
  if (Flags & DrawTextCalcRect) {
    R.Right = R.Left + L.Width();
    R.Bottom = R.Top + Height;
    return Height;
  }
  std::int32_t Top = R.Top;
  if (Request.SingleLine) {
    if (Flags & DrawTextBottom)
      Top = R.Bottom - LineHeight;
    else if (Flags & DrawTextVCenter)
      Top = R.Top + (R.Height() - LineHeight) / 2;
  }
  cairo_t* Cr = Context_.get();
  cairo_save(Cr);
  if (!(Flags & DrawTextNoClip)) {
    cairo_rectangle(Cr, R.Left, R.Top, R.Width(), R.Height());
    cairo_clip(Cr);
  }
  for (std::int32_t Line = 0; Line < L.LineCount(); ++Line) {
    const std::int32_t W = L.LineWidth(Line);
    std::int32_t X = R.Left;
    if (Flags & DrawTextRight)
      X = R.Right - W;
    else if (Flags & DrawTextCenter)
      X = R.Left + (R.Width() - W) / 2;
    const std::int32_t Y = Top + Line * LineHeight;
    if (Brush.Style == BrushStyle::Solid && W > 0) {
      cairo_save(Cr);
      cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE);
      SetSource(Cr, Brush.Color);
      cairo_rectangle(Cr, X, Y, W, LineHeight);
      cairo_fill(Cr);
      cairo_restore(Cr);
    }
    SetSource(Cr, Font.Color());
    L.DrawLine(Cr, Line, X, Y);
  }
  cairo_restore(Cr);
  Flush();
  return Top - R.Top + Height;
}

TPoint Canvas::TextExtent(std::string_view Text) {
  text::LayoutRequest Request;
  Request.Font = text::KeyOf(Font);
  Request.Text = DecodeText(Text, true, Request.Underlined);
  Request.SingleLine = true;
  const text::Layout L = text::LayoutText(Request);
  return TPoint{L.Width(), L.Metrics().LineHeight};
}

void Canvas::StretchDraw(const TRect& R, const Picture& Picture) {
  if (R.IsEmpty()) return;
  const TRect Area = IntersectRect(R, Clip_);
  if (Area.IsEmpty()) return;
  if (const RasterImage* Image = Picture.Raster()) {
    if (Image->Width <= 0 || Image->Height <= 0) return;
    Flush();
    const SourcePixels Src{Image->Pixels.data(), Image->Width, Image->Height, Image->Width};
    const StretchGeometry G{TRect{0, 0, Image->Width, Image->Height}, R, Area, EdgeMode::Clamp};
    if (!Image->HasAlpha) {
      StretchBilinearInto(Src, G, Pixels_);
    } else {
      StretchBilinear(Src, G, [this](std::int32_t X, std::int32_t Y, const TColor32* Row, std::int32_t N) {
        TColor32* D = Pixels_.Row(Y) + X;
        for (std::int32_t I = 0; I < N; ++I) D[I] = Over(Row[I], D[I]);
      });
    }
    MarkDirty();
    return;
  }
  cairo_t* Cr = Context_.get();
  cairo_save(Cr);
  cairo_rectangle(Cr, Area.Left, Area.Top, Area.Width(), Area.Height());
  cairo_clip(Cr);
  Picture.Render(Cr, R.Left, R.Top, R.Width(), R.Height());
  cairo_restore(Cr);
  Flush();
}

void WarmUpFonts() { text::WarmUp(); }

}  // namespace platform
