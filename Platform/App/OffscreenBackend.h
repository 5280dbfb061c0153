#pragma once
// A display without a display: the window is a pixel buffer of a chosen size,
// time is a virtual clock that moves only by sleeps and by the loop jumping to
// the next due timer or scripted event, input comes from a script, and every
// frame that changed what is on the screen can be kept in a frame store.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Platform/App/Backend.h"
#include "Platform/Core/Clock.h"

namespace platform {

// One input event at a virtual time (milliseconds of the clock's Elapsed()).
struct ScriptedEvent {
  std::uint64_t Time = 0;
  InputEvent Event;
};

// "T:KIND[:ARGS]" with KIND one of key-down:CODE, key-up:CODE, key-press:CODE,
// mouse-move:X,Y, mouse-down:X,Y, mouse-up:X,Y, focus-in, focus-out, close;
// any other KIND (letters, digits and '-') becomes a Command event with that
// Name and the rest as Args. Throws std::invalid_argument with a readable
// message for a malformed text.
ScriptedEvent ParseScriptedEvent(const std::string& Text);

// A copy of the whole screen at the moment it changed.
struct Frame {
  std::uint64_t Sequence = 0;  // 0, 1, 2, ... in the order shown
  std::uint64_t Time = 0;      // the clock's Elapsed() when it was shown
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<TColor32> Pixels;  // top-down rows, Width per row
  TColor32 At(std::int32_t X, std::int32_t Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
};

class OffscreenBackend final : public Backend {
public:
  // Clock must stay installed as the current clock while the backend runs.
  OffscreenBackend(VirtualClock& Clock, std::int32_t Width, std::int32_t Height);

  // Script: events are delivered in time order (equal times in the order added).
  void AddEvent(ScriptedEvent Event);
  void AddEvent(std::uint64_t Time, InputEvent Event) { AddEvent(ScriptedEvent{Time, std::move(Event)}); }
  // The run ends (the application's OnRunLimit) when the clock reaches Time.
  void SetRunLimit(std::uint64_t Time) { Limit_ = Time; LimitTaken_ = false; }

  // Frames: every change of the screen is passed to OnFrame (if set) and, with
  // KeepFrames, stored. The last frame is always kept.
  bool KeepFrames = true;
  std::function<void(const Frame&)> OnFrame;
  const std::vector<Frame>& Frames() const { return Frames_; }
  // What the screen showed at virtual time T: the last frame shown at or
  // before T (nullptr when none was yet).
  const Frame* FrameAt(std::uint64_t T) const;
  const Frame* LastFrame() const { return Count_ ? &Last_ : nullptr; }
  std::uint64_t FrameCount() const { return Count_; }

  // Message boxes shown (title, text), also written to stderr.
  std::vector<std::pair<std::string, std::string>> MessageBoxes;
  bool CursorVisible() const { return CursorVisible_; }
  bool WindowOpen() const { return Open_; }
  const std::string& WindowTitle() const { return Title_; }

  TRect PrimaryScreen() override { return TRect{0, 0, Width_, Height_}; }
  void OpenWindow(const std::string& Title, const TRect& Bounds) override;
  void CloseWindow() override { Open_ = false; }
  void SetTitle(const std::string& Title) override { Title_ = Title; }
  std::optional<InputEvent> PollEvent() override;
  bool WaitUntil(std::optional<std::uint32_t> Tick) override;
  bool TakeRunLimit(bool Idle) override;
  void Present(const PixelView& Screen, const TRect& Changed) override;
  void SetCursorVisible(bool Visible) override { CursorVisible_ = Visible; }
  TPoint PointerPosition() override { return Pointer_; }
  void ShowMessageBox(const std::string& Title, const std::string& Text) override;

private:
  VirtualClock& Clock_;
  std::int32_t Width_, Height_;
  std::vector<ScriptedEvent> Script_;  // sorted by time, stable
  std::size_t NextEvent_ = 0;
  std::optional<std::uint64_t> Limit_;
  bool LimitTaken_ = false;
  std::vector<Frame> Frames_;
  Frame Last_;
  std::uint64_t Count_ = 0;
  TPoint Pointer_{0, 0};
  bool CursorVisible_ = true;
  bool Open_ = false;
  std::string Title_;
};

}  // namespace platform
