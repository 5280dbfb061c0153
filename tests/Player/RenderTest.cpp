// lmotool render on presentations of colour rectangles assembled byte by
// byte: the right pixels at the right virtual times, with navigation, pause
// and Esc events, frames only when the screen changed.
#include <gtest/gtest.h>
#include <cairo.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/Slides/PresentationBytes.h"

namespace {

namespace fs = std::filesystem;
using namespace testbytes;

// Platform colour values (0x00BBGGRR) and the pixels (0xRRGGBB) they give.
constexpr std::uint32_t StoredRed = 0x000000FF, StoredGreen = 0x0000FF00, StoredBlue = 0x00FF0000;
constexpr std::uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, Black = 0x000000;

Bytes ColorRect(std::uint32_t Duration, double L, double T, double R, double B, std::uint32_t Color) {
  return Record("TPVPColorRect", ColorRectPayload(0, Duration, L, T, R, B, Color));
}

struct Picture {
  std::int32_t Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0xRRGGBB
  std::uint32_t At(std::int32_t X, std::int32_t Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
};

Picture ReadPng(const fs::path& Path) {
  Picture P;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> S(cairo_image_surface_create_from_png(Path.c_str()),
                                                                 cairo_surface_destroy);
  if (cairo_surface_status(S.get()) != CAIRO_STATUS_SUCCESS) return P;
  P.Width = cairo_image_surface_get_width(S.get());
  P.Height = cairo_image_surface_get_height(S.get());
  const int Stride = cairo_image_surface_get_stride(S.get());
  const unsigned char* Data = cairo_image_surface_get_data(S.get());
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X)
      P.Pixels.push_back(reinterpret_cast<const std::uint32_t*>(Data + Y * Stride)[X] & 0xFFFFFF);
  return P;
}

class Render : public ::testing::Test {
protected:
  void SetUp() override {
    Dir_ = fs::temp_directory_path() / ("lmo-render-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir_);
    fs::create_directories(Dir_ / "out");
  }
  void TearDown() override { fs::remove_all(Dir_); }

  fs::path Write(const Bytes& Content) {
    const fs::path File = Dir_ / "show.lmo";
    std::ofstream(File, std::ios::binary).write(reinterpret_cast<const char*>(Content.data()),
                                                static_cast<std::streamsize>(Content.size()));
    return File;
  }
  // Runs lmotool render with Arguments after FILE; the exit status.
  int Run(const fs::path& File, const std::string& Arguments) {
    const std::string Command = std::string(LMOTOOL_PATH) + " render '" + File.string() + "' --out '" +
                                (Dir_ / "out").string() + "' " + Arguments + " 2>'" + (Dir_ / "err").string() + "'";
    const int Status = std::system(Command.c_str());
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  }
  std::string Errors() {
    std::ifstream In(Dir_ / "err");
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  Picture At(int Ms) { return ReadPng(Dir_ / "out" / ("at-" + std::to_string(Ms) + ".png")); }
  bool HasAt(int Ms) { return fs::exists(Dir_ / "out" / ("at-" + std::to_string(Ms) + ".png")); }
  std::vector<std::string> Frames() {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(Dir_ / "out"))
      if (E.path().filename().string().rfind("frame-", 0) == 0) Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }

  fs::path Dir_;
};

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
