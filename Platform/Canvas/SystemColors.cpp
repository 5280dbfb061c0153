#include "Platform/Canvas/SystemColors.h"

#include <array>

namespace platform {
namespace {

constexpr TColor RGB(std::uint32_t R, std::uint32_t G, std::uint32_t B) { return R | (G << 8) | (B << 16); }

// The classic defaults, by colour number.
constexpr std::array<TColor, SystemColorCount> Table = {
    RGB(212, 208, 200),  //  0 scroll bar
    RGB(58, 110, 165),   //  1 desktop background
    RGB(10, 36, 106),    //  2 active title bar
    RGB(128, 128, 128),  //  3 inactive title bar
    RGB(212, 208, 200),  //  4 menu background
    RGB(255, 255, 255),  //  5 window background
    RGB(0, 0, 0),        //  6 window frame
    RGB(0, 0, 0),        //  7 menu text
    RGB(0, 0, 0),        //  8 window text (the colour of a new font)
    RGB(255, 255, 255),  //  9 title bar text
    RGB(212, 208, 200),  // 10 active border
    RGB(212, 208, 200),  // 11 inactive border
    RGB(128, 128, 128),  // 12 application workspace
    RGB(10, 36, 106),    // 13 selection background
    RGB(255, 255, 255),  // 14 selection text
    RGB(212, 208, 200),  // 15 button face
    RGB(128, 128, 128),  // 16 button shadow
    RGB(128, 128, 128),  // 17 disabled text
    RGB(0, 0, 0),        // 18 button text
    RGB(212, 208, 200),  // 19 inactive title bar text
    RGB(255, 255, 255),  // 20 button highlight
    RGB(64, 64, 64),     // 21 dark 3-D shadow
    RGB(212, 208, 200),  // 22 light 3-D edge
    RGB(0, 0, 0),        // 23 tool-tip text
    RGB(255, 255, 225),  // 24 tool-tip background
    RGB(181, 181, 181),  // 25 alternate button face
    RGB(0, 0, 128),      // 26 hot-tracked item
    RGB(166, 202, 240),  // 27 active title bar gradient end
    RGB(192, 192, 192),  // 28 inactive title bar gradient end
    RGB(10, 36, 106),    // 29 menu selection
    RGB(212, 208, 200),  // 30 menu bar
};

}  // namespace

TColor SystemColorRGB(std::int32_t Index) {
  if (Index < 0 || Index >= SystemColorCount) return 0;
  return Table[static_cast<std::size_t>(Index)];
}

TColor ResolveColor(TColor Color) {
  if (Color & 0x80000000u) return SystemColorRGB(static_cast<std::int32_t>(Color & 0xFFu));
  return Color & 0x00FFFFFFu;
}

}  // namespace platform
