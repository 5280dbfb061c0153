#pragma once
// Little-endian encoding of the fixed-size values, independent of the host's
// byte order.
#include <bit>
#include <cstdint>
#include <type_traits>

namespace cks_detail {

template <std::size_t N> struct UnsignedOfSize;
template <> struct UnsignedOfSize<1> { using Type = std::uint8_t; };
template <> struct UnsignedOfSize<2> { using Type = std::uint16_t; };
template <> struct UnsignedOfSize<4> { using Type = std::uint32_t; };
template <> struct UnsignedOfSize<8> { using Type = std::uint64_t; };

template <typename T>
inline void PutLE(std::uint8_t* Out, T Value) {
  using U = typename UnsignedOfSize<sizeof(T)>::Type;
  const auto Bits = static_cast<std::uint64_t>(std::bit_cast<U>(Value));
  for (std::size_t I = 0; I < sizeof(T); ++I) Out[I] = static_cast<std::uint8_t>(Bits >> (8 * I));
}

template <typename T>
inline T GetLE(const std::uint8_t* In) {
  using U = typename UnsignedOfSize<sizeof(T)>::Type;
  std::uint64_t Bits = 0;
  for (std::size_t I = 0; I < sizeof(T); ++I) Bits |= std::uint64_t{In[I]} << (8 * I);
  return std::bit_cast<T>(static_cast<U>(Bits));
}

}  // namespace cks_detail
