#include "Chore/OffscreenShow.h"

#include <memory>

#include "Chore/KivoSlideShowPlayerForm.h"
#include "Chore/PlayerHost.h"
#include "Platform/App/Application.h"
#include "Platform/Core/Random.h"

TOffscreenShow::TOffscreenShow(std::int32_t Width, std::int32_t Height, std::uint64_t Seed) {
  platform::ProgramRandom().Seed(Seed);
  auto Owned = std::make_unique<platform::OffscreenBackend>(Clock_, Width, Height);
  Screen_ = Owned.get();
  // Frames are handed to OnFrame as they come; keeping them all would grow
  // without bound on a long show.
  Screen_->KeepFrames = false;
  platform::Application::Instance().SetBackend(std::move(Owned));
}

TOffscreenShow::~TOffscreenShow() { platform::Application::Instance().SetBackend(nullptr); }

std::uint64_t TOffscreenShow::Play(TSlides& Slides, std::uint64_t Until, const std::function<void()>& AtRunLimit) {
  platform::Application& App = platform::Application::Instance();
  Screen_->SetRunLimit(Until);
  App.OnRunLimit = [&AtRunLimit] {
    if (AtRunLimit) AtRunLimit();
    if (auto* Window = dynamic_cast<TKivoSlideShowPlayerForm*>(KivoSlideShowPlayerForm)) Window->StopAndClose();
  };
  struct DropLimit {
    platform::Application& App;
    ~DropLimit() { App.OnRunLimit = nullptr; }
  } Dropping{App};
  ShowPlayerWindow(Slides);
  return Clock_.Elapsed();
}
