#include "CommonImplementations/Bitmap32.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "CommonImplementations/Blend.h"
#include "Platform/Canvas/Canvas.h"
#include "Platform/Canvas/PixelBands.h"
#include "Platform/Pictures/Picture.h"

namespace {

// Freed frame-sized pixel buffers kept for the next bitmap of the same size:
// every picture and every cross-fade makes new bitmaps of the stage's size,
// and fresh memory costs a page fault per 4 KiB on its first touch.
class PixelPool {
public:
  static PixelPool& Instance() {
    static PixelPool P;
    return P;
  }
  ~PixelPool() {
    for (const Entry& E : Free_) std::free(E.Memory);
  }
  TColor32* Take(std::size_t Count) {
    {
      std::lock_guard Lock(Mutex_);
      for (auto It = Free_.begin(); It != Free_.end(); ++It) {
        if (It->Count == Count) {
          TColor32* P = It->Memory;
          Held_ -= Count;
          Free_.erase(It);
          std::memset(P, 0, Count * sizeof(TColor32));
          return P;
        }
      }
    }
    return static_cast<TColor32*>(std::calloc(Count, sizeof(TColor32)));
  }
  void Give(TColor32* P, std::size_t Count) {
    if (Count >= MinPooled) {
      std::lock_guard Lock(Mutex_);
      if (Free_.size() < MaxBuffers && Held_ + Count <= MaxPixels) {
        Free_.push_back(Entry{P, Count});
        Held_ += Count;
        return;
      }
    }
    std::free(P);
  }

private:
  struct Entry {
    TColor32* Memory;
    std::size_t Count;
  };
  static constexpr std::size_t MinPooled = 256 * 1024;           // 1 MiB
  static constexpr std::size_t MaxBuffers = 6;
  static constexpr std::size_t MaxPixels = std::size_t{64} << 20;  // 256 MiB
  std::mutex Mutex_;
  std::vector<Entry> Free_;
  std::size_t Held_ = 0;
};

platform::EdgeMode EdgeOf(TWrapMode Mode) {
  switch (Mode) {
    case wmRepeat: return platform::EdgeMode::Repeat;
    case wmMirror: return platform::EdgeMode::Mirror;
    case wmClamp: break;
  }
  return platform::EdgeMode::Clamp;
}

bool Inside(const TRect& Inner, const TRect& Outer) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

void CopyRows(const TColor32* Src, std::int32_t SrcStride, TColor32* Dst, std::int32_t DstStride,
              std::int32_t Width, std::int32_t Rows) {
  if (Width <= 0 || Rows <= 0) return;
  const std::size_t Bytes = static_cast<std::size_t>(Width) * sizeof(TColor32);
  if (Src == Dst && SrcStride == DstStride) return;
  // Overlapping areas of the same memory: copy in the direction that reads
  // every row before it is overwritten.
  const bool Overlap = Src < Dst + static_cast<std::ptrdiff_t>(Rows) * DstStride &&
                       Dst < Src + static_cast<std::ptrdiff_t>(Rows) * SrcStride;
  if (Overlap) {
    if (Dst > Src)
      for (std::int32_t Y = Rows - 1; Y >= 0; --Y) std::memmove(Dst + std::ptrdiff_t{Y} * DstStride, Src + std::ptrdiff_t{Y} * SrcStride, Bytes);
    else
      for (std::int32_t Y = 0; Y < Rows; ++Y) std::memmove(Dst + std::ptrdiff_t{Y} * DstStride, Src + std::ptrdiff_t{Y} * SrcStride, Bytes);
    return;
  }
  platform::ForEachRowBand(Rows, std::int64_t{Width} * Rows, [&](std::int32_t Begin, std::int32_t End) {
    if (SrcStride == Width && DstStride == Width) {
      std::memcpy(Dst + std::ptrdiff_t{Begin} * DstStride, Src + std::ptrdiff_t{Begin} * SrcStride,
                  Bytes * static_cast<std::size_t>(End - Begin));
      return;
    }
    for (std::int32_t Y = Begin; Y < End; ++Y)
      std::memcpy(Dst + std::ptrdiff_t{Y} * DstStride, Src + std::ptrdiff_t{Y} * SrcStride, Bytes);
  });
}

}  // namespace

void TBitmap32::FreePixels::operator()(TColor32* P) const {
  if (P) PixelPool::Instance().Give(P, Count);
}

TBitmap32::TBitmap32() : Bits_(nullptr, FreePixels{}), Resampler_(std::make_unique<TNearestResampler>()) {
  Font_.OnChange = [this](TFont&) {
    if (OnChange) OnChange(*this);
  };
}

TBitmap32::~TBitmap32() = default;

void TBitmap32::Resize(std::int32_t NewWidth, std::int32_t NewHeight) {
  NewWidth = std::max(NewWidth, 0);
  NewHeight = std::max(NewHeight, 0);
  if (NewWidth == 0 || NewHeight == 0) NewWidth = NewHeight = 0;
  if (NewWidth == Width_ && NewHeight == Height_) return;
  Bits_.reset();
  Width_ = Height_ = 0;
  Clip_ = TRect{};
  if (NewWidth > 0) {
    const std::uint64_t Count = std::uint64_t(NewWidth) * std::uint64_t(NewHeight);
    TColor32* P = Count <= std::numeric_limits<std::size_t>::max() / sizeof(TColor32)
                      ? PixelPool::Instance().Take(static_cast<std::size_t>(Count))
                      : nullptr;
    if (!P) throw EBitmapError("Can't allocate the DIB handle");
    Bits_ = std::unique_ptr<TColor32[], FreePixels>(P, FreePixels{static_cast<std::size_t>(Count)});
    Width_ = NewWidth;
    Height_ = NewHeight;
    Clip_ = FullRect();
  }
  if (OnHandleChanged) OnHandleChanged(*this);
  if (OnResize) OnResize(*this);
  if (OnChange) OnChange(*this);
}

TColor32 TBitmap32::Pixel(std::int32_t X, std::int32_t Y) const {
  if (X < 0 || Y < 0 || X >= Width_ || Y >= Height_) return 0;
  return ScanLine(Y)[X];
}

void TBitmap32::SetPixel(std::int32_t X, std::int32_t Y, TColor32 Value) {
  if (X < 0 || Y < 0 || X >= Width_ || Y >= Height_) return;
  ScanLine(Y)[X] = Value;
}

void TBitmap32::CopySettingsFrom(const TBitmap32& Source) {
  DrawMode_ = Source.DrawMode_;
  CombineMode_ = Source.CombineMode_;
  WrapMode_ = Source.WrapMode_;
  MasterAlpha_ = Source.MasterAlpha_;
  OuterColor_ = Source.OuterColor_;
  Resampler_ = Source.Resampler_->Clone();
  Font_.Assign(Source.Font_);
}

void TBitmap32::Assign(const TBitmap32* Source) {
  if (Source == this) return;
  if (!Source) {
    Resize(0, 0);
    return;
  }
  Resize(Source->Width_, Source->Height_);
  if (!Empty()) CopyRows(Source->Bits(), Source->Width_, Bits(), Width_, Width_, Height_);
  CopySettingsFrom(*Source);
  if (OnChange) OnChange(*this);
}

void TBitmap32::Assign(const platform::Picture* Picture) {
  if (!Picture) {
    Resize(0, 0);
    return;
  }
  Resize(Picture->Width(), Picture->Height());
  if (Empty()) return;
  if (const platform::RasterImage* Image = Picture->Raster()) {
    // A transparent picture lands on the black of the fresh pixels.
    const std::int32_t W = std::min(Width_, Image->Width), H = std::min(Height_, Image->Height);
    for (std::int32_t Y = 0; Y < H; ++Y) {
      const std::uint32_t* S = Image->Pixels.data() + static_cast<std::size_t>(Y) * Image->Width;
      TColor32* D = ScanLine(Y);
      if (!Image->HasAlpha) {
        for (std::int32_t X = 0; X < W; ++X) D[X] = S[X] | 0xFF000000u;
        continue;
      }
      for (std::int32_t X = 0; X < W; ++X) {
        const std::uint32_t P = S[X], A = P >> 24;
        TColor32 Out = 0xFF000000u;
        for (int C = 0; C < 3; ++C) Out |= ((((P >> (8 * C)) & 0xFF) * A + 127) / 255) << (8 * C);
        D[X] = Out;
      }
    }
  } else {
    platform::Canvas Canvas(View());
    Canvas.StretchDraw(FullRect(), *Picture);
  }
  MakeOpaque();
  if (OnChange) OnChange(*this);
}

void TBitmap32::AssignBlended(const TBitmap32& Background, const TBitmap32& Front) {
  if (&Background == this || &Front == this || Front.DrawMode_ != dmBlend || Front.CombineMode_ != cmBlend ||
      Front.Empty() || Background.Empty()) {
    Assign(&Background);
    Front.DrawOnto(this);
    return;
  }
  Resize(Background.Width_, Background.Height_);
  CopySettingsFrom(Background);
  const TRect Area = IntersectRect(TRect{0, 0, Front.Width_, Front.Height_}, Clip_);
  const std::int32_t W = Width_;
  platform::ForEachRowBand(Height_, std::int64_t{W} * Height_, [&](std::int32_t Begin, std::int32_t End) {
    for (std::int32_t Y = Begin; Y < End; ++Y) {
      const TColor32* B = Background.ScanLine(Y);
      TColor32* D = ScanLine(Y);
      if (Y < Area.Top || Y >= Area.Bottom || Area.IsEmpty()) {
        std::memcpy(D, B, static_cast<std::size_t>(W) * sizeof(TColor32));
        continue;
      }
      if (Area.Left > 0) std::memcpy(D, B, static_cast<std::size_t>(Area.Left) * sizeof(TColor32));
      BlendLineTo(Front.ScanLine(Y) + Area.Left, B + Area.Left, D + Area.Left, Area.Width(), Front.MasterAlpha_);
      if (Area.Right < W)
        std::memcpy(D + Area.Right, B + Area.Right, static_cast<std::size_t>(W - Area.Right) * sizeof(TColor32));
    }
  });
  if (OnChange) OnChange(*this);
}

void TBitmap32::FillArea(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, TColor32 Color) {
  // Cut to the bitmap: a caller's rectangle reaching outside must not write
  // beyond the pixel memory.
  const TRect Area = IntersectRect(TRect{X1, Y1, X2, Y2}, FullRect());
  if (Area.IsEmpty()) return;
  const std::int32_t W = Area.Width();
  platform::ForEachRowBand(Area.Height(), std::int64_t{W} * Area.Height(), [&](std::int32_t Begin, std::int32_t End) {
    for (std::int32_t Y = Area.Top + Begin; Y < Area.Top + End; ++Y) std::fill_n(ScanLine(Y) + Area.Left, W, Color);
  });
  Changed(Area);
}

TColor32 TBitmap32::PixelOrOuter(std::int32_t X, std::int32_t Y) const {
  if (X >= Clip_.Left && X < Clip_.Right && Y >= Clip_.Top && Y < Clip_.Bottom) return ScanLine(Y)[X];
  return OuterColor_;
}

void TBitmap32::MakeOpaque() {
  if (Empty()) return;
  TColor32* P = Bits();
  const std::size_t N = static_cast<std::size_t>(Width_) * Height_;
  for (std::size_t I = 0; I < N; ++I) P[I] |= 0xFF000000u;
  if (OnChange) OnChange(*this);
}

void TBitmap32::Combine(const TColor32* F, TColor32* B, std::int32_t Count) const {
  switch (DrawMode_) {
    case dmOpaque:
      std::memmove(B, F, static_cast<std::size_t>(Count) * sizeof(TColor32));
      return;
    case dmBlend:
      if (CombineMode_ == cmMerge)
        MergeLine(F, B, Count, MasterAlpha_);
      else
        BlendLine(F, B, Count, MasterAlpha_);
      return;
    case dmTransparent:
      for (std::int32_t I = 0; I < Count; ++I)
        if (F[I] != OuterColor_) B[I] = F[I];
      return;
    case dmCustom:
      if (OnPixelCombine)
        for (std::int32_t I = 0; I < Count; ++I) OnPixelCombine(F[I], B[I], MasterAlpha_);
      return;
  }
}

void TBitmap32::Transfer(TBitmap32& Target, const TRect& DstRect, std::int32_t SrcX, std::int32_t SrcY) const {
  const TRect Area = IntersectRect(DstRect, Target.Clip_);
  if (Area.IsEmpty()) return;
  const std::int32_t Sx = SrcX + (Area.Left - DstRect.Left);
  const std::int32_t Sy = SrcY + (Area.Top - DstRect.Top);
  const std::int32_t W = Area.Width();
  if (DrawMode_ == dmOpaque) {
    CopyRows(ScanLine(Sy) + Sx, Width_, Target.ScanLine(Area.Top) + Area.Left, Target.Width_, W, Area.Height());
  } else {
    const auto Body = [&](std::int32_t Begin, std::int32_t End) {
      for (std::int32_t R = Begin; R < End; ++R)
        Combine(ScanLine(Sy + R) + Sx, Target.ScanLine(Area.Top + R) + Area.Left, W);
    };
    if (CombinesInParallel())
      platform::ForEachRowBand(Area.Height(), std::int64_t{W} * Area.Height(), Body);
    else
      Body(0, Area.Height());
  }
  Target.Changed(Area);
}

void TBitmap32::DrawOnto(TBitmap32* Target, std::int32_t X, std::int32_t Y) const {
  if (!Target) throw EBitmapError("Destination bitmap is nil");
  if (Empty() || Target->Empty()) return;
  if (Target == this && DrawMode_ != dmOpaque) {
    TBitmap32 Copy;
    Copy.Assign(this);
    Copy.DrawOnto(Target, X, Y);
    return;
  }
  Transfer(*Target, TRect{X, Y, X + Width_, Y + Height_}, 0, 0);
}

void TBitmap32::DrawOnto(TBitmap32* Target, const TRect& DstRect, const TRect& SrcRect) const {
  if (!Target) throw EBitmapError("Destination bitmap is nil");
  if (Empty() || Target->Empty()) return;
  if (!Inside(SrcRect, FullRect())) throw EBitmapError("Invalid SrcRect");
  if (DstRect.IsEmpty() || SrcRect.IsEmpty()) return;
  if (Target == this && (DrawMode_ != dmOpaque || DstRect.Width() != SrcRect.Width() ||
                         DstRect.Height() != SrcRect.Height())) {
    TBitmap32 Copy;
    Copy.Assign(this);
    Copy.DrawOnto(Target, DstRect, SrcRect);
    return;
  }
  if (DstRect.Width() == SrcRect.Width() && DstRect.Height() == SrcRect.Height())
    Transfer(*Target, DstRect, SrcRect.Left, SrcRect.Top);
  else
    Stretch(*Target, DstRect, SrcRect);
}

void TBitmap32::Stretch(TBitmap32& Target, const TRect& DstRect, const TRect& SrcRect) const {
  TResampleJob Job;
  Job.Src = Source();
  Job.SrcRect = SrcRect;
  Job.DstRect = DstRect;
  Job.Clip = IntersectRect(DstRect, Target.Clip_);
  Job.Edge = EdgeOf(WrapMode_);
  Job.Parallel = CombinesInParallel();
  if (Job.Clip.IsEmpty()) return;
  if (DrawMode_ == dmOpaque) {
    Resampler_->ResampleInto(Job, Target.View());
  } else {
    Resampler_->Resample(Job, [&](std::int32_t X, std::int32_t Y, const TColor32* Row, std::int32_t N) {
      Combine(Row, Target.ScanLine(Y) + X, N);
    });
  }
  Target.Changed(Job.Clip);
}

void TBitmap32::DrawFrom(const TRect& DstRect, const TRect& SrcRect, const TBitmap32* Source) {
  if (!Source) throw EBitmapError("Source bitmap is nil");
  Source->DrawOnto(this, DstRect, SrcRect);
}

void TBitmap32::PaintToDevice(platform::PaintDevice& Device, std::int32_t X, std::int32_t Y) const {
  PaintToDevice(Device, TRect{X, Y, X + Width_, Y + Height_}, FullRect());
}

void TBitmap32::PaintToDevice(platform::PaintDevice& Device, const TRect& DstRect, const TRect& SrcRect) const {
  if (Empty() || DstRect.IsEmpty() || SrcRect.IsEmpty()) return;
  // Keep only the part of SrcRect inside the bitmap, and the matching part of DstRect.
  const TRect Src = IntersectRect(SrcRect, FullRect());
  if (Src.IsEmpty()) return;
  auto Scale = [](std::int32_t V, std::int32_t From, std::int32_t FromSize, std::int32_t To, std::int32_t ToSize) {
    return To + static_cast<std::int32_t>((std::int64_t{V - From} * ToSize) / FromSize);
  };
  const TRect Dst{Scale(Src.Left, SrcRect.Left, SrcRect.Width(), DstRect.Left, DstRect.Width()),
                  Scale(Src.Top, SrcRect.Top, SrcRect.Height(), DstRect.Top, DstRect.Height()),
                  Scale(Src.Right, SrcRect.Left, SrcRect.Width(), DstRect.Left, DstRect.Width()),
                  Scale(Src.Bottom, SrcRect.Top, SrcRect.Height(), DstRect.Top, DstRect.Height())};
  if (Dst.IsEmpty()) return;
  const platform::PixelView Out = Device.Pixels();
  if (!Out.Bits) return;
  const TRect Area = IntersectRect(IntersectRect(Dst, TRect{0, 0, Out.Width, Out.Height}), Device.ClipBox());
  if (Area.IsEmpty()) return;
  if (Dst.Width() == Src.Width() && Dst.Height() == Src.Height()) {
    const std::int32_t Sx = Src.Left + (Area.Left - Dst.Left), Sy = Src.Top + (Area.Top - Dst.Top);
    CopyRows(ScanLine(Sy) + Sx, Width_, Out.Row(Area.Top) + Area.Left, Out.Stride, Area.Width(), Area.Height());
  } else {
    TResampleJob Job{Source(), Src, Dst, Area, platform::EdgeMode::Clamp, true};
    TNearestResampler().ResampleInto(Job, Out);
  }
  Device.Changed(Area);
}

void TBitmap32::SetClipRect(const TRect& Value) { Clip_ = IntersectRect(Value, FullRect()); }

void TBitmap32::SetResampler(std::unique_ptr<TCustomResampler> Value) {
  if (Value) Resampler_ = std::move(Value);
}

void TBitmap32::SetResamplerClassName(const std::string& Name) {
  if (Name == "TNearestResampler") Resampler_ = std::make_unique<TNearestResampler>();
  else if (Name == "TDraftResampler") Resampler_ = std::make_unique<TDraftResampler>();
  else if (Name == "TLinearResampler") Resampler_ = std::make_unique<TLinearResampler>();
  else if (Name == "TKernelResampler") Resampler_ = std::make_unique<TKernelResampler>();
}

void TBitmap32::Changed(const TRect& Area) {
  if (OnAreaChanged) OnAreaChanged(*this, Area);
  if (OnChange) OnChange(*this);
}

void SetResamplerKind(TBitmap32& Bitmap, std::int32_t Kind) {
  std::unique_ptr<TCustomKernel> Kernel;
  switch (Kind) {
    case 0: Bitmap.SetResampler(std::make_unique<TNearestResampler>()); return;
    case 1: Bitmap.SetResampler(std::make_unique<TDraftResampler>()); return;
    case 2: Bitmap.SetResampler(std::make_unique<TLinearResampler>()); return;
    case 3: Kernel = std::make_unique<TCosineKernel>(); break;
    case 4: Kernel = std::make_unique<TSplineKernel>(); break;
    case 5: Kernel = std::make_unique<TLanczosKernel>(); break;
    case 6: Kernel = std::make_unique<TMitchellKernel>(); break;
    default: return;
  }
  auto R = std::make_unique<TKernelResampler>();
  R->SetKernel(std::move(Kernel));
  R->SetKernelMode(kmDynamic);
  Bitmap.SetResampler(std::move(R));
}

std::int32_t GetResamplerKind(const TBitmap32& Bitmap) {
  const std::string Name = Bitmap.ResamplerClassName();
  if (Name == "TDraftResampler") return 1;
  if (Name == "TLinearResampler") return 2;
  if (Name == "TKernelResampler") {
    const auto* K = dynamic_cast<const TKernelResampler*>(&Bitmap.Resampler());
    const std::string Kernel = K ? K->Kernel().ClassName() : std::string();
    if (Kernel == "TCosineKernel") return 3;
    if (Kernel == "TSplineKernel") return 4;
    if (Kernel == "TLanczosKernel") return 5;
    if (Kernel == "TMitchellKernel") return 6;
  }
  return 0;
}
