#pragma once
// Records and constants of the CKS container: the 32-byte file header, the
// 12-byte chunk header, the open modes and the error codes.
#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>

// Open modes, passed when the base stream is attached.
inline constexpr std::uint8_t cksModeInactive = 0;    // positioning does nothing
inline constexpr std::uint8_t cksModeCreate = 1;      // writes a new header, rewrites it at the end
inline constexpr std::uint8_t cksModeRead = 2;        // reads and checks the header
inline constexpr std::uint8_t cksModeReadAppend = 3;  // as read; the header is rewritten at the end
inline constexpr std::uint8_t cksModeHeaderless = 4;  // no header at all
inline constexpr std::uint8_t cksModeHeaderless5 = 5; // the same as 4

// Error codes (GetErrorText gives their messages).
inline constexpr std::int32_t cksErrNone = 0;
inline constexpr std::int32_t cksErrUnknown = -1;
inline constexpr std::int32_t cksErrCannotOpen = -2;
inline constexpr std::int32_t cksErrNotFound = -3;
inline constexpr std::int32_t cksErrNoCKSFile = -4;
inline constexpr std::int32_t cksErrWrongChunkHeader = -5;
inline constexpr std::int32_t cksErrWrongFileFormat = -6;
inline constexpr std::int32_t cksErrCannotCreate = -7;
inline constexpr std::int32_t cksErrRead = -8;
inline constexpr std::int32_t cksErrWrite = -9;

inline constexpr std::int32_t cksCurrentVersion = 65538;  // 0x00010002: the 64-bit size is valid
inline constexpr std::int32_t cksHeaderSize = 32;
inline constexpr std::int32_t cksChunkHeaderSize = 12;

using TCKSMagic = std::array<char, 4>;
inline constexpr TCKSMagic cksFileMagic{'P', 'R', 'S', 'M'};
inline constexpr TCKSMagic cksChunkMagic{'C', 'H', 'N', 'K'};

// The file header, fields in stored order.
struct TCKSFileHeader {
  TCKSMagic Magic = cksFileMagic;
  std::int32_t FileSize32 = 0;
  std::int32_t Version = cksCurrentVersion;
  std::int32_t FileType = 0;
  std::int32_t ChunkCount = 0;
  std::int32_t UserValue = 0;
  std::int64_t FileSize = 0;

  std::array<std::uint8_t, cksHeaderSize> ToBytes() const;
  static TCKSFileHeader FromBytes(const std::array<std::uint8_t, cksHeaderSize>& Bytes);
  friend bool operator==(const TCKSFileHeader&, const TCKSFileHeader&) = default;
};

// The header of a main chunk. ChunkSize counts from the first byte of the
// header to the end of the chunk, the 12 header bytes included.
struct TCKSChunkHeader {
  TCKSMagic Magic{};
  std::int32_t ChunkType = 0;
  std::int32_t ChunkSize = 0;

  std::array<std::uint8_t, cksChunkHeaderSize> ToBytes() const;
  static TCKSChunkHeader FromBytes(const std::array<std::uint8_t, cksChunkHeaderSize>& Bytes);
  friend bool operator==(const TCKSChunkHeader&, const TCKSChunkHeader&) = default;
};

// An error of the container; carries only its message.
class ECKSError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The message of an error code; "Unbekannter Fehler!" for codes it does not know.
std::string CKSErrorText(std::int32_t Code);
