#include "Platform/App/Control.h"

#include <algorithm>

#include "Platform/App/Form.h"
#include "Platform/App/WindowCanvas.h"

namespace platform {

Control::Control(Control* Parent) {
  if (Parent) SetParent(Parent);
}

Control::~Control() {
  if (Form* Window = OwnerForm(); Window && Window != this) Window->Forget(*this);
  for (Control* Child : Children_) Child->Parent_ = nullptr;
  if (Parent_) {
    if (Visible_ && DrawnAboveSurface()) ScreenChanged(ClientRect());
    auto& Siblings = Parent_->Children_;
    Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
  }
}

void Control::SetParent(Control* NewParent) {
  if (NewParent == Parent_) return;
  if (Parent_) {
    if (Form* Window = OwnerForm()) Window->Forget(*this);
    if (Visible_) ScreenChanged(ClientRect());
    auto& Siblings = Parent_->Children_;
    Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
  }
  Parent_ = NewParent;
  if (Parent_) {
    Parent_->Children_.push_back(this);
    if (Align_ != Align::None) Parent_->RealignChildren(Parent_->Width_, Parent_->Height_);
    if (Visible_) {
      ScreenChanged(ClientRect());
      if (!DrawnAboveSurface()) Invalidate();
    }
  }
}

Form* Control::OwnerForm() {
  Control* C = this;
  while (C->Parent_) C = C->Parent_;
  return dynamic_cast<Form*>(C);
}

const Form* Control::OwnerForm() const { return const_cast<Control*>(this)->OwnerForm(); }

TPoint Control::OriginInForm() const {
  TPoint O{0, 0};
  for (const Control* C = this; C->Parent_; C = C->Parent_) {
    O.X += C->Left_;
    O.Y += C->Top_;
  }
  return O;
}

TPoint Control::ClientToScreen(TPoint P) const {
  const Control* Root = this;
  while (Root->Parent_) Root = Root->Parent_;
  const TPoint O = OriginInForm();
  return TPoint{P.X + O.X + Root->Left_, P.Y + O.Y + Root->Top_};
}

TPoint Control::ScreenToClient(TPoint P) const {
  const TPoint Zero = ClientToScreen(TPoint{0, 0});
  return TPoint{P.X - Zero.X, P.Y - Zero.Y};
}

void Control::SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height) {
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  if (Left == Left_ && Top == Top_ && Width == Width_ && Height == Height_) return;
  const bool Resizing = Width != Width_ || Height != Height_;
  const std::int32_t OldWidth = Width_, OldHeight = Height_;
  if (Visible_ && Parent_) {
    ScreenChanged(ClientRect());
    if (!DrawnAboveSurface()) Parent_->InvalidateRect(BoundsRect());
  }
  Left_ = Left;
  Top_ = Top;
  Width_ = Width;
  Height_ = Height;
  if (Visible_ && Parent_) {
    ScreenChanged(ClientRect());
    if (!DrawnAboveSurface()) Invalidate();
  }
  if (Resizing) {
    RealignChildren(OldWidth, OldHeight);
    Resized();
    if (OnResize) OnResize(*this);
  }
}

void Control::SetAlign(Align Value) {
  Align_ = Value;
  if (Parent_) Parent_->RealignChildren(Parent_->Width_, Parent_->Height_);
}

void Control::AnchorTo(std::int32_t OldParentWidth, std::int32_t OldParentHeight) {
  const std::int32_t DW = Parent_->Width_ - OldParentWidth, DH = Parent_->Height_ - OldParentHeight;
  std::int32_t L = Left_, T = Top_, W = Width_, H = Height_;
  const bool AL = Anchors_ & AnchorLeft, AR = Anchors_ & AnchorRight;
  const bool AT = Anchors_ & AnchorTop, AB = Anchors_ & AnchorBottom;
  if (AL && AR) W += DW;
  else if (AR) L += DW;
  else if (!AL) L += DW / 2;  // anchored to neither side: keeps its relative place
  if (AT && AB) H += DH;
  else if (AB) T += DH;
  else if (!AT) T += DH / 2;
  SetBounds(L, T, W, H);
}

void Control::RealignChildren(std::int32_t OldWidth, std::int32_t OldHeight) {
  TRect Space = ClientRect();
  const auto Children = Children_;  // a handler may reparent
  for (Control* C : Children) {
    if (!C->Visible_) continue;
    switch (C->Align_) {
      case Align::Top: C->SetBounds(Space.Left, Space.Top, Space.Width(), C->Height_); Space.Top += C->Height_; break;
      case Align::Bottom:
        C->SetBounds(Space.Left, Space.Bottom - C->Height_, Space.Width(), C->Height_);
        Space.Bottom -= C->Height_;
        break;
      case Align::Left: C->SetBounds(Space.Left, Space.Top, C->Width_, Space.Height()); Space.Left += C->Width_; break;
      case Align::Right:
        C->SetBounds(Space.Right - C->Width_, Space.Top, C->Width_, Space.Height());
        Space.Right -= C->Width_;
        break;
      default: break;
    }
  }
  for (Control* C : Children) {
    if (C->Align_ == Align::Client && C->Visible_)
      C->SetBounds(Space.Left, Space.Top, Space.Width(), Space.Height());
    else if (C->Align_ == Align::None && (OldWidth != Width_ || OldHeight != Height_))
      C->AnchorTo(OldWidth, OldHeight);
  }
}

void Control::SetVisible(bool Value) {
  if (Value == Visible_) return;
  if (!Value) {
    ScreenChanged(ClientRect());
    if (Parent_ && !DrawnAboveSurface()) Parent_->InvalidateRect(BoundsRect());
    Visible_ = false;
    if (Form* Window = OwnerForm(); Window && Window != this) Window->Forget(*this);
  } else {
    Visible_ = true;
    ScreenChanged(ClientRect());
    if (!DrawnAboveSurface()) Invalidate();
  }
  if (Parent_ && Align_ != Align::None) Parent_->RealignChildren(Parent_->Width_, Parent_->Height_);
}

bool Control::Showing() const {
  for (const Control* C = this; C; C = C->Parent_)
    if (!C->Visible_) return false;
  return true;
}

void Control::SetFocus() {
  if (Form* Window = OwnerForm()) Window->SetActiveControl(Window == this ? nullptr : this);
}

bool Control::Focused() const {
  const Form* Window = OwnerForm();
  if (!Window || !Window->Active()) return false;
  return Window == this ? Window->ActiveControl() == nullptr : Window->ActiveControl() == this;
}

void Control::Invalidate() { InvalidateRect(ClientRect()); }

void Control::InvalidateRect(const TRect& Area) {
  if (!Showing()) return;
  Form* Window = OwnerForm();
  if (!Window) return;
  const TPoint O = OriginInForm();
  const TRect Cut = IntersectRect(Area, ClientRect());
  if (Cut.IsEmpty()) return;
  const TRect InForm{Cut.Left + O.X, Cut.Top + O.Y, Cut.Right + O.X, Cut.Bottom + O.Y};
  if (DrawnAboveSurface())
    Window->WindowBuffer().OverlayChanged(InForm);
  else
    Window->InvalidateClient(InForm);
}

void Control::ScreenChanged(const TRect& AreaInClient) {
  if (!DrawnAboveSurface() || !Parent_) return;
  Form* Window = OwnerForm();
  if (!Window) return;
  const TPoint O = OriginInForm();
  Window->WindowBuffer().OverlayChanged(TRect{AreaInClient.Left + O.X, AreaInClient.Top + O.Y,
                                              AreaInClient.Right + O.X, AreaInClient.Bottom + O.Y});
}

void Control::Update() {
  if (Form* Window = OwnerForm()) Window->UpdateNow();
}

PaintDevice& Control::Canvas() {
  if (!Canvas_) Canvas_ = std::make_unique<ControlCanvas>(*this);
  return *Canvas_;
}

void Control::Click() {
  if (OnClick) OnClick(*this);
}

Control* Control::ControlAt(TPoint P) {
  for (int Pass = 0; Pass < 2; ++Pass) {
    const bool Above = Pass == 0;
    for (auto It = Children_.rbegin(); It != Children_.rend(); ++It) {
      Control* C = *It;
      if (!C->Visible_ || C->DrawnAboveSurface() != Above) continue;
      const TRect B = C->BoundsRect();
      if (P.X >= B.Left && P.X < B.Right && P.Y >= B.Top && P.Y < B.Bottom)
        return C->ControlAt(TPoint{P.X - C->Left_, P.Y - C->Top_});
    }
  }
  return this;
}

void Control::MouseDown(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseDown) OnMouseDown(*this, Button, Shift, X, Y);
}
void Control::MouseMove(ShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseMove) OnMouseMove(*this, Shift, X, Y);
}
void Control::MouseUp(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseUp) OnMouseUp(*this, Button, Shift, X, Y);
}
void Control::KeyDown(std::uint16_t& Key, ShiftState Shift) {
  if (OnKeyDown) OnKeyDown(*this, Key, Shift);
}
void Control::KeyUp(std::uint16_t& Key, ShiftState Shift) {
  if (OnKeyUp) OnKeyUp(*this, Key, Shift);
}
void Control::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(*this, Key);
}

void Control::Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  RenderChildren(Screen, Origin, Clip);
}

void Control::RenderChildren(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  for (Control* C : Children_) {
    if (!C->Visible_) continue;
    const TPoint O{Origin.X + C->Left_, Origin.Y + C->Top_};
    const TRect Area = IntersectRect(Clip, TRect{O.X, O.Y, O.X + C->Width_, O.Y + C->Height_});
    if (Area.IsEmpty()) continue;
    // A surface control's own pixels are in the front buffer already; only
    // what it holds above the surface is drawn here.
    if (C->DrawnAboveSurface()) C->Render(Screen, O, Area);
    else C->RenderChildren(Screen, O, Area);
  }
}

void FillPixels(const PixelView& Screen, const TRect& Area, const TRect& Clip, TColor32 Color) {
  const TRect R = IntersectRect(IntersectRect(Area, Clip), TRect{0, 0, Screen.Width, Screen.Height});
  for (std::int32_t Y = R.Top; Y < R.Bottom; ++Y) std::fill(Screen.Row(Y) + R.Left, Screen.Row(Y) + R.Right, Color);
}

namespace {
TColor32 Shade(TColor32 C, int Percent) {
  auto Channel = [&](int Shift) {
    const int V = static_cast<int>((C >> Shift) & 0xFF) * Percent / 100;
    return static_cast<TColor32>(std::clamp(V, 0, 255)) << Shift;
  };
  return 0xFF000000 | Channel(16) | Channel(8) | Channel(0);
}
}  // namespace

void Panel::Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) {
  const TRect Whole{Origin.X, Origin.Y, Origin.X + Width(), Origin.Y + Height()};
  FillPixels(Screen, Whole, Clip, Color);
  if (Bevel && Width() > 1 && Height() > 1) {
    const TColor32 Light = 0xFFFFFFFF, Dark = Shade(Color, 63);
    FillPixels(Screen, TRect{Whole.Left, Whole.Top, Whole.Right, Whole.Top + 1}, Clip, Light);
    FillPixels(Screen, TRect{Whole.Left, Whole.Top, Whole.Left + 1, Whole.Bottom}, Clip, Light);
    FillPixels(Screen, TRect{Whole.Left, Whole.Bottom - 1, Whole.Right, Whole.Bottom}, Clip, Dark);
    FillPixels(Screen, TRect{Whole.Right - 1, Whole.Top, Whole.Right, Whole.Bottom}, Clip, Dark);
  }
  RenderChildren(Screen, Origin, Clip);
}

}  // namespace platform
