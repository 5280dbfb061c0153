// lmotool render on presentations of colour rectangles assembled byte by
// byte: the right pixels at the right virtual times, with navigation, pause
// and Esc events, frames only when the screen changed.
#include "tests/Player/RenderTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace testbytes;
using namespace rendertest;
using Render = RenderFixture;

// Platform colour values (0x00BBGGRR) and the pixels (0xRRGGBB) they give.
constexpr std::uint32_t StoredRed = 0x000000FF, StoredGreen = 0x0000FF00, StoredBlue = 0x00FF0000;
constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Black = 0x000000;

Bytes ColorRect(std::uint32_t Duration, double L, double T, double R, double B, std::uint32_t Color) {
  return Record("TPVPColorRect", ColorRectPayload(0, Duration, L, T, R, B, Color));
}

// Two slides: red over the whole stage for 1 s; then blue, and after 300 ms
// a green rectangle over the top-left quarter.
Bytes TwoSlides() {
  return Container({SlideChunk({ColorRect(1000, 0, 0, 1, 1, StoredRed)}),
                    SlideChunk({ColorRect(300, 0, 0, 1, 1, StoredBlue), ColorRect(5000, 0, 0, 0.5, 0.5, StoredGreen)})});
}

TEST_F(Render, ShowsEachSlideAtItsVirtualTime) {
  ASSERT_EQ(Run(Write(TwoSlides()), "--size 80x60 --at 50,500,1400,1800 --seed 3"), 0) << Errors();
  struct Case {
    int Ms;
    std::uint32_t TopLeft, BottomRight;
  };
  for (const Case C : {Case{50, Black, Black}, Case{500, Red, Red}, Case{1400, Blue, Blue}, Case{1800, Green, Blue}}) {
    SCOPED_TRACE(C.Ms);
    const Picture P = At(C.Ms);
    ASSERT_EQ(P.Width, 80);
    ASSERT_EQ(P.Height, 60);
    EXPECT_EQ(P.At(0, 0), C.TopLeft);
    EXPECT_EQ(P.At(79, 59), C.BottomRight);
  }
  // The green quarter ends exactly at x 40, y 30.
  const Picture Last = At(1800);
  EXPECT_EQ(Last.At(39, 29), Green);
  EXPECT_EQ(Last.At(40, 29), Blue);
  EXPECT_EQ(Last.At(39, 30), Blue);
}

TEST_F(Render, NavigationPauseAndEscEventsActAsTheButtonsAndKeys) {
  // slide-next at 300 shows the second slide at once; pausing at 1000 holds
  // it (the green rectangle waits), resuming at 2000 lets it come; Esc
  // released at 2500 ends the run before the last --at time.
  const std::string Args =
      "--size 80x60 --at 250,400,1900,2100,3000 --event 300:button:slide-next --event 400:button:stop "
      "--event 1900:button:stop --event 2400:key-down:27 --event 2500:key-up:27";
  ASSERT_EQ(Run(Write(TwoSlides()), Args), 0) << Errors();
  EXPECT_EQ(At(250).At(0, 0), Red);
  EXPECT_EQ(At(400).At(0, 0), Blue);
  EXPECT_EQ(At(1900).At(0, 0), Blue) << "paused: the green rectangle must wait";
  EXPECT_EQ(At(2100).At(0, 0), Green);
  EXPECT_FALSE(HasAt(3000));
  EXPECT_NE(Errors().find("ended at 2500"), std::string::npos) << Errors();
}

TEST_F(Render, FramesAreWrittenOnlyWhenTheScreenChanged) {
  ASSERT_EQ(Run(Write(TwoSlides()), "--size 40x30 --frames --until 1800"), 0) << Errors();
  const std::vector<std::string> Names = Frames();
  // Black, red, blue, green-over-blue: four different screens.
  ASSERT_EQ(Names.size(), 4u);
  EXPECT_EQ(Names[0], "frame-000000-0.png");
  const std::uint32_t Expected[] = {Black, Red, Blue, Green};
  for (std::size_t I = 0; I < Names.size(); ++I) {
    EXPECT_EQ(Names[I].substr(0, 12), "frame-" + std::string(6 - std::to_string(I).size(), '0') + std::to_string(I));
    EXPECT_EQ(ReadPng(Dir_ / "out" / Names[I]).At(0, 0), Expected[I]) << Names[I];
  }
}

TEST_F(Render, MovingTheMouseShowsTheNavigationBarOverTheSlide) {
  const std::string Args = "--size 400x300 --at 150,450,3600 --event 200:mouse-move:10,10 --event 300:mouse-move:100,100";
  ASSERT_EQ(Run(Write(TwoSlides()), Args), 0) << Errors();
  // The bar is centred at the bottom: x 85..316, y 243..299.
  EXPECT_EQ(At(150).At(200, 280), Red);
  EXPECT_NE(At(450).At(200, 280), Red);
  EXPECT_EQ(At(450).At(200, 100), Red);
  // Three seconds of rest over the stage hide it again.
  EXPECT_EQ(At(3600).At(200, 280), Blue);
}

TEST_F(Render, AFileThatDoesNotLoadFailsWithItsMessage) {
  ASSERT_EQ(Run(Write(Raw("not a container at all, just text")), "--size 40x30 --at 10"), 2);
  EXPECT_NE(Errors().find("Keine CKS-Datei!"), std::string::npos) << Errors();
}

TEST_F(Render, OptionsAreChecked) {
  const fs::path File = Write(TwoSlides());
  for (const char* Args : {"--size 40x30", "--size 40 --at 10", "--size 0x30 --at 10",
                           "--size 40x30 --at 10 --event 5:button:jump", "--size 40x30 --at x"}) {
    SCOPED_TRACE(Args);
    EXPECT_EQ(Run(File, Args), 2);
  }
}

}  // namespace
