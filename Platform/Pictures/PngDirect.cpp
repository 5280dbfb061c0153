#include "Platform/Pictures/PngDirect.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <libdeflate.h>

#include "Platform/Pictures/DecoderSupport.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

namespace {

std::uint32_t BigEndian32(const std::uint8_t* P) {
  return std::uint32_t{P[0]} << 24 | std::uint32_t{P[1]} << 16 | std::uint32_t{P[2]} << 8 | P[3];
}

bool IsType(const std::uint8_t* Chunk, const char* Name) { return std::memcmp(Chunk + 4, Name, 4) == 0; }

struct Header {
  std::uint32_t Width = 0, Height = 0;
  int Channels = 0;
};

// A chunk's checksum covers its type and data.
bool ChecksumHolds(const std::uint8_t* Chunk, std::uint32_t Length) {
  return libdeflate_crc32(0, Chunk + 4, std::size_t{Length} + 4) == BigEndian32(Chunk + 8 + Length);
}

// The header, when the file is one this path decodes.
bool ReadHeader(std::span<const std::uint8_t> Data, Header& H) {
  if (Data.size() < 8 + 25) return false;
  const std::uint8_t* Chunk = Data.data() + 8;
  if (BigEndian32(Chunk) != 13 || !IsType(Chunk, "IHDR") || !ChecksumHolds(Chunk, 13)) return false;
  const std::uint8_t* Fields = Chunk + 8;
  H.Width = BigEndian32(Fields);
  H.Height = BigEndian32(Fields + 4);
  const std::uint8_t Depth = Fields[8], ColorType = Fields[9];
  const bool Standard = Fields[10] == 0 && Fields[11] == 0 && Fields[12] == 0;  // deflate, adaptive, not interlaced
  if (H.Width == 0 || H.Height == 0 || H.Width > MaxPictureSide || H.Height > MaxPictureSide || Depth != 8 ||
      !Standard)
    return false;
  switch (ColorType) {
    case 0: H.Channels = 1; break;
    case 4: H.Channels = 2; break;
    case 2: H.Channels = 3; break;
    case 6: H.Channels = 4; break;
    default: return false;  // palettes go to libpng
  }
  return true;
}

using Piece = std::span<const std::uint8_t>;

// The image data: the run of IDAT chunks. False on anything libpng would
// treat as an error or a colour key it would apply.
bool FindImageData(std::span<const std::uint8_t> Data, int Channels, std::vector<Piece>& Pieces) {
  std::size_t Pos = 8 + 25;
  bool InImageData = false;
  while (Data.size() - Pos >= 12) {
    const std::uint8_t* Chunk = Data.data() + Pos;
    const std::uint32_t Length = BigEndian32(Chunk);
    if (Length > Data.size() - Pos - 12) return false;
    if (IsType(Chunk, "IDAT")) {
      if (!ChecksumHolds(Chunk, Length)) return false;
      Pieces.emplace_back(Chunk + 8, Length);
      InImageData = true;
    } else if (InImageData) {
      return true;  // what follows the image data does not change the picture
    } else if (IsType(Chunk, "tRNS") || IsType(Chunk, "IHDR") || IsType(Chunk, "IEND")) {
      return false;
    } else if (IsType(Chunk, "PLTE")) {
      if (Channels < 3) return false;  // a palette for grey
    } else if ((Chunk[4] & 0x20) == 0) {
      return false;  // an unknown critical chunk
    }
    Pos += 12 + std::size_t{Length};
  }
  return InImageData;  // without IEND: the rows are all there is
}

int Paeth(int A, int B, int C) {
  const int P = B - C, Q = A - C;
  const int Pa = P < 0 ? -P : P, Pb = Q < 0 ? -Q : Q, Pc = P + Q < 0 ? -(P + Q) : P + Q;
  if (Pa <= Pb && Pa <= Pc) return A;
  return Pb <= Pc ? B : C;
}

#if defined(__SSE2__)
// Paeth for one pixel of Bpp (3 or 4) bytes at a time, in 16-bit lanes: the
// rows of photographs are mostly stored this way, and byte by byte the left
// neighbour's dependency makes it the slowest filter.
void PaethPixels(std::uint8_t* Row, const std::uint8_t* Prior, std::size_t Bytes, int Bpp) {
  const __m128i Zero = _mm_setzero_si128();
  auto Load = [Bpp](const std::uint8_t* P) {
    std::uint32_t V = 0;
    std::memcpy(&V, P, static_cast<std::size_t>(Bpp));
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(V)), _mm_setzero_si128());
  };
  auto Abs = [Zero](__m128i V) { return _mm_max_epi16(V, _mm_sub_epi16(Zero, V)); };
  __m128i A = Zero, C = Zero;
  for (std::size_t I = 0; I + static_cast<std::size_t>(Bpp) <= Bytes; I += static_cast<std::size_t>(Bpp)) {
    const __m128i B = Load(Prior + I);
    const __m128i X = Load(Row + I);
    const __m128i P = _mm_sub_epi16(B, C), Q = _mm_sub_epi16(A, C);
    const __m128i Pa = Abs(P), Pb = Abs(Q), Pc = Abs(_mm_add_epi16(P, Q));
    const __m128i Smallest = _mm_min_epi16(Pc, _mm_min_epi16(Pa, Pb));
    const __m128i UseA = _mm_cmpeq_epi16(Pa, Smallest);
    const __m128i UseB = _mm_andnot_si128(UseA, _mm_cmpeq_epi16(Pb, Smallest));
    const __m128i UseC = _mm_andnot_si128(_mm_or_si128(UseA, UseB), _mm_set1_epi16(-1));
    const __m128i Predictor =
        _mm_or_si128(_mm_or_si128(_mm_and_si128(UseA, A), _mm_and_si128(UseB, B)), _mm_and_si128(UseC, C));
    A = _mm_and_si128(_mm_add_epi16(X, Predictor), _mm_set1_epi16(0xFF));
    C = B;
    const auto Out = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(A, Zero)));
    std::memcpy(Row + I, &Out, static_cast<std::size_t>(Bpp));
  }
}
#endif

// Undoes a row's filter in place, Prior being the unfiltered row above (all
// zero above the first row).
bool Unfilter(std::uint8_t Filter, std::uint8_t* Row, const std::uint8_t* Prior, std::size_t Bytes, int Bpp) {
  const auto Left = static_cast<std::size_t>(Bpp);
  switch (Filter) {
    case 0: return true;
    case 1:
      for (std::size_t I = Left; I < Bytes; ++I) Row[I] = static_cast<std::uint8_t>(Row[I] + Row[I - Left]);
      return true;
    case 2:
      for (std::size_t I = 0; I < Bytes; ++I) Row[I] = static_cast<std::uint8_t>(Row[I] + Prior[I]);
      return true;
    case 3:
      for (std::size_t I = 0; I < Left; ++I) Row[I] = static_cast<std::uint8_t>(Row[I] + (Prior[I] >> 1));
      for (std::size_t I = Left; I < Bytes; ++I)
        Row[I] = static_cast<std::uint8_t>(Row[I] + ((Row[I - Left] + Prior[I]) >> 1));
      return true;
    case 4:
#if defined(__SSE2__)
      if (Bpp >= 3) {
        PaethPixels(Row, Prior, Bytes, Bpp);
        return true;
      }
#endif
      for (std::size_t I = 0; I < Left; ++I) Row[I] = static_cast<std::uint8_t>(Row[I] + Prior[I]);
      for (std::size_t I = Left; I < Bytes; ++I)
        Row[I] = static_cast<std::uint8_t>(Row[I] + Paeth(Row[I - Left], Prior[I], Prior[I - Left]));
      return true;
    default: return false;
  }
}

// One unfiltered row to 0xAARRGGBB pixels.
void Widen(const std::uint8_t* In, std::uint32_t* Out, std::uint32_t Width, int Channels) {
  switch (Channels) {
    case 1:
      for (std::uint32_t X = 0; X < Width; ++X) Out[X] = 0xFF000000u | In[X] * 0x010101u;
      break;
    case 2:
      for (std::uint32_t X = 0; X < Width; ++X)
        Out[X] = std::uint32_t{In[2 * X + 1]} << 24 | In[2 * X] * 0x010101u;
      break;
    case 3:
      for (std::uint32_t X = 0; X < Width; ++X, In += 3)
        Out[X] = 0xFF000000u | std::uint32_t{In[0]} << 16 | std::uint32_t{In[1]} << 8 | In[2];
      break;
    default:
      for (std::uint32_t X = 0; X < Width; ++X, In += 4)
        Out[X] = std::uint32_t{In[3]} << 24 | std::uint32_t{In[0]} << 16 | std::uint32_t{In[1]} << 8 | In[2];
      break;
  }
}

struct DecompressorDeleter {
  void operator()(libdeflate_decompressor* D) const { libdeflate_free_decompressor(D); }
};

}  // namespace

bool DecodePngDirect(std::span<const std::uint8_t> Data, RasterImage& Out) {
  Header H;
  if (!ReadHeader(Data, H)) return false;
  CheckRasterSize(H.Width, H.Height);  // before looking further at a picture too large
  std::vector<Piece> Pieces;
  if (!FindImageData(Data, H.Channels, Pieces)) return false;
  std::size_t CompressedSize = 0;
  for (const Piece& P : Pieces) CompressedSize += P.size();

  const std::size_t RowBytes = std::size_t{H.Width} * static_cast<std::size_t>(H.Channels);
  const std::size_t Inflated = std::size_t{H.Height} * (RowBytes + 1);
  // Deflate shrinks at most about 1032 : 1; less data cannot fill the rows.
  if (Inflated / 1032 > CompressedSize + 64) return false;

  // All of it happens in the picture's own pixel memory: the image data is
  // joined at its start and inflated to its end. Widened, row y then ends no
  // later than where the inflated row y + 1 begins, so every inflated row is
  // still intact when it is read. Where the two do not fit side by side
  // (pixels of four bytes, or data that compresses poorly) a few spare
  // pixels at the end make room.
  const std::size_t PixelCount = std::size_t{H.Width} * H.Height;
  const std::size_t Needed = Inflated + CompressedSize;
  const std::size_t Spare = Needed > PixelCount * 4 ? (Needed - PixelCount * 4 + 3) / 4 : 0;
  Out = MakeRaster(H.Width, H.Height, Spare);
  auto* const Memory = reinterpret_cast<std::uint8_t*>(Out.Pixels.data());
  std::uint8_t* const Stored = Memory + (PixelCount + Spare) * 4 - Inflated;
  std::uint8_t* Joined = Memory;
  for (const Piece& P : Pieces) Joined = std::copy(P.begin(), P.end(), Joined);

  std::unique_ptr<libdeflate_decompressor, DecompressorDeleter> Decompressor(libdeflate_alloc_decompressor());
  if (!Decompressor) throw std::bad_alloc();
  // Success only when the data fills the rows exactly and its checksum holds.
  if (libdeflate_zlib_decompress(Decompressor.get(), Memory, CompressedSize, Stored, Inflated, nullptr) !=
      LIBDEFLATE_SUCCESS)
    return false;

  std::vector<std::uint8_t> Rows(2 * RowBytes, 0);
  std::uint8_t* Prior = Rows.data();
  std::uint8_t* Current = Rows.data() + RowBytes;
  for (std::uint32_t Y = 0; Y < H.Height; ++Y) {
    const std::uint8_t* In = Stored + std::size_t{Y} * (RowBytes + 1);
    std::memcpy(Current, In + 1, RowBytes);
    if (!Unfilter(In[0], Current, Prior, RowBytes, H.Channels)) return false;
    Widen(Current, Out.Pixels.data() + std::size_t{Y} * H.Width, H.Width, H.Channels);
    std::swap(Prior, Current);
  }
  Out.Pixels.resize(PixelCount);
  // Many spare pixels would stay with the picture for its life.
  if (Spare > PixelCount / 8) Out.Pixels.shrink_to_fit();
  return true;
}

}  // namespace platform
