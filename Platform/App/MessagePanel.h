#pragma once
// The error message shown over the window while the show goes on: a panel
// with the application title and the error's text. It disappears after ten
// seconds or on a click on it; it never takes the keyboard focus, so every key
// still goes to the show.
#include <string>

#include "Platform/App/Control.h"
#include "Platform/App/Timer.h"

namespace platform {

class MessagePanel final : public Panel {
public:
  static constexpr std::uint32_t ShowMilliseconds = 10000;
  MessagePanel();

  // Shows Text under Title over Window (topmost), for ten seconds from now.
  // The same message again while it is shown changes nothing.
  void ShowMessage(Form& Window, const std::string& Title, const std::string& Text);
  // Hides the panel and takes it off its window.
  void Dismiss();
  // Whether ShowMessage put up something new (false for a repeat).
  bool LastWasNew() const { return LastWasNew_; }
  const std::string& Text() const { return Text_; }
  const std::string& Title() const { return Title_; }

  void MouseDown(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) override;

private:
  void Place(Form& Window);
  std::string Title_, Text_;
  Timer HideTimer_;
  bool LastWasNew_ = false;
};

}  // namespace platform
