#pragma once
// The pixels of one window: the front buffer that surface controls and
// transitions draw on, and the screen image composed from it with the
// controls drawn above the surface. Changes are collected and reach the
// backend only when the program yields (Present).
#include <cstdint>
#include <vector>

#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

class Backend;
class Control;
class Form;

class WindowCanvas {
public:
  void Resize(std::int32_t Width, std::int32_t Height);
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }
  PixelView Front() { return View(Front_); }
  PixelView Screen() { return View(Screen_); }

  // Area of the front buffer changed (client coordinates).
  void FrontChanged(const TRect& Area);
  // Something drawn above the surface changed in Area.
  void OverlayChanged(const TRect& Area) { FrontChanged(Area); }
  bool HasChanges() const { return !Dirty_.IsEmpty(); }
  TRect PendingChanges() const { return Dirty_; }

  // Composes the changed area (front buffer, then the controls of Window drawn
  // above the surface) and hands it to Target. Nothing when nothing changed.
  void Present(Form& Window, Backend& Target);

private:
  PixelView View(std::vector<TColor32>& Pixels);
  std::int32_t Width_ = 0, Height_ = 0;
  std::vector<TColor32> Front_, Screen_;
  TRect Dirty_;
};

// The window canvas at one control's position (what the control's Canvas()
// hands out). Pixels start at the control's top-left corner and are cut to
// the window; ClipBox is the paint area while the control paints.
class ControlCanvas final : public PaintDevice {
public:
  explicit ControlCanvas(Control& Owner) : Owner_(Owner) {}
  PixelView Pixels() override;
  TRect ClipBox() const override;
  void Changed(const TRect& Area) override;

private:
  Control& Owner_;
};

}  // namespace platform
