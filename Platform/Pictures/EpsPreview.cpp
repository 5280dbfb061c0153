// Encapsulated PostScript shows its embedded preview: the TIFF or WMF part of
// a DOS EPS binary file, or the hex bitmap of an EPSI preview section. There
// is no PostScript interpreter; a file without a preview is no picture.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/MetafileBytes.h"
#include "Platform/Pictures/RareDecoders.h"

#include <charconv>
#include <string_view>

namespace platform {

namespace {

using metafile::ByteReader;

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

// "%%BeginPreview: width height depth lines", then hex lines up to
// "%%EndPreview". Rows run top to bottom, each padded to whole bytes; 0 is
// white and the highest value black.
std::unique_ptr<Picture> DecodeEpsi(std::string_view Text) {
  constexpr std::string_view Begin = "%%BeginPreview:";
  std::size_t At = Text.find(Begin);
  if (At == std::string_view::npos) return nullptr;
  At += Begin.size();
  std::int64_t Values[3] = {0, 0, 0};
  for (std::int64_t& V : Values) {
    while (At < Text.size() && (Text[At] == ' ' || Text[At] == '\t')) ++At;
    auto [End, Error] = std::from_chars(Text.data() + At, Text.data() + Text.size(), V);
    if (Error != std::errc()) throw PictureError("EPSI-Vorschau ungültig");
    At = static_cast<std::size_t>(End - Text.data());
  }
  std::int64_t Width = Values[0], Height = Values[1], Depth = Values[2];
  if (Depth != 1 && Depth != 2 && Depth != 4 && Depth != 8) throw PictureError("EPSI-Vorschau ungültig");
  CheckRasterSize(Width, Height);
  std::size_t LineEnd = Text.find('\n', At);
  std::size_t Stop = Text.find("%%EndPreview", At);
  if (LineEnd == std::string_view::npos) throw PictureError("EPSI-Vorschau ungültig");
  if (Stop == std::string_view::npos) Stop = Text.size();
  std::size_t RowBytes = static_cast<std::size_t>((Width * Depth + 7) / 8);
  std::size_t Needed = RowBytes * static_cast<std::size_t>(Height);
  // Two hex digits per byte: a preview longer than its text cannot be whole.
  if (Stop < LineEnd || (Stop - LineEnd) / 2 < Needed) throw PictureError("EPSI-Vorschau unvollständig");
  RasterImage Image = MakeRaster(Width, Height);
  std::vector<std::uint8_t> Data;
  Data.reserve(Needed);
  int High = -1;
  for (std::size_t I = LineEnd; I < Stop && Data.size() < Needed; ++I) {
    int D = HexDigit(Text[I]);
    if (D < 0) continue;
    if (High < 0) {
      High = D;
    } else {
      Data.push_back(static_cast<std::uint8_t>(High * 16 + D));
      High = -1;
    }
  }
  if (Data.size() < Needed) throw PictureError("EPSI-Vorschau unvollständig");
  int Max = (1 << Depth) - 1;
  for (std::int32_t Y = 0; Y < Image.Height; ++Y)
    for (std::int32_t X = 0; X < Image.Width; ++X) {
      std::size_t Bit = static_cast<std::size_t>(X) * Depth;
      std::uint8_t Byte = Data[Y * RowBytes + Bit / 8];
      int V = (Byte >> (8 - Depth - Bit % 8)) & Max;
      std::uint32_t Grey = static_cast<std::uint32_t>(255 - V * 255 / Max);
      Image.At(X, Y) = 0xFF000000u | (Grey << 16) | (Grey << 8) | Grey;
    }
  return MakeRasterPicture(std::move(Image));
}

}  // namespace

std::unique_ptr<Picture> DecodeEps(std::span<const std::uint8_t> Bytes, const DecodeHints& Hints) {
  ByteReader R(Bytes);
  if (R.Has(0, 30) && R.U32(0) == 0xC6D3D0C5) {
    std::uint32_t PsAt = R.U32(4), PsSize = R.U32(8), WmfAt = R.U32(12), WmfSize = R.U32(16), TiffAt = R.U32(20),
                  TiffSize = R.U32(24);
    if (TiffSize > 0 && R.Has(TiffAt, TiffSize)) {
      try {
        return DecodePicture("tif", R.Sub(TiffAt, TiffSize), Hints);
      } catch (const PictureError&) {
        if (WmfSize == 0) throw;
      }
    }
    if (WmfSize > 0 && R.Has(WmfAt, WmfSize)) return DecodeWmf(R.Sub(WmfAt, WmfSize), Hints);
    if (PsSize > 0 && R.Has(PsAt, PsSize)) {
      auto Ps = R.Sub(PsAt, PsSize);
      if (auto Picture = DecodeEpsi({reinterpret_cast<const char*>(Ps.data()), Ps.size()})) return Picture;
    }
    throw PictureError("EPS ohne Vorschau");
  }
  std::string_view Text(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
  if (!Text.starts_with("%!")) throw PictureError("Keine EPS-Datei");
  if (auto Picture = DecodeEpsi(Text)) return Picture;
  throw PictureError("EPS ohne Vorschau");
}

}  // namespace platform
