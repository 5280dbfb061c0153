// Drawing of metafile records with Cairo. Shapes are built in logical units
// under the logical-to-target matrix and stroked in target units, so pens keep
// their width under anisotropic mappings and nothing is ever rasterised at
// the metafile's own size.
#include "Platform/Pictures/MetafileCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform::metafile {

namespace {

constexpr double Pi = std::numbers::pi;

void SetColor(cairo_t* Cr, std::uint32_t Color, double Alpha = 1) {
  cairo_set_source_rgba(Cr, (Color & 0xFF) / 255.0, ((Color >> 8) & 0xFF) / 255.0, ((Color >> 16) & 0xFF) / 255.0,
                        Alpha);
}

RectD Normalized(RectD R) {
  if (R.Left > R.Right) std::swap(R.Left, R.Right);
  if (R.Top > R.Bottom) std::swap(R.Top, R.Bottom);
  return R;
}

bool Finite(double V) { return std::isfinite(V) && std::fabs(V) < 1e9; }

double MatrixScale(const cairo_matrix_t& M) { return std::sqrt(std::fabs(M.xx * M.yy - M.xy * M.yx)); }

bool UsableMatrix(const cairo_matrix_t& M) {
  double Det = M.xx * M.yy - M.xy * M.yx;
  return std::isfinite(Det) && std::fabs(Det) > 1e-12 && Finite(M.x0) && Finite(M.y0);
}

// An 8x8 hatch cell in the brush colour over the background.
std::shared_ptr<cairo_surface_t> HatchCell(std::uint32_t Hatch, std::uint32_t Color, bool Opaque, std::uint32_t Bk) {
  SurfacePtr S = MakeSurface(8, 8);
  if (!S) return nullptr;
  cairo_surface_flush(S.get());
  auto* P = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(S.get()));
  int Stride = cairo_image_surface_get_stride(S.get()) / 4;
  auto Argb = [](std::uint32_t C) {
    return 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
  };
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X) {
      bool On = false;
      switch (Hatch) {
        case 0: On = Y == 3; break;                      // horizontal
        case 1: On = X == 3; break;                      // vertical
        case 2: On = X == Y; break;                      // forward diagonal
        case 3: On = X + Y == 7; break;                  // backward diagonal
        case 4: On = X == 3 || Y == 3; break;            // cross
        default: On = X == Y || X + Y == 7; break;       // diagonal cross
      }
      P[Y * Stride + X] = On ? Argb(Color) : (Opaque ? Argb(Bk) : 0);
    }
  cairo_surface_mark_dirty(S.get());
  return std::shared_ptr<cairo_surface_t>(S.release(), cairo_surface_destroy);
}

}  // namespace

GdiObject StockObject(std::uint32_t Index) {
  auto SolidBrush = [](std::uint32_t Color) { return GdiObject(Brush{0, Color, 0, nullptr}); };
  auto StockPen = [](std::uint32_t Style, std::uint32_t Color) { return GdiObject(Pen{Style, 0, Color, {}}); };
  switch (Index & 0x7FFFFFFF) {
    case 0: return SolidBrush(0xFFFFFF);
    case 1: return SolidBrush(0xC0C0C0);
    case 2: return SolidBrush(0x808080);
    case 3: return SolidBrush(0x404040);
    case 4: return SolidBrush(0x000000);
    case 5: return GdiObject(Brush{1, 0, 0, nullptr});
    case 6: return StockPen(0, 0xFFFFFF);
    case 7: return StockPen(0, 0x000000);
    case 8: return StockPen(5, 0);
    case 10:
    case 11:
    case 16: return GdiObject(Font{-13, 0, 0, 400, false, false, false, 0, "Courier New"});
    case 12:
    case 13:
    case 14:
    case 17: return GdiObject(Font{-13, 0, 0, 400, false, false, false, 0, "Arial"});
    case 15: return GdiObject(Palette{});
    case 18: return SolidBrush(0xFFFFFF);
    case 19: return StockPen(0, 0x000000);
    default: return GdiObject(std::monostate{});
  }
}

GdiCanvas::GdiCanvas(cairo_t* Cr, double X, double Y, double W, double H) : Cr_(Cr) {
  cairo_save(Cr_);
  cairo_get_matrix(Cr_, &Base_);
  Bounds_ = {X, Y, X + W, Y + H};
  cairo_new_path(Cr_);
  cairo_rectangle(Cr_, X, Y, W, H);
  cairo_clip(Cr_);
  Dc_.CurrentFont = Font{0, 0, 0, 400, false, false, false, 0, "Arial"};
}

GdiCanvas::~GdiCanvas() {
  for (std::size_t I = 0; I < Saved_.size(); ++I) cairo_restore(Cr_);
  cairo_new_path(Cr_);
  cairo_restore(Cr_);
}

void GdiCanvas::UseLogical() {
  cairo_matrix_t M = LogicalToTarget();
  cairo_matrix_t Full;
  cairo_matrix_multiply(&Full, &M, &Base_);
  if (UsableMatrix(Full)) cairo_set_matrix(Cr_, &Full);
}

// ---- objects ---------------------------------------------------------------

std::uint32_t GdiCanvas::AddObject(GdiObject Object) {
  std::uint32_t Index = LowestFree_;
  while (Objects_.count(Index)) ++Index;
  LowestFree_ = Index + 1;
  if (Index > 0xFFFF) return Index;  // WMF object indices are 16 bits
  Objects_[Index] = std::move(Object);
  return Index;
}

void GdiCanvas::PutObject(std::uint32_t Index, GdiObject Object) {
  if (Index & 0x80000000u) return;  // stock objects cannot be replaced
  Objects_[Index] = std::move(Object);
}

const GdiObject* GdiCanvas::FindObject(std::uint32_t Index) const {
  auto It = Objects_.find(Index);
  return It == Objects_.end() ? nullptr : &It->second;
}

void GdiCanvas::DeleteObject(std::uint32_t Index) {
  if (Objects_.erase(Index)) LowestFree_ = std::min(LowestFree_, Index);
}

void GdiCanvas::SelectObject(const GdiObject& Object) {
  if (auto* P = std::get_if<Pen>(&Object)) Dc_.CurrentPen = *P;
  if (auto* B = std::get_if<Brush>(&Object)) Dc_.CurrentBrush = *B;
  if (auto* F = std::get_if<Font>(&Object)) Dc_.CurrentFont = *F;
}

// ---- sources ---------------------------------------------------------------

// Curves far larger than any target would cost unbounded time to flatten and
// cannot be seen as curves: such boxes are not drawn.
bool GdiCanvas::Drawable(RectD Box) const {
  cairo_matrix_t L = LogicalToTarget(), M;
  cairo_matrix_multiply(&M, &L, &Base_);
  constexpr double Limit = 1 << 22;
  for (double X : {Box.Left, Box.Right})
    for (double Y : {Box.Top, Box.Bottom}) {
      double Tx = X, Ty = Y;
      cairo_matrix_transform_point(&M, &Tx, &Ty);
      if (!(std::fabs(Tx) < Limit) || !(std::fabs(Ty) < Limit)) return false;
    }
  return true;
}

double GdiCanvas::PenWidthInTarget() const {
  double Scale = MatrixScale(LogicalToTarget()) * MatrixScale(Base_);
  double Width = Dc_.CurrentPen.Width * Scale;
  if (!std::isfinite(Width) || Width < 1) Width = 1;
  return std::min(Width, 1e5);
}

bool GdiCanvas::SetPenSource() {
  const Pen& P = Dc_.CurrentPen;
  if ((P.Style & 0xF) == 5 || Dc_.Rop2 == 11) return false;  // null pen, or the "no operation" mix
  std::uint32_t Color = P.Color;
  if (Dc_.Rop2 == 1) Color = 0;
  if (Dc_.Rop2 == 16) Color = 0xFFFFFF;
  SetColor(Cr_, Color);
  double Width = PenWidthInTarget();
  cairo_set_line_width(Cr_, Width);
  bool Thin = Width <= 1.5;
  std::uint32_t Cap = P.Style & 0xF00, Join = P.Style & 0xF000;
  cairo_set_line_cap(Cr_, Thin ? CAIRO_LINE_CAP_BUTT
                               : Cap == 0x100 ? CAIRO_LINE_CAP_SQUARE
                               : Cap == 0x200 ? CAIRO_LINE_CAP_BUTT
                                              : CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(Cr_, Thin ? CAIRO_LINE_JOIN_MITER
                                : Join == 0x1000 ? CAIRO_LINE_JOIN_BEVEL
                                : Join == 0x2000 ? CAIRO_LINE_JOIN_MITER
                                                 : CAIRO_LINE_JOIN_ROUND);
  std::vector<double> Dashes;
  double Unit = Thin ? 1 : Width / 3;
  switch (P.Style & 0xF) {
    case 1: Dashes = {18, 6}; break;
    case 2: Dashes = {3, 3}; break;
    case 3: Dashes = {9, 6, 3, 6}; break;
    case 4: Dashes = {9, 3, 3, 3, 3, 3}; break;
    case 7:
      Dashes = P.Dashes;
      Unit = Width;
      break;
    default: break;
  }
  double Sum = 0;
  for (double& D : Dashes) {
    D = std::clamp(D * Unit, 0.0, 1e5);
    Sum += D;
  }
  // Dash patterns finer than a few pixels, or along paths far beyond the
  // target, would only cost time: such lines are drawn solid.
  double X1, Y1, X2, Y2;
  cairo_path_extents(Cr_, &X1, &Y1, &X2, &Y2);
  bool Huge = !(X2 - X1 < 1e5) || !(Y2 - Y1 < 1e5);
  if (Sum >= 4 && !Huge)
    cairo_set_dash(Cr_, Dashes.data(), static_cast<int>(Dashes.size()), 0);
  else
    cairo_set_dash(Cr_, nullptr, 0, 0);
  return true;
}

bool GdiCanvas::SetBrushSource(const Brush& B) {
  if (B.Style == 1) return false;
  std::shared_ptr<cairo_surface_t> Cell;
  if (B.Style == 2) Cell = HatchCell(B.Hatch, B.Color, Dc_.BkMode == 2, Dc_.BkColor);
  if (B.Style == 3 || B.Style == 5 || B.Style == 6) Cell = B.Pattern;
  if (!Cell) {
    SetColor(Cr_, B.Color);
    return true;
  }
  cairo_pattern_t* Pattern = cairo_pattern_create_for_surface(Cell.get());
  cairo_pattern_set_extend(Pattern, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(Pattern, CAIRO_FILTER_NEAREST);
  cairo_matrix_t M;
  double Scale = std::max(PixelScale * MatrixScale(Base_), 1e-3);
  cairo_matrix_init_scale(&M, 1 / Scale, 1 / Scale);
  cairo_matrix_t BaseInverse = Base_;
  if (cairo_matrix_invert(&BaseInverse) == CAIRO_STATUS_SUCCESS) cairo_matrix_multiply(&M, &BaseInverse, &M);
  cairo_pattern_set_matrix(Pattern, &M);
  cairo_set_source(Cr_, Pattern);
  cairo_pattern_destroy(Pattern);
  return true;
}

void GdiCanvas::StrokeCurrent() {
  if (SetPenSource()) cairo_stroke_preserve(Cr_);
}

void GdiCanvas::FillCurrent(const Brush& B) {
  if (!SetBrushSource(B)) return;
  cairo_set_fill_rule(Cr_, Dc_.FillMode == 2 ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill_preserve(Cr_);
}

void GdiCanvas::StartShape() {
  if (!InPath_) cairo_new_path(Cr_);
  UseLogical();
}

void GdiCanvas::FinishShape(bool Closed) {
  UseTarget();
  if (InPath_) return;
  if (Closed) FillCurrent(Dc_.CurrentBrush);
  StrokeCurrent();
  cairo_new_path(Cr_);
}

// ---- lines and shapes ------------------------------------------------------

void GdiCanvas::MoveTo(PointD P) {
  Dc_.Current = P;
  if (InPath_) {
    UseLogical();
    cairo_move_to(Cr_, P.X, P.Y);
    UseTarget();
  }
}

void GdiCanvas::LineTo(PointD P) {
  StartShape();
  if (!InPath_ || !cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
  cairo_line_to(Cr_, P.X, P.Y);
  Dc_.Current = P;
  FinishShape(false);
}

void GdiCanvas::Polyline(std::span<const PointD> Points, bool FromCurrent) {
  if (Points.empty()) return;
  StartShape();
  std::size_t First = 0;
  if (FromCurrent) {
    if (!InPath_ || !cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
  } else {
    cairo_move_to(Cr_, Points[0].X, Points[0].Y);
    First = 1;
  }
  for (std::size_t I = First; I < Points.size(); ++I) cairo_line_to(Cr_, Points[I].X, Points[I].Y);
  if (FromCurrent) Dc_.Current = Points.back();
  FinishShape(false);
}

void GdiCanvas::Polygon(std::span<const PointD> Points) {
  if (Points.size() < 2) return;
  StartShape();
  cairo_move_to(Cr_, Points[0].X, Points[0].Y);
  for (std::size_t I = 1; I < Points.size(); ++I) cairo_line_to(Cr_, Points[I].X, Points[I].Y);
  cairo_close_path(Cr_);
  FinishShape(true);
}

void GdiCanvas::PolyPolygon(std::span<const PointD> Points, std::span<const std::uint32_t> Counts) {
  StartShape();
  std::size_t At = 0;
  for (std::uint32_t Count : Counts) {
    if (Count > Points.size() - At) break;
    if (Count >= 2) {
      cairo_move_to(Cr_, Points[At].X, Points[At].Y);
      for (std::size_t I = 1; I < Count; ++I) cairo_line_to(Cr_, Points[At + I].X, Points[At + I].Y);
      cairo_close_path(Cr_);
    }
    At += Count;
  }
  FinishShape(true);
}

void GdiCanvas::PolyPolyline(std::span<const PointD> Points, std::span<const std::uint32_t> Counts) {
  StartShape();
  std::size_t At = 0;
  for (std::uint32_t Count : Counts) {
    if (Count > Points.size() - At) break;
    if (Count >= 1) {
      cairo_move_to(Cr_, Points[At].X, Points[At].Y);
      for (std::size_t I = 1; I < Count; ++I) cairo_line_to(Cr_, Points[At + I].X, Points[At + I].Y);
    }
    At += Count;
  }
  FinishShape(false);
}

void GdiCanvas::PolyBezier(std::span<const PointD> Points, bool FromCurrent) {
  StartShape();
  std::size_t I = 0;
  if (FromCurrent) {
    if (!InPath_ || !cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
  } else {
    if (Points.empty()) return FinishShape(false);
    cairo_move_to(Cr_, Points[0].X, Points[0].Y);
    I = 1;
  }
  for (; I + 3 <= Points.size(); I += 3)
    cairo_curve_to(Cr_, Points[I].X, Points[I].Y, Points[I + 1].X, Points[I + 1].Y, Points[I + 2].X, Points[I + 2].Y);
  if (FromCurrent && I > 0) Dc_.Current = Points[I - 1];
  FinishShape(false);
}

void GdiCanvas::PolyDraw(std::span<const PointD> Points, std::span<const std::uint8_t> Types) {
  StartShape();
  if (!cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
  std::size_t N = std::min(Points.size(), Types.size());
  for (std::size_t I = 0; I < N; ++I) {
    std::uint8_t Kind = Types[I] & 0x06;
    if (Kind == 0x06) {
      cairo_move_to(Cr_, Points[I].X, Points[I].Y);
    } else if (Kind == 0x04 && I + 2 < N) {
      cairo_curve_to(Cr_, Points[I].X, Points[I].Y, Points[I + 1].X, Points[I + 1].Y, Points[I + 2].X, Points[I + 2].Y);
      I += 2;
    } else {
      cairo_line_to(Cr_, Points[I].X, Points[I].Y);
    }
    if (Types[I] & 0x01) cairo_close_path(Cr_);
    Dc_.Current = Points[I];
  }
  FinishShape(false);
}

void GdiCanvas::Rectangle(RectD R) {
  R = Normalized(R);
  StartShape();
  cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
  FinishShape(true);
}

void GdiCanvas::RoundRect(RectD R, double CornerWidth, double CornerHeight) {
  R = Normalized(R);
  if (!Drawable(R)) return;
  double Rx = std::min(std::fabs(CornerWidth) / 2, (R.Right - R.Left) / 2);
  double Ry = std::min(std::fabs(CornerHeight) / 2, (R.Bottom - R.Top) / 2);
  if (Rx <= 0 || Ry <= 0) return Rectangle(R);
  StartShape();
  cairo_matrix_t M;
  cairo_get_matrix(Cr_, &M);
  auto Corner = [&](double Cx, double Cy, double From) {
    cairo_translate(Cr_, Cx, Cy);
    cairo_scale(Cr_, Rx, Ry);
    cairo_arc(Cr_, 0, 0, 1, From, From + Pi / 2);
    cairo_set_matrix(Cr_, &M);
  };
  cairo_new_sub_path(Cr_);
  Corner(R.Right - Rx, R.Top + Ry, -Pi / 2);
  Corner(R.Right - Rx, R.Bottom - Ry, 0);
  Corner(R.Left + Rx, R.Bottom - Ry, Pi / 2);
  Corner(R.Left + Rx, R.Top + Ry, Pi);
  cairo_close_path(Cr_);
  FinishShape(true);
}

void GdiCanvas::Ellipse(RectD R) {
  R = Normalized(R);
  if (!Drawable(R)) return;
  double Rx = (R.Right - R.Left) / 2, Ry = (R.Bottom - R.Top) / 2;
  if (Rx <= 0 || Ry <= 0) return;
  StartShape();
  cairo_matrix_t M;
  cairo_get_matrix(Cr_, &M);
  cairo_new_sub_path(Cr_);
  cairo_translate(Cr_, R.Left + Rx, R.Top + Ry);
  cairo_scale(Cr_, Rx, Ry);
  cairo_arc(Cr_, 0, 0, 1, 0, 2 * Pi);
  cairo_set_matrix(Cr_, &M);
  cairo_close_path(Cr_);
  FinishShape(true);
}

// The elliptic arc of Box from the ray through Start to the ray through End,
// counter-clockwise on the screen unless the arc direction says otherwise.
void GdiCanvas::ArcPath(RectD Box, PointD Start, PointD End, bool Connect) {
  Box = Normalized(Box);
  double Rx = (Box.Right - Box.Left) / 2, Ry = (Box.Bottom - Box.Top) / 2;
  if (Rx <= 0 || Ry <= 0) return;
  double Cx = Box.Left + Rx, Cy = Box.Top + Ry;
  double A1 = std::atan2((Start.Y - Cy) / Ry, (Start.X - Cx) / Rx);
  double A2 = std::atan2((End.Y - Cy) / Ry, (End.X - Cx) / Rx);
  cairo_matrix_t M;
  cairo_get_matrix(Cr_, &M);
  bool Flipped = (M.xx * M.yy - M.xy * M.yx) < 0;
  bool Negative = Flipped == Dc_.Clockwise;  // cairo's positive angles turn clockwise on screen
  if (std::fabs(A1 - A2) < 1e-9) A2 = Negative ? A1 - 2 * Pi : A1 + 2 * Pi;
  if (!Connect) cairo_new_sub_path(Cr_);
  cairo_translate(Cr_, Cx, Cy);
  cairo_scale(Cr_, Rx, Ry);
  if (Negative)
    cairo_arc_negative(Cr_, 0, 0, 1, A1, A2);
  else
    cairo_arc(Cr_, 0, 0, 1, A1, A2);
  cairo_set_matrix(Cr_, &M);
}

void GdiCanvas::Arc(ArcKind Kind, RectD Box, PointD Start, PointD End) {
  RectD N = Normalized(Box);
  if (N.Right - N.Left <= 0 || N.Bottom - N.Top <= 0 || !Drawable(N)) return;
  StartShape();
  switch (Kind) {
    case ArcKind::Arc:
      ArcPath(Box, Start, End, false);
      FinishShape(false);
      break;
    case ArcKind::ArcTo:
      if (!cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
      ArcPath(Box, Start, End, true);
      if (cairo_has_current_point(Cr_)) {
        double X, Y;
        cairo_get_current_point(Cr_, &X, &Y);
        Dc_.Current = {X, Y};
      }
      FinishShape(false);
      break;
    case ArcKind::Chord:
      ArcPath(Box, Start, End, false);
      cairo_close_path(Cr_);
      FinishShape(true);
      break;
    case ArcKind::Pie:
      cairo_move_to(Cr_, (N.Left + N.Right) / 2, (N.Top + N.Bottom) / 2);
      ArcPath(Box, Start, End, true);
      cairo_close_path(Cr_);
      FinishShape(true);
      break;
  }
}

void GdiCanvas::AngleArc(PointD Center, double Radius, double StartDegrees, double SweepDegrees) {
  if (!(Radius > 0) || !std::isfinite(StartDegrees) || !std::isfinite(SweepDegrees)) return;
  SweepDegrees = std::clamp(SweepDegrees, -360.0 * 4, 360.0 * 4);
  if (!Drawable({Center.X - Radius, Center.Y - Radius, Center.X + Radius, Center.Y + Radius})) return;
  StartShape();
  if (!cairo_has_current_point(Cr_)) cairo_move_to(Cr_, Dc_.Current.X, Dc_.Current.Y);
  // Angles count counter-clockwise with y pointing up on the screen.
  double A1 = -StartDegrees * Pi / 180, A2 = -(StartDegrees + SweepDegrees) * Pi / 180;
  if (SweepDegrees >= 0)
    cairo_arc_negative(Cr_, Center.X, Center.Y, Radius, A1, A2);
  else
    cairo_arc(Cr_, Center.X, Center.Y, Radius, A1, A2);
  double X, Y;
  cairo_get_current_point(Cr_, &X, &Y);
  Dc_.Current = {X, Y};
  FinishShape(false);
}

void GdiCanvas::SetPixel(PointD P, std::uint32_t Color) {
  if (InPath_) return;
  cairo_new_path(Cr_);
  UseLogical();
  cairo_rectangle(Cr_, P.X, P.Y, 1, 1);
  UseTarget();
  SetColor(Cr_, Color);
  cairo_fill(Cr_);
}

void GdiCanvas::PatBlt(RectD R, std::uint32_t Rop) {
  if (InPath_ || Rop == 0x00AA0029) return;  // destination unchanged
  R = Normalized(R);
  cairo_new_path(Cr_);
  UseLogical();
  cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
  UseTarget();
  cairo_save(Cr_);
  bool Draw = true;
  if (Rop == 0x00000042) {
    SetColor(Cr_, 0);
  } else if (Rop == 0x00FF0062) {
    SetColor(Cr_, 0xFFFFFF);
  } else if (Rop == 0x00550009) {
    SetColor(Cr_, 0xFFFFFF);
    cairo_set_operator(Cr_, CAIRO_OPERATOR_DIFFERENCE);
  } else {
    if (Rop == 0x005A0049) cairo_set_operator(Cr_, CAIRO_OPERATOR_DIFFERENCE);
    Draw = SetBrushSource(Dc_.CurrentBrush);
  }
  if (Draw) cairo_fill_preserve(Cr_);
  cairo_restore(Cr_);
  cairo_new_path(Cr_);
}

bool GdiCanvas::PathRegion(const std::vector<RectD>& Rects, bool Logical, cairo_matrix_t& Full) {
  if (InPath_) return false;
  cairo_new_path(Cr_);
  cairo_matrix_t M = Logical ? LogicalToTarget() : RegionToTarget();
  cairo_matrix_multiply(&Full, &M, &Base_);
  if (!UsableMatrix(Full)) return false;
  cairo_set_matrix(Cr_, &Full);
  for (const RectD& R0 : Rects) {
    RectD R = Normalized(R0);
    cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
  }
  UseTarget();
  return true;
}

void GdiCanvas::FillRegion(const std::vector<RectD>& Rects, const Brush& With, bool Logical) {
  cairo_matrix_t Full;
  if (!PathRegion(Rects, Logical, Full)) return;
  if (SetBrushSource(With)) {
    cairo_set_fill_rule(Cr_, CAIRO_FILL_RULE_WINDING);
    cairo_fill_preserve(Cr_);
  }
  cairo_new_path(Cr_);
}

void GdiCanvas::FrameRegion(const std::vector<RectD>& Rects, const Brush& With, double W, double H, bool Logical) {
  cairo_matrix_t Full;
  if (!PathRegion(Rects, Logical, Full)) return;
  if (SetBrushSource(With)) {
    cairo_set_line_width(Cr_, std::clamp(std::max(W, H) * MatrixScale(Full), 1.0, 1e5));
    cairo_set_dash(Cr_, nullptr, 0, 0);
    cairo_stroke_preserve(Cr_);
  }
  cairo_new_path(Cr_);
}

void GdiCanvas::GradientRect(RectD R, std::uint32_t From, std::uint32_t To, bool Vertical) {
  if (InPath_) return;
  cairo_new_path(Cr_);
  UseLogical();
  cairo_pattern_t* G = Vertical ? cairo_pattern_create_linear(0, R.Top, 0, R.Bottom)
                                : cairo_pattern_create_linear(R.Left, 0, R.Right, 0);
  auto Stop = [G](double At, std::uint32_t C) {
    cairo_pattern_add_color_stop_rgb(G, At, (C & 0xFF) / 255.0, ((C >> 8) & 0xFF) / 255.0, ((C >> 16) & 0xFF) / 255.0);
  };
  Stop(0, From);
  Stop(1, To);
  R = Normalized(R);
  cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
  cairo_set_source(Cr_, G);  // the gradient lives in logical units
  cairo_pattern_destroy(G);
  UseTarget();
  cairo_fill(Cr_);
}

void GdiCanvas::GradientTriangle(const PointD (&Corners)[3], std::uint32_t Color) {
  if (InPath_) return;
  cairo_new_path(Cr_);
  UseLogical();
  cairo_move_to(Cr_, Corners[0].X, Corners[0].Y);
  cairo_line_to(Cr_, Corners[1].X, Corners[1].Y);
  cairo_line_to(Cr_, Corners[2].X, Corners[2].Y);
  cairo_close_path(Cr_);
  UseTarget();
  SetColor(Cr_, Color);
  cairo_fill(Cr_);
}

// ---- text ------------------------------------------------------------------

void GdiCanvas::Text(PointD Reference, const std::vector<std::string>& Units, const std::vector<double>& Dx,
                     std::uint32_t Options, const RectD* Rect) {
  if (InPath_) return;
  const Font& F = Dc_.CurrentFont;
  cairo_matrix_t L = LogicalToTarget(), M;
  cairo_matrix_multiply(&M, &L, &Base_);
  if (!UsableMatrix(M)) return;
  bool UpdateCp = (Dc_.TextAlign & 1) != 0;
  PointD P = UpdateCp ? Dc_.Current : Reference;
  double Px = P.X, Py = P.Y;
  cairo_matrix_transform_point(&M, &Px, &Py);
  double Ax = 1, Ay = 0, Bx = 0, By = 1;
  cairo_matrix_transform_distance(&M, &Ax, &Ay);
  cairo_matrix_transform_distance(&M, &Bx, &By);
  double Sx = std::hypot(Ax, Ay), Sy = std::hypot(Bx, By);
  if (!Finite(Px) || !Finite(Py) || !(Sx > 0) || !(Sy > 0)) return;

  cairo_save(Cr_);
  cairo_new_path(Cr_);
  if (Rect && (Options & 0x06)) {
    RectD R = Normalized(*Rect);
    cairo_set_matrix(Cr_, &M);
    cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
    cairo_set_matrix(Cr_, &Base_);
    if (Options & 0x02) {  // opaque: fill the rectangle with the background colour
      SetColor(Cr_, Dc_.BkColor);
      cairo_fill_preserve(Cr_);
    }
    if (Options & 0x04)
      cairo_clip(Cr_);  // clipped to the rectangle
    else
      cairo_new_path(Cr_);
  }
  cairo_set_matrix(Cr_, &Base_);
  std::string Family = F.Face.empty() ? std::string("sans-serif") : F.Face;
  cairo_select_font_face(Cr_, Family.c_str(), F.Italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                         F.Weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(Cr_, 1.0);
  cairo_font_extents_t Unit;
  cairo_font_extents(Cr_, &Unit);
  double Em;
  if (F.Height < 0)
    Em = -static_cast<double>(F.Height) * Sy;
  else if (F.Height > 0)
    Em = F.Height * Sy / std::max(0.5, Unit.ascent + Unit.descent);
  else
    Em = 12 * PixelScale;
  if (!(Em > 0.05) || Em > 1e5) {
    cairo_restore(Cr_);
    return;
  }
  cairo_set_font_size(Cr_, Em);
  cairo_font_extents_t E;
  cairo_font_extents(Cr_, &E);
  double Stretch = std::clamp(Sx / Sy, 0.01, 100.0);

  bool UseDx = !Dx.empty() && Dx.size() >= Units.size();
  std::vector<double> Advance(Units.size(), 0);
  double Total = 0;
  for (std::size_t I = 0; I < Units.size(); ++I) {
    if (UseDx) {
      Advance[I] = Dx[I] * Sx;
    } else if (!Units[I].empty()) {
      cairo_text_extents_t T;
      cairo_text_extents(Cr_, Units[I].c_str(), &T);
      Advance[I] = T.x_advance * Stretch + Dc_.CharExtra * Sx;
    }
    if (!std::isfinite(Advance[I])) Advance[I] = 0;
    Total += Advance[I];
  }
  double Ox = 0, Oy = 0;
  switch (Dc_.TextAlign & 6) {
    case 2: Ox = -Total; break;
    case 6: Ox = -Total / 2; break;
    default: break;
  }
  switch (Dc_.TextAlign & 24) {
    case 24: Oy = 0; break;
    case 8: Oy = -E.descent; break;
    default: Oy = E.ascent; break;
  }
  // The y axis of the logical space may point up; text stays upright.
  double Angle = -static_cast<double>(F.Escapement) * Pi / 1800;
  cairo_translate(Cr_, Px, Py);
  cairo_rotate(Cr_, Angle);
  if (Dc_.BkMode == 2 && Total != 0) {
    cairo_rectangle(Cr_, Ox, Oy - E.ascent, Total, E.ascent + E.descent);
    SetColor(Cr_, Dc_.BkColor);
    cairo_fill(Cr_);
  }
  SetColor(Cr_, Dc_.TextColor);
  double X = Ox;
  for (std::size_t I = 0; I < Units.size(); ++I) {
    if (!Units[I].empty()) {
      cairo_save(Cr_);
      cairo_translate(Cr_, X, Oy);
      cairo_scale(Cr_, Stretch, 1);
      cairo_move_to(Cr_, 0, 0);
      cairo_show_text(Cr_, Units[I].c_str());
      cairo_restore(Cr_);
    }
    X += Advance[I];
  }
  double Thickness = std::max(Em / 14, 1.0);
  if (F.Underline) cairo_rectangle(Cr_, Ox, Oy + Em * 0.1, Total, Thickness);
  if (F.StrikeOut) cairo_rectangle(Cr_, Ox, Oy - E.ascent * 0.3, Total, Thickness);
  if (F.Underline || F.StrikeOut) cairo_fill(Cr_);
  cairo_restore(Cr_);

  if (UpdateCp) {
    double Ex = Px + std::cos(Angle) * Total, Ey = Py + std::sin(Angle) * Total;
    cairo_matrix_t Inverse = M;
    if (cairo_matrix_invert(&Inverse) == CAIRO_STATUS_SUCCESS) {
      cairo_matrix_transform_point(&Inverse, &Ex, &Ey);
      Dc_.Current = {Ex, Ey};
    }
  }
}

// ---- bitmaps ---------------------------------------------------------------

void GdiCanvas::StretchBitmap(RectD Dest, RectD Source, const Dib& Bitmap, std::uint32_t Rop, double Alpha) {
  if (InPath_ || !Bitmap.Surface) return;
  double Sw = Source.Right - Source.Left, Sh = Source.Bottom - Source.Top;
  double Dw = Dest.Right - Dest.Left, Dh = Dest.Bottom - Dest.Top;
  if (Sw == 0 || Sh == 0 || Dw == 0 || Dh == 0) return;
  if (Rop == 0x00AA0029 || Rop == 0x00BB0226 || Rop == 0x00440328) return;  // no-op and rare inverting mixes
  SurfacePtr Inverted;
  cairo_surface_t* Surface = Bitmap.Surface.get();
  if (Rop == 0x00330008) {  // inverted source
    Inverted = MakeSurface(Bitmap.Width, Bitmap.Height);
    if (!Inverted) return;
    cairo_t* C = cairo_create(Inverted.get());
    cairo_set_source_surface(C, Surface, 0, 0);
    cairo_paint(C);
    cairo_set_source_rgb(C, 1, 1, 1);
    cairo_set_operator(C, CAIRO_OPERATOR_DIFFERENCE);
    cairo_paint(C);
    cairo_destroy(C);
    Surface = Inverted.get();
  }
  cairo_save(Cr_);
  cairo_new_path(Cr_);
  UseLogical();
  cairo_translate(Cr_, Dest.Left, Dest.Top);
  cairo_scale(Cr_, Dw / Sw, Dh / Sh);
  cairo_translate(Cr_, -Source.Left, -Source.Top);
  cairo_matrix_t Check;
  cairo_get_matrix(Cr_, &Check);
  if (!UsableMatrix(Check)) {
    cairo_restore(Cr_);
    return;
  }
  cairo_rectangle(Cr_, Source.Left, Source.Top, Sw, Sh);
  cairo_pattern_t* Pattern = cairo_pattern_create_for_surface(Surface);
  cairo_pattern_set_extend(Pattern, CAIRO_EXTEND_PAD);
  cairo_pattern_set_filter(Pattern, CAIRO_FILTER_GOOD);
  cairo_set_source(Cr_, Pattern);
  cairo_pattern_destroy(Pattern);
  switch (Rop) {
    case 0x008800C6: cairo_set_operator(Cr_, CAIRO_OPERATOR_MULTIPLY); break;    // source and destination
    case 0x00EE0086: cairo_set_operator(Cr_, CAIRO_OPERATOR_LIGHTEN); break;     // source or destination
    case 0x00660046: cairo_set_operator(Cr_, CAIRO_OPERATOR_DIFFERENCE); break;  // source xor destination
    default: break;
  }
  UseTarget();
  if (Alpha < 1) {
    cairo_clip(Cr_);
    cairo_paint_with_alpha(Cr_, std::max(Alpha, 0.0));
  } else {
    cairo_fill(Cr_);
  }
  cairo_restore(Cr_);
}

// ---- clipping --------------------------------------------------------------

void GdiCanvas::ClipToPath(int Mode) {
  UseTarget();
  std::unique_ptr<cairo_path_t, PathDeleter> Shape(cairo_copy_path(Cr_));
  cairo_new_path(Cr_);
  if (!Shape || Shape->status != CAIRO_STATUS_SUCCESS) return;
  cairo_fill_rule_t Rule = cairo_get_fill_rule(Cr_);
  switch (Mode) {
    case ClipAnd:
      cairo_append_path(Cr_, Shape.get());
      cairo_clip(Cr_);
      break;
    case ClipDiff:
      cairo_rectangle(Cr_, Bounds_.Left, Bounds_.Top, Bounds_.Right - Bounds_.Left, Bounds_.Bottom - Bounds_.Top);
      cairo_append_path(Cr_, Shape.get());
      cairo_set_fill_rule(Cr_, CAIRO_FILL_RULE_EVEN_ODD);
      cairo_clip(Cr_);
      cairo_set_fill_rule(Cr_, Rule);
      break;
    case ClipCopy:
      ResetClip();
      cairo_append_path(Cr_, Shape.get());
      cairo_clip(Cr_);
      break;
    default:  // union and exclusive-or cannot narrow the clip: allow the whole picture
      ResetClip();
      break;
  }
}

void GdiCanvas::ResetClip() {
  cairo_new_path(Cr_);
  cairo_reset_clip(Cr_);
  UseTarget();
  cairo_rectangle(Cr_, Bounds_.Left, Bounds_.Top, Bounds_.Right - Bounds_.Left, Bounds_.Bottom - Bounds_.Top);
  cairo_clip(Cr_);
}

void GdiCanvas::IntersectClip(RectD R) { ClipRects({R}, ClipAnd, true); }

void GdiCanvas::ExcludeClip(RectD R) { ClipRects({R}, ClipDiff, true); }

void GdiCanvas::ClipRects(const std::vector<RectD>& Rects, int Mode, bool Logical) {
  std::unique_ptr<cairo_path_t, PathDeleter> Pending;
  if (InPath_) Pending.reset(cairo_copy_path(Cr_));
  if (Rects.empty() && Mode == ClipCopy) {
    ResetClip();
  } else {
    cairo_new_path(Cr_);
    cairo_matrix_t M = Logical ? LogicalToTarget() : RegionToTarget(), Full;
    cairo_matrix_multiply(&Full, &M, &Base_);
    if (UsableMatrix(Full)) {
      cairo_set_matrix(Cr_, &Full);
      for (const RectD& R0 : Rects) {
        RectD R = Normalized(R0);
        cairo_rectangle(Cr_, R.Left, R.Top, R.Right - R.Left, R.Bottom - R.Top);
      }
      if (Rects.empty()) cairo_rectangle(Cr_, 0, 0, 0, 0);
      cairo_fill_rule_t Rule = cairo_get_fill_rule(Cr_);
      cairo_set_fill_rule(Cr_, CAIRO_FILL_RULE_WINDING);
      ClipToPath(Mode);
      cairo_set_fill_rule(Cr_, Rule);
    }
  }
  cairo_new_path(Cr_);
  UseTarget();
  if (Pending && Pending->status == CAIRO_STATUS_SUCCESS) cairo_append_path(Cr_, Pending.get());
}

void GdiCanvas::ClipPath(int Mode) {
  if (!Path_ || InPath_) return;
  cairo_new_path(Cr_);
  UseTarget();
  cairo_append_path(Cr_, Path_.get());
  cairo_set_fill_rule(Cr_, Dc_.FillMode == 2 ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
  ClipToPath(Mode);
  Path_.reset();
}

// ---- saved states ----------------------------------------------------------

void GdiCanvas::SaveDc() {
  if (Saved_.size() >= 256) return;  // deeper nesting is not honoured
  Saved_.push_back(Dc_);
  cairo_save(Cr_);
}

void GdiCanvas::RestoreDc(int Relative) {
  std::int64_t Levels = Relative < 0 ? -static_cast<std::int64_t>(Relative)
                                     : static_cast<std::int64_t>(Saved_.size()) - Relative + 1;
  if (Levels <= 0 || Levels > static_cast<std::int64_t>(Saved_.size())) return;
  std::unique_ptr<cairo_path_t, PathDeleter> Pending;
  if (InPath_) Pending.reset(cairo_copy_path(Cr_));
  for (std::int64_t I = 0; I < Levels; ++I) {
    Dc_ = Saved_.back();
    Saved_.pop_back();
    cairo_restore(Cr_);
  }
  if (Pending && Pending->status == CAIRO_STATUS_SUCCESS) {
    cairo_new_path(Cr_);
    cairo_append_path(Cr_, Pending.get());
  }
}

// ---- paths -----------------------------------------------------------------

void GdiCanvas::BeginPath() {
  InPath_ = true;
  Path_.reset();
  cairo_new_path(Cr_);
}

void GdiCanvas::EndPath() {
  if (!InPath_) return;
  InPath_ = false;
  UseTarget();
  Path_.reset(cairo_copy_path(Cr_));
  if (Path_ && Path_->status != CAIRO_STATUS_SUCCESS) Path_.reset();
  cairo_new_path(Cr_);
}

void GdiCanvas::AbortPath() {
  InPath_ = false;
  Path_.reset();
  cairo_new_path(Cr_);
}

void GdiCanvas::CloseFigure() {
  if (InPath_ && cairo_has_current_point(Cr_)) cairo_close_path(Cr_);
}

void GdiCanvas::FillPath() {
  if (!Path_ || InPath_) return;
  cairo_new_path(Cr_);
  UseTarget();
  cairo_append_path(Cr_, Path_.get());
  FillCurrent(Dc_.CurrentBrush);
  cairo_new_path(Cr_);
  Path_.reset();
}

void GdiCanvas::StrokePath() {
  if (!Path_ || InPath_) return;
  cairo_new_path(Cr_);
  UseTarget();
  cairo_append_path(Cr_, Path_.get());
  StrokeCurrent();
  cairo_new_path(Cr_);
  Path_.reset();
}

void GdiCanvas::StrokeAndFillPath() {
  if (!Path_ || InPath_) return;
  cairo_new_path(Cr_);
  UseTarget();
  cairo_append_path(Cr_, Path_.get());
  FillCurrent(Dc_.CurrentBrush);
  StrokeCurrent();
  cairo_new_path(Cr_);
  Path_.reset();
}

}  // namespace platform::metafile
