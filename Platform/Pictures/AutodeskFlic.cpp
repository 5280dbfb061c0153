// First frame of an animation: a 128-byte header, optional prefix chunks,
// then frame chunks (magic 0xF1FA) whose sub-chunks set the palette and fill
// the 8-bit frame buffer (black, run-length, literal or delta-coded).
#include "Platform/Pictures/AutodeskFlic.h"

#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/MetafileBytes.h"

#include <algorithm>
#include <array>
#include <vector>

namespace platform {

namespace {

using metafile::ByteReader;

class Frame {
public:
  Frame(int Width, int Height) : Width_(Width), Height_(Height), Pixels_(static_cast<std::size_t>(Width) * Height) {}
  void Set(int X, int Y, std::uint8_t V) {
    if (X >= 0 && X < Width_ && Y >= 0 && Y < Height_) Pixels_[static_cast<std::size_t>(Y) * Width_ + X] = V;
  }
  int Width() const { return Width_; }
  int Height() const { return Height_; }
  std::vector<std::uint8_t>& Pixels() { return Pixels_; }

private:
  int Width_, Height_;
  std::vector<std::uint8_t> Pixels_;
};

void Palette(const ByteReader& C, bool SixBit, std::array<std::uint32_t, 256>& Colors) {
  std::uint16_t Packets = C.U16(6);
  std::size_t At = 8;
  unsigned Index = 0;
  for (std::uint16_t P = 0; P < Packets; ++P) {
    Index += C.U8(At);
    unsigned Count = C.U8(At + 1);
    if (Count == 0) Count = 256;
    At += 2;
    for (unsigned I = 0; I < Count; ++I, At += 3, ++Index) {
      auto Channel = [&](int K) {
        std::uint32_t V = C.U8(At + K);
        return SixBit ? (V & 0x3F) * 255 / 63 : V;
      };
      if (Index < 256) Colors[Index] = 0xFF000000u | (Channel(0) << 16) | (Channel(1) << 8) | Channel(2);
    }
  }
}

void ByteRun(const ByteReader& C, Frame& F) {
  std::size_t At = 6;
  for (int Y = 0; Y < F.Height(); ++Y) {
    ++At;  // packet count of older writers; the width decides
    int X = 0;
    while (X < F.Width()) {
      auto Count = static_cast<std::int8_t>(C.U8(At++));
      if (Count >= 0) {
        std::uint8_t V = C.U8(At++);
        for (int I = 0; I < Count; ++I) F.Set(X++, Y, V);
        if (Count == 0) break;
      } else {
        for (int I = 0; I < -Count; ++I) F.Set(X++, Y, C.U8(At++));
      }
    }
  }
}

void DeltaFlc(const ByteReader& C, Frame& F) {
  std::uint16_t Lines = C.U16(6);
  std::size_t At = 8;
  int Y = 0;
  for (std::uint16_t L = 0; L < Lines && Y < F.Height(); ++L) {
    std::int16_t Word = C.I16(At);
    At += 2;
    int Guard = 0;
    while ((Word & 0xC000) != 0) {
      if ((Word & 0xC000) == 0xC000) {
        Y -= Word;  // negative: lines to skip
      } else {
        F.Set(F.Width() - 1, Y, static_cast<std::uint8_t>(Word & 0xFF));
      }
      Word = C.I16(At);
      At += 2;
      if (++Guard > 4 || Y >= F.Height()) return;
    }
    int X = 0;
    for (int P = 0; P < Word; ++P) {
      X += C.U8(At);
      auto Count = static_cast<std::int8_t>(C.U8(At + 1));
      At += 2;
      if (Count >= 0) {
        for (int I = 0; I < Count; ++I, At += 2) {
          F.Set(X++, Y, C.U8(At));
          F.Set(X++, Y, C.U8(At + 1));
        }
      } else {
        std::uint8_t A = C.U8(At), B = C.U8(At + 1);
        At += 2;
        for (int I = 0; I < -Count; ++I) {
          F.Set(X++, Y, A);
          F.Set(X++, Y, B);
        }
      }
    }
    ++Y;
  }
}

void DeltaFli(const ByteReader& C, Frame& F) {
  int Y = C.U16(6);
  std::uint16_t Lines = C.U16(8);
  std::size_t At = 10;
  for (std::uint16_t L = 0; L < Lines && Y < F.Height(); ++L, ++Y) {
    std::uint8_t Packets = C.U8(At++);
    int X = 0;
    for (int P = 0; P < Packets; ++P) {
      X += C.U8(At);
      auto Count = static_cast<std::int8_t>(C.U8(At + 1));
      At += 2;
      if (Count >= 0) {
        for (int I = 0; I < Count; ++I) F.Set(X++, Y, C.U8(At++));
      } else {
        std::uint8_t V = C.U8(At++);
        for (int I = 0; I < -Count; ++I) F.Set(X++, Y, V);
      }
    }
  }
}

}  // namespace

std::unique_ptr<Picture> DecodeFlicFirstFrame(std::span<const std::uint8_t> Bytes) {
  try {
    ByteReader R(Bytes);
    std::uint16_t Magic = R.U16(4), Width = R.U16(8), Height = R.U16(10), Depth = R.U16(12);
    if ((Magic != 0xAF11 && Magic != 0xAF12) || (Depth != 8 && Depth != 0)) throw PictureError("Keine Animation");
    if (R.U16(6) == 0) throw PictureError("Animation ohne Bilder");
    CheckRasterSize(Width, Height);
    // Run-length frames cover at most a few hundred pixels per byte; a frame
    // far larger than its file could describe is refused before allocating.
    if (std::uint64_t{Width} * Height > std::max<std::uint64_t>(std::uint64_t{Bytes.size()} * 256, 1u << 20))
      throw PictureError("Animation beschädigt");
    Frame F(Width, Height);
    std::array<std::uint32_t, 256> Colors{};
    for (auto& C : Colors) C = 0xFF000000u;
    std::size_t At = Magic == 0xAF12 && R.U32(80) >= 128 ? R.U32(80) : 128;
    // Prefix chunks come first; the first frame chunk follows.
    while (R.Has(At, 6) && R.U16(At + 4) != 0xF1FA) {
      std::uint32_t Size = R.U32(At);
      if (Size < 6) throw PictureError("Animation beschädigt");
      At += Size;
    }
    ByteReader Chunk(R.Sub(At, R.U32(At)));
    std::uint16_t Subchunks = Chunk.U16(6);
    std::size_t Sub = 16;
    for (std::uint16_t I = 0; I < Subchunks && Chunk.Has(Sub, 6); ++I) {
      std::uint32_t Size = Chunk.U32(Sub);
      if (Size < 6 || !Chunk.Has(Sub, Size)) break;
      ByteReader C(Chunk.Sub(Sub, Size));
      switch (C.U16(4)) {
        case 4: Palette(C, false, Colors); break;
        case 11: Palette(C, true, Colors); break;
        case 13: std::fill(F.Pixels().begin(), F.Pixels().end(), 0); break;
        case 15: ByteRun(C, F); break;
        case 16: {
          auto Raw = C.Sub(6, F.Pixels().size());
          std::copy(Raw.begin(), Raw.end(), F.Pixels().begin());
          break;
        }
        case 7: DeltaFlc(C, F); break;
        case 12: DeltaFli(C, F); break;
        default: break;  // postage stamps and unknown chunks
      }
      Sub += Size;
    }
    RasterImage Image = MakeRaster(Width, Height);
    for (std::size_t I = 0; I < Image.Pixels.size(); ++I) Image.Pixels[I] = Colors[F.Pixels()[I]];
    return MakeRasterPicture(std::move(Image));
  } catch (const metafile::ShortData&) {
    throw PictureError("Animation unvollständig");
  }
}

}  // namespace platform
