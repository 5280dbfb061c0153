#pragma once
// What the application object needs from a display: one window at a time,
// its input, putting composed frames on the screen, the pointer and message
// boxes. Two implementations: SdlBackend (a real display) and
// OffscreenBackend (no display, virtual time, a frame store).
#include <cstdint>
#include <optional>
#include <string>

#include "Platform/App/Input.h"
#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

class Backend {
public:
  virtual ~Backend() = default;

  // The primary display in screen coordinates; a maximised form covers it.
  virtual TRect PrimaryScreen() = 0;
  // Opens the borderless window over Bounds; throws when it cannot.
  virtual void OpenWindow(const std::string& Title, const TRect& Bounds) = 0;
  virtual void CloseWindow() = 0;
  virtual void SetTitle(const std::string& Title) = 0;

  // The next waiting event, without blocking.
  virtual std::optional<InputEvent> PollEvent() = 0;
  // Nothing is left to do until Tick (a timer due then; nullopt: none at
  // all). Returns when an event may be waiting or Tick has come. Returns false
  // when nothing can ever happen again (a virtual run with no timers and no
  // scripted events left), so the loop must not wait.
  virtual bool WaitUntil(std::optional<std::uint32_t> Tick) = 0;
  // A run limit was reached: reported once, when the clock has passed it, or
  // when it has come and the loop is Idle (so what is due then runs first).
  virtual bool TakeRunLimit(bool Idle) { (void)Idle; return false; }

  // The composed screen of the window; Changed is the part that is new.
  virtual void Present(const PixelView& Screen, const TRect& Changed) = 0;

  virtual void SetCursorVisible(bool Visible) = 0;
  // The pointer in screen coordinates.
  virtual TPoint PointerPosition() = 0;

  // A plain message box (blocking on a display). Text and Title are UTF-8.
  virtual void ShowMessageBox(const std::string& Title, const std::string& Text) = 0;
};

}  // namespace platform
