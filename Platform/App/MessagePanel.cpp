#include "Platform/App/MessagePanel.h"

#include <algorithm>

#include "Platform/App/Form.h"
#include "Platform/App/MessageText.h"

namespace platform {
namespace {
constexpr std::int32_t Margin = 12;
constexpr std::int32_t MaxWidth = 520;
}  // namespace

MessagePanel::MessagePanel() {
  Name = "MessagePanel";
  Color = 0xFFFFFFE1;  // the pale yellow of a notice
  SetVisible(false);
  HideTimer_.SetEnabled(false);
  HideTimer_.SetInterval(ShowMilliseconds);
  HideTimer_.SetOnTimer([this](Timer& T) {
    T.SetEnabled(false);
    Hide();
  });
}

void MessagePanel::ShowMessage(Form& Window, const std::string& Title, const std::string& Text) {
  LastWasNew_ = !(Visible() && Parent() == &Window && Title == Title_ && Text == Text_);
  if (!LastWasNew_) return;
  Title_ = Title;
  Text_ = Text;
  Hide();
  SetParent(nullptr);
  SetParent(&Window);  // topmost
  Place(Window);
  Show();
  HideTimer_.SetEnabled(false);
  HideTimer_.SetEnabled(true);
}

void MessagePanel::Dismiss() {
  HideTimer_.SetEnabled(false);
  Hide();
  SetParent(nullptr);
}

void MessagePanel::Place(Form& Window) {
  const std::int32_t W = std::max(1, std::min(MaxWidth, Window.ClientWidth() - 2 * Margin));
  const std::int32_t H = std::min(Window.ClientHeight(), MeasureMessageText(Title_, Text_, W - 2 * Margin) + 2 * Margin);
  SetBounds((Window.ClientWidth() - W) / 2, (Window.ClientHeight() - H) / 2, W, H);
}

void MessagePanel::MouseDown(MouseButton, ShiftState, std::int32_t, std::int32_t) {
  HideTimer_.SetEnabled(false);
  Hide();
}

void MessagePanel::Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  Panel::Render(Screen, Origin, Clip);
  const TRect Area{Origin.X + Margin, Origin.Y + Margin, Origin.X + Width() - Margin, Origin.Y + Height() - Margin};
  DrawMessageText(Screen, Area, Clip, Title_, Text_);
}

}  // namespace platform
