#include "Tools/Geometry.h"

#include <cmath>
#include <limits>

namespace {

std::int32_t Wrap32(std::int64_t Value) { return static_cast<std::int32_t>(Value); }

// trunc(Value) as a 64-bit integer, clamped to the 32-bit range, NaN as 0.
std::int64_t TruncClamped(double Value) {
  if (std::isnan(Value)) return 0;
  constexpr double Min = std::numeric_limits<std::int32_t>::min();
  constexpr double Max = std::numeric_limits<std::int32_t>::max();
  if (Value <= Min) return std::numeric_limits<std::int32_t>::min();
  if (Value >= Max) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int64_t>(std::trunc(Value));
}

std::int32_t Clamp32(std::int64_t Value) {
  if (Value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  if (Value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(Value);
}

// A placement edge, at most MaxPlacementEdge away from the origin.
std::int32_t ClampEdge(std::int64_t Value) {
  if (Value < -MaxPlacementEdge) return -MaxPlacementEdge;
  if (Value > MaxPlacementEdge) return MaxPlacementEdge;
  return static_cast<std::int32_t>(Value);
}

// Halving that rounds down, also for negative values.
std::int64_t HalfDown(std::int64_t Value) { return Value >= 0 ? Value / 2 : -((-Value + 1) / 2); }

}  // namespace

std::int32_t RectWidth(const TRect& R) { return Wrap32(std::int64_t{R.Right} - R.Left); }
std::int32_t RectHeight(const TRect& R) { return Wrap32(std::int64_t{R.Bottom} - R.Top); }

TRelRect RelRect(double Left, double Top, double Right, double Bottom) {
  return TRelRect{Left, Top, Right, Bottom};
}

TRelRect RectToRelative(const TRect& R, const TRect& Frame) {
  const double W = RectWidth(Frame);
  const double H = RectHeight(Frame);
  auto Fraction = [](double Offset, double Size) { return Size == 0 ? 0.0 : Offset / Size; };
  return TRelRect{Fraction(double(R.Left) - Frame.Left, W), Fraction(double(R.Top) - Frame.Top, H),
                  Fraction(double(R.Right) - Frame.Left, W), Fraction(double(R.Bottom) - Frame.Top, H)};
}

TRect RelativeToRect(const TRelRect& Rel, const TRect& Frame) {
  const double W = RectWidth(Frame);
  const double H = RectHeight(Frame);
  return TRect{ClampEdge(Frame.Left + TruncClamped(W * Rel.Left)), ClampEdge(Frame.Top + TruncClamped(H * Rel.Top)),
               ClampEdge(Frame.Left + TruncClamped(W * Rel.Right)),
               ClampEdge(Frame.Top + TruncClamped(H * Rel.Bottom))};
}

TRect FitRect(const TRect& Source, const TRect& Target, bool Center) {
  const std::int32_t SW = RectWidth(Source);
  const std::int32_t SH = RectHeight(Source);
  if (SW <= 0 || SH <= 0) return Target;
  const std::int32_t TW = RectWidth(Target);
  const std::int32_t TH = RectHeight(Target);
  std::int64_t W, H;
  if (TW == 0) {
    W = 1;
    H = 1;
  } else {
    W = TW;
    H = TruncClamped(double(SH) / SW * W);
    if (H > TH) {
      H = TH;
      W = TruncClamped(double(SW) / SH * H);
    }
    if (W == 0) W = 1;
    if (H == 0) H = 1;
  }
  std::int64_t Left = Target.Left;
  std::int64_t Top = Target.Top;
  if (Center) {
    Left += HalfDown(TW - W);
    Top += HalfDown(TH - H);
  }
  return TRect{Clamp32(Left), Clamp32(Top), Clamp32(Left + W), Clamp32(Top + H)};
}
