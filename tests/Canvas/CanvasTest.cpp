#include "Platform/Canvas/Canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "Platform/Canvas/SystemColors.h"
#include "Platform/Pictures/Picture.h"

namespace {

struct Pixels {
  Pixels(std::int32_t W, std::int32_t H, TColor32 Fill = 0xFF000000) : Data(static_cast<std::size_t>(W) * H, Fill), W(W), H(H) {}
  platform::PixelView View() { return platform::PixelView{Data.data(), W, H, W}; }
  TColor32 At(std::int32_t X, std::int32_t Y) const { return Data[static_cast<std::size_t>(Y) * W + X]; }
  std::vector<TColor32> Data;
  std::int32_t W, H;
};

TEST(Canvas, FillRectCoversLeftTopButNotRightBottom) {
  Pixels P(6, 5);
  platform::Canvas C(P.View());
  C.Brush.Color = 0x0000FF00;  // green
  C.FillRect(Rect(1, 1, 4, 3));
  for (std::int32_t Y = 0; Y < 5; ++Y)
    for (std::int32_t X = 0; X < 6; ++X) {
      const bool In = X >= 1 && X < 4 && Y >= 1 && Y < 3;
      EXPECT_EQ(P.At(X, Y), In ? 0xFF00FF00u : 0xFF000000u) << X << "," << Y;
    }
}

TEST(Canvas, FillRectClipsAndHonoursAClearBrush) {
  Pixels P(4, 4);
  platform::Canvas C(P.View());
  C.Brush.Color = 0xFF000005;  // system colour: window background, white
  C.SetClipRect(Rect(0, 0, 2, 2));
  C.FillRect(Rect(-10, -10, 10, 10));
  EXPECT_EQ(P.At(1, 1), 0xFFFFFFFFu);
  EXPECT_EQ(P.At(2, 2), 0xFF000000u);
  C.SetClipRect(Rect(0, 0, 4, 4));
  C.Brush.Style = platform::BrushStyle::Clear;
  C.FillRect(Rect(0, 0, 4, 4));
  EXPECT_EQ(P.At(3, 3), 0xFF000000u);
}

TEST(Canvas, SystemColourTable) {
  EXPECT_EQ(platform::SystemColorRGB(8), 0x000000u);
  EXPECT_EQ(platform::SystemColorRGB(5), 0xFFFFFFu);
  EXPECT_EQ(platform::SystemColorRGB(15), 0xC8D0D4u);  // 212, 208, 200
  EXPECT_EQ(platform::SystemColorRGB(31), 0u);
  EXPECT_EQ(platform::ResolveColor(0xFF00000F), 0xC8D0D4u);
  EXPECT_EQ(platform::ResolveColor(0x00123456), 0x123456u);
}

TEST(Canvas, StretchDrawOfPictures) {
  platform::RasterImage Image;
  Image.Width = 2;
  Image.Height = 1;
  Image.Pixels = {0xFF000000, 0xFF0000FF};
  platform::RasterPicture Raster(Image);
  Pixels P(6, 2);
  platform::Canvas C(P.View());
  C.StretchDraw(Rect(1, 0, 5, 1), Raster);  // bilinear
  EXPECT_EQ(P.At(0, 0), 0xFF000000u);
  EXPECT_EQ(P.At(2, 0) & 0xFF, 64u);
  EXPECT_EQ(P.At(3, 0) & 0xFF, 191u);
  EXPECT_EQ(P.At(4, 0), 0xFF0000FFu);
  EXPECT_EQ(P.At(5, 0), 0xFF000000u);
  EXPECT_EQ(P.At(2, 1), 0xFF000000u);

  struct Frame : platform::Picture {
    std::int32_t Width() const override { return 10; }
    std::int32_t Height() const override { return 10; }
    void Render(cairo_t* Cr, double X, double Y, double W, double H) const override {
      cairo_set_source_rgb(Cr, 1, 0, 0);
      cairo_rectangle(Cr, X, Y, W, H);
      cairo_fill(Cr);
    }
  } Vector;
  C.SetClipRect(Rect(0, 0, 6, 1));
  C.StretchDraw(Rect(0, 0, 3, 2), Vector);  // rendered at its drawn size, clipped
  EXPECT_EQ(P.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(P.At(2, 0), 0xFFFF0000u);
  EXPECT_EQ(P.At(0, 1), 0xFF000000u);
}

}  // namespace
