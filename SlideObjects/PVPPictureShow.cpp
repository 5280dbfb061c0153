// The picture object at run time: decoding, the transition run and the
// drawing into the surface's buffer.
#include <exception>
#include <memory>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "CommonImplementations/Color32.h"
#include "Platform/Canvas/Canvas.h"
#include "Platform/Canvas/Stretch.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PlayerWindow.h"
#include "Tools/MediaFiles.h"
#include "Transitions/TransitionPlugin.h"

namespace {

TRect Moved(const TRect& R, std::int32_t Dx, std::int32_t Dy) {
  return TRect{R.Left + Dx, R.Top + Dy, R.Right + Dx, R.Bottom + Dy};
}

// The decoder may reduce a picture to the size it is drawn at, no further.
platform::DecodeHints HintsFor(const TRect& DrawnRect) {
  if (DrawnRect.IsEmpty()) return {};
  return platform::DecodeHints{DrawnRect.Width(), DrawnRect.Height()};
}

// A working bitmap for a transition rectangle: refused (no picture shown)
// when it would hold more pixels than any picture may, as a placement far
// outside the stage would ask for.
bool FitsWorkingBitmap(const TRect& R) {
  return !R.IsEmpty() && R.Width() <= platform::MaxPictureSide && R.Height() <= platform::MaxPictureSide &&
         std::int64_t{R.Width()} * R.Height() <= platform::MaxPicturePixels;
}

// Draws Picture stretched (bilinear, opaque copy) into DstRect of Target, as
// a bitmap converted from the picture would be drawn. An opaque raster
// picture already holds exactly those pixels, so it is sampled in place
// instead of being copied into a conversion bitmap first.
void DrawRasterStretched(const platform::Picture& Picture, TBitmap32& Target, const TRect& DstRect) {
  const platform::RasterImage* Image = Picture.Raster();
  if (Image && !Image->HasAlpha && Image->Width > 0 && Image->Height > 0) {
    if (Target.Empty() || DstRect.IsEmpty()) return;
    const TRect Clip = IntersectRect(DstRect, Target.ClipRect());
    if (Clip.IsEmpty()) return;
    const platform::SourcePixels Source{Image->Pixels.data(), Image->Width, Image->Height, Image->Width};
    const platform::StretchGeometry Geometry{TRect{0, 0, Image->Width, Image->Height}, DstRect, Clip,
                                             platform::EdgeMode::Clamp};
    platform::StretchBilinearInto(Source, Geometry, Target.View());
    Target.Changed(Clip);
    return;
  }
  const std::unique_ptr<TBitmap32> Converted = BitmapFromPicture(Picture);
  SetResamplerKind(*Converted, 2);
  Converted->DrawOnto(&Target, DstRect);
}

// Draws a picture into DstRect of the stage's buffer as a bitmap converted
// from it would be drawn: over black, every pixel opaque. A metafile is
// rendered at the size it is drawn (sharp, and never at a natural size that
// may be far larger than the stage), and only the part on the stage.
void DrawPictureOnStage(const platform::Picture& Picture, TBitmap32& Buffer, const TRect& DstRect) {
  if (Picture.Raster()) {
    DrawRasterStretched(Picture, Buffer, DstRect);
    return;
  }
  const TRect Visible = IntersectRect(DstRect, Buffer.ClipRect());
  if (Visible.IsEmpty()) return;
  TBitmap32 Rendered;
  Rendered.Resize(Visible.Width(), Visible.Height());
  if (auto Canvas = CanvasOnBitmap(Rendered)) Canvas->StretchDraw(Moved(DstRect, -Visible.Left, -Visible.Top), Picture);
  Rendered.MakeOpaque();
  Rendered.DrawOnto(&Buffer, Visible.Left, Visible.Top);
}

}  // namespace

const TTransitionPluginClass* TPVPPicture::Transition() const {
  return PluginClassAs<TTransitionPluginClass>(TransitionClass);
}

void TPVPPicture::ReleaseResources() {
  TDavazozavVisiblePlugin::ReleaseResources();
  FreePicture();
}

void TPVPPicture::FreePicture() { Picture.reset(); }

std::vector<std::string> TPVPPicture::UsedProgramFilenames() const {
  if (const TTransitionPluginClass* T = Transition()) return T->UsedFilenames();
  return {};
}

void TPVPPicture::LoadPicture(bool Force, const platform::DecodeHints& Hints) {
  if (Picture && !Force) return;
  FreePicture();
  const std::string Path = ResolveMediaFile(FileName);
  if (!FileExistsNotFolder(Path)) return;
  try {
    Picture = platform::LoadPictureFile(Path, Hints);
  } catch (const std::exception&) {
    // An unknown extension, a damaged file or one too large: no picture.
    Picture.reset();
  }
}

void TPVPPicture::Step() {
  if (!PlayerForm || State == 2) return;
  PlayerSurface& Box = PlayerForm->PaintBox();
  const TRect Stage = Box.GetClientRect();
  const TRect R = RelativeToRect(Placement, Stage);
  LoadPicture(false, HintsFor(R));

  if (const TTransitionPluginClass* Class = Transition()) {
    if (Picture) RunTransition(*Class, Box, Stage, R);
  } else {
    TBitmap32& Buffer = Box.Buffer();
    if (FillBackground) Buffer.FillArea(0, 0, Box.ClientWidth(), Box.ClientHeight(), ToColor32(FillColor));
    if (Picture) {
      DrawPictureOnStage(*Picture, Buffer, R);
      PlayerForm->InvalidateAll();
    }
  }
  // The file is decoded again at the next start.
  FreePicture();
  State = 2;
}

void TPVPPicture::RunTransition(const TTransitionPluginClass& Class, PlayerSurface& Box, const TRect& Stage,
                                const TRect& R) {
  // A filled picture transitions the whole stage with the picture at its
  // placement inside; otherwise the transition covers the picture alone.
  const TRect TR = FillBackground ? RelativeToRect(BackgroundPlacement(), Stage) : R;
  if (!FitsWorkingBitmap(TR)) return;

  const std::unique_ptr<TTransitionPlugin> Effect = CreatePluginAs<TTransitionPlugin>(&Class);
  if (!Effect) return;

  TBitmap32 Target;
  Target.Resize(TR.Width(), TR.Height());
  const bool Vector = Picture->Raster() == nullptr;
  if (FillBackground) {
    Target.FillArea(0, 0, Target.Width(), Target.Height(), ToColor32(FillColor));
  } else if (Vector) {
    Target.FillArea(0, 0, Target.Width(), Target.Height(), 0xFFFFFFFFu);
  }
  const TRect PictureRect = FillBackground ? Moved(R, -TR.Left, -TR.Top) : Target.FullRect();
  if (Vector) {
    if (auto Canvas = CanvasOnBitmap(Target)) Canvas->StretchDraw(PictureRect, *Picture);
  } else {
    DrawRasterStretched(*Picture, Target, PictureRect);
  }
  // The decoded picture is no longer needed: let it go before the source
  // copy of the stage is made, so the two are never held at once.
  FreePicture();

  TBitmap32& Buffer = Box.Buffer();
  std::unique_ptr<TBitmap32> Source;
  if (Class.NeedsSourceBitmap()) {
    Source = std::make_unique<TBitmap32>();
    Source->Resize(Target.Width(), Target.Height());
    // What the stage shows under TR; the part of TR beyond the stage (a
    // placement may reach outside) stays black.
    const TRect OnStage = IntersectRect(TR, Buffer.FullRect());
    if (!OnStage.IsEmpty()) Source->DrawFrom(Moved(OnStage, -TR.Left, -TR.Top), OnStage, &Buffer);
  }

  Effect->InitTransition(TR, Source.get(), &Target, Box.WindowCanvas());
  try {
    while (!Effect->Finished()) {
      Effect->Step();
      Effect->WaitForNextStep();
    }
  } catch (...) {
    Effect->ResetTransition();
    throw;
  }
  Effect->ResetTransition();
  Source.reset();
  // The frames went straight onto the window; the buffer gets the final
  // picture so that later repaints show it.
  Target.DrawOnto(&Buffer, TR.Left, TR.Top);
}

void TPVPPicture::Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) {
  LoadPicture(false, HintsFor(ObjectRect));
  if (!StageRect.IsEmpty() && FillBackground) {
    Canvas.Brush.Style = platform::BrushStyle::Solid;
    Canvas.Brush.Color = FillColor;
    Canvas.FillRect(StageRect);
  }
  if (Picture) Canvas.StretchDraw(ObjectRect, *Picture);
}

void TPVPPicture::PaintCached(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect& StageRect) {
  if (FillBackground) {
    Canvas.Brush.Style = platform::BrushStyle::Solid;
    Canvas.Brush.Color = FillColor;
    Canvas.FillRect(RelativeToRect(BackgroundPlacement(), StageRect));
  }
  TDavazozavVisiblePlugin::PaintCached(Canvas, ObjectRect, StageRect);
}
