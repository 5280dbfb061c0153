#include "Chore/WinPaintBox32.h"

#include <algorithm>
#include <exception>

#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/App/Form.h"

TWinPaintBox32::TWinPaintBox32(platform::Control* Owner) : platform::Control(Owner) {
  Name = "PaintBox";
  TabStop = false;  // the surface never takes the keyboard focus
  Buffer_.reset(new TBitmap32Imp);
  BufferRef_ = TInterfacePtr<IBitmap32>(static_cast<IBitmap32*>(Buffer_.get()));
  KeepInterfaceAlive(BufferRef_);
  ResizeBuffer();
}

TWinPaintBox32::~TWinPaintBox32() {
  FreeCanvas();
  // The control's own reference goes just before the buffer does.
  BufferRef_.Reset();
  Buffer_.reset();
}

TRect TWinPaintBox32::GetClientRect() {
  if (OwnerForm()) return ClientRect();
  return TRect{0, 0, Width(), Height()};
}

platform::Canvas* TWinPaintBox32::BufferCanvas() {
  FreeCanvas();
  try {
    Canvas_ = CanvasOnBitmap(*Buffer_);
  } catch (const std::exception&) {
    Canvas_.reset();
  }
  return Canvas_.get();
}

void TWinPaintBox32::InvalidateRect(const TRect& Area) {
  InvalidateBufferRect(Area);
  InvalidateWindowRect(Area);
}

void TWinPaintBox32::InvalidateBufferRect(const TRect&) { BufferValid_ = false; }

void TWinPaintBox32::InvalidateBufferAll() { BufferValid_ = false; }

void TWinPaintBox32::InvalidateWindowRect(const TRect& Area) {
  if (!Parent()) return;
  TRect R = Area;
  if (R.Left < 0) R.Left = 0;
  if (R.Right >= Width()) {
    R.Right = Width();
    R.Left = std::min(R.Left, Width());
  }
  if (R.Top < 0) R.Top = 0;
  if (R.Bottom >= Height()) {
    R.Bottom = Height();
    R.Top = std::min(R.Top, Height());
  }
  if (R.Left < R.Right && R.Top < R.Bottom) {
    try {
      platform::Control::InvalidateRect(R);
    } catch (const std::exception&) {
      // A failed repaint request only loses that repaint.
    }
  }
}

void TWinPaintBox32::InvalidateWindowAll() { InvalidateWindowRect(GetClientRect()); }

void TWinPaintBox32::InvalidateSurface(bool Window, bool Buffer) {
  if (Buffer) InvalidateBufferAll();
  if (Window) InvalidateWindowAll();
}

void TWinPaintBox32::ResizeBuffer() {
  const std::int32_t W = std::max(Width(), 1), H = std::max(Height(), 1);
  if (Buffer_->Width() == W && Buffer_->Height() == H) return;
  Buffer_->Resize(W, H);
  Buffer_->FillArea(0, 0, W, H, 0xFF000000);
  BufferValid_ = false;
}

void TWinPaintBox32::Resized() {
  FreeCanvas();
  const std::int32_t OldW = Buffer_->Width(), OldH = Buffer_->Height();
  ResizeBuffer();
  if (OldW != Buffer_->Width() || OldH != Buffer_->Height()) InvalidateSurface(true, true);
}

void TWinPaintBox32::Paint() {
  ResizeBuffer();
  FreeCanvas();
  if (!BufferValid_) {
    Buffer_->SetClipRect(GetClientRect());
    if (OnPaintBuffer) OnPaintBuffer(*this);
    BufferValid_ = true;
  }
  TRect R = PaintClip();
  if (R.IsEmpty()) R = GetClientRect();
  Buffer_->SetClipRect(R);
  Buffer_->LockBitmap();
  struct Unlock {
    TBitmap32& B;
    ~Unlock() {
      B.UnlockBitmap();
      B.ResetClipRect();
    }
  } Unlocking{*Buffer_};
  // A plain copy of R from the buffer to the same place of the window.
  Buffer_->PaintToDevice(Canvas(), R, R);
  if (OnGDIOverlay) OnGDIOverlay(*this);
}
