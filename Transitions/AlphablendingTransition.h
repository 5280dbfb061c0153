#pragma once
// Cross-fades from what the stage showed (the source) to the new picture:
// N frames, the source's weight falling from about 15/16 to 0, so the last
// frame is the target exactly. The steps keep no step interval of their
// own: only the driver's fixed waits pace them.
#include <cstdint>
#include <memory>
#include <string>

#include "CommonImplementations/Bitmap32.h"
#include "Transitions/TransitionPlugin.h"

class TTPAlphablendingMMXClass : public TTransitionPlugin::TMetaClass {
public:
  std::string Caption() const override { return "Alphablending"; }
  bool NeedsSourceBitmap() const override { return true; }
};

class TTPAlphablendingMMX : public TTransitionPlugin {
  LMO_PLUGIN_WITH_CLASS(TTPAlphablendingMMX, TTransitionPlugin, TTPAlphablendingMMXClass)
public:
  TTPAlphablendingMMX() { SetStepInterval(0); }

  // The base initialisation (which needs a source), then a work bitmap of
  // the source's size; the source is set to blend by its master alpha alone
  // (draw mode blend, every pixel opaque). The source is changed for good.
  void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) override;
  void ResetTransition() override;
  // Step k of N: the source's master alpha := 255 - Round(k / N * 255); the
  // frame is the target with the source blended over it, copied to the
  // canvas at Rect's top-left corner.
  void Step() override;
  bool Finished() override { return StepCount_ >= Steps(); }

  // The number of frames N.
  virtual std::int32_t Steps() const { return 16; }
  // The source's master alpha in frame K of N.
  static std::uint32_t SourceMasterAlpha(std::int32_t K, std::int32_t N);

  const TBitmap32* WorkBitmap() const { return WorkBitmap_.get(); }

protected:
  // The frame being composed; absent when it could not be made, and then the
  // steps count on without drawing.
  std::unique_ptr<TBitmap32> WorkBitmap_;
};

class TTPAlphablendingSmootherMMXClass : public TTPAlphablendingMMX::TMetaClass {
public:
  std::string Caption() const override { return "Alphablending (Weicher)"; }
};

// The same cross-fade in 32 frames.
class TTPAlphablendingSmootherMMX : public TTPAlphablendingMMX {
  LMO_PLUGIN_WITH_CLASS(TTPAlphablendingSmootherMMX, TTPAlphablendingMMX, TTPAlphablendingSmootherMMXClass)
public:
  std::int32_t Steps() const override { return 32; }
};
