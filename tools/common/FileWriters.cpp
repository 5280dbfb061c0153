#include "tools/common/FileWriters.h"

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <memory>
#include <stdexcept>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

namespace datagen {
namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

FilePtr OpenForWriting(const std::string& path) {
  FilePtr file(std::fopen(path.c_str(), "wb"));
  if (!file) throw std::runtime_error("cannot create " + path);
  return file;
}

void CheckSize(int width, int height, std::size_t bytes, int channels, const std::string& path) {
  if (width <= 0 || height <= 0 ||
      bytes != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * channels)
    throw std::runtime_error("picture size does not match its pixels: " + path);
}

// libjpeg reports fatal errors through error_exit, which must not return.
// Throwing from it unwinds through libjpeg's C frames; those hold no
// resources of their own, and the compressor is destroyed by our guard.
[[noreturn]] void ThrowJpegError(j_common_ptr info) {
  char message[JMSG_LENGTH_MAX];
  (*info->err->format_message)(info, message);
  throw std::runtime_error(std::string("libjpeg: ") + message);
}

struct JpegCompressor {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  JpegCompressor() {
    info.err = jpeg_std_error(&errors);
    errors.error_exit = ThrowJpegError;
    jpeg_create_compress(&info);
  }
  ~JpegCompressor() { jpeg_destroy_compress(&info); }
  JpegCompressor(const JpegCompressor&) = delete;
  JpegCompressor& operator=(const JpegCompressor&) = delete;
};

void WriteJpeg(const std::string& path, int width, int height, int channels,
               const std::vector<std::uint8_t>& pixels, int quality) {
  CheckSize(width, height, pixels.size(), channels, path);
  FilePtr file = OpenForWriting(path);
  JpegCompressor jpeg;
  jpeg_stdio_dest(&jpeg.info, file.get());
  jpeg.info.image_width = static_cast<JDIMENSION>(width);
  jpeg.info.image_height = static_cast<JDIMENSION>(height);
  jpeg.info.input_components = channels;
  jpeg.info.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&jpeg.info);
  jpeg_set_quality(&jpeg.info, quality, TRUE);
  jpeg.info.optimize_coding = TRUE;
  jpeg_start_compress(&jpeg.info, TRUE);
  const std::size_t stride = static_cast<std::size_t>(width) * channels;
  while (jpeg.info.next_scanline < jpeg.info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.data() + jpeg.info.next_scanline * stride);
    jpeg_write_scanlines(&jpeg.info, &row, 1);
  }
  jpeg_finish_compress(&jpeg.info);
  if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path);
}

[[noreturn]] void ThrowPngError(png_structp, png_const_charp message) {
  throw std::runtime_error(std::string("libpng: ") + message);
}

void WritePngPixels(const std::string& path, int width, int height, int channels,
                    const std::vector<std::uint8_t>& pixels) {
  CheckSize(width, height, pixels.size(), channels, path);
  FilePtr file = OpenForWriting(path);
  struct PngWriter {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngWriter() { png_destroy_write_struct(&png, &info); }
  } writer;
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, ThrowPngError, nullptr);
  if (!writer.png) throw std::runtime_error("libpng: out of memory");
  writer.info = png_create_info_struct(writer.png);
  if (!writer.info) throw std::runtime_error("libpng: out of memory");
  png_init_io(writer.png, file.get());
  // The smallest file: every row filter tried, strongest deflate.
  png_set_compression_level(writer.png, 9);
  png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               channels == 1 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(writer.png, writer.info);
  const std::size_t stride = static_cast<std::size_t>(width) * channels;
  for (int y = 0; y < height; ++y)
    png_write_row(writer.png, pixels.data() + static_cast<std::size_t>(y) * stride);
  png_write_end(writer.png, writer.info);
  if (std::fflush(file.get()) != 0) throw std::runtime_error("cannot write " + path);
}

// A picture reduced to a palette of at most 256 colours.
struct IndexedImage {
  std::vector<GifColorType> palette;
  std::vector<std::uint8_t> indices;
};

// Exact palette when the picture has at most 256 colours. Otherwise the
// 256 most frequent colours become the palette and every other colour takes
// its nearest entry: flat illustrations keep their fills exactly, and
// anti-aliased edges and gentle gradients snap to neighbouring shades.
IndexedImage ToIndexed(const RgbImage& image) {
  const std::size_t count = static_cast<std::size_t>(image.width) * image.height;
  auto key = [&](std::size_t i) {
    const std::uint8_t* p = &image.pixels[i * 3];
    return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
  };
  std::unordered_map<std::uint32_t, std::size_t> histogram;
  for (std::size_t i = 0; i < count; ++i) ++histogram[key(i)];

  std::vector<std::pair<std::uint32_t, std::size_t>> byFrequency(histogram.begin(), histogram.end());
  std::sort(byFrequency.begin(), byFrequency.end(), [](const auto& a, const auto& b) {
    return a.second != b.second ? a.second > b.second : a.first < b.first;
  });
  if (byFrequency.size() > 256) byFrequency.resize(256);

  IndexedImage result;
  for (const auto& [rgb, uses] : byFrequency)
    result.palette.push_back(GifColorType{static_cast<GifByteType>(rgb >> 16),
                                          static_cast<GifByteType>(rgb >> 8), static_cast<GifByteType>(rgb)});
  std::unordered_map<std::uint32_t, std::uint8_t> nearest;
  for (const auto& [rgb, uses] : histogram) {
    const int r = static_cast<int>(rgb >> 16), g = static_cast<int>((rgb >> 8) & 255), b = static_cast<int>(rgb & 255);
    int best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < result.palette.size(); ++i) {
      const GifColorType& c = result.palette[i];
      const long dr = r - c.Red, dg = g - c.Green, db = b - c.Blue;
      const long distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;  // green weighs most to the eye
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<int>(i);
      }
    }
    nearest[rgb] = static_cast<std::uint8_t>(best);
  }
  result.indices.resize(count);
  for (std::size_t i = 0; i < count; ++i) result.indices[i] = nearest[key(i)];
  return result;
}

void PutLe16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void PutLe32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  PutLe16(out, value & 0xFFFF);
  PutLe16(out, value >> 16);
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  FilePtr file = OpenForWriting(path);
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
      std::fflush(file.get()) != 0)
    throw std::runtime_error("cannot write " + path);
}

// One BMP RLE8 row: runs of one index as (count, index); stretches without
// repeats as absolute blocks (0, count, indices..., padded to an even length).
void EncodeRle8Row(const std::uint8_t* row, int width, std::vector<std::uint8_t>& out) {
  int x = 0;
  while (x < width) {
    int run = 1;
    while (x + run < width && run < 255 && row[x + run] == row[x]) ++run;
    if (run >= 2) {
      out.push_back(static_cast<std::uint8_t>(run));
      out.push_back(row[x]);
      x += run;
      continue;
    }
    // Collect literals until the next run of at least two.
    int literal = 1;
    while (x + literal < width && literal < 255 &&
           !(x + literal + 1 < width && row[x + literal] == row[x + literal + 1]))
      ++literal;
    if (literal < 3) {  // absolute mode needs at least three indices
      for (int i = 0; i < literal; ++i) {
        out.push_back(1);
        out.push_back(row[x + i]);
      }
    } else {
      out.push_back(0);
      out.push_back(static_cast<std::uint8_t>(literal));
      out.insert(out.end(), row + x, row + x + literal);
      if (literal % 2 != 0) out.push_back(0);
    }
    x += literal;
  }
  out.push_back(0);  // end of line
  out.push_back(0);
}

}  // namespace

void WriteGreyJpeg(const std::string& path, const GreyImage& image, int quality) {
  WriteJpeg(path, image.width, image.height, 1, image.pixels, quality);
}

void WriteRgbJpeg(const std::string& path, const RgbImage& image, int quality) {
  WriteJpeg(path, image.width, image.height, 3, image.pixels, quality);
}

void WritePng(const std::string& path, const RgbImage& image) {
  WritePngPixels(path, image.width, image.height, 3, image.pixels);
}

void WriteGreyPng(const std::string& path, const GreyImage& image) {
  WritePngPixels(path, image.width, image.height, 1, image.pixels);
}

void WriteBmpRle8(const std::string& path, const RgbImage& image) {
  CheckSize(image.width, image.height, image.pixels.size(), 3, path);
  const IndexedImage indexed = ToIndexed(image);
  std::vector<std::uint8_t> data;
  for (int y = image.height - 1; y >= 0; --y)  // BMP rows run bottom-up
    EncodeRle8Row(&indexed.indices[static_cast<std::size_t>(y) * image.width], image.width, data);
  data.push_back(0);  // end of bitmap
  data.push_back(1);

  const std::uint32_t paletteBytes = 256 * 4;
  const std::uint32_t offset = 14 + 40 + paletteBytes;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe32(out, offset + static_cast<std::uint32_t>(data.size()));
  PutLe32(out, 0);
  PutLe32(out, offset);
  PutLe32(out, 40);  // BITMAPINFOHEADER
  PutLe32(out, static_cast<std::uint32_t>(image.width));
  PutLe32(out, static_cast<std::uint32_t>(image.height));
  PutLe16(out, 1);   // planes
  PutLe16(out, 8);   // bits per pixel
  PutLe32(out, 1);   // BI_RLE8
  PutLe32(out, static_cast<std::uint32_t>(data.size()));
  PutLe32(out, 3780);  // 96 dpi
  PutLe32(out, 3780);
  PutLe32(out, static_cast<std::uint32_t>(indexed.palette.size()));
  PutLe32(out, 0);
  for (std::size_t i = 0; i < 256; ++i) {
    const GifColorType c = i < indexed.palette.size() ? indexed.palette[i] : GifColorType{0, 0, 0};
    out.push_back(c.Blue);
    out.push_back(c.Green);
    out.push_back(c.Red);
    out.push_back(0);
  }
  out.insert(out.end(), data.begin(), data.end());
  WriteBytes(path, out);
}

void WriteGif(const std::string& path, const RgbImage& image) {
  CheckSize(image.width, image.height, image.pixels.size(), 3, path);
  IndexedImage indexed = ToIndexed(image);
  indexed.palette.resize(256, GifColorType{0, 0, 0});  // giflib wants a power of two

  struct MapFree {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
  };
  std::unique_ptr<ColorMapObject, MapFree> map(GifMakeMapObject(256, indexed.palette.data()));
  if (!map) throw std::runtime_error("giflib: out of memory");

  struct GifClose {
    void operator()(GifFileType* gif) const { EGifCloseFile(gif, nullptr); }
  };
  int error = 0;
  std::unique_ptr<GifFileType, GifClose> gif(EGifOpenFileName(path.c_str(), false, &error));
  if (!gif) throw std::runtime_error("giflib: cannot create " + path);
  if (EGifPutScreenDesc(gif.get(), image.width, image.height, 8, 0, map.get()) != GIF_OK ||
      EGifPutImageDesc(gif.get(), 0, 0, image.width, image.height, false, nullptr) != GIF_OK)
    throw std::runtime_error("giflib: cannot write " + path);
  for (int y = 0; y < image.height; ++y) {
    if (EGifPutLine(gif.get(), &indexed.indices[static_cast<std::size_t>(y) * image.width],
                    image.width) != GIF_OK)
      throw std::runtime_error("giflib: cannot write " + path);
  }
  GifFileType* raw = gif.release();
  if (EGifCloseFile(raw, &error) != GIF_OK) throw std::runtime_error("giflib: cannot finish " + path);
  // giflib creates its files readable by the owner only.
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
}

void WriteTiff(const std::string& path, const RgbImage& image) {
  CheckSize(image.width, image.height, image.pixels.size(), 3, path);
  struct TiffClose {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
  };
  std::unique_ptr<TIFF, TiffClose> tiff(TIFFOpen(path.c_str(), "w"));
  if (!tiff) throw std::runtime_error("libtiff: cannot create " + path);
  TIFF* t = tiff.get();
  TIFFSetField(t, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(image.width));
  TIFFSetField(t, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(image.height));
  TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
  TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(t, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
  TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  TIFFSetField(t, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
  TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(t, 0));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(image.width) * 3);
  for (int y = 0; y < image.height; ++y) {
    // libtiff's predictor works in place, so each row goes through a copy.
    std::memcpy(row.data(), &image.pixels[static_cast<std::size_t>(y) * row.size()], row.size());
    if (TIFFWriteScanline(t, row.data(), static_cast<std::uint32_t>(y), 0) < 0)
      throw std::runtime_error("libtiff: cannot write " + path);
  }
  TIFF* raw = tiff.release();
  if (!TIFFFlush(raw)) {
    TIFFClose(raw);
    throw std::runtime_error("libtiff: cannot finish " + path);
  }
  TIFFClose(raw);
}

void WriteWav16Mono(const std::string& path, const std::vector<float>& samples, int sampleRate) {
  const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
  std::vector<std::uint8_t> out;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  PutLe32(out, 36 + dataBytes);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  PutLe32(out, 16);
  PutLe16(out, 1);  // PCM
  PutLe16(out, 1);  // mono
  PutLe32(out, static_cast<std::uint32_t>(sampleRate));
  PutLe32(out, static_cast<std::uint32_t>(sampleRate) * 2);
  PutLe16(out, 2);   // block align
  PutLe16(out, 16);  // bits per sample
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  PutLe32(out, dataBytes);
  for (float s : samples) {
    const float clipped = std::clamp(s, -1.0f, 1.0f);
    const auto value = static_cast<std::int16_t>(std::lround(clipped * 32767.0f));
    PutLe16(out, static_cast<std::uint16_t>(value));
  }
  WriteBytes(path, out);
}

}  // namespace datagen
