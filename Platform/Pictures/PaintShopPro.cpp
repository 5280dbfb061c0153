// Paint Shop Pro images, frames and tubes (psp, pfr, tub): one file layout of
// tagged blocks ("~BK\0", a block id, lengths). The picture shown is the
// first layer (the bottom one, normally the background) placed on a
// transparent canvas; when no layer can be read, a full-size JPEG composite
// stands in. Channels are stored uncompressed, run-length coded or deflated.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/RareDecoders.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

namespace platform {

namespace {

using metafile::ByteReader;
using metafile::ShortData;

constexpr char Signature[] = "Paint Shop Pro Image File\n\x1a";

enum : std::uint16_t {
  ImageBlock = 0,
  PaletteBlock = 2,
  LayerBankBlock = 3,
  LayerBlock = 4,
  ChannelBlock = 5,
  CompositeBankBlock = 16,
  CompositeAttributesBlock = 17,
  JpegBlock = 18,
};

struct Block {
  std::uint16_t Id = 0;
  std::size_t Info = 0;     // start of the block's own data
  std::size_t InfoSize = 0;  // the leading chunk (version 3: its stated length)
  std::size_t End = 0;
};

struct Rect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct Attributes {
  std::int32_t Width = 0, Height = 0;
  std::uint16_t Compression = 0, BitDepth = 0;
  bool Grey = false;
};

class PspReader {
public:
  explicit PspReader(std::span<const std::uint8_t> Bytes) : R_(Bytes) {
    if (!R_.Has(0, 36) || std::memcmp(Bytes.data(), Signature, sizeof Signature - 1) != 0)
      throw PictureError("Keine Paint-Shop-Pro-Datei");
    Major_ = R_.U16(32);
    if (Major_ < 3) throw PictureError("Paint-Shop-Pro-Version nicht unterstützt");
  }

  std::unique_ptr<Picture> Decode() {
    std::optional<Attributes> Image;
    std::vector<std::uint32_t> Palette;
    std::optional<Block> FirstLayer, Jpeg;
    for (const Block& B : Blocks(36, R_.Size())) {
      switch (B.Id) {
        case ImageBlock: Image = ReadAttributes(B); break;
        case PaletteBlock: Palette = ReadPalette(B); break;
        case LayerBankBlock:
          for (const Block& L : Blocks(B.Info, B.End))
            if (L.Id == LayerBlock && !FirstLayer) FirstLayer = L;
          break;
        case CompositeBankBlock: FindJpeg(B, Image, Jpeg); break;
        default: break;
      }
    }
    if (!Image) throw PictureError("Paint-Shop-Pro-Datei ohne Bildangaben");
    CheckRasterSize(Image->Width, Image->Height);
    // Deflate packs at most about a thousand bytes into one; a canvas that
    // its file could not fill even so is refused before allocating it.
    if (static_cast<std::uint64_t>(Image->Width) * static_cast<std::uint64_t>(Image->Height) >
        std::max<std::uint64_t>(std::uint64_t{R_.Size()} * 1100, 1u << 20))
      throw PictureError("Paint-Shop-Pro-Datei beschädigt");
    if (FirstLayer) {
      try {
        return ReadLayer(*FirstLayer, *Image, Palette);
      } catch (const PictureError&) {
        if (!Jpeg) throw;
      } catch (const ShortData&) {
        if (!Jpeg) throw;
      }
    }
    if (Jpeg) {
      std::size_t At = Jpeg->Info + Jpeg->InfoSize;
      return DecodePicture("jpg", R_.Sub(At, Jpeg->End - At));
    }
    throw PictureError("Paint-Shop-Pro-Datei ohne lesbare Ebene");
  }

private:
  // The blocks between At and End, in order; stops at anything that is not
  // a block header (the leading chunk of a block is skipped by its size).
  std::vector<Block> Blocks(std::size_t At, std::size_t End) const {
    std::vector<Block> Out;
    while (At + 4 <= End) {
      if (R_.U32(At) != 0x004B427E) {  // "~BK\0"
        std::uint32_t Chunk = R_.U32(At);  // a size-prefixed chunk between blocks
        if (Chunk < 4 || Chunk > End - At) break;
        At += Chunk;
        continue;
      }
      Block B;
      B.Id = R_.U16(At + 4);
      std::size_t Header = Major_ == 3 ? 14 : 10;
      std::uint32_t Length = R_.U32(At + (Major_ == 3 ? 10 : 6));
      if (At + Header > End || Length > End - At - Header) throw PictureError("Paint-Shop-Pro-Block außerhalb der Datei");
      B.Info = At + Header;
      B.End = B.Info + Length;
      if (Major_ == 3) {
        B.InfoSize = R_.U32(At + 6);
      } else {
        B.InfoSize = R_.Has(B.Info, 4) ? R_.U32(B.Info) : 0;
        // Blocks that begin with a nested block have no leading chunk.
        if (R_.Has(B.Info, 4) && R_.U32(B.Info) == 0x004B427E) B.InfoSize = 0;
      }
      if (B.InfoSize > Length) B.InfoSize = 0;  // blocks of fields, not of a leading chunk
      Out.push_back(B);
      At = B.End;
    }
    return Out;
  }

  Attributes ReadAttributes(const Block& B) const {
    std::size_t At = B.Info + (Major_ == 3 ? 0 : 4);
    Attributes A;
    A.Width = R_.I32(At);
    A.Height = R_.I32(At + 4);
    A.Compression = R_.U16(At + 17);
    A.BitDepth = R_.U16(At + 19);
    A.Grey = R_.U8(At + 27) != 0;
    return A;
  }

  std::vector<std::uint32_t> ReadPalette(const Block& B) const {
    std::size_t At = B.Info + (Major_ == 3 ? 0 : 4);
    std::uint32_t Count = std::min<std::uint32_t>(R_.U32(At), 256);
    std::vector<std::uint32_t> Out;
    for (std::uint32_t I = 0; I < Count; ++I) {
      std::size_t E = At + 4 + I * 4;
      Out.push_back(0xFF000000u | (std::uint32_t{R_.U8(E + 2)} << 16) | (std::uint32_t{R_.U8(E + 1)} << 8) | R_.U8(E));
    }
    return Out;
  }

  void FindJpeg(const Block& Bank, const std::optional<Attributes>& Image, std::optional<Block>& Jpeg) const {
    std::int32_t Width = 0, Height = 0;
    for (const Block& B : Blocks(Bank.Info + Bank.InfoSize, Bank.End)) {
      if (B.Id == CompositeAttributesBlock) {
        std::size_t At = B.Info + (Major_ == 3 ? 0 : 4);
        Width = R_.I32(At);
        Height = R_.I32(At + 4);
      } else if (B.Id == JpegBlock && Image && Width == Image->Width && Height == Image->Height && !Jpeg) {
        Jpeg = B;
      }
    }
  }

  std::vector<std::uint8_t> Unpack(std::span<const std::uint8_t> Packed, std::uint16_t Compression,
                                   std::size_t Size) const {
    std::vector<std::uint8_t> Out(Size);
    if (Compression == 0) {
      if (Packed.size() < Size) throw PictureError("Paint-Shop-Pro-Kanal unvollständig");
      std::memcpy(Out.data(), Packed.data(), Size);
    } else if (Compression == 1) {
      std::size_t In = 0, At = 0;
      while (At < Size && In < Packed.size()) {
        unsigned Count = Packed[In++];
        if (Count > 128) {
          Count -= 128;
          if (In >= Packed.size()) break;
          std::uint8_t V = Packed[In++];
          for (unsigned I = 0; I < Count && At < Size; ++I) Out[At++] = V;
        } else {
          for (unsigned I = 0; I < Count && At < Size && In < Packed.size(); ++I) Out[At++] = Packed[In++];
        }
      }
      if (At < Size) throw PictureError("Paint-Shop-Pro-Kanal unvollständig");
    } else if (Compression == 2) {
      z_stream Z{};
      if (inflateInit(&Z) != Z_OK) throw PictureError("Paint-Shop-Pro-Kanal nicht lesbar");
      std::unique_ptr<z_stream, int (*)(z_stream*)> Guard(&Z, inflateEnd);
      Z.next_in = const_cast<Bytef*>(Packed.data());
      Z.avail_in = static_cast<uInt>(Packed.size());
      Z.next_out = Out.data();
      Z.avail_out = static_cast<uInt>(Size);
      int Status = inflate(&Z, Z_FINISH);
      if ((Status != Z_STREAM_END && Status != Z_BUF_ERROR && Status != Z_OK) || Z.avail_out != 0)
        throw PictureError("Paint-Shop-Pro-Kanal nicht lesbar");
    } else {
      throw PictureError("Paint-Shop-Pro-Kompression nicht unterstützt");
    }
    return Out;
  }

  std::unique_ptr<Picture> ReadLayer(const Block& Layer, const Attributes& Image,
                                     const std::vector<std::uint32_t>& Palette) const {
    // Layer information: name, type, image and saved rectangles.
    std::size_t At = Layer.Info;
    if (Major_ == 3) {
      At += 256;
    } else {
      At += 4;
      At += 2 + std::size_t{R_.U16(At)};
    }
    At += 1;  // layer type
    auto ReadRect = [&](std::size_t O) { return Rect{R_.I32(O), R_.I32(O + 4), R_.I32(O + 8), R_.I32(O + 12)}; };
    Rect Place = ReadRect(At), Saved = ReadRect(At + 16);
    std::int64_t Width = std::int64_t{Saved.Right} - Saved.Left, Height = std::int64_t{Saved.Bottom} - Saved.Top;
    if (Width <= 0 || Height <= 0) throw PictureError("Leere Paint-Shop-Pro-Ebene");
    CheckRasterSize(Width, Height);

    int Depth = Image.BitDepth;
    if (Depth != 1 && Depth != 4 && Depth != 8 && Depth != 24) throw PictureError("Paint-Shop-Pro-Farbtiefe nicht unterstützt");
    std::size_t RowBytes = Depth == 24 ? static_cast<std::size_t>(Width)
                                       : ((static_cast<std::size_t>(Width) * Depth + 31) / 32) * 4;
    if (Depth == 8) RowBytes = static_cast<std::size_t>(Width);
    std::size_t Plane = RowBytes * static_cast<std::size_t>(Height);

    std::array<std::vector<std::uint8_t>, 4> Channels;  // composite/red, green, blue, alpha
    bool Any = false;
    for (const Block& C : Blocks(Layer.Info + Layer.InfoSize, Layer.End)) {
      if (C.Id != ChannelBlock) continue;
      std::size_t Info = C.Info + (Major_ == 3 ? 0 : 4);
      std::uint32_t Packed = R_.U32(Info);
      std::uint16_t BitmapType = R_.U16(Info + 8), ChannelType = R_.U16(Info + 10);
      std::size_t Data = C.Info + C.InfoSize;
      if (Packed > C.End - Data) throw PictureError("Paint-Shop-Pro-Kanal außerhalb des Blocks");
      int Slot = -1;
      if (BitmapType == 0 && ChannelType <= 3) Slot = ChannelType == 0 ? 0 : ChannelType - 1;
      if (BitmapType == 1) Slot = 3;  // transparency mask
      if (Slot < 0 || !Channels[Slot].empty()) continue;
      std::size_t Size = Slot == 3 ? static_cast<std::size_t>(Width * Height) : Plane;
      Channels[Slot] = Unpack(R_.Sub(Data, Packed), Image.Compression, Size);
      Any = true;
    }
    if (!Any || Channels[0].empty() || (Depth == 24 && (Channels[1].empty() || Channels[2].empty())))
      throw PictureError("Paint-Shop-Pro-Ebene ohne Kanäle");

    RasterImage Out = MakeRaster(Image.Width, Image.Height);
    for (std::int64_t Y = 0; Y < Height; ++Y)
      for (std::int64_t X = 0; X < Width; ++X) {
        std::int64_t Tx = std::int64_t{Place.Left} + Saved.Left + X, Ty = std::int64_t{Place.Top} + Saved.Top + Y;
        if (Tx < 0 || Ty < 0 || Tx >= Out.Width || Ty >= Out.Height) continue;
        std::uint32_t Color;
        std::size_t Row = static_cast<std::size_t>(Y) * RowBytes;
        if (Depth == 24) {
          std::size_t I = Row + static_cast<std::size_t>(X);
          Color = (std::uint32_t{Channels[0][I]} << 16) | (std::uint32_t{Channels[1][I]} << 8) | Channels[2][I];
        } else {
          unsigned Index;
          if (Depth == 8) Index = Channels[0][Row + X];
          else if (Depth == 4) Index = (Channels[0][Row + X / 2] >> ((X & 1) ? 0 : 4)) & 0x0F;
          else Index = (Channels[0][Row + X / 8] >> (7 - X % 8)) & 1;
          if (Image.Grey && Depth == 8)
            Color = Index * 0x010101u;
          else
            Color = Index < Palette.size() ? Palette[Index] & 0xFFFFFF : (Index ? 0xFFFFFFu : 0u);
        }
        std::uint32_t Alpha = Channels[3].empty() ? 255 : Channels[3][static_cast<std::size_t>(Y * Width + X)];
        Out.At(static_cast<std::int32_t>(Tx), static_cast<std::int32_t>(Ty)) = (Alpha << 24) | Color;
      }
    UpdateHasAlpha(Out);
    return MakeRasterPicture(std::move(Out));
  }

  ByteReader R_;
  std::uint16_t Major_ = 0;
};

}  // namespace

std::unique_ptr<Picture> DecodePaintShopPro(std::span<const std::uint8_t> Bytes, const DecodeHints&) {
  try {
    return PspReader(Bytes).Decode();
  } catch (const ShortData&) {
    throw PictureError("Paint-Shop-Pro-Datei unvollständig");
  }
}

}  // namespace platform
