// Truevision Targa (also under its Vista, ICB and Windows extensions):
// colour-mapped, true-colour and grey pictures, raw or run-length encoded,
// at 8, 15, 16, 24 and 32 bits, in any of the four row and column orders.
#include "Platform/Pictures/DecoderSupport.h"

#include <algorithm>
#include <vector>

namespace platform {

namespace {

std::uint32_t Expand5(std::uint32_t V) { return (V * 255 + 15) / 31; }

// One stored pixel or colour-map entry of Bits bits as 0xAARRGGBB.
std::uint32_t ColourOf(const std::uint8_t* P, int Bits, bool Grey) {
  if (Grey) {
    const std::uint32_t G = P[0] * 0x010101u;
    return (Bits == 16 ? std::uint32_t{P[1]} << 24 : 0xFF000000u) | G;
  }
  switch (Bits) {
    case 15:
    case 16: {
      const std::uint32_t V = P[0] | (std::uint32_t{P[1]} << 8);
      const std::uint32_t A = (V & 0x8000) ? 0xFFu : 0u;
      return (A << 24) | (Expand5((V >> 10) & 31) << 16) | (Expand5((V >> 5) & 31) << 8) | Expand5(V & 31);
    }
    case 24: return 0xFF000000u | (std::uint32_t{P[2]} << 16) | (std::uint32_t{P[1]} << 8) | P[0];
    default: return (std::uint32_t{P[3]} << 24) | (std::uint32_t{P[2]} << 16) | (std::uint32_t{P[1]} << 8) | P[0];
  }
}

}  // namespace

std::unique_ptr<Picture> DecodeTarga(Bytes Data, const DecodeHints&) {
  if (Data.size() < 18) throw PictureError("Keine Targa-Datei");
  const std::uint8_t* H = Data.data();
  const int IdLength = H[0], MapType = H[1], Type = H[2];
  const int MapFirst = H[3] | (H[4] << 8), MapLength = H[5] | (H[6] << 8), MapBits = H[7];
  const int Width = H[12] | (H[13] << 8), Height = H[14] | (H[15] << 8);
  const int Bits = H[16], Descriptor = H[17];
  const int Kind = Type & 7;  // 1 colour-mapped, 2 true colour, 3 grey
  const bool Rle = Type & 8;
  if ((Type & ~0xB) != 0 || Kind == 0) throw PictureError("Targa: Bildtyp nicht unterstützt");
  if (MapType > 1 || (Kind == 1 && MapType != 1)) throw PictureError("Targa: ungültige Farbtabelle");
  const bool BitsOk = Kind == 1   ? (Bits == 8 || Bits == 16)
                      : Kind == 2 ? (Bits == 15 || Bits == 16 || Bits == 24 || Bits == 32)
                                  : (Bits == 8 || Bits == 16);
  if (!BitsOk) throw PictureError("Targa: Farbtiefe nicht unterstützt");
  CheckRasterSize(Width, Height);

  std::size_t Pos = 18 + static_cast<std::size_t>(IdLength);
  std::vector<std::uint32_t> Map;
  if (MapType == 1) {
    if (MapBits != 15 && MapBits != 16 && MapBits != 24 && MapBits != 32)
      throw PictureError("Targa: ungültige Farbtabelle");
    const std::size_t EntryBytes = static_cast<std::size_t>(MapBits + 7) / 8;
    const std::size_t MapBytes = EntryBytes * static_cast<std::size_t>(MapLength);
    if (Pos > Data.size() || MapBytes > Data.size() - Pos) throw PictureError("Targa: Datei zu kurz");
    for (int I = 0; I < MapLength; ++I) Map.push_back(ColourOf(Data.data() + Pos + EntryBytes * I, MapBits, false));
    Pos += MapBytes;
  }
  if (Pos > Data.size()) throw PictureError("Targa: Datei zu kurz");

  const std::size_t PixelBytes = static_cast<std::size_t>(Bits + 7) / 8;
  auto Convert = [&](const std::uint8_t* P) -> std::uint32_t {
    if (Kind != 1) return ColourOf(P, Bits, Kind == 3);
    const int Index = (Bits == 16 ? (P[0] | (P[1] << 8)) : P[0]) - MapFirst;
    return Index >= 0 && Index < static_cast<int>(Map.size()) ? Map[static_cast<std::size_t>(Index)] : 0xFF000000u;
  };

  // Pixels in file order, then placed by the origin bits.
  const std::size_t Count = static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height);
  std::vector<std::uint32_t> Stored;
  Stored.reserve(Count);
  if (!Rle) {
    if (Count * PixelBytes > Data.size() - Pos) throw PictureError("Targa: Datei zu kurz");
    for (std::size_t I = 0; I < Count; ++I) Stored.push_back(Convert(Data.data() + Pos + I * PixelBytes));
  } else {
    // Packets may run across scan lines.
    while (Stored.size() < Count) {
      if (Pos >= Data.size()) throw PictureError("Targa: Datei zu kurz");
      const int Header = Data[Pos++];
      const std::size_t Run = std::min<std::size_t>(static_cast<std::size_t>(Header & 0x7F) + 1, Count - Stored.size());
      if (Header & 0x80) {
        if (PixelBytes > Data.size() - Pos) throw PictureError("Targa: Datei zu kurz");
        Stored.insert(Stored.end(), Run, Convert(Data.data() + Pos));
        Pos += PixelBytes;
      } else {
        if (Run * PixelBytes > Data.size() - Pos) throw PictureError("Targa: Datei zu kurz");
        for (std::size_t I = 0; I < Run; ++I) Stored.push_back(Convert(Data.data() + Pos + I * PixelBytes));
        Pos += Run * PixelBytes;
      }
    }
  }

  // Writers often leave the alpha of 16- and 32-bit pixels at zero; a
  // picture that would be wholly invisible is shown opaque.
  if (std::all_of(Stored.begin(), Stored.end(), [](std::uint32_t P) { return (P >> 24) == 0; })) {
    for (std::uint32_t& P : Stored) P |= 0xFF000000u;
  }

  RasterImage Image = MakeRaster(Width, Height);
  const bool TopDown = Descriptor & 0x20, RightToLeft = Descriptor & 0x10;
  for (int Y = 0; Y < Height; ++Y) {
    const int Row = TopDown ? Y : Height - 1 - Y;
    const std::uint32_t* Source = Stored.data() + static_cast<std::size_t>(Y) * Width;
    std::uint32_t* Target = Image.Pixels.data() + static_cast<std::size_t>(Row) * Width;
    if (RightToLeft) std::reverse_copy(Source, Source + Width, Target);
    else std::copy(Source, Source + Width, Target);
  }
  UpdateHasAlpha(Image);
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
