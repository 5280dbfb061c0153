// Plays arbitrary bytes as a presentation: whatever loads is shown in the
// player window on the offscreen display, on a virtual clock, for a few
// virtual seconds while the mouse calls up the navigation bar and its
// buttons go forward and back. Loading may fail; the show itself must never
// crash, leak or hang, whatever values the file holds.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>

#include "CKS/Streams.h"
#include "Chore/KivoSlideShowPlayerForm.h"
#include "Chore/ModuleInit.h"
#include "Chore/PlayerHost.h"
#include "Platform/App/Application.h"
#include "Platform/App/OffscreenBackend.h"
#include "Platform/Core/Clock.h"
#include "Platform/Core/Random.h"
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"
#include "Slides/Slides.h"

namespace {

constexpr std::uint64_t ShowMilliseconds = 2500;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The mask pictures, button glyphs and sounds of the source tree, so that
  // transitions and navigation run with their real data.
  ::setenv("LMO_DATA_DIR", LMO_FUZZ_DATA_DIR, 0);
  platform::SetPictureMemoryBudget(std::size_t{16} << 20);
  TStartupOptions Options;
  Options.BuildPictureFormats = [] { platform::RegisterPictureFormats(); };
  // A local static, so that it is taken down before the statics it creates.
  static TModuleLifetime Modules(Options);
  platform::Application::Instance().SetTitle(PlayerTitle);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TSlides Slides;
  try {
    TMemoryStream Stream(std::vector<std::uint8_t>(Data, Data + Size));
    Slides.LoadFromStream(Stream);
  } catch (const std::exception&) {
    return 0;
  }

  platform::VirtualClock Clock(0);
  platform::ScopedClock UseClock(Clock);
  platform::ProgramRandom().Seed(1);
  platform::Application& App = platform::Application::Instance();
  auto Owned = std::make_unique<platform::OffscreenBackend>(Clock, 64, 48);
  platform::OffscreenBackend& Screen = *Owned;
  App.SetBackend(std::move(Owned));
  Screen.KeepFrames = false;
  Screen.SetRunLimit(ShowMilliseconds);
  for (const char* Event : {"300:mouse-move:32,40", "700:button:next", "1000:button:slide-next", "1400:button:next",
                            "1800:button:slide-back"})
    Screen.AddEvent(platform::ParseScriptedEvent(Event));

  TKivoSlideShowPlayerForm* Showing = nullptr;
  App.OnRunLimit = [&] {
    if (Showing) Showing->StopAndClose();
  };
  {
    auto Window = std::make_unique<TKivoSlideShowPlayerForm>();
    Showing = Window.get();
    KivoSlideShowPlayerForm = Window.get();
    Window->Play(Slides);
    Slides.StopCurrentObject();
    KivoSlideShowPlayerForm = nullptr;
    Showing = nullptr;
  }
  App.OnRunLimit = nullptr;
  App.SetBackend(nullptr);
  return 0;
}
