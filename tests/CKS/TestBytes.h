#pragma once
// Small helpers for byte-exact container tests.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes Concat(std::initializer_list<Bytes> Parts) {
  Bytes Result;
  for (const Bytes& P : Parts) Result.insert(Result.end(), P.begin(), P.end());
  return Result;
}

inline Bytes Text(const std::string& S) { return Bytes(S.begin(), S.end()); }

inline Bytes LE32(std::int32_t V) {
  const auto U = static_cast<std::uint32_t>(V);
  return {static_cast<std::uint8_t>(U), static_cast<std::uint8_t>(U >> 8), static_cast<std::uint8_t>(U >> 16),
          static_cast<std::uint8_t>(U >> 24)};
}

inline Bytes LE64(std::int64_t V) {
  Bytes R;
  for (int I = 0; I < 8; ++I) R.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(V) >> (8 * I)));
  return R;
}

// A file header as a writer would store it.
inline Bytes HeaderBytes(std::int32_t Size32, std::int32_t Version, std::int32_t FileType, std::int32_t Count,
                         std::int32_t User, std::int64_t Size64) {
  return Concat({Text("PRSM"), LE32(Size32), LE32(Version), LE32(FileType), LE32(Count), LE32(User), LE64(Size64)});
}

inline Bytes ChunkBytes(std::int32_t Type, const Bytes& Payload) {
  return Concat({Text("CHNK"), LE32(Type), LE32(static_cast<std::int32_t>(12 + Payload.size())), Payload});
}
