// Writes the grey-scale mask pictures of the mask transitions into a data
// folder. A mask is a map of start times: the transition starts each tile
// when the grey level under it comes up, black first and white last, so
// every mask here is built as a time field t(x, y) and then stretched to the
// full range 0..255 so the wipe uses its whole run.
//
// Usage: make-masks OUTPUT_FOLDER [--sheet PREVIEW.png]
// The preview shows each mask and how much of the stage it has revealed at
// a quarter, half and three quarters of its run.

#include "tools/common/FileWriters.h"
#include "tools/common/Noise.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace {

using datagen::GreyImage;
using datagen::SeededRandom;

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr double kAspect = static_cast<double>(kWidth) / kHeight;
constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2 * std::numbers::pi;
// Distance from the centre to a corner in mask coordinates (height = 1).
const double kCornerRadius = std::hypot(kAspect / 2, 0.5);

// Mask coordinates: the centre is (0, 0), the height runs from -0.5 (top)
// to 0.5 (bottom) and the width from -kAspect/2 to kAspect/2, so circles
// stay round in the picture.
struct Point {
  double x;
  double y;
  double Radius() const { return std::hypot(x, y); }
  // Clockwise from twelve o'clock, 0 .. 2 pi.
  double Angle() const {
    const double a = std::atan2(x, -y);
    return a < 0 ? a + kTwoPi : a;
  }
};

using TimeField = std::function<double(Point)>;

// How the 4 x 4 samples inside one pixel are combined: smooth fields are
// averaged (anti-aliased edges); fields with jumps in time (the seam of a
// sweep, the border between two cells) take the earliest sample, so a seam
// does not become a thin line revealed at a time of its own.
enum class Sampling { Average, Earliest };

struct MaskDesign {
  const char* file;
  const char* look;
  Sampling sampling;
  bool equalise;  // spread the grey levels evenly: the same area revealed per step
  TimeField field;
};

double Fraction(double v) { return v - std::floor(v); }
double Triangle(double v) { return std::fabs(Fraction(v) - 0.5) * 2; }  // 1 at integers, 0 halfway
double SmoothStep(double e0, double e1, double v) {
  const double t = std::clamp((v - e0) / (e1 - e0), 0.0, 1.0);
  return t * t * (3 - 2 * t);
}

// Radius of the boundary of a regular star (points outer radius 1, inner
// corners innerRatio) in the direction angle, for a star rotated by turn.
double StarBoundary(double angle, int points, double innerRatio, double turn) {
  const double sector = kTwoPi / points;
  double a = std::fmod(angle - turn, sector);
  if (a < 0) a += sector;
  // Within one sector the edge runs from the point at 0 to the inner corner
  // at sector / 2 and back out to the next point; mirror the second half.
  if (a > sector / 2) a = sector - a;
  const double px = 0, py = 1;  // the point, straight up
  const double cx = innerRatio * std::sin(sector / 2), cy = innerRatio * std::cos(sector / 2);
  const double dx = std::sin(a), dy = std::cos(a);
  // Ray (dx, dy) * s meets the segment p + (c - p) * u.
  const double ex = cx - px, ey = cy - py;
  const double det = dx * (-ey) - dy * (-ex);
  const double s = (px * (-ey) - py * (-ex)) / det;
  return s;
}

// Scale at which a star of unit size centred at the origin first covers p.
double StarScale(Point p, int points, double innerRatio, double turn) {
  const double r = p.Radius();
  if (r == 0) return 0;
  return r / StarBoundary(p.Angle(), points, innerRatio, turn);
}

// Heart of unit size, tip down: (x^2 + y^2 - 1)^3 - x^2 y^3 <= 0 with y up.
bool InsideHeart(double x, double y) {
  const double q = x * x + y * y - 1;
  return q * q * q - x * x * y * y * y <= 0;
}

// Smallest scale at which the heart, growing from its middle, covers p.
double HeartScale(Point p) {
  // The heart spans y from -1 to about 1.25; grow it from its middle so it
  // reaches top and bottom together.
  const double x = p.x, y = -p.y + 0.1;
  double low = 0, high = 64;
  for (int i = 0; i < 40; ++i) {
    const double mid = (low + high) / 2;
    if (InsideHeart(x / mid, y / mid + 0.12)) high = mid;
    else low = mid;
  }
  return high;
}

struct Drop {
  Point centre;
  double radius;
  double start;
};

std::vector<Drop> ScatterDrops(std::uint64_t seed, int count, double minRadius, double maxRadius,
                               double lastStart) {
  SeededRandom random(seed);
  std::vector<Drop> drops;
  for (int i = 0; i < count; ++i) {
    Drop d;
    d.centre = {random.Uniform(-kAspect / 2, kAspect / 2), random.Uniform(-0.5, 0.5)};
    d.radius = random.Uniform(minRadius, maxRadius);
    d.start = random.Uniform(0, lastStart);
    drops.push_back(d);
  }
  return drops;
}

struct Star {
  Point centre;
  double size;
  double start;
  double turn;
};

// Stars on a jittered grid, so they spread over the whole stage.
std::vector<Star> ScatterStars(std::uint64_t seed) {
  SeededRandom random(seed);
  std::vector<Star> stars;
  const int cols = 7, rows = 4;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      Star s;
      s.centre = {(c + 0.5 + random.Uniform(-0.3, 0.3)) / cols * kAspect - kAspect / 2,
                  (r + 0.5 + random.Uniform(-0.3, 0.3)) / rows - 0.5};
      s.size = random.Uniform(0.7, 1.3);
      s.start = random.Uniform(0, 0.55);
      s.turn = random.Uniform(0, kTwoPi / 5);
      stars.push_back(s);
    }
  }
  return stars;
}

// Hexagon centres of a pointy-top honeycomb with the given inner radius, and
// the hexagonal distance of p to the nearest centre (0 at the centre, 1 on
// the cell's edge).
struct HexCell {
  Point centre;
  double distance;
};
HexCell NearestHex(Point p, double innerRadius) {
  const double outer = innerRadius * 2 / std::sqrt(3.0);
  const double rowStep = outer * 1.5, colStep = innerRadius * 2;
  const int row0 = static_cast<int>(std::floor(p.y / rowStep));
  HexCell best{{0, 0}, std::numeric_limits<double>::max()};
  for (int row = row0 - 1; row <= row0 + 2; ++row) {
    const double offset = (row % 2 != 0) ? innerRadius : 0;
    const int col0 = static_cast<int>(std::floor((p.x - offset) / colStep));
    for (int col = col0 - 1; col <= col0 + 2; ++col) {
      const Point c{col * colStep + offset, row * rowStep};
      const double dx = std::fabs(p.x - c.x), dy = std::fabs(p.y - c.y);
      const double d = std::max({dx, dx * 0.5 + dy * std::sqrt(3.0) / 2}) / innerRadius;
      if (d < best.distance) best = {c, d};
    }
  }
  return best;
}

std::vector<MaskDesign> Designs() {
  const std::vector<Drop> hardDrops = ScatterDrops(11, 120, 0.035, 0.11, 0.8);
  const std::vector<Drop> softDrops = ScatterDrops(23, 34, 0, 0, 0.55);
  const std::vector<Star> stars = ScatterStars(37);
  const double R = kCornerRadius;

  return {
      {"hairs.jpg", "fine strands falling from the top edge", Sampling::Average, false,
       [](Point p) {
         const double sway = 0.035 * std::sin(p.y * 9 + p.x * 4);
         const double strand = datagen::FractalNoise((p.x + sway) * 55, p.y * 1.2, 3, 7);
         return (p.y + 0.5) * 0.72 + strand * 0.5;
       }},
      {"hairs1.jpg", "wavy strands growing in from the left and right edges", Sampling::Average,
       false,
       [](Point p) {
         const double sway = 0.03 * std::sin(p.x * 8 + p.y * 3);
         const double strand = datagen::FractalNoise(p.x * 1.4, (p.y + sway) * 60, 3, 19);
         return (1 - std::fabs(p.x) / (kAspect / 2)) * 0.7 + strand * 0.55;
       }},
      {"effekt1.jpg", "horizontal blinds opening from their middles, top slats first",
       Sampling::Average, false,
       [](Point p) { return 0.8 * Triangle((p.y + 0.5) * 8 + 0.5) + 0.25 * (p.y + 0.5); }},
      {"effekt2.jpg", "diamonds opening in a wave from the top left", Sampling::Average, false,
       [](Point p) {
         const double cells = 6;
         const double u = (p.x + kAspect / 2) * cells, v = (p.y + 0.5) * cells;
         const double d = std::fabs(Fraction(u) - 0.5) + std::fabs(Fraction(v) - 0.5);
         return 0.55 * d + 0.45 * (u + v) / ((kAspect + 1) * cells);
       }},
      {"effekt3.jpg", "ripples: rings opening outward from the centre", Sampling::Average, false,
       [R](Point p) {
         const double r = p.Radius() / R;
         return 0.55 * r + 0.45 * (0.5 - 0.5 * std::cos(kTwoPi * r * 7));
       }},
      {"effekt4.jpg", "checkerboard: every other square first, each from its middle",
       Sampling::Earliest, false,
       [](Point p) {
         const double cells = 5;
         const double u = (p.x + kAspect / 2) * cells, v = (p.y + 0.5) * cells;
         const int parity = (static_cast<int>(std::floor(u)) + static_cast<int>(std::floor(v))) & 1;
         const double d = std::max(std::fabs(Fraction(u) - 0.5), std::fabs(Fraction(v) - 0.5)) * 2;
         return (parity + d) / 2;
       }},
      {"effekt5.jpg", "zoom: a rounded rectangle growing from the centre", Sampling::Average,
       false,
       [](Point p) {
         const double u = std::fabs(p.x) / (kAspect / 2), v = std::fabs(p.y) / 0.5;
         return std::pow(std::pow(u, 6) + std::pow(v, 6), 1.0 / 6);
       }},
      {"effekt6.jpg", "diagonal waves rolling from the top left", Sampling::Average, false,
       [](Point p) {
         const double u = (p.x + kAspect / 2) / kAspect, v = p.y + 0.5;
         const double along = (u * kAspect + v) / (kAspect + 1);
         const double across = (u * kAspect - v);
         return along + 0.07 * std::sin(kTwoPi * across * 2.2) + 0.03 * std::sin(kTwoPi * across * 5);
       }},
      {"effekt7.jpg", "spiral: a widening spiral arm growing out of the centre",
       Sampling::Earliest, false,
       [R](Point p) {
         // phase is the angle behind the arm of an Archimedean spiral, 0..1.
         const double r = p.Radius() / R;
         const double phase = Fraction(p.Angle() / kTwoPi - 1.5 * r);
         return 0.55 * phase + 0.45 * r;
       }},
      {"effekt8.jpg", "soft noise clouds", Sampling::Average, true,
       [](Point p) { return datagen::FractalNoise(p.x * 3.5 + 10, p.y * 3.5 + 10, 5, 41); }},
      {"effekt9.jpg", "pinwheel: eight curved blades sweeping clockwise", Sampling::Earliest,
       false,
       [R](Point p) {
         const double bend = 1.6 * p.Radius() / R;
         return 0.85 * Fraction((p.Angle() - bend) / kTwoPi * 8) + 0.15 * p.Radius() / R;
       }},
      {"effekt11.jpg", "honeycomb: cells opening outward from the centre", Sampling::Earliest,
       false,
       [R](Point p) {
         const HexCell cell = NearestHex(p, 0.065);
         return 0.65 * cell.centre.Radius() / R + 0.35 * cell.distance;
       }},
      {"StarEffekt.jpg", "star burst: twelve rays shoot out, then the rest fills in",
       Sampling::Average, false,
       [R](Point p) {
         const double a = p.Angle();
         const double ray = std::pow(0.5 + 0.5 * std::cos(12 * a), 8);
         const double fine = std::pow(0.5 + 0.5 * std::cos(24 * a + kPi), 12) * 0.5;
         return p.Radius() / R * (1 - 0.6 * std::max(ray, fine));
       }},
      {"stareffekt1.jpg", "one five-pointed star growing from the centre", Sampling::Average,
       false, [](Point p) { return StarScale(p, 5, 0.45, 0); }},
      {"stareffekt2.jpg", "many stars appearing and growing until they meet", Sampling::Average,
       false,
       [stars](Point p) {
         double t = std::numeric_limits<double>::max();
         for (const Star& s : stars) {
           const Point q{(p.x - s.centre.x) / s.size, (p.y - s.centre.y) / s.size};
           t = std::min(t, s.start + 2.2 * StarScale(q, 5, 0.45, s.turn));
         }
         return t;
       }},
      {"stareffekt3.jpg", "a six-pointed star turning as it grows", Sampling::Average, false,
       [](Point p) { return StarScale(p, 6, 0.5, -2.2 * p.Radius()); }},
      {"swirl.jpg", "drain: three arms swirling in from the edges to the centre",
       Sampling::Average, false,
       [R](Point p) {
         const double r = p.Radius() / R;
         const double arm = 0.5 + 0.5 * std::cos(3 * p.Angle() + 14 * r);
         return 0.7 * (1 - r) + 0.3 * arm;
       }},
      {"swirl1.jpg", "suction: two arms spiralling out of the centre", Sampling::Average, false,
       [R](Point p) {
         const double r = p.Radius() / R;
         const double arm = 0.5 + 0.5 * std::cos(2 * p.Angle() - 18 * std::sqrt(r));
         return 0.6 * r + 0.4 * arm * SmoothStep(0, 0.15, r);
       }},
      {"heart.jpg", "a heart growing from the middle", Sampling::Average, false,
       [](Point p) { return HeartScale({p.x * 2.4, p.y * 2.4}); }},
      {"radar1.jpg", "radar: a curved beam sweeping clockwise from twelve o'clock",
       Sampling::Earliest, false,
       [R](Point p) {
         const double r = p.Radius() / R;
         return Fraction((p.Angle() - 0.9 * r) / kTwoPi + 0.9 / kTwoPi * 0.5);
       }},
      {"drops.jpg", "drops: round spots popping up one after another", Sampling::Average, false,
       [hardDrops](Point p) {
         // Gaps between the drops dissolve softly at the end.
         double t = 0.88 + 0.12 * datagen::ValueNoise(p.x * 9 + 3, p.y * 9 + 3, 5);
         for (const Drop& d : hardDrops) {
           const double dist = std::hypot(p.x - d.centre.x, p.y - d.centre.y);
           if (dist <= d.radius) t = std::min(t, d.start + 0.08 * dist / d.radius);
         }
         return t;
       }},
      {"dropsfade.jpg", "soft drops spreading out and flowing together", Sampling::Average, true,
       [softDrops](Point p) {
         double t = std::numeric_limits<double>::max();
         for (const Drop& d : softDrops)
           t = std::min(t, d.start + 1.6 * std::hypot(p.x - d.centre.x, p.y - d.centre.y));
         return t;
       }},
  };
}

// Evaluates the field with 4 x 4 samples per pixel and spreads the result
// over 0..255 (histogram equalisation when the design asks for it).
GreyImage RenderMask(const MaskDesign& design) {
  constexpr int kSub = 4;
  std::vector<double> times(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      double sum = 0, earliest = std::numeric_limits<double>::max();
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          const Point p{((x + (sx + 0.5) / kSub) / kWidth - 0.5) * kAspect,
                        (y + (sy + 0.5) / kSub) / kHeight - 0.5};
          const double t = design.field(p);
          sum += t;
          earliest = std::min(earliest, t);
        }
      }
      times[static_cast<std::size_t>(y) * kWidth + x] =
          design.sampling == Sampling::Average ? sum / (kSub * kSub) : earliest;
    }
  }

  GreyImage image{kWidth, kHeight, std::vector<std::uint8_t>(times.size())};
  if (design.equalise) {
    std::vector<std::size_t> order(times.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] < times[b]; });
    for (std::size_t rank = 0; rank < order.size(); ++rank)
      image.pixels[order[rank]] = static_cast<std::uint8_t>(rank * 256 / order.size());
  } else {
    const auto [low, high] = std::minmax_element(times.begin(), times.end());
    const double span = *high - *low > 0 ? *high - *low : 1;
    for (std::size_t i = 0; i < times.size(); ++i)
      image.pixels[i] = static_cast<std::uint8_t>(std::lround((times[i] - *low) / span * 255));
  }
  return image;
}

struct SurfaceFree {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextFree {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};

// One row per mask: the mask, then the stage at 1/4, 1/2 and 3/4 of the run
// (revealed part light, waiting part dark).
void WriteSheet(const std::string& path, const std::vector<MaskDesign>& designs,
                const std::vector<GreyImage>& masks) {
  constexpr int kThumbW = kWidth / 2, kThumbH = kHeight / 2, kGap = 6, kLabel = 16;
  constexpr int kColumnsPerMask = 4, kMasksPerRow = 2;
  const int rows = static_cast<int>((masks.size() + kMasksPerRow - 1) / kMasksPerRow);
  const int blockW = kColumnsPerMask * (kThumbW + kGap) + 3 * kGap;
  const int width = kMasksPerRow * blockW;
  const int height = rows * (kThumbH + kLabel + kGap) + kGap;
  std::unique_ptr<cairo_surface_t, SurfaceFree> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
  std::unique_ptr<cairo_t, ContextFree> cr(cairo_create(surface.get()));
  cairo_set_source_rgb(cr.get(), 0.93, 0.93, 0.93);
  cairo_paint(cr.get());
  cairo_surface_flush(surface.get());
  auto* data = cairo_image_surface_get_data(surface.get());
  const int stride = cairo_image_surface_get_stride(surface.get());

  for (std::size_t m = 0; m < masks.size(); ++m) {
    const int ox = static_cast<int>(m % kMasksPerRow) * blockW + kGap;
    const int oy = static_cast<int>(m / kMasksPerRow) * (kThumbH + kLabel + kGap) + kLabel;
    for (int column = 0; column < kColumnsPerMask; ++column) {
      const int threshold = column * 64;
      for (int y = 0; y < kThumbH; ++y) {
        for (int x = 0; x < kThumbW; ++x) {
          const int v = masks[m].pixels[static_cast<std::size_t>(y * 2) * kWidth + x * 2];
          std::uint32_t rgb;
          if (column == 0) rgb = static_cast<std::uint32_t>(v) * 0x010101u;
          else rgb = v < threshold ? 0xF2B04Cu : 0x1E2A4Au;
          auto* pixel = reinterpret_cast<std::uint32_t*>(
              data + static_cast<std::size_t>(oy + y) * stride) + ox + column * (kThumbW + kGap) + x;
          *pixel = rgb;
        }
      }
    }
  }
  cairo_surface_mark_dirty(surface.get());
  cairo_set_source_rgb(cr.get(), 0, 0, 0);
  cairo_select_font_face(cr.get(), "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr.get(), 11);
  for (std::size_t m = 0; m < masks.size(); ++m) {
    const int ox = static_cast<int>(m % kMasksPerRow) * blockW + kGap;
    const int oy = static_cast<int>(m / kMasksPerRow) * (kThumbH + kLabel + kGap) + kLabel;
    cairo_move_to(cr.get(), ox, oy - 4);
    const std::string label = std::string(designs[m].file) + " - " + designs[m].look;
    cairo_show_text(cr.get(), label.c_str());
  }
  if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--sheet")) {
    std::fprintf(stderr, "usage: %s OUTPUT_FOLDER [--sheet PREVIEW.png]\n", argv[0]);
    return 2;
  }
  try {
    const std::string folder = std::string(argv[1]) + "/";
    const std::vector<MaskDesign> designs = Designs();
    std::vector<GreyImage> masks;
    for (const MaskDesign& design : designs) {
      masks.push_back(RenderMask(design));
      datagen::WriteGreyJpeg(folder + design.file, masks.back(), 90);
      std::printf("%-16s %s\n", design.file, design.look);
    }
    if (argc == 4) WriteSheet(argv[3], designs, masks);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-masks: %s\n", e.what());
    return 1;
  }
  return 0;
}
