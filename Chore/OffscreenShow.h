#pragma once
// A show in the player window on the offscreen display, on a virtual clock
// that starts at 0 when the display is set up: what lmotool render writes
// pictures of, and what the play fuzz target runs.
#include <cstdint>
#include <functional>

#include "Platform/App/OffscreenBackend.h"
#include "Platform/Core/Clock.h"

class TSlides;

class TOffscreenShow {
public:
  // Puts an offscreen display of Width x Height in front of the application
  // and seeds the program's random generator, so that a show replays alike.
  TOffscreenShow(std::int32_t Width, std::int32_t Height, std::uint64_t Seed = 1);
  // Takes the display away again.
  ~TOffscreenShow();
  TOffscreenShow(const TOffscreenShow&) = delete;
  TOffscreenShow& operator=(const TOffscreenShow&) = delete;

  // The display, for scripted events and frames before Play.
  platform::OffscreenBackend& Screen() { return *Screen_; }

  // Plays Slides in a new player window until the show closes itself or the
  // clock reaches Until; then the window is stopped and closed as Esc would,
  // after AtRunLimit has seen the display. Returns the virtual end time.
  std::uint64_t Play(TSlides& Slides, std::uint64_t Until, const std::function<void()>& AtRunLimit = {});

private:
  platform::VirtualClock Clock_{0};
  platform::ScopedClock UseClock_{Clock_};
  platform::OffscreenBackend* Screen_ = nullptr;
};
