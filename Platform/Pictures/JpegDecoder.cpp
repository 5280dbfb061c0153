// JPEG through libjpeg-turbo: RGB, grey and CMYK (plain and Adobe-inverted),
// optionally at a reduced DCT scale when the picture will be drawn much
// smaller than it is.
#include "Platform/Pictures/DecoderSupport.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace platform {

namespace {

// Caps on what a hostile file can make the library do.
constexpr int MaxScans = 500;  // progressive files with endless scans cost a full pass each

struct ErrorManager {
  jpeg_error_mgr Base;  // first member: libjpeg casts the pointer back
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr Info) {
  ErrorManager* Err = reinterpret_cast<ErrorManager*>(Info->err);
  Info->err->format_message(Info, Err->Message);
  std::longjmp(Err->Jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings are tolerated silently

void OnProgress(j_common_ptr Info) {
  auto* D = reinterpret_cast<j_decompress_ptr>(Info);
  if (D->input_scan_number > MaxScans) {
    ErrorManager* Err = reinterpret_cast<ErrorManager*>(Info->err);
    std::snprintf(Err->Message, sizeof Err->Message, "JPEG mit zu vielen Scans");
    std::longjmp(Err->Jump, 1);
  }
}

// Everything the setjmp frame touches is plain data: no object with a
// destructor lives in DecodeRaw, so the longjmp out of libjpeg skips nothing
// that needs cleaning up.
struct JpegJob {
  const std::uint8_t* Data;
  std::size_t Size;
  DecodeHints Hints;
  RasterImage* Out;           // sized by the callback once the header is read
  std::vector<std::uint8_t>* CmykRow;
  char Error[JMSG_LENGTH_MAX];
  bool TooLarge;
};

bool PrepareOutput(JpegJob& Job, jpeg_decompress_struct& Info) noexcept {
  try {
    *Job.Out = MakeRaster(Info.output_width, Info.output_height);
    if (Info.out_color_space == JCS_CMYK) Job.CmykRow->resize(std::size_t{Info.output_width} * 4);
    return true;
  } catch (const std::exception& E) {
    std::snprintf(Job.Error, sizeof Job.Error, "%s", E.what());
    Job.TooLarge = true;
    return false;
  }
}

void CmykToArgb(const std::uint8_t* Cmyk, std::uint32_t* Out, std::size_t Count, bool Inverted) {
  for (std::size_t I = 0; I < Count; ++I, Cmyk += 4) {
    unsigned C = Cmyk[0], M = Cmyk[1], Y = Cmyk[2], K = Cmyk[3];
    if (!Inverted) {
      C = 255 - C;
      M = 255 - M;
      Y = 255 - Y;
      K = 255 - K;
    }
    // Stored values are now "amount of paper left": colour = value * K / 255.
    const unsigned R = (C * K + 127) / 255, G = (M * K + 127) / 255, B = (Y * K + 127) / 255;
    Out[I] = 0xFF000000u | (R << 16) | (G << 8) | B;
  }
}

bool DecodeRaw(JpegJob& Job) {
  jpeg_decompress_struct Info;
  ErrorManager Err;
  jpeg_progress_mgr Progress;
  std::memset(&Info, 0, sizeof Info);
  Info.err = jpeg_std_error(&Err.Base);
  Err.Base.error_exit = OnError;
  Err.Base.emit_message = OnMessage;
  Err.Message[0] = '\0';
  if (setjmp(Err.Jump)) {
    std::snprintf(Job.Error, sizeof Job.Error, "%s", Err.Message);
    jpeg_destroy_decompress(&Info);
    return false;
  }
  jpeg_create_decompress(&Info);
  Info.mem->max_memory_to_use = static_cast<long>(PictureMemoryBudget());
  Progress.progress_monitor = OnProgress;
  Info.progress = &Progress;
  jpeg_mem_src(&Info, Job.Data, static_cast<unsigned long>(Job.Size));
  jpeg_read_header(&Info, TRUE);

  // Refuse oversized pictures from the header, before any pixel memory.
  bool SizeOk = true;
  try {
    CheckRasterSize(Info.image_width, Info.image_height);
  } catch (const std::exception& E) {
    std::snprintf(Job.Error, sizeof Job.Error, "%s", E.what());
    SizeOk = false;
  }
  if (!SizeOk) {
    jpeg_destroy_decompress(&Info);
    return false;
  }

  const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
  const bool Inverted = Info.saw_Adobe_marker;
  if (Cmyk) {
    Info.out_color_space = JCS_CMYK;
  } else {
    // Grey and colour alike straight into 0xAARRGGBB memory order.
    Info.out_color_space = std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
  }
  Info.scale_num = static_cast<unsigned>(JpegScaleEighths(static_cast<std::int32_t>(Info.image_width),
                                                          static_cast<std::int32_t>(Info.image_height), Job.Hints));
  Info.scale_denom = 8;
  jpeg_start_decompress(&Info);
  if (!PrepareOutput(Job, Info)) {
    jpeg_destroy_decompress(&Info);
    return false;
  }
  std::uint32_t* const Pixels = Job.Out->Pixels.data();
  const std::size_t Width = Info.output_width;
  while (Info.output_scanline < Info.output_height) {
    std::uint32_t* RowStart = Pixels + std::size_t{Info.output_scanline} * Width;
    if (Cmyk) {
      JSAMPROW Row = Job.CmykRow->data();
      if (jpeg_read_scanlines(&Info, &Row, 1) != 1) break;
      CmykToArgb(Job.CmykRow->data(), RowStart, Width, Inverted);
    } else {
      JSAMPROW Rows[8];
      const JDIMENSION Left = Info.output_height - Info.output_scanline;
      const JDIMENSION Count = Left < 8 ? Left : 8;
      for (JDIMENSION I = 0; I < Count; ++I) Rows[I] = reinterpret_cast<JSAMPROW>(RowStart + I * Width);
      if (jpeg_read_scanlines(&Info, Rows, Count) == 0) break;
    }
  }
  // A truncated file is padded by libjpeg (a warning); what was decoded stays.
  jpeg_abort_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return true;
}

}  // namespace

int JpegScaleEighths(std::int32_t Width, std::int32_t Height, const DecodeHints& Hints) {
  if (Hints.DrawWidth <= 0 || Hints.DrawHeight <= 0) return 8;
  if (std::int64_t{Hints.DrawWidth} * 2 >= Width || std::int64_t{Hints.DrawHeight} * 2 >= Height) return 8;
  for (int M = 1; M < 8; ++M) {
    // libjpeg rounds scaled sizes up.
    const std::int64_t W = (std::int64_t{Width} * M + 7) / 8;
    const std::int64_t H = (std::int64_t{Height} * M + 7) / 8;
    if (W >= Hints.DrawWidth && H >= Hints.DrawHeight) return M;
  }
  return 8;
}

std::unique_ptr<Picture> DecodeJpeg(Bytes Data, const DecodeHints& Hints) {
  if (Data.size() < 4) throw PictureError("Keine JPEG-Datei");
  RasterImage Image;
  std::vector<std::uint8_t> CmykRow;
  JpegJob Job{Data.data(), Data.size(), Hints, &Image, &CmykRow, {}, false};
  if (!DecodeRaw(Job)) throw PictureError(std::string("JPEG: ") + Job.Error);
  Image.HasAlpha = false;
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
