// Cross-fades: frame count, the master alpha per frame, and every frame
// against the blend rule computed here.
#include <gtest/gtest.h>

#include <cmath>

#include "Transitions/AlphablendingTransition.h"
#include "tests/Transitions/TransitionTestSupport.h"

using namespace transition_test;

namespace {

// Channel by channel: (T * (256 - a) + S * a + 128) div 256 with the
// source's weight a = ((M + 1) * 255) div 256.
TColor32 Expected(TColor32 Target, TColor32 Source, std::uint32_t M) {
  const std::uint32_t A = ((M + 1) * 255) >> 8;
  if (A == 0) return Target;
  TColor32 Out = 0;
  for (int Shift = 0; Shift < 32; Shift += 8) {
    const std::uint32_t T = (Target >> Shift) & 0xFF, S = (Source >> Shift) & 0xFF;
    Out |= ((T * (256 - A) + S * A + 128) >> 8) << Shift;
  }
  return Out;
}

TEST(Alphablending, TheSourcesMasterAlphaFallsToZero) {
  const std::vector<std::uint32_t> Sixteen{239, 223, 207, 191, 175, 159, 143, 127,
                                           112, 96,  80,  64,  48,  32,  16,  0};
  for (std::int32_t K = 1; K <= 16; ++K)
    EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(K, 16), Sixteen[K - 1]) << K;
  EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(1, 32), 247u);
  EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(16, 32), 127u);  // 127.5 -> 128
  EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(31, 32), 8u);
  EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(32, 32), 0u);
}

TEST(Alphablending, EachFrameIsTheTargetWithTheSourceBlendedOver) {
  struct Case {
    TPluginClassRef Class;
    std::int32_t Frames;
  };
  for (const Case& C : {Case{TTPAlphablendingMMX::StaticClass(), 16},
                        Case{TTPAlphablendingSmootherMMX::StaticClass(), 32}}) {
    SCOPED_TRACE(std::string(C.Class->ClassName()));
    platform::VirtualClock Clock(500);
    platform::ScopedClock Use(Clock);
    constexpr std::int32_t W = 37, H = 23;
    const TRect R{5, 3, 5 + W, 3 + H};
    RecordingCanvas Canvas(50, 30, 0xFF445566u);
    TBitmap32 Source, Target, OriginalSource;
    FillPattern(Source, W, H, 21);
    // A translucent source pixel: the fade makes the source opaque first.
    Source.ScanLine(4)[7] &= 0x40FFFFFFu;
    FillPattern(Target, W, H, 22);
    OriginalSource.Assign(Source);

    auto T = CreatePluginAs<TTransitionPlugin>(C.Class);
    T->InitTransition(R, &Source, &Target, Canvas);
    EXPECT_FALSE(T->Finished());
    T->Execute();

    ASSERT_EQ(Canvas.Frames().size(), static_cast<std::size_t>(C.Frames));
    for (std::int32_t K = 1; K <= C.Frames; ++K) {
      const std::uint32_t M = 255 - static_cast<std::uint32_t>(std::nearbyint(K * 255.0 / C.Frames));
      const Pixels& F = Canvas.Frames()[K - 1].Image;
      for (std::int32_t Y = 0; Y < 30; ++Y)
        for (std::int32_t X = 0; X < 50; ++X) {
          const bool Inside = X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
          const TColor32 Want =
              Inside ? Expected(Target.Pixel(X - R.Left, Y - R.Top),
                                OriginalSource.Pixel(X - R.Left, Y - R.Top) | 0xFF000000u, M)
                     : 0xFF445566u;
          ASSERT_EQ(F[static_cast<std::size_t>(Y) * 50 + X], Want) << "frame " << K << " at " << X << "," << Y;
        }
    }
    // The half-way frame blends with master alpha 127; the last is the target.
    EXPECT_EQ(TTPAlphablendingMMX::SourceMasterAlpha(C.Frames / 2, C.Frames), 127u);
    const Pixels& Last = Canvas.Frames().back().Image;
    for (std::int32_t Y = 0; Y < H; ++Y)
      for (std::int32_t X = 0; X < W; ++X)
        ASSERT_EQ(Last[static_cast<std::size_t>(Y + R.Top) * 50 + X + R.Left], Target.Pixel(X, Y));
    // Only the driver's fixed waits pace a fade.
    EXPECT_EQ(Clock.Elapsed() - 500, 11u * static_cast<std::uint64_t>(C.Frames));
    EXPECT_EQ(T->Rect(), TRect{});
  }
}

TEST(Alphablending, TheWorkBitmapLivesFromInitToReset) {
  RecordingCanvas Canvas(10, 10, 0);
  TBitmap32 Source, Target;
  FillPattern(Source, 10, 10, 1);
  FillPattern(Target, 10, 10, 2);
  TTPAlphablendingMMX T;
  EXPECT_EQ(T.WorkBitmap(), nullptr);
  T.InitTransition(TRect{0, 0, 10, 10}, &Source, &Target, Canvas);
  ASSERT_NE(T.WorkBitmap(), nullptr);
  EXPECT_EQ(T.WorkBitmap()->Width(), 10);
  EXPECT_EQ(Source.DrawMode(), dmBlend);
  T.ResetTransition();
  EXPECT_EQ(T.WorkBitmap(), nullptr);
}

}  // namespace
