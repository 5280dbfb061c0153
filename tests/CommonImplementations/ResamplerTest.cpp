#include "CommonImplementations/Resamplers.h"

#include <gtest/gtest.h>

#include "CommonImplementations/Bitmap32.h"

namespace {

TEST(ResamplerKind, RoundTrip) {
  const char* Kernels[] = {"", "", "", "TCosineKernel", "TSplineKernel", "TLanczosKernel", "TMitchellKernel"};
  for (std::int32_t Kind = 0; Kind <= 6; ++Kind) {
    TBitmap32 B;
    SetResamplerKind(B, Kind);
    EXPECT_EQ(GetResamplerKind(B), Kind);
    if (Kind >= 3) {
      const auto& K = dynamic_cast<const TKernelResampler&>(B.Resampler());
      EXPECT_EQ(K.Kernel().ClassName(), Kernels[Kind]);
      EXPECT_EQ(K.KernelMode(), kmDynamic);
    }
  }
  TBitmap32 B;
  SetResamplerKind(B, 2);
  SetResamplerKind(B, 7);
  SetResamplerKind(B, -1);
  EXPECT_EQ(GetResamplerKind(B), 2);
}

TEST(ResamplerKind, KernelResamplerWithAnotherKernelIsZero) {
  struct TBoxKernel : TCustomKernel {
    std::string ClassName() const override { return "TBoxKernel"; }
    std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TBoxKernel>(); }
    double Filter(double X) const override { return X > -0.5 && X <= 0.5 ? 1 : 0; }
    double Width() const override { return 0.5; }
  };
  TBitmap32 B;
  auto R = std::make_unique<TKernelResampler>();
  R->SetKernel(std::make_unique<TBoxKernel>());
  B.SetResampler(std::move(R));
  EXPECT_EQ(GetResamplerKind(B), 0);
}

// Channel 0 (blue) of a one-row bitmap.
void SetRow(TBitmap32& B, std::initializer_list<std::uint8_t> Values) {
  B.Resize(static_cast<std::int32_t>(Values.size()), 1);
  std::int32_t X = 0;
  for (std::uint8_t V : Values) B.SetPixel(X++, 0, 0xFF000000u | V);
}

std::vector<int> Blues(const TBitmap32& B, std::int32_t Y = 0) {
  std::vector<int> V;
  for (std::int32_t X = 0; X < B.Width(); ++X) V.push_back(static_cast<int>(B.Pixel(X, Y) & 0xFF));
  return V;
}

TEST(Resamplers, BilinearKnownValues) {
  TBitmap32 Dst;
  {
    TBitmap32 Src;
    SetRow(Src, {0, 255});
    SetResamplerKind(Src, 2);
    Dst.Resize(4, 1);
    Src.DrawOnto(&Dst, Dst.FullRect());
    // Samples at -0.25 (clamped), 0.25, 0.75, 1.25 (clamped).
    EXPECT_EQ(Blues(Dst), (std::vector<int>{0, 64, 191, 255}));
  }
  {
    TBitmap32 Src;
    SetRow(Src, {0, 100, 200, 255});
    SetResamplerKind(Src, 2);
    Dst.Resize(2, 1);
    Src.DrawOnto(&Dst, Dst.FullRect());
    // Samples at 0.5 and 2.5.
    EXPECT_EQ(Blues(Dst), (std::vector<int>{50, 228}));
  }
  {
    // 2 x 2 checker to 4 x 4: rows first, then columns, each rounded.
    TBitmap32 Src;
    Src.Resize(2, 2);
    Src.SetPixel(0, 0, 0xFF000000);
    Src.SetPixel(1, 0, 0xFF0000FF);
    Src.SetPixel(0, 1, 0xFF0000FF);
    Src.SetPixel(1, 1, 0xFF000000);
    SetResamplerKind(Src, 2);
    Dst.Resize(4, 4);
    Src.DrawOnto(&Dst, Dst.FullRect());
    EXPECT_EQ(Blues(Dst, 0), (std::vector<int>{0, 64, 191, 255}));
    EXPECT_EQ(Blues(Dst, 1), (std::vector<int>{64, 96, 159, 191}));
    EXPECT_EQ(Dst.Pixel(1, 1) >> 24, 0xFFu);
  }
}

TEST(Resamplers, NearestAndDraft) {
  TBitmap32 Src;
    SetRow(Src, {10, 20, 30, 40});
  TBitmap32 Dst;
  Dst.Resize(2, 1);
  Src.DrawOnto(&Dst, Dst.FullRect());  // nearest: centres at 1 and 3
  EXPECT_EQ(Blues(Dst), (std::vector<int>{20, 40}));
  SetResamplerKind(Src, 1);
  Src.DrawOnto(&Dst, Dst.FullRect());  // draft: box averages
  EXPECT_EQ(Blues(Dst), (std::vector<int>{15, 35}));
  Dst.Resize(8, 1);
  Src.DrawOnto(&Dst, Dst.FullRect());  // enlarging: each pixel repeats
  EXPECT_EQ(Blues(Dst), (std::vector<int>{10, 10, 20, 20, 30, 30, 40, 40}));
}

TEST(Resamplers, EveryKindKeepsAFlatAreaFlat) {
  // Weights must add up to one at every position, also at the edges and when
  // reducing.
  TBitmap32 Src;
  Src.Resize(13, 9);
  Src.FillArea(0, 0, 13, 9, 0xC8647D96);
  for (std::int32_t Kind = 0; Kind <= 6; ++Kind) {
    SetResamplerKind(Src, Kind);
    for (TRect Size : {Rect(0, 0, 31, 17), Rect(0, 0, 5, 4)}) {
      TBitmap32 Dst;
      Dst.Resize(Size.Right, Size.Bottom);
      Src.DrawOnto(&Dst, Dst.FullRect());
      for (std::int32_t Y = 0; Y < Dst.Height(); ++Y)
        for (std::int32_t X = 0; X < Dst.Width(); ++X)
          ASSERT_EQ(Dst.Pixel(X, Y), 0xC8647D96u) << "kind " << Kind << " at " << X << "," << Y;
    }
  }
}

TEST(Resamplers, WrapModesChooseWhatLiesBeyondTheEdge) {
  using platform::EdgeMode;
  using platform::MapEdge;
  EXPECT_EQ(MapEdge(-1, 4, EdgeMode::Clamp), 0);
  EXPECT_EQ(MapEdge(5, 4, EdgeMode::Clamp), 3);
  EXPECT_EQ(MapEdge(-1, 4, EdgeMode::Repeat), 3);
  EXPECT_EQ(MapEdge(9, 4, EdgeMode::Repeat), 1);
  EXPECT_EQ(MapEdge(-1, 4, EdgeMode::Mirror), 0);
  EXPECT_EQ(MapEdge(4, 4, EdgeMode::Mirror), 3);
  EXPECT_EQ(MapEdge(-3, 4, EdgeMode::Mirror), 2);
  // Bilinear enlargement of [0, 255] with repeat: the outer samples mix in
  // the far pixel.
  TBitmap32 Src;
    SetRow(Src, {0, 255});
  SetResamplerKind(Src, 2);
  Src.SetWrapMode(wmRepeat);
  TBitmap32 Dst;
  Dst.Resize(4, 1);
  Src.DrawOnto(&Dst, Dst.FullRect());
  EXPECT_EQ(Blues(Dst), (std::vector<int>{64, 64, 191, 191}));
}

TEST(Resamplers, ScaledBlendUsesTheRule) {
  TBitmap32 Src, Dst;
  Src.Resize(2, 2);
  Src.FillArea(0, 0, 2, 2, 0xFFFFFFFF);
  Src.SetDrawMode(dmBlend);
  Src.SetMasterAlpha(127);
  SetResamplerKind(Src, 2);
  Dst.Resize(5, 5);
  Dst.FillArea(0, 0, 5, 5, 0xFF000000);
  Dst.SetClipRect(Rect(0, 0, 4, 4));
  Src.DrawOnto(&Dst, Dst.FullRect());
  EXPECT_EQ(Dst.Pixel(0, 0), 0xFF7F7F7Fu);
  EXPECT_EQ(Dst.Pixel(4, 4), 0xFF000000u);
}

}  // namespace
