#include "CommonImplementations/Blend.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The rule written out channel by channel, independent of the packed code.
TColor32 Reference(TColor32 F, TColor32 B, std::uint32_t M) {
  const std::uint32_t Fa = F >> 24;
  if (Fa == 0) return B;
  std::uint32_t A;
  if (M == 255) {
    if (Fa == 255) return F;
    A = Fa;
  } else {
    A = ((M + 1) * Fa) / 256;
    if (A == 0) return B;
  }
  TColor32 R = 0;
  for (int C = 0; C < 4; ++C) {
    const std::uint32_t Bc = (B >> (8 * C)) & 0xFF, Fc = (F >> (8 * C)) & 0xFF;
    R |= ((Bc * (256 - A) + Fc * A + 128) / 256) << (8 * C);
  }
  return R;
}

TEST(Blend, KnownPixels) {
  struct Case {
    TColor32 F, B;
    std::uint32_t M;
    TColor32 Expected;
  } Cases[] = {
      {0xFF804020, 0xFF102030, 0, 0xFF102030},    // M = 0 leaves the destination
      {0xFF804020, 0xFF102030, 255, 0xFF804020},  // opaque source at M = 255 copies
      {0x00FFFFFF, 0xFF102030, 255, 0xFF102030},  // transparent source: unchanged
      // a = ((127 + 1) * 255) div 256 = 127: (0 * 129 + 255 * 127 + 128) div 256 = 127
      {0xFFFFFFFF, 0xFF000000, 127, 0xFF7F7F7F},
      // M = 255, alpha 128: colour (0 * 128 + 255 * 128 + 128) div 256 = 128, alpha 64
      {0x80FFFFFF, 0x00000000, 255, 0x40808080},
      // M = 1, alpha 100: a = (2 * 100) div 256 = 0: unchanged
      {0x64FFFFFF, 0xFF000000, 1, 0xFF000000},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(BlendPixel(C.F, C.B, C.M), C.Expected) << std::hex << C.F << " over " << C.B << " M " << std::dec << C.M;
    EXPECT_EQ(Reference(C.F, C.B, C.M), C.Expected);
  }
}

TEST(Blend, CrossFadeWeights) {
  // An opaque source at master alpha M weighs ((M + 1) * 255) div 256.
  for (std::uint32_t M : {0u, 16u, 127u, 128u, 239u, 254u}) {
    const std::uint32_t A = ((M + 1) * 255) / 256;
    const TColor32 Out = BlendPixel(0xFFFFFFFF, 0xFF000000, M);
    EXPECT_EQ(Out & 0xFF, (255 * A + 128) / 256) << M;
    EXPECT_EQ(Out >> 24, 0xFFu);
  }
}

TEST(Blend, LinesMatchTheRuleBitForBit) {
  // Random pixels with alphas concentrated on the special values, odd lengths
  // so that the vector paths' tails run too; every master alpha.
  std::mt19937 Gen(7);
  const std::uint32_t Alphas[] = {0, 1, 127, 128, 254, 255};
  std::vector<TColor32> F(1037), B(1037), Out(1037), Expected(1037);
  for (std::size_t I = 0; I < F.size(); ++I) {
    const std::uint32_t A = (I % 3) ? Alphas[Gen() % 6] : (Gen() & 0xFF);
    F[I] = (A << 24) | (Gen() & 0xFFFFFF);
    B[I] = Gen();
  }
  for (bool Vector : {true, false}) {
    SetBlendVectorPaths(Vector);
    for (std::uint32_t M = 0; M <= 255; ++M) {
      for (std::size_t I = 0; I < F.size(); ++I) Expected[I] = Reference(F[I], B[I], M);
      BlendLineTo(F.data(), B.data(), Out.data(), static_cast<std::int32_t>(F.size()), M);
      ASSERT_EQ(Out, Expected) << "M " << M << " vector " << Vector;
      std::vector<TColor32> InPlace = B;
      BlendLine(F.data(), InPlace.data(), static_cast<std::int32_t>(F.size()), M);
      ASSERT_EQ(InPlace, Expected) << "M " << M;
    }
  }
  SetBlendVectorPaths(true);
}

TEST(Blend, MergeKeepsColourOnTransparentGround) {
  EXPECT_EQ(MergePixel(0x80FF0000, 0x00000000, 255), 0x80FF0000u);
  EXPECT_EQ(MergePixel(0x00FF0000, 0xFF00FF00, 255), 0xFF00FF00u);
  EXPECT_EQ(MergePixel(0xFFFF0000, 0xFF00FF00, 255), 0xFFFF0000u);
  // Half red over opaque green: opaque, about half of each.
  const TColor32 M = MergePixel(0x80FF0000, 0xFF00FF00, 255);
  EXPECT_EQ(M >> 24, 0xFFu);
  EXPECT_NEAR(static_cast<int>((M >> 16) & 0xFF), 128, 1);
  EXPECT_NEAR(static_cast<int>((M >> 8) & 0xFF), 127, 1);
}

}  // namespace
