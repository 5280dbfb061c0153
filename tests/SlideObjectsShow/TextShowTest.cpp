// The text object on a stage: effect styles, alignment, scaling with the
// stage, measuring, and driving a text animation; the animation base class.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Platform/Core/Clock.h"
#include "SlideObjects/EffectText.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PVPText.h"
#include "TextAnimations/TextAnimationPlugin.h"
#include "tests/SlideObjectsShow/StageWindow.h"

namespace {

int Animations = 0;  // instances of TTestAnimation alive

}  // namespace

class TTestAnimationClass : public TTextAnimationPlugin::TMetaClass {
public:
  std::vector<std::string> UsedFilenames() const override { return {"typewriter.wav"}; }
};

// Finishes after its third Animate; notes what Start gave it.
class TTestAnimation : public TTextAnimationPlugin {
  LMO_PLUGIN_WITH_CLASS(TTestAnimation, TTextAnimationPlugin, TTestAnimationClass)
public:
  TTestAnimation() { ++Animations; }
  ~TTestAnimation() override { --Animations; }
  void Animate(PlayerWindow* Form) override {
    ++Calls;
    SawFirstStep = SawFirstStep || FirstStep;
    FirstStep = false;
    LastForm = Form;
  }
  bool Finished() override { return Calls >= 3; }
  int Calls = 0;
  bool SawFirstStep = false;
  PlayerWindow* LastForm = nullptr;
};

namespace {

constexpr TColor32 Grey = 0xFF808080;
constexpr TColor White = 0x00FFFFFF, Black = 0, Red = 0x000000FF, Navy = 0x00800000;

struct Copy {
  std::int32_t Dx, Dy;
  TColor Color;
};

// What the stage should show: the copies drawn one after another with the
// canvas's own text drawing, in Arial of the given height, into the text
// rectangle Saved (the stage moved up by 2) moved by each copy's offset.
std::unique_ptr<TBitmap32> Expected(std::int32_t W, std::int32_t H, std::int32_t FontHeight, std::uint32_t Format,
                   const std::string& Text, const std::vector<Copy>& Copies) {
  auto B = std::make_unique<TBitmap32>();
  B->Resize(W, H);
  B->FillArea(0, 0, W, H, Grey);
  platform::Canvas Canvas(B->View());
  Canvas.Brush.Style = platform::BrushStyle::Clear;
  Canvas.Font.SetName("Arial");
  Canvas.Font.SetHeight(FontHeight);
  for (const Copy& C : Copies) {
    Canvas.Font.SetColor(C.Color);
    TRect R{C.Dx, -2 + C.Dy, W + C.Dx, H - 2 + C.Dy};
    Canvas.DrawText(Text, R, Format);
  }
  return B;
}

std::int64_t DifferentPixels(const TBitmap32& A, const TBitmap32& B) {
  if (A.Width() != B.Width() || A.Height() != B.Height()) return -1;
  std::int64_t N = 0;
  for (std::int32_t Y = 0; Y < A.Height(); ++Y)
    for (std::int32_t X = 0; X < A.Width(); ++X) N += A.Pixel(X, Y) != B.Pixel(X, Y);
  return N;
}

struct StyleCase {
  const char* Name;
  std::int32_t Width, Height;
  std::uint8_t Style, Alignment;
  TColor EffectColor, EffectColor2, FontColor;
  std::string Text;
  std::int32_t FontHeight;
  std::uint32_t Format;
  std::vector<Copy> Copies;
};

void PrintTo(const StyleCase& C, std::ostream* Out) { *Out << C.Name; }

class TextStyles : public ::testing::TestWithParam<StyleCase> {};

TEST_P(TextStyles, DrawnAsTheCopiesItIsMadeOf) {
  const StyleCase& C = GetParam();
  StageWindow Stage(C.Width, C.Height);
  Stage.Buffer().FillArea(0, 0, C.Width, C.Height, Grey);
  TPVPText T;
  T.Text = C.Text;
  T.EffectStyle = C.Style;
  T.Alignment = C.Alignment;
  T.EffectColor = C.EffectColor;
  T.EffectColor2 = C.EffectColor2;
  T.Font->SetColor(C.FontColor);
  T.Start(&Stage);
  T.Step();
  Stage.EndPaint();
  EXPECT_EQ(T.State, 2);
  EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
  EXPECT_EQ(T.TextFormat(), C.Format);

  const auto Want = Expected(C.Width, C.Height, C.FontHeight, C.Format, C.Text, C.Copies);
  EXPECT_EQ(DifferentPixels(Stage.Buffer(), *Want), 0);
  TBitmap32 Blank;
  Blank.Resize(C.Width, C.Height);
  Blank.FillArea(0, 0, C.Width, C.Height, Grey);
  EXPECT_GT(DifferentPixels(Stage.Buffer(), Blank), 100) << "the text is visible";
}

const std::vector<Copy> BlackOutlineWhiteText{{0, 0, Black}, {2, 0, Black}, {0, 2, Black}, {2, 2, Black}, {1, 1, White}};

INSTANTIATE_TEST_SUITE_P(
    Cases, TextStyles,
    ::testing::Values(
        // The default object: white 24-point Arial (height -32) with a black
        // outline; the main text at (1, -1) from the stage's corner.
        StyleCase{"Default800x600", 800, 600, 2, 0, Black, Navy, White, "Hallo Welt", -32, 0x810,
                  BlackOutlineWhiteText},
        StyleCase{"DoubledStage", 1600, 1200, 2, 0, Black, Navy, White, "Hallo Welt", -64, 0x810,
                  BlackOutlineWhiteText},
        // The larger ratio wins: 1024 / 600, -54.6 rounds to -55.
        StyleCase{"HeightRatioWins", 1280, 1024, 2, 0, Black, Navy, White, "Hallo Welt", -55, 0x810,
                  BlackOutlineWhiteText},
        StyleCase{"UnknownAlignmentIsLeft", 800, 600, 0, 7, Black, Navy, White, "Hallo Welt", -32, 0x810,
                  {{0, 0, White}}},
        StyleCase{"Right", 800, 600, 0, 1, Black, Navy, White, "Hallo Welt", -32, 0x812, {{0, 0, White}}},
        StyleCase{"Centred", 800, 600, 0, 2, Black, Navy, White, "Hallo Welt", -32, 0x811, {{0, 0, White}}},
        StyleCase{"UnknownStyleIsPlain", 800, 600, 9, 0, Black, Navy, White, "Hallo Welt", -32, 0x810,
                  {{0, 0, White}}},
        StyleCase{"Shadow", 800, 600, 1, 0, Black, Navy, White, "Hallo Welt", -32, 0x810,
                  {{1, 1, Black}, {2, 2, Black}, {0, 0, White}}},
        // Black copies up-left, up-right and down-left of the main text, a
        // white one down-right.
        StyleCase{"Raised", 800, 600, 3, 0, Black, White, Red, "Hallo Welt", -32, 0x810,
                  {{0, 0, Black}, {2, 0, Black}, {0, 2, Black}, {2, 2, White}, {1, 1, Red}}},
        StyleCase{"Ampersand", 800, 600, 0, 0, Black, Navy, White, "R&D && mehr", -32, 0x810, {{0, 0, White}}},
        StyleCase{"LineBreaks", 800, 600, 0, 0, Black, Navy, White, "eins\r\nzwei\ndrei", -32, 0x810,
                  {{0, 0, White}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TextObject, TheAmpersandCheckCanTellPrefixProcessingApart) {
  // Drawn with prefix processing the ampersands would vanish: the comparison
  // in the Ampersand case above would catch a missing no-prefix flag.
  const auto NoPrefix = Expected(800, 600, -32, 0x810, "R&D && mehr", {{0, 0, White}});
  const auto Prefix = Expected(800, 600, -32, 0x010, "R&D && mehr", {{0, 0, White}});
  EXPECT_GT(DifferentPixels(*NoPrefix, *Prefix), 0);
}

TEST(TextObject, MeasuringGivesTheMainTextsRectangle) {
  TBitmap32 B;
  B.Resize(400, 200);
  B.FillArea(0, 0, 400, 200, Grey);
  platform::Canvas Canvas(B.View());
  TFont Font;
  Font.SetName("Arial");
  Font.SetHeight(-20);
  const std::uint32_t Format = 0x810 | platform::DrawTextCalcRect;
  TRect Plain{10, 20, 300, 150};
  Canvas.Font.Assign(Font);
  Canvas.DrawText("Ein Text", Plain, Format);
  ASSERT_GT(Plain.Right, 10);

  // Style -> shift of the main text.
  for (const auto& [Style, Shift] : std::vector<std::pair<std::uint8_t, int>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {9, 0}}) {
    SCOPED_TRACE(int(Style));
    TRect R{10, 20, 300, 150};
    DrawEffectText(Canvas, Font, R, White, Black, Style, Format, "Ein Text", -1);
    EXPECT_EQ(R, (TRect{Plain.Left + Shift, Plain.Top + Shift, Plain.Right + Shift, Plain.Bottom + Shift}));
    TRect Kept{10, 20, 300, 150};
    DrawEffectTextIn(Canvas, Font, Kept, White, Black, Style, Format, "Ein Text", -1);
    EXPECT_EQ(Kept, (TRect{10, 20, 300, 150}));
  }
  for (std::int32_t Y = 0; Y < 200; ++Y)
    for (std::int32_t X = 0; X < 400; ++X) ASSERT_EQ(B.Pixel(X, Y), Grey) << "measuring draws nothing";

  // A font height other than -1 is taken as a positive cell height.
  TRect Tall{10, 20, 300, 150};
  DrawEffectText(Canvas, Font, Tall, White, Black, 0, Format, "Ein Text", -40);
  EXPECT_GT(Tall.Height(), Plain.Height());
}

TEST(TextObject, ScaledFontRoundsHalvesToEven) {
  TPVPText T;
  TFont F;
  F.SetHeight(-32);
  struct Case {
    TRect Area;
    std::int32_t Height;
  };
  for (const Case& C : {Case{{0, 0, 800, 600}, -32}, Case{{0, 0, 1024, 768}, -41}, Case{{0, 0, 1280, 1024}, -55},
                        Case{{0, 0, 1600, 1200}, -64}})
    EXPECT_EQ(T.ScaledFont(F, C.Area)->Height(), C.Height);
  F.SetHeight(-10);
  // -10 x 200/800 = -2.5 -> -2; -10 x 280/800 = -3.5 -> -4.
  EXPECT_EQ(T.ScaledFont(F, TRect{0, 0, 200, 0})->Height(), -2);
  EXPECT_EQ(T.ScaledFont(F, TRect{0, 0, 280, 0})->Height(), -4);
  EXPECT_EQ(T.ScaledFont(F, TRect{0, 0, 800, 600})->Name(), F.Name());
}

TEST(TextObject, APayloadWithoutFontDrawsInTheDefaultFontAndKeepsNone) {
  StageWindow WithFont(800, 600), WithoutFont(800, 600);
  TPVPText A, B;
  A.Text = B.Text = "Ohne Schrift";
  B.Font.reset();
  A.Start(&WithFont);
  A.Step();
  B.Start(&WithoutFont);
  B.Step();
  WithFont.EndPaint();
  WithoutFont.EndPaint();
  EXPECT_EQ(DifferentPixels(WithFont.Buffer(), WithoutFont.Buffer()), 0);
  EXPECT_FALSE(B.Font);
  B.FitPlacementToText();  // measures with the default font too
}

TEST(TextObject, AnAnimationDrawsTheTextAndDecidesWhenItIsDone) {
  StageWindow Stage(800, 600);
  TPVPText T;
  T.Text = "Tipp";
  T.AnimationClass = TTestAnimation::StaticClass();
  EXPECT_EQ(T.UsedProgramFilenames(), std::vector<std::string>{"typewriter.wav"});
  T.Start(&Stage);
  auto* A = dynamic_cast<TTestAnimation*>(T.TextAnimation.get());
  ASSERT_TRUE(A);
  EXPECT_EQ(A->TextObject, &T);
  EXPECT_TRUE(A->FirstStep);
  for (int Tick = 1; Tick <= 3; ++Tick) {
    T.Step();
    EXPECT_EQ(T.State, Tick < 3 ? 1 : 2);
  }
  EXPECT_EQ(A->Calls, 3);
  EXPECT_TRUE(A->SawFirstStep);
  EXPECT_EQ(A->LastForm, &Stage);
  T.Step();
  EXPECT_EQ(A->Calls, 3) << "a finished object is not stepped";
  EXPECT_TRUE(Stage.Calls.empty()) << "the animation draws, not the object";

  // Assign copies the animation as a fresh, unstarted instance.
  TPVPText Copy;
  Copy.Assign(&T);
  auto* CopiedAnimation = dynamic_cast<TTestAnimation*>(Copy.TextAnimation.get());
  ASSERT_TRUE(CopiedAnimation);
  EXPECT_NE(CopiedAnimation, A);
  EXPECT_EQ(CopiedAnimation->TextObject, nullptr);
  EXPECT_EQ(Animations, 2);

  T.Stop();
  EXPECT_FALSE(T.TextAnimation);
  TPVPText Plain;
  Copy.Assign(&Plain);
  EXPECT_FALSE(Copy.TextAnimation);
  EXPECT_EQ(Animations, 0);

  // A restart makes a new instance.
  T.Start(&Stage);
  ASSERT_TRUE(T.TextAnimation);
  EXPECT_EQ(dynamic_cast<TTestAnimation*>(T.TextAnimation.get())->Calls, 0);
}

TEST(TextObject, AClassThatIsNoTextAnimationShowsTheTextAtOnce) {
  StageWindow Stage(800, 600);
  TPVPText T;
  T.Text = "Sofort";
  T.AnimationClass = TPVPPicture::StaticClass();
  EXPECT_TRUE(T.UsedProgramFilenames().empty());
  T.Start(&Stage);
  EXPECT_FALSE(T.TextAnimation);
  T.Step();
  EXPECT_EQ(T.State, 2);
  EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
}

TEST(TextObject, FitPlacementToTextFollowsTheMeasuredText) {
  TBitmap32 Scratch;
  Scratch.Resize(1, 1);
  platform::Canvas Canvas(Scratch.View());
  Canvas.Font.SetName("Arial");
  Canvas.Font.SetHeight(-32);
  const auto Measure = [&](const std::string& Text, TRect R) {
    Canvas.DrawText(Text, R, 0x810 | platform::DrawTextCalcRect);
    return R;
  };

  // Left-aligned, short: widened to the right edge first, then to the text
  // (+1 for the outline's shift, +40), 6 pixels added below.
  TPVPText Short;
  Short.Text = "Hallo";
  Short.Placement = RelRect(0.1, 0.2, 0.3, 0.4);
  Short.FitPlacementToText();
  const TRect S = Measure("Hallo", TRect{80, 120, 800, 240});
  EXPECT_DOUBLE_EQ(Short.Placement.Left, 0.1);
  EXPECT_DOUBLE_EQ(Short.Placement.Top, 0.2);
  EXPECT_DOUBLE_EQ(Short.Placement.Right, (S.Right + 1 + 40) / 800.0);
  EXPECT_DOUBLE_EQ(Short.Placement.Bottom, (S.Bottom + 1 + 6) / 600.0);

  // Reaching beyond the reference stage: capped at 1 and one font height
  // taller.
  const std::string Long = "Donaudampfschifffahrtsgesellschaftskapit\xE4nsm\xFCtze";
  TPVPText Wide;
  Wide.Text = Long;
  Wide.Placement = RelRect(0.5, 0.2, 0.6, 0.3);
  Wide.FitPlacementToText();
  const TRect W = Measure(Long, TRect{400, 120, 800, 180});
  ASSERT_GT(W.Right + 1 + 40, 800);
  EXPECT_DOUBLE_EQ(Wide.Placement.Right, 1.0);
  EXPECT_DOUBLE_EQ(Wide.Placement.Bottom, std::min((W.Bottom + 1 + 32 + 6) / 600.0, 1.0));

  // Right-aligned: the left edge goes to the stage's edge.
  TPVPText Right;
  Right.Text = "Hallo";
  Right.Alignment = 1;
  Right.Placement = RelRect(0.5, 0.2, 0.6, 0.3);
  Right.FitPlacementToText();
  EXPECT_DOUBLE_EQ(Right.Placement.Left, 0.0);
}

TEST(TextAnimationBase, DoesNothingAndIsFinished) {
  TTextAnimationPlugin A;
  EXPECT_TRUE(A.Finished());
  EXPECT_EQ(A.TextObject, nullptr);
  EXPECT_FALSE(A.FirstStep);
  TPVPText T;
  A.Start(&T, nullptr);
  EXPECT_EQ(A.TextObject, &T);
  EXPECT_TRUE(A.FirstStep);
  A.Animate(nullptr);
  EXPECT_TRUE(A.Finished());
  EXPECT_TRUE(TTextAnimationPlugin::StaticClass()->UsedFilenames().empty());
  EXPECT_TRUE(TTextAnimationPlugin::StaticClass()->Caption().empty());
  EXPECT_TRUE(TTestAnimation::StaticClass()->InheritsFrom(TTextAnimationPlugin::StaticClass()));
}

}  // namespace
