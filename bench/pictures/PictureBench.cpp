// Decode speed of large pictures, next to libjpeg-turbo alone and libvips.
//   JPEG: 6000x4000, to be drawn on a 1920x1080 stage (DCT scale 3/8).
//   PNG: 4000x3000 (12 MP) RGB.
// The inputs are generated on first use; nothing large is stored. The CPU
// column is the whole process (libvips works on several threads), which is
// the fairer figure on a busy machine.
#include "Platform/Pictures/DecoderSupport.h"
#include "Platform/Pictures/Picture.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>
#include <png.h>
#ifdef LMO_HAVE_VIPS
#include <vips/vips.h>
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

// A photo-like picture: smooth gradients plus fine noise, so neither codec
// has an easy time.
std::vector<std::uint8_t> PhotoRgb(int Width, int Height) {
  std::vector<std::uint8_t> Rgb(std::size_t(Width) * Height * 3);
  std::mt19937 Noise(42);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      std::uint8_t* P = &Rgb[(std::size_t(Y) * Width + X) * 3];
      const int N = static_cast<int>(Noise() % 24);
      P[0] = static_cast<std::uint8_t>((X * 200 / Width + N) & 0xFF);
      P[1] = static_cast<std::uint8_t>((Y * 180 / Height + ((X / 37) % 5) * 9 + N) & 0xFF);
      P[2] = static_cast<std::uint8_t>(((X + Y) / 23 % 64) * 3 + N);
    }
  return Rgb;
}

const Bytes& BigJpeg() {
  static const Bytes Data = [] {
    const int W = 6000, H = 4000;
    const auto Rgb = PhotoRgb(W, H);
    jpeg_compress_struct Info;
    jpeg_error_mgr Err;
    Info.err = jpeg_std_error(&Err);
    jpeg_create_compress(&Info);
    unsigned char* Out = nullptr;
    unsigned long Size = 0;
    jpeg_mem_dest(&Info, &Out, &Size);
    Info.image_width = W;
    Info.image_height = H;
    Info.input_components = 3;
    Info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&Info);
    jpeg_set_quality(&Info, 90, TRUE);
    jpeg_start_compress(&Info, TRUE);
    while (Info.next_scanline < Info.image_height) {
      JSAMPROW Row = const_cast<JSAMPROW>(Rgb.data() + std::size_t{Info.next_scanline} * W * 3);
      jpeg_write_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_compress(&Info);
    jpeg_destroy_compress(&Info);
    Bytes Result(Out, Out + Size);
    std::free(Out);
    return Result;
  }();
  return Data;
}

void AppendPng(png_structp Png, png_bytep Data, png_size_t Length) {
  auto* Out = static_cast<Bytes*>(png_get_io_ptr(Png));
  Out->insert(Out->end(), Data, Data + Length);
}

const Bytes& BigPng() {
  static const Bytes Data = [] {
    const int W = 4000, H = 3000;
    const auto Rgb = PhotoRgb(W, H);
    Bytes Out;
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop Info = png_create_info_struct(Png);
    if (setjmp(png_jmpbuf(Png))) throw std::runtime_error("png");
    png_set_write_fn(Png, &Out, AppendPng, nullptr);
    png_set_IHDR(Png, Info, W, H, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(Png, Info);
    for (int Y = 0; Y < H; ++Y) png_write_row(Png, Rgb.data() + std::size_t(Y) * W * 3);
    png_write_end(Png, Info);
    png_destroy_write_struct(&Png, &Info);
    return Out;
  }();
  return Data;
}

constexpr int StageW = 1920, StageH = 1080;

void OurJpegForStage(benchmark::State& State) {
  const Bytes& Data = BigJpeg();
  for (auto _ : State) {
    auto Pic = platform::DecodePicture("jpg", Data, platform::DecodeHints{StageW, StageH});
    benchmark::DoNotOptimize(Pic->Raster()->Pixels.data());
  }
  auto Pic = platform::DecodePicture("jpg", Data, platform::DecodeHints{StageW, StageH});
  State.counters["width"] = Pic->Width();
  State.counters["height"] = Pic->Height();
}
BENCHMARK(OurJpegForStage)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// libjpeg-turbo alone, default settings, at the scale our decoder chooses.
void LibjpegAtChosenScale(benchmark::State& State) {
  const Bytes& Data = BigJpeg();
  const int Eighths = platform::JpegScaleEighths(6000, 4000, platform::DecodeHints{StageW, StageH});
  std::vector<std::uint8_t> Out;
  for (auto _ : State) {
    jpeg_decompress_struct Info;
    jpeg_error_mgr Err;
    Info.err = jpeg_std_error(&Err);
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, Data.data(), Data.size());
    jpeg_read_header(&Info, TRUE);
    Info.scale_num = static_cast<unsigned>(Eighths);
    Info.scale_denom = 8;
    jpeg_start_decompress(&Info);
    const std::size_t Stride = std::size_t{Info.output_width} * Info.output_components;
    Out.resize(Stride * Info.output_height);
    while (Info.output_scanline < Info.output_height) {
      JSAMPROW Row = Out.data() + Stride * Info.output_scanline;
      jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    benchmark::DoNotOptimize(Out.data());
  }
}
BENCHMARK(LibjpegAtChosenScale)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

void OurPng12MP(benchmark::State& State) {
  const Bytes& Data = BigPng();
  for (auto _ : State) {
    auto Pic = platform::DecodePicture("png", Data);
    benchmark::DoNotOptimize(Pic->Raster()->Pixels.data());
  }
  State.counters["bytes"] = static_cast<double>(Data.size());
}
BENCHMARK(OurPng12MP)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

#ifdef LMO_HAVE_VIPS
// libvips' thumbnail to the stage size, from the same bytes, in-process.
void VipsThumbnail(benchmark::State& State, const Bytes& Data, bool IsPng) {
  for (auto _ : State) {
    VipsImage* Out = nullptr;
    if (vips_thumbnail_buffer(const_cast<std::uint8_t*>(Data.data()), Data.size(), &Out, StageW, "height", StageH,
                              nullptr) != 0)
      State.SkipWithError(vips_error_buffer());
    std::size_t Size = 0;
    void* Pixels = vips_image_write_to_memory(Out, &Size);
    benchmark::DoNotOptimize(Pixels);
    g_free(Pixels);
    g_object_unref(Out);
  }
  (void)IsPng;
}
void VipsJpegThumbnail(benchmark::State& State) { VipsThumbnail(State, BigJpeg(), false); }
void VipsPngThumbnail(benchmark::State& State) { VipsThumbnail(State, BigPng(), true); }
BENCHMARK(VipsJpegThumbnail)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(VipsPngThumbnail)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

// libvips decoding the whole PNG, the part of its thumbnail our decoder does.
void VipsPngDecode(benchmark::State& State) {
  const Bytes& Data = BigPng();
  for (auto _ : State) {
    VipsImage* Image = vips_image_new_from_buffer(Data.data(), Data.size(), "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                  nullptr);
    if (Image == nullptr) State.SkipWithError(vips_error_buffer());
    std::size_t Size = 0;
    void* Pixels = vips_image_write_to_memory(Image, &Size);
    benchmark::DoNotOptimize(Pixels);
    g_free(Pixels);
    g_object_unref(Image);
  }
}
BENCHMARK(VipsPngDecode)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef LMO_HAVE_VIPS
  if (VIPS_INIT(argv[0]) != 0) return 1;
  vips_cache_set_max(0);  // every iteration decodes afresh
#endif
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
