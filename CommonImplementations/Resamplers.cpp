#include "CommonImplementations/Resamplers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "Platform/Canvas/PixelBands.h"

namespace {

using platform::EdgeMode;
using platform::ForEachRowBand;
using platform::MapEdge;

void ForRows(const TResampleJob& Job, const TRect& Area,
             const std::function<void(std::int32_t, std::int32_t)>& Body) {
  if (Job.Parallel)
    ForEachRowBand(Area.Height(), std::int64_t{Area.Width()} * Area.Height(), Body);
  else
    Body(0, Area.Height());
}

TRect AreaOf(const TResampleJob& Job) {
  if (!Job.Src.Bits || Job.SrcRect.IsEmpty()) return TRect{};
  return IntersectRect(Job.Clip, Job.DstRect);
}

inline std::uint8_t Channel(TColor32 C, int I) { return static_cast<std::uint8_t>(C >> (8 * I)); }

}  // namespace

void TCustomResampler::ResampleInto(const TResampleJob& Job, const platform::PixelView& Dst) const {
  TResampleJob Clipped = Job;
  Clipped.Clip = IntersectRect(Job.Clip, TRect{0, 0, Dst.Width, Dst.Height});
  Resample(Clipped, [&Dst](std::int32_t X, std::int32_t Y, const TColor32* Row, std::int32_t Count) {
    std::memcpy(Dst.Row(Y) + X, Row, static_cast<std::size_t>(Count) * sizeof(TColor32));
  });
}

// ---- nearest ---------------------------------------------------------------

void TNearestResampler::Resample(const TResampleJob& Job, const platform::RowSink& Sink) const {
  const TRect Area = AreaOf(Job);
  if (Area.IsEmpty()) return;
  const std::int64_t Sw = Job.SrcRect.Width(), Dw = Job.DstRect.Width();
  const std::int64_t Sh = Job.SrcRect.Height(), Dh = Job.DstRect.Height();
  // Pixel x takes the source pixel under its centre.
  std::vector<std::int32_t> Columns(static_cast<std::size_t>(Area.Width()));
  for (std::int32_t I = 0; I < Area.Width(); ++I) {
    const std::int64_t D = Area.Left + I - Job.DstRect.Left;
    Columns[I] = Job.SrcRect.Left + static_cast<std::int32_t>(((2 * D + 1) * Sw) / (2 * Dw));
  }
  ForRows(Job, Area, [&](std::int32_t Begin, std::int32_t End) {
    std::vector<TColor32> Row(Columns.size());
    for (std::int32_t R = Begin; R < End; ++R) {
      const std::int64_t D = Area.Top + R - Job.DstRect.Top;
      const TColor32* Src = Job.Src.Row(Job.SrcRect.Top + static_cast<std::int32_t>(((2 * D + 1) * Sh) / (2 * Dh)));
      for (std::size_t I = 0; I < Columns.size(); ++I) Row[I] = Src[Columns[I]];
      Sink(Area.Left, Area.Top + R, Row.data(), Area.Width());
    }
  });
}

// ---- draft: box average ----------------------------------------------------

namespace {
// The source cells [First, Last) that destination offset D covers.
struct Box {
  std::int32_t First;
  std::int32_t Last;
};
Box BoxFor(std::int64_t D, std::int64_t SrcSize, std::int64_t DstSize) {
  const auto First = static_cast<std::int32_t>((D * SrcSize) / DstSize);
  auto Last = static_cast<std::int32_t>(((D + 1) * SrcSize + DstSize - 1) / DstSize);
  if (Last <= First) Last = First + 1;
  return Box{First, Last};
}
}  // namespace

void TDraftResampler::Resample(const TResampleJob& Job, const platform::RowSink& Sink) const {
  const TRect Area = AreaOf(Job);
  if (Area.IsEmpty()) return;
  const std::int32_t Sw = Job.SrcRect.Width(), Dw = Job.DstRect.Width();
  const std::int32_t Sh = Job.SrcRect.Height(), Dh = Job.DstRect.Height();
  std::vector<Box> Columns(static_cast<std::size_t>(Area.Width()));
  for (std::int32_t I = 0; I < Area.Width(); ++I) Columns[I] = BoxFor(Area.Left + I - Job.DstRect.Left, Sw, Dw);
  const std::int32_t ColFirst = Columns.front().First;
  const std::int32_t ColLast = Columns.back().Last;
  ForRows(Job, Area, [&](std::int32_t Begin, std::int32_t End) {
    std::vector<std::uint32_t> Sums(static_cast<std::size_t>(ColLast - ColFirst) * 4);
    std::vector<TColor32> Row(Columns.size());
    for (std::int32_t R = Begin; R < End; ++R) {
      const Box Rows = BoxFor(Area.Top + R - Job.DstRect.Top, Sh, Dh);
      std::fill(Sums.begin(), Sums.end(), 0u);
      for (std::int32_t Y = Rows.First; Y < Rows.Last; ++Y) {
        const TColor32* Src = Job.Src.Row(Job.SrcRect.Top + Y) + Job.SrcRect.Left;
        for (std::int32_t X = ColFirst; X < ColLast; ++X)
          for (int C = 0; C < 4; ++C) Sums[4 * (X - ColFirst) + C] += Channel(Src[X], C);
      }
      const std::uint32_t RowCount = static_cast<std::uint32_t>(Rows.Last - Rows.First);
      for (std::size_t I = 0; I < Columns.size(); ++I) {
        std::uint32_t Total[4] = {0, 0, 0, 0};
        for (std::int32_t X = Columns[I].First; X < Columns[I].Last; ++X)
          for (int C = 0; C < 4; ++C) Total[C] += Sums[4 * (X - ColFirst) + C];
        const std::uint32_t Count = RowCount * static_cast<std::uint32_t>(Columns[I].Last - Columns[I].First);
        TColor32 Pixel = 0;
        for (int C = 0; C < 4; ++C) Pixel |= ((Total[C] + Count / 2) / Count) << (8 * C);
        Row[I] = Pixel;
      }
      Sink(Area.Left, Area.Top + R, Row.data(), Area.Width());
    }
  });
}

// ---- bilinear ----------------------------------------------------------------

void TLinearResampler::Resample(const TResampleJob& Job, const platform::RowSink& Sink) const {
  platform::StretchBilinear(Job.Src, platform::StretchGeometry{Job.SrcRect, Job.DstRect, Job.Clip, Job.Edge, Job.Parallel},
                            Sink);
}

void TLinearResampler::ResampleInto(const TResampleJob& Job, const platform::PixelView& Dst) const {
  platform::StretchBilinearInto(
      Job.Src, platform::StretchGeometry{Job.SrcRect, Job.DstRect, Job.Clip, Job.Edge, Job.Parallel}, Dst);
}

// ---- kernels -----------------------------------------------------------------

double TCosineKernel::Filter(double X) const {
  X = std::fabs(X);
  return X < 1.0 ? (std::cos(std::numbers::pi * X) + 1.0) / 2.0 : 0.0;
}

double TSplineKernel::Filter(double X) const {
  X = std::fabs(X);
  if (X < 1.0) return 2.0 / 3.0 - X * X + X * X * X / 2.0;
  if (X < 2.0) {
    const double T = 2.0 - X;
    return T * T * T / 6.0;
  }
  return 0.0;
}

double TLanczosKernel::Filter(double X) const {
  X = std::fabs(X);
  if (X < 1e-9) return 1.0;
  if (X >= 3.0) return 0.0;
  const double P = std::numbers::pi * X;
  return 3.0 * std::sin(P) * std::sin(P / 3.0) / (P * P);
}

double TMitchellKernel::Filter(double X) const {
  constexpr double B = 1.0 / 3.0, C = 1.0 / 3.0;
  X = std::fabs(X);
  const double X2 = X * X, X3 = X2 * X;
  if (X < 1.0) return ((12 - 9 * B - 6 * C) * X3 + (-18 + 12 * B + 6 * C) * X2 + (6 - 2 * B)) / 6.0;
  if (X < 2.0)
    return ((-B - 6 * C) * X3 + (6 * B + 30 * C) * X2 + (-12 * B - 48 * C) * X + (8 * B + 24 * C)) / 6.0;
  return 0.0;
}

TKernelResampler::TKernelResampler() : Kernel_(std::make_unique<TCosineKernel>()) {}

std::unique_ptr<TCustomResampler> TKernelResampler::Clone() const {
  auto Copy = std::make_unique<TKernelResampler>();
  Copy->SetKernel(Kernel_->Clone());
  Copy->SetKernelMode(Mode_);
  return Copy;
}

void TKernelResampler::SetKernel(std::unique_ptr<TCustomKernel> Kernel) {
  if (Kernel) Kernel_ = std::move(Kernel);
}

namespace {

struct Taps {
  std::vector<std::int32_t> Start;   // per destination offset: first entry in Index/Weight
  std::vector<std::int32_t> Index;   // source index (edge-mapped, relative to the area)
  std::vector<float> Weight;         // normalised
};

// Taps of the destination offsets [From, To) of a DstSize axis over SrcSize.
Taps PlanTaps(const TCustomKernel& K, std::int32_t From, std::int32_t To, std::int32_t SrcSize,
              std::int32_t DstSize, EdgeMode Edge) {
  Taps T;
  const double Scale = std::max(1.0, static_cast<double>(SrcSize) / DstSize);
  const double Support = K.Width() * Scale;
  for (std::int32_t D = From; D < To; ++D) {
    T.Start.push_back(static_cast<std::int32_t>(T.Index.size()));
    const double Centre = (D + 0.5) * SrcSize / DstSize - 0.5;
    const auto First = static_cast<std::int32_t>(std::ceil(Centre - Support));
    const auto Last = static_cast<std::int32_t>(std::floor(Centre + Support));
    const std::size_t Begin = T.Weight.size();
    double Sum = 0;
    for (std::int32_t I = First; I <= Last; ++I) {
      const double W = K.Filter((I - Centre) / Scale);
      if (W == 0.0) continue;
      T.Index.push_back(MapEdge(I, SrcSize, Edge));
      T.Weight.push_back(static_cast<float>(W));
      Sum += W;
    }
    if (std::fabs(Sum) < 1e-12) {  // no weight: take the nearest pixel
      T.Index.resize(Begin);
      T.Weight.resize(Begin);
      T.Index.push_back(MapEdge(static_cast<std::int32_t>(std::lround(Centre)), SrcSize, Edge));
      T.Weight.push_back(1.0f);
    } else {
      for (std::size_t I = Begin; I < T.Weight.size(); ++I) T.Weight[I] = static_cast<float>(T.Weight[I] / Sum);
    }
  }
  T.Start.push_back(static_cast<std::int32_t>(T.Index.size()));
  return T;
}

inline std::uint32_t ToByte(float V) {
  const float R = std::nearbyint(V);
  return R <= 0.0f ? 0u : R >= 255.0f ? 255u : static_cast<std::uint32_t>(R);
}

}  // namespace

void TKernelResampler::Resample(const TResampleJob& Job, const platform::RowSink& Sink) const {
  const TRect Area = AreaOf(Job);
  if (Area.IsEmpty()) return;
  const std::int32_t Sw = Job.SrcRect.Width(), Dw = Job.DstRect.Width();
  const std::int32_t Sh = Job.SrcRect.Height(), Dh = Job.DstRect.Height();
  const Taps Cols = PlanTaps(*Kernel_, Area.Left - Job.DstRect.Left, Area.Right - Job.DstRect.Left, Sw, Dw, Job.Edge);
  const Taps Rows = PlanTaps(*Kernel_, Area.Top - Job.DstRect.Top, Area.Bottom - Job.DstRect.Top, Sh, Dh, Job.Edge);
  const auto [MinIt, MaxIt] = std::minmax_element(Cols.Index.begin(), Cols.Index.end());
  const std::int32_t ColFirst = *MinIt, ColLast = *MaxIt + 1;
  ForRows(Job, Area, [&](std::int32_t Begin, std::int32_t End) {
    std::vector<float> Acc(static_cast<std::size_t>(ColLast - ColFirst) * 4);
    std::vector<TColor32> Out(static_cast<std::size_t>(Area.Width()));
    for (std::int32_t R = Begin; R < End; ++R) {
      // Vertical pass over the columns in use, then the horizontal one.
      std::fill(Acc.begin(), Acc.end(), 0.0f);
      for (std::int32_t T = Rows.Start[R]; T < Rows.Start[R + 1]; ++T) {
        const float W = Rows.Weight[T];
        const TColor32* Src = Job.Src.Row(Job.SrcRect.Top + Rows.Index[T]) + Job.SrcRect.Left;
        for (std::int32_t X = ColFirst; X < ColLast; ++X) {
          float* A = &Acc[4 * static_cast<std::size_t>(X - ColFirst)];
          const TColor32 P = Src[X];
          for (int C = 0; C < 4; ++C) A[C] += W * static_cast<float>(Channel(P, C));
        }
      }
      for (std::int32_t I = 0; I < Area.Width(); ++I) {
        float Sum[4] = {0, 0, 0, 0};
        for (std::int32_t T = Cols.Start[I]; T < Cols.Start[I + 1]; ++T) {
          const float* A = &Acc[4 * static_cast<std::size_t>(Cols.Index[T] - ColFirst)];
          for (int C = 0; C < 4; ++C) Sum[C] += Cols.Weight[T] * A[C];
        }
        TColor32 Pixel = 0;
        for (int C = 0; C < 4; ++C) Pixel |= ToByte(Sum[C]) << (8 * C);
        Out[I] = Pixel;
      }
      Sink(Area.Left, Area.Top + R, Out.data(), Area.Width());
    }
  });
}
