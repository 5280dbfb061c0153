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

  const std::vector<TBoxTile>& Tiles() const { return Tiles_; }
  std::int32_t Cols() const { return Cols_; }
  std::int32_t Rows() const { return Rows_; }
  bool AllRevealed() const { return AllRevealed_; }

protected:
  // Stores S (truncated to 32 bits) into both counters of every tile, tile
  // (r, c) in table order: row by row from the top, each row from the left.
  void SetStartCounters(const std::function<std::int64_t(std::int32_t R, std::int32_t C)>& S);

  std::vector<TBoxTile> Tiles_;
  std::int32_t Cols_ = 0;
  std::int32_t Rows_ = 0;
  bool AllRevealed_ = false;

private:
  void CopyPendingRects();

  bool CollectingReveals_ = false;
  std::vector<TRect> PendingRects_;
  TRect StepChanges_;
};
