// Mask-picture transitions: sampling the mask onto the grid, the delays it
// gives, a missing mask, the file names, and the shipped masks themselves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Transitions/BoxPicTransitions.h"
#include "tests/Transitions/TransitionTestSupport.h"

using namespace transition_test;

namespace {

// A mask whose blue channel at (x, y) is Blue(x, y).
std::unique_ptr<TBitmap32> MakeMask(std::int32_t W, std::int32_t H,
                                    const std::function<std::uint32_t(std::int32_t, std::int32_t)>& Blue) {
  auto Mask = std::make_unique<TBitmap32>();
  Mask->Resize(W, H);
  for (std::int32_t Y = 0; Y < H; ++Y)
    for (std::int32_t X = 0; X < W; ++X) Mask->ScanLine(Y)[X] = 0xFF000000u | 0x00ABCD00u | Blue(X, Y);
  return Mask;
}

// A mask transition whose mask comes from memory.
class InMemoryMask final : public TTPBoxPicTransition {
public:
  std::function<std::unique_ptr<TBitmap32>()> Make;
  std::unique_ptr<TBitmap32> GetBitmap() override { return Make ? Make() : nullptr; }
};

TEST(BoxPicTransition, TheMaskIsSampledAtTheBottomRightOfEachTilesShare) {
  RecordingCanvas Canvas(1, 1, 0);
  TBitmap32 Target;
  // 400 x 300 on the fine grid: step 2, 200 columns and 150 rows over a
  // 100 x 100 mask. Column c samples x = Round((c + 1) / 2) - 1: column 0
  // reads x = -1 (outside: 0, starts at once), columns 1, 2, 3, 4 read
  // x = 0, 1, 1, 1, 2, 3 (1.5 rounds up, 2.5 down: halves to even). Rows
  // read y = Round((r + 1) * 2 / 3) - 1.
  InMemoryMask T;
  T.Make = [] { return MakeMask(100, 100, [](std::int32_t X, std::int32_t) { return std::uint32_t(X + 1); }); };
  T.InitTransition(TRect{0, 0, 400, 300}, nullptr, &Target, Canvas);
  ASSERT_EQ(T.Cols(), 200);
  ASSERT_EQ(T.Rows(), 150);
  const std::int32_t ExpectedX[] = {-1, 0, 1, 1, 1, 2, 3, 3, 3};
  for (std::int32_t C = 0; C < 9; ++C) EXPECT_EQ(T.Tiles()[C].RevealW, -(ExpectedX[C] + 1)) << "column " << C;
  EXPECT_EQ(T.Tiles()[199].RevealW, -100);  // the last column reads the last mask column
  EXPECT_EQ(T.Tiles()[199].RevealH, -100);

  InMemoryMask ByRow;
  ByRow.Make = [] { return MakeMask(100, 100, [](std::int32_t, std::int32_t Y) { return std::uint32_t(Y + 1); }); };
  ByRow.InitTransition(TRect{0, 0, 400, 300}, nullptr, &Target, Canvas);
  // r = 0: 2/3 -> 1 -> y 0; r = 1: 4/3 -> 1 -> y 0; r = 2: 2 -> y 1; r = 3: 8/3 -> 3 -> y 2.
  const std::int32_t ExpectedY[] = {0, 0, 1, 2, 2, 3};
  // Column 1 (x = 0) lies inside the mask.
  for (std::int32_t R = 0; R < 6; ++R)
    EXPECT_EQ(ByRow.Tiles()[static_cast<std::size_t>(R) * 200 + 1].RevealH, -(ExpectedY[R] + 1)) << "row " << R;
  EXPECT_EQ(ByRow.Tiles().back().RevealH, -100);
}

TEST(BoxPicTransition, AWhiteMaskDelaysEveryTileBy128Steps) {
  platform::VirtualClock Clock(0);
  platform::ScopedClock Use(Clock);
  RecordingCanvas Canvas(60, 40, 0xFF000000u);
  TBitmap32 Target;
  FillPattern(Target, 60, 40, 5);
  InMemoryMask T;
  // At least half the grid's size, so that no tile samples outside it.
  T.Make = [] { return MakeMask(40, 25, [](std::int32_t, std::int32_t) { return 255u; }); };
  T.InitTransition(TRect{0, 0, 60, 40}, nullptr, &Target, Canvas);
  for (std::int32_t Step = 1; Step <= 128; ++Step) {
    T.Step();
    T.WaitForNextStep();
  }
  EXPECT_TRUE(Canvas.Frames().empty()) << "the first 128 steps draw nothing";
  T.Step();
  T.WaitForNextStep();
  EXPECT_EQ(Canvas.Frames().size(), 1u);
}

TEST(BoxPicTransition, AMissingOrEmptyMaskStartsEveryTileAtOnce) {
  const std::filesystem::path Empty = std::filesystem::temp_directory_path() / "lmo-transitions-no-masks";
  std::filesystem::create_directories(Empty);
  const char* Previous = std::getenv("LMO_DATA_DIR");
  const std::string Saved = Previous ? Previous : "";
  setenv("LMO_DATA_DIR", Empty.c_str(), 1);
  RegisterOnce();
  RecordingCanvas Canvas(50, 30, 0);
  TBitmap32 Target;
  FillPattern(Target, 50, 30, 6);
  TTPBoxPicEffektHeartTransition Heart;
  EXPECT_EQ(Heart.GetBitmap(), nullptr);
  EXPECT_NO_THROW(Heart.InitTransition(TRect{0, 0, 50, 30}, nullptr, &Target, Canvas));
  for (const TBoxTile& T : Heart.Tiles()) ASSERT_EQ(T.RevealW, 0);
  EXPECT_NO_THROW(Heart.Execute());
  EXPECT_EQ(Canvas.Image(), Pixels(Target.Bits(), Target.Bits() + 50 * 30));
  if (Previous)
    setenv("LMO_DATA_DIR", Saved.c_str(), 1);
  else
    unsetenv("LMO_DATA_DIR");

  InMemoryMask Zero;
  Zero.Make = [] { return std::make_unique<TBitmap32>(); };  // 0 x 0
  Zero.InitTransition(TRect{0, 0, 50, 30}, nullptr, &Target, Canvas);
  for (const TBoxTile& T : Zero.Tiles()) ASSERT_EQ(T.RevealW, 0);
}

TEST(BoxPicTransition, EachClassNamesItsMaskFile) {
  struct Case {
    TPluginClassRef Class;
    const char* Caption;
    const char* File;
  };
  const Case Cases[] = {
      {TTPBoxPicEffekt1Transition::StaticClass(), "Effekt 1", "hairs.jpg"},
      {TTPBoxPicEffekt2Transition::StaticClass(), "Effekt 2", "hairs1.jpg"},
      {TTPBoxPicEffekt3Transition::StaticClass(), "Effekt 3", "effekt1.jpg"},
      {TTPBoxPicEffekt4Transition::StaticClass(), "Effekt 4", "effekt2.jpg"},
      {TTPBoxPicEffekt5Transition::StaticClass(), "Effekt 5", "effekt3.jpg"},
      {TTPBoxPicEffekt6Transition::StaticClass(), "Effekt 6", "effekt4.jpg"},
      {TTPBoxPicEffekt7Transition::StaticClass(), "Effekt 7", "effekt5.jpg"},
      {TTPBoxPicEffekt8Transition::StaticClass(), "Effekt 8", "effekt6.jpg"},
      {TTPBoxPicEffekt9Transition::StaticClass(), "Stern 1", "StarEffekt.jpg"},
      {TTPBoxPicEffekt10Transition::StaticClass(), "Effekt 9", "effekt7.jpg"},
      {TTPBoxPicEffekt11Transition::StaticClass(), "Effekt 10", "effekt8.jpg"},
      {TTPBoxPicEffekt12Transition::StaticClass(), "Effekt 11", "effekt9.jpg"},
      {TTPBoxPicEffekt13Transition::StaticClass(), "Abfluss", "swirl.jpg"},
      {TTPBoxPicEffektHeartTransition::StaticClass(), "Herz", "heart.jpg"},
      {TTPBoxPicStarEffekt2Transition::StaticClass(), "Stern 2", "stareffekt1.jpg"},
      {TTPBoxPicStarEffekt3Transition::StaticClass(), "Stern 3", "stareffekt2.jpg"},
      {TTPBoxPicStarEffekt4Transition::StaticClass(), "Stern 4", "stareffekt3.jpg"},
      {TTPBoxPicRadarEffekt2Transition::StaticClass(), "Radar 2", "radar1.jpg"},
      {TTPBoxPicCircleTransition::StaticClass(), "Kreise", "drops.jpg"},
      {TTPBoxPicCircleFadeTransition::StaticClass(), "Kreise (\xDC" "bergang)", "dropsfade.jpg"},
      {TTPBoxPicEffekt15Transition::StaticClass(), "Effekt 13", "effekt11.jpg"},
      {TTPBoxPicSwirl2Transition::StaticClass(), "Sog", "swirl1.jpg"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.File);
    const auto* Meta = PluginClassAs<TTPBoxPicTransitionClass>(C.Class);
    ASSERT_NE(Meta, nullptr);
    EXPECT_EQ(Meta->Caption(), C.Caption);
    EXPECT_EQ(Meta->PicFilename(), GetProgramDataFolder() + C.File);
    EXPECT_EQ(Meta->UsedFilenames(), std::vector<std::string>{C.File});
    EXPECT_FALSE(Meta->NeedsSourceBitmap());
  }
  EXPECT_TRUE(TTPBoxPicTransition::StaticClass()->UsedFilenames().empty());
  EXPECT_EQ(TTPBoxPicTransition::StaticClass()->Caption(), "Test");
}

TEST(BoxPicTransition, TheShippedMasksAreGreyPicturesUsingTheirRange) {
  RegisterOnce();
  for (TPluginClassRef C : TransitionClasses()) {
    if (!C->InheritsFrom(TTPBoxPicTransition::StaticClass())) continue;
    SCOPED_TRACE(std::string(C->ClassName()));
    auto T = CreatePluginAs<TTPBoxPicTransition>(C);
    const std::unique_ptr<TBitmap32> Mask = T->GetBitmap();
    ASSERT_NE(Mask, nullptr) << "missing in " << GetProgramDataFolder();
    std::uint32_t Low = 255, High = 0, MaxSpread = 0;
    for (std::int32_t Y = 0; Y < Mask->Height(); ++Y)
      for (std::int32_t X = 0; X < Mask->Width(); ++X) {
        const TColor32 P = Mask->Pixel(X, Y);
        const std::uint32_t B = P & 0xFF, G = (P >> 8) & 0xFF, R = (P >> 16) & 0xFF;
        Low = std::min(Low, B);
        High = std::max(High, B);
        MaxSpread = std::max({MaxSpread, R > B ? R - B : B - R, G > B ? G - B : B - G});
      }
    EXPECT_LE(MaxSpread, 8u) << "grey";
    EXPECT_LE(Low, 16u) << "something starts at once";
    EXPECT_GE(High, 220u) << "the wipe uses its run";
  }
}

}  // namespace
