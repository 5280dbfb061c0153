#pragma once
// Test helpers: render a picture onto white pixels and look at them, and
// build small metafiles record by record.
#include "Platform/Pictures/Picture.h"

#include <cairo.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace metafiletest {

struct Surface {
  std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> S{nullptr, cairo_surface_destroy};
  int Width = 0, Height = 0;
  // 0xRRGGBB of the (opaque) pixel.
  std::uint32_t At(int X, int Y) const {
    auto* D = reinterpret_cast<const std::uint32_t*>(cairo_image_surface_get_data(S.get()));
    return D[Y * (cairo_image_surface_get_stride(S.get()) / 4) + X] & 0xFFFFFF;
  }
};

inline Surface White(int W, int H) {
  Surface Out;
  Out.S.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, W, H));
  Out.Width = W;
  Out.Height = H;
  cairo_t* Cr = cairo_create(Out.S.get());
  cairo_set_source_rgb(Cr, 1, 1, 1);
  cairo_paint(Cr);
  cairo_destroy(Cr);
  return Out;
}

// Renders a vector picture, or draws a raster picture 1:1, onto white.
inline Surface Render(const platform::Picture& P, int W, int H) {
  Surface Out = White(W, H);
  cairo_t* Cr = cairo_create(Out.S.get());
  P.Render(Cr, 0, 0, W, H);
  cairo_destroy(Cr);
  cairo_surface_flush(Out.S.get());
  return Out;
}

inline Surface LoadPng(const std::string& Path) {
  Surface Out;
  Out.S.reset(cairo_image_surface_create_from_png(Path.c_str()));
  if (cairo_surface_status(Out.S.get()) != CAIRO_STATUS_SUCCESS) return Surface{};
  Out.Width = cairo_image_surface_get_width(Out.S.get());
  Out.Height = cairo_image_surface_get_height(Out.S.get());
  return Out;
}

inline int Channel(std::uint32_t C, int Shift) { return static_cast<int>((C >> Shift) & 0xFF); }
inline int Distance(std::uint32_t A, std::uint32_t B) {
  return std::abs(Channel(A, 16) - Channel(B, 16)) + std::abs(Channel(A, 8) - Channel(B, 8)) +
         std::abs(Channel(A, 0) - Channel(B, 0));
}
inline bool Near(std::uint32_t A, std::uint32_t B, int Tolerance = 40) { return Distance(A, B) <= Tolerance; }

inline std::vector<std::uint8_t> ReadFile(const std::string& Path) {
  std::ifstream F(Path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(F), {});
}

inline std::string Corpus(const std::string& Relative) { return std::string(LMO_CORPUS_DIR) + "/" + Relative; }
inline std::string Fixture(const std::string& Name) {
  return std::string(LMO_SOURCE_DIR) + "/tests/Metafile/fixtures/" + Name;
}

// A placeable WMF under construction: records of 16-bit words.
class WmfBuilder {
public:
  WmfBuilder(std::int16_t Right, std::int16_t Bottom, std::uint16_t Inch = 96) : Right_(Right), Bottom_(Bottom), Inch_(Inch) {}
  WmfBuilder& Record(std::uint16_t Function, std::vector<std::uint16_t> Params) {
    std::uint32_t Size = static_cast<std::uint32_t>(3 + Params.size());
    Words_.push_back(static_cast<std::uint16_t>(Size & 0xFFFF));
    Words_.push_back(static_cast<std::uint16_t>(Size >> 16));
    Words_.push_back(Function);
    Words_.insert(Words_.end(), Params.begin(), Params.end());
    return *this;
  }
  std::vector<std::uint8_t> Bytes() const {
    std::vector<std::uint16_t> W = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<std::uint16_t>(Right_),
                                    static_cast<std::uint16_t>(Bottom_), Inch_, 0, 0};
    std::uint16_t Sum = 0;
    for (std::uint16_t V : W) Sum ^= V;
    W.push_back(Sum);
    std::uint32_t Total = static_cast<std::uint32_t>(9 + Words_.size() + 3);
    std::vector<std::uint16_t> Header = {1, 9, 0x0300, static_cast<std::uint16_t>(Total & 0xFFFF),
                                         static_cast<std::uint16_t>(Total >> 16), 16, 0, 0, 0};
    W.insert(W.end(), Header.begin(), Header.end());
    W.insert(W.end(), Words_.begin(), Words_.end());
    W.insert(W.end(), {3, 0, 0});  // end of file
    std::vector<std::uint8_t> Out;
    for (std::uint16_t V : W) {
      Out.push_back(static_cast<std::uint8_t>(V & 0xFF));
      Out.push_back(static_cast<std::uint8_t>(V >> 8));
    }
    return Out;
  }
  // Common records.
  WmfBuilder& Window(std::int16_t X, std::int16_t Y, std::int16_t W, std::int16_t H) {
    Record(0x020B, {u(Y), u(X)});
    return Record(0x020C, {u(H), u(W)});
  }
  WmfBuilder& SolidBrush(std::uint32_t Rgb) { return Record(0x02FC, {0, lo(Rgb), hi(Rgb), 0}); }
  WmfBuilder& HatchBrush(std::uint32_t Rgb, std::uint16_t Hatch) { return Record(0x02FC, {2, lo(Rgb), hi(Rgb), Hatch}); }
  WmfBuilder& NullPen() { return Record(0x02FA, {5, 0, 0, 0, 0}); }
  WmfBuilder& Select(std::uint16_t Index) { return Record(0x012D, {Index}); }
  WmfBuilder& Delete(std::uint16_t Index) { return Record(0x01F0, {Index}); }
  WmfBuilder& Rectangle(std::int16_t L, std::int16_t T, std::int16_t R, std::int16_t B) {
    return Record(0x041B, {u(B), u(R), u(T), u(L)});
  }
  static std::uint16_t u(std::int16_t V) { return static_cast<std::uint16_t>(V); }
  static std::uint16_t lo(std::uint32_t V) { return static_cast<std::uint16_t>(V & 0xFFFF); }
  static std::uint16_t hi(std::uint32_t V) { return static_cast<std::uint16_t>(V >> 16); }

private:
  std::int16_t Right_, Bottom_;
  std::uint16_t Inch_;
  std::vector<std::uint16_t> Words_;
};

}  // namespace metafiletest
