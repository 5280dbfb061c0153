#pragma once
// Input as the window's handlers see it: Windows virtual-key codes, Windows-1252
// characters, mouse buttons and the set of held modifiers and buttons.
#include <cstdint>
#include <string>

#include "Platform/Core/Types.h"

namespace platform {

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Bit set of held modifier keys and mouse buttons.
using ShiftState = std::uint16_t;
inline constexpr ShiftState ShiftKey = 1;
inline constexpr ShiftState AltKey = 2;
inline constexpr ShiftState CtrlKey = 4;
inline constexpr ShiftState LeftButtonHeld = 8;
inline constexpr ShiftState RightButtonHeld = 16;
inline constexpr ShiftState MiddleButtonHeld = 32;

// The virtual-key codes the player and its tests name.
namespace vk {
inline constexpr std::uint16_t Back = 0x08, Tab = 0x09, Return = 0x0D, Shift = 0x10, Control = 0x11,
                               Menu = 0x12, Pause = 0x13, Capital = 0x14, Escape = 0x1B, Space = 0x20,
                               Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26,
                               Right = 0x27, Down = 0x28, Snapshot = 0x2C, Insert = 0x2D, Delete = 0x2E,
                               F1 = 0x70;
}  // namespace vk

// One event from a backend, in the window's client coordinates (which are the
// surface's pixels: the window covers the screen from its top-left corner).
struct InputEvent {
  enum class Kind : std::uint8_t {
    KeyDown,       // Key = virtual-key code
    KeyUp,         // Key = virtual-key code
    KeyPress,      // Key = Windows-1252 character code
    MouseMove,
    MouseDown,
    MouseUp,
    FocusIn,       // the window got the keyboard focus
    FocusOut,      // the window lost it
    CloseRequest,  // the window manager's close, a quit request
    Resize,        // Position = new client size (X = width, Y = height)
    Expose,        // the whole window must be shown again
    Command,       // a named scripted command (Name, Args) for the program
  };
  Kind Type = Kind::KeyDown;
  std::uint16_t Key = 0;
  ShiftState Shift = 0;
  MouseButton Button = MouseButton::Left;
  TPoint Position;
  std::string Name;
  std::string Args;
};

}  // namespace platform
