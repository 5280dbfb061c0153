#pragma once
// Presentations assembled byte by byte, independently of the writer under
// test: little-endian values, object records, slide chunks and the container
// header, as the file format lays them out.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace testbytes {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& To, const Bytes& What) { To.insert(To.end(), What.begin(), What.end()); }

inline Bytes Cat(std::initializer_list<Bytes> Parts) {
  Bytes R;
  for (const Bytes& P : Parts) Append(R, P);
  return R;
}

inline Bytes U8(std::uint8_t V) { return {V}; }
inline Bytes I32(std::int32_t V) {
  const auto U = static_cast<std::uint32_t>(V);
  return {static_cast<std::uint8_t>(U), static_cast<std::uint8_t>(U >> 8), static_cast<std::uint8_t>(U >> 16),
          static_cast<std::uint8_t>(U >> 24)};
}
inline Bytes U32(std::uint32_t V) { return I32(static_cast<std::int32_t>(V)); }
inline Bytes I64(std::int64_t V) {
  Bytes R;
  for (int I = 0; I < 8; ++I) R.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(V) >> (8 * I)));
  return R;
}
inline Bytes F64(double V) {
  std::uint64_t U;
  std::memcpy(&U, &V, 8);
  return I64(static_cast<std::int64_t>(U));
}
inline Bytes Raw(const std::string& S) { return Bytes(S.begin(), S.end()); }
// An AnsiString: count, then the bytes.
inline Bytes Str(const std::string& S) { return Cat({I32(static_cast<std::int32_t>(S.size())), Raw(S)}); }

// The timing part every object starts with.
inline Bytes Timing(std::uint8_t Mode, std::uint32_t Duration) { return Cat({U8(Mode), U32(Duration)}); }
inline Bytes Placement(double L, double T, double R, double B) { return Cat({F64(L), F64(T), F64(R), F64(B)}); }
// A stored font block: s, s, colour, name length, name, size, style.
inline Bytes Font(const std::string& Name, std::int32_t Size, std::uint32_t Color, std::uint8_t Style) {
  const auto S = static_cast<std::int32_t>(17 + Name.size());
  return Cat({I32(S), I32(S), U32(Color), I32(static_cast<std::int32_t>(Name.size())), Raw(Name), I32(Size), U8(Style)});
}
inline Bytes NoFont() { return I32(-1); }

// An object record: class name, size (4 + payload), payload.
inline Bytes Record(const std::string& ClassName, const Bytes& Payload) {
  return Cat({Str(ClassName), I32(static_cast<std::int32_t>(4 + Payload.size())), Payload});
}

// A main chunk: CHNK, type, size (12 + payload), payload.
inline Bytes Chunk(std::int32_t Type, const Bytes& Payload) {
  return Cat({Raw("CHNK"), I32(Type), I32(static_cast<std::int32_t>(12 + Payload.size())), Payload});
}

// A slide chunk with Count and the records.
inline Bytes SlideChunk(std::initializer_list<Bytes> Records) {
  Bytes Payload = I32(static_cast<std::int32_t>(Records.size()));
  for (const Bytes& R : Records) Append(Payload, R);
  return Chunk(1, Payload);
}

// The 32-byte header followed by the chunks; ChunkCount -1 counts them.
inline Bytes Container(const std::vector<Bytes>& Chunks, std::int32_t FileType = 1793, std::int32_t ChunkCount = -1,
                       std::int32_t UserValue = 0) {
  Bytes Body;
  for (const Bytes& C : Chunks) Append(Body, C);
  const auto Size = static_cast<std::int64_t>(32 + Body.size());
  const std::int32_t Count = ChunkCount < 0 ? static_cast<std::int32_t>(Chunks.size()) : ChunkCount;
  return Cat({Raw("PRSM"), I32(static_cast<std::int32_t>(Size)), I32(65538), I32(FileType), I32(Count), I32(UserValue),
              I64(Size), Body});
}

// Payloads of the registered classes.
inline Bytes ColorRectPayload(std::uint8_t Mode, std::uint32_t Duration, double L, double T, double R, double B,
                              std::uint32_t Color) {
  return Cat({Timing(Mode, Duration), Placement(L, T, R, B), U32(Color)});
}
inline Bytes PicturePayload(std::uint8_t Mode, std::uint32_t Duration, const std::string& FileName,
                            const std::string& Transition, bool Fill, std::uint32_t FillColor) {
  return Cat({Timing(Mode, Duration), Placement(0, 0, 1, 1), Str(FileName), Str(Transition), U8(Fill ? 1 : 0),
              U32(FillColor)});
}
inline Bytes TextPayload(std::uint8_t Mode, std::uint32_t Duration, const std::string& Text, const Bytes& FontValue,
                         std::uint8_t Alignment, std::uint32_t EffectColor, std::uint32_t EffectColor2,
                         std::uint8_t EffectStyle, const std::string& Animation) {
  return Cat({Timing(Mode, Duration), Placement(0, 0, 1, 1), Str(Text), FontValue, U8(Alignment), U32(EffectColor),
              U32(EffectColor2), U8(EffectStyle), Str(Animation)});
}
inline Bytes SoundPayload(std::uint8_t Mode, std::uint32_t Duration, const std::string& FileName) {
  return Cat({Timing(Mode, Duration), Str(FileName)});
}
inline Bytes VideoPayload(std::uint8_t Mode, std::uint32_t Duration, const std::string& FileName) {
  return Cat({Timing(Mode, Duration), Placement(0, 0, 1, 1), Str(FileName)});
}

}  // namespace testbytes
