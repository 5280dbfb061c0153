#pragma once
// Tile-grid transitions: the rectangle is cut into a grid of tiles, and in
// every tile a centred rectangle of the target grows by about one pixel on
// each side per step until it fills the tile. Each tile starts when its
// start counter (RevealW / RevealH, zero or negative) has become positive:
// a counter of -2k delays the tile by k steps. Subclasses choose the grid
// density and the start counters; the old stage content stays visible
// around the growing rectangles, so no source bitmap is needed.
#include <cstdint>
#include <functional>
#include <vector>

#include "Transitions/TransitionPlugin.h"

// One tile: its rectangle on the canvas and the size of its revealed centre
// rectangle (zero or negative: the start counter of a tile not yet started).
struct TBoxTile {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  std::int32_t RevealW = 0;
  std::int32_t RevealH = 0;
};

class TTPBoxTransition : public TTransitionPlugin {
  LMO_PLUGIN(TTPBoxTransition, TTransitionPlugin)
public:
  // A step period of at least 20 ms from the start of each step.
  TTPBoxTransition();

  // The base initialisation, then not all revealed. Builds no tiles: each
  // subclass calls BuildTiles and sets the start counters.
  void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) override;
  // The base reset, then no tile table.
  void ResetTransition() override;
  void Step() override;
  bool Finished() override { return AllRevealed_; }

  // Copies the part R (canvas coordinates) of the target onto the canvas,
  // unblended. Inside a step the copies are collected and made row by row in
  // memory order once the tiles of a grid row are done, and the canvas hears
  // of the step's changes once; called on its own, it copies at once.
  virtual void RevealRect(const TRect& R, const TBoxTile& Tile);

  // Builds the grid over Rect: Columns = 0 chooses the automatic density
  // (about 10 tiles along the longer side); otherwise about Columns tiles
  // along the longer side (callers pass Columns = Rows). Tiles are one pixel
  // larger than the grid step, so neighbours overlap by one pixel; the last
  // column and row are cut at the rectangle. An empty rectangle gives no
  // tiles.
  void BuildTiles(std::int32_t Columns, std::int32_t Rows);
  // The work of one step: draws every tile that is still growing and grows
  // it; AllRevealed when no tile needed drawing.
  void GrowTiles();

  // The tile table as the steps so far have left it.
  const std::vector<TBoxTile>& Tiles() const {
    SettleSleepingTiles();
    return Tiles_;
  }
  std::int32_t Cols() const { return Cols_; }
  std::int32_t Rows() const { return Rows_; }
  bool AllRevealed() const { return AllRevealed_; }

protected:
  // Stores S (truncated to 32 bits) into both counters of every tile, tile
  // (r, c) in table order: row by row from the top, each row from the left.
  void SetStartCounters(const std::function<std::int64_t(std::int32_t R, std::int32_t C)>& S);
  // Sorts the tiles into growing and sleeping ones from their counters: the
  // first step of a run does it by itself.
  void PlanSteps();
  // To be called after writing into Tiles_ between steps (before the first
  // step no call is needed).
  void TilesChanged() { PlanSteps(); }

  // Written by BuildTiles and the subclasses' start counters; between steps
  // the counters of tiles still waiting are brought up to date on reading
  // (SettleSleepingTiles), hence mutable.
  mutable std::vector<TBoxTile> Tiles_;
  std::int32_t Cols_ = 0;
  std::int32_t Rows_ = 0;
  bool AllRevealed_ = false;

private:
  void CopyPendingRects();
  void WakeTiles();
  void SettleSleepingTiles() const;

  // A step visits only the tiles that are growing. A tile still waiting
  // (both counters zero or below) would count up by 2 per step with nothing
  // else to do: it sleeps instead, in a list ordered by the step in which it
  // starts, and gets the counting of the steps it slept when it wakes (or
  // when the table is read). Growing tiles are kept in table order, so
  // copies and reveals happen in the same order as over the whole table.
  struct SleepingTile {
    std::uint32_t WakeStep;  // step (counted from planning) in which it grows
    std::uint32_t Index;
  };
  bool Planned_ = false;
  std::uint32_t StepsSincePlanning_ = 0;
  std::vector<std::uint32_t> Growing_;
  std::vector<std::uint32_t> Woken_;
  std::vector<std::uint32_t> Merged_;
  std::vector<SleepingTile> Sleeping_;
  std::size_t NextToWake_ = 0;
  // Steps already counted into the table for every tile still asleep.
  mutable std::uint32_t StepsCountedWhileAsleep_ = 0;

  bool CollectingReveals_ = false;
  std::vector<TRect> PendingRects_;
  TRect StepChanges_;
};
