#pragma once
// Flat tool bars: a row of tool buttons showing pictures from an image list,
// the hot image list's picture while the pointer is over a button. A check
// button toggles its Down state on each click. Drawn above the surface.
#include <cstdint>
#include <vector>

#include "Platform/App/Control.h"

namespace platform {

class ImageList {
public:
  ImageList(std::int32_t Width, std::int32_t Height) : Width_(Width), Height_(Height) {}
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }
  // Adds a Width x Height picture (0xAARRGGBB, alpha blended when drawn);
  // answers its index. A picture of another size is refused (-1).
  std::int32_t Add(std::vector<TColor32> Pixels);
  std::int32_t Count() const { return static_cast<std::int32_t>(Images_.size()); }
  const std::vector<TColor32>& Image(std::int32_t Index) const { return Images_.at(static_cast<std::size_t>(Index)); }
  // Blends picture Index with its top-left corner at (X, Y), within Clip.
  void Draw(const PixelView& Screen, std::int32_t X, std::int32_t Y, std::int32_t Index, const TRect& Clip) const;

private:
  std::int32_t Width_, Height_;
  std::vector<std::vector<TColor32>> Images_;
};

class ToolBar : public Control {
public:
  using Control::Control;
  std::int32_t ButtonWidth = 23;
  std::int32_t ButtonHeight = 22;
  const ImageList* Images = nullptr;
  const ImageList* HotImages = nullptr;
  bool DrawnAboveSurface() const override { return true; }
  // Places the buttons left to right from the top-left corner, one row.
  void Arrange();
  void Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) override;
};

class ToolButton : public Control {
public:
  enum class Style : std::uint8_t { Button, Check };
  explicit ToolButton(ToolBar& Bar);
  std::int32_t ImageIndex = -1;
  Style Kind = Style::Button;
  bool Down() const { return Down_; }
  void SetDown(bool Value);
  bool Hot() const { return Hot_; }
  bool Pressed() const { return Pressed_; }
  bool DrawnAboveSurface() const override { return true; }

  void Click() override;
  void MouseDown(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseUp(MouseButton Button, ShiftState Shift, std::int32_t X, std::int32_t Y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Render(const PixelView& Screen, TPoint Origin, const TRect& Clip) override;

private:
  ToolBar& Bar_;
  bool Down_ = false, Hot_ = false, Pressed_ = false;
};

}  // namespace platform
