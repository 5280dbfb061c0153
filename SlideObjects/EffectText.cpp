#include "SlideObjects/EffectText.h"

#include <cstdlib>

#include "Platform/Canvas/Canvas.h"

namespace {

TRect Moved(const TRect& R, std::int32_t Dx, std::int32_t Dy) {
  return TRect{R.Left + Dx, R.Top + Dy, R.Right + Dx, R.Bottom + Dy};
}

}  // namespace

void DrawEffectText(platform::Canvas& Canvas, const TFont& Font, TRect& Rect, TColor EffectColor2,
                    TColor EffectColor, std::uint8_t EffectStyle, std::uint32_t Format, std::string_view Text,
                    std::int32_t FontHeight) {
  TRect R = Rect;
  Canvas.Brush.Style = platform::BrushStyle::Clear;
  Canvas.Font.Assign(Font);
  const TRect Saved = R;
  if (FontHeight != -1) Canvas.Font.SetHeight(std::abs(FontHeight));

  // Each copy gets a rectangle of its own: with the calculate flag the
  // drawing call overwrites it with the measured extent.
  const auto DrawCopy = [&](std::int32_t Dx, std::int32_t Dy) {
    TRect Copy = Moved(Saved, Dx, Dy);
    Canvas.DrawText(Text, Copy, Format);
  };
  switch (EffectStyle) {
    case EffectStyleShadow:
      Canvas.Font.SetColor(EffectColor);
      DrawCopy(1, 1);
      DrawCopy(2, 2);
      R = Saved;
      break;
    case EffectStyleOutline:
    case EffectStyleRaised:
      Canvas.Font.SetColor(EffectColor);
      DrawCopy(0, 0);
      DrawCopy(2, 0);
      DrawCopy(0, 2);
      if (EffectStyle == EffectStyleRaised) Canvas.Font.SetColor(EffectColor2);
      DrawCopy(2, 2);
      R = Moved(Saved, 1, 1);
      break;
    default:
      break;
  }
  Canvas.Font.SetColor(Font.Color());
  Canvas.DrawText(Text, R, Format);
  if (Format & platform::DrawTextCalcRect) Rect = R;
}
