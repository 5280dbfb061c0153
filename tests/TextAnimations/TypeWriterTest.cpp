// The typewriter on a stage with a real buffer and the virtual sound device.
#include <gtest/gtest.h>

#include <cstdlib>

#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Core/Random.h"
#include "SlideObjects/EffectText.h"
#include "SlideObjects/PVPText.h"
#include "TextAnimations/TypeWriter.h"
#include "Tools/MediaFiles.h"
#include "tests/Sound/SoundStage.h"

namespace {

constexpr TColor32 Background = 0xFF203040;

class TypeWriterTest : public ::testing::Test {
protected:
  TypeWriterTest() {
    setenv("LMO_DATA_DIR", LMO_SOURCE_DIR "/Data", 1);
    platform::ProgramRandom().Seed(7);
    Stage.Buffer().FillArea(0, 0, 200, 150, Background);
    Text.Placement = RelRect(0.1, 0.1, 0.9, 0.6);
    Text.EffectStyle = EffectStylePlain;
  }

  void StartTyping(const std::string& Value) {
    Text.Text = Value;
    Writer.Start(&Text, &Stage);
    Writer.Animate(&Stage);  // the first tick: prepares, too early to type
  }
  // One tick after the longest pause: always a reveal step.
  void NextStep() {
    Stage.Advance(TTAPTypeWriter::MinimumPause + TTAPTypeWriter::RandomPause);
    Writer.Animate(&Stage);
  }
  // The stage as it looks with Prefix drawn at once over the background.
  std::unique_ptr<TBitmap32> Expected(const std::string& Prefix) {
    auto Result = std::make_unique<TBitmap32>();
    TBitmap32& B = *Result;
    B.Resize(200, 150);
    B.FillArea(0, 0, 200, 150, Background);
    const TRect Stage{0, 0, 200, 150};
    const std::unique_ptr<TFont> F = Text.ScaledFont(Text.DrawingFont(), Stage);
    B.SetFont(*F);
    const std::unique_ptr<platform::Canvas> Canvas = CanvasOnBitmap(B);
    TRect R = Text.TextRect(Stage);
    R.Top -= 2;
    R.Bottom -= 2;
    DrawEffectTextIn(*Canvas, *F, R, Text.EffectColor2, Text.EffectColor, Text.EffectStyle, Text.TextFormat(),
                     Prefix, -1);
    return Result;
  }
  void ExpectStageShows(const std::string& Prefix) {
    const std::unique_ptr<TBitmap32> Want = Expected(Prefix);
    std::int32_t Differ = 0;
    for (std::int32_t Y = 0; Y < 150; ++Y)
      for (std::int32_t X = 0; X < 200; ++X) Differ += Stage.Buffer().Pixel(X, Y) != Want->Pixel(X, Y);
    EXPECT_EQ(Differ, 0) << "\"" << Prefix << "\"";
  }
  std::size_t Drawn() const { return Stage.Count("FlushSurface"); }

  platform::VirtualClock Clock{10000};
  platform::ScopedClock Use{Clock};
  soundtest::SoundStage Stage{Clock};
  TPVPText Text;
  TTAPTypeWriter Writer;
};

}  // namespace

TEST_F(TypeWriterTest, BlanksComeWithTheNextVisibleCharacter) {
  StartTyping("A B");
  EXPECT_EQ(Drawn(), 0u);
  NextStep();
  EXPECT_EQ(Writer.ShownCount, 1);
  ExpectStageShows("A");
  EXPECT_FALSE(Writer.Finished());
  NextStep();
  EXPECT_EQ(Writer.ShownCount, 3);
  // Over the restored background: not "A" drawn twice.
  ExpectStageShows("A B");
  EXPECT_TRUE(Writer.Finished());
  EXPECT_EQ(Drawn(), 2u);
  EXPECT_EQ(Stage.Count("InvalidateRect"), 2u);
  TRect Area = Text.TextRect(Stage.GetClientRect());
  Area.Top -= 2;
  Area.Bottom -= 2;
  EXPECT_EQ(Stage.Invalidated.front(), Area);
  EXPECT_EQ(Writer.TextRect, Area);
}

TEST_F(TypeWriterTest, StepsThatRevealOnlyBlanksDrawNothing) {
  struct Case {
    std::string Text;
    int Steps;
    std::size_t Draws;
  };
  const Case Cases[] = {
      {"", 1, 0},          // finished at once
      {"  \r\n ", 1, 0},   // all revealed in one step
      {"A\r\n", 2, 1},     // the line break after the last letter
      {"\t", 1, 1},        // a tab is drawn like a letter
      {"a \t b", 3, 3},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::PrintToString(C.Text));
    TTAPTypeWriter W;
    Stage.Calls.clear();
    const int PlaysBefore = Stage.Device->Plays;
    Text.Text = C.Text;
    W.Start(&Text, &Stage);
    W.Animate(&Stage);
    for (int I = 0; I < C.Steps && !W.Finished(); ++I) {
      Stage.Advance(260);
      W.Animate(&Stage);
    }
    EXPECT_TRUE(W.Finished());
    EXPECT_EQ(W.ShownCount, static_cast<std::int32_t>(C.Text.size()));
    EXPECT_EQ(Drawn(), C.Draws);
    // The click plays once for every drawing.
    EXPECT_EQ(static_cast<std::size_t>(Stage.Device->Plays - PlaysBefore), C.Draws);
  }
}

TEST_F(TypeWriterTest, OpensTheClickFromTheDataFolderAndPlaysItAtEveryStep) {
  StartTyping("Hi");
  EXPECT_EQ(Stage.Device->LastOpened, GetProgramDataFolder() + "typewriter.wav");
  EXPECT_TRUE(Stage.Player.IsOpen);
  EXPECT_EQ(Stage.Device->Plays, 0);  // opened, not yet played
  NextStep();
  NextStep();
  EXPECT_EQ(Stage.Device->Plays, 2);
  // Only the first tick opens it.
  EXPECT_EQ(Stage.Device->Opens, 1);
}

TEST_F(TypeWriterTest, TypesSilentlyWithoutTheSound) {
  setenv("LMO_DATA_DIR", "/nonexistent/", 1);
  StartTyping("Hi");
  EXPECT_FALSE(Stage.Player.IsOpen);
  NextStep();
  NextStep();
  ExpectStageShows("Hi");
}

TEST_F(TypeWriterTest, PaceFollowsAFreshRandomThresholdOnEveryTick) {
  StartTyping(std::string(40, 'x'));
  platform::RandomGenerator Model;
  Model.Seed(7);
  Model.Next(TTAPTypeWriter::RandomPause);  // the first tick's draw
  std::int32_t Shown = 0;
  std::uint32_t SinceStep = 0;
  for (int Tick = 0; Tick < 300; ++Tick) {
    Stage.Advance(10);
    SinceStep += 10;
    Writer.Animate(&Stage);
    const std::uint32_t Threshold = 10 + static_cast<std::uint32_t>(Model.Next(TTAPTypeWriter::RandomPause));
    if (Shown < 40 && SinceStep >= Threshold) {
      ++Shown;
      SinceStep = 0;
    }
    ASSERT_EQ(Writer.ShownCount, Shown) << "tick " << Tick;
  }
  EXPECT_GT(Shown, 10);
}

TEST_F(TypeWriterTest, WithoutATextObjectThereIsNothingToDo) {
  EXPECT_TRUE(Writer.Finished());
  Writer.Animate(&Stage);
  EXPECT_TRUE(Stage.Calls.empty());
}

TEST(TypeWriterClass, CaptionsAndUsedFilenames) {
  const auto* Base = PluginClassAs<TTextAnimationPluginClass>(TTextAnimationPlugin::StaticClass());
  const auto* Writer = PluginClassAs<TTextAnimationPluginClass>(TTAPTypeWriter::StaticClass());
  EXPECT_EQ(Base->Caption(), "");
  EXPECT_TRUE(Base->UsedFilenames().empty());
  EXPECT_EQ(Writer->Caption(), "Schreibmaschine");
  EXPECT_EQ(Writer->UsedFilenames(), std::vector<std::string>{"typewriter.wav"});
  EXPECT_EQ(TTAPTypeWriter::StaticClass()->ClassName(), "TTAPTypeWriter");
}
