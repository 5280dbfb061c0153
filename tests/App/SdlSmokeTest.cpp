// One run of the SDL backend on a real (virtual) X display: a window covering
// the screen, a painted surface, the frame read back from the renderer.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Platform/App/Application.h"
#include "Platform/App/Form.h"
#include "Platform/App/SdlBackend.h"
#include "Platform/App/Timer.h"
#include "tests/App/AppTestSupport.h"

namespace platform::testing {
namespace {

TEST(SdlSmoke, APaintedSurfaceReachesTheRealScreen) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
  ::setenv("SDL_VIDEODRIVER", "x11", 0);
  // The software renderer: a virtual X server has no GPU, and a GL driver
  // loaded and unloaded again leaves memory the leak checker cannot place.
  ::setenv("SDL_RENDER_DRIVER", "software", 0);
  if (!SdlBackend::VideoAvailable()) GTEST_SKIP() << "SDL video cannot start";
  auto Owned = std::make_unique<SdlBackend>();
  SdlBackend* Sdl = Owned.get();
  Application& App = Application::Instance();
  App.SetBackend(std::move(Owned));
  {
    Form Window;
    SolidSurface Surface(&Window);
    Surface.SetAlign(Align::Client);
    Surface.Fill = 0xFF2060A0;
    std::vector<TColor32> Read;
    std::int32_t W = 0, H = 0;
    Timer Done;
    Done.SetInterval(200);
    Done.SetOnTimer([&](Timer&) {
      Read = Sdl->ReadScreen(W, H);
      Window.Close();
    });
    const TRect Screen = Sdl->PrimaryScreen();
    Window.ShowModal();
    EXPECT_EQ(Window.BoundsRect(), Screen);
    ASSERT_EQ(Read.size(), static_cast<std::size_t>(W) * H);
    ASSERT_GT(W, 0);
    // Coarsely: the middle of the screen shows the surface's colour.
    const TColor32 Middle = Read[static_cast<std::size_t>(H / 2) * W + W / 2] & 0x00FFFFFF;
    EXPECT_EQ(Middle, 0x2060A0u);
  }
  App.SetBackend(nullptr);
}

}  // namespace
}  // namespace platform::testing
