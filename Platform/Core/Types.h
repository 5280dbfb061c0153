#pragma once
// Small value types shared by every layer.
#include <algorithm>
#include <cstdint>

// A platform colour: 0x00BBGGRR for RGB, 0xFF0000nn for system colour nn.
using TColor = std::uint32_t;
// A 32-bit pixel: alpha in the top byte, then red, green, blue (0xAARRGGBB).
// In memory (little-endian) the bytes are B, G, R, A.
using TColor32 = std::uint32_t;

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left and Top inclusive, Right and Bottom exclusive.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

inline TRect Rect(std::int32_t Left, std::int32_t Top, std::int32_t Right, std::int32_t Bottom) {
  return TRect{Left, Top, Right, Bottom};
}

// The common part of two rectangles; an empty rectangle when they do not meet.
inline TRect IntersectRect(const TRect& A, const TRect& B) {
  TRect R{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
          std::min(A.Bottom, B.Bottom)};
  if (R.IsEmpty()) return TRect{};
  return R;
}

// The smallest rectangle holding both; an empty operand does not count.
inline TRect UnionRect(const TRect& A, const TRect& B) {
  if (A.IsEmpty()) return B;
  if (B.IsEmpty()) return A;
  return TRect{std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
               std::max(A.Bottom, B.Bottom)};
}
