#pragma once
// A player window with a real back buffer and a window canvas that counts
// the frames drawn onto it; everything else slide objects ask of the window
// is recorded.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "SlideObjects/PlayerWindow.h"

// The window's front buffer: a bitmap that notes every area drawn onto it.
class RecordingWindowCanvas final : public TBitmap32 {
public:
  void Changed(const TRect& Area) override {
    Areas.push_back(Area);
    TBitmap32::Changed(Area);
  }
  std::vector<TRect> Areas;
};

class StageWindow final : public PlayerWindow, public PlayerSurface {
public:
  StageWindow(std::int32_t Width, std::int32_t Height) {
    Buffer_.Resize(Width, Height);
    Window_.Resize(Width, Height);
    Window_.Areas.clear();
  }

  void InvalidateAll() override { Calls.push_back("InvalidateAll"); }
  void InvalidateArea(const TRect&) override { Calls.push_back("InvalidateArea"); }
  void FlushSurface() override { Calls.push_back("FlushSurface"); }
  PlayerSurface& PaintBox() override { return *this; }
  TSoundPlayer& SoundPlayer() override { throw std::logic_error("no sound player on this stage"); }
  TMoviePanel& VideoPlayer() override { throw std::logic_error("no video panel on this stage"); }

  TRect GetClientRect() override { return Buffer_.FullRect(); }
  std::int32_t ClientWidth() override { return Buffer_.Width(); }
  std::int32_t ClientHeight() override { return Buffer_.Height(); }
  TBitmap32& Buffer() override { return Buffer_; }
  platform::Canvas* BufferCanvas() override {
    Canvas_ = CanvasOnBitmap(Buffer_);
    return Canvas_.get();
  }
  void InvalidateRect(const TRect&) override { Calls.push_back("InvalidateRect"); }
  platform::PaintDevice& WindowCanvas() override { return Window_; }

  std::size_t Count(const std::string& Call) const {
    std::size_t N = 0;
    for (const auto& C : Calls) N += C == Call;
    return N;
  }
  // Drops the buffer canvas so that what it drew is in the pixels.
  void EndPaint() { Canvas_.reset(); }

  RecordingWindowCanvas& Window() { return Window_; }
  std::vector<std::string> Calls;

private:
  TBitmap32 Buffer_;
  RecordingWindowCanvas Window_;
  std::unique_ptr<platform::Canvas> Canvas_;
};

// Channels of a pixel, for comparisons within a tolerance.
inline bool NearColor(TColor32 A, TColor32 B, int Tolerance) {
  for (int Shift = 0; Shift < 24; Shift += 8) {
    const int D = static_cast<int>((A >> Shift) & 0xFF) - static_cast<int>((B >> Shift) & 0xFF);
    if (D > Tolerance || D < -Tolerance) return false;
  }
  return true;
}
