// TIFF through libtiff, read from memory: the first page, in every layout the
// library's RGBA reader handles.
#include "Platform/Pictures/DecoderSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

#include <tiffio.h>

namespace platform {

namespace {

struct MemoryFile {
  const std::uint8_t* Data;
  toff_t Size;
  toff_t Pos;
};

tmsize_t OnRead(thandle_t Handle, void* Target, tmsize_t Length) {
  auto* F = static_cast<MemoryFile*>(Handle);
  if (Length <= 0 || F->Pos >= F->Size) return 0;
  const toff_t Count = std::min<toff_t>(static_cast<toff_t>(Length), F->Size - F->Pos);
  std::memcpy(Target, F->Data + F->Pos, Count);
  F->Pos += Count;
  return static_cast<tmsize_t>(Count);
}

tmsize_t OnWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t OnSeek(thandle_t Handle, toff_t Offset, int Whence) {
  auto* F = static_cast<MemoryFile*>(Handle);
  toff_t Base = 0;
  if (Whence == SEEK_CUR) Base = F->Pos;
  else if (Whence == SEEK_END) Base = F->Size;
  // Offsets are unsigned; a "negative" relative seek wraps, which is what libtiff means.
  F->Pos = Base + Offset;
  return F->Pos;
}

int OnClose(thandle_t) { return 0; }
toff_t OnSize(thandle_t Handle) { return static_cast<MemoryFile*>(Handle)->Size; }
int OnMap(thandle_t, void**, toff_t*) { return 0; }
void OnUnmap(thandle_t, void*, toff_t) {}

// Messages stay out of stderr; the first error is kept for the exception.
int OnError(TIFF*, void* User, const char*, const char* Format, va_list Args) {
  auto* Message = static_cast<std::string*>(User);
  if (Message->empty()) {
    char Text[256];
    std::vsnprintf(Text, sizeof Text, Format, Args);
    *Message = Text;
  }
  return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

void SilenceGlobalHandlers() {
  static std::once_flag Once;
  std::call_once(Once, [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
  });
}

struct OptionsFree {
  void operator()(TIFFOpenOptions* O) const { TIFFOpenOptionsFree(O); }
};
struct TiffClose {
  void operator()(TIFF* T) const { TIFFClose(T); }
};

// Grey pictures with 32-bit integer or 32/64-bit floating-point samples, which
// the RGBA reader refuses. Floats are shown over 0..1; integers are stretched
// from their smallest to their largest value, since such files carry
// measurements rather than display levels.
std::unique_ptr<Picture> DecodeWideGrey(TIFF* Tiff, std::uint32_t Width, std::uint32_t Height, std::string& Message) {
  std::uint16_t Samples = 1, Bits = 0, Format = SAMPLEFORMAT_UINT, Photometric = PHOTOMETRIC_MINISBLACK;
  TIFFGetFieldDefaulted(Tiff, TIFFTAG_SAMPLESPERPIXEL, &Samples);
  TIFFGetFieldDefaulted(Tiff, TIFFTAG_BITSPERSAMPLE, &Bits);
  TIFFGetFieldDefaulted(Tiff, TIFFTAG_SAMPLEFORMAT, &Format);
  TIFFGetField(Tiff, TIFFTAG_PHOTOMETRIC, &Photometric);
  const bool Float = Format == SAMPLEFORMAT_IEEEFP && (Bits == 32 || Bits == 64);
  const bool Integer = (Format == SAMPLEFORMAT_UINT || Format == SAMPLEFORMAT_INT) && Bits == 32;
  if (Samples != 1 || TIFFIsTiled(Tiff) || !(Float || Integer) ||
      (Photometric != PHOTOMETRIC_MINISBLACK && Photometric != PHOTOMETRIC_MINISWHITE))
    return nullptr;
  const tmsize_t LineSize = TIFFScanlineSize(Tiff);
  if (LineSize < static_cast<tmsize_t>(std::size_t{Width} * Bits / 8)) return nullptr;

  // Samples and pixels together must fit the memory budget.
  if (std::uint64_t{Width} * Height * 8 > PictureMemoryBudget()) throw PictureError("Bild zu groß");
  std::vector<float> Values(std::size_t{Width} * Height);
  std::vector<std::uint8_t> Line(static_cast<std::size_t>(LineSize));
  for (std::uint32_t Y = 0; Y < Height; ++Y) {
    if (TIFFReadScanline(Tiff, Line.data(), Y, 0) < 0)
      throw PictureError("TIFF: " + (Message.empty() ? std::string("Bilddaten nicht lesbar") : Message));
    for (std::uint32_t X = 0; X < Width; ++X) {
      double V = 0;
      const std::uint8_t* P = Line.data() + std::size_t{X} * Bits / 8;
      if (Bits == 64) {
        double D;
        std::memcpy(&D, P, sizeof D);
        V = D;
      } else if (Float) {
        float F;
        std::memcpy(&F, P, sizeof F);
        V = F;
      } else if (Format == SAMPLEFORMAT_INT) {
        std::int32_t I;
        std::memcpy(&I, P, sizeof I);
        V = I;
      } else {
        std::uint32_t U;
        std::memcpy(&U, P, sizeof U);
        V = U;
      }
      Values[std::size_t{Y} * Width + X] = std::isfinite(V) ? static_cast<float>(V) : 0.0f;
    }
  }
  double Low = 0, High = 1;
  if (Integer) {
    const auto [Min, Max] = std::minmax_element(Values.begin(), Values.end());
    Low = *Min;
    High = *Max > *Min ? *Max : *Min + 1;
  }
  RasterImage Image = MakeRaster(Width, Height);
  for (std::size_t I = 0; I < Values.size(); ++I) {
    double Level = std::clamp((double{Values[I]} - Low) / (High - Low), 0.0, 1.0);
    if (Photometric == PHOTOMETRIC_MINISWHITE) Level = 1.0 - Level;
    const auto G = static_cast<std::uint32_t>(std::lround(Level * 255.0));
    Image.Pixels[I] = 0xFF000000u | G * 0x010101u;
  }
  return MakeRasterPicture(std::move(Image));
}

}  // namespace

std::unique_ptr<Picture> DecodeTiff(Bytes Data, const DecodeHints&) {
  SilenceGlobalHandlers();
  if (Data.size() < 8) throw PictureError("Keine TIFF-Datei");
  std::string Message;
  std::unique_ptr<TIFFOpenOptions, OptionsFree> Options(TIFFOpenOptionsAlloc());
  if (!Options) throw PictureError("libtiff nicht verfügbar");
  TIFFOpenOptionsSetMaxSingleMemAlloc(Options.get(), static_cast<tmsize_t>(PictureMemoryBudget() / 4));
  TIFFOpenOptionsSetErrorHandlerExtR(Options.get(), OnError, &Message);
  TIFFOpenOptionsSetWarningHandlerExtR(Options.get(), OnWarning, nullptr);

  MemoryFile File{Data.data(), Data.size(), 0};
  // "m": never memory-map; the data is in memory already.
  std::unique_ptr<TIFF, TiffClose> Tiff(TIFFClientOpenExt("picture", "rm", &File, OnRead, OnWrite, OnSeek, OnClose,
                                                          OnSize, OnMap, OnUnmap, Options.get()));
  if (!Tiff) throw PictureError("TIFF: " + (Message.empty() ? std::string("nicht lesbar") : Message));

  std::uint32_t Width = 0, Height = 0;
  TIFFGetField(Tiff.get(), TIFFTAG_IMAGEWIDTH, &Width);
  TIFFGetField(Tiff.get(), TIFFTAG_IMAGELENGTH, &Height);
  CheckRasterSize(Width, Height);
  char Reason[1024] = {};
  if (!TIFFRGBAImageOK(Tiff.get(), Reason)) {
    if (auto Wide = DecodeWideGrey(Tiff.get(), Width, Height, Message)) return Wide;
    throw PictureError(std::string("TIFF: ") + Reason);
  }

  RasterImage Image = MakeRaster(Width, Height);
  if (!TIFFReadRGBAImageOriented(Tiff.get(), Width, Height, Image.Pixels.data(), ORIENTATION_TOPLEFT, 1))
    throw PictureError("TIFF: " + (Message.empty() ? std::string("Bilddaten nicht lesbar") : Message));

  // libtiff delivers R, G, B, A bytes with premultiplied alpha; we keep
  // 0xAARRGGBB with straight alpha.
  for (std::uint32_t& P : Image.Pixels) {
    const std::uint32_t R = TIFFGetR(P), G = TIFFGetG(P), B = TIFFGetB(P), A = TIFFGetA(P);
    std::uint32_t Rs = R, Gs = G, Bs = B;
    if (A != 255 && A != 0) {
      Rs = std::min<std::uint32_t>(255, (R * 255 + A / 2) / A);
      Gs = std::min<std::uint32_t>(255, (G * 255 + A / 2) / A);
      Bs = std::min<std::uint32_t>(255, (B * 255 + A / 2) / A);
    }
    P = (A << 24) | (Rs << 16) | (Gs << 8) | Bs;
  }
  UpdateHasAlpha(Image);
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
