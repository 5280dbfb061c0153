#include "tests/Pictures/Encoders.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

namespace picturetest {

ByteVector WriteJpeg(int Width, int Height, int Components, const ByteVector& Samples, bool AdobeMarker,
                     bool Progressive) {
  jpeg_compress_struct Info;
  jpeg_error_mgr Err;
  Info.err = jpeg_std_error(&Err);
  jpeg_create_compress(&Info);
  unsigned char* Out = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Out, &Size);
  Info.image_width = static_cast<JDIMENSION>(Width);
  Info.image_height = static_cast<JDIMENSION>(Height);
  Info.input_components = Components;
  Info.in_color_space = Components == 1 ? JCS_GRAYSCALE : Components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, 95, TRUE);
  if (Components == 4) {
    jpeg_set_colorspace(&Info, JCS_CMYK);
    Info.write_Adobe_marker = AdobeMarker ? TRUE : FALSE;
  }
  if (Progressive) jpeg_simple_progression(&Info);
  jpeg_start_compress(&Info, TRUE);
  while (Info.next_scanline < Info.image_height) {
    JSAMPROW Row = const_cast<JSAMPROW>(Samples.data() + std::size_t{Info.next_scanline} * Width * Components);
    jpeg_write_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  ByteVector Result(Out, Out + Size);
  std::free(Out);
  return Result;
}

std::vector<std::uint32_t> DecodeJpegInOnePass(const ByteVector& Jpeg, int ScaleEighths, int& Width, int& Height) {
  jpeg_decompress_struct Info;
  jpeg_error_mgr Err;
  Info.err = jpeg_std_error(&Err);
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, Jpeg.data(), static_cast<unsigned long>(Jpeg.size()));
  jpeg_read_header(&Info, TRUE);
  Info.out_color_space = JCS_EXT_BGRA;
  Info.scale_num = static_cast<unsigned>(ScaleEighths);
  Info.scale_denom = 8;
  jpeg_start_decompress(&Info);
  Width = static_cast<int>(Info.output_width);
  Height = static_cast<int>(Info.output_height);
  std::vector<std::uint32_t> Pixels(std::size_t(Width) * Height);
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Row = reinterpret_cast<JSAMPROW>(Pixels.data() + std::size_t{Info.output_scanline} * Width);
    jpeg_read_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  return Pixels;
}

ByteVector WriteGradientJpeg(int Width, int Height, int Quality) {
  ByteVector Samples(std::size_t(Width) * Height * 3);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      std::uint8_t* P = &Samples[(std::size_t(Y) * Width + X) * 3];
      P[0] = static_cast<std::uint8_t>(X * 255 / Width);
      P[1] = static_cast<std::uint8_t>(Y * 255 / Height);
      P[2] = static_cast<std::uint8_t>((X + Y) & 0xFF);
    }
  jpeg_compress_struct Info;
  jpeg_error_mgr Err;
  Info.err = jpeg_std_error(&Err);
  jpeg_create_compress(&Info);
  unsigned char* Out = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Out, &Size);
  Info.image_width = static_cast<JDIMENSION>(Width);
  Info.image_height = static_cast<JDIMENSION>(Height);
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  jpeg_set_quality(&Info, Quality, TRUE);
  jpeg_start_compress(&Info, TRUE);
  while (Info.next_scanline < Info.image_height) {
    JSAMPROW Row = Samples.data() + std::size_t{Info.next_scanline} * Width * 3;
    jpeg_write_scanlines(&Info, &Row, 1);
  }
  jpeg_finish_compress(&Info);
  jpeg_destroy_compress(&Info);
  ByteVector Result(Out, Out + Size);
  std::free(Out);
  return Result;
}

namespace {
void PngWrite(png_structp Png, png_bytep Data, png_size_t Length) {
  auto* Out = static_cast<ByteVector*>(png_get_io_ptr(Png));
  Out->insert(Out->end(), Data, Data + Length);
}
void PngFlush(png_structp) {}
}  // namespace

ByteVector WritePng(const PngSpec& Spec) {
  ByteVector Out;
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) throw std::runtime_error("png write failed");
  png_set_write_fn(Png, &Out, PngWrite, PngFlush);
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(Spec.Width), static_cast<png_uint_32>(Spec.Height), Spec.Depth,
               Spec.ColorType, Spec.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> Palette;
  for (std::size_t I = 0; I + 2 < Spec.PaletteRgb.size(); I += 3)
    Palette.push_back(png_color{Spec.PaletteRgb[I], Spec.PaletteRgb[I + 1], Spec.PaletteRgb[I + 2]});
  if (!Palette.empty()) png_set_PLTE(Png, Info, Palette.data(), static_cast<int>(Palette.size()));
  png_color_16 Colour{};
  if (!Spec.Transparency.empty()) {
    if (Spec.ColorType == PNG_COLOR_TYPE_PALETTE) {
      png_set_tRNS(Png, Info, Spec.Transparency.data(), static_cast<int>(Spec.Transparency.size()), nullptr);
    } else {
      Colour.gray = Spec.Transparency[0];
      Colour.red = Spec.Transparency[0];
      Colour.green = Spec.Transparency.size() > 1 ? Spec.Transparency[1] : 0;
      Colour.blue = Spec.Transparency.size() > 2 ? Spec.Transparency[2] : 0;
      png_set_tRNS(Png, Info, nullptr, 0, &Colour);
    }
  }
  if (Spec.Filters != 0) png_set_filter(Png, PNG_FILTER_TYPE_BASE, Spec.Filters);
  png_write_info(Png, Info);
  const int Passes = png_set_interlace_handling(Png);
  for (int Pass = 0; Pass < Passes; ++Pass)
    for (const ByteVector& Row : Spec.Rows) png_write_row(Png, Row.data());
  png_write_end(Png, Info);
  png_destroy_write_struct(&Png, &Info);
  return Out;
}

ByteVector WriteTiffRgba(int Width, int Height, const ByteVector& Rgba, bool Associated) {
  char Name[] = "/tmp/lmo_pictures_tiff_XXXXXX";
  const int Fd = mkstemp(Name);
  if (Fd < 0) throw std::runtime_error("mkstemp");
  TIFF* Tiff = TIFFFdOpen(Fd, Name, "w");
  TIFFSetField(Tiff, TIFFTAG_IMAGEWIDTH, Width);
  TIFFSetField(Tiff, TIFFTAG_IMAGELENGTH, Height);
  TIFFSetField(Tiff, TIFFTAG_SAMPLESPERPIXEL, 4);
  TIFFSetField(Tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(Tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
  TIFFSetField(Tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(Tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
  std::uint16_t Extra = Associated ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA;
  TIFFSetField(Tiff, TIFFTAG_EXTRASAMPLES, 1, &Extra);
  for (int Y = 0; Y < Height; ++Y)
    TIFFWriteScanline(Tiff, const_cast<std::uint8_t*>(Rgba.data() + std::size_t(Y) * Width * 4), Y, 0);
  TIFFClose(Tiff);
  ByteVector Data = ReadFile(Name);
  std::remove(Name);
  return Data;
}

namespace {
int GifWrite(GifFileType* Gif, const GifByteType* Data, int Length) {
  auto* Out = static_cast<ByteVector*>(Gif->UserData);
  Out->insert(Out->end(), Data, Data + Length);
  return Length;
}
}  // namespace

ByteVector WriteGif(const GifSpec& Spec) {
  ByteVector Out;
  int Error = 0;
  GifFileType* Gif = EGifOpen(&Out, GifWrite, &Error);
  std::vector<GifColorType> Colours;
  for (std::uint32_t C : Spec.Palette)
    Colours.push_back(GifColorType{static_cast<GifByteType>(C >> 16), static_cast<GifByteType>(C >> 8),
                                   static_cast<GifByteType>(C)});
  int Size = 2;
  while (Size < static_cast<int>(Colours.size())) Size *= 2;
  Colours.resize(static_cast<std::size_t>(Size));
  ColorMapObject* Map = GifMakeMapObject(Size, Colours.data());
  EGifSetGifVersion(Gif, true);
  EGifPutScreenDesc(Gif, Spec.ScreenWidth, Spec.ScreenHeight, 8, 0, Map);
  if (Spec.Transparent >= 0) {
    GraphicsControlBlock Control{};
    Control.TransparentColor = Spec.Transparent;
    GifByteType Block[4];
    const std::size_t Length = EGifGCBToExtension(&Control, Block);
    EGifPutExtension(Gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(Length), Block);
  }
  EGifPutImageDesc(Gif, Spec.Left, Spec.Top, Spec.Width, Spec.Height, Spec.Interlaced, nullptr);
  auto Put = [&](int Y) {
    EGifPutLine(Gif, const_cast<GifPixelType*>(Spec.Indices.data() + std::size_t(Y) * Spec.Width), Spec.Width);
  };
  if (Spec.Interlaced) {
    static constexpr int Start[] = {0, 4, 2, 1}, Step[] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < 4; ++Pass)
      for (int Y = Start[Pass]; Y < Spec.Height; Y += Step[Pass]) Put(Y);
  } else {
    for (int Y = 0; Y < Spec.Height; ++Y) Put(Y);
  }
  EGifCloseFile(Gif, &Error);
  GifFreeMapObject(Map);
  return Out;
}

ByteVector ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  if (!In) throw std::runtime_error("cannot read " + Path);
  return ByteVector(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& Path, const ByteVector& Data) {
  std::ofstream Out(Path, std::ios::binary);
  Out.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
}

}  // namespace picturetest
