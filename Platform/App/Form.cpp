#include "Platform/App/Form.h"

#include "Platform/App/Application.h"

namespace platform {

Form::Form() {
  Name = "Form";
  Color = ButtonFace;
  SetVisible(false);
}

Form::~Form() = default;

void Form::ShowModal() { Application::Instance().RunModal(*this); }

void Form::Close() {
  CloseAction Action = CloseAction::Hide;
  if (OnClose) OnClose(*this, Action);
  if (Action == CloseAction::None) return;
  CloseRequested_ = true;
}

void Form::SetActiveControl(Control* Value) {
  if (Value && (Value->OwnerForm() != this || !Value->CanFocus())) return;
  ActiveControl_ = Value;
}

void Form::SetActive(bool Value) {
  if (Value == Active_) return;
  Active_ = Value;
  if (Value && OnActivate) OnActivate(*this);
  if (!Value && OnDeactivate) OnDeactivate(*this);
}

void Form::Forget(const Control& Gone) {
  auto Within = [&](const Control* C) {
    for (; C; C = C->Parent())
      if (C == &Gone) return true;
    return false;
  };
  if (Within(ActiveControl_)) ActiveControl_ = nullptr;
  if (Within(Capture_)) Capture_ = nullptr;
  if (Within(Hot_)) {
    // A button hidden under the pointer is no longer hot when it shows again.
    Control* WasHot = Hot_;
    Hot_ = nullptr;
    WasHot->MouseLeave();
  }
}

void Form::Resized() {
  Buffer_.Resize(Width(), Height());
  Invalid_ = ClientRect();
}

void Form::InvalidateClient(const TRect& Area) {
  Invalid_ = UnionRect(Invalid_, IntersectRect(Area, ClientRect()));
}

void Form::PaintControl(Control& C, const TRect& ClipInForm) {
  const TPoint O = C.OriginInForm();
  const TRect Own{O.X, O.Y, O.X + C.Width(), O.Y + C.Height()};
  const TRect Clip = IntersectRect(ClipInForm, Own);
  if (Clip.IsEmpty()) return;
  struct EndPaint {
    Control& C;
    ~EndPaint() { C.EndPaint(); }
  } Ending{C};
  C.BeginPaint(TRect{Clip.Left - O.X, Clip.Top - O.Y, Clip.Right - O.X, Clip.Bottom - O.Y});
  C.Paint();
  for (Control* Child : C.Children())
    if (Child->Visible() && !Child->DrawnAboveSurface()) PaintControl(*Child, Clip);
}

void Form::DispatchPaint() {
  const TRect Clip = Invalid_;
  Invalid_ = TRect{};
  if (Clip.IsEmpty()) return;
  EverPainted_ = true;
  // The form's own colour, unless a surface control covers the whole area.
  bool Covered = false;
  for (Control* C : Children()) {
    if (!C->Visible() || C->DrawnAboveSurface()) continue;
    const TRect B = C->BoundsRect();
    if (B.Left <= Clip.Left && B.Top <= Clip.Top && B.Right >= Clip.Right && B.Bottom >= Clip.Bottom) Covered = true;
  }
  if (!Covered) {
    FillPixels(Buffer_.Front(), Clip, Clip, Color);
    Buffer_.FrontChanged(Clip);
  }
  BeginPaint(Clip);
  struct EndPaint {
    Form& F;
    ~EndPaint() { F.EndPaint(); }
  } Ending{*this};
  Paint();
  for (Control* C : Children())
    if (C->Visible() && !C->DrawnAboveSurface()) PaintControl(*C, Clip);
  // Whatever the paint drew there goes to the screen at the next yield.
  Buffer_.FrontChanged(Clip);
}

void Form::UpdateNow() {
  Application& App = Application::Instance();
  if (PaintPending()) App.Guard([this] { DispatchPaint(); });
  if (App.ActiveForm() == this) App.Present();
}

void Form::UpdateHot(Control* Now) {
  if (Now == Hot_) return;
  Control* Was = Hot_;
  Hot_ = Now;
  if (Was) Was->MouseLeave();
  if (Now) Now->MouseEnter();
}

void Form::DispatchInput(const InputEvent& E) {
  using K = InputEvent::Kind;
  switch (E.Type) {
    case K::KeyDown:
    case K::KeyUp: {
      std::uint16_t Key = E.Key;
      const bool Down = E.Type == K::KeyDown;
      if (KeyPreview || !ActiveControl_) {
        if (Down) KeyDown(Key, E.Shift);
        else KeyUp(Key, E.Shift);
      }
      if (Key != 0 && ActiveControl_) {
        if (Down) ActiveControl_->KeyDown(Key, E.Shift);
        else ActiveControl_->KeyUp(Key, E.Shift);
      }
      break;
    }
    case K::KeyPress: {
      char Key = static_cast<char>(E.Key);
      if (KeyPreview || !ActiveControl_) KeyPress(Key);
      if (Key != 0 && ActiveControl_) ActiveControl_->KeyPress(Key);
      break;
    }
    case K::MouseMove:
    case K::MouseDown:
    case K::MouseUp: {
      Control* Target = Capture_ ? Capture_ : ControlAt(E.Position);
      if (E.Type == K::MouseMove && !Capture_) UpdateHot(Target);
      const TPoint O = Target->OriginInForm();
      const std::int32_t X = E.Position.X - O.X, Y = E.Position.Y - O.Y;
      if (E.Type == K::MouseDown) {
        Capture_ = Target;
        Target->MouseDown(E.Button, E.Shift, X, Y);
      } else if (E.Type == K::MouseUp) {
        Capture_ = nullptr;
        Target->MouseUp(E.Button, E.Shift, X, Y);
        UpdateHot(ControlAt(E.Position));
      } else {
        Target->MouseMove(E.Shift, X, Y);
      }
      break;
    }
    case K::FocusIn: SetActive(true); break;
    case K::FocusOut: SetActive(false); break;
    case K::CloseRequest: Close(); break;
    case K::Resize: SetBounds(Left(), Top(), E.Position.X, E.Position.Y); break;
    case K::Expose: Buffer_.FrontChanged(ClientRect()); break;
    case K::Command: break;
  }
}

}  // namespace platform
