#include "CommonImplementations/Bitmap32.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "CommonImplementations/BitmapCanvas.h"
#include "CommonImplementations/Color32.h"
#include "Platform/Canvas/PixelBands.h"
#include "Platform/Pictures/Picture.h"

namespace {

void Fill(TBitmap32& B, std::int32_t W, std::int32_t H, TColor32 C) {
  B.Resize(W, H);
  B.FillArea(0, 0, W, H, C);
}

void Randomise(TBitmap32& B, std::uint32_t Seed) {
  std::mt19937 Gen(Seed);
  for (std::int32_t Y = 0; Y < B.Height(); ++Y)
    for (std::int32_t X = 0; X < B.Width(); ++X) B.ScanLine(Y)[X] = Gen();
}

TEST(Bitmap32, FreshBitmapDefaults) {
  TBitmap32 B;
  EXPECT_TRUE(B.Empty());
  EXPECT_EQ(B.DrawMode(), dmOpaque);
  EXPECT_EQ(B.CombineMode(), cmBlend);
  EXPECT_EQ(B.WrapMode(), wmClamp);
  EXPECT_EQ(B.MasterAlpha(), 255u);
  EXPECT_EQ(B.OuterColor(), 0u);
  EXPECT_EQ(B.ResamplerClassName(), "TNearestResampler");
  EXPECT_EQ(GetResamplerKind(B), 0);
  B.Resize(3, 2);
  EXPECT_EQ(B.FullRect(), Rect(0, 0, 3, 2));
  EXPECT_EQ(B.ClipRect(), B.FullRect());
  EXPECT_EQ(B.Pixel(2, 1), 0u);
  B.SetWidth(0);
  EXPECT_TRUE(B.Empty());
  EXPECT_EQ(B.Height(), 0);
}

TEST(Bitmap32, FillAreaBoundsAndDegenerateRectangles) {
  TBitmap32 B;
  Fill(B, 4, 3, 0xFF000000);
  B.FillArea(1, 1, 3, 2, 0xFFFFFFFF);
  for (std::int32_t Y = 0; Y < 3; ++Y)
    for (std::int32_t X = 0; X < 4; ++X)
      EXPECT_EQ(B.Pixel(X, Y), (X >= 1 && X < 3 && Y == 1) ? 0xFFFFFFFFu : 0xFF000000u) << X << "," << Y;
  B.FillArea(3, 0, 3, 3, 0xFF123456);  // X2 = X1
  B.FillArea(2, 0, 1, 3, 0xFF123456);  // X2 < X1
  B.FillArea(0, 2, 4, 2, 0xFF123456);  // Y2 = Y1
  EXPECT_EQ(B.Pixel(3, 0), 0xFF000000u);
  // A rectangle reaching outside is cut to the bitmap.
  B.FillArea(-5, -5, 100, 100, 0xFF00FF00);
  EXPECT_EQ(B.Pixel(0, 0), 0xFF00FF00u);
  EXPECT_EQ(B.Pixel(3, 2), 0xFF00FF00u);
}

TEST(Bitmap32, PixelOrOuterFollowsTheClipRectangle) {
  TBitmap32 B;
  Fill(B, 4, 4, 0xFF111111);
  EXPECT_EQ(B.PixelOrOuter(-1, 0), 0u);
  EXPECT_EQ(B.PixelOrOuter(4, 0), 0u);
  EXPECT_EQ(B.PixelOrOuter(3, 3), 0xFF111111u);
  B.SetOuterColor(0x80ABCDEF);
  B.SetClipRect(Rect(1, 1, 3, 3));
  EXPECT_EQ(B.PixelOrOuter(0, 1), 0x80ABCDEFu);
  EXPECT_EQ(B.PixelOrOuter(1, 1), 0xFF111111u);
  EXPECT_EQ(B.PixelOrOuter(3, 2), 0x80ABCDEFu);
}

TEST(Bitmap32, EmptyBitmapsDoNothing) {
  TBitmap32 Empty, Target;
  Fill(Target, 2, 2, 0xFF445566);
  Empty.MakeOpaque();
  Empty.DrawOnto(&Target);
  Empty.DrawOnto(&Target, Rect(0, 0, 2, 2));
  Empty.PaintToDevice(Target, 0, 0);
  EXPECT_EQ(Target.Pixel(0, 0), 0xFF445566u);
  EXPECT_TRUE(Empty.Empty());
}

TEST(Bitmap32, MakeOpaqueSetsOnlyAlpha) {
  TBitmap32 B;
  Fill(B, 2, 1, 0x00123456);
  B.MakeOpaque();
  EXPECT_EQ(B.Pixel(1, 0), 0xFF123456u);
}

TEST(Bitmap32, OpaqueDrawCopiesAlphaAndClipsToTarget) {
  TBitmap32 Src, Dst;
  Fill(Src, 3, 3, 0x40AABBCC);
  Fill(Dst, 5, 5, 0xFF000000);
  Dst.SetClipRect(Rect(0, 0, 4, 4));
  Src.DrawOnto(&Dst, 2, 2);
  EXPECT_EQ(Dst.Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(Dst.Pixel(2, 2), 0x40AABBCCu);
  EXPECT_EQ(Dst.Pixel(3, 3), 0x40AABBCCu);
  EXPECT_EQ(Dst.Pixel(4, 4), 0xFF000000u);  // outside the clip rectangle
  Src.DrawOnto(&Dst, -2, -2);                 // only its bottom-right pixel lands
  EXPECT_EQ(Dst.Pixel(0, 0), 0x40AABBCCu);
  EXPECT_EQ(Dst.Pixel(1, 0), 0xFF000000u);
}

TEST(Bitmap32, DrawModes) {
  TBitmap32 Src, Dst;
  Src.Resize(3, 1);
  Src.SetPixel(0, 0, 0xFFFFFFFF);
  Src.SetPixel(1, 0, 0x00000000);  // the default outer colour: the transparent key
  Src.SetPixel(2, 0, 0x80FFFFFF);

  Fill(Dst, 3, 1, 0xFF000000);
  Src.SetDrawMode(dmBlend);
  Src.DrawOnto(&Dst);
  EXPECT_EQ(Dst.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Dst.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(Dst.Pixel(2, 0), 0xC0808080u);  // alpha blends too: (255 * 128 + 128 * 128 + 128) div 256

  Fill(Dst, 3, 1, 0xFF000000);
  Src.SetMasterAlpha(0);
  Src.DrawOnto(&Dst);
  EXPECT_EQ(Dst.Pixel(0, 0), 0xFF000000u);

  Fill(Dst, 3, 1, 0xFF000000);
  Src.SetDrawMode(dmTransparent);
  Src.DrawOnto(&Dst);
  EXPECT_EQ(Dst.Pixel(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(Dst.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(Dst.Pixel(2, 0), 0x80FFFFFFu);

  Fill(Dst, 3, 1, 0xFF000000);
  Src.SetDrawMode(dmCustom);
  Src.DrawOnto(&Dst);  // no combiner: nothing changes
  EXPECT_EQ(Dst.Pixel(0, 0), 0xFF000000u);
  Src.OnPixelCombine = [](TColor32 F, TColor32& B, TColor32 M) { B = (F & 0x00FFFFFF) | (M << 24); };
  Src.SetMasterAlpha(7);
  Src.DrawOnto(&Dst);
  EXPECT_EQ(Dst.Pixel(0, 0), 0x07FFFFFFu);
}

TEST(Bitmap32, MasterAlphaFadesAnOpaqueSource) {
  TBitmap32 Src, Dst;
  Fill(Src, 2, 2, 0xFFFFFFFF);
  Src.SetDrawMode(dmBlend);
  for (std::uint32_t M : {0u, 127u, 254u, 255u}) {
    Fill(Dst, 2, 2, 0xFF000000);
    Src.SetMasterAlpha(M);
    Src.DrawOnto(&Dst);
    const std::uint32_t A = M == 255 ? 256 : ((M + 1) * 255) / 256;
    const std::uint32_t C = (255 * A + 128) / 256;
    EXPECT_EQ(Dst.Pixel(1, 1), 0xFF000000u | C << 16 | C << 8 | C) << M;
  }
}

TEST(Bitmap32, ScaledDrawChecksItsArguments) {
  TBitmap32 Src, Dst;
  Fill(Src, 4, 4, 0xFF000000);
  Fill(Dst, 4, 4, 0xFF000000);
  EXPECT_THROW(
      try { Src.DrawOnto(nullptr, Rect(0, 0, 2, 2)); } catch (const EBitmapError& E) {
        EXPECT_STREQ(E.what(), "Destination bitmap is nil");
        throw;
      },
      EBitmapError);
  EXPECT_THROW(
      try { Dst.DrawFrom(Rect(0, 0, 2, 2), Rect(0, 0, 2, 2), nullptr); } catch (const EBitmapError& E) {
        EXPECT_STREQ(E.what(), "Source bitmap is nil");
        throw;
      },
      EBitmapError);
  EXPECT_THROW(
      try { Src.DrawOnto(&Dst, Rect(0, 0, 2, 2), Rect(2, 2, 5, 5)); } catch (const EBitmapError& E) {
        EXPECT_STREQ(E.what(), "Invalid SrcRect");
        throw;
      },
      EBitmapError);
}

TEST(Bitmap32, DrawFromCopiesAPartAtEqualSize) {
  TBitmap32 Stage, Copy;
  Stage.Resize(6, 4);
  Randomise(Stage, 3);
  Copy.Resize(2, 2);
  Copy.DrawFrom(Rect(0, 0, 2, 2), Rect(3, 1, 5, 3), &Stage);
  for (std::int32_t Y = 0; Y < 2; ++Y)
    for (std::int32_t X = 0; X < 2; ++X) EXPECT_EQ(Copy.Pixel(X, Y), Stage.Pixel(3 + X, 1 + Y));
}

TEST(Bitmap32, DrawOntoItselfOverlapping) {
  TBitmap32 B;
  B.Resize(4, 1);
  for (std::int32_t X = 0; X < 4; ++X) B.SetPixel(X, 0, 0xFF000000u | static_cast<TColor32>(X));
  B.DrawOnto(&B, 1, 0);
  EXPECT_EQ(B.Pixel(1, 0), 0xFF000000u);
  EXPECT_EQ(B.Pixel(3, 0), 0xFF000002u);
}

TEST(Bitmap32, AssignTakesSizePixelsAndSettings) {
  TBitmap32 Src, Dst;
  Src.Resize(3, 2);
  Randomise(Src, 1);
  Src.SetDrawMode(dmBlend);
  Src.SetCombineMode(cmMerge);
  Src.SetWrapMode(wmMirror);
  Src.SetMasterAlpha(99);
  Src.SetOuterColor(0x12345678);
  SetResamplerKind(Src, 5);
  Src.Font().SetName("Arial");
  Dst.Assign(Src);
  EXPECT_EQ(Dst.Width(), 3);
  EXPECT_EQ(Dst.Pixel(2, 1), Src.Pixel(2, 1));
  EXPECT_EQ(Dst.DrawMode(), dmBlend);
  EXPECT_EQ(Dst.CombineMode(), cmMerge);
  EXPECT_EQ(Dst.WrapMode(), wmMirror);
  EXPECT_EQ(Dst.MasterAlpha(), 99u);
  EXPECT_EQ(Dst.OuterColor(), 0x12345678u);
  EXPECT_EQ(GetResamplerKind(Dst), 5);
  EXPECT_EQ(Dst.Font().Name(), "Arial");
  Dst.Assign(nullptr);
  EXPECT_TRUE(Dst.Empty());
}

TEST(Bitmap32, AssignBlendedEqualsAssignThenDraw) {
  // Large enough to be split over both cores.
  TBitmap32 Target, Source, Fused, Plain;
  Target.Resize(700, 400);
  Source.Resize(700, 400);
  Randomise(Target, 11);
  Randomise(Source, 12);
  Source.SetDrawMode(dmBlend);
  Source.MakeOpaque();
  for (std::uint32_t M : {0u, 127u, 239u}) {
    Source.SetMasterAlpha(M);
    Fused.AssignBlended(Target, Source);
    Plain.Assign(Target);
    Source.DrawOnto(&Plain);
    ASSERT_EQ(0, std::memcmp(Fused.Bits(), Plain.Bits(), 700 * 400 * 4)) << M;
  }
  platform::SetParallelPixelPasses(false);
  TBitmap32 Serial;
  Serial.AssignBlended(Target, Source);
  platform::SetParallelPixelPasses(true);
  EXPECT_EQ(0, std::memcmp(Fused.Bits(), Serial.Bits(), 700 * 400 * 4));
}

TEST(Bitmap32, PaintToDeviceCopiesClippedAndStretched) {
  TBitmap32 Src, Device;
  Src.Resize(2, 2);
  Src.SetPixel(0, 0, 0xFF0000FF);
  Src.SetPixel(1, 0, 0xFF00FF00);
  Src.SetPixel(0, 1, 0xFFFF0000);
  Src.SetPixel(1, 1, 0x00FFFFFF);
  Fill(Device, 4, 4, 0xFF000000);
  Device.SetClipRect(Rect(0, 0, 3, 4));
  TRect Changed;
  Device.OnAreaChanged = [&](TBitmap32&, const TRect& A) { Changed = A; };
  Src.PaintToDevice(Device, 2, 1);
  EXPECT_EQ(Device.Pixel(2, 1), 0xFF0000FFu);
  EXPECT_EQ(Device.Pixel(2, 2), 0xFFFF0000u);
  EXPECT_EQ(Device.Pixel(3, 1), 0xFF000000u);  // cut by the device's clip
  EXPECT_EQ(Changed, Rect(2, 1, 3, 3));
  Device.ResetClipRect();
  Src.PaintToDevice(Device, Rect(0, 0, 4, 4), Src.FullRect());
  EXPECT_EQ(Device.Pixel(1, 1), 0xFF0000FFu);
  EXPECT_EQ(Device.Pixel(3, 0), 0xFF00FF00u);
  EXPECT_EQ(Device.Pixel(3, 3), 0x00FFFFFFu);  // alpha goes along
}

TEST(Bitmap32, LockIsReentrant) {
  TBitmap32 B;
  B.LockBitmap();
  B.LockBitmap();
  B.UnlockBitmap();
  B.UnlockBitmap();
  bool Taken = false;
  std::thread([&] {
    B.LockBitmap();
    Taken = true;
    B.UnlockBitmap();
  }).join();
  EXPECT_TRUE(Taken);
}

TEST(Bitmap32, AssignFromPictures) {
  platform::RasterImage Image;
  Image.Width = 2;
  Image.Height = 1;
  Image.HasAlpha = true;
  Image.Pixels = {0xFF102030, 0x80FF0000};
  platform::RasterPicture Picture(Image);
  auto B = BitmapFromPicture(Picture);
  EXPECT_EQ(B->Width(), 2);
  EXPECT_EQ(B->Pixel(0, 0), 0xFF102030u);
  EXPECT_EQ(B->Pixel(1, 0), 0xFF800000u);  // half red over black, made opaque

  // A vector picture is rendered at its size, then made opaque.
  struct Square : platform::Picture {
    std::int32_t Width() const override { return 4; }
    std::int32_t Height() const override { return 4; }
    void Render(cairo_t* Cr, double X, double Y, double W, double H) const override {
      cairo_set_source_rgb(Cr, 0, 0, 1);
      cairo_rectangle(Cr, X, Y, W / 2, H);
      cairo_fill(Cr);
    }
  } Vector;
  TBitmap32 V;
  V.Assign(&Vector);
  EXPECT_EQ(V.Pixel(0, 3), 0xFF0000FFu);
  EXPECT_EQ(V.Pixel(3, 0), 0xFF000000u);
}

TEST(Bitmap32, CanvasOnBitmapDrawsIntoItsPixels) {
  TBitmap32 Empty;
  EXPECT_EQ(CanvasOnBitmap(Empty), nullptr);
  TBitmap32 B;
  Fill(B, 4, 4, 0xFF000000);
  B.Font().SetName("Courier New");
  auto Canvas = CanvasOnBitmap(B);
  ASSERT_NE(Canvas, nullptr);
  EXPECT_EQ(Canvas->Font.Name(), "Courier New");
  Canvas->Brush.Color = 0x000000FF;  // red
  Canvas->FillRect(Rect(1, 1, 3, 3));
  EXPECT_EQ(B.Pixel(1, 1), 0xFFFF0000u);
  EXPECT_EQ(B.Pixel(3, 3), 0xFF000000u);
}

TEST(Color32, PlatformColoursBecomeOpaquePixels) {
  EXPECT_EQ(ToColor32(0x000000FF), 0xFFFF0000u);  // pure red
  EXPECT_EQ(ToColor32(0x00804020), 0xFF204080u);
  EXPECT_EQ(ToColor32(0xFF000008), 0xFF000000u);  // window text: black
  EXPECT_EQ(ToColor32(0xFF000005), 0xFFFFFFFFu);  // window background: white
  EXPECT_EQ(ToColor32(0xFF00000F), 0xFFD4D0C8u);  // button face
  EXPECT_EQ(ToColor32(0xFF0000FF), 0xFF000000u);  // no such system colour
}

}  // namespace
