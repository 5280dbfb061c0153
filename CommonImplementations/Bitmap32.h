#pragma once
// TBitmap32: 32-bit pixels in memory (TColor32, alpha in the top byte), rows
// top to bottom without gaps, with the drawing state the system combines
// bitmaps by (draw mode, master alpha, resampler, clip rectangle, ...).
// A bitmap is also a paint device, so that another bitmap can paint onto it
// as onto the window.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "CommonImplementations/Resamplers.h"
#include "Platform/Core/Font.h"
#include "Platform/Core/PaintDevice.h"
#include "Platform/Core/Types.h"

namespace platform {
class Picture;
}

enum TDrawMode { dmOpaque, dmBlend, dmCustom, dmTransparent };
enum TCombineMode { cmBlend, cmMerge };
enum TWrapMode { wmClamp, wmRepeat, wmMirror };

// Errors of the bitmap operations ("Source bitmap is nil", "Invalid SrcRect", ...).
class EBitmapError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TBitmap32;
// dmCustom: F drawn onto B with master alpha M.
using TPixelCombineEvent = std::function<void(TColor32 F, TColor32& B, TColor32 M)>;
using TBitmapNotifyEvent = std::function<void(TBitmap32& Sender)>;
using TAreaChangedEvent = std::function<void(TBitmap32& Sender, const TRect& Area)>;

class TBitmap32 : public platform::PaintDevice {
public:
  TBitmap32();
  ~TBitmap32() override;
  TBitmap32(const TBitmap32&) = delete;
  TBitmap32& operator=(const TBitmap32&) = delete;

  // ---- size and pixels
  std::int32_t Width() const { return Width_; }
  std::int32_t Height() const { return Height_; }
  void SetWidth(std::int32_t Value) { Resize(Value, Height_); }
  void SetHeight(std::int32_t Value) { Resize(Width_, Value); }
  // A new size drops the pixels; the new ones are all 0 until drawn.
  // Throws EBitmapError "Can't allocate the DIB handle" (the bitmap is then empty).
  void Resize(std::int32_t NewWidth, std::int32_t NewHeight);
  bool Empty() const { return Bits_ == nullptr; }
  TRect FullRect() const { return TRect{0, 0, Width_, Height_}; }

  TColor32* Bits() { return Bits_.get(); }
  const TColor32* Bits() const { return Bits_.get(); }
  TColor32* ScanLine(std::int32_t Y) { return Bits_.get() + static_cast<std::intptr_t>(Y) * Width_; }
  const TColor32* ScanLine(std::int32_t Y) const { return Bits_.get() + static_cast<std::intptr_t>(Y) * Width_; }
  // Checked access: outside the bitmap Pixel answers 0 and SetPixel does nothing.
  TColor32 Pixel(std::int32_t X, std::int32_t Y) const;
  void SetPixel(std::int32_t X, std::int32_t Y, TColor32 Value);
  platform::PixelView View() { return platform::PixelView{Bits_.get(), Width_, Height_, Width_}; }
  platform::SourcePixels Source() const { return platform::SourcePixels{Bits_.get(), Width_, Height_, Width_}; }

  // ---- assigning
  // From another bitmap: its size, pixels and drawing settings (draw, combine
  // and wrap mode, master alpha, outer colour, resampler, font). From none:
  // empty.
  virtual void Assign(const TBitmap32* Source);
  void Assign(const TBitmap32& Source) { Assign(&Source); }
  void Assign(std::nullptr_t) { Assign(static_cast<const TBitmap32*>(nullptr)); }
  // From a picture: its size and its image drawn over black, every pixel
  // opaque; an empty picture only sizes the bitmap.
  void Assign(const platform::Picture* Picture);
  void Assign(const platform::Picture& Picture) { Assign(&Picture); }
  // This := Background with Front drawn onto it at (0, 0) by Front's draw
  // mode: the same as Assign(Background) then Front.DrawOnto(this), in one
  // pass over the pixels when Front blends (a cross-fade step).
  void AssignBlended(const TBitmap32& Background, const TBitmap32& Front);

  // ---- pixel operations
  // Pixels with X1 <= x < X2, Y1 <= y < Y2 (cut to the bitmap).
  void FillArea(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, TColor32 Color);
  TColor32 PixelOrOuter(std::int32_t X, std::int32_t Y) const;
  void MakeOpaque();

  // ---- drawing onto another bitmap (clipped to Target's clip rectangle)
  void DrawOnto(TBitmap32* Target) const { DrawOnto(Target, 0, 0); }
  void DrawOnto(TBitmap32* Target, std::int32_t X, std::int32_t Y) const;
  void DrawOnto(TBitmap32* Target, const TRect& DstRect) const { DrawOnto(Target, DstRect, FullRect()); }
  // SrcRect must lie inside this bitmap ("Invalid SrcRect").
  void DrawOnto(TBitmap32* Target, const TRect& DstRect, const TRect& SrcRect) const;
  void DrawFrom(const TRect& DstRect, const TRect& SrcRect, const TBitmap32* Source);

  // ---- block copies onto a device (alpha copied along, the device ignores it)
  void PaintToDevice(platform::PaintDevice& Device, std::int32_t X, std::int32_t Y) const;
  // SrcRect stretched to DstRect, nearest pixel; the part of SrcRect outside
  // the bitmap is left out together with its share of DstRect.
  void PaintToDevice(platform::PaintDevice& Device, const TRect& DstRect, const TRect& SrcRect) const;

  // ---- clip rectangle: limits PixelOrOuter and drawing into this bitmap
  TRect ClipRect() const { return Clip_; }
  void SetClipRect(const TRect& Value);
  void ResetClipRect() { Clip_ = FullRect(); }

  // ---- drawing settings
  TDrawMode DrawMode() const { return DrawMode_; }
  void SetDrawMode(TDrawMode Value) { DrawMode_ = Value; }
  TCombineMode CombineMode() const { return CombineMode_; }
  void SetCombineMode(TCombineMode Value) { CombineMode_ = Value; }
  TWrapMode WrapMode() const { return WrapMode_; }
  void SetWrapMode(TWrapMode Value) { WrapMode_ = Value; }
  std::uint32_t MasterAlpha() const { return MasterAlpha_; }
  // Values above 255 are taken as 255.
  void SetMasterAlpha(std::uint32_t Value) { MasterAlpha_ = Value > 255 ? 255 : Value; }
  TColor32 OuterColor() const { return OuterColor_; }
  // Also the key colour of dmTransparent: source pixels equal to it are skipped.
  void SetOuterColor(TColor32 Value) { OuterColor_ = Value; }

  const TCustomResampler& Resampler() const { return *Resampler_; }
  TCustomResampler& Resampler() { return *Resampler_; }
  // nullptr keeps the current resampler.
  void SetResampler(std::unique_ptr<TCustomResampler> Value);
  std::string ResamplerClassName() const { return Resampler_->ClassName(); }
  // One of the four resampler class names; other names change nothing.
  void SetResamplerClassName(const std::string& Name);

  TFont& Font() { return Font_; }
  const TFont& Font() const { return Font_; }
  void SetFont(const TFont& Value) { Font_.Assign(Value); }

  // The bitmap's lock (re-entrant for the same thread).
  void LockBitmap() { Lock_.lock(); }
  void UnlockBitmap() { Lock_.unlock(); }

  // Change notifications; the system's own code sets none.
  TBitmapNotifyEvent OnChange;
  TBitmapNotifyEvent OnHandleChanged;
  TBitmapNotifyEvent OnResize;
  TAreaChangedEvent OnAreaChanged;
  TPixelCombineEvent OnPixelCombine;

  // ---- the bitmap as a paint device
  platform::PixelView Pixels() override { return View(); }
  TRect ClipBox() const override { return Clip_; }
  void Changed(const TRect& Area) override;

private:
  struct FreePixels {
    std::size_t Count = 0;
    void operator()(TColor32* P) const;
  };

  void CopySettingsFrom(const TBitmap32& Source);
  void Combine(const TColor32* F, TColor32* B, std::int32_t Count) const;
  bool CombinesInParallel() const { return DrawMode_ != dmCustom; }
  void Stretch(TBitmap32& Target, const TRect& DstRect, const TRect& SrcRect) const;
  // Unscaled: the part of this bitmap from (SrcX, SrcY) onto DstRect of Target.
  void Transfer(TBitmap32& Target, const TRect& DstRect, std::int32_t SrcX, std::int32_t SrcY) const;

  std::int32_t Width_ = 0;
  std::int32_t Height_ = 0;
  std::unique_ptr<TColor32[], FreePixels> Bits_;
  TRect Clip_;
  TDrawMode DrawMode_ = dmOpaque;
  TCombineMode CombineMode_ = cmBlend;
  TWrapMode WrapMode_ = wmClamp;
  std::uint32_t MasterAlpha_ = 255;
  TColor32 OuterColor_ = 0;
  std::unique_ptr<TCustomResampler> Resampler_;
  TFont Font_;
  std::recursive_mutex Lock_;
};

// Resampler kinds by number: 0 nearest, 1 draft, 2 bilinear, 3 cosine,
// 4 spline, 5 Lanczos, 6 Mitchell (kernel resamplers in kmDynamic mode).
// Other numbers leave the bitmap unchanged.
void SetResamplerKind(TBitmap32& Bitmap, std::int32_t Kind);
// The inverse; 0 for anything it does not know (a kernel resampler with
// another kernel included).
std::int32_t GetResamplerKind(const TBitmap32& Bitmap);
