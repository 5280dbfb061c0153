// Photoshop (and PhotoDeluxe) pictures: the merged image that every file
// carries after its layers, in bitmap, grey, indexed, RGB, CMYK, duotone and
// multichannel modes at 1, 8 or 16 bits, raw or PackBits-compressed.
// Layers themselves are not read; the merged image is what the file shows.
#include "Platform/Pictures/DecoderSupport.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

namespace {

class Cursor {
public:
  explicit Cursor(Bytes Data) : Data_(Data) {}
  std::size_t Pos() const { return Pos_; }
  std::size_t Left() const { return Data_.size() - Pos_; }
  const std::uint8_t* Here() const { return Data_.data() + Pos_; }
  void Skip(std::uint64_t Count) {
    if (Count > Left()) throw PictureError("PSD: Datei zu kurz");
    Pos_ += static_cast<std::size_t>(Count);
  }
  std::uint64_t Read(int Bytes) {
    if (static_cast<std::size_t>(Bytes) > Left()) throw PictureError("PSD: Datei zu kurz");
    std::uint64_t V = 0;
    for (int I = 0; I < Bytes; ++I) V = (V << 8) | Data_[Pos_++];
    return V;
  }
private:
  Bytes Data_;
  std::size_t Pos_ = 0;
};

enum Mode { Bitmap = 0, Grayscale = 1, Indexed = 2, RGB = 3, CMYK = 4, Multichannel = 7, Duotone = 8 };

// One channel plane as 8-bit samples (16-bit samples keep their high byte;
// 1-bit samples become 0 or 255 with 1 meaning black).
void ToSamples(const std::uint8_t* Row, std::size_t RowBytes, int Depth, std::uint32_t Width, std::uint8_t* Out) {
  if (Depth == 8) {
    std::memcpy(Out, Row, std::min<std::size_t>(RowBytes, Width));
  } else if (Depth == 16) {
    for (std::uint32_t X = 0; X < Width && 2 * X < RowBytes; ++X) Out[X] = Row[2 * X];
  } else {
    for (std::uint32_t X = 0; X < Width && X / 8 < RowBytes; ++X)
      Out[X] = (Row[X / 8] >> (7 - X % 8)) & 1 ? 0 : 255;
  }
}

// PackBits into exactly Out.size() bytes; a row that ends early stays zero.
void UnpackBits(const std::uint8_t* In, std::size_t InSize, std::vector<std::uint8_t>& Out) {
  std::size_t I = 0, O = 0;
  std::fill(Out.begin(), Out.end(), 0);
  while (I < InSize && O < Out.size()) {
    const int N = static_cast<std::int8_t>(In[I++]);
    if (N >= 0) {
      const std::size_t Count = std::min<std::size_t>({static_cast<std::size_t>(N) + 1, InSize - I, Out.size() - O});
      std::memcpy(Out.data() + O, In + I, Count);
      I += static_cast<std::size_t>(N) + 1;
      O += Count;
    } else if (N != -128) {
      if (I >= InSize) break;
      const std::size_t Count = std::min<std::size_t>(static_cast<std::size_t>(1 - N), Out.size() - O);
      std::memset(Out.data() + O, In[I++], Count);
      O += Count;
    }
  }
}

// The merged image of a transparent picture is stored blended onto white;
// this takes the white out again, giving straight alpha.
std::uint32_t Unmatte(std::uint32_t Colour, std::uint32_t A) {
  std::uint32_t Result = 0;
  for (int Shift = 0; Shift <= 16; Shift += 8) {
    const int C = static_cast<int>((Colour >> Shift) & 0xFF);
    const int Straight = ((C - 255 + static_cast<int>(A)) * 255 + static_cast<int>(A) / 2) / static_cast<int>(A);
    Result |= static_cast<std::uint32_t>(std::clamp(Straight, 0, 255)) << Shift;
  }
  return Result;
}

}  // namespace

std::unique_ptr<Picture> DecodePsd(Bytes Data, const DecodeHints&) {
  Cursor C(Data);
  if (Data.size() < 26 || std::memcmp(Data.data(), "8BPS", 4) != 0) throw PictureError("Keine Photoshop-Datei");
  C.Skip(4);
  const auto Version = C.Read(2);
  if (Version != 1 && Version != 2) throw PictureError("PSD: unbekannte Version");
  const bool Big = Version == 2;
  C.Skip(6);
  const auto Channels = static_cast<int>(C.Read(2));
  const auto Height = static_cast<std::uint32_t>(C.Read(4));
  const auto Width = static_cast<std::uint32_t>(C.Read(4));
  const auto Depth = static_cast<int>(C.Read(2));
  const auto ColourMode = static_cast<int>(C.Read(2));
  if (Channels < 1 || Channels > 56) throw PictureError("PSD: ungültige Kanalzahl");
  if (Depth != 1 && Depth != 8 && Depth != 16) throw PictureError("PSD: Farbtiefe nicht unterstützt");
  CheckRasterSize(Width, Height);

  int Needed = 1;  // colour channels the mode uses
  switch (ColourMode) {
    case Bitmap:
      if (Depth != 1) throw PictureError("PSD: ungültige Bitmap");
      break;
    case Grayscale: case Indexed: case Duotone: case Multichannel: Needed = 1; break;
    case RGB: Needed = 3; break;
    case CMYK: Needed = 4; break;
    default: throw PictureError("PSD: Farbmodus nicht unterstützt");
  }
  if (ColourMode == Indexed && Depth != 8) throw PictureError("PSD: ungültiges Palettenbild");
  if (Channels < Needed) {
    if (ColourMode == CMYK || ColourMode == RGB) throw PictureError("PSD: zu wenige Kanäle");
  }
  // The first extra channel is the merged image's transparency.
  const bool Alpha = ColourMode != Bitmap && ColourMode != Indexed && ColourMode != Multichannel && Channels > Needed;
  const int Used = Needed + (Alpha ? 1 : 0);

  const auto ModeDataLength = C.Read(4);
  std::uint32_t Palette[256] = {};
  if (ColourMode == Indexed) {
    if (ModeDataLength < 768 || C.Left() < 768) throw PictureError("PSD: Palette fehlt");
    const std::uint8_t* P = C.Here();
    for (int I = 0; I < 256; ++I)
      Palette[I] = 0xFF000000u | (std::uint32_t{P[I]} << 16) | (std::uint32_t{P[256 + I]} << 8) | P[512 + I];
  }
  C.Skip(ModeDataLength);
  C.Skip(C.Read(4));            // image resources
  C.Skip(C.Read(Big ? 8 : 4));  // layers and masks

  const auto Compression = C.Read(2);
  const std::size_t RowBytes = (std::size_t{Width} * static_cast<std::size_t>(Depth) + 7) / 8;
  const std::size_t Rows = std::size_t{Height} * static_cast<std::size_t>(Channels);
  // Planes are stored one after the other; only the first Used are shown.
  const std::size_t Shown = std::size_t{Height} * static_cast<std::size_t>(Used);

  // Channel planes as 8-bit samples, only for the channels we show; they and
  // the pixels must fit the memory budget together.
  if (std::uint64_t{Width} * Height * static_cast<std::uint64_t>(Used + 4) > PictureMemoryBudget())
    throw PictureError("Bild zu groß");
  std::vector<std::uint8_t> Planes(std::size_t{Width} * Height * static_cast<std::size_t>(Used), 0);
  std::vector<std::uint8_t> Row(RowBytes);
  auto StoreRow = [&](std::size_t Index, const std::uint8_t* Source, std::size_t Size) {
    const std::size_t Channel = Index / Height, Y = Index % Height;
    ToSamples(Source, Size, Depth, Width, Planes.data() + (Channel * Height + Y) * Width);
  };
  if (Compression == 0) {
    // Raw rows: the planes shown must all be there.
    for (std::size_t I = 0; I < Shown; ++I) {
      if (RowBytes > C.Left()) throw PictureError("PSD: Datei zu kurz");
      StoreRow(I, C.Here(), RowBytes);
      C.Skip(RowBytes);
    }
  } else if (Compression == 1) {
    const int CountBytes = Big ? 4 : 2;
    if (Rows > C.Left() / static_cast<std::size_t>(CountBytes)) throw PictureError("PSD: Datei zu kurz");
    std::vector<std::uint32_t> Counts(Rows);
    for (std::uint32_t& N : Counts) N = static_cast<std::uint32_t>(C.Read(CountBytes));
    for (std::size_t I = 0; I < Shown; ++I) {
      if (Counts[I] > C.Left()) throw PictureError("PSD: Datei zu kurz");
      UnpackBits(C.Here(), Counts[I], Row);
      StoreRow(I, Row.data(), Row.size());
      C.Skip(Counts[I]);
    }
  } else {
    throw PictureError("PSD: Kompression nicht unterstützt");
  }

  RasterImage Image = MakeRaster(Width, Height);
  const std::size_t Plane = std::size_t{Width} * Height;
  for (std::size_t I = 0; I < Plane; ++I) {
    const auto S = [&](int Channel) -> std::uint32_t { return Planes[static_cast<std::size_t>(Channel) * Plane + I]; };
    std::uint32_t Colour = 0;
    switch (ColourMode) {
      case RGB: Colour = (S(0) << 16) | (S(1) << 8) | S(2); break;
      case CMYK: {
        // Stored inverted: 255 is no ink.
        const std::uint32_t K = S(3);
        Colour = (((S(0) * K + 127) / 255) << 16) | (((S(1) * K + 127) / 255) << 8) | ((S(2) * K + 127) / 255);
        break;
      }
      case Indexed: Colour = Palette[S(0)] & 0xFFFFFFu; break;
      default: Colour = S(0) * 0x010101u; break;
    }
    const std::uint32_t A = Alpha ? S(Needed) : 255;
    if (A != 0 && A != 255) Colour = Unmatte(Colour, A);
    Image.Pixels[I] = (A << 24) | Colour;
  }
  UpdateHasAlpha(Image);
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
