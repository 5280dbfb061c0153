// Speed of the pixel paths the shows depend on, each next to its anchor:
//  - the cross-fade step (copy of the target, blend of the source over it
//    with a master alpha, copy of the frame to the device) next to memcpy of
//    the same bytes and next to pixman's OVER with a constant mask;
//  - bilinear reduction of a large picture next to pixman's bilinear transform;
//  - a word-wrapped paragraph next to Pango's own redraw of a reused layout.
// Frame buffers are allocated and touched once before timing.
#include <benchmark/benchmark.h>
#include <pango/pangocairo.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "Platform/Canvas/PixelBands.h"
#include "Platform/Core/Cp1252.h"

namespace {

void Randomise(TBitmap32& B, std::uint32_t Seed, bool Opaque) {
  std::mt19937 Gen(Seed);
  TColor32* P = B.Bits();
  for (std::size_t I = 0, N = static_cast<std::size_t>(B.Width()) * B.Height(); I < N; ++I)
    P[I] = Opaque ? (Gen() | 0xFF000000u) : Gen();
}

struct Frames {
  Frames(std::int32_t W, std::int32_t H) {
    for (TBitmap32* B : {&Target, &Source, &Work, &Device}) B->Resize(W, H);
    Randomise(Target, 1, true);
    Randomise(Source, 2, true);
    Randomise(Work, 3, true);
    Randomise(Device, 4, true);
    Source.SetDrawMode(dmBlend);
    Source.SetMasterAlpha(127);
  }
  TBitmap32 Target, Source, Work, Device;
};

Frames& FramesFor(std::int32_t W, std::int32_t H) {
  if (W == 1920 && H == 1080) {
    static Frames Hd(1920, 1080);
    return Hd;
  }
  static Frames Uhd(3840, 2160);
  return Uhd;
}

void SetBytes(benchmark::State& State, std::int64_t Bytes) { State.SetBytesProcessed(State.iterations() * Bytes); }

// ---- cross-fade ------------------------------------------------------------

void BM_CrossFadeStep(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  platform::SetParallelPixelPasses(State.range(2) != 0);
  for (auto _ : State) {
    F.Work.Assign(F.Target);
    F.Source.DrawOnto(&F.Work, 0, 0);
    F.Work.PaintToDevice(F.Device, 0, 0);
    benchmark::ClobberMemory();
  }
  platform::SetParallelPixelPasses(true);
}

void BM_CrossFadeStepFused(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  platform::SetParallelPixelPasses(State.range(2) != 0);
  for (auto _ : State) {
    F.Work.AssignBlended(F.Target, F.Source);
    F.Work.PaintToDevice(F.Device, 0, 0);
    benchmark::ClobberMemory();
  }
  platform::SetParallelPixelPasses(true);
}

void BM_BlendPass(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  platform::SetParallelPixelPasses(State.range(2) != 0);
  for (auto _ : State) {
    F.Source.DrawOnto(&F.Work, 0, 0);
    benchmark::ClobberMemory();
  }
  platform::SetParallelPixelPasses(true);
}

void BM_Memcpy3Frames(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  const std::size_t Bytes = static_cast<std::size_t>(F.Target.Width()) * F.Target.Height() * 4;
  for (auto _ : State) {
    std::memcpy(F.Work.Bits(), F.Target.Bits(), Bytes);
    std::memcpy(F.Device.Bits(), F.Source.Bits(), Bytes);
    std::memcpy(F.Work.Bits(), F.Device.Bits(), Bytes);
    benchmark::ClobberMemory();
  }
  SetBytes(State, 3 * static_cast<std::int64_t>(Bytes));
}

struct PixmanImage {
  pixman_image_t* Image;
  explicit PixmanImage(pixman_image_t* I) : Image(I) {}
  ~PixmanImage() { pixman_image_unref(Image); }
};

PixmanImage Wrap(TBitmap32& B) {
  return PixmanImage(pixman_image_create_bits(PIXMAN_a8r8g8b8, B.Width(), B.Height(), B.Bits(), B.Width() * 4));
}

void BM_PixmanOverConstMask(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  PixmanImage Src = Wrap(F.Source), Dst = Wrap(F.Work);
  const pixman_color_t Alpha{0, 0, 0, 127 * 257};
  PixmanImage Mask(pixman_image_create_solid_fill(&Alpha));
  for (auto _ : State) {
    pixman_image_composite32(PIXMAN_OP_OVER, Src.Image, Mask.Image, Dst.Image, 0, 0, 0, 0, 0, 0, F.Work.Width(),
                             F.Work.Height());
    benchmark::ClobberMemory();
  }
}

void BM_PixmanCrossFadeStep(benchmark::State& State) {
  Frames& F = FramesFor(static_cast<std::int32_t>(State.range(0)), static_cast<std::int32_t>(State.range(1)));
  PixmanImage Src = Wrap(F.Source), Tgt = Wrap(F.Target), Work = Wrap(F.Work), Dev = Wrap(F.Device);
  const pixman_color_t Alpha{0, 0, 0, 127 * 257};
  PixmanImage Mask(pixman_image_create_solid_fill(&Alpha));
  const int W = F.Work.Width(), H = F.Work.Height();
  for (auto _ : State) {
    pixman_image_composite32(PIXMAN_OP_SRC, Tgt.Image, nullptr, Work.Image, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_composite32(PIXMAN_OP_OVER, Src.Image, Mask.Image, Work.Image, 0, 0, 0, 0, 0, 0, W, H);
    pixman_image_composite32(PIXMAN_OP_SRC, Work.Image, nullptr, Dev.Image, 0, 0, 0, 0, 0, 0, W, H);
    benchmark::ClobberMemory();
  }
}

// ---- bilinear reduction ------------------------------------------------------

TBitmap32& LargePicture() {
  static TBitmap32 B;
  if (B.Empty()) {
    B.Resize(6000, 4000);
    Randomise(B, 9, true);
    SetResamplerKind(B, 2);
  }
  return B;
}

void BM_StretchBilinear(benchmark::State& State) {
  TBitmap32& Src = LargePicture();
  TBitmap32& Dst = FramesFor(1920, 1080).Work;
  platform::SetParallelPixelPasses(State.range(0) != 0);
  for (auto _ : State) {
    Src.DrawOnto(&Dst, Dst.FullRect());
    benchmark::ClobberMemory();
  }
  platform::SetParallelPixelPasses(true);
}

void BM_PixmanStretchBilinear(benchmark::State& State) {
  TBitmap32& SrcB = LargePicture();
  TBitmap32& DstB = FramesFor(1920, 1080).Work;
  PixmanImage Src = Wrap(SrcB), Dst = Wrap(DstB);
  pixman_transform_t T;
  pixman_transform_init_scale(&T, pixman_double_to_fixed(6000.0 / 1920.0), pixman_double_to_fixed(4000.0 / 1080.0));
  pixman_image_set_transform(Src.Image, &T);
  pixman_image_set_filter(Src.Image, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  pixman_image_set_repeat(Src.Image, PIXMAN_REPEAT_PAD);
  for (auto _ : State) {
    pixman_image_composite32(PIXMAN_OP_SRC, Src.Image, nullptr, Dst.Image, 0, 0, 0, 0, 0, 0, 1920, 1080);
    benchmark::ClobberMemory();
  }
}

// ---- text ------------------------------------------------------------------

// About 2000 characters of German prose in Windows-1252.
std::string Paragraph() {
  const std::string Sentence =
      "Am fr\xFChen Morgen zogen die Nebelschwaden \xFC" "ber den stillen See, w\xE4hrend die Fischer ihre "
      "Boote zum Ufer schoben und sich \xFC" "ber das Wetter, die F\xE4nge und die Gr\xF6\xDF" "e der Hechte "
      "unterhielten. ";
  std::string Text;
  while (Text.size() < 2000) Text += Sentence;
  Text.resize(2000);
  return Text;
}

struct TextTarget {
  TextTarget() : Pixels(1600 * 900, 0xFF000000u) {}
  std::vector<TColor32> Pixels;
  platform::PixelView View() { return platform::PixelView{Pixels.data(), 1600, 900, 1600}; }
};

void BM_DrawTextParagraph(benchmark::State& State) {
  TextTarget T;
  platform::Canvas C(T.View());
  C.Font.SetName("Arial");
  C.Font.SetHeight(-40);
  C.Font.SetColor(0x00FFFFFF);
  C.Brush.Style = platform::BrushStyle::Clear;
  const std::string Text = Paragraph();
  std::string Varied = Text;
  std::int64_t Step = 0;
  for (auto _ : State) {
    TRect R = Rect(0, 0, 1600, 900);
    if (State.range(0)) {
      // A new text every time (a typewriter step): no layout to reuse.
      Varied[Varied.size() - 1 - (Step % 7)] = static_cast<char>('a' + (Step % 26));
      ++Step;
      C.DrawText(Varied, R, 0x810);
    } else {
      C.DrawText(Text, R, 0x810);
    }
  }
}

void BM_PangoRedrawReusedLayout(benchmark::State& State) {
  TextTarget T;
  cairo_surface_t* S = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(T.Pixels.data()),
                                                           CAIRO_FORMAT_ARGB32, 1600, 900, 1600 * 4);
  cairo_t* Cr = cairo_create(S);
  PangoLayout* L = pango_cairo_create_layout(Cr);
  PangoFontDescription* D = pango_font_description_from_string("Liberation Sans");
  pango_font_description_set_absolute_size(D, 40 * PANGO_SCALE);
  pango_layout_set_font_description(L, D);
  pango_layout_set_width(L, 1600 * PANGO_SCALE);
  pango_layout_set_wrap(L, PANGO_WRAP_WORD_CHAR);
  const std::string Utf8 = platform::Cp1252ToUtf8(Paragraph());
  pango_layout_set_text(L, Utf8.data(), static_cast<int>(Utf8.size()));
  cairo_set_source_rgb(Cr, 1, 1, 1);
  for (auto _ : State) {
    cairo_move_to(Cr, 0, 0);
    pango_cairo_show_layout(Cr, L);
    cairo_surface_flush(S);
  }
  pango_font_description_free(D);
  g_object_unref(L);
  cairo_destroy(Cr);
  cairo_surface_destroy(S);
}

// One-time costs: run with --benchmark_filter=BM_FirstText alone for the cold
// first render, and in the full run (after BM_WarmUpFonts) for the warm one.
void BM_WarmUpFonts(benchmark::State& State) {
  for (auto _ : State) platform::WarmUpFonts();
}

void BM_FirstText(benchmark::State& State) {
  TextTarget T;
  for (auto _ : State) {
    platform::Canvas C(T.View());
    C.Font.SetName("Arial");
    C.Font.SetHeight(-40);
    TRect R = Rect(0, 0, 1600, 900);
    C.DrawText(Paragraph(), R, 0x810);
  }
}

}  // namespace

BENCHMARK(BM_WarmUpFonts)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FirstText)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memcpy3Frames)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrossFadeStep)->Args({1920, 1080, 1})->Args({1920, 1080, 0})->Args({3840, 2160, 1})->Args({3840, 2160, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CrossFadeStepFused)->Args({1920, 1080, 1})->Args({3840, 2160, 1})->Args({3840, 2160, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PixmanCrossFadeStep)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BlendPass)->Args({1920, 1080, 1})->Args({1920, 1080, 0})->Args({3840, 2160, 1})->Args({3840, 2160, 0})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PixmanOverConstMask)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StretchBilinear)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PixmanStretchBilinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawTextParagraph)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PangoRedrawReusedLayout)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
