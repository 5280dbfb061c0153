#pragma once
// Text with an effect: plain, shadow, outline or raised, drawn with the
// canvas's formatted text drawing. Shared by the text object and the text
// animations.
#include <cstdint>
#include <string_view>

#include "Platform/Core/Font.h"
#include "Platform/Core/Types.h"

namespace platform {
class Canvas;
}

// Effect styles; any other value draws plain text.
inline constexpr std::uint8_t EffectStylePlain = 0;
inline constexpr std::uint8_t EffectStyleShadow = 1;   // two copies at +1 and +2 right and down
inline constexpr std::uint8_t EffectStyleOutline = 2;  // four copies around the text moved by +1, +1
inline constexpr std::uint8_t EffectStyleRaised = 3;   // as outline, the bottom-right copy in EffectColor2

// Draws Text into Rect on Canvas with the DrawText flags Format: first the
// effect copies in EffectColor (and EffectColor2), then the text in Font's
// colour. In the outline and raised styles the main text sits at +1, +1.
// The canvas's brush becomes clear and its font a copy of Font; FontHeight
// other than -1 sets the font height to |FontHeight|. With the
// calculate-rectangle flag (0x400) nothing is drawn and Rect becomes the
// measured rectangle of the main text.
void DrawEffectText(platform::Canvas& Canvas, const TFont& Font, TRect& Rect, TColor EffectColor2,
                    TColor EffectColor, std::uint8_t EffectStyle, std::uint32_t Format, std::string_view Text,
                    std::int32_t FontHeight);

// The same with the rectangle taken by value: the caller's is never changed.
inline void DrawEffectTextIn(platform::Canvas& Canvas, const TFont& Font, TRect Rect, TColor EffectColor2,
                             TColor EffectColor, std::uint8_t EffectStyle, std::uint32_t Format,
                             std::string_view Text, std::int32_t FontHeight) {
  DrawEffectText(Canvas, Font, Rect, EffectColor2, EffectColor, EffectStyle, Format, Text, FontHeight);
}
