// Saved backgrounds on a 100 x 100 surface.
#include <gtest/gtest.h>

#include "TextAnimations/Sprites.h"
#include "tests/Sound/SoundStage.h"

namespace {

class SpritesTest : public ::testing::Test {
protected:
  SpritesTest() {
    // A pattern that differs at every pixel, so a copy from the wrong place shows.
    for (std::int32_t Y = 0; Y < 100; ++Y)
      for (std::int32_t X = 0; X < 100; ++X) Buffer().SetPixel(X, Y, Pattern(X, Y));
  }
  static TColor32 Pattern(std::int32_t X, std::int32_t Y) {
    return 0xFF000000u | static_cast<TColor32>(X) << 16 | static_cast<TColor32>(Y) << 8 | 0x55;
  }
  TBitmap32& Buffer() { return Stage.Buffer(); }
  void Paint(TColor32 Color) { Buffer().FillArea(0, 0, 100, 100, Color); }
  // The pixels inside Area are the pattern, those outside are Outside.
  void ExpectPatternOnlyIn(const TRect& Area, TColor32 Outside) {
    for (std::int32_t Y = 0; Y < 100; ++Y)
      for (std::int32_t X = 0; X < 100; ++X) {
        const bool In = X >= Area.Left && X < Area.Right && Y >= Area.Top && Y < Area.Bottom;
        ASSERT_EQ(Buffer().Pixel(X, Y), In ? Pattern(X, Y) : Outside) << X << "," << Y;
      }
  }

  platform::VirtualClock Clock;
  platform::ScopedClock Use{Clock};
  soundtest::SoundStage Stage{Clock, 100, 100};
  TCustomSprite Sprite{&Stage};
};

}  // namespace

TEST_F(SpritesTest, RestoreBeforeAnySaveDoesNothing) {
  Sprite.Restore();
  Sprite.RestoreRect(Rect(0, 0, 50, 50));
  ExpectPatternOnlyIn(Rect(0, 0, 100, 100), 0);
  EXPECT_EQ(Sprite.Saved, nullptr);
}

TEST_F(SpritesTest, RestoreGivesBackThePixelsOfTheSavedPartInsideTheSurface) {
  struct Case {
    TRect Saved, Expected;
  };
  const Case Cases[] = {
      {Rect(20, 30, 50, 60), Rect(20, 30, 50, 60)},
      {Rect(-5, -5, 10, 10), Rect(0, 0, 10, 10)},
      {Rect(90, 95, 130, 120), Rect(90, 95, 100, 100)},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Saved.Left);
    TCustomSprite S(&Stage);
    S.Save(C.Saved);
    EXPECT_EQ(S.SavedRect, C.Expected);
    ASSERT_NE(S.Saved, nullptr);
    EXPECT_EQ(S.Saved->Width(), C.Expected.Width());
    EXPECT_EQ(S.Saved->Height(), C.Expected.Height());
    Paint(0xFF00FF00);
    S.Restore();
    ExpectPatternOnlyIn(C.Expected, 0xFF00FF00);
    // Put the whole pattern back for the next case.
    for (std::int32_t Y = 0; Y < 100; ++Y)
      for (std::int32_t X = 0; X < 100; ++X) Buffer().SetPixel(X, Y, Pattern(X, Y));
  }
}

TEST_F(SpritesTest, ASecondSaveReplacesTheFirstAndOutsideSavesNothing) {
  Sprite.Save(Rect(0, 0, 40, 40));
  Sprite.Save(Rect(10, 10, 20, 30));
  EXPECT_EQ(Sprite.Saved->Width(), 10);
  EXPECT_EQ(Sprite.Saved->Height(), 20);
  Paint(0xFF000000);
  Sprite.Restore();
  ExpectPatternOnlyIn(Rect(10, 10, 20, 30), 0xFF000000);

  Sprite.Save(Rect(150, 150, 200, 200));
  EXPECT_EQ(Sprite.SavedRect, TRect{});
  EXPECT_EQ(Sprite.Saved->Width(), 0);
  Sprite.Restore();
  ExpectPatternOnlyIn(Rect(10, 10, 20, 30), 0xFF000000);
}

TEST_F(SpritesTest, DirtyRectIsTheUnionOfTheRestoredRectangles) {
  EXPECT_EQ(Sprite.DirtyRect, TRect{});
  Sprite.RestoreRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(Sprite.DirtyRect, Rect(0, 0, 10, 10));
  Sprite.RestoreRect(Rect(20, 20, 30, 30));
  EXPECT_EQ(Sprite.DirtyRect, Rect(0, 0, 30, 30));
  EXPECT_TRUE(Sprite.AddDirty(Rect(-5, 40, 1, 41)));
  EXPECT_EQ(Sprite.DirtyRect, Rect(-5, 0, 30, 41));
  Sprite.ClearDirty();
  EXPECT_EQ(Sprite.DirtyRect, TRect{});

  Sprite.SetBounds(Rect(7, 8, 9, 10));
  Sprite.SetSize(30, 40);
  EXPECT_EQ(Sprite.Bounds, Rect(7, 8, 37, 48));
}
