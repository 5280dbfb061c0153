// JPEG through libjpeg-turbo: RGB, grey and CMYK (plain and Adobe-inverted),
// optionally at a reduced DCT scale when the picture will be drawn much
// smaller than it is.
#include "Platform/Pictures/DecoderSupport.h"

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <thread>
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

// One libjpeg decompressor over the file's bytes. Each step below arms its
// own setjmp and keeps no object with a destructor in that frame, so a
// longjmp out of libjpeg skips nothing that needs cleaning up; the
// decompressor itself lives in the caller's frame and is destroyed there.
struct Decompressor {
  Decompressor() {
    std::memset(&Info, 0, sizeof Info);
    Info.err = jpeg_std_error(&Err.Base);
    Err.Base.error_exit = OnError;
    Err.Base.emit_message = OnMessage;
    Err.Message[0] = '\0';
  }
  ~Decompressor() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;

  jpeg_decompress_struct Info;
  ErrorManager Err;  // Info.err points here: the object never moves
  jpeg_progress_mgr Progress{};
  bool Created = false;
};

// Creates the decompressor and reads the header; MultiScan tells whether the
// whole file must be read before the first row comes out.
bool Open(Decompressor& D, Bytes Data, bool& MultiScan) {
  if (setjmp(D.Err.Jump)) return false;
  jpeg_create_decompress(&D.Info);
  D.Created = true;
  D.Info.mem->max_memory_to_use = static_cast<long>(PictureMemoryBudget());
  D.Progress.progress_monitor = OnProgress;
  D.Info.progress = &D.Progress;
  jpeg_mem_src(&D.Info, Data.data(), static_cast<unsigned long>(Data.size()));
  jpeg_read_header(&D.Info, TRUE);
  MultiScan = jpeg_has_multiple_scans(&D.Info);
  return true;
}

bool Start(Decompressor& D, J_COLOR_SPACE Space, unsigned ScaleEighths) {
  if (setjmp(D.Err.Jump)) return false;
  D.Info.out_color_space = Space;
  D.Info.scale_num = ScaleEighths;
  D.Info.scale_denom = 8;
  jpeg_start_decompress(&D.Info);
  return true;
}

// Skips the rows above First: their data is still entropy-decoded, but not
// transformed, upsampled or converted.
bool SkipTo(Decompressor& D, JDIMENSION First) {
  if (setjmp(D.Err.Jump)) return false;
  while (D.Info.output_scanline < First)
    if (jpeg_skip_scanlines(&D.Info, First - D.Info.output_scanline) == 0) break;
  return true;
}

// Decodes rows up to End into the picture. A truncated file is padded by
// libjpeg (a warning); what was decoded stays.
bool ReadRows(Decompressor& D, RasterImage& Out, JDIMENSION End, std::uint8_t* CmykRow, bool Inverted) {
  if (setjmp(D.Err.Jump)) return false;
  std::uint32_t* const Pixels = Out.Pixels.data();
  const std::size_t Width = D.Info.output_width;
  while (D.Info.output_scanline < End) {
    std::uint32_t* RowStart = Pixels + std::size_t{D.Info.output_scanline} * Width;
    if (CmykRow) {
      JSAMPROW Row = CmykRow;
      if (jpeg_read_scanlines(&D.Info, &Row, 1) != 1) break;
      CmykToArgb(CmykRow, RowStart, Width, Inverted);
    } else {
      JSAMPROW Rows[8];
      const JDIMENSION Left = End - D.Info.output_scanline;
      const JDIMENSION Count = Left < 8 ? Left : 8;
      for (JDIMENSION I = 0; I < Count; ++I) Rows[I] = reinterpret_cast<JSAMPROW>(RowStart + I * Width);
      if (jpeg_read_scanlines(&D.Info, Rows, Count) == 0) break;
    }
  }
  return true;
}

// Large single-scan pictures are decoded in two bands on two threads: the
// upper band by the first decompressor, the lower one by a second that skips
// the upper rows. Skipping still costs the entropy decoding, so the upper
// band is the larger one; its share evens out both threads' work (entropy
// decoding is about half of a full-size decode, and more of a reduced one).
constexpr std::int64_t MinSplitPixels = std::int64_t{1} << 21;

JDIMENSION SplitRow(const jpeg_decompress_struct& Info) {
  const bool Reduced = Info.scale_num < Info.scale_denom;
  const JDIMENSION Share = Reduced ? Info.output_height / 4 * 3 : Info.output_height / 3 * 2;
  // Bands meet at the edge of an iMCU row, so the skip ends on whole rows of
  // blocks and nothing is decoded twice.
  const JDIMENSION McuRows = static_cast<JDIMENSION>(Info.max_v_samp_factor * Info.min_DCT_scaled_size);
  return McuRows > 0 ? Share / McuRows * McuRows : 0;
}

bool WorthSplitting(const jpeg_decompress_struct& Info, bool MultiScan, bool Cmyk) {
  return !MultiScan && !Cmyk && std::thread::hardware_concurrency() >= 2 &&
         std::int64_t{Info.output_width} * Info.output_height >= MinSplitPixels && SplitRow(Info) > 0;
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
  const auto Fail = [](const Decompressor& D) { return PictureError(std::string("JPEG: ") + D.Err.Message); };
  Decompressor Upper;
  bool MultiScan = false;
  if (!Open(Upper, Data, MultiScan)) throw Fail(Upper);
  jpeg_decompress_struct& Info = Upper.Info;
  // Refuse oversized pictures from the header, before any pixel memory.
  CheckRasterSize(Info.image_width, Info.image_height);

  const bool Cmyk = Info.jpeg_color_space == JCS_CMYK || Info.jpeg_color_space == JCS_YCCK;
  const bool Inverted = Info.saw_Adobe_marker;
  // Grey and colour alike straight into 0xAARRGGBB memory order.
  const J_COLOR_SPACE Space =
      Cmyk ? JCS_CMYK : (std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB);
  const auto Eighths = static_cast<unsigned>(JpegScaleEighths(static_cast<std::int32_t>(Info.image_width),
                                                              static_cast<std::int32_t>(Info.image_height), Hints));
  if (!Start(Upper, Space, Eighths)) throw Fail(Upper);

  RasterImage Image = MakeRaster(Info.output_width, Info.output_height);
  Image.HasAlpha = false;
  std::vector<std::uint8_t> CmykRow(Cmyk ? std::size_t{Info.output_width} * 4 : 0);
  std::uint8_t* const CmykBuffer = Cmyk ? CmykRow.data() : nullptr;

  const auto DecodeInOnePass = [&] {
    if (!ReadRows(Upper, Image, Info.output_height, CmykBuffer, Inverted)) throw Fail(Upper);
    return MakeRasterPicture(std::move(Image));
  };
  if (!WorthSplitting(Info, MultiScan, Cmyk)) return DecodeInOnePass();

  const JDIMENSION First = SplitRow(Info);
  Decompressor Lower;
  bool LowerOk = false, UpperOk = false;
  {
    std::jthread Worker;
    try {
      Worker = std::jthread([&] {
        bool Ignored = false;
        LowerOk = Open(Lower, Data, Ignored) && Start(Lower, Space, Eighths) && SkipTo(Lower, First) &&
                  ReadRows(Lower, Image, Lower.Info.output_height, nullptr, false);
      });
    } catch (const std::system_error&) {
      return DecodeInOnePass();  // no thread to be had
    }
    UpperOk = ReadRows(Upper, Image, First, nullptr, false);
  }  // joins the worker
  if (!UpperOk) throw Fail(Upper);
  if (!LowerOk) throw Fail(Lower);
  return MakeRasterPicture(std::move(Image));
}

}  // namespace platform
