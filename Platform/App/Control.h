#pragma once
// Controls of a window: a tree of rectangles in their parent's client
// coordinates, with visibility, alignment and anchors, mouse and key events,
// focus and painting.
//
// Two kinds of control paint differently:
//  - surface controls (the default) draw into the window's front buffer from
//    Paint(), when a paint message for an invalidated area arrives or a
//    synchronous Update() runs; transitions also draw straight onto their
//    Canvas();
//  - controls drawn above the surface (panels, tool bars) are composed over the
//    front buffer each time a frame is presented, so they never disturb what
//    the surface shows beneath them.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Platform/App/Input.h"
#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

class Form;
class ControlCanvas;

enum class Align : std::uint8_t { None, Top, Bottom, Left, Right, Client };

using Anchors = std::uint8_t;
inline constexpr Anchors AnchorLeft = 1;
inline constexpr Anchors AnchorTop = 2;
inline constexpr Anchors AnchorRight = 4;
inline constexpr Anchors AnchorBottom = 8;

// The platform's button-face colour, as 32-bit pixel.
inline constexpr TColor32 ButtonFace = 0xFFD4D0C8;

class Control {
public:
  explicit Control(Control* Parent = nullptr);
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  std::string Name;
  std::int32_t Tag = 0;
  TColor32 Color = ButtonFace;

  Control* Parent() const { return Parent_; }
  // Appends this control as the topmost child of NewParent (nullptr detaches).
  void SetParent(Control* NewParent);
  const std::vector<Control*>& Children() const { return Children_; }
  // The window this control lives in, or nullptr.
  Form* OwnerForm();
  const Form* OwnerForm() const;

  // Geometry, in the parent's client coordinates.
  std::int32_t Left() const { return Left_; }
  std::int32_t Top() const { return Top_; }
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }
  void SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height);
  void SetLeft(std::int32_t Value) { SetBounds(Value, Top_, Width_, Height_); }
  void SetTop(std::int32_t Value) { SetBounds(Left_, Value, Width_, Height_); }
  void SetWidth(std::int32_t Value) { SetBounds(Left_, Top_, Value, Height_); }
  void SetHeight(std::int32_t Value) { SetBounds(Left_, Top_, Width_, Value); }
  TRect BoundsRect() const { return TRect{Left_, Top_, Left_ + Width_, Top_ + Height_}; }
  TRect ClientRect() const { return TRect{0, 0, Width_, Height_}; }
  std::int32_t ClientWidth() const { return Width_; }
  std::int32_t ClientHeight() const { return Height_; }
  // The top-left corner of this control in its window's client coordinates.
  TPoint OriginInForm() const;
  TPoint ClientToScreen(TPoint P) const;
  TPoint ScreenToClient(TPoint P) const;

  Align Alignment() const { return Align_; }
  void SetAlign(Align Value);
  Anchors AnchorSet() const { return Anchors_; }
  void SetAnchors(Anchors Value) { Anchors_ = Value; }

  bool Visible() const { return Visible_; }
  void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all parents.
  bool Showing() const;
  bool Enabled = true;

  // Focus: only tab-stop controls that are showing can take it.
  bool TabStop = false;
  bool CanFocus() const { return TabStop && Enabled && Showing(); }
  void SetFocus();
  bool Focused() const;

  // Events. Mouse coordinates are in this control's client coordinates.
  std::function<void(Control&)> OnClick;
  std::function<void(Control&)> OnResize;
  std::function<void(Control&, MouseButton, ShiftState, std::int32_t, std::int32_t)> OnMouseDown;
  std::function<void(Control&, ShiftState, std::int32_t, std::int32_t)> OnMouseMove;
  std::function<void(Control&, MouseButton, ShiftState, std::int32_t, std::int32_t)> OnMouseUp;
  std::function<void(Control&, std::uint16_t&, ShiftState)> OnKeyDown;
  std::function<void(Control&, std::uint16_t&, ShiftState)> OnKeyUp;
  std::function<void(Control&, char&)> OnKeyPress;

  // Painting. Invalidate asks for a paint message for the area (without
  // erasing it); Update runs pending paints at once and shows the result.
  void Invalidate();
  void InvalidateRect(const TRect& Area);
  void Update();
  // The window canvas at this control's position: the front buffer of the
  // window, cut to the control. Changes reach the screen at the next yield.
  PaintDevice& Canvas();
  // While Paint runs: the area to repaint; otherwise the whole control.
  TRect PaintClip() const { return Painting_ ? PaintClip_ : ClientRect(); }
  virtual bool DrawnAboveSurface() const { return false; }

  // Runs the click as a user's click would (handlers and toggles).
  virtual void Click();

  // Hit testing: the deepest showing child under P (client coordinates),
  // children drawn above the surface first; this control when none.
  Control* ControlAt(TPoint P);

  // Called by the window's event dispatch.
  virtual void MouseDown(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(ShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  virtual void KeyDown(std::uint16_t& Key, ShiftState Shift);
  virtual void KeyUp(std::uint16_t& Key, ShiftState Shift);
  virtual void KeyPress(char& Key);

  // Surface controls: draw PaintClip() onto Canvas().
  virtual void Paint() {}
  // Controls drawn above the surface: draw into Screen with this control's
  // top-left corner at Origin, touching only Clip (screen coordinates).
  virtual void Render(const PixelView& Screen, TPoint Origin, const TRect& Clip);
  // Renders the showing children drawn above the surface.
  void RenderChildren(const PixelView& Screen, TPoint Origin, const TRect& Clip);

protected:
  // The size changed (after the children were realigned, before OnResize).
  virtual void Resized() {}
  // The area of the window this control covers now changed on the screen.
  void ScreenChanged(const TRect& AreaInClient);

private:
  friend class Form;
  void RealignChildren(std::int32_t OldWidth, std::int32_t OldHeight);
  void AnchorTo(std::int32_t OldParentWidth, std::int32_t OldParentHeight);
  void BeginPaint(const TRect& Clip) { Painting_ = true; PaintClip_ = Clip; }
  void EndPaint() { Painting_ = false; }

  Control* Parent_ = nullptr;
  std::vector<Control*> Children_;
  std::int32_t Left_ = 0, Top_ = 0, Width_ = 0, Height_ = 0;
  Align Align_ = Align::None;
  Anchors Anchors_ = AnchorLeft | AnchorTop;
  bool Visible_ = true;
  bool Painting_ = false;
  TRect PaintClip_;
  std::unique_ptr<ControlCanvas> Canvas_;
};

// A rectangle drawn above the surface: a flat colour with a one-pixel raised
// bevel, holding other controls.
class Panel : public Control {
public:
  using Control::Control;
  bool Bevel = true;
  bool DrawnAboveSurface() const override { return true; }
  void Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) override;
};

// Fills the part of Area that lies in Clip and in Screen.
void FillPixels(const PixelView& Screen, const TRect& Area, const TRect& Clip, TColor32 Color);

}  // namespace platform
