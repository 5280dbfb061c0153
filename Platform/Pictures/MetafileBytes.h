#pragma once
// Bounds-checked little-endian reads over a byte span, for the metafile and
// rare-format readers. Every read outside the span throws ShortData, which a
// record player turns into "skip this record" and a decoder into PictureError.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <exception>
#include <span>

namespace platform::metafile {

struct ShortData : std::exception {
  const char* what() const noexcept override { return "data shorter than its contents"; }
};

class ByteReader {
public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> Bytes) : Bytes_(Bytes) {}

  std::size_t Size() const { return Bytes_.size(); }
  bool Has(std::size_t Offset, std::size_t Count) const {
    return Offset <= Bytes_.size() && Count <= Bytes_.size() - Offset;
  }
  std::span<const std::uint8_t> Sub(std::size_t Offset, std::size_t Count) const {
    if (!Has(Offset, Count)) throw ShortData();
    return Bytes_.subspan(Offset, Count);
  }
  std::span<const std::uint8_t> From(std::size_t Offset) const {
    if (Offset > Bytes_.size()) throw ShortData();
    return Bytes_.subspan(Offset);
  }
  std::uint8_t U8(std::size_t Offset) const { return Sub(Offset, 1)[0]; }
  std::uint16_t U16(std::size_t Offset) const {
    auto B = Sub(Offset, 2);
    return static_cast<std::uint16_t>(B[0] | (B[1] << 8));
  }
  std::int16_t I16(std::size_t Offset) const { return static_cast<std::int16_t>(U16(Offset)); }
  std::uint32_t U32(std::size_t Offset) const {
    auto B = Sub(Offset, 4);
    return static_cast<std::uint32_t>(B[0]) | (static_cast<std::uint32_t>(B[1]) << 8) |
           (static_cast<std::uint32_t>(B[2]) << 16) | (static_cast<std::uint32_t>(B[3]) << 24);
  }
  std::int32_t I32(std::size_t Offset) const { return static_cast<std::int32_t>(U32(Offset)); }
  float F32(std::size_t Offset) const {
    std::uint32_t Bits = U32(Offset);
    float Value;
    std::memcpy(&Value, &Bits, sizeof Value);
    return Value;
  }
  std::uint16_t U16BE(std::size_t Offset) const {
    auto B = Sub(Offset, 2);
    return static_cast<std::uint16_t>((B[0] << 8) | B[1]);
  }
  std::uint32_t U32BE(std::size_t Offset) const {
    auto B = Sub(Offset, 4);
    return (static_cast<std::uint32_t>(B[0]) << 24) | (static_cast<std::uint32_t>(B[1]) << 16) |
           (static_cast<std::uint32_t>(B[2]) << 8) | static_cast<std::uint32_t>(B[3]);
  }

private:
  std::span<const std::uint8_t> Bytes_;
};

}  // namespace platform::metafile
