#pragma once
// A top-level window: borderless, covering the primary display while it runs
// modally (ShowModal returns when Close is called or the platform asks it to
// close). With KeyPreview its own key handlers see every key before the
// focused control does.
#include <functional>
#include <string>

#include "Platform/App/Control.h"
#include "Platform/App/WindowCanvas.h"

namespace platform {

enum class CloseAction : std::uint8_t { None, Hide, Free };

class Form : public Control {
public:
  Form();
  ~Form() override;

  std::string Caption;
  bool KeyPreview = false;

  std::function<void(Form&, CloseAction&)> OnClose;  // Action None refuses
  std::function<void(Form&)> OnShow;
  std::function<void(Form&)> OnActivate;    // the window got the keyboard focus
  std::function<void(Form&)> OnDeactivate;  // the window lost it

  // Runs the window modally: it covers the primary display until closed.
  void ShowModal();
  // Ends the modal run (after OnClose agrees).
  void Close();
  bool Modal() const { return Modal_; }
  bool CloseRequested() const { return CloseRequested_; }

  // Keyboard focus: Active when the window has it; the focused control is
  // ActiveControl, or none when the window itself holds it.
  bool Active() const { return Active_; }
  Control* ActiveControl() const { return ActiveControl_; }
  void SetActiveControl(Control* Value);
  bool WindowHasFocus() const { return Active_ && ActiveControl_ == nullptr; }

  WindowCanvas& WindowBuffer() { return Buffer_; }

  // The application's dispatch.
  void DispatchInput(const InputEvent& Event);
  bool PaintPending() const { return !Invalid_.IsEmpty(); }
  // Nothing is shown before the window's first paint.
  bool EverPainted() const { return EverPainted_; }
  // Paints the invalidated area: the form's colour where no surface control
  // covers it, then each showing surface control over its part.
  void DispatchPaint();
  void InvalidateClient(const TRect& Area);
  // The synchronous update: pending paints now, then the frame to the screen.
  void UpdateNow();
  void SetActive(bool Value);
  // A control goes away or is hidden: drop references to it.
  void Forget(const Control& Gone);

protected:
  void Resized() override;

private:
  friend class Application;
  void PaintControl(Control& C, const TRect& ClipInForm);
  void UpdateHot(Control* Now);
  TRect Invalid_;
  WindowCanvas Buffer_;
  Control* ActiveControl_ = nullptr;
  Control* Capture_ = nullptr;
  Control* Hot_ = nullptr;
  bool Modal_ = false;
  bool CloseRequested_ = false;
  bool Active_ = false;
  bool EverPainted_ = false;
};

}  // namespace platform
