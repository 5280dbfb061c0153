#include "CKS/CKSTypes.h"

#include <cstring>

#include "CKS/LittleEndian.h"

using cks_detail::GetLE;
using cks_detail::PutLE;

std::array<std::uint8_t, cksHeaderSize> TCKSFileHeader::ToBytes() const {
  std::array<std::uint8_t, cksHeaderSize> B{};
  std::memcpy(B.data(), Magic.data(), 4);
  PutLE(B.data() + 4, FileSize32);
  PutLE(B.data() + 8, Version);
  PutLE(B.data() + 12, FileType);
  PutLE(B.data() + 16, ChunkCount);
  PutLE(B.data() + 20, UserValue);
  PutLE(B.data() + 24, FileSize);
  return B;
}

TCKSFileHeader TCKSFileHeader::FromBytes(const std::array<std::uint8_t, cksHeaderSize>& B) {
  TCKSFileHeader H;
  std::memcpy(H.Magic.data(), B.data(), 4);
  H.FileSize32 = GetLE<std::int32_t>(B.data() + 4);
  H.Version = GetLE<std::int32_t>(B.data() + 8);
  H.FileType = GetLE<std::int32_t>(B.data() + 12);
  H.ChunkCount = GetLE<std::int32_t>(B.data() + 16);
  H.UserValue = GetLE<std::int32_t>(B.data() + 20);
  H.FileSize = GetLE<std::int64_t>(B.data() + 24);
  return H;
}

std::array<std::uint8_t, cksChunkHeaderSize> TCKSChunkHeader::ToBytes() const {
  std::array<std::uint8_t, cksChunkHeaderSize> B{};
  std::memcpy(B.data(), Magic.data(), 4);
  PutLE(B.data() + 4, ChunkType);
  PutLE(B.data() + 8, ChunkSize);
  return B;
}

TCKSChunkHeader TCKSChunkHeader::FromBytes(const std::array<std::uint8_t, cksChunkHeaderSize>& B) {
  TCKSChunkHeader H;
  std::memcpy(H.Magic.data(), B.data(), 4);
  H.ChunkType = GetLE<std::int32_t>(B.data() + 4);
  H.ChunkSize = GetLE<std::int32_t>(B.data() + 8);
  return H;
}

std::string CKSErrorText(std::int32_t Code) {
  switch (Code) {
    case cksErrNone: return "kein Fehler";
    case cksErrCannotOpen: return "Datei kann nicht geöffnet werden!";
    case cksErrNotFound: return "Datei kann nicht gefunden werden!";
    case cksErrNoCKSFile: return "Keine CKS-Datei!";
    case cksErrWrongChunkHeader: return "Falscher Chunkheader!";
    case cksErrWrongFileFormat: return "Falsches Dateiformat!";
    case cksErrCannotCreate: return "Datei konnte nicht erstellt werden!";
    case cksErrRead: return "Fehler beim Lesen der Datei!";
    case cksErrWrite: return "Fehler beim Schreiben der Datei!";
    default: return "Unbekannter Fehler!";
  }
}
