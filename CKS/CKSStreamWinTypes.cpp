#include "CKS/CKSStreamWinTypes.h"

#include <cstring>
#include <limits>

#include "CKS/LittleEndian.h"

using cks_detail::GetLE;
using cks_detail::PutLE;

namespace {
constexpr std::int32_t NoFont = -1;
constexpr std::int32_t FontFixedBytes = 17;  // s, colour, n, size, style
}  // namespace

void TCKSStreamWinTypes::WriteColor(TColor Color) { WriteCardinal(Color); }

void TCKSStreamWinTypes::ReadColor(TColor& Color) { Color = ReadCardinal(); }

TColor TCKSStreamWinTypes::ReadColor() { return ReadCardinal(); }

std::int32_t TCKSStreamWinTypes::FontToBuffer(const TFont* Font, std::vector<std::uint8_t>& Buffer) {
  Buffer.clear();
  if (!Font) return NoFont;
  const std::string& Name = Font->Name();
  if (Name.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() - FontFixedBytes))
    throw EWriteError();
  const auto NameLength = static_cast<std::int32_t>(Name.size());
  const std::int32_t Size = FontFixedBytes + NameLength;
  Buffer.resize(static_cast<std::size_t>(Size));
  std::uint8_t* B = Buffer.data();
  PutLE(B, Size);
  PutLE(B + 4, static_cast<std::uint32_t>(Font->Color()));
  PutLE(B + 8, NameLength);
  if (NameLength > 0) std::memcpy(B + 12, Name.data(), Name.size());
  PutLE(B + 12 + NameLength, Font->Size());
  B[16 + NameLength] = Font->Style().Bits();
  return Size;
}

std::unique_ptr<TFont> TCKSStreamWinTypes::BufferToFont(const std::vector<std::uint8_t>& Buffer) {
  const auto BlockSize = static_cast<std::int64_t>(Buffer.size());
  if (BlockSize < FontFixedBytes) throw EReadError();
  const std::uint8_t* B = Buffer.data();
  const std::int32_t NameLength = GetLE<std::int32_t>(B + 8);
  if (NameLength < 0 || NameLength > BlockSize - FontFixedBytes) throw EReadError();
  auto Font = std::make_unique<TFont>();
  Font->SetColor(GetLE<std::uint32_t>(B + 4));
  std::string Name(reinterpret_cast<const char*>(B + 12), static_cast<std::size_t>(NameLength));
  if (const auto Nul = Name.find('\0'); Nul != std::string::npos) Name.resize(Nul);
  Font->SetName(Name);
  Font->SetSize(GetLE<std::int32_t>(B + 12 + NameLength));
  Font->SetStyle(TFontStyles::FromBits(B[16 + NameLength]));
  return Font;
}

void TCKSStreamWinTypes::WriteFont(const TFont* Font) {
  std::vector<std::uint8_t> Block;
  const std::int32_t Size = FontToBuffer(Font, Block);
  WriteInteger(Size);
  if (Size != NoFont) WriteBuffer(Block.data(), Size);
}

void TCKSStreamWinTypes::ReadFont(std::unique_ptr<TFont>& Font) {
  Font.reset();
  const std::int32_t Size = ReadInteger();
  if (Size == NoFont) return;
  if (Size < FontFixedBytes) throw EReadError();
  if (Size > BytesLeft()) throw EReadError();  // before the block is allocated
  std::vector<std::uint8_t> Block(static_cast<std::size_t>(Size));
  ReadBuffer(Block.data(), Size);
  Font = BufferToFont(Block);
}
