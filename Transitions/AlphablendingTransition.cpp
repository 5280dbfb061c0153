#include "Transitions/AlphablendingTransition.h"

#include "Transitions/Rounding.h"

void TTPAlphablendingMMX::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,
                                         platform::PaintDevice& ACanvas) {
  TTransitionPlugin::InitTransition(ARect, Source, Target, ACanvas);
  WorkBitmap_.reset();
  if (!Source) return;
  WorkBitmap_ = std::make_unique<TBitmap32>();
  try {
    WorkBitmap_->Resize(Source->Width(), Source->Height());
  } catch (const EBitmapError&) {
    WorkBitmap_.reset();
  }
  Source->SetDrawMode(dmBlend);
  Source->MakeOpaque();
}

void TTPAlphablendingMMX::ResetTransition() {
  TTransitionPlugin::ResetTransition();
  WorkBitmap_.reset();
}

std::uint32_t TTPAlphablendingMMX::SourceMasterAlpha(std::int32_t K, std::int32_t N) {
  return static_cast<std::uint32_t>(255 - RoundHalfEven(static_cast<double>(K) * 255 / N));
}

void TTPAlphablendingMMX::Step() {
  ++StepCount_;
  if (!WorkBitmap_ || !SourceBitmap_ || !TargetBitmap_ || !Canvas_) return;
  SourceBitmap_->SetMasterAlpha(SourceMasterAlpha(StepCount_, Steps()));
  // The target with the source drawn over it, in one pass.
  WorkBitmap_->AssignBlended(*TargetBitmap_, *SourceBitmap_);
  WorkBitmap_->PaintToDevice(*Canvas_, Rect_.Left, Rect_.Top);
}
