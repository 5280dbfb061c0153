#pragma once
// Mask-picture transitions: tile-grid transitions on a fine grid (about 200
// tiles along the longer side) whose start order comes from a grey-scale
// picture in the program's data folder. The picture is stretched onto the
// grid; dark tiles start first, white ones 128 steps later.
#include <memory>
#include <string>
#include <vector>

#include "Transitions/BoxTransition.h"

class TTPBoxPicTransitionClass : public TTPBoxTransition::TMetaClass {
public:
  std::string Caption() const override { return "Test"; }
  // The bare file name of the mask, or nothing when PicFilename is empty.
  std::vector<std::string> UsedFilenames() const override;
  // The full path of the mask picture; empty for the base class.
  virtual std::string PicFilename() const { return {}; }
};

class TTPBoxPicTransition : public TTPBoxTransition {
  LMO_PLUGIN_WITH_CLASS(TTPBoxPicTransition, TTPBoxTransition, TTPBoxPicTransitionClass)
public:
  // The grid, then the start counters from the mask; without a mask every
  // counter stays 0 and all tiles start together.
  void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) override;
  // The mask picture as a new bitmap of its own size; null when it cannot be
  // loaded or decoded (never an error). Read anew for every run.
  virtual std::unique_ptr<TBitmap32> GetBitmap();

  std::string PicFilename() const {
    return PluginClassAs<TTPBoxPicTransitionClass>(ClassType())->PicFilename();
  }

  // Sets the start counters of the grid from Mask: tile (r, c) samples the
  // mask at x = Round((c + 1) * width / Cols) - 1 and
  // y = Round((r + 1) * height / Rows) - 1, the bottom-right pixel of its
  // share of the picture (outside the mask: the outer colour), and waits by
  // the blue channel v of that pixel: both counters := -v. The mask is
  // stretched in both directions independently.
  void SetCountersFromMask(const TBitmap32& Mask);
};
