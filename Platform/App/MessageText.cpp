// Kept apart so the message panel's text can move onto the canvas library's
// text drawing without touching the panel.
#include "Platform/App/MessageText.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <memory>

#include "Platform/Core/Cp1252.h"

namespace platform {
namespace {

struct CairoSurfaceFree {
  void operator()(cairo_surface_t* S) const { cairo_surface_destroy(S); }
};
struct CairoFree {
  void operator()(cairo_t* C) const { cairo_destroy(C); }
};
struct GObjectFree {
  void operator()(void* O) const { g_object_unref(O); }
};
struct FontDescriptionFree {
  void operator()(PangoFontDescription* D) const { pango_font_description_free(D); }
};

std::string AsUtf8(const std::string& Text) {
  return g_utf8_validate(Text.data(), static_cast<gssize>(Text.size()), nullptr) ? Text : Cp1252ToUtf8(Text);
}

// Lays out the title (bold) and the text in one paragraph set.
std::unique_ptr<PangoLayout, GObjectFree> MakeLayout(cairo_t* Cr, const std::string& Title, const std::string& Text,
                                                     std::int32_t Width) {
  std::unique_ptr<PangoLayout, GObjectFree> Layout(pango_cairo_create_layout(Cr));
  std::unique_ptr<PangoFontDescription, FontDescriptionFree> Font(pango_font_description_from_string("Sans 11px"));
  pango_font_description_set_absolute_size(Font.get(), 14 * PANGO_SCALE);
  pango_layout_set_font_description(Layout.get(), Font.get());
  pango_layout_set_width(Layout.get(), std::max(1, Width) * PANGO_SCALE);
  pango_layout_set_wrap(Layout.get(), PANGO_WRAP_WORD_CHAR);
  const std::string T = AsUtf8(Title), M = AsUtf8(Text);
  gchar* Markup = g_markup_printf_escaped("<b>%s</b>\n%s", T.c_str(), M.c_str());
  pango_layout_set_markup(Layout.get(), Markup, -1);
  g_free(Markup);
  return Layout;
}

}  // namespace

std::int32_t MeasureMessageText(const std::string& Title, const std::string& Text, std::int32_t Width) {
  std::unique_ptr<cairo_surface_t, CairoSurfaceFree> Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
  std::unique_ptr<cairo_t, CairoFree> Cr(cairo_create(Surface.get()));
  auto Layout = MakeLayout(Cr.get(), Title, Text, Width);
  int W = 0, H = 0;
  pango_layout_get_pixel_size(Layout.get(), &W, &H);
  return H;
}

void DrawMessageText(const PixelView& Screen, const TRect& Area, const TRect& Clip, const std::string& Title,
                     const std::string& Text) {
  const TRect R = IntersectRect(IntersectRect(Area, Clip), TRect{0, 0, Screen.Width, Screen.Height});
  if (R.IsEmpty() || !Screen.Bits) return;
  // The screen's pixels are opaque 0xAARRGGBB: the byte order of Cairo's ARGB32.
  std::unique_ptr<cairo_surface_t, CairoSurfaceFree> Surface(cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(Screen.Bits), CAIRO_FORMAT_ARGB32, Screen.Width, Screen.Height,
      Screen.Stride * static_cast<int>(sizeof(TColor32))));
  std::unique_ptr<cairo_t, CairoFree> Cr(cairo_create(Surface.get()));
  cairo_rectangle(Cr.get(), R.Left, R.Top, R.Width(), R.Height());
  cairo_clip(Cr.get());
  auto Layout = MakeLayout(Cr.get(), Title, Text, Area.Width());
  cairo_set_source_rgb(Cr.get(), 0, 0, 0);
  cairo_move_to(Cr.get(), Area.Left, Area.Top);
  pango_cairo_show_layout(Cr.get(), Layout.get());
  cairo_surface_flush(Surface.get());
}

}  // namespace platform
