#include "tools/make-demo-media/ClipArt.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

namespace datagen {
namespace {

// Record functions of the Windows metafile format.
enum : std::uint16_t {
  kEof = 0x0000,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetPolyFillMode = 0x0106,
  kSelectObject = 0x012D,
  kDeleteObject = 0x01F0,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kCreatePenIndirect = 0x02FA,
  kCreateBrushIndirect = 0x02FC,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kEllipse = 0x0418,
  kRectangle = 0x041B,
  kPolyPolygon = 0x0538,
  kRoundRect = 0x061C,
};

using Points = std::vector<std::pair<int, int>>;

// Colour reference 0x00BBGGRR.
std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// Collects the records of a metafile whose drawing uses at most two objects
// at a time (one pen and one brush), created, selected and deleted around
// each shape, so object indices 0 and 1 are reused throughout.
class MetafileWriter {
 public:
  void Record(std::uint16_t function, const std::vector<std::uint16_t>& params) {
    const std::uint32_t size = 3 + static_cast<std::uint32_t>(params.size());
    maxRecord_ = std::max(maxRecord_, size);
    Word(size & 0xFFFF);
    Word(size >> 16);
    Word(function);
    for (std::uint16_t p : params) Word(p);
  }
  static std::uint16_t S(int v) { return static_cast<std::uint16_t>(static_cast<std::int16_t>(v)); }

  // Pen: style 0 solid (5 = none), width in logical units.
  void Pen(int style, int width, std::uint32_t colour) {
    Record(kCreatePenIndirect, {S(style), S(width), 0, Lo(colour), Hi(colour)});
  }
  // Brush: style 0 solid, 1 hollow, 2 hatched (hatch 0..5).
  void Brush(int style, std::uint32_t colour, int hatch = 0) {
    Record(kCreateBrushIndirect, {S(style), Lo(colour), Hi(colour), S(hatch)});
  }
  // Selects the two objects just created (pen 0, brush 1), runs the shape
  // and frees them again.
  template <typename Shape>
  void WithPenAndBrush(Shape shape) {
    Record(kSelectObject, {0});
    Record(kSelectObject, {1});
    shape();
    Record(kDeleteObject, {0});
    Record(kDeleteObject, {1});
  }
  void Polygon(const Points& points) { Record(kPolygon, Flatten(points, true)); }
  void Polyline(const Points& points) { Record(kPolyline, Flatten(points, true)); }
  void PolyPolygon(const std::vector<Points>& polygons) {
    std::vector<std::uint16_t> params{S(static_cast<int>(polygons.size()))};
    for (const Points& p : polygons) params.push_back(S(static_cast<int>(p.size())));
    for (const Points& p : polygons) {
      const auto flat = Flatten(p, false);
      params.insert(params.end(), flat.begin(), flat.end());
    }
    Record(kPolyPolygon, params);
  }
  // The rectangle records store their corners bottom-right first.
  void Ellipse(int left, int top, int right, int bottom) {
    Record(kEllipse, {S(bottom), S(right), S(top), S(left)});
  }
  void Rectangle(int left, int top, int right, int bottom) {
    Record(kRectangle, {S(bottom), S(right), S(top), S(left)});
  }
  void RoundRect(int left, int top, int right, int bottom, int cornerW, int cornerH) {
    Record(kRoundRect, {S(cornerH), S(cornerW), S(bottom), S(right), S(top), S(left)});
  }

  // Placeable header, standard header, records and the closing record.
  std::vector<std::uint8_t> Finish(int width, int height, int unitsPerInch) {
    Record(kEof, {});
    std::vector<std::uint16_t> out;
    const std::uint16_t placeable[10] = {0xCDD7, 0x9AC6, 0, 0, 0, S(width), S(height),
                                         static_cast<std::uint16_t>(unitsPerInch), 0, 0};
    std::uint16_t checksum = 0;
    for (std::uint16_t w : placeable) checksum ^= w;
    out.insert(out.end(), placeable, placeable + 10);
    out.push_back(checksum);
    const std::uint32_t totalWords = 9 + static_cast<std::uint32_t>(words_.size());
    const std::uint16_t header[9] = {1,  9, 0x0300, Lo(totalWords), Hi(totalWords), 2,
                                     Lo(maxRecord_), Hi(maxRecord_), 0};
    out.insert(out.end(), header, header + 9);
    out.insert(out.end(), words_.begin(), words_.end());
    std::vector<std::uint8_t> bytes;
    for (std::uint16_t w : out) {
      bytes.push_back(static_cast<std::uint8_t>(w));
      bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    return bytes;
  }

 private:
  static std::uint16_t Lo(std::uint32_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
  static std::uint16_t Hi(std::uint32_t v) { return static_cast<std::uint16_t>(v >> 16); }
  void Word(std::uint32_t w) { words_.push_back(static_cast<std::uint16_t>(w)); }
  static std::vector<std::uint16_t> Flatten(const Points& points, bool withCount) {
    std::vector<std::uint16_t> params;
    if (withCount) params.push_back(S(static_cast<int>(points.size())));
    for (const auto& [x, y] : points) {
      params.push_back(S(x));
      params.push_back(S(y));
    }
    return params;
  }
  std::vector<std::uint16_t> words_;
  std::uint32_t maxRecord_ = 3;
};

// A leaf as a pointed oval between two points, bulging to one side.
Points Leaf(double x0, double y0, double x1, double y1, double bulge) {
  Points points;
  const double dx = x1 - x0, dy = y1 - y0, len = std::hypot(dx, dy);
  const double nx = -dy / len, ny = dx / len;
  for (int side = 0; side < 2; ++side) {
    for (int i = 0; i <= 12; ++i) {
      const double u = side == 0 ? i / 12.0 : 1 - i / 12.0;
      const double w = std::sin(u * std::numbers::pi) * bulge * (side == 0 ? 1 : -0.55);
      points.emplace_back(static_cast<int>(std::lround(x0 + dx * u + nx * w)),
                          static_cast<int>(std::lround(y0 + dy * u + ny * w)));
    }
  }
  return points;
}

}  // namespace

void WriteFlowerPotMetafile(const std::string& path) {
  MetafileWriter wmf;
  wmf.Record(kSetMapMode, {8});  // anisotropic: window extent maps onto the frame
  wmf.Record(kSetWindowOrg, {0, 0});
  wmf.Record(kSetWindowExt, {1000, 1000});  // y first, then x
  wmf.Record(kSetBkMode, {1});             // transparent behind hatches
  wmf.Record(kSetPolyFillMode, {1});       // alternate

  const std::uint32_t outline = Rgb(40, 30, 30);
  // Stem and leaves.
  wmf.Pen(0, 16, Rgb(58, 128, 52));
  wmf.Brush(1, 0);
  wmf.WithPenAndBrush([&] {
    wmf.Polyline({{400, 645}, {395, 580}, {405, 500}, {398, 420}, {400, 330}});
  });
  wmf.Pen(0, 6, Rgb(36, 90, 36));
  wmf.Brush(0, Rgb(92, 170, 72));
  wmf.WithPenAndBrush([&] {
    wmf.Polygon(Leaf(398, 560, 235, 470, 55));
    wmf.Polygon(Leaf(402, 500, 570, 430, -50));
  });
  // Pot: rim, body with a hatched band, soil with a pebble cut out.
  wmf.Pen(0, 10, outline);
  wmf.Brush(0, Rgb(196, 98, 52));
  wmf.WithPenAndBrush([&] { wmf.Polygon({{270, 700}, {530, 700}, {495, 960}, {305, 960}}); });
  wmf.Pen(5, 0, 0);
  wmf.Brush(2, Rgb(150, 62, 30), 5);  // diagonal cross hatch
  wmf.WithPenAndBrush([&] { wmf.Polygon({{276, 760}, {523, 760}, {517, 805}, {282, 805}}); });
  wmf.Pen(0, 10, outline);
  wmf.Brush(0, Rgb(214, 118, 66));
  wmf.WithPenAndBrush([&] { wmf.RoundRect(245, 650, 555, 715, 30, 30); });
  wmf.Pen(5, 0, 0);
  wmf.Brush(0, Rgb(92, 60, 40));
  wmf.WithPenAndBrush([&] {
    wmf.PolyPolygon({{{265, 655}, {535, 655}, {525, 640}, {275, 640}},
                     {{360, 650}, {380, 643}, {400, 650}, {380, 654}}});
  });
  // Blossom: eight petals around a yellow centre with seeds.
  wmf.Pen(0, 6, Rgb(170, 50, 100));
  wmf.Brush(0, Rgb(240, 110, 160));
  wmf.WithPenAndBrush([&] {
    for (int i = 0; i < 8; ++i) {
      const double a = i * std::numbers::pi / 4;
      const int cx = 400 + static_cast<int>(std::lround(std::cos(a) * 95));
      const int cy = 250 + static_cast<int>(std::lround(std::sin(a) * 95));
      wmf.Ellipse(cx - 62, cy - 62, cx + 62, cy + 62);
    }
  });
  wmf.Pen(0, 6, Rgb(190, 130, 20));
  wmf.Brush(0, Rgb(250, 205, 50));
  wmf.WithPenAndBrush([&] { wmf.Ellipse(330, 180, 470, 320); });
  wmf.Pen(5, 0, 0);
  wmf.Brush(0, Rgb(150, 90, 20));
  wmf.WithPenAndBrush([&] {
    const int seeds[][2] = {{380, 230}, {420, 232}, {400, 262}, {370, 268}, {430, 270}};
    for (const auto& s : seeds) wmf.Ellipse(s[0] - 9, s[1] - 9, s[0] + 9, s[1] + 9);
  });
  // A butterfly resting beside the pot.
  wmf.Pen(0, 5, outline);
  wmf.Brush(0, Rgb(90, 150, 230));
  wmf.WithPenAndBrush([&] {
    wmf.Polygon({{720, 560}, {650, 490}, {640, 560}, {720, 575}, {660, 630}, {700, 650}});
    wmf.Polygon({{730, 560}, {800, 490}, {810, 560}, {730, 575}, {790, 630}, {750, 650}});
  });
  wmf.Pen(0, 6, outline);
  wmf.Brush(0, outline);
  wmf.WithPenAndBrush([&] { wmf.Rectangle(718, 540, 732, 640); });

  const std::vector<std::uint8_t> bytes = wmf.Finish(1000, 1000, 400);
  struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0)
    throw std::runtime_error("cannot write " + path);
}

}  // namespace datagen
