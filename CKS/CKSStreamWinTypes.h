#pragma once
// TCKSStreamWinTypes: the chunk stream the program instantiates — a
// TCKSStream that also stores colours (the 4-byte platform colour value) and
// fonts (a self-sized block with colour, name, size in points and style).
#include <cstdint>
#include <memory>
#include <vector>

#include "CKS/CKSStream.h"
#include "Platform/Core/Font.h"
#include "Platform/Core/Types.h"

class TCKSStreamWinTypes : public TCKSStream {
public:
  TCKSStreamWinTypes() = default;
  TCKSStreamWinTypes(TStream* Stream, std::uint8_t Mode) : TCKSStream() { SetBaseStream(Stream, Mode); }

  std::unique_ptr<TCKSStream> NewInstance() const override { return std::make_unique<TCKSStreamWinTypes>(); }

  void WriteColor(TColor Color);
  void ReadColor(TColor& Color);
  TColor ReadColor();

  // The font value; nullptr stores "no font" (-1).
  void WriteFont(const TFont* Font);
  // Frees the font Font holds, then reads a font value into a new font (none
  // for "no font"). A block whose sizes do not fit together raises
  // "Stream-Lesefehler" and leaves Font empty.
  void ReadFont(std::unique_ptr<TFont>& Font);

  // The stored block of a font (s = 17 + name length bytes); -1 and no block
  // for no font.
  static std::int32_t FontToBuffer(const TFont* Font, std::vector<std::uint8_t>& Buffer);
  // A new font from a block; EReadError when the block is too short for its
  // own fields.
  static std::unique_ptr<TFont> BufferToFont(const std::vector<std::uint8_t>& Buffer);
};
