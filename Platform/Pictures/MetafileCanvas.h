#pragma once
// The drawing state machine both metafile kinds play into: the object table
// (pens, brushes, fonts, regions), the device-context state with its save
// stack, and the drawing operations, all rendered as vectors with Cairo.
//
// Coordinates arrive in the metafile's logical units; the player supplies the
// mapping to the target (the rectangle the picture is drawn into), so the same
// records draw sharp at any size.
#include "Platform/Pictures/MetafileDib.h"

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace platform::metafile {

struct PointD {
  double X = 0;
  double Y = 0;
};

struct RectD {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
};

// Colours are COLORREF values, 0x00BBGGRR.
struct Pen {
  std::uint32_t Style = 0;  // line style (low bits), end cap, join, geometric flag
  double Width = 0;         // logical units; 0 = one pixel
  std::uint32_t Color = 0;
  std::vector<double> Dashes;  // user style, in units of the width
};

struct Brush {
  std::uint32_t Style = 0;  // 0 solid, 1 null, 2 hatched, 3/5/6 pattern
  std::uint32_t Color = 0xFFFFFF;
  std::uint32_t Hatch = 0;
  std::shared_ptr<cairo_surface_t> Pattern;  // pattern brushes
};

struct Font {
  std::int32_t Height = 0;  // logical units: < 0 character height, > 0 cell height
  std::int32_t Width = 0;
  std::int32_t Escapement = 0;  // tenths of a degree, counter-clockwise
  std::int32_t Weight = 400;
  bool Italic = false;
  bool Underline = false;
  bool StrikeOut = false;
  std::uint8_t CharSet = 0;
  std::string Face;  // UTF-8
};

struct Region {
  std::vector<RectD> Rects;
};

struct Palette {};

using GdiObject = std::variant<std::monostate, Pen, Brush, Font, Region, Palette>;

// Stock objects, as EMF addresses them (index | 0x80000000).
GdiObject StockObject(std::uint32_t Index);

struct DcState {
  Pen CurrentPen;    // default: black cosmetic pen
  Brush CurrentBrush;  // default: white brush
  Font CurrentFont;
  std::uint32_t TextColor = 0;
  std::uint32_t BkColor = 0xFFFFFF;
  int BkMode = 2;  // 1 transparent, 2 opaque
  std::uint32_t TextAlign = 0;
  int FillMode = 1;  // 1 alternate (even-odd), 2 winding
  int MapMode = 1;
  int Rop2 = 13;  // copy pen
  PointD WindowOrg{0, 0};
  PointD WindowExt{1, 1};
  PointD ViewportOrg{0, 0};
  PointD ViewportExt{1, 1};
  cairo_matrix_t World{1, 0, 0, 1, 0, 0};
  PointD Current{0, 0};
  bool Clockwise = false;
  double CharExtra = 0;
};

enum class ArcKind { Arc, ArcTo, Chord, Pie };

// Clip combination modes.
enum ClipMode { ClipAnd = 1, ClipOr = 2, ClipXor = 3, ClipDiff = 4, ClipCopy = 5 };

class GdiCanvas {
public:
  // Draws into (X, Y, W, H) of Cr's user space; everything is clipped to it.
  GdiCanvas(cairo_t* Cr, double X, double Y, double W, double H);
  virtual ~GdiCanvas();
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  DcState& Dc() { return Dc_; }

  // Logical units to the target's user space.
  virtual cairo_matrix_t LogicalToTarget() const = 0;
  // Region coordinates to the target (logical for WMF, device for EMF clips).
  virtual cairo_matrix_t RegionToTarget() const { return LogicalToTarget(); }
  // Target units per pixel of the picture at its natural size: hatch cells,
  // one-pixel pens and dash lengths scale with it.
  double PixelScale = 1;

  // Object table. WMF puts new objects into the lowest free slot; EMF names it.
  std::uint32_t AddObject(GdiObject Object);
  void PutObject(std::uint32_t Index, GdiObject Object);
  const GdiObject* FindObject(std::uint32_t Index) const;
  void DeleteObject(std::uint32_t Index);
  void SelectObject(const GdiObject& Object);

  // Lines and shapes, in logical units.
  void MoveTo(PointD P);
  void LineTo(PointD P);
  void Polyline(std::span<const PointD> Points, bool FromCurrent);
  void Polygon(std::span<const PointD> Points);
  void PolyPolygon(std::span<const PointD> Points, std::span<const std::uint32_t> Counts);
  void PolyPolyline(std::span<const PointD> Points, std::span<const std::uint32_t> Counts);
  void PolyBezier(std::span<const PointD> Points, bool FromCurrent);
  void PolyDraw(std::span<const PointD> Points, std::span<const std::uint8_t> Types);
  void Rectangle(RectD R);
  void RoundRect(RectD R, double CornerWidth, double CornerHeight);
  void Ellipse(RectD R);
  void Arc(ArcKind Kind, RectD Box, PointD Start, PointD End);
  void AngleArc(PointD Center, double Radius, double StartDegrees, double SweepDegrees);
  void SetPixel(PointD P, std::uint32_t Color);
  // Fills a logical rectangle by a raster operation without source.
  void PatBlt(RectD R, std::uint32_t Rop);
  // Fills the rectangles of a region (region coordinates of FillRegion's caller).
  void FillRegion(const std::vector<RectD>& Rects, const Brush& With, bool Logical);
  void FrameRegion(const std::vector<RectD>& Rects, const Brush& With, double W, double H, bool Logical);

  // Gradient fills: a rectangle shading from one colour to another across or
  // down, and a triangle filled with the mean of its corner colours.
  void GradientRect(RectD R, std::uint32_t From, std::uint32_t To, bool Vertical);
  void GradientTriangle(const PointD (&Corners)[3], std::uint32_t Color);

  // Text at a logical reference point. Units: one UTF-8 entry per stored code
  // unit; Dx: logical advances per unit (may be empty). Options: ETO_ flags.
  void Text(PointD Reference, const std::vector<std::string>& Units, const std::vector<double>& Dx,
            std::uint32_t Options, const RectD* Rect);

  // Draws the source rectangle of a bitmap (pixels, top-down) into a logical
  // destination rectangle with a raster operation.
  void StretchBitmap(RectD Dest, RectD Source, const Dib& Bitmap, std::uint32_t Rop, double Alpha = 1);

  // Clipping.
  void IntersectClip(RectD R);
  void ExcludeClip(RectD R);
  void ClipRects(const std::vector<RectD>& Rects, int Mode, bool Logical);
  void ResetClip();
  void ClipPath(int Mode);

  // Saved states: Relative < 0 goes back that many levels, > 0 to that level.
  void SaveDc();
  void RestoreDc(int Relative);

  // Path brackets (EMF): drawing between Begin and End builds the path.
  void BeginPath();
  void EndPath();
  void AbortPath();
  void CloseFigure();
  void FillPath();
  void StrokePath();
  void StrokeAndFillPath();
  bool InPath() const { return InPath_; }

  cairo_t* Cairo() const { return Cr_; }

private:
  // Puts the region's rectangles on the path under its transformation
  // (into Full); false when nothing can be drawn.
  bool PathRegion(const std::vector<RectD>& Rects, bool Logical, cairo_matrix_t& Full);
  struct PathDeleter {
    void operator()(cairo_path_t* P) const { cairo_path_destroy(P); }
  };

  void StartShape();
  void FinishShape(bool Closed);
  bool SetPenSource();
  bool SetBrushSource(const Brush& B);
  void StrokeCurrent();
  void FillCurrent(const Brush& B);
  void ArcPath(RectD Box, PointD Start, PointD End, bool Connect);
  void UseTarget() { cairo_set_matrix(Cr_, &Base_); }
  void UseLogical();
  void ClipToPath(int Mode);
  double PenWidthInTarget() const;
  bool Drawable(RectD Box) const;

  cairo_t* Cr_;
  cairo_matrix_t Base_;
  RectD Bounds_;
  DcState Dc_;
  std::vector<DcState> Saved_;
  std::map<std::uint32_t, GdiObject> Objects_;
  std::uint32_t LowestFree_ = 0;
  bool InPath_ = false;
  std::unique_ptr<cairo_path_t, PathDeleter> Path_;
};

}  // namespace platform::metafile
