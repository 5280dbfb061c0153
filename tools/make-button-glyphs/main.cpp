// Writes the player's six navigation button pictures, 39 x 49 pixels each,
// as two strips of six (234 x 49, transparent background): the normal
// pictures and the hot ones shown while the pointer is over a button.
// Order: large left arrow (previous slide), small left arrow (previous
// object), square (pause), small right arrow (next object), large right
// arrow (next slide), door (exit).
//
// Usage: make-button-glyphs NORMAL.png HOT.png

#include <cairo.h>

#include <cstdio>
#include <memory>
#include <numbers>
#include <string>

namespace {

constexpr int kGlyphW = 39;
constexpr int kGlyphH = 49;
constexpr int kCount = 6;

struct SurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextFree {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

struct Style {
  double r, g, b;  // the symbol
  double lr, lg, lb;  // its lighter top edge and the door knob
};

// An arrow pointing left with its tip at x = 0, height 1, length 1; the
// caller scales and mirrors it.
void LeftArrowPath(cairo_t* cr) {
  cairo_move_to(cr, 0, 0.5);
  cairo_line_to(cr, 0.5, 0.0);
  cairo_line_to(cr, 0.5, 0.31);
  cairo_line_to(cr, 1.0, 0.31);
  cairo_line_to(cr, 1.0, 0.69);
  cairo_line_to(cr, 0.5, 0.69);
  cairo_line_to(cr, 0.5, 1.0);
  cairo_close_path(cr);
}

void FillSymbol(cairo_t* cr, const Style& s) {
  cairo_set_source_rgb(cr, s.r, s.g, s.b);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 1.0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_source_rgba(cr, s.r * 0.7, s.g * 0.7, s.b * 0.7, 1);
  cairo_stroke(cr);
}

void Arrow(cairo_t* cr, const Style& s, double size, bool pointsRight) {
  cairo_save(cr);
  cairo_translate(cr, kGlyphW / 2.0, kGlyphH / 2.0);
  if (pointsRight) cairo_scale(cr, -1, 1);
  cairo_translate(cr, -size / 2, -size / 2);
  cairo_scale(cr, size, size);
  LeftArrowPath(cr);
  cairo_restore(cr);  // stroke in pixels, not in the scaled units
  FillSymbol(cr, s);
}

void Square(cairo_t* cr, const Style& s) {
  const double side = 17, x = (kGlyphW - side) / 2, y = (kGlyphH - side) / 2, r = 2.5;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + side - r, y + r, r, -std::numbers::pi / 2, 0);
  cairo_arc(cr, x + side - r, y + side - r, r, 0, std::numbers::pi / 2);
  cairo_arc(cr, x + r, y + side - r, r, std::numbers::pi / 2, std::numbers::pi);
  cairo_arc(cr, x + r, y + r, r, std::numbers::pi, 1.5 * std::numbers::pi);
  cairo_close_path(cr);
  FillSymbol(cr, s);
}

// An open door: the frame, the leaf swung towards the viewer, its knob.
void Door(cairo_t* cr, const Style& s) {
  cairo_set_line_width(cr, 2.5);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
  cairo_set_source_rgb(cr, s.r, s.g, s.b);
  cairo_move_to(cr, 11.5, 41);
  cairo_line_to(cr, 11.5, 9.5);
  cairo_line_to(cr, 28.5, 9.5);
  cairo_line_to(cr, 28.5, 41);
  cairo_stroke(cr);
  cairo_move_to(cr, 7, 41.25);
  cairo_line_to(cr, 33, 41.25);
  cairo_stroke(cr);
  cairo_move_to(cr, 12.5, 10.5);
  cairo_line_to(cr, 22, 14);
  cairo_line_to(cr, 22, 44.5);
  cairo_line_to(cr, 12.5, 40);
  cairo_close_path(cr);
  FillSymbol(cr, s);
  cairo_set_source_rgb(cr, s.lr, s.lg, s.lb);
  cairo_arc(cr, 19.5, 28.5, 1.6, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
}

bool WriteStrip(const std::string& path, const Style& style) {
  std::unique_ptr<cairo_surface_t, SurfaceFree> surface(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kGlyphW * kCount, kGlyphH));
  std::unique_ptr<cairo_t, ContextFree> context(cairo_create(surface.get()));
  cairo_t* cr = context.get();
  for (int i = 0; i < kCount; ++i) {
    cairo_save(cr);
    cairo_translate(cr, i * kGlyphW, 0);
    cairo_rectangle(cr, 0, 0, kGlyphW, kGlyphH);
    cairo_clip(cr);
    switch (i) {
      case 0: Arrow(cr, style, 29, false); break;
      case 1: Arrow(cr, style, 19, false); break;
      case 2: Square(cr, style); break;
      case 3: Arrow(cr, style, 19, true); break;
      case 4: Arrow(cr, style, 29, true); break;
      default: Door(cr, style); break;
    }
    cairo_restore(cr);
  }
  return cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s NORMAL.png HOT.png\n", argv[0]);
    return 2;
  }
  const Style normal{0.22, 0.26, 0.33, 0.85, 0.88, 0.92};
  const Style hot{0.10, 0.45, 0.86, 0.92, 0.96, 1.0};
  if (!WriteStrip(argv[1], normal) || !WriteStrip(argv[2], hot)) {
    std::fprintf(stderr, "make-button-glyphs: cannot write the pictures\n");
    return 1;
  }
  return 0;
}
