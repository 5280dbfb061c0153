#include "Platform/Core/Cp1252.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace platform {
namespace {

// Code points of the bytes 0x80-0x9F; the unassigned bytes keep their C1 value.
constexpr std::array<char32_t, 32> HighControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out.push_back(static_cast<char>(C));
  } else if (C < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (C >> 6)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  } else {  // everything Windows-1252 holds lies in the basic plane
    Out.push_back(static_cast<char>(0xE0 | (C >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  }
}

// The byte for a code point, or -1 when Windows-1252 has none.
int ByteOfCodePoint(char32_t C) {
  if (C < 0x80 || (C >= 0xA0 && C <= 0xFF)) return static_cast<int>(C);
  for (std::size_t I = 0; I < HighControlBlock.size(); ++I)
    if (HighControlBlock[I] == C) return static_cast<int>(0x80 + I);
  return -1;
}

enum class DecodeFailure { None, InvalidUtf8, NoCp1252Form };

// Decodes Text; on failure reports where and what.
DecodeFailure Convert(std::string_view Text, std::string& Out, std::size_t& FailOffset,
                      char32_t& FailCodePoint) {
  Out.clear();
  Out.reserve(Text.size());
  std::size_t I = 0;
  while (I < Text.size()) {
    const auto Lead = static_cast<unsigned char>(Text[I]);
    char32_t C;
    std::size_t Length;
    if (Lead < 0x80) {
      C = Lead;
      Length = 1;
    } else if (Lead >= 0xC2 && Lead <= 0xDF) {
      C = Lead & 0x1F;
      Length = 2;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
      C = Lead & 0x0F;
      Length = 3;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
      C = Lead & 0x07;
      Length = 4;
    } else {
      FailOffset = I;
      return DecodeFailure::InvalidUtf8;
    }
    if (I + Length > Text.size()) {
      FailOffset = I;
      return DecodeFailure::InvalidUtf8;
    }
    for (std::size_t K = 1; K < Length; ++K) {
      const auto Next = static_cast<unsigned char>(Text[I + K]);
      if ((Next & 0xC0) != 0x80) {
        FailOffset = I;
        return DecodeFailure::InvalidUtf8;
      }
      C = (C << 6) | (Next & 0x3F);
    }
    // Overlong forms, surrogates and values beyond U+10FFFF are not UTF-8.
    const bool Overlong = (Length == 3 && C < 0x800) || (Length == 4 && C < 0x10000);
    if (Overlong || (C >= 0xD800 && C <= 0xDFFF) || C > 0x10FFFF) {
      FailOffset = I;
      return DecodeFailure::InvalidUtf8;
    }
    const int Byte = ByteOfCodePoint(C);
    if (Byte < 0) {
      FailOffset = I;
      FailCodePoint = C;
      return DecodeFailure::NoCp1252Form;
    }
    Out.push_back(static_cast<char>(Byte));
    I += Length;
  }
  return DecodeFailure::None;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char Byte) {
  if (Byte >= 0x80 && Byte <= 0x9F) return HighControlBlock[Byte - 0x80];
  return Byte;
}

std::string Cp1252ToUtf8(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size() + Text.size() / 2);
  for (char Ch : Text) AppendUtf8(Out, Cp1252ToCodePoint(static_cast<unsigned char>(Ch)));
  return Out;
}

std::string Utf8ToCp1252(std::string_view Text) {
  std::string Out;
  std::size_t Offset = 0;
  char32_t CodePoint = 0;
  switch (Convert(Text, Out, Offset, CodePoint)) {
    case DecodeFailure::None:
      return Out;
    case DecodeFailure::InvalidUtf8:
      throw EncodingError("invalid UTF-8 at byte " + std::to_string(Offset));
    case DecodeFailure::NoCp1252Form: {
      char Name[16];
      std::snprintf(Name, sizeof Name, "U+%04X", static_cast<unsigned>(CodePoint));
      throw EncodingError(std::string("character ") + Name + " at byte " + std::to_string(Offset) +
                          " has no Windows-1252 form");
    }
  }
  return Out;
}

bool TryUtf8ToCp1252(std::string_view Text, std::string& Result) {
  std::size_t Offset = 0;
  char32_t CodePoint = 0;
  return Convert(Text, Result, Offset, CodePoint) == DecodeFailure::None;
}

unsigned char FoldCaseCp1252(unsigned char Byte) {
  if (Byte >= 'A' && Byte <= 'Z') return static_cast<unsigned char>(Byte + 0x20);
  if (Byte >= 0xC0 && Byte <= 0xDE && Byte != 0xD7) return static_cast<unsigned char>(Byte + 0x20);
  switch (Byte) {
    case 0x8A: return 0x9A;  // Š -> š
    case 0x8C: return 0x9C;  // Œ -> œ
    case 0x8E: return 0x9E;  // Ž -> ž
    case 0x9F: return 0xFF;  // Ÿ -> ÿ
    default: return Byte;
  }
}

std::string FoldCaseCp1252(std::string_view Text) {
  std::string Out(Text);
  for (char& Ch : Out) Ch = static_cast<char>(FoldCaseCp1252(static_cast<unsigned char>(Ch)));
  return Out;
}

bool SameTextCp1252(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (FoldCaseCp1252(static_cast<unsigned char>(A[I])) !=
        FoldCaseCp1252(static_cast<unsigned char>(B[I])))
      return false;
  return true;
}

namespace {
unsigned char FoldAscii(char Ch) {
  const auto B = static_cast<unsigned char>(Ch);
  return (B >= 'A' && B <= 'Z') ? static_cast<unsigned char>(B + 0x20) : B;
}
}  // namespace

int CompareTextAscii(std::string_view A, std::string_view B) {
  const std::size_t N = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < N; ++I) {
    const int Diff = static_cast<int>(FoldAscii(A[I])) - static_cast<int>(FoldAscii(B[I]));
    if (Diff != 0) return Diff;
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

bool SameTextAscii(std::string_view A, std::string_view B) {
  return A.size() == B.size() && CompareTextAscii(A, B) == 0;
}

}  // namespace platform
