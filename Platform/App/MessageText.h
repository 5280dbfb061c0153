#pragma once
// Text of the message panel: a bold title line and the message below it,
// wrapped at Area's width, black on the panel's colour.
#include <cstdint>
#include <string>

#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {

// The height the title and text need at Width pixels.
std::int32_t MeasureMessageText(const std::string& Title, const std::string& Text, std::int32_t Width);
// Draws them into Area of Screen, touching only Clip. Texts are UTF-8 (a text
// that is not is read as Windows-1252).
void DrawMessageText(const PixelView& Screen, const TRect& Area, const TRect& Clip, const std::string& Title,
                     const std::string& Text);

}  // namespace platform
