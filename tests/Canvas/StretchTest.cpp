#include "Platform/Canvas/Stretch.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "Platform/Canvas/PixelBands.h"

namespace {

// Reference bilinear from the documented formula, one pixel at a time.
TColor32 Sample(const std::vector<TColor32>& S, int Sw, int Sh, int Dw, int Dh, int X, int Y) {
  auto Tap = [](int D, int Src, int Dst, int& I, int& W) {
    const double Pos = (D + 0.5) * Src / Dst - 0.5;
    I = static_cast<int>(std::floor(Pos));
    W = static_cast<int>(std::lround((Pos - I) * 256));
    if (W == 256) { ++I; W = 0; }
  };
  int X0, Wx, Y0, Wy;
  Tap(X, Sw, Dw, X0, Wx);
  Tap(Y, Sh, Dh, Y0, Wy);
  auto Px = [&](int Xi, int Yi) {
    Xi = std::clamp(Xi, 0, Sw - 1);
    Yi = std::clamp(Yi, 0, Sh - 1);
    return S[static_cast<std::size_t>(Yi) * Sw + Xi];
  };
  TColor32 Out = 0;
  for (int C = 0; C < 4; ++C) {
    auto Ch = [&](TColor32 P) { return static_cast<int>((P >> (8 * C)) & 0xFF); };
    const int V0 = (Ch(Px(X0, Y0)) * (256 - Wy) + Ch(Px(X0, Y0 + 1)) * Wy + 128) >> 8;
    const int V1 = (Ch(Px(X0 + 1, Y0)) * (256 - Wy) + Ch(Px(X0 + 1, Y0 + 1)) * Wy + 128) >> 8;
    Out |= static_cast<TColor32>((V0 * (256 - Wx) + V1 * Wx + 128) >> 8) << (8 * C);
  }
  return Out;
}

TEST(StretchBilinear, MatchesTheFormulaUpAndDown) {
  std::mt19937 Gen(5);
  struct Case { int Sw, Sh, Dw, Dh; } Cases[] = {{7, 5, 23, 11}, {61, 40, 19, 13}, {3, 1, 3, 1}, {1, 1, 4, 3}, {640, 480, 600, 450}};
  for (const Case& C : Cases) {
    std::vector<TColor32> Src(static_cast<std::size_t>(C.Sw) * C.Sh);
    for (TColor32& P : Src) P = Gen();
    std::vector<TColor32> Dst(static_cast<std::size_t>(C.Dw) * C.Dh, 0);
    platform::StretchBilinearInto({Src.data(), C.Sw, C.Sh, C.Sw},
                                  {Rect(0, 0, C.Sw, C.Sh), Rect(0, 0, C.Dw, C.Dh), Rect(0, 0, C.Dw, C.Dh)},
                                  {Dst.data(), C.Dw, C.Dh, C.Dw});
    for (int Y = 0; Y < C.Dh; ++Y)
      for (int X = 0; X < C.Dw; ++X)
        ASSERT_EQ(Dst[static_cast<std::size_t>(Y) * C.Dw + X], Sample(Src, C.Sw, C.Sh, C.Dw, C.Dh, X, Y))
            << C.Sw << "x" << C.Sh << "->" << C.Dw << "x" << C.Dh << " at " << X << "," << Y;
  }
}

TEST(StretchBilinear, ClipAndOffsetsProduceTheSameSamples) {
  std::mt19937 Gen(9);
  std::vector<TColor32> Src(20 * 10);
  for (TColor32& P : Src) P = Gen();
  std::vector<TColor32> Whole(50 * 30, 0), Part(50 * 30, 0x12345678);
  const platform::SourcePixels S{Src.data(), 20, 10, 20};
  platform::StretchBilinearInto(S, {Rect(2, 1, 18, 9), Rect(5, 3, 45, 27), Rect(0, 0, 50, 30)}, {Whole.data(), 50, 30, 50});
  platform::StretchBilinearInto(S, {Rect(2, 1, 18, 9), Rect(5, 3, 45, 27), Rect(10, 10, 20, 12)}, {Part.data(), 50, 30, 50});
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 50; ++X) {
      const bool In = X >= 10 && X < 20 && Y >= 10 && Y < 12;
      ASSERT_EQ(Part[Y * 50 + X], In ? Whole[Y * 50 + X] : 0x12345678u) << X << "," << Y;
    }
  // Outside DstRect nothing is written.
  EXPECT_EQ(Whole[0], 0u);
  EXPECT_EQ(Whole[29 * 50 + 49], 0u);
}

TEST(StretchBilinear, TwoBandsEqualOne) {
  std::vector<TColor32> Src(800 * 600);
  std::mt19937 Gen(2);
  for (TColor32& P : Src) P = Gen();
  std::vector<TColor32> A(1000 * 700), B(1000 * 700);
  const platform::StretchGeometry G{Rect(0, 0, 800, 600), Rect(0, 0, 1000, 700), Rect(0, 0, 1000, 700)};
  platform::StretchBilinearInto({Src.data(), 800, 600, 800}, G, {A.data(), 1000, 700, 1000});
  platform::SetParallelPixelPasses(false);
  platform::StretchBilinearInto({Src.data(), 800, 600, 800}, G, {B.data(), 1000, 700, 1000});
  platform::SetParallelPixelPasses(true);
  EXPECT_EQ(A, B);
}

}  // namespace
