#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "CKS/CKSStream.h"
#include "CKS/Extended.h"
#include "TestBytes.h"

namespace {

constexpr std::uint64_t Int = 0x8000000000000000ull;

Extended Parts(bool Negative, std::uint16_t Exponent, std::uint64_t Significand) {
  return Extended::FromParts(Negative, Exponent, Significand);
}

// Encodings of every class, with the double each one stands for.
struct Case {
  const char* Name;
  Extended Value;
  double AsDouble;
};

const double Inf = std::numeric_limits<double>::infinity();

std::vector<Case> Cases() {
  return {
      {"one", Parts(false, 16383, Int), 1.0},
      {"minus two", Parts(true, 16384, Int), -2.0},
      {"pi", Parts(false, 16384, 0xC90FDAA22168C235ull), 3.14159265358979323846},
      {"zero", Parts(false, 0, 0), 0.0},
      {"minus zero", Parts(true, 0, 0), -0.0},
      {"infinity", Parts(false, 32767, Int), Inf},
      {"minus infinity", Parts(true, 32767, Int), -Inf},
      {"smallest double denormal", Parts(false, 16383 - 1074, Int), std::ldexp(1.0, -1074)},
      {"extended denormal", Parts(false, 0, 1), 0.0},
      {"largest extended", Parts(false, 32766, ~0ull), Inf},
      {"unnormal 1.5", Parts(false, 16384, 0x6000000000000000ull), 1.5},
      {"pseudo-denormal", Parts(false, 0, Int), 0.0},
      {"unnormal zero", Parts(true, 1234, 0), -0.0},
  };
}

TEST(Extended, StoredBytesSurviveAReadAndAWrite) {
  std::vector<Extended> Values;
  for (const Case& C : Cases()) Values.push_back(C.Value);
  Values.push_back(Parts(false, 32767, 0xC000000000000001ull));  // quiet NaN with payload
  Values.push_back(Parts(true, 32767, 0x8000000000000001ull));   // signalling NaN
  Values.push_back(Parts(false, 32767, 0x4000000000000000ull));  // pseudo-NaN
  Values.push_back(Parts(false, 32767, 0));                      // pseudo-infinity
  std::mt19937_64 Random(7);
  for (int I = 0; I < 200; ++I) {
    std::array<std::uint8_t, 10> B{};
    for (auto& Byte : B) Byte = static_cast<std::uint8_t>(Random());
    Values.emplace_back(B);
  }
  TMemoryStream Memory;
  TCKSStream Writer(&Memory, cksModeHeaderless);
  for (const Extended& V : Values) Writer.WriteExtended(V);
  const Bytes First = Memory.Bytes();
  TMemoryStream Again;
  {
    TMemoryStream Source(First);
    TCKSStream Reader(&Source, cksModeHeaderless);
    TCKSStream Rewriter(&Again, cksModeHeaderless);
    for (const Extended& V : Values) {
      const Extended Read = Reader.ReadExtended();
      EXPECT_EQ(Read, V);
      Rewriter.WriteExtended(Read);
    }
  }
  EXPECT_EQ(Again.Bytes(), First);
}

TEST(Extended, ConvertsToDoubleAndLongDouble) {
  for (const Case& C : Cases()) {
    const double D = C.Value.ToDouble();
    EXPECT_EQ(std::bit_cast<std::uint64_t>(D), std::bit_cast<std::uint64_t>(C.AsDouble)) << C.Name;
    const long double L = C.Value.ToLongDouble();
    EXPECT_EQ(std::signbit(L), std::signbit(C.AsDouble)) << C.Name;
    if (C.AsDouble != 0 && !std::isinf(C.AsDouble)) {
      EXPECT_EQ(static_cast<double>(L), C.AsDouble) << C.Name;
    }
  }
  EXPECT_TRUE(std::isnan(Parts(false, 32767, 0xC000000000000000ull).ToDouble()));
  EXPECT_TRUE(std::isnan(Parts(false, 32767, 0x4000000000000000ull).ToDouble()));
  EXPECT_TRUE(std::isnan(Parts(true, 32767, 0x8000000000000001ull).ToLongDouble()));
  EXPECT_TRUE(std::isinf(Parts(false, 32767, 0).ToDouble())) << "pseudo-infinity";
  if constexpr (LDBL_MANT_DIG >= 64) {
    EXPECT_EQ(Parts(false, 0, 1).ToLongDouble(), std::ldexp(1.0L, -16445));
    EXPECT_EQ(Parts(false, 32766, ~0ull).ToLongDouble(), std::numeric_limits<long double>::max());
  }
}

TEST(Extended, RoundsToNearestEvenDouble) {
  const std::uint64_t Half = 1ull << 10;  // half a double ulp of 1.x
  EXPECT_EQ(Parts(false, 16383, Int | Half).ToDouble(), 1.0) << "tie goes to even";
  EXPECT_EQ(Parts(false, 16383, Int | Half | 1).ToDouble(), 1.0 + std::ldexp(1.0, -52));
  EXPECT_EQ(Parts(false, 16383, Int | (3 * Half)).ToDouble(), 1.0 + 2 * std::ldexp(1.0, -52)) << "tie up to even";
  EXPECT_EQ(Parts(false, 16383, ~0ull).ToDouble(), 2.0) << "carry into the exponent";
  // Halfway below the smallest denormal rounds to 0, just above it to the denormal.
  EXPECT_EQ(Parts(false, 16383 - 1075, Int).ToDouble(), 0.0);
  EXPECT_EQ(Parts(false, 16383 - 1075, Int | 1).ToDouble(), std::ldexp(1.0, -1074));
  EXPECT_EQ(Parts(false, 16383 + 1023, ~0ull).ToDouble(), Inf) << "overflow rounds to infinity";
}

TEST(Extended, EveryDoubleConvertsExactlyBothWays) {
  std::vector<double> Values = {0.0, -0.0, 1.0, -1.5, DBL_MIN, DBL_MAX, DBL_TRUE_MIN, -DBL_TRUE_MIN * 3,
                                Inf, -Inf, 0.1, 1e300, 1e-310};
  std::mt19937_64 Random(11);
  for (int I = 0; I < 2000; ++I) Values.push_back(std::bit_cast<double>(Random()));
  for (double D : Values) {
    const Extended E = Extended::FromDouble(D);
    const double Back = E.ToDouble();
    if (std::isnan(D)) {
      EXPECT_TRUE(std::isnan(Back));
      EXPECT_EQ(std::bit_cast<std::uint64_t>(Back), std::bit_cast<std::uint64_t>(D)) << "payload kept";
    } else {
      EXPECT_EQ(std::bit_cast<std::uint64_t>(Back), std::bit_cast<std::uint64_t>(D)) << D;
      EXPECT_EQ(Extended::FromLongDouble(static_cast<long double>(D)), E) << D;
    }
  }
  EXPECT_EQ(Extended::FromDouble(1.0).Bytes(), (std::array<std::uint8_t, 10>{0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}));
}

TEST(Extended, LongDoubleMatchesTheHardwareFormatWhereItIsTheSame) {
  if constexpr (LDBL_MANT_DIG != 64) {
    GTEST_SKIP() << "long double is not the 80-bit format here";
  } else {
    std::mt19937_64 Random(13);
    for (int I = 0; I < 2000; ++I) {
      // Canonical encodings only: normal (integer bit set), denormal or zero.
      std::uint16_t Exponent = static_cast<std::uint16_t>(Random() % 32767);
      std::uint64_t Significand = Random();
      if (Exponent == 0) Significand &= ~Int; else Significand |= Int;
      const Extended E = Parts((Random() & 1) != 0, Exponent, Significand);
      long double Hardware = 0;
      std::memcpy(&Hardware, E.Bytes().data(), 10);
      EXPECT_EQ(E.ToLongDouble(), Hardware);
      EXPECT_EQ(Extended::FromLongDouble(Hardware), E);
      EXPECT_EQ(std::bit_cast<std::uint64_t>(E.ToDouble()),
                std::bit_cast<std::uint64_t>(static_cast<double>(Hardware)));
    }
  }
}

}  // namespace
