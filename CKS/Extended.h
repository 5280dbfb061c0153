#pragma once
// The 80-bit extended-precision value of stored data, kept as its 10 bytes:
// bytes 0-7 the 64-bit significand with its explicit integer bit on top,
// bytes 8-9 the 15-bit exponent (bias 16383) with the sign as the top bit.
// Keeping the bytes means a value read and written again is stored exactly
// as it was, whatever this compiler's long double is; the conversions below
// are only for computing with the value.
#include <array>
#include <cstdint>

class Extended {
public:
  // +0.
  Extended() = default;
  explicit Extended(const std::array<std::uint8_t, 10>& Bytes) : Bytes_(Bytes) {}
  static Extended FromBytes(const std::uint8_t* TenBytes);
  static Extended FromParts(bool Negative, std::uint16_t BiasedExponent, std::uint64_t Significand);

  // Exact for every double (all of them fit).
  static Extended FromDouble(double Value);
  // Exact where long double has at most 64 significand bits; a wider
  // long double is rounded to nearest, ties to even.
  static Extended FromLongDouble(long double Value);

  // The value the bytes stand for, rounded to nearest (ties to even).
  // Unnormals (integer bit clear, exponent not 0) and pseudo-denormals are
  // taken by their value, significand x 2^(exponent - 16383 - 63) with
  // exponent 0 counting as 1. Exponent 32767: infinity when the 63 fraction
  // bits are 0, otherwise NaN (keeping as many payload bits as fit).
  double ToDouble() const;
  long double ToLongDouble() const;

  const std::array<std::uint8_t, 10>& Bytes() const { return Bytes_; }
  std::uint64_t Significand() const;
  std::uint16_t BiasedExponent() const;  // without the sign
  bool Negative() const { return (Bytes_[9] & 0x80) != 0; }

  // Same bytes (so +0 and -0 differ, and a NaN equals itself).
  friend bool operator==(const Extended&, const Extended&) = default;

private:
  std::array<std::uint8_t, 10> Bytes_{};
};
