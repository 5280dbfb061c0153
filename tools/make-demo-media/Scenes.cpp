#include "tools/make-demo-media/Scenes.h"

#include "tools/common/Noise.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace datagen {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

struct Colour {
  double r, g, b;
};
Colour operator+(Colour a, Colour b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
Colour operator*(Colour a, double k) { return {a.r * k, a.g * k, a.b * k}; }
Colour Mix(Colour a, Colour b, double t) { return a * (1 - t) + b * t; }

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double SmoothStep(double e0, double e1, double v) {
  const double t = Clamp01((v - e0) / (e1 - e0));
  return t * t * (3 - 2 * t);
}

// Piecewise linear gradient through (position, colour) stops.
Colour Gradient(const std::vector<std::pair<double, Colour>>& stops, double t) {
  if (t <= stops.front().first) return stops.front().second;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].first) {
      const double u = (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
      return Mix(stops[i - 1].second, stops[i].second, u);
    }
  }
  return stops.back().second;
}

void Put(RgbImage& image, int x, int y, Colour c) {
  std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * image.width + x) * 3];
  p[0] = static_cast<std::uint8_t>(std::lround(Clamp01(c.r) * 255));
  p[1] = static_cast<std::uint8_t>(std::lround(Clamp01(c.g) * 255));
  p[2] = static_cast<std::uint8_t>(std::lround(Clamp01(c.b) * 255));
}

RgbImage Blank(int width, int height) {
  return RgbImage{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
}

// ---- Cairo helpers ---------------------------------------------------------

struct SurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextFree {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternFree {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceFree>;
using Context = std::unique_ptr<cairo_t, ContextFree>;
using Pattern = std::unique_ptr<cairo_pattern_t, PatternFree>;

struct Canvas {
  Surface surface;
  Context cr;
  Canvas(int width, int height)
      : surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
        cr(cairo_create(surface.get())) {}
  cairo_t* operator*() const { return cr.get(); }

  RgbImage ToImage() {
    cairo_surface_flush(surface.get());
    const int width = cairo_image_surface_get_width(surface.get());
    const int height = cairo_image_surface_get_height(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    RgbImage image = Blank(width, height);
    for (int y = 0; y < height; ++y) {
      const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
      for (int x = 0; x < width; ++x) {
        std::uint8_t* p = &image.pixels[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = static_cast<std::uint8_t>(row[x] >> 16);
        p[1] = static_cast<std::uint8_t>(row[x] >> 8);
        p[2] = static_cast<std::uint8_t>(row[x]);
      }
    }
    return image;
  }
};

void SetColour(cairo_t* cr, Colour c, double alpha = 1) { cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha); }

Colour Hex(std::uint32_t rgb) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}

}  // namespace

// ---- Sunset over a lake ----------------------------------------------------

RgbImage DrawSunsetLake(int width, int height) {
  const double W = width, H = height;
  const double horizon = 0.62 * H;
  const double sunX = 0.64 * W, sunY = horizon - 0.25 * H, sunR = 0.038 * H;
  const std::vector<std::pair<double, Colour>> skyStops = {
      {0.0, {0.08, 0.11, 0.30}}, {0.42, {0.38, 0.27, 0.52}}, {0.72, {0.90, 0.47, 0.38}},
      {0.92, {1.00, 0.70, 0.45}}, {1.0, {1.00, 0.84, 0.60}}};

  // Mountain ridges, far to near: height above the horizon per column.
  struct Layer {
    double base, amplitude, frequency;
    std::uint32_t seed;
    Colour colour;
    double haze;
  };
  const Layer layers[] = {{0.07, 0.19, 2.2, 3, {0.50, 0.34, 0.50}, 0.55},
                          {0.035, 0.13, 4.0, 5, {0.30, 0.20, 0.36}, 0.30},
                          {0.0, 0.07, 7.5, 9, {0.13, 0.09, 0.18}, 0.08}};
  std::vector<std::vector<double>> ridges(3, std::vector<double>(static_cast<std::size_t>(width)));
  for (int i = 0; i < 3; ++i) {
    for (int x = 0; x < width; ++x) {
      const double n = FractalNoise(x / W * layers[i].frequency, 0.5 + i * 7.0, 6, layers[i].seed);
      const double ridged = 1 - std::fabs(2 * n - 1);  // sharp crests
      ridges[i][static_cast<std::size_t>(x)] =
          horizon - H * (layers[i].base + layers[i].amplitude * (0.35 * n + 0.65 * ridged * ridged));
    }
  }

  auto sky = [&](double x, double y, bool withDisc) {
    const double t = y / horizon;
    Colour c = Gradient(skyStops, t);
    const double d = std::hypot(x - sunX, y - sunY);
    c = c + Colour{1.0, 0.78, 0.50} * (0.50 * std::exp(-d / (0.20 * H)) + 0.30 * std::exp(-d / (0.05 * H)));
    // Clouds: long horizontal streaks, lit orange from below near the horizon.
    const double n = FractalNoise(x / W * 3.2, y / H * 13, 5, 21);
    const double band = SmoothStep(0.08, 0.25, t) * (1 - SmoothStep(0.70, 0.90, t));
    const double density = SmoothStep(0.50, 0.70, n) * band;
    const Colour cloud = Mix(Colour{0.30, 0.20, 0.34}, Colour{1.0, 0.60, 0.46}, SmoothStep(0.2, 0.85, t)) +
                         Colour{0.5, 0.3, 0.15} * std::exp(-d / (0.25 * H));
    c = Mix(c, cloud, density * 0.85);
    // The sun's disc, anti-aliased, in front of the clouds' far edge.
    if (withDisc) c = Mix(c, Colour{1.0, 0.96, 0.84}, Clamp01(sunR - d + 0.5));
    return c;
  };
  auto above = [&](double x, double y, bool withDisc) {
    Colour c = sky(x, y, withDisc);
    const std::size_t column = static_cast<std::size_t>(std::clamp(x, 0.0, W - 1));
    for (int i = 0; i < 3; ++i) {
      const double cover = Clamp01(y - ridges[i][column] + 0.5);
      if (cover <= 0) continue;
      // Lighter at the crest, hazy towards the horizon.
      const double depth = Clamp01((y - ridges[i][column]) / (horizon - ridges[i][column] + 1));
      Colour rock = Mix(layers[i].colour * 1.25, layers[i].colour, SmoothStep(0, 0.3, depth));
      rock = Mix(rock, Gradient(skyStops, 0.95), layers[i].haze * (0.6 + 0.4 * depth));
      c = Mix(c, rock, cover);
    }
    return c;
  };

  RgbImage image = Blank(width, height);
  SeededRandom grain(77);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Colour c;
      if (y < horizon) {
        c = above(x, y, true);
      } else {
        // Water: the mirrored scene, broken by ripples that grow towards the viewer.
        const double depth = (y - horizon) / (H - horizon);
        const double wave = FractalNoise(x / W * 6, (y - horizon) / H * 60, 3, 31) - 0.5;
        const double dx = wave * (4 + 60 * depth);
        const double dy = wave * (2 + 22 * depth);
        const double my = std::clamp(2 * horizon - y + dy, 0.0, horizon - 1);
        c = above(x + dx, my, false);
        const double streak = FractalNoise(x / W * 1.5, (y - horizon) / H * 90, 2, 47);
        c = Mix(c * 0.78, Colour{0.10, 0.10, 0.22}, 0.25 + 0.35 * depth) * (0.9 + 0.25 * streak);
        // The sun's glitter path: broken bright streaks widening towards the viewer.
        const double spread = (x + dx * 0.5 - sunX) / (0.012 * W + 0.10 * W * depth);
        const double sparkle = FractalNoise(x / W * 40, (y - horizon) / H * 160, 2, 59);
        c = c + Colour{1.0, 0.78, 0.50} * (std::exp(-spread * spread) * SmoothStep(0.45, 0.8, sparkle) * 0.8);
      }
      // Shore at the bottom left with a few fir trees.
      const double shore = H * (0.90 - 0.10 * SmoothStep(0.45 * W, 0.0, x) +
                                0.02 * FractalNoise(x / W * 12, 1.5, 3, 53));
      double land = Clamp01(y - shore + 0.5);
      const double trees[][3] = {{0.06, 0.60, 0.022}, {0.11, 0.68, 0.018}, {0.15, 0.72, 0.015},
                                 {0.03, 0.66, 0.016}};
      for (const auto& tree : trees) {
        const double tx = tree[0] * W, top = tree[1] * H, half = tree[2] * W;
        if (y < top || y > shore + 4) continue;
        const double along = (y - top) / (shore - top);
        const double jag = 0.75 + 0.25 * std::fabs(std::sin((y - top) * 0.12));
        const double halfWidth = half * along * jag + 1.5;
        land = std::max(land, Clamp01(halfWidth - std::fabs(x - tx) + 0.5));
      }
      c = Mix(c, Colour{0.05, 0.04, 0.07}, land);
      const double noise = (grain.Uniform() - 0.5) * (3.0 / 255);
      Put(image, x, y, c + Colour{noise, noise, noise});
    }
  }
  return image;
}

// ---- Bokeh lights ----------------------------------------------------------

RgbImage DrawBokeh(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = *canvas;
  Pattern background(cairo_pattern_create_linear(0, 0, width, height));
  cairo_pattern_add_color_stop_rgb(background.get(), 0, 0.04, 0.12, 0.24);
  cairo_pattern_add_color_stop_rgb(background.get(), 0.55, 0.20, 0.10, 0.32);
  cairo_pattern_add_color_stop_rgb(background.get(), 1, 0.42, 0.12, 0.28);
  cairo_set_source(cr, background.get());
  cairo_paint(cr);
  Pattern glow(cairo_pattern_create_radial(0.6 * width, 0.45 * height, 0, 0.6 * width, 0.45 * height,
                                           0.7 * width));
  cairo_pattern_add_color_stop_rgba(glow.get(), 0, 1.0, 0.65, 0.35, 0.35);
  cairo_pattern_add_color_stop_rgba(glow.get(), 1, 1.0, 0.65, 0.35, 0.0);
  cairo_set_source(cr, glow.get());
  cairo_paint(cr);

  const Colour palette[] = {Hex(0xFFC46B), Hex(0xFF7FA8), Hex(0x7FE0D8), Hex(0xFFF1D6), Hex(0xB79CFF)};
  SeededRandom random(5);
  for (int i = 0; i < 85; ++i) {
    const double x = random.Uniform(-0.05, 1.05) * width, y = random.Uniform(-0.05, 1.05) * height;
    const double r = std::pow(random.Uniform(), 1.8) * 0.085 * width + 0.01 * width;
    const Colour c = palette[random.Next() % 5];
    const double alpha = random.Uniform(0.10, 0.38) * (r < 0.03 * width ? 1.6 : 1.0);
    Pattern disc(cairo_pattern_create_radial(x - 0.2 * r, y - 0.2 * r, 0, x, y, r));
    cairo_pattern_add_color_stop_rgba(disc.get(), 0.0, c.r, c.g, c.b, alpha * 0.75);
    cairo_pattern_add_color_stop_rgba(disc.get(), 0.85, c.r, c.g, c.b, alpha);
    cairo_pattern_add_color_stop_rgba(disc.get(), 0.95, c.r, c.g, c.b, alpha * 1.15);
    cairo_pattern_add_color_stop_rgba(disc.get(), 1.0, c.r, c.g, c.b, 0);
    cairo_set_source(cr, disc.get());
    cairo_arc(cr, x, y, r, 0, kTwoPi);
    cairo_fill(cr);
  }
  return canvas.ToImage();
}

// ---- Geometric poster ------------------------------------------------------

RgbImage DrawGeometricPoster(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = *canvas;
  // Hard edges keep the picture to its eight colours.
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  const double W = width, H = height;
  const Colour cream = Hex(0xF3EBDA), red = Hex(0xD7402B), blue = Hex(0x1F4E8C), yellow = Hex(0xF2B630),
               black = Hex(0x1B1B1E), teal = Hex(0x2A9D8F), pink = Hex(0xE9A6A0), grey = Hex(0xC9BFAE);
  SetColour(cr, cream);
  cairo_paint(cr);

  SetColour(cr, grey);  // dotted field top left
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 14; ++col) {
      cairo_arc(cr, 0.05 * W + col * 0.026 * W, 0.08 * H + row * 0.042 * H, 0.0045 * W, 0, kTwoPi);
      cairo_fill(cr);
    }
  SetColour(cr, blue);  // quarter circle bottom left
  cairo_move_to(cr, 0, H);
  cairo_arc(cr, 0, H, 0.42 * H, -std::numbers::pi / 2, 0);
  cairo_close_path(cr);
  cairo_fill(cr);
  SetColour(cr, red);  // the big sun
  cairo_arc(cr, 0.60 * W, 0.42 * H, 0.27 * H, 0, kTwoPi);
  cairo_fill(cr);
  SetColour(cr, yellow);  // triangle crossing the sun
  cairo_move_to(cr, 0.40 * W, 0.92 * H);
  cairo_line_to(cr, 0.66 * W, 0.30 * H);
  cairo_line_to(cr, 0.86 * W, 0.92 * H);
  cairo_close_path(cr);
  cairo_fill(cr);
  SetColour(cr, teal);  // half circle resting on the baseline
  cairo_arc(cr, 0.86 * W, 0.92 * H, 0.12 * H, std::numbers::pi, kTwoPi);
  cairo_fill(cr);
  SetColour(cr, pink);
  cairo_rectangle(cr, 0.14 * W, 0.52 * H, 0.16 * W, 0.16 * W);
  cairo_fill(cr);
  SetColour(cr, black);  // bars and lines
  cairo_rectangle(cr, 0.04 * W, 0.92 * H, 0.92 * W, 0.012 * H);
  cairo_fill(cr);
  cairo_rectangle(cr, 0.33 * W, 0.06 * H, 0.012 * W, 0.86 * H);
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.004 * W);
  for (int i = 0; i < 6; ++i) {
    cairo_move_to(cr, 0.80 * W + i * 0.022 * W, 0.06 * H);
    cairo_line_to(cr, 0.80 * W + i * 0.022 * W, 0.26 * H);
  }
  cairo_stroke(cr);
  SetColour(cr, blue);
  cairo_arc(cr, 0.22 * W, 0.60 * H, 0.05 * H, 0, kTwoPi);
  cairo_fill(cr);
  SetColour(cr, cream);  // ring cut into the sun
  cairo_set_line_width(cr, 0.012 * H);
  cairo_arc(cr, 0.60 * W, 0.42 * H, 0.19 * H, 0, kTwoPi);
  cairo_stroke(cr);
  return canvas.ToImage();
}

// ---- Rolling hills ---------------------------------------------------------

namespace {

// A closed hill shape: a smooth curve across the picture, filled downward.
void HillPath(cairo_t* cr, double width, double height, double baseY, double amplitude, double phase,
              double waves) {
  cairo_move_to(cr, 0, height);
  const int segments = 48;
  for (int i = 0; i <= segments; ++i) {
    const double x = width * i / segments;
    const double u = static_cast<double>(i) / segments;
    const double y = baseY - amplitude * (0.6 * std::sin(kTwoPi * (u * waves + phase)) +
                                          0.4 * std::sin(kTwoPi * (u * waves * 2.3 + phase * 1.7)));
    cairo_line_to(cr, x, y);
  }
  cairo_line_to(cr, width, height);
  cairo_close_path(cr);
}

void RoundTree(cairo_t* cr, double x, double groundY, double size, Colour leaves) {
  SetColour(cr, Hex(0x6B4A2F));
  cairo_rectangle(cr, x - size * 0.08, groundY - size * 0.9, size * 0.16, size * 0.9);
  cairo_fill(cr);
  SetColour(cr, leaves);
  cairo_arc(cr, x, groundY - size * 1.1, size * 0.45, 0, kTwoPi);
  cairo_fill(cr);
  SetColour(cr, leaves * 1.18);
  cairo_arc(cr, x - size * 0.12, groundY - size * 1.22, size * 0.2, 0, kTwoPi);
  cairo_fill(cr);
}

void FirTree(cairo_t* cr, double x, double groundY, double size, Colour needles) {
  SetColour(cr, Hex(0x5A3D27));
  cairo_rectangle(cr, x - size * 0.05, groundY - size * 0.3, size * 0.1, size * 0.3);
  cairo_fill(cr);
  SetColour(cr, needles);
  for (int tier = 0; tier < 3; ++tier) {
    const double base = groundY - size * (0.25 + tier * 0.3), half = size * (0.32 - tier * 0.07);
    cairo_move_to(cr, x - half, base);
    cairo_line_to(cr, x, base - size * 0.5);
    cairo_line_to(cr, x + half, base);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

}  // namespace

RgbImage DrawHills(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = *canvas;
  const double W = width, H = height;
  Pattern sky(cairo_pattern_create_linear(0, 0, 0, 0.7 * H));
  cairo_pattern_add_color_stop_rgb(sky.get(), 0, 0.42, 0.70, 0.93);
  cairo_pattern_add_color_stop_rgb(sky.get(), 1, 0.86, 0.94, 0.98);
  cairo_set_source(cr, sky.get());
  cairo_paint(cr);

  // Sun with short rays.
  SetColour(cr, Hex(0xFFD84A));
  cairo_arc(cr, 0.80 * W, 0.20 * H, 0.065 * H, 0, kTwoPi);
  cairo_fill(cr);
  cairo_set_line_width(cr, 0.008 * H);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < 12; ++i) {
    const double a = kTwoPi * i / 12;
    cairo_move_to(cr, 0.80 * W + std::cos(a) * 0.09 * H, 0.20 * H + std::sin(a) * 0.09 * H);
    cairo_line_to(cr, 0.80 * W + std::cos(a) * 0.12 * H, 0.20 * H + std::sin(a) * 0.12 * H);
  }
  cairo_stroke(cr);

  // Clouds of overlapping circles.
  SetColour(cr, Hex(0xFFFFFF), 0.92);
  const double clouds[][3] = {{0.18, 0.17, 1.0}, {0.46, 0.11, 0.8}, {0.62, 0.28, 0.6}};
  for (const auto& cloud : clouds) {
    const double cx = cloud[0] * W, cy = cloud[1] * H, s = cloud[2] * 0.05 * H;
    const double puffs[][3] = {{-1.6, 0.3, 0.9}, {-0.6, -0.3, 1.2}, {0.6, -0.1, 1.0}, {1.5, 0.3, 0.8},
                               {0, 0.4, 1.0}};
    cairo_new_path(cr);
    for (const auto& puff : puffs) {
      cairo_new_sub_path(cr);
      cairo_arc(cr, cx + puff[0] * s * 1.4, cy + puff[1] * s, puff[2] * s * 1.3, 0, kTwoPi);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_fill(cr);
  }

  // Hills, far to near.
  const Colour hills[] = {Hex(0x9CC69B), Hex(0x74B06F), Hex(0x4F9A4C), Hex(0x35803A)};
  const double hillBase[] = {0.56, 0.64, 0.74, 0.86};
  for (int i = 0; i < 4; ++i) {
    SetColour(cr, hills[i]);
    HillPath(cr, W, H, hillBase[i] * H, (0.05 - i * 0.007) * H, 0.13 * i + 0.05, 1.1 + 0.35 * i);
    cairo_fill(cr);
  }

  // A winding path through the front hills.
  SetColour(cr, Hex(0xE8D7A9));
  cairo_move_to(cr, 0.38 * W, H);
  cairo_curve_to(cr, 0.45 * W, 0.90 * H, 0.30 * W, 0.82 * H, 0.46 * W, 0.72 * H);
  cairo_curve_to(cr, 0.52 * W, 0.68 * H, 0.50 * W, 0.66 * H, 0.54 * W, 0.64 * H);
  cairo_line_to(cr, 0.55 * W, 0.645 * H);
  cairo_curve_to(cr, 0.53 * W, 0.67 * H, 0.57 * W, 0.70 * H, 0.52 * W, 0.74 * H);
  cairo_curve_to(cr, 0.40 * W, 0.84 * H, 0.56 * W, 0.92 * H, 0.50 * W, H);
  cairo_close_path(cr);
  cairo_fill(cr);

  // A small house on the middle hill.
  const double hx = 0.60 * W, hy = 0.64 * H, hs = 0.07 * H;
  SetColour(cr, Hex(0xF4EBDD));
  cairo_rectangle(cr, hx, hy - hs, hs * 1.3, hs);
  cairo_fill(cr);
  SetColour(cr, Hex(0xC2412D));
  cairo_move_to(cr, hx - hs * 0.15, hy - hs);
  cairo_line_to(cr, hx + hs * 0.65, hy - hs * 1.7);
  cairo_line_to(cr, hx + hs * 1.45, hy - hs);
  cairo_close_path(cr);
  cairo_fill(cr);
  SetColour(cr, Hex(0x6B4A2F));
  cairo_rectangle(cr, hx + hs * 0.5, hy - hs * 0.55, hs * 0.3, hs * 0.55);
  cairo_fill(cr);
  SetColour(cr, Hex(0x8EC5E8));
  cairo_rectangle(cr, hx + hs * 0.12, hy - hs * 0.75, hs * 0.25, hs * 0.25);
  cairo_rectangle(cr, hx + hs * 0.92, hy - hs * 0.75, hs * 0.25, hs * 0.25);
  cairo_fill(cr);

  // Trees.
  RoundTree(cr, 0.12 * W, 0.80 * H, 0.11 * H, Hex(0x2F7D32));
  RoundTree(cr, 0.20 * W, 0.84 * H, 0.08 * H, Hex(0x3C8C3A));
  RoundTree(cr, 0.73 * W, 0.69 * H, 0.06 * H, Hex(0x3C8C3A));
  FirTree(cr, 0.86 * W, 0.83 * H, 0.16 * H, Hex(0x1F5E2B));
  FirTree(cr, 0.91 * W, 0.86 * H, 0.12 * H, Hex(0x24692F));
  FirTree(cr, 0.32 * W, 0.66 * H, 0.07 * H, Hex(0x2E7138));
  FirTree(cr, 0.35 * W, 0.67 * H, 0.05 * H, Hex(0x2E7138));

  // Birds.
  SetColour(cr, Hex(0x2B3440));
  cairo_set_line_width(cr, 0.004 * H);
  const double birds[][2] = {{0.30, 0.30}, {0.34, 0.27}, {0.37, 0.32}};
  for (const auto& bird : birds) {
    const double bx = bird[0] * W, by = bird[1] * H, s = 0.012 * H;
    cairo_move_to(cr, bx - s * 1.5, by - s * 0.5);
    cairo_curve_to(cr, bx - s, by - s, bx - s * 0.3, by - s * 0.6, bx, by);
    cairo_curve_to(cr, bx + s * 0.3, by - s * 0.6, bx + s, by - s, bx + s * 1.5, by - s * 0.5);
  }
  cairo_stroke(cr);
  return canvas.ToImage();
}

// ---- Night city ------------------------------------------------------------

RgbImage DrawNightCity(int width, int height) {
  Canvas canvas(width, height);
  cairo_t* cr = *canvas;
  const double W = width, H = height;
  Pattern sky(cairo_pattern_create_linear(0, 0, 0, H));
  cairo_pattern_add_color_stop_rgb(sky.get(), 0, 0.02, 0.03, 0.10);
  cairo_pattern_add_color_stop_rgb(sky.get(), 0.55, 0.08, 0.08, 0.24);
  cairo_pattern_add_color_stop_rgb(sky.get(), 0.80, 0.26, 0.16, 0.34);
  cairo_pattern_add_color_stop_rgb(sky.get(), 1, 0.30, 0.18, 0.30);
  cairo_set_source(cr, sky.get());
  cairo_paint(cr);

  SeededRandom random(99);
  for (int i = 0; i < 420; ++i) {  // stars, denser and brighter towards the top
    const double x = random.Uniform() * W, y = std::pow(random.Uniform(), 1.6) * 0.7 * H;
    const double r = random.Uniform(0.4, 1.3) * (random.Uniform() < 0.05 ? 1.8 : 1.0);
    SetColour(cr, {0.95, 0.95, 1.0}, random.Uniform(0.35, 1.0) * (1 - y / H));
    cairo_arc(cr, x, y, r, 0, kTwoPi);
    cairo_fill(cr);
  }

  const double mx = 0.22 * W, my = 0.22 * H, mr = 0.065 * H;  // the moon with its halo
  Pattern halo(cairo_pattern_create_radial(mx, my, mr, mx, my, mr * 5));
  cairo_pattern_add_color_stop_rgba(halo.get(), 0, 0.85, 0.85, 1.0, 0.25);
  cairo_pattern_add_color_stop_rgba(halo.get(), 1, 0.85, 0.85, 1.0, 0.0);
  cairo_set_source(cr, halo.get());
  cairo_paint(cr);
  SetColour(cr, Hex(0xF4F1E4));
  cairo_arc(cr, mx, my, mr, 0, kTwoPi);
  cairo_fill(cr);
  SetColour(cr, Hex(0xD9D4C2));
  const double craters[][3] = {{-0.3, -0.2, 0.22}, {0.35, 0.1, 0.16}, {-0.05, 0.4, 0.12}, {0.2, -0.45, 0.09}};
  for (const auto& c : craters) {
    cairo_arc(cr, mx + c[0] * mr, my + c[1] * mr, c[2] * mr, 0, kTwoPi);
    cairo_fill(cr);
  }

  // Two rows of buildings; the near one with lit windows.
  const double ground = 0.90 * H;
  for (int layer = 0; layer < 2; ++layer) {
    const Colour body = layer == 0 ? Colour{0.12, 0.11, 0.22} : Colour{0.04, 0.04, 0.08};
    double x = -random.Uniform(0, 30);
    while (x < W) {
      const double w = random.Uniform(0.035, 0.085) * W;
      const double h = (layer == 0 ? random.Uniform(0.18, 0.42) : random.Uniform(0.10, 0.34)) * H;
      SetColour(cr, body);
      cairo_rectangle(cr, x, ground - h, w, h + 1);
      cairo_fill(cr);
      if (random.Uniform() < 0.25) {  // a spire or an antenna
        cairo_rectangle(cr, x + w * 0.45, ground - h - 0.05 * H, w * 0.1, 0.05 * H);
        cairo_fill(cr);
      }
      if (layer == 1) {
        const double cell = 0.012 * W;
        for (double wy = ground - h + cell; wy < ground - cell; wy += cell * 1.6) {
          for (double wx = x + cell * 0.6; wx < x + w - cell; wx += cell * 1.4) {
            if (random.Uniform() < 0.35) {
              SetColour(cr, Mix(Hex(0xFFD27A), Hex(0xFFF3C4), random.Uniform()), random.Uniform(0.6, 1.0));
              cairo_rectangle(cr, wx, wy, cell * 0.7, cell * 0.9);
              cairo_fill(cr);
            }
          }
        }
      }
      x += w + (layer == 0 ? random.Uniform(-10, 6) : random.Uniform(2, 14));
    }
  }
  // The river in front, with the lights' reflections as short streaks.
  SetColour(cr, {0.03, 0.03, 0.09});
  cairo_rectangle(cr, 0, ground, W, H - ground);
  cairo_fill(cr);
  for (int i = 0; i < 140; ++i) {
    const double x = random.Uniform() * W, y = ground + random.Uniform(0.01, 0.09) * H;
    SetColour(cr, Hex(0xFFD27A), random.Uniform(0.15, 0.5));
    cairo_rectangle(cr, x, y, random.Uniform(4, 18), 1.5);
    cairo_fill(cr);
  }
  return canvas.ToImage();
}

}  // namespace datagen
