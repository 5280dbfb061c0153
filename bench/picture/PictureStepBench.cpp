// How long a large picture takes from its Step to the first frame of its
// transition on a 1920x1080 stage, next to libvips making the same
// 1920x1080 picture from the same file and to libjpeg-turbo decoding it at
// the scale the picture chooses; the decode alone, next to the same anchors;
// and how much memory a picture's step needs at its peak.
//   JPEG: 6000x4000, photo-like, quality 90.
//   PNG: 4000x3000 (12 MP) RGB.
// The inputs are written to a temporary folder at start and removed at exit.
#include <benchmark/benchmark.h>
#include <jpeglib.h>
#include <png.h>
#include <unistd.h>
#ifdef LMO_HAVE_VIPS
#include <vips/vips.h>
#endif

#include <malloc.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "Platform/Core/Clock.h"
#include "Platform/Pictures/Picture.h"
#include "SlideObjects/PVPPicture.h"
#include "SlideObjects/PlayerWindow.h"
#include "Transitions/AlphablendingTransition.h"

// ---- live heap bytes ---------------------------------------------------------
// Every allocation of the process goes through these wrappers around glibc's
// own allocator, so the benchmark knows how many bytes are in use and their
// high-water mark: the memory a step needs, without what the allocator keeps
// resident after a free.
extern "C" {
void* __libc_malloc(std::size_t Size);
void* __libc_calloc(std::size_t Count, std::size_t Size);
void* __libc_realloc(void* Old, std::size_t Size);
void __libc_free(void* Memory);
void* __libc_memalign(std::size_t Alignment, std::size_t Size);
}

namespace heap {
std::atomic<long long> Live{0};
std::atomic<long long> Peak{0};
void Add(void* Memory) {
  if (!Memory) return;
  const long long Now = Live.fetch_add(static_cast<long long>(malloc_usable_size(Memory))) +
                        static_cast<long long>(malloc_usable_size(Memory));
  long long Seen = Peak.load();
  while (Now > Seen && !Peak.compare_exchange_weak(Seen, Now)) {
  }
}
void Sub(void* Memory) {
  if (Memory) Live.fetch_sub(static_cast<long long>(malloc_usable_size(Memory)));
}
}  // namespace heap

extern "C" {
void* malloc(std::size_t Size) {
  void* P = __libc_malloc(Size);
  heap::Add(P);
  return P;
}
void* calloc(std::size_t Count, std::size_t Size) {
  void* P = __libc_calloc(Count, Size);
  heap::Add(P);
  return P;
}
void* realloc(void* Old, std::size_t Size) {
  const long long OldSize = Old ? static_cast<long long>(malloc_usable_size(Old)) : 0;
  void* P = __libc_realloc(Old, Size);
  if (P || Size == 0) heap::Live.fetch_sub(OldSize);
  heap::Add(P);
  return P;
}
void free(void* Memory) {
  heap::Sub(Memory);
  __libc_free(Memory);
}
void* memalign(std::size_t Alignment, std::size_t Size) {
  void* P = __libc_memalign(Alignment, Size);
  heap::Add(P);
  return P;
}
void* aligned_alloc(std::size_t Alignment, std::size_t Size) { return memalign(Alignment, Size); }
int posix_memalign(void** Out, std::size_t Alignment, std::size_t Size) {
  void* P = memalign(Alignment, Size);
  if (!P) return 12;  // ENOMEM
  *Out = P;
  return 0;
}
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int StageW = 1920, StageH = 1080;

// ---- inputs -----------------------------------------------------------------

std::vector<std::uint8_t> PhotoRgb(int Width, int Height) {
  std::vector<std::uint8_t> Rgb(std::size_t(Width) * Height * 3);
  std::mt19937 Noise(7);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      std::uint8_t* P = &Rgb[(std::size_t(Y) * Width + X) * 3];
      const int N = static_cast<int>(Noise() % 20);
      P[0] = static_cast<std::uint8_t>((X * 210 / Width + N) & 0xFF);
      P[1] = static_cast<std::uint8_t>((Y * 170 / Height + ((X / 41) % 6) * 8 + N) & 0xFF);
      P[2] = static_cast<std::uint8_t>(((X + 2 * Y) / 29 % 60) * 3 + N);
    }
  return Rgb;
}

struct FileCloser {
  void operator()(std::FILE* F) const { std::fclose(F); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void WriteJpegFile(const std::string& Path, int W, int H) {
  const auto Rgb = PhotoRgb(W, H);
  File Out(std::fopen(Path.c_str(), "wb"));
  if (!Out) throw std::runtime_error("cannot write " + Path);
  jpeg_compress_struct Info;
  jpeg_error_mgr Err;
  Info.err = jpeg_std_error(&Err);
  jpeg_create_compress(&Info);
  jpeg_stdio_dest(&Info, Out.get());
  Info.image_width = static_cast<JDIMENSION>(W);
  Info.image_height = static_cast<JDIMENSION>(H);
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
}

void WritePngFile(const std::string& Path, int W, int H) {
  const auto Rgb = PhotoRgb(W, H);
  File Out(std::fopen(Path.c_str(), "wb"));
  if (!Out) throw std::runtime_error("cannot write " + Path);
  png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) throw std::runtime_error("png");
  png_init_io(Png, Out.get());
  png_set_IHDR(Png, Info, static_cast<png_uint_32>(W), static_cast<png_uint_32>(H), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(Png, Info);
  for (int Y = 0; Y < H; ++Y) png_write_row(Png, Rgb.data() + std::size_t(Y) * W * 3);
  png_write_end(Png, Info);
  png_destroy_write_struct(&Png, &Info);
}

struct Inputs {
  std::string Folder, Jpeg, Png;
  Inputs() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "lmo-picture-bench-XXXXXX").string();
    if (!::mkdtemp(Pattern.data())) throw std::runtime_error("no temporary folder");
    Folder = Pattern;
    Jpeg = Folder + "/photo.jpg";
    Png = Folder + "/photo.png";
    WriteJpegFile(Jpeg, 6000, 4000);
    WritePngFile(Png, 4000, 3000);
  }
  ~Inputs() {
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
  }
};
std::optional<Inputs> TheInputs;

// ---- the stage --------------------------------------------------------------

// The window's front buffer; notes when the first frame arrives.
class FrameClock final : public TBitmap32 {
public:
  void Changed(const TRect& Area) override {
    if (!First) First = Clock::now();
    TBitmap32::Changed(Area);
  }
  std::optional<Clock::time_point> First;
};

class BenchWindow final : public PlayerWindow, public PlayerSurface {
public:
  BenchWindow() {
    Buffer_.Resize(StageW, StageH);
    Buffer_.FillArea(0, 0, StageW, StageH, 0xFF203040);
    Window_.Resize(StageW, StageH);
  }
  void InvalidateAll() override {}
  void InvalidateArea(const TRect&) override {}
  void FlushSurface() override {}
  PlayerSurface& PaintBox() override { return *this; }
  TSoundPlayer& SoundPlayer() override { throw std::logic_error("no sound"); }
  TMoviePanel& VideoPlayer() override { throw std::logic_error("no video"); }
  TRect GetClientRect() override { return Buffer_.FullRect(); }
  std::int32_t ClientWidth() override { return StageW; }
  std::int32_t ClientHeight() override { return StageH; }
  TBitmap32& Buffer() override { return Buffer_; }
  platform::Canvas* BufferCanvas() override { return nullptr; }
  void InvalidateRect(const TRect&) override {}
  platform::PaintDevice& WindowCanvas() override { return Window_; }
  FrameClock& Window() { return Window_; }

private:
  TBitmap32 Buffer_;
  FrameClock Window_;
};

// One picture shown full-stage with the cross-fade (which needs a source
// copy of the stage). Answers seconds from Step to the first frame; the
// transition's sleeps run on a virtual clock.
double StepToFirstFrame(BenchWindow& Stage, const std::string& Path) {
  platform::VirtualClock Virtual;
  platform::ScopedClock UseVirtual(Virtual);
  TPVPPicture P;
  P.FileName = Path;
  P.TransitionClass = TTPAlphablendingMMX::StaticClass();
  P.Start(&Stage);
  Stage.Window().First.reset();
  const auto Begin = Clock::now();
  P.Step();
  if (!Stage.Window().First || P.State != 2) throw std::runtime_error("the picture was not shown: " + Path);
  return std::chrono::duration<double>(*Stage.Window().First - Begin).count();
}

void PictureStepJpeg(benchmark::State& State) {
  BenchWindow Stage;
  for (auto _ : State) State.SetIterationTime(StepToFirstFrame(Stage, TheInputs->Jpeg));
}
BENCHMARK(PictureStepJpeg)->Unit(benchmark::kMillisecond)->UseManualTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();

void PictureStepPng(benchmark::State& State) {
  BenchWindow Stage;
  for (auto _ : State) State.SetIterationTime(StepToFirstFrame(Stage, TheInputs->Png));
}
BENCHMARK(PictureStepPng)->Unit(benchmark::kMillisecond)->UseManualTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();

// The decoding part of the picture's step alone (read and decode the file).
void DecodeForStage(benchmark::State& State, const std::string& Path) {
  for (auto _ : State) {
    auto Picture = platform::LoadPictureFile(Path, platform::DecodeHints{StageW, StageH});
    benchmark::DoNotOptimize(Picture.get());
  }
}
void DecodeJpegForStage(benchmark::State& State) { DecodeForStage(State, TheInputs->Jpeg); }
void DecodePngForStage(benchmark::State& State) { DecodeForStage(State, TheInputs->Png); }
BENCHMARK(DecodeJpegForStage)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(DecodePngForStage)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();

// libjpeg-turbo alone, reading the file, at the scale the picture's decoder
// chooses for the stage (into 32-bit pixels, as the decoder delivers them).
void LibjpegDecodeAtChosenScale(benchmark::State& State) {
  std::vector<std::uint8_t> Pixels;
  unsigned Width = 0, Height = 0;
  for (auto _ : State) {
    File In(std::fopen(TheInputs->Jpeg.c_str(), "rb"));
    jpeg_decompress_struct Info;
    jpeg_error_mgr Err;
    Info.err = jpeg_std_error(&Err);
    jpeg_create_decompress(&Info);
    jpeg_stdio_src(&Info, In.get());
    jpeg_read_header(&Info, TRUE);
    Info.out_color_space = JCS_EXT_BGRX;
    Info.scale_num = 3;  // 6000x4000 -> 2250x1500, the smallest eighth covering 1920x1080
    Info.scale_denom = 8;
    jpeg_start_decompress(&Info);
    Width = Info.output_width;
    Height = Info.output_height;
    const std::size_t Stride = std::size_t{Width} * 4;
    Pixels.resize(Stride * Height);
    while (Info.output_scanline < Info.output_height) {
      JSAMPROW Row = Pixels.data() + Stride * Info.output_scanline;
      jpeg_read_scanlines(&Info, &Row, 1);
    }
    jpeg_finish_decompress(&Info);
    jpeg_destroy_decompress(&Info);
    benchmark::DoNotOptimize(Pixels.data());
  }
  State.counters["width"] = Width;
  State.counters["height"] = Height;
}
BENCHMARK(LibjpegDecodeAtChosenScale)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();

#ifdef LMO_HAVE_VIPS
// libvips' thumbnail from the file, forced to exactly 1920x1080 (the picture
// is stretched the same way), written out to memory.
void VipsThumbnail(benchmark::State& State, const std::string& Path) {
  for (auto _ : State) {
    VipsImage* Out = nullptr;
    if (vips_thumbnail(Path.c_str(), &Out, StageW, "height", StageH, "size", VIPS_SIZE_FORCE, nullptr) != 0) {
      State.SkipWithError(vips_error_buffer());
      break;
    }
    std::size_t Size = 0;
    void* Pixels = vips_image_write_to_memory(Out, &Size);
    benchmark::DoNotOptimize(Pixels);
    if (vips_image_get_width(Out) != StageW || vips_image_get_height(Out) != StageH)
      State.SkipWithError("libvips made another size");
    g_free(Pixels);
    g_object_unref(Out);
  }
}
void VipsThumbnailJpeg(benchmark::State& State) { VipsThumbnail(State, TheInputs->Jpeg); }
void VipsThumbnailPng(benchmark::State& State) { VipsThumbnail(State, TheInputs->Png); }
BENCHMARK(VipsThumbnailJpeg)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();
BENCHMARK(VipsThumbnailPng)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();

// libvips decoding the whole PNG, the part of its thumbnail that the PNG's
// decode for the stage does.
void VipsPngDecode(benchmark::State& State) {
  for (auto _ : State) {
    VipsImage* Image = vips_image_new_from_file(TheInputs->Png.c_str(), "access", VIPS_ACCESS_SEQUENTIAL, nullptr);
    if (Image == nullptr) {
      State.SkipWithError(vips_error_buffer());
      break;
    }
    std::size_t Size = 0;
    void* Pixels = vips_image_write_to_memory(Image, &Size);
    benchmark::DoNotOptimize(Pixels);
    g_free(Pixels);
    g_object_unref(Image);
  }
}
BENCHMARK(VipsPngDecode)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Repetitions(7)->ReportAggregatesOnly();
#endif

// ---- peak memory --------------------------------------------------------------

long StatusKiB(const char* Field) {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  const std::string Key = std::string(Field) + ":";
  while (std::getline(Status, Line))
    if (Line.rfind(Key, 0) == 0) return std::strtol(Line.c_str() + Key.size(), nullptr, 10);
  return -1;
}

struct StepMemory {
  double HeapMiB;      // bytes in use at the peak, above those before the step
  double ResidentMiB;  // resident memory at the peak, above that before the step
};

// The high-water marks are reset before the step (the heap's by hand, the
// resident one through clear_refs 5) and read after it.
StepMemory PeakOfStep(BenchWindow& Stage, const std::string& Path) {
  { std::ofstream("/proc/self/clear_refs") << "5"; }
  const long Resident = StatusKiB("VmRSS");
  const long long Heap = heap::Live.load();
  heap::Peak.store(Heap);
  StepToFirstFrame(Stage, Path);
  return StepMemory{(heap::Peak.load() - Heap) / 1048576.0, (StatusKiB("VmHWM") - Resident) / 1024.0};
}

void ReportPeakMemory() {
  BenchWindow Stage;
  const double Bitmap = StageW * StageH * 4 / 1048576.0;
  struct Case {
    const char* Name;
    const std::string& Path;
  };
  for (const Case& C : {Case{"JPEG 6000x4000", TheInputs->Jpeg}, Case{"PNG 4000x3000", TheInputs->Png}}) {
    std::int32_t W = 0, H = 0;
    {
      const auto Decoded = platform::LoadPictureFile(C.Path, platform::DecodeHints{StageW, StageH});
      W = Decoded->Width();
      H = Decoded->Height();
    }
    const double PictureMiB = double(W) * H * 4 / 1048576.0;
    const double FileMiB = std::filesystem::file_size(C.Path) / 1048576.0;
    const double Budget = PictureMiB + 2 * Bitmap;
    const StepMemory Peak = PeakOfStep(Stage, C.Path);
    std::printf("%s: file %.1f MiB, decoded %dx%d = %.1f MiB; budget picture + target + source = %.1f MiB; "
                "peak in use during the step %.1f MiB (%.2f of the budget), resident %.1f MiB (%.2f)\n",
                C.Name, FileMiB, W, H, PictureMiB, Budget, Peak.HeapMiB, Peak.HeapMiB / Budget, Peak.ResidentMiB,
                Peak.ResidentMiB / Budget);
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef LMO_HAVE_VIPS
  if (VIPS_INIT(argv[0]) != 0) return 1;
  vips_cache_set_max(0);  // every iteration decodes afresh
#endif
  TheInputs.emplace();
  // Memory first, while no bitmap has been pooled yet.
  ReportPeakMemory();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TheInputs.reset();
#ifdef LMO_HAVE_VIPS
  vips_shutdown();
#endif
  return 0;
}
