// Plays arbitrary bytes as a presentation: whatever loads is shown in the
// player window on the offscreen display, on a virtual clock, for a few
// virtual seconds while the mouse calls up the navigation bar and its
// buttons go forward and back. Loading may fail; the show itself must never
// crash, leak or hang, whatever values the file holds.
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <vector>

#include "CKS/Streams.h"
#include "Chore/ModuleInit.h"
#include "Chore/OffscreenShow.h"
#include "Chore/PlayerHost.h"
#include "Platform/App/Application.h"
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

  TOffscreenShow Show(64, 48);
  for (const char* Event : {"300:mouse-move:32,40", "700:button:next", "1000:button:slide-next", "1400:button:next",
                            "1800:button:slide-back"})
    Show.Screen().AddEvent(platform::ParseScriptedEvent(Event));
  Show.Play(Slides, ShowMilliseconds);
  return 0;
}
