#pragma once
// Resamplers: how scaled drawing takes its samples from the source bitmap.
//
// A resampler produces the destination rows of a scaled draw; the bitmap then
// combines them with the target by its draw mode. Kinds by number (see
// SetResamplerKind in Bitmap32.h):
//   0 TNearestResampler  nearest source pixel
//   1 TDraftResampler    box average of the source pixels a destination pixel covers
//   2 TLinearResampler   bilinear interpolation (platform::StretchBilinear)
//   3..6 TKernelResampler with TCosineKernel, TSplineKernel, TLanczosKernel,
//        TMitchellKernel: a separable filter whose support widens with the
//        reduction factor, so reductions are low-pass filtered.
#include <cstdint>
#include <memory>
#include <string>

#include "Platform/Canvas/Stretch.h"
#include "Platform/Core/Types.h"

// What to resample: SrcRect of Src onto DstRect; only Clip (a part of
// DstRect) is produced.
struct TResampleJob {
  platform::SourcePixels Src;
  TRect SrcRect;
  TRect DstRect;
  TRect Clip;
  platform::EdgeMode Edge = platform::EdgeMode::Clamp;
  // Rows may be produced by two threads at once (the sink must allow it).
  bool Parallel = true;
};

class TCustomResampler {
public:
  virtual ~TCustomResampler() = default;
  virtual std::string ClassName() const = 0;
  // A resampler of the same class with the same settings.
  virtual std::unique_ptr<TCustomResampler> Clone() const = 0;
  // Hands every produced row to Sink.
  virtual void Resample(const TResampleJob& Job, const platform::RowSink& Sink) const = 0;
  // Writes the samples straight into Dst (an opaque copy); Job's rectangles
  // are in Dst's coordinates.
  virtual void ResampleInto(const TResampleJob& Job, const platform::PixelView& Dst) const;
};

class TNearestResampler : public TCustomResampler {
public:
  std::string ClassName() const override { return "TNearestResampler"; }
  std::unique_ptr<TCustomResampler> Clone() const override { return std::make_unique<TNearestResampler>(); }
  void Resample(const TResampleJob& Job, const platform::RowSink& Sink) const override;
};

class TDraftResampler : public TCustomResampler {
public:
  std::string ClassName() const override { return "TDraftResampler"; }
  std::unique_ptr<TCustomResampler> Clone() const override { return std::make_unique<TDraftResampler>(); }
  void Resample(const TResampleJob& Job, const platform::RowSink& Sink) const override;
};

class TLinearResampler : public TCustomResampler {
public:
  std::string ClassName() const override { return "TLinearResampler"; }
  std::unique_ptr<TCustomResampler> Clone() const override { return std::make_unique<TLinearResampler>(); }
  void Resample(const TResampleJob& Job, const platform::RowSink& Sink) const override;
  void ResampleInto(const TResampleJob& Job, const platform::PixelView& Dst) const override;
};

// Kernels: even functions of the distance in source pixels, zero beyond Width().
class TCustomKernel {
public:
  virtual ~TCustomKernel() = default;
  virtual std::string ClassName() const = 0;
  virtual std::unique_ptr<TCustomKernel> Clone() const = 0;
  virtual double Filter(double X) const = 0;
  virtual double Width() const = 0;
};

// (cos(pi x) + 1) / 2 on |x| < 1.
class TCosineKernel : public TCustomKernel {
public:
  std::string ClassName() const override { return "TCosineKernel"; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TCosineKernel>(); }
  double Filter(double X) const override;
  double Width() const override { return 1.0; }
};

// The cubic B-spline on |x| < 2.
class TSplineKernel : public TCustomKernel {
public:
  std::string ClassName() const override { return "TSplineKernel"; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TSplineKernel>(); }
  double Filter(double X) const override;
  double Width() const override { return 2.0; }
};

// Lanczos-3: sinc(x) sinc(x / 3) on |x| < 3.
class TLanczosKernel : public TCustomKernel {
public:
  std::string ClassName() const override { return "TLanczosKernel"; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TLanczosKernel>(); }
  double Filter(double X) const override;
  double Width() const override { return 3.0; }
};

// Mitchell-Netravali with B = C = 1/3 on |x| < 2.
class TMitchellKernel : public TCustomKernel {
public:
  std::string ClassName() const override { return "TMitchellKernel"; }
  std::unique_ptr<TCustomKernel> Clone() const override { return std::make_unique<TMitchellKernel>(); }
  double Filter(double X) const override;
  double Width() const override { return 2.0; }
};

// How kernel weights are obtained. The weights are always computed from the
// kernel function itself (there is no lookup table); the mode is kept as a
// setting so that it travels with the resampler.
enum TKernelMode { kmDefault, kmTableNearest, kmTableLinear, kmDynamic };

class TKernelResampler : public TCustomResampler {
public:
  TKernelResampler();  // a TCosineKernel, kmDefault
  std::string ClassName() const override { return "TKernelResampler"; }
  std::unique_ptr<TCustomResampler> Clone() const override;
  void Resample(const TResampleJob& Job, const platform::RowSink& Sink) const override;

  const TCustomKernel& Kernel() const { return *Kernel_; }
  void SetKernel(std::unique_ptr<TCustomKernel> Kernel);
  TKernelMode KernelMode() const { return Mode_; }
  void SetKernelMode(TKernelMode Mode) { Mode_ = Mode; }

private:
  std::unique_ptr<TCustomKernel> Kernel_;
  TKernelMode Mode_ = kmDefault;
};
