// The player window on a real (virtual) X display through SDL: the demo's
// first slide reaches the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "Chore/KivoSlideShowPlayerForm.h"
#include "Chore/Registration.h"
#include "Platform/App/Application.h"
#include "Platform/App/SdlBackend.h"
#include "Platform/App/Timer.h"
#include "Platform/Pictures/Picture.h"
#include "PluginEngine/PluginLists.h"
#include "Slides/Slides.h"

namespace {

TEST(SdlPlayer, TheDemosFirstSlideReachesTheRealScreen) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  const std::string Demo = std::string(LMO_SOURCE_DIR) + "/examples/demo/demo.lmo";
  if (!std::filesystem::exists(Demo)) GTEST_SKIP() << "the demo is not built";
  ::setenv("SDL_VIDEODRIVER", "x11", 0);
  ::setenv("SDL_RENDER_DRIVER", "software", 0);
  if (!platform::SdlBackend::VideoAvailable()) GTEST_SKIP() << "SDL video cannot start";
  RegisterPluginClasses(PluginRegistry);
  platform::RegisterPictureFormats();
  TSlides Slides;
  Slides.LoadFromFile(Demo);

  auto Owned = std::make_unique<platform::SdlBackend>();
  platform::SdlBackend* Sdl = Owned.get();
  platform::Application& App = platform::Application::Instance();
  App.SetBackend(std::move(Owned));
  std::vector<TColor32> Read;
  std::int32_t W = 0, H = 0;
  {
    TKivoSlideShowPlayerForm Window;
    KivoSlideShowPlayerForm = &Window;
    // The slide's first object, a dark blue rectangle over the whole stage,
    // is drawn by the first slide step; the screen is read once the slide
    // has moved on to its text (real time: the window may take long to open).
    platform::Timer Capture;
    Capture.SetInterval(50);
    int Checks = 0;
    Capture.SetOnTimer([&](platform::Timer&) {
      TSlide* Slide = Slides.CurrentSlide();
      const bool Drawn = Slide && Slides.CurrentIndex == 0 && Slide->CurrentIndex >= 1;
      if (!Drawn && ++Checks < 200) return;
      Read = Sdl->ReadScreen(W, H);
      Window.StopAndClose();
    });
    Window.Play(Slides);
    Slides.StopCurrentObject();
    KivoSlideShowPlayerForm = nullptr;
  }
  App.SetBackend(nullptr);
  ASSERT_GT(W, 0);
  ASSERT_EQ(Read.size(), static_cast<std::size_t>(W) * H);
  auto Near = [](TColor32 Pixel, TColor32 Expected) {
    for (int Shift = 0; Shift < 24; Shift += 8) {
      const int D = static_cast<int>((Pixel >> Shift) & 0xFF) - static_cast<int>((Expected >> Shift) & 0xFF);
      if (D > 8 || D < -8) return false;
    }
    return true;
  };
  const TColor32 SlideColour = 0x102040;
  for (auto [X, Y] : {std::pair{2, 2}, std::pair{W - 3, 2}, std::pair{W / 2, 4}}) {
    const TColor32 Pixel = Read[static_cast<std::size_t>(Y) * W + X] & 0xFFFFFF;
    EXPECT_TRUE(Near(Pixel, SlideColour)) << std::hex << Pixel << " at " << std::dec << X << "," << Y;
  }
}

}  // namespace
