#pragma once
// The presentation surface: a control filling the player window that keeps
// an off-screen 32-bit buffer of exactly its own size. Slide objects draw into
// the buffer and invalidate what they changed; painting copies the requested
// part of the buffer onto the window. Transitions draw their frames straight
// onto the control's window canvas.
#include <functional>
#include <memory>

#include "CommonImplementations/Bitmap32Imp.h"
#include "Platform/App/Control.h"
#include "Platform/Canvas/Canvas.h"
#include "SlideObjects/PlayerWindow.h"

class TWinPaintBox32 : public platform::Control, public PlayerSurface {
public:
  explicit TWinPaintBox32(platform::Control* Owner = nullptr);
  ~TWinPaintBox32() override;

  // With an owner window the client rectangle of the control, else
  // (0, 0, Width, Height).
  TRect GetClientRect() override;
  std::int32_t ClientWidth() override { return Width(); }
  std::int32_t ClientHeight() override { return Height(); }
  TBitmap32& Buffer() override { return *Buffer_; }
  // Every read frees the canvas handed out before and binds a new one to the
  // buffer; null when none can be made.
  platform::Canvas* BufferCanvas() override;
  // InvalidateBufferRect, then InvalidateWindowRect.
  void InvalidateRect(const TRect& Area) override;
  platform::PaintDevice& WindowCanvas() override { return Canvas(); }

  virtual void InvalidateBufferRect(const TRect& Area);
  virtual void InvalidateBufferAll();
  // Asks for a repaint of Area of the window, cut to the control; an empty
  // or fully outside area asks for nothing.
  virtual void InvalidateWindowRect(const TRect& Area);
  virtual void InvalidateWindowAll();
  void InvalidateSurface(bool Window, bool Buffer);
  virtual void ValidateBuffer() { BufferValid_ = true; }
  bool BufferValid() const { return BufferValid_; }

  // Runs before a paint while the buffer is invalid; the player sets none.
  std::function<void(TWinPaintBox32&)> OnPaintBuffer;
  // Runs after every paint; the player sets none.
  std::function<void(TWinPaintBox32&)> OnGDIOverlay;

  void Paint() override;

protected:
  void Resized() override;

private:
  void FreeCanvas() { Canvas_.reset(); }
  // Brings the buffer to the control's client size (at least 1 x 1); a
  // freshly sized buffer is black.
  void ResizeBuffer();

  struct BufferFree {
    void operator()(TBitmap32Imp* B) const { TBitmap32Imp::Free(B); }
  };
  std::unique_ptr<TBitmap32Imp, BufferFree> Buffer_;
  // The control's own interface reference to its buffer; with one extra
  // reference kept forever, so drawing code taking and releasing interface
  // references can never free the buffer.
  TInterfacePtr<IBitmap32> BufferRef_;
  std::unique_ptr<platform::Canvas> Canvas_;
  bool BufferValid_ = false;
};
