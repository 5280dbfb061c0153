#include "Transitions/TransitionPlugin.h"

#include <stdexcept>

#include "CommonImplementations/Bitmap32.h"
#include "Platform/Core/Clock.h"

TTransitionPlugin::TTransitionPlugin() { TTransitionPlugin::ResetTransition(); }

TTransitionPlugin::~TTransitionPlugin() { TTransitionPlugin::ResetTransition(); }

void TTransitionPlugin::DrawTarget() {
  if (!TargetBitmap_ || !Canvas_) return;
  TargetBitmap_->PaintToDevice(*Canvas_, Rect_, TRect{0, 0, Rect_.Width(), Rect_.Height()});
}

void TTransitionPlugin::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,
                                       platform::PaintDevice& ACanvas) {
  Rect_ = ARect;
  if (!Source && TransitionClass().NeedsSourceBitmap()) throw std::runtime_error(SourceBitmapNeededMessage);
  SourceBitmap_ = Source;
  TargetBitmap_ = Target;
  Canvas_ = &ACanvas;
  StepCount_ = 0;
  StepStart_ = 0;
}

void TTransitionPlugin::ResetTransition() {
  Rect_ = TRect{0, 0, 0, 0};
  SourceBitmap_ = nullptr;
  TargetBitmap_ = nullptr;
  Canvas_ = nullptr;
}

void TTransitionPlugin::Execute() {
  while (!Finished()) {
    Step();
    WaitForNextStep();
  }
  ResetTransition();
}

void TTransitionPlugin::StartStepTimer() { StepStart_ = GetTickCount(); }

void TTransitionPlugin::WaitForNextStep() {
  Sleep(10);
  std::uint32_t Now;
  do {
    Sleep(1);
    Now = GetTickCount();
  } while (static_cast<std::uint32_t>(Now - StepStart_) < StepInterval_);
}
