// Loading a 16 MiB presentation made of minimal records: the load must stay
// linear in the file's size (about a second at most) and its peak heap under
// 32 MiB + 64 x the file size. Kinds of file:
//   0 slides:   empty slide chunks (16 bytes each)
//   1 sounds:   one slide of minimal sound records (26 bytes each)
//   2 rects:    one slide of colour rectangles (62 bytes each)
//   3 skipped:  one slide of records with an empty, unregistered class name (8 bytes each)
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "CKS/Streams.h"
#include "Chore/Registration.h"
#include "PluginEngine/PluginLists.h"
#include "Slides/Slides.h"
#include "tests/Slides/PresentationBytes.h"

using namespace testbytes;

// Live and peak bytes of every allocation through operator new.
namespace {
std::atomic<std::int64_t> Live{0};
std::atomic<std::int64_t> Peak{0};

void* Allocate(std::size_t Size) {
  void* P = std::malloc(Size + 16);
  if (!P) throw std::bad_alloc();
  *static_cast<std::size_t*>(P) = Size;
  const std::int64_t Now = Live += static_cast<std::int64_t>(Size);
  std::int64_t Seen = Peak.load();
  while (Now > Seen && !Peak.compare_exchange_weak(Seen, Now)) {
  }
  return static_cast<char*>(P) + 16;
}
void Release(void* P) {
  if (!P) return;
  char* Block = static_cast<char*>(P) - 16;
  Live -= static_cast<std::int64_t>(*reinterpret_cast<std::size_t*>(Block));
  std::free(Block);
}
}  // namespace

void* operator new(std::size_t Size) { return Allocate(Size); }
void* operator new[](std::size_t Size) { return Allocate(Size); }
void operator delete(void* P) noexcept { Release(P); }
void operator delete[](void* P) noexcept { Release(P); }
void operator delete(void* P, std::size_t) noexcept { Release(P); }
void operator delete[](void* P, std::size_t) noexcept { Release(P); }

namespace {

constexpr std::size_t TargetSize = 16u << 20;

Bytes MinimalFile(int Kind) {
  if (Kind == 0) {
    const Bytes One = SlideChunk({});
    std::vector<Bytes> Chunks(TargetSize / One.size(), One);
    return Container(Chunks);
  }
  const Bytes Record = Kind == 1   ? testbytes::Record("TPIPSound", SoundPayload(0, 0, ""))
                       : Kind == 2 ? testbytes::Record("TPVPColorRect", ColorRectPayload(0, 0, 0, 0, 1, 1, 0))
                                   : testbytes::Record("", {});
  const std::size_t Count = TargetSize / Record.size();
  Bytes Payload = I32(static_cast<std::int32_t>(Count));
  Payload.reserve(Count * Record.size() + 4);
  for (std::size_t I = 0; I < Count; ++I) Append(Payload, Record);
  return Container({Chunk(1, Payload)});
}

void BM_LoadMinimalRecords(benchmark::State& State) {
  static const bool Registered = [] {
    RegisterPluginClasses(PluginRegistry);
    return true;
  }();
  (void)Registered;
  const Bytes File = MinimalFile(static_cast<int>(State.range(0)));
  std::int64_t PeakDuringLoad = 0;
  std::int64_t Objects = 0;
  for (auto _ : State) {
    TMemoryStream Stream(File);
    const std::int64_t Before = Live.load();
    Peak = Before;
    {
      TSlides Slides;
      Slides.LoadFromStream(Stream);
      Objects = 0;
      for (const auto& S : Slides.Slides) Objects += S->Objects.Count();
      Objects += Slides.Count();
      State.PauseTiming();  // freeing the model is not part of the load
    }
    State.ResumeTiming();
    PeakDuringLoad = std::max(PeakDuringLoad, Peak.load() - Before);
  }
  const double Size = static_cast<double>(File.size());
  State.counters["file_MiB"] = Size / (1 << 20);
  State.counters["peak_heap_MiB"] = static_cast<double>(PeakDuringLoad) / (1 << 20);
  State.counters["limit_MiB"] = (32.0 * (1 << 20) + 64.0 * Size) / (1 << 20);
  State.counters["slides_and_objects"] = static_cast<double>(Objects);
  State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) * static_cast<std::int64_t>(File.size()));
}

}  // namespace

BENCHMARK(BM_LoadMinimalRecords)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
