#include "Platform/App/MessageText.h"

#include <algorithm>
#include <vector>

#include "Platform/Canvas/Canvas.h"
#include "Platform/Core/Cp1252.h"

namespace platform {
namespace {

constexpr std::int32_t Gap = 4;  // between the title and the text
constexpr std::uint32_t Format = DrawTextWordBreak | DrawTextNoPrefix | DrawTextLeft;

// The canvas draws 8-bit text; a text that is not UTF-8 is taken as it is.
std::string AsCp1252(const std::string& Text) {
  std::string Result;
  return TryUtf8ToCp1252(Text, Result) ? Result : Text;
}

void UseFont(Canvas& C, bool Bold) {
  C.Font.SetName("Arial");
  C.Font.SetHeight(-14);
  C.Font.SetColor(0x00000000);
  C.Font.SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
  C.Brush.Style = BrushStyle::Clear;
}

// Draws (or with CalcRect only measures) both parts from Area's top; answers
// the height used.
std::int32_t Lay(Canvas& C, const TRect& Area, const std::string& Title, const std::string& Text,
                 std::uint32_t Extra) {
  TRect R = Area;
  UseFont(C, true);
  const std::int32_t TitleHeight = C.DrawText(AsCp1252(Title), R, Format | Extra);
  R = TRect{Area.Left, Area.Top + TitleHeight + Gap, Area.Right, std::max(Area.Bottom, Area.Top + TitleHeight + Gap)};
  UseFont(C, false);
  const std::int32_t TextHeight = C.DrawText(AsCp1252(Text), R, Format | Extra);
  return TitleHeight + Gap + TextHeight;
}

}  // namespace

std::int32_t MeasureMessageText(const std::string& Title, const std::string& Text, std::int32_t Width) {
  std::vector<TColor32> Scratch(1);
  Canvas C(PixelView{Scratch.data(), 1, 1, 1});
  return Lay(C, TRect{0, 0, std::max(Width, 1), 0}, Title, Text, DrawTextCalcRect);
}

void DrawMessageText(const PixelView& Screen, const TRect& Area, const TRect& Clip, const std::string& Title,
                     const std::string& Text) {
  const TRect R = IntersectRect(IntersectRect(Area, Clip), TRect{0, 0, Screen.Width, Screen.Height});
  if (R.IsEmpty() || !Screen.Bits) return;
  Canvas C(Screen);
  C.SetClipRect(R);
  Lay(C, Area, Title, Text, 0);
}

}  // namespace platform
