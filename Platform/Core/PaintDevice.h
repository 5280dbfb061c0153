#pragma once
// Pixel memory that can be drawn onto: a bitmap's pixels, or the window
// canvas (the front buffer of the player window). Everything the system
// "paints to the device" (block copies, PaintToDevice) writes through this.
#include <cstdint>

#include "Platform/Core/Types.h"

namespace platform {

// A view of 32-bit pixels (TColor32), top-down rows.
struct PixelView {
  TColor32* Bits = nullptr;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Stride = 0;  // pixels from one row to the next
  TColor32* Row(std::int32_t Y) const { return Bits + static_cast<std::intptr_t>(Y) * Stride; }
};

class PaintDevice {
public:
  virtual ~PaintDevice() = default;
  virtual PixelView Pixels() = 0;
  // The area that drawing may touch (device coordinates); drawing outside is
  // cut off. The whole device unless a clip region is set.
  virtual TRect ClipBox() const = 0;
  // Drawing into Area has finished; a window device puts it on the screen
  // when the program next yields.
  virtual void Changed(const TRect& Area) = 0;
};

}  // namespace platform
