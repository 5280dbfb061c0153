// The presentation surface inside the running window (invalidation, flush,
// the buffer's size), the pixel rectangles of visible objects, and the
// background and colour rectangle on the stage.
#include <gtest/gtest.h>

#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/SystemColors.h"
#include "SlideObjects/BackgroundObjects.h"
#include "tests/Player/PlayerTestSupport.h"
#include "tests/SlideObjectsShow/StageWindow.h"

namespace playertest {
namespace {

constexpr TColor32 Red = 0xFFFF0000, Green = 0xFF00FF00, Black = 0xFF000000;

// A platform colour value (0x00BBGGRR, or a system colour) as an opaque pixel.
TColor32 PixelOf(TColor Color) {
  const TColor C = platform::ResolveColor(Color);
  return 0xFF000000 | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
}

// Runs Work once inside a 100 x 100 window's run, at 50 ms.
void InRunningWindow(const std::function<void(TKivoSlideShowPlayerForm&)>& Work) {
  TSlides Empty;
  OffscreenRun Run(100, 100);
  bool Done = false;
  Run.Every(50, [&](TKivoSlideShowPlayerForm& W) {
    if (Done) return;
    Done = true;
    Work(W);
  });
  Run.Play(Empty, 60);
  EXPECT_TRUE(Done);
}

TColor32 FrontAt(TKivoSlideShowPlayerForm& W, std::int32_t X, std::int32_t Y) {
  return W.WindowBuffer().Front().Row(Y)[X];
}

TEST(Surface, InvalidatedAreaIsCutToTheSurfaceAndCopiedFromTheBuffer) {
  InRunningWindow([](TKivoSlideShowPlayerForm& W) {
    TBitmap32& Buffer = W.Surface().Buffer();
    Buffer.FillArea(0, 0, 100, 100, Red);
    W.InvalidateArea(TRect{-10, -10, 20, 20});
    W.FlushSurface();
    EXPECT_EQ(FrontAt(W, 0, 0), Red);
    EXPECT_EQ(FrontAt(W, 19, 19), Red);
    EXPECT_EQ(FrontAt(W, 20, 19), Black);
    EXPECT_EQ(FrontAt(W, 19, 20), Black);
    // Right of or below the surface: no repaint is asked for at all.
    W.InvalidateArea(TRect{100, 0, 150, 50});
    W.InvalidateArea(TRect{0, 120, 50, 150});
    EXPECT_FALSE(W.PaintPending());
  });
}

TEST(Surface, FlushDoesNothingBeforeTheFirstInvalidationThroughTheWindow) {
  InRunningWindow([](TKivoSlideShowPlayerForm& W) {
    W.Surface().Buffer().FillArea(0, 0, 100, 100, Red);
    W.Surface().InvalidateRect(TRect{0, 0, 100, 100});
    W.FlushSurface();
    EXPECT_TRUE(W.PaintPending());
    EXPECT_EQ(FrontAt(W, 50, 50), Black);
    W.InvalidateAll();
    W.FlushSurface();
    EXPECT_FALSE(W.PaintPending());
    EXPECT_EQ(FrontAt(W, 50, 50), Red);
  });
}

TEST(Surface, InvalidateSurfaceRepaintsTheWindowOrOnlyMarksTheBuffer) {
  InRunningWindow([](TKivoSlideShowPlayerForm& W) {
    TWinPaintBox32& Box = W.Surface();
    W.InvalidateAll();
    W.FlushSurface();
    EXPECT_TRUE(Box.BufferValid());
    Box.Buffer().FillArea(0, 0, 100, 100, Green);
    Box.InvalidateSurface(false, true);
    EXPECT_FALSE(Box.BufferValid());
    EXPECT_FALSE(W.PaintPending());
    Box.InvalidateSurface(true, false);
    EXPECT_TRUE(W.PaintPending());
    W.FlushSurface();
    EXPECT_EQ(FrontAt(W, 99, 99), Green);
  });
}

TEST(Surface, BufferFollowsTheControlSizeAndStartsBlack) {
  TWinPaintBox32 Box;
  Box.SetBounds(0, 0, 30, 20);
  EXPECT_EQ(Box.GetClientRect(), (TRect{0, 0, 30, 20}));
  ASSERT_EQ(Box.Buffer().Width(), 30);
  ASSERT_EQ(Box.Buffer().Height(), 20);
  Box.Buffer().FillArea(0, 0, 30, 20, Red);
  Box.SetBounds(0, 0, 40, 25);
  EXPECT_EQ(Box.Buffer().Pixel(39, 24), Black);
  EXPECT_EQ(Box.Buffer().Pixel(0, 0), Black);
  Box.SetBounds(0, 0, 0, 0);
  EXPECT_EQ(Box.Buffer().Width(), 1);
  EXPECT_EQ(Box.Buffer().Height(), 1);
  // The canvas draws into the buffer.
  platform::Canvas* Canvas = Box.BufferCanvas();
  ASSERT_NE(Canvas, nullptr);
  EXPECT_EQ(Canvas->Pixels().Bits, Box.Buffer().Bits());
}

TEST(VisibleObjects, PixelRectangleTruncatesTheRelativePlacement) {
  struct Case {
    TRelRect Placement;
    TRect Stage, Expected;
  };
  const Case Cases[] = {
      {RelRect(0, 0, 1, 1), TRect{0, 0, 800, 600}, TRect{0, 0, 800, 600}},
      {RelRect(0.25, 0.5, 0.75, 1.0), TRect{0, 0, 1024, 768}, TRect{256, 384, 768, 768}},
      {RelRect(0.25, 0.5, 0.75, 1.0), TRect{0, 0, 1023, 767}, TRect{255, 383, 767, 767}},
      {RelRect(-0.5, 0.5, 1.5, 2.0), TRect{0, 0, 100, 100}, TRect{-50, 50, 150, 200}},
  };
  for (const Case& C : Cases) {
    TPVPColorRect Obj;
    Obj.Placement = C.Placement;
    EXPECT_EQ(Obj.PixelRect(C.Stage), C.Expected);
  }
}

TEST(ColorRect, FillsItsPixelRectangleOnTheStageWithItsColour) {
  struct Case {
    TColor Color;
    TColor32 Expected;
  };
  const TColor BtnFace = 0xFF00000F;
  for (const Case C : {Case{0x000000FF, Red}, Case{BtnFace, PixelOf(BtnFace)}}) {
    StageWindow Stage(800, 600);
    TPVPColorRect Rect;
    Rect.Placement = RelRect(0, 0, 0.5, 0.5);
    Rect.RectColor = C.Color;
    Rect.Start(&Stage);
    Rect.Step();
    Stage.EndPaint();
    EXPECT_TRUE(Rect.IsFinished());
    EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
    const TBitmap32& B = Stage.Buffer();
    EXPECT_EQ(B.Pixel(0, 0), C.Expected);
    EXPECT_EQ(B.Pixel(399, 299), C.Expected);
    EXPECT_NE(B.Pixel(400, 0), C.Expected);
    EXPECT_NE(B.Pixel(0, 300), C.Expected);
    // Done after its first step: a second one draws nothing more.
    Rect.Step();
    EXPECT_EQ(Stage.Count("InvalidateAll"), 1u);
  }
}

TEST(Background, OnTheStageOnlyRepaintsTheWholeSurfaceOnce) {
  StageWindow Stage(64, 48);
  Stage.Buffer().FillArea(0, 0, 64, 48, Green);
  TPVPBackground Background;
  Background.Start(&Stage);
  Background.Step();
  Background.Step();
  EXPECT_TRUE(Background.IsFinished());
  EXPECT_EQ(Stage.Calls, (std::vector<std::string>{"InvalidateAll", "FlushSurface"}));
  EXPECT_EQ(Stage.Buffer().Pixel(10, 10), Green);
}

TEST(Background, GenericDrawingFillsTheStageOnlyInFillModeOne) {
  for (std::uint8_t Mode : {0, 1, 2}) {
    TBitmap32 Target;
    Target.Resize(40, 30);
    Target.FillArea(0, 0, 40, 30, Green);
    TPVPBackground Background;
    Background.FillMode = Mode;
    Background.BackgroundColor = 0x000000FF;
    {
      auto Canvas = CanvasOnBitmap(Target);
      ASSERT_TRUE(Canvas);
      Canvas->SetClipRect(TRect{0, 0, 20, 30});
      Background.Draw(*Canvas, TRect{0, 0, 40, 30});
    }
    EXPECT_EQ(Target.Pixel(5, 5), Mode == 1 ? Red : Green) << int(Mode);
    EXPECT_EQ(Target.Pixel(30, 5), Green) << "outside the clip, mode " << int(Mode);
  }
}

TEST(ColorRect, RendersThroughTheRunningWindow) {
  TSlides Slides;
  auto Slide = std::make_unique<TSlide>();
  auto Rect = std::make_unique<TPVPColorRect>();
  Rect->Placement = RelRect(0, 0, 0.5, 0.5);
  Rect->RectColor = 0x0000FF00;  // green
  Rect->Duration = 5000;
  Slide->Objects.AddObject(std::move(Rect));
  Slides.AddSlide(std::move(Slide), nullptr);
  OffscreenRun Run(800, 600);
  Run.Play(Slides, 400);
  const platform::Frame* F = Run.Screen->FrameAt(300);
  ASSERT_NE(F, nullptr);
  EXPECT_EQ(F->At(0, 0), Green);
  EXPECT_EQ(F->At(399, 299), Green);
  EXPECT_EQ(F->At(400, 299), Black);
  EXPECT_EQ(F->At(399, 300), Black);
  // Before the first slide tick the stage is black.
  const platform::Frame* Before = Run.Screen->FrameAt(50);
  ASSERT_NE(Before, nullptr);
  EXPECT_EQ(Before->At(0, 0), Black);
}

}  // namespace
}  // namespace playertest
