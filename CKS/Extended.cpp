#include "CKS/Extended.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr int ExponentBias = 16383;
constexpr std::uint16_t MaxExponent = 0x7FFF;
constexpr std::uint64_t IntegerBit = 0x8000000000000000ull;
constexpr std::uint64_t FractionMask = 0x7FFFFFFFFFFFFFFFull;

// Shifts Value right by Shift bits, rounding to nearest with ties to even.
std::uint64_t ShiftRightRounded(std::uint64_t Value, int Shift) {
  if (Shift <= 0) return Value;
  if (Shift > 64) return 0;
  const std::uint64_t Kept = Shift == 64 ? 0 : Value >> Shift;
  const std::uint64_t Rest = Shift == 64 ? Value : Value & ((1ull << Shift) - 1);
  const std::uint64_t Half = 1ull << (Shift - 1);
  if (Rest > Half || (Rest == Half && (Kept & 1) != 0)) return Kept + 1;
  return Kept;
}

}  // namespace

Extended Extended::FromBytes(const std::uint8_t* TenBytes) {
  std::array<std::uint8_t, 10> Bytes{};
  std::memcpy(Bytes.data(), TenBytes, Bytes.size());
  return Extended(Bytes);
}

Extended Extended::FromParts(bool Negative, std::uint16_t BiasedExponent, std::uint64_t Significand) {
  std::array<std::uint8_t, 10> Bytes{};
  for (int I = 0; I < 8; ++I) Bytes[I] = static_cast<std::uint8_t>(Significand >> (8 * I));
  const std::uint16_t Top = static_cast<std::uint16_t>((BiasedExponent & MaxExponent) | (Negative ? 0x8000 : 0));
  Bytes[8] = static_cast<std::uint8_t>(Top);
  Bytes[9] = static_cast<std::uint8_t>(Top >> 8);
  return Extended(Bytes);
}

std::uint64_t Extended::Significand() const {
  std::uint64_t Result = 0;
  for (int I = 7; I >= 0; --I) Result = (Result << 8) | Bytes_[I];
  return Result;
}

std::uint16_t Extended::BiasedExponent() const {
  return static_cast<std::uint16_t>((Bytes_[8] | (Bytes_[9] << 8)) & MaxExponent);
}

Extended Extended::FromDouble(double Value) {
  const auto Bits = std::bit_cast<std::uint64_t>(Value);
  const bool Sign = (Bits >> 63) != 0;
  const int Exponent = static_cast<int>((Bits >> 52) & 0x7FF);
  const std::uint64_t Fraction = Bits & 0x000FFFFFFFFFFFFFull;
  if (Exponent == 0x7FF)  // infinity or NaN; the NaN payload moves along
    return FromParts(Sign, MaxExponent, IntegerBit | (Fraction << 11));
  if (Exponent == 0) {
    if (Fraction == 0) return FromParts(Sign, 0, 0);
    // A double denormal is a normal extended number.
    const int Lead = std::countl_zero(Fraction);
    const std::uint64_t Significand = Fraction << Lead;
    const int Unbiased = -1022 - (Lead - 11);
    return FromParts(Sign, static_cast<std::uint16_t>(Unbiased + ExponentBias), Significand);
  }
  return FromParts(Sign, static_cast<std::uint16_t>(Exponent - 1023 + ExponentBias),
                   IntegerBit | (Fraction << 11));
}

Extended Extended::FromLongDouble(long double Value) {
  if constexpr (LDBL_MANT_DIG <= 53) {
    return FromDouble(static_cast<double>(Value));
  } else {
    const bool Sign = std::signbit(Value);
    if (std::isnan(Value)) {
      if constexpr (LDBL_MANT_DIG == 64 && std::numeric_limits<long double>::max_exponent == 16384) {
        // This long double is the stored format itself: keep the payload.
        std::array<std::uint8_t, 10> Bytes{};
        std::memcpy(Bytes.data(), &Value, Bytes.size());
        return Extended(Bytes);
      }
      return FromParts(Sign, MaxExponent, 0xC000000000000000ull);
    }
    if (std::isinf(Value)) return FromParts(Sign, MaxExponent, IntegerBit);
    if (Value == 0) return FromParts(Sign, 0, 0);
    int Exponent = 0;  // Value = Fraction * 2^Exponent, 0.5 <= |Fraction| < 1
    const long double Fraction = std::frexp(std::fabs(Value), &Exponent);
    std::uint64_t Significand = 0;
    int Unbiased = Exponent - 1;
    if constexpr (LDBL_MANT_DIG <= 64) {
      Significand = static_cast<std::uint64_t>(std::ldexp(Fraction, 64));
    } else {
      // Split into the top 64 bits and the rest, then round.
      const long double Scaled = std::ldexp(Fraction, 64);
      const long double Whole = std::floor(Scaled);
      Significand = static_cast<std::uint64_t>(Whole);
      const long double Rest = Scaled - Whole;
      if (Rest > 0.5L || (Rest == 0.5L && (Significand & 1) != 0)) {
        ++Significand;
        if (Significand == 0) {
          Significand = IntegerBit;
          ++Unbiased;
        }
      }
    }
    int Biased = Unbiased + ExponentBias;
    if (Biased >= MaxExponent) return FromParts(Sign, MaxExponent, IntegerBit);
    if (Biased <= 0) {
      // Below the normal range: an extended denormal with exponent field 0.
      Significand = ShiftRightRounded(Significand, 1 - Biased);
      return FromParts(Sign, (Significand & IntegerBit) != 0 ? 1 : 0, Significand);
    }
    return FromParts(Sign, static_cast<std::uint16_t>(Biased), Significand);
  }
}

double Extended::ToDouble() const {
  const bool Sign = Negative();
  const std::uint16_t Exponent = BiasedExponent();
  std::uint64_t Significand = this->Significand();
  const std::uint64_t SignBit = Sign ? (1ull << 63) : 0;
  if (Exponent == MaxExponent) {
    if ((Significand & FractionMask) == 0) return std::bit_cast<double>(SignBit | 0x7FF0000000000000ull);
    // NaN: keep the top payload bits and make sure it stays a NaN.
    std::uint64_t Payload = (Significand & FractionMask) >> 11;
    if (Payload == 0) Payload = 1ull << 51;
    return std::bit_cast<double>(SignBit | 0x7FF0000000000000ull | Payload);
  }
  if (Significand == 0) return std::bit_cast<double>(SignBit);
  // Normalise (unnormals and denormals) so that the integer bit is set.
  int Unbiased = (Exponent == 0 ? 1 : Exponent) - ExponentBias;
  const int Lead = std::countl_zero(Significand);
  Significand <<= Lead;
  Unbiased -= Lead;
  if (Unbiased > 1023) return std::bit_cast<double>(SignBit | 0x7FF0000000000000ull);
  int Shift = 11;
  if (Unbiased < -1022) Shift += -1022 - Unbiased;
  std::uint64_t Kept = ShiftRightRounded(Significand, Shift);
  if (Unbiased < -1022) return std::bit_cast<double>(SignBit | Kept);  // 2^52 carries into the exponent
  if (Kept == (1ull << 53)) {
    Kept >>= 1;
    ++Unbiased;
    if (Unbiased > 1023) return std::bit_cast<double>(SignBit | 0x7FF0000000000000ull);
  }
  const auto BiasedDouble = static_cast<std::uint64_t>(Unbiased + 1023);
  return std::bit_cast<double>(SignBit | (BiasedDouble << 52) | (Kept & 0x000FFFFFFFFFFFFFull));
}

long double Extended::ToLongDouble() const {
  if constexpr (LDBL_MANT_DIG <= 53) {
    return static_cast<long double>(ToDouble());
  } else {
    const bool Sign = Negative();
    const std::uint16_t Exponent = BiasedExponent();
    const std::uint64_t Significand = this->Significand();
    if (Exponent == MaxExponent) {
      if ((Significand & FractionMask) == 0)
        return Sign ? -std::numeric_limits<long double>::infinity() : std::numeric_limits<long double>::infinity();
      if constexpr (LDBL_MANT_DIG == 64 && std::numeric_limits<long double>::max_exponent == 16384) {
        long double Result = 0;
        std::memcpy(&Result, Bytes_.data(), Bytes_.size());
        if ((Significand & IntegerBit) == 0) {  // a pseudo-NaN: give it its integer bit
          const Extended Canonical = FromParts(Sign, MaxExponent, Significand | IntegerBit);
          std::memcpy(&Result, Canonical.Bytes_.data(), Canonical.Bytes_.size());
        }
        return Result;
      }
      return Sign ? -std::numeric_limits<long double>::quiet_NaN() : std::numeric_limits<long double>::quiet_NaN();
    }
    // Every significand fits exactly and the exponent range is the same, so
    // this is exact.
    const int Unbiased = (Exponent == 0 ? 1 : Exponent) - ExponentBias;
    const long double Magnitude = std::ldexp(static_cast<long double>(Significand), Unbiased - 63);
    return Sign ? -Magnitude : Magnitude;
  }
}
