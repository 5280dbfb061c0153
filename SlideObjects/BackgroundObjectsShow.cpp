// The background and the colour rectangle on the stage.
#include "Platform/Canvas/Canvas.h"
#include "SlideObjects/BackgroundObjects.h"
#include "SlideObjects/PlayerWindow.h"

void TPVPBackground::PrepareCache(const TRect&, const TRect&, bool) {}

void TPVPBackground::Draw(platform::Canvas& Canvas, const TRect& StageRect) {
  if (FillMode != 1) return;
  TRect R = StageRect;
  const TRect Clip = Canvas.ClipRect();
  if (!Clip.IsEmpty()) R = IntersectRect(Clip, StageRect);
  Canvas.Brush.Style = platform::BrushStyle::Solid;
  Canvas.Brush.Color = BackgroundColor;
  Canvas.FillRect(R);
}

void TPVPColorRect::PrepareCache(const TRect&, const TRect&, bool) {}

void TPVPColorRect::Paint(platform::Canvas& Canvas, const TRect& ObjectRect, const TRect&) {
  Canvas.Brush.Style = platform::BrushStyle::Solid;
  Canvas.Brush.Color = RectColor;
  Canvas.FillRect(ObjectRect);
}

void TPVPColorRect::Step() {
  if (!PlayerForm || State == 2) return;
  PlayerSurface& Surface = PlayerForm->PaintBox();
  const TRect Stage = Surface.GetClientRect();
  const TRect R = PixelRect(Stage);
  // A surface that cannot hand out a canvas draws nothing; the rectangle is
  // still done, so the show goes on.
  if (platform::Canvas* Canvas = Surface.BufferCanvas()) Paint(*Canvas, R, Stage);
  PlayerForm->InvalidateAll();
  State = 2;
}
