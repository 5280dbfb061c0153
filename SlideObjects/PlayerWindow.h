#pragma once
// The narrow view of the player window that slides, slide objects and text
// animations work through. The player window implements it; unit tests use a
// recording double. Slide objects receive it in Start and reach it through
// their PlayerForm; slides reach it through the global KivoSlideShowPlayerForm.
#include "Platform/Core/Types.h"

class TBitmap32;
class TSoundPlayer;
class TMoviePanel;

namespace platform {
class Canvas;
class PaintDevice;
}  // namespace platform

// The presentation surface (the window's PaintBox): a control with a 32-bit
// back buffer of its own size.
class PlayerSurface {
public:
  virtual ~PlayerSurface() = default;
  // The stage rectangle: origin 0, 0 and the control's client size.
  virtual TRect GetClientRect() = 0;
  virtual std::int32_t ClientWidth() = 0;
  virtual std::int32_t ClientHeight() = 0;
  // The back buffer that objects draw into.
  virtual TBitmap32& Buffer() = 0;
  // A fresh canvas drawing into Buffer; valid until the next call, the next
  // paint or resize of the surface. May be null when it cannot be made.
  virtual platform::Canvas* BufferCanvas() = 0;
  // Marks Area of the buffer changed and asks for its repaint on the window.
  virtual void InvalidateRect(const TRect& Area) = 0;
  // The control's own window canvas (front buffer): transitions draw their
  // frames straight onto it.
  virtual platform::PaintDevice& WindowCanvas() = 0;
};

class PlayerWindow {
public:
  virtual ~PlayerWindow() = default;
  // Invalidate the whole surface (buffer and window area).
  virtual void InvalidateAll() = 0;
  // Invalidate one rectangle of the surface (buffer and window area).
  virtual void InvalidateArea(const TRect& Area) = 0;
  // Repaint the invalidated parts of the surface now, inside the current tick
  // (nothing before the surface was first invalidated).
  virtual void FlushSurface() = 0;
  virtual PlayerSurface& PaintBox() = 0;
  // The window's single sound player; owned by the window.
  virtual TSoundPlayer& SoundPlayer() = 0;
  // The window's video panel, hidden while no video plays.
  virtual TMoviePanel& VideoPlayer() = 0;
};

// The player window while a presentation plays; null otherwise. Set and
// cleared by the code that shows the window.
extern PlayerWindow* KivoSlideShowPlayerForm;
