#include "Platform/App/ToolBar.h"

#include <algorithm>

namespace platform {
namespace {

TColor32 Blend(TColor32 Under, TColor32 Over) {
  const std::uint32_t A = Over >> 24;
  if (A == 255) return Over;
  if (A == 0) return Under;
  auto Mix = [&](int Shift) {
    const std::uint32_t U = (Under >> Shift) & 0xFF, O = (Over >> Shift) & 0xFF;
    return ((O * A + U * (255 - A) + 127) / 255) << Shift;
  };
  return 0xFF000000 | Mix(16) | Mix(8) | Mix(0);
}

void Edge(const PixelView& Screen, const TRect& R, const TRect& Clip, TColor32 TopLeft, TColor32 BottomRight) {
  FillPixels(Screen, TRect{R.Left, R.Top, R.Right, R.Top + 1}, Clip, TopLeft);
  FillPixels(Screen, TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, Clip, TopLeft);
  FillPixels(Screen, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, Clip, BottomRight);
  FillPixels(Screen, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, Clip, BottomRight);
}

constexpr TColor32 Highlight = 0xFFFFFFFF;
constexpr TColor32 Shadow = 0xFF808080;

}  // namespace

std::int32_t ImageList::Add(std::vector<TColor32> Pixels) {
  if (Pixels.size() != static_cast<std::size_t>(Width_) * Height_) return -1;
  Images_.push_back(std::move(Pixels));
  return Count() - 1;
}

void ImageList::Draw(const PixelView& Screen, std::int32_t X, std::int32_t Y, std::int32_t Index,
                     const TRect& Clip) const {
  if (Index < 0 || Index >= Count()) return;
  const auto& Pixels = Images_[static_cast<std::size_t>(Index)];
  const TRect R = IntersectRect(IntersectRect(TRect{X, Y, X + Width_, Y + Height_}, Clip),
                                TRect{0, 0, Screen.Width, Screen.Height});
  for (std::int32_t Row = R.Top; Row < R.Bottom; ++Row) {
    TColor32* Out = Screen.Row(Row);
    const TColor32* In = &Pixels[static_cast<std::size_t>(Row - Y) * Width_ - X];
    for (std::int32_t Col = R.Left; Col < R.Right; ++Col) Out[Col] = Blend(Out[Col], In[Col]);
  }
}

void ToolBar::Arrange() {
  std::int32_t X = 0;
  for (Control* C : Children()) {
    if (!C->Visible()) continue;
    C->SetBounds(X, 0, ButtonWidth, ButtonHeight);
    X += ButtonWidth;
  }
}

void ToolBar::Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  FillPixels(Screen, TRect{Origin.X, Origin.Y, Origin.X + Width(), Origin.Y + Height()}, Clip, Color);
  RenderChildren(Screen, Origin, Clip);
}

ToolButton::ToolButton(ToolBar& Bar) : Control(&Bar), Bar_(Bar) { Bar_.Arrange(); }

void ToolButton::SetDown(bool Value) {
  if (Value == Down_) return;
  Down_ = Value;
  Invalidate();
}

void ToolButton::Click() {
  if (!Enabled) return;
  if (Kind == Style::Check) SetDown(!Down_);
  Control::Click();
}

void ToolButton::MouseDown(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (Button == MouseButton::Left && Enabled) {
    Pressed_ = true;
    Invalidate();
  }
  Control::MouseDown(Button, Shift, X, Y);
}

void ToolButton::MouseUp(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) {
  const bool WasPressed = Pressed_ && Button == MouseButton::Left;
  if (WasPressed) {
    Pressed_ = false;
    Invalidate();
  }
  Control::MouseUp(Button, Shift, X, Y);
  // A click is a press and a release over the same button.
  if (WasPressed && X >= 0 && Y >= 0 && X < Width() && Y < Height()) Click();
}

void ToolButton::MouseEnter() {
  Hot_ = true;
  Invalidate();
}

void ToolButton::MouseLeave() {
  Hot_ = false;
  Invalidate();
}

void ToolButton::Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  const TRect Whole{Origin.X, Origin.Y, Origin.X + Width(), Origin.Y + Height()};
  FillPixels(Screen, Whole, Clip, Bar_.Color);
  const bool Sunken = Down_ || (Pressed_ && Hot_);
  if (Sunken) Edge(Screen, Whole, Clip, Shadow, Highlight);
  else if (Hot_) Edge(Screen, Whole, Clip, Highlight, Shadow);
  const ImageList* List = Hot_ && Bar_.HotImages ? Bar_.HotImages : Bar_.Images;
  if (!List) return;
  const std::int32_t Shift = Sunken ? 1 : 0;
  List->Draw(Screen, Origin.X + (Width() - List->Width()) / 2 + Shift,
             Origin.Y + (Height() - List->Height()) / 2 + Shift, ImageIndex, Clip);
}

}  // namespace platform
