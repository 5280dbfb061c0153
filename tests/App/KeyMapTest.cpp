#include <gtest/gtest.h>

#include <SDL.h>

#include "Platform/App/KeyMap.h"

namespace platform {
namespace {

TEST(KeyMap, SdlKeysBecomeVirtualKeyCodes) {
  const struct {
    SDL_Keycode Sdl;
    std::uint16_t Vk;
  } Cases[] = {
      {SDLK_ESCAPE, 27}, {SDLK_SPACE, 32},    {SDLK_RETURN, 13},   {SDLK_KP_ENTER, 13}, {SDLK_a, 'A'},
      {SDLK_z, 'Z'},     {SDLK_0, '0'},       {SDLK_9, '9'},       {SDLK_F1, 0x70},     {SDLK_F12, 0x7B},
      {SDLK_LEFT, 0x25}, {SDLK_UP, 0x26},     {SDLK_RIGHT, 0x27},  {SDLK_DOWN, 0x28},   {SDLK_PAGEUP, 0x21},
      {SDLK_PAGEDOWN, 0x22}, {SDLK_HOME, 0x24}, {SDLK_END, 0x23},  {SDLK_INSERT, 0x2D}, {SDLK_DELETE, 0x2E},
      {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},     {SDLK_LSHIFT, 0x10}, {SDLK_RCTRL, 0x11},  {SDLK_LALT, 0x12},
      {SDLK_KP_0, 0x60}, {SDLK_KP_9, 0x69},   {SDLK_KP_PLUS, 0x6B}, {SDLK_PAUSE, 0x13},
      {0xE4, 0xDE} /* ä */, {0xF6, 0xC0} /* ö */, {0xFC, 0xBA} /* ü */, {0xDF, 0xDB} /* ß */,
      {SDLK_PLUS, 0xBB}, {SDLK_MINUS, 0xBD},  {SDLK_COMMA, 0xBC},  {SDLK_PERIOD, 0xBE}, {SDLK_HASH, 0xBF},
      {SDLK_LESS, 0xE2}, {SDLK_VOLUMEUP, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Sdl);
    EXPECT_EQ(VirtualKeyFromSdl(C.Sdl), C.Vk);
  }
}

TEST(KeyMap, KeysWithTheirOwnCharacterAndTypedText) {
  EXPECT_EQ(KeyPressCharFromSdl(SDLK_ESCAPE), 27);
  EXPECT_EQ(KeyPressCharFromSdl(SDLK_RETURN), 13);
  EXPECT_EQ(KeyPressCharFromSdl(SDLK_a), 0);  // comes as typed text
  EXPECT_EQ(TypedTextToCp1252("a\xC3\xA4\xE2\x82\xAC"), "a\xE4\x80");  // a ä €
  EXPECT_EQ(TypedTextToCp1252("\xE4\xB8\xAD" "b"), "b");  // no Windows-1252 form: left out
}

}  // namespace
}  // namespace platform
