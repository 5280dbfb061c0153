#include "Platform/App/WindowCanvas.h"

#include <algorithm>
#include <cstring>

#include "Platform/App/Backend.h"
#include "Platform/App/Form.h"

namespace platform {

void WindowCanvas::Resize(std::int32_t Width, std::int32_t Height) {
  Width = std::max(Width, 0);
  Height = std::max(Height, 0);
  if (Width == Width_ && Height == Height_) return;
  std::vector<TColor32> NewFront(static_cast<std::size_t>(Width) * Height, 0xFF000000);
  // Keep what fits, as a resized window keeps its pixels until repainted.
  const std::int32_t W = std::min(Width, Width_), H = std::min(Height, Height_);
  for (std::int32_t Y = 0; Y < H; ++Y)
    std::memcpy(&NewFront[static_cast<std::size_t>(Y) * Width], &Front_[static_cast<std::size_t>(Y) * Width_],
                static_cast<std::size_t>(W) * sizeof(TColor32));
  Front_ = std::move(NewFront);
  Screen_.assign(Front_.size(), 0xFF000000);
  Width_ = Width;
  Height_ = Height;
  Dirty_ = TRect{0, 0, Width_, Height_};
}

PixelView WindowCanvas::View(std::vector<TColor32>& Pixels) {
  return PixelView{Pixels.empty() ? nullptr : Pixels.data(), Width_, Height_, Width_};
}

void WindowCanvas::FrontChanged(const TRect& Area) {
  Dirty_ = UnionRect(Dirty_, IntersectRect(Area, TRect{0, 0, Width_, Height_}));
}

void WindowCanvas::Present(Form& Window, Backend& Target) {
  if (Dirty_.IsEmpty()) return;
  const TRect Area = Dirty_;
  Dirty_ = TRect{};
  const std::size_t RowBytes = static_cast<std::size_t>(Area.Width()) * sizeof(TColor32);
  for (std::int32_t Y = Area.Top; Y < Area.Bottom; ++Y) {
    const std::size_t At = static_cast<std::size_t>(Y) * Width_ + Area.Left;
    std::memcpy(&Screen_[At], &Front_[At], RowBytes);
  }
  Window.RenderChildren(Screen(), TPoint{0, 0}, Area);
  Target.Present(Screen(), Area);
}

PixelView ControlCanvas::Pixels() {
  Form* Window = Owner_.OwnerForm();
  if (!Window) return PixelView{};
  PixelView Front = Window->WindowBuffer().Front();
  const TPoint O = Owner_.OriginInForm();
  if (O.X < 0 || O.Y < 0 || O.X >= Front.Width || O.Y >= Front.Height) return PixelView{};
  PixelView View;
  View.Bits = Front.Row(O.Y) + O.X;
  View.Width = std::min(Owner_.Width(), Front.Width - O.X);
  View.Height = std::min(Owner_.Height(), Front.Height - O.Y);
  View.Stride = Front.Stride;
  return View;
}

TRect ControlCanvas::ClipBox() const {
  const Form* Window = Owner_.OwnerForm();
  if (!Window) return TRect{};
  const TPoint O = Owner_.OriginInForm();
  const TRect InWindow{-O.X, -O.Y, Window->ClientWidth() - O.X, Window->ClientHeight() - O.Y};
  return IntersectRect(Owner_.PaintClip(), InWindow);
}

void ControlCanvas::Changed(const TRect& Area) {
  Form* Window = Owner_.OwnerForm();
  if (!Window) return;
  const TPoint O = Owner_.OriginInForm();
  const TRect Cut = IntersectRect(Area, Owner_.ClientRect());
  Window->WindowBuffer().FrontChanged(TRect{Cut.Left + O.X, Cut.Top + O.Y, Cut.Right + O.X, Cut.Bottom + O.Y});
}

}  // namespace platform
