#pragma once
// Splits large pixel passes over both cores.
//
// Full-frame copies and blends are bound by memory bandwidth, and one core
// alone cannot saturate it: a second core nearly doubles the rate. Passes
// over small areas stay on the calling thread, where the hand-over would
// cost more than it saves.
#include <cstdint>
#include <functional>

namespace platform {

// Below this many pixels a pass runs on the calling thread alone.
inline constexpr std::int64_t ParallelPixelThreshold = 256 * 1024;

// Runs Body(Begin, End) over the rows [0, Rows). When Pixels (the amount of
// work) reaches ParallelPixelThreshold the rows are split into two bands, the
// lower one run by a helper thread; returns when both bands are done. Body
// must only touch its own rows. Exceptions from either band are rethrown.
void ForEachRowBand(std::int32_t Rows, std::int64_t Pixels,
                    const std::function<void(std::int32_t Begin, std::int32_t End)>& Body);

// Turns the band splitting off (false) or on again; for measurements.
void SetParallelPixelPasses(bool Enabled);

}  // namespace platform
