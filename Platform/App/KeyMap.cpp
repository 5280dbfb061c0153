#include "Platform/App/KeyMap.h"

#include <SDL.h>

#include "Platform/Core/Cp1252.h"

namespace platform {

std::uint16_t VirtualKeyFromSdl(std::int32_t Key) {
  if (Key >= SDLK_a && Key <= SDLK_z) return static_cast<std::uint16_t>('A' + (Key - SDLK_a));
  if (Key >= SDLK_0 && Key <= SDLK_9) return static_cast<std::uint16_t>('0' + (Key - SDLK_0));
  if (Key >= SDLK_F1 && Key <= SDLK_F12) return static_cast<std::uint16_t>(0x70 + (Key - SDLK_F1));
  if (Key >= SDLK_F13 && Key <= SDLK_F24) return static_cast<std::uint16_t>(0x7C + (Key - SDLK_F13));
  if (Key >= SDLK_KP_1 && Key <= SDLK_KP_9) return static_cast<std::uint16_t>(0x61 + (Key - SDLK_KP_1));
  switch (Key) {
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_TAB: return 0x09;
    case SDLK_CLEAR: return 0x0C;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 0x0D;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 0x10;
    case SDLK_LCTRL: case SDLK_RCTRL: return 0x11;
    case SDLK_LALT: case SDLK_RALT: return 0x12;
    case SDLK_PAUSE: return 0x13;
    case SDLK_CAPSLOCK: return 0x14;
    case SDLK_ESCAPE: return 0x1B;
    case SDLK_SPACE: return 0x20;
    case SDLK_PAGEUP: return 0x21;
    case SDLK_PAGEDOWN: return 0x22;
    case SDLK_END: return 0x23;
    case SDLK_HOME: return 0x24;
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_PRINTSCREEN: return 0x2C;
    case SDLK_INSERT: return 0x2D;
    case SDLK_DELETE: return 0x2E;
    case SDLK_HELP: return 0x2F;
    case SDLK_LGUI: return 0x5B;
    case SDLK_RGUI: return 0x5C;
    case SDLK_APPLICATION: return 0x5D;
    case SDLK_KP_0: return 0x60;
    case SDLK_KP_MULTIPLY: return 0x6A;
    case SDLK_KP_PLUS: return 0x6B;
    case SDLK_KP_MINUS: return 0x6D;
    case SDLK_KP_PERIOD: case SDLK_KP_COMMA: return 0x6E;
    case SDLK_KP_DIVIDE: return 0x6F;
    case SDLK_NUMLOCKCLEAR: return 0x90;
    case SDLK_SCROLLLOCK: return 0x91;
    // The punctuation keys, as a German layout names them.
    case SDLK_PLUS: case SDLK_EQUALS: return 0xBB;   // + (VK_OEM_PLUS)
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_HASH: case SDLK_SLASH: return 0xBF;    // # (VK_OEM_2)
    case 0xFC: case SDLK_SEMICOLON: return 0xBA;     // ü (VK_OEM_1)
    case 0xF6: case SDLK_BACKQUOTE: return 0xC0;     // ö (VK_OEM_3)
    case 0xDF: case SDLK_LEFTBRACKET: return 0xDB;   // ß (VK_OEM_4)
    case SDLK_CARET: case SDLK_BACKSLASH: return 0xDC;  // ^ (VK_OEM_5)
    case 0xB4: case SDLK_RIGHTBRACKET: return 0xDD;  // ´ (VK_OEM_6)
    case 0xE4: case SDLK_QUOTE: return 0xDE;         // ä (VK_OEM_7)
    case SDLK_LESS: return 0xE2;                     // < (VK_OEM_102)
    default: return 0;
  }
}

char KeyPressCharFromSdl(std::int32_t Key) {
  switch (Key) {
    case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
    case SDLK_ESCAPE: return 27;
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    default: return 0;
  }
}

std::string TypedTextToCp1252(std::string_view Utf8) {
  std::string Result;
  std::size_t I = 0;
  while (I < Utf8.size()) {
    // One UTF-8 sequence at a time, so an unstorable character drops alone.
    std::size_t Length = 1;
    const auto Lead = static_cast<unsigned char>(Utf8[I]);
    if (Lead >= 0xF0) Length = 4;
    else if (Lead >= 0xE0) Length = 3;
    else if (Lead >= 0xC0) Length = 2;
    std::string One;
    if (TryUtf8ToCp1252(Utf8.substr(I, Length), One)) Result += One;
    I += Length;
  }
  return Result;
}

}  // namespace platform
