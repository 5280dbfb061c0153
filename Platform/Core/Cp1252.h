#pragma once
// Windows-1252 text. Stored 8-bit text stays Windows-1252 bytes in memory; it is
// converted to UTF-8 only where it meets the screen, the file system or JSON.
//
// The conversion is reversible for all 256 bytes: the five bytes Windows-1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls
// U+0081, U+008D, U+008F, U+0090, U+009D and back, so any stored byte string
// survives a trip through UTF-8 unchanged.
#include <stdexcept>
#include <string>
#include <string_view>

namespace platform {

// Text that is not valid UTF-8, or holds a character Windows-1252 cannot store.
class EncodingError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The Unicode code point of one Windows-1252 byte.
char32_t Cp1252ToCodePoint(unsigned char Byte);

std::string Cp1252ToUtf8(std::string_view Text);

// Throws EncodingError naming the offending character and its byte offset.
std::string Utf8ToCp1252(std::string_view Text);
// The same without an exception: false (Result unspecified) when Text has no
// Windows-1252 form.
bool TryUtf8ToCp1252(std::string_view Text, std::string& Result);

// Case folding of Western text, the rule the plug-in registry and the media
// file-name lookup use: the ASCII letters A-Z, the Windows-1252 letters
// 0xC0-0xDE except the multiplication sign 0xD7 (À..Þ -> à..þ), and the four
// letters outside that block, Š (0x8A), Œ (0x8C), Ž (0x8E) and Ÿ (0x9F), fold
// to their lower-case forms. Every other byte, ß (0xDF) and µ (0xB5) among
// them, stands for itself.
unsigned char FoldCaseCp1252(unsigned char Byte);
std::string FoldCaseCp1252(std::string_view Text);
// Equal after FoldCaseCp1252.
bool SameTextCp1252(std::string_view A, std::string_view B);

// Comparison that folds only the ASCII letters a-z; every other byte compares
// by its value, and a text sorts before a longer one it starts. Negative, 0 or
// positive like strcmp.
int CompareTextAscii(std::string_view A, std::string_view B);
bool SameTextAscii(std::string_view A, std::string_view B);

}  // namespace platform
