#pragma once
// What the transition tests share: a window canvas that records a frame at
// every sleep after something was drawn (as the window puts its changes on
// the screen when the program yields), bitmaps with recognisable pixels,
// and the process-wide registrations.
#include <cstdint>
#include <vector>

#include "CommonImplementations/Bitmap32.h"
#include "Platform/Core/Clock.h"
#include "Platform/Core/PaintDevice.h"
#include "Platform/Pictures/Picture.h"
#include "PluginEngine/PluginLists.h"
#include "Transitions/TransitionClasses.h"

namespace transition_test {

using Pixels = std::vector<TColor32>;

// The picture formats and the transition classes, once per process.
inline void RegisterOnce() {
  static const bool Done = [] {
    platform::RegisterPictureFormats();
    RegisterTransitionClasses(PluginRegistry);
    return true;
  }();
  (void)Done;
}

class RecordingCanvas final : public platform::PaintDevice {
public:
  struct Frame {
    transition_test::Pixels Image;
    std::int32_t ChangedCalls;  // Changed() calls that went into this frame
  };

  RecordingCanvas(std::int32_t Width, std::int32_t Height, TColor32 Fill)
      : Width_(Width), Height_(Height), Image_(static_cast<std::size_t>(Width) * Height, Fill) {
    platform::SetYieldHook([this] { Yield(); });
  }
  ~RecordingCanvas() override { platform::SetYieldHook({}); }

  platform::PixelView Pixels() override { return platform::PixelView{Image_.data(), Width_, Height_, Width_}; }
  TRect ClipBox() const override { return TRect{0, 0, Width_, Height_}; }
  void Changed(const TRect& Area) override {
    Dirty_ = UnionRect(Dirty_, Area);
    ++ChangedCalls_;
  }

  const std::vector<Frame>& Frames() const { return Frames_; }
  const transition_test::Pixels& Image() const { return Image_; }
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }

private:
  void Yield() {
    if (Dirty_.IsEmpty()) return;
    Frames_.push_back(Frame{Image_, ChangedCalls_});
    Dirty_ = TRect{};
    ChangedCalls_ = 0;
  }

  std::int32_t Width_, Height_;
  transition_test::Pixels Image_;
  TRect Dirty_;
  std::int32_t ChangedCalls_ = 0;
  std::vector<Frame> Frames_;
};

// A bitmap whose every pixel differs from its neighbours, opaque.
inline void FillPattern(TBitmap32& Bitmap, std::int32_t Width, std::int32_t Height, std::uint32_t Seed) {
  Bitmap.Resize(Width, Height);
  std::uint32_t State = Seed * 2654435761u + 1;
  for (std::int32_t Y = 0; Y < Height; ++Y)
    for (std::int32_t X = 0; X < Width; ++X) {
      State = State * 1664525u + 1013904223u;
      Bitmap.ScanLine(Y)[X] = 0xFF000000u | (State >> 8);
    }
}

}  // namespace transition_test
