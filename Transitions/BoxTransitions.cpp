#include "Transitions/BoxTransitions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "Platform/Core/Random.h"
#include "Transitions/Rounding.h"

namespace {

constexpr double Pi = std::numbers::pi;

// Distance of tile (r, c) from the tile at the integer halves (hr, hc).
double CentreDistance(std::int32_t R, std::int32_t C, std::int32_t Rows, std::int32_t Cols) {
  const double Dr = R - Rows / 2, Dc = C - Cols / 2;
  return std::sqrt(Dr * Dr + Dc * Dc);
}

}  // namespace

TRadarAngles RadarAngles(std::int32_t R, std::int32_t C, std::int32_t Rows, std::int32_t Cols) {
  const double Yc = Rows / 2.0, Xc = Cols / 2.0;
  double D = std::sqrt((R - Yc) * (R - Yc) + (C - Xc) * (C - Xc));
  if (D == 0) D = 1;
  // The quotient is at most 1; keep rounding from pushing it beyond.
  const double A = std::asin(std::min(std::fabs(Yc - R) / D, 1.0));
  const bool Upper = R <= Rows / 2, Left = C <= Cols / 2;
  if (Upper && Left) return {A + 3 * Pi / 2, A};
  if (Upper) return {Pi / 2 - A, Pi / 2 - A};
  if (!Left) return {A + Pi / 2, A};
  return {3 * Pi / 2 - A, Pi / 2 - A};
}

// Each class: the base initialisation, the grid, then the start counters.
#define LMO_BOX_INIT(Class, Columns, ...)                                                            \
  void Class::InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target,                          \
                             platform::PaintDevice& ACanvas) {                                           \
    TTPBoxTransition::InitTransition(ARect, Source, Target, ACanvas);                                    \
    BuildTiles(Columns, Columns);                                                                        \
    const std::int32_t Rows = Rows_, Cols = Cols_;                                                       \
    (void)Rows;                                                                                          \
    (void)Cols;                                                                                          \
    SetStartCounters([&](std::int32_t r, std::int32_t c) -> std::int64_t { __VA_ARGS__; });                 \
  }

LMO_BOX_INIT(TTPBoxAllSimultaneousTransition, 0, (void)r; (void)c; return 0)
LMO_BOX_INIT(TTPBoxTopLeftToBottomRightTransition, 0, return -10 * (r + c))
LMO_BOX_INIT(TTPBoxTopRightToBottomLeftTransition, 0, return -10 * (r + (Cols - 1 - c)))
LMO_BOX_INIT(TTPBoxBottomRightToTopLeftTransition, 0, return -10 * ((Rows - 1 - r) + (Cols - 1 - c)))
LMO_BOX_INIT(TTPBoxBottomLeftToTopRightTransition, 0, return -10 * ((Rows - 1 - r) + c))
LMO_BOX_INIT(TTPBoxRandomLargeTransition, 0, (void)r; (void)c; return -Random(200))
LMO_BOX_INIT(TTPBoxRandomMediumTransition, 50, (void)r; (void)c; return -Random(150))
LMO_BOX_INIT(TTPBoxRandomSmallTransition, 130, (void)r; (void)c; return -Random(150))
LMO_BOX_INIT(TTPBoxCircleGrowTransition, 130, return -RoundHalfEven(CentreDistance(r, c, Rows, Cols)))
LMO_BOX_INIT(TTPBoxCircleShrinkTransition, 130,
             const double Hr = Rows / 2; const double Hc = Cols / 2;
             return RoundHalfEven(CentreDistance(r, c, Rows, Cols)) - (RoundHalfEven(std::sqrt(Hr * Hr + Hc * Hc)) + 1))
LMO_BOX_INIT(TTPBoxCircleRingTransition, 130,
             return -std::llabs(RoundHalfEven(40 * std::sin(CentreDistance(r, c, Rows, Cols) / 10))))
LMO_BOX_INIT(TTPBoxSmallCirclesTransition, 80,
             return -std::llabs(RoundHalfEven(20 * std::sin(r / 5.0) + 20 * std::sin(c / 5.0))))
LMO_BOX_INIT(TTPBoxMODEffektTransition, 130,
             return -std::llabs(RoundHalfEven(40 * std::sin(CentreDistance(r, c, Rows, Cols) / 10) - (r % 360))))
LMO_BOX_INIT(TTPBoxRadarTransition, 90, return -RoundHalfEven(20 * RadarAngles(r, c, Rows, Cols).Theta))
LMO_BOX_INIT(TTPBoxSpriralRadarTransition, 130,
             return -std::llabs(RoundHalfEven(40 * std::sin(CentreDistance(r, c, Rows, Cols) / 5))) -
                    RoundHalfEven(20 * RadarAngles(r, c, Rows, Cols).Theta))
LMO_BOX_INIT(TTPBoxQuarterRadarTransition, 90, return -RoundHalfEven(20 * RadarAngles(r, c, Rows, Cols).Phi))
LMO_BOX_INIT(TTPBoxQuarterSpiralRadarTransition, 130,
             return -std::llabs(RoundHalfEven(40 * std::sin(CentreDistance(r, c, Rows, Cols) / 5))) -
                    RoundHalfEven(20 * RadarAngles(r, c, Rows, Cols).Phi))

#undef LMO_BOX_INIT
