#pragma once
// Text as metafiles store it: 8-bit strings in the code page of the font's
// character set, or UTF-16LE. Each stored code unit becomes one entry (UTF-8),
// so that per-character advances stay aligned with the characters; units that
// continue a character (second byte of a double-byte character, low
// surrogate) are empty.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace platform::metafile {

std::vector<std::string> DecodeAnsiText(std::span<const std::uint8_t> Bytes, std::uint8_t CharSet);
std::vector<std::string> DecodeUtf16Text(std::span<const std::uint8_t> Bytes);
// UTF-16LE up to the first NUL (face names).
std::string Utf16ToUtf8(std::span<const std::uint8_t> Bytes);

}  // namespace platform::metafile
