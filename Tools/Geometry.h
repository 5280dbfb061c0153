#pragma once
// Rectangle arithmetic behind the placement of slide objects: relative
// placement as fractions of the stage and the aspect-preserving fit.
#include <cstdint>

#include "Platform/Core/Types.h"

// Left and Right as fractions of a frame's width, Top and Bottom of its
// height, measured from the frame's top-left corner; (0, 0, 1, 1) is the whole
// frame. Values outside 0..1 are allowed.
struct TRelRect {
  double Left = 0;
  double Top = 0;
  double Right = 0;
  double Bottom = 0;
  friend bool operator==(const TRelRect&, const TRelRect&) = default;
};

// Right - Left and Bottom - Top, wrapping to 32 bits as the platform's
// integers do rather than overflowing.
std::int32_t RectWidth(const TRect& R);
std::int32_t RectHeight(const TRect& R);

TRelRect RelRect(double Left, double Top, double Right, double Bottom);

// R as fractions of Frame. A frame without width (or height) gives 0 for the
// horizontal (or vertical) fractions instead of dividing by zero.
TRelRect RectToRelative(const TRect& R, const TRect& Frame);

// How far from the origin a placement's edge may lie: far beyond any stage,
// and near enough that a width, or an edge moved by another, stays within
// 32 bits.
inline constexpr std::int32_t MaxPlacementEdge = 1 << 29;

// Each edge Frame edge + trunc(size × fraction), converted independently, so a
// pixel width may differ by one from trunc(W × (Right - Left)). Edges beyond
// ±MaxPlacementEdge are clamped to it (NaN counts as 0): placements come from
// files and may hold anything.
TRect RelativeToRect(const TRelRect& Rel, const TRect& Frame);

// The largest rectangle with Source's proportions inside Target, centred or at
// Target's top-left corner. An empty Source gives Target; a Target without
// width gives a 1 × 1 rectangle; a fitted side of 0 becomes 1.
TRect FitRect(const TRect& Source, const TRect& Target, bool Center);
