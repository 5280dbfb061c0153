// PNG: the common 8-bit kinds through one inflate (PngDirect.h); everything
// else, and every file that path declines, through libpng: every colour
// type and bit depth, tRNS transparency and interlacing, expanded to 8-bit
// BGRA and decoded row by row straight into the picture's pixels.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/PngDirect.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <png.h>

namespace platform {

namespace {

constexpr png_alloc_size_t MaxChunkBytes = 8u << 20;  // ancillary chunks (iCCP, text...) and their inflation
constexpr png_uint_32 MaxChunkCache = 1000;             // number of ancillary chunks kept

struct Reader {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
};

struct PngJob {
  Reader Input;
  RasterImage* Out;
  char Error[256];
};

void OnRead(png_structp Png, png_bytep Target, png_size_t Length) {
  auto* In = static_cast<Reader*>(png_get_io_ptr(Png));
  if (Length > In->Size - In->Pos) png_error(Png, "Datei zu kurz");
  std::memcpy(Target, In->Data + In->Pos, Length);
  In->Pos += Length;
}

[[noreturn]] void OnError(png_structp Png, png_const_charp Message) {
  auto* Job = static_cast<PngJob*>(png_get_error_ptr(Png));
  std::snprintf(Job->Error, sizeof Job->Error, "%s", Message ? Message : "PNG-Fehler");
  png_longjmp(Png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

bool PrepareOutput(PngJob& Job, png_uint_32 Width, png_uint_32 Height) noexcept {
  try {
    *Job.Out = MakeRaster(Width, Height);
    return true;
  } catch (const std::exception& E) {
    std::snprintf(Job.Error, sizeof Job.Error, "%s", E.what());
    return false;
  }
}

// No object with a destructor lives in this frame: libpng leaves it by longjmp.
bool DecodeRaw(PngJob& Job) {
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Job, OnError, OnWarning);
  if (Png == nullptr) {
    std::snprintf(Job.Error, sizeof Job.Error, "libpng nicht verfügbar");
    return false;
  }
  png_infop Info = png_create_info_struct(Png);
  if (Info == nullptr) {
    png_destroy_read_struct(&Png, nullptr, nullptr);
    std::snprintf(Job.Error, sizeof Job.Error, "libpng nicht verfügbar");
    return false;
  }
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_read_struct(&Png, &Info, nullptr);
    return false;
  }
  png_set_user_limits(Png, MaxPictureSide, MaxPictureSide);
  png_set_chunk_malloc_max(Png, MaxChunkBytes);
  png_set_chunk_cache_max(Png, MaxChunkCache);
  png_set_read_fn(Png, &Job.Input, OnRead);
  png_read_info(Png, Info);

  png_uint_32 Width = 0, Height = 0;
  int Depth = 0, ColorType = 0, Interlace = 0;
  png_get_IHDR(Png, Info, &Width, &Height, &Depth, &ColorType, &Interlace, nullptr, nullptr);
  if (!PrepareOutput(Job, Width, Height)) {
    png_destroy_read_struct(&Png, &Info, nullptr);
    return false;
  }

  // To 8-bit BGRA (0xAARRGGBB in memory on little-endian). Gamma is not
  // applied: the samples are shown as stored.
  png_set_expand(Png);  // palette -> RGB, low grey depths -> 8 bits, tRNS -> alpha
  if (Depth == 16) png_set_scale_16(Png);
  if (ColorType == PNG_COLOR_TYPE_GRAY || ColorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(Png);
  if (std::endian::native == std::endian::little) {
    png_set_bgr(Png);
    png_set_add_alpha(Png, 0xFF, PNG_FILLER_AFTER);
  } else {
    png_set_add_alpha(Png, 0xFF, PNG_FILLER_BEFORE);
    png_set_swap_alpha(Png);
  }
  const int Passes = png_set_interlace_handling(Png);
  png_read_update_info(Png, Info);
  if (png_get_rowbytes(Png, Info) != std::size_t{Width} * 4) png_error(Png, "Unerwartetes Zeilenformat");

  std::uint32_t* const Pixels = Job.Out->Pixels.data();
  for (int Pass = 0; Pass < Passes; ++Pass) {
    for (png_uint_32 Y = 0; Y < Height; ++Y)
      png_read_row(Png, reinterpret_cast<png_bytep>(Pixels + std::size_t{Y} * Width), nullptr);
  }
  // The image is complete; damage after the last row (trailing chunks) does not matter.
  png_destroy_read_struct(&Png, &Info, nullptr);
  return true;
}

// Every chunk must lie inside the file. libpng would otherwise allocate the
// declared length of an ancillary chunk before noticing the file ends.
void CheckChunkLengths(Bytes Data) {
  std::size_t Pos = 8;
  // A chunk whose length and type are there counts, even when the file ends
  // before its checksum.
  while (Data.size() - Pos >= 8) {
    const std::uint32_t Length = png_get_uint_32(Data.data() + Pos);
    if (std::memcmp(Data.data() + Pos + 4, "IEND", 4) == 0) return;
    if (Length > PNG_UINT_31_MAX || std::size_t{Length} + 12 > Data.size() - Pos) {
      // A cut-off image data chunk is left to libpng, which reads it
      // piecewise and needs no room for its declared length.
      if (std::memcmp(Data.data() + Pos + 4, "IDAT", 4) == 0 && Length <= PNG_UINT_31_MAX) return;
      throw PictureError("PNG: Chunk länger als die Datei");
    }
    Pos += 12 + std::size_t{Length};
  }
}

}  // namespace

std::unique_ptr<Picture> DecodePng(Bytes Data, const DecodeHints&) {
  if (Data.size() < 8 || png_sig_cmp(Data.data(), 0, 8) != 0) throw PictureError("Keine PNG-Datei");
  CheckChunkLengths(Data);
  RasterImage Image;
  if (!DecodePngDirect(Data, Image)) return DecodePngWithLibpng(Data);
  UpdateHasAlpha(Image);
  return MakeRasterPicture(std::move(Image));
}

std::unique_ptr<Picture> DecodePngWithLibpng(Bytes Data) {
  if (Data.size() < 8 || png_sig_cmp(Data.data(), 0, 8) != 0) throw PictureError("Keine PNG-Datei");
  CheckChunkLengths(Data);
  RasterImage Image;
  PngJob Job{{Data.data(), Data.size(), 0}, &Image, {}};
  if (!DecodeRaw(Job)) throw PictureError(std::string("PNG: ") + Job.Error);
  UpdateHasAlpha(Image);
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
