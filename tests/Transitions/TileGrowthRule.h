#pragma once
// The growth rule of one tile of a tile wipe, written out independently of
// the transition for the tests to compare against. Each step a tile's reveal
// grows by two pixels in each direction (by one when it equals the tile's
// size), clamped to the tile once the tile has been drawn; a counter still
// at or below zero only counts up.
#include <cstdint>

namespace tile_rule {

inline void GrowReveal(std::int32_t Size, std::int32_t& Reveal, bool Drawn) {
  if (Size < Reveal && Drawn) return;
  if (Size == Reveal) {
    Reveal += 1;
  } else {
    Reveal += 2;
    if (Reveal > Size && Drawn) Reveal = Size;
  }
}

}  // namespace tile_rule
