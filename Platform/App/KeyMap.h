#pragma once
// Keys of the SDL backend as the window's handlers see them: SDL key codes to
// Windows virtual-key codes, typed text to Windows-1252 characters.
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The virtual-key code of an SDL key code (SDL_Keycode); 0 for a key that
// has none. Letters and digits give their upper-case ASCII code; the keys of a
// German keyboard's letter block (ä ö ü ß + # < ^) give the codes a German
// layout gives them.
std::uint16_t VirtualKeyFromSdl(std::int32_t SdlKey);

// The character a key sends by itself on a key press (Return 13, Esc 27,
// Backspace 8, Tab 9); 0 for keys whose character comes as typed text.
char KeyPressCharFromSdl(std::int32_t SdlKey);

// Typed UTF-8 text as Windows-1252 characters; characters without a
// Windows-1252 form are left out.
std::string TypedTextToCp1252(std::string_view Utf8);

}  // namespace platform
