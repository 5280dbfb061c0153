// The heaviest step of each transition family on full-screen stages:
//  - a mask step at its busiest (the step that draws the most tiles), with a
//    shipped mask and with no mask (every tile growing at once);
//  - one step drawing every tile of an 81 x 81 grid in full, next to one
//    memcpy of the whole frame;
//  - one cross-fade step.
// Counters: per_tile (step time per drawn tile), tiles (drawn per step),
// pixels (drawn per step).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "Platform/Pictures/Picture.h"
#include "Transitions/TransitionClasses.h"

namespace {

struct Screen final : platform::PaintDevice {
  std::int32_t W, H;
  std::vector<TColor32> Pixels_;
  Screen(std::int32_t Width, std::int32_t Height)
      : W(Width), H(Height), Pixels_(static_cast<std::size_t>(Width) * Height, 0xFF000000u) {}
  platform::PixelView Pixels() override { return {Pixels_.data(), W, H, W}; }
  TRect ClipBox() const override { return TRect{0, 0, W, H}; }
  void Changed(const TRect&) override {}
};

void FillTarget(TBitmap32& B, std::int32_t W, std::int32_t H) {
  B.Resize(W, H);
  for (std::int32_t Y = 0; Y < H; ++Y)
    for (std::int32_t X = 0; X < W; ++X) B.ScanLine(Y)[X] = 0xFF000000u | static_cast<TColor32>(X * 7 + Y * 13);
}

// Exposes the tile table so a step can be repeated from the same state.
template <class Base>
class Repeatable : public Base {
public:
  std::int32_t Drawn = 0;
  std::int64_t Area = 0;
  void RevealRect(const TRect& R, const TBoxTile& Tile) override {
    ++Drawn;
    Area += std::int64_t{R.Width()} * R.Height();
    Base::RevealRect(R, Tile);
  }
  // The table as the steps left it, to be written into; Replan after
  // writing.
  std::vector<TBoxTile>& Table() {
    (void)this->Tiles();
    return this->Tiles_;
  }
  void Replan() { this->TilesChanged(); }
};

class NoMask final : public Repeatable<TTPBoxPicTransition> {
public:
  std::unique_ptr<TBitmap32> GetBitmap() override { return nullptr; }
};

// Runs T to the step before its busiest (the most tiles drawn; among equals
// the most pixels) and answers that step's tile count.
template <class T>
std::int32_t AdvanceToBusiest(T& Transition, const TRect& R, TBitmap32& Target, Screen& S, std::int64_t& Pixels) {
  Transition.InitTransition(R, nullptr, &Target, S);
  std::int32_t Best = 0, BestStep = 0, Step = 0;
  std::int64_t BestArea = 0;
  while (!Transition.Finished()) {
    Transition.Drawn = 0;
    Transition.Area = 0;
    Transition.Step();
    ++Step;
    if (Transition.Drawn > Best || (Transition.Drawn == Best && Transition.Area > BestArea)) {
      Best = Transition.Drawn;
      BestArea = Transition.Area;
      BestStep = Step;
    }
  }
  Transition.ResetTransition();
  Transition.InitTransition(R, nullptr, &Target, S);
  for (std::int32_t I = 1; I < BestStep; ++I) Transition.Step();
  Pixels = BestArea;
  return Best;
}

template <class T>
void RunBusiestStep(benchmark::State& State, T& Transition) {
  const auto W = static_cast<std::int32_t>(State.range(0)), H = static_cast<std::int32_t>(State.range(1));
  Screen S(W, H);
  TBitmap32 Target;
  FillTarget(Target, W, H);
  const TRect R{0, 0, W, H};
  std::int64_t Pixels = 0;
  const std::int32_t Tiles = AdvanceToBusiest(Transition, R, Target, S, Pixels);
  const std::vector<TBoxTile> Before = Transition.Table();
  for (auto _ : State) {
    State.PauseTiming();
    Transition.Table() = Before;
    Transition.Replan();
    State.ResumeTiming();
    Transition.Step();
  }
  State.counters["tiles"] = Tiles;
  State.counters["pixels"] = static_cast<double>(Pixels);
  // Seconds per drawn tile.
  State.counters["per_tile"] = benchmark::Counter(
      static_cast<double>(Tiles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_MaskStepBusiest_Heart(benchmark::State& State) {
  Repeatable<TTPBoxPicEffektHeartTransition> T;
  RunBusiestStep(State, T);
}

void BM_MaskStepBusiest_NoMask(benchmark::State& State) {
  NoMask T;
  RunBusiestStep(State, T);
}

// Every tile of an 81 x 81 grid (step 80) drawn in full in one step.
void BM_FullCoverage81(benchmark::State& State) {
  const auto W = static_cast<std::int32_t>(State.range(0)), H = static_cast<std::int32_t>(State.range(1));
  Screen S(W, H);
  TBitmap32 Target;
  FillTarget(Target, W, H);
  Repeatable<TTPBoxTransition> T;
  T.InitTransition(TRect{0, 0, W, H}, nullptr, &Target, S);
  T.BuildTiles(W / 80, W / 80);
  for (TBoxTile& Tile : T.Table()) Tile.RevealW = Tile.RevealH = 81;
  const std::vector<TBoxTile> Before = T.Table();
  for (auto _ : State) {
    State.PauseTiming();
    T.Table() = Before;
    T.Replan();
    State.ResumeTiming();
    T.Step();
  }
  State.counters["tiles"] = static_cast<double>(Before.size());
}

// A step in which every tile of the fine grid still waits: the cost of
// going over the table alone.
void BM_MaskStepAllWaiting(benchmark::State& State) {
  const auto W = static_cast<std::int32_t>(State.range(0)), H = static_cast<std::int32_t>(State.range(1));
  Screen S(W, H);
  TBitmap32 Target;
  FillTarget(Target, W, H);
  NoMask T;
  T.InitTransition(TRect{0, 0, W, H}, nullptr, &Target, S);
  for (TBoxTile& Tile : T.Table()) Tile.RevealW = Tile.RevealH = -1000000000;
  T.Replan();
  for (auto _ : State) T.Step();
  State.counters["tiles"] = static_cast<double>(T.Table().size());
  State.counters["per_tile"] = benchmark::Counter(static_cast<double>(T.Table().size()),
                                                  benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_FullFrameMemcpy(benchmark::State& State) {
  const auto W = static_cast<std::int32_t>(State.range(0)), H = static_cast<std::int32_t>(State.range(1));
  std::vector<TColor32> From(static_cast<std::size_t>(W) * H, 1), To(From.size());
  for (auto _ : State) {
    std::memcpy(To.data(), From.data(), From.size() * sizeof(TColor32));
    benchmark::DoNotOptimize(To.data());
    benchmark::ClobberMemory();
  }
}

class RepeatableFade final : public TTPAlphablendingMMX {
public:
  void Rewind(std::int32_t K) { StepCount_ = K; }
};

// Step 8 of 16 (master alpha 127): target copy, source blend, frame to the window.
void BM_CrossFadeStep(benchmark::State& State) {
  const auto W = static_cast<std::int32_t>(State.range(0)), H = static_cast<std::int32_t>(State.range(1));
  Screen S(W, H);
  TBitmap32 Source, Target;
  FillTarget(Source, W, H);
  FillTarget(Target, W, H);
  RepeatableFade T;
  T.InitTransition(TRect{0, 0, W, H}, &Source, &Target, S);
  for (auto _ : State) {
    T.Rewind(7);
    T.Step();
    benchmark::ClobberMemory();
  }
}

#define LMO_SCREENS ->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond)->UseRealTime()
BENCHMARK(BM_MaskStepBusiest_Heart) LMO_SCREENS;
BENCHMARK(BM_MaskStepBusiest_NoMask) LMO_SCREENS;
BENCHMARK(BM_MaskStepAllWaiting) LMO_SCREENS;
BENCHMARK(BM_FullCoverage81) LMO_SCREENS;
BENCHMARK(BM_FullFrameMemcpy) LMO_SCREENS;
BENCHMARK(BM_CrossFadeStep) LMO_SCREENS;

}  // namespace

int main(int argc, char** argv) {
  // The masks of the source tree, unless the caller points elsewhere.
  setenv("LMO_DATA_DIR", LMO_DATA_SOURCE, 0);
  platform::RegisterPictureFormats();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
