#include "Platform/Canvas/Stretch.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Platform/Canvas/PixelBands.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LMO_X86 1
#endif

namespace platform {

std::int32_t MapEdge(std::int32_t Index, std::int32_t Count, EdgeMode Mode) {
  if (Count <= 1) return 0;
  if (Index >= 0 && Index < Count) return Index;
  switch (Mode) {
    case EdgeMode::Clamp:
      return Index < 0 ? 0 : Count - 1;
    case EdgeMode::Repeat: {
      const std::int32_t M = Index % Count;
      return M < 0 ? M + Count : M;
    }
    case EdgeMode::Mirror: {
      // ... 2 1 0 | 0 1 2 ... n-1 | n-1 n-2 ...
      const std::int32_t Period = 2 * Count;
      std::int32_t M = Index % Period;
      if (M < 0) M += Period;
      return M < Count ? M : Period - 1 - M;
    }
  }
  return 0;
}

namespace {

// Sampling position of destination offset D (0 .. DstSize - 1) in the source
// area: the index of the left (upper) tap and the weight of the right (lower)
// one in 1/256.
struct Tap {
  std::int32_t Index;
  std::int32_t Weight;
};

Tap TapFor(std::int32_t D, std::int32_t SrcSize, std::int32_t DstSize) {
  // ((2D + 1) * Src - Dst) / (2 * Dst) in 16.16 fixed point, floored.
  const std::int64_t Num = (std::int64_t{2} * D + 1) * SrcSize - DstSize;
  const std::int64_t Den = std::int64_t{2} * DstSize;
  std::int64_t Scaled = Num * 65536;
  std::int64_t Pos = Scaled / Den;
  if ((Scaled % Den != 0) && ((Scaled < 0) != (Den < 0))) --Pos;
  std::int32_t Index = static_cast<std::int32_t>(Pos >> 16);  // arithmetic shift floors
  std::int32_t Weight = static_cast<std::int32_t>(((Pos & 0xFFFF) + 128) >> 8);
  if (Weight == 256) {
    ++Index;
    Weight = 0;
  }
  return Tap{Index, Weight};
}

// One row of 16-bit channels: B, G, R, A per pixel.
using Wide = std::uint16_t;

inline void LerpPixel(TColor32 A, TColor32 B, std::int32_t W, Wide* Out) {
  const std::int32_t W0 = 256 - W;
  for (int C = 0; C < 4; ++C) {
    const std::int32_t Ca = (A >> (8 * C)) & 0xFF;
    const std::int32_t Cb = (B >> (8 * C)) & 0xFF;
    Out[C] = static_cast<Wide>((Ca * W0 + Cb * W + 128) >> 8);
  }
}

// Vertical pass over Count contiguous source pixels.
void LerpRows(const TColor32* Top, const TColor32* Bottom, std::int32_t W, std::int32_t Count, Wide* Out) {
  std::int32_t I = 0;
#if defined(__SSE2__)
  const __m128i Zero = _mm_setzero_si128();
  const __m128i W1 = _mm_set1_epi16(static_cast<short>(W));
  const __m128i W0 = _mm_set1_epi16(static_cast<short>(256 - W));
  const __m128i Half = _mm_set1_epi16(128);
  for (; I + 4 <= Count; I += 4) {
    const __m128i T = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Top + I));
    const __m128i B = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Bottom + I));
    __m128i Lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(T, Zero), W0),
                               _mm_mullo_epi16(_mm_unpacklo_epi8(B, Zero), W1));
    __m128i Hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(T, Zero), W0),
                               _mm_mullo_epi16(_mm_unpackhi_epi8(B, Zero), W1));
    Lo = _mm_srli_epi16(_mm_add_epi16(Lo, Half), 8);
    Hi = _mm_srli_epi16(_mm_add_epi16(Hi, Half), 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 4 * I), Lo);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + 4 * I + 8), Hi);
  }
#endif
  for (; I < Count; ++I) LerpPixel(Top[I], Bottom[I], W, Out + 4 * I);
}

// Horizontal pass: out pixel from the wide pixels at Pair[0..7] (two taps).
inline TColor32 LerpWide(const Wide* Pair, std::int32_t W) {
  const std::int32_t W0 = 256 - W;
  TColor32 Result = 0;
  for (int C = 0; C < 4; ++C) {
    const std::int32_t V = (Pair[C] * W0 + Pair[4 + C] * W + 128) >> 8;
    Result |= static_cast<TColor32>(V) << (8 * C);
  }
  return Result;
}

struct ColumnPlan {
  std::int32_t First = 0;  // lowest source column (relative to SrcRect) a tap reads
  std::int32_t Last = 0;   // highest
  std::vector<std::int32_t> Offset;  // per destination column: tap offset in the wide row, in pixels
  std::vector<std::int16_t> Weights;  // per destination column: 8 lanes (W0 x4, W1 x4)
};

ColumnPlan PlanColumns(const StretchGeometry& G, std::int32_t X0, std::int32_t X1) {
  ColumnPlan Plan;
  const std::int32_t Sw = G.SrcRect.Width();
  const std::int32_t Dw = G.DstRect.Width();
  const std::int32_t N = X1 - X0;
  std::vector<Tap> Taps(static_cast<std::size_t>(N));
  for (std::int32_t I = 0; I < N; ++I) Taps[I] = TapFor(X0 + I - G.DstRect.Left, Sw, Dw);
  Plan.First = Taps.front().Index;
  Plan.Last = Taps.back().Index + 1;
  Plan.Offset.resize(static_cast<std::size_t>(N));
  Plan.Weights.resize(static_cast<std::size_t>(N) * 8);
  for (std::int32_t I = 0; I < N; ++I) {
    Plan.Offset[I] = Taps[I].Index - Plan.First;
    for (int L = 0; L < 4; ++L) {
      Plan.Weights[8 * I + L] = static_cast<std::int16_t>(256 - Taps[I].Weight);
      Plan.Weights[8 * I + 4 + L] = static_cast<std::int16_t>(Taps[I].Weight);
    }
  }
  return Plan;
}

// Fills Wide with the vertical interpolation of source rows Top and Bottom
// (absolute rows) for the relative columns Plan.First .. Plan.Last.
void FillWideRow(const SourcePixels& Src, const StretchGeometry& G, const ColumnPlan& Plan,
                 std::int32_t Top, std::int32_t Bottom, std::int32_t W, Wide* Out) {
  const std::int32_t Sw = G.SrcRect.Width();
  const TColor32* T = Src.Row(Top) + G.SrcRect.Left;
  const TColor32* B = Src.Row(Bottom) + G.SrcRect.Left;
  const std::int32_t InFirst = std::max(Plan.First, 0);
  const std::int32_t InLast = std::min(Plan.Last, Sw - 1);
  for (std::int32_t C = Plan.First; C < InFirst; ++C) {
    const std::int32_t M = MapEdge(C, Sw, G.Edge);
    LerpPixel(T[M], B[M], W, Out + 4 * (C - Plan.First));
  }
  if (InLast >= InFirst)
    LerpRows(T + InFirst, B + InFirst, W, InLast - InFirst + 1, Out + 4 * (InFirst - Plan.First));
  for (std::int32_t C = std::max(InLast + 1, Plan.First); C <= Plan.Last; ++C) {
    const std::int32_t M = MapEdge(C, Sw, G.Edge);
    LerpPixel(T[M], B[M], W, Out + 4 * (C - Plan.First));
  }
}

void HorizontalPass(const ColumnPlan& Plan, const Wide* Row, std::int32_t N, TColor32* Out) {
  std::int32_t I = 0;
#if defined(__SSE2__)
  const __m128i Half = _mm_set1_epi16(128);
  for (; I + 2 <= N; I += 2) {
    const __m128i P0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + 4 * Plan.Offset[I]));
    const __m128i P1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Row + 4 * Plan.Offset[I + 1]));
    const __m128i W0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Plan.Weights.data() + 8 * I));
    const __m128i W1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Plan.Weights.data() + 8 * I + 8));
    const __m128i M0 = _mm_mullo_epi16(P0, W0);
    const __m128i M1 = _mm_mullo_epi16(P1, W1);
    // Low halves hold the left taps, high halves the right taps.
    const __m128i Left = _mm_unpacklo_epi64(M0, M1);
    const __m128i Right = _mm_unpackhi_epi64(M0, M1);
    const __m128i Sum = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(Left, Right), Half), 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(Out + I), _mm_packus_epi16(Sum, Sum));
  }
#endif
  for (; I < N; ++I) Out[I] = LerpWide(Row + 4 * Plan.Offset[I], Plan.Weights[8 * I + 4]);
}

// Strong reductions: each destination pixel interpolates its four source
// pixels directly (C0, C1: the two source columns), so columns between the
// taps are never touched. Same rounding as the two passes above.
void GatherScalar(const TColor32* Top, const TColor32* Bottom, std::int32_t Wy, const std::int32_t* C0,
                  const std::int32_t* C1, const std::int16_t* Weights, std::int32_t From, std::int32_t To,
                  TColor32* Out) {
  for (std::int32_t I = From; I < To; ++I) {
    Wide Pair[8];
    LerpPixel(Top[C0[I]], Bottom[C0[I]], Wy, Pair);
    LerpPixel(Top[C1[I]], Bottom[C1[I]], Wy, Pair + 4);
    Out[I] = LerpWide(Pair, Weights[8 * I + 4]);
  }
}

#if LMO_X86
#define LMO_AVX2 __attribute__((target("avx2")))
// The tap pairs of pixels I .. I + 3 of one row: I and I + 1 in the low lane.
LMO_AVX2 inline __m256i TapPairs4(const TColor32* Row, const std::int32_t* C0, std::int32_t I) {
  const __m128i A = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + C0[I]));
  const __m128i B = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + C0[I + 1]));
  const __m128i C = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + C0[I + 2]));
  const __m128i D = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Row + C0[I + 3]));
  return _mm256_set_m128i(_mm_unpacklo_epi64(C, D), _mm_unpacklo_epi64(A, B));
}

LMO_AVX2 inline __m256i Vertical8(__m256i T, __m256i B, __m256i V0, __m256i V1) {
  const __m256i V = _mm256_add_epi16(_mm256_mullo_epi16(T, V0), _mm256_mullo_epi16(B, V1));
  return _mm256_srli_epi16(_mm256_add_epi16(V, _mm256_set1_epi16(128)), 8);
}

LMO_AVX2 inline __m256i WeightPair(const std::int16_t* Weights, std::int32_t Low, std::int32_t High) {
  return _mm256_set_m128i(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Weights + 8 * High)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(Weights + 8 * Low)));
}

// Four destination pixels per step; returns how many were done.
LMO_AVX2 std::int32_t GatherAvx2(const TColor32* Top, const TColor32* Bottom,
                                                        std::int32_t Wy, const std::int32_t* C0,
                                                        const std::int16_t* Weights, std::int32_t First,
                                                        std::int32_t Last, TColor32* Out) {
  const __m256i Zero = _mm256_setzero_si256();
  const __m256i Half = _mm256_set1_epi16(128);
  const __m256i V1 = _mm256_set1_epi16(static_cast<short>(Wy));
  const __m256i V0 = _mm256_set1_epi16(static_cast<short>(256 - Wy));
  std::int32_t I = First;
  for (; I + 4 <= Last; I += 4) {
    const __m256i T = TapPairs4(Top, C0, I), B = TapPairs4(Bottom, C0, I);
    // Low halves of the lanes: pixels I and I + 2; high halves: I + 1 and I + 3.
    const __m256i Lo = Vertical8(_mm256_unpacklo_epi8(T, Zero), _mm256_unpacklo_epi8(B, Zero), V0, V1);
    const __m256i Hi = Vertical8(_mm256_unpackhi_epi8(T, Zero), _mm256_unpackhi_epi8(B, Zero), V0, V1);
    const __m256i MLo = _mm256_mullo_epi16(Lo, WeightPair(Weights, I, I + 2));
    const __m256i MHi = _mm256_mullo_epi16(Hi, WeightPair(Weights, I + 1, I + 3));
    const __m256i Sum = _mm256_srli_epi16(
        _mm256_add_epi16(_mm256_add_epi16(_mm256_unpacklo_epi64(MLo, MHi), _mm256_unpackhi_epi64(MLo, MHi)), Half),
        8);
    const __m256i Packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(Sum, Sum), 0x08);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + I), _mm256_castsi256_si128(Packed));
  }
  return I - First;
}

bool HasAvx2() {
  static const bool Has = __builtin_cpu_supports("avx2");
  return Has;
}
#endif

// [First, Last) is the range of destination columns whose two taps are
// neighbours in memory (all but the clamped edge columns).
void GatherPass(const TColor32* Top, const TColor32* Bottom, std::int32_t Wy, const std::int32_t* C0,
                const std::int32_t* C1, const std::int16_t* Weights, std::int32_t N, std::int32_t First,
                std::int32_t Last, TColor32* Out) {
  GatherScalar(Top, Bottom, Wy, C0, C1, Weights, 0, First, Out);
  std::int32_t I = First;
#if LMO_X86
  if (HasAvx2()) I += GatherAvx2(Top, Bottom, Wy, C0, Weights, First, Last, Out);
#endif
#if defined(__SSE2__)
  const __m128i Zero = _mm_setzero_si128();
  const __m128i Half = _mm_set1_epi16(128);
  const __m128i V1 = _mm_set1_epi16(static_cast<short>(Wy));
  const __m128i V0 = _mm_set1_epi16(static_cast<short>(256 - Wy));
  auto Vertical = [&](std::int32_t K) {
    const __m128i T = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Top + C0[K]));
    const __m128i B = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(Bottom + C0[K]));
    const __m128i V = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(T, Zero), V0),
                                    _mm_mullo_epi16(_mm_unpacklo_epi8(B, Zero), V1));
    const __m128i Rounded = _mm_srli_epi16(_mm_add_epi16(V, Half), 8);
    return _mm_mullo_epi16(Rounded, _mm_loadu_si128(reinterpret_cast<const __m128i*>(Weights + 8 * K)));
  };
  for (; I + 2 <= Last; I += 2) {
    const __m128i M0 = Vertical(I);
    const __m128i M1 = Vertical(I + 1);
    const __m128i Sum = _mm_srli_epi16(
        _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(M0, M1), _mm_unpackhi_epi64(M0, M1)), Half), 8);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(Out + I), _mm_packus_epi16(Sum, Sum));
  }
#endif
  GatherScalar(Top, Bottom, Wy, C0, C1, Weights, I, N, Out);
}

// Shared driver: Target(X, Y, Count) gives where row Y goes (may be a
// scratch row handed to a sink afterwards via Done).
template <typename TargetFn, typename DoneFn>
void Stretch(const SourcePixels& Src, const StretchGeometry& G, TargetFn Target, DoneFn Done) {
  const TRect Area = IntersectRect(G.Clip, G.DstRect);
  if (Area.IsEmpty() || G.SrcRect.IsEmpty() || !Src.Bits) return;
  const ColumnPlan Plan = PlanColumns(G, Area.Left, Area.Right);
  const std::int32_t Sh = G.SrcRect.Height();
  const std::int32_t Dh = G.DstRect.Height();
  const std::int32_t N = Area.Width();
  const std::size_t WideCount = static_cast<std::size_t>(Plan.Last - Plan.First + 1) * 4 + 8;
  // Reducing to less than half the width: sample the taps directly instead of
  // interpolating every source column.
  const bool Gather = Plan.Last - Plan.First + 1 > 2 * N;
  std::vector<std::int32_t> C0, C1;
  if (Gather) {
    const std::int32_t Sw = G.SrcRect.Width();
    C0.resize(static_cast<std::size_t>(N));
    C1.resize(static_cast<std::size_t>(N));
    for (std::int32_t I = 0; I < N; ++I) {
      const std::int32_t Tap = Plan.First + Plan.Offset[I];
      C0[I] = G.SrcRect.Left + MapEdge(Tap, Sw, G.Edge);
      C1[I] = G.SrcRect.Left + MapEdge(Tap + 1, Sw, G.Edge);
    }
  }
  std::int32_t GatherFirst = 0, GatherLast = N;
  if (Gather) {
    while (GatherFirst < N && C1[GatherFirst] != C0[GatherFirst] + 1) ++GatherFirst;
    while (GatherLast > GatherFirst && C1[GatherLast - 1] != C0[GatherLast - 1] + 1) --GatherLast;
    for (std::int32_t I = GatherFirst; I < GatherLast; ++I)
      if (C1[I] != C0[I] + 1) GatherLast = GatherFirst;  // not one run: no vector path
  }
  const auto Body = [&](std::int32_t Begin, std::int32_t End) {
                   std::vector<Wide> WideRow(Gather ? 0 : WideCount);
                   std::vector<TColor32> Scratch;
                   for (std::int32_t R = Begin; R < End; ++R) {
                     const std::int32_t Y = Area.Top + R;
                     const Tap V = TapFor(Y - G.DstRect.Top, Sh, Dh);
                     const std::int32_t Top = G.SrcRect.Top + MapEdge(V.Index, Sh, G.Edge);
                     const std::int32_t Bottom = G.SrcRect.Top + MapEdge(V.Index + 1, Sh, G.Edge);
                     TColor32* Out = Target(Area.Left, Y, N, Scratch);
                     if (Gather) {
                       GatherPass(Src.Row(Top), Src.Row(Bottom), V.Weight, C0.data(), C1.data(),
                                  Plan.Weights.data(), N, GatherFirst, GatherLast, Out);
                     } else {
                       FillWideRow(Src, G, Plan, Top, Bottom, V.Weight, WideRow.data());
                       HorizontalPass(Plan, WideRow.data(), N, Out);
                     }
                     Done(Area.Left, Y, Out, N);
                   }
                 };
  if (G.Parallel)
    ForEachRowBand(Area.Height(), std::int64_t{N} * Area.Height() * 2, Body);
  else
    Body(0, Area.Height());
}

}  // namespace

void StretchBilinear(const SourcePixels& Src, const StretchGeometry& Geometry, const RowSink& Sink) {
  Stretch(
      Src, Geometry,
      [](std::int32_t, std::int32_t, std::int32_t N, std::vector<TColor32>& Scratch) {
        Scratch.resize(static_cast<std::size_t>(N));
        return Scratch.data();
      },
      [&Sink](std::int32_t X, std::int32_t Y, const TColor32* Row, std::int32_t N) { Sink(X, Y, Row, N); });
}

void StretchBilinearInto(const SourcePixels& Src, const StretchGeometry& Geometry, const PixelView& Dst) {
  StretchGeometry G = Geometry;
  G.Clip = IntersectRect(G.Clip, TRect{0, 0, Dst.Width, Dst.Height});
  Stretch(
      Src, G,
      [&Dst](std::int32_t X, std::int32_t Y, std::int32_t, std::vector<TColor32>&) { return Dst.Row(Y) + X; },
      [](std::int32_t, std::int32_t, const TColor32*, std::int32_t) {});
}

}  // namespace platform
