#pragma once
// The seventeen registered tile-grid transitions. Each one chooses a grid
// density and the start counter of every tile (r, c); with Rows and Cols as
// built, hr = Rows div 2, hc = Cols div 2 and d = the distance of (r, c)
// from (hr, hc) in tiles.
#include <string>

#include "Transitions/BoxTransition.h"

#define LMO_BOX_TRANSITION(Class, CaptionText)                                                            \
  class Class##Class : public TTPBoxTransition::TMetaClass {                                              \
  public:                                                                                                 \
    std::string Caption() const override { return CaptionText; }                                          \
  };                                                                                                      \
  class Class : public TTPBoxTransition {                                                                 \
    LMO_PLUGIN_WITH_CLASS(Class, TTPBoxTransition, Class##Class)                                          \
  public:                                                                                                 \
    void InitTransition(TRect ARect, TBitmap32* Source, TBitmap32* Target, platform::PaintDevice& ACanvas) \
        override;                                                                                         \
  };

// Captions are Windows-1252 text.
// All tiles at once.
LMO_BOX_TRANSITION(TTPBoxAllSimultaneousTransition, "Rechtecke (gleichm\xE4\xDFig)")
// Diagonals from a corner, one diagonal every 5 steps.
LMO_BOX_TRANSITION(TTPBoxTopLeftToBottomRightTransition, "Rechtecke (von links oben)")
LMO_BOX_TRANSITION(TTPBoxTopRightToBottomLeftTransition, "Rechtecke (von rechts oben)")
LMO_BOX_TRANSITION(TTPBoxBottomRightToTopLeftTransition, "Rechtecke (von rechts unten)")
// Shares its caption with the top-left class.
LMO_BOX_TRANSITION(TTPBoxBottomLeftToTopRightTransition, "Rechtecke (von links oben)")
// Random start delays, new for every run.
LMO_BOX_TRANSITION(TTPBoxRandomLargeTransition, "Rechtecke (zuf\xE4llig, gro\xDF)")
LMO_BOX_TRANSITION(TTPBoxRandomMediumTransition, "Rechtecke (zuf\xE4llig, mittel)")
LMO_BOX_TRANSITION(TTPBoxRandomSmallTransition, "Rechtecke (zuf\xE4llig, klein)")
// Circles around the centre.
LMO_BOX_TRANSITION(TTPBoxCircleGrowTransition, "Kreis (gr\xF6\xDF" "er werdend)")
LMO_BOX_TRANSITION(TTPBoxCircleShrinkTransition, "Kreis (kleiner werdend)")
LMO_BOX_TRANSITION(TTPBoxCircleRingTransition, "Kreisringe")
LMO_BOX_TRANSITION(TTPBoxSmallCirclesTransition, "kleine Kreise")
LMO_BOX_TRANSITION(TTPBoxMODEffektTransition, "Effekt (mod)")
// Sweeps clockwise from twelve o'clock: one beam, or four beams, one per
// quarter; the spiral variants break the front into bands.
LMO_BOX_TRANSITION(TTPBoxRadarTransition, "Radar")
LMO_BOX_TRANSITION(TTPBoxSpriralRadarTransition, "Spiral-Radar")
LMO_BOX_TRANSITION(TTPBoxQuarterRadarTransition, "Viertel-Radar")
LMO_BOX_TRANSITION(TTPBoxQuarterSpiralRadarTransition, "Viertel-Spiral-Radar")

#undef LMO_BOX_TRANSITION

// The radar angles of tile (r, c) in a Rows x Cols grid, in radians: Theta
// clockwise from straight up seen from the grid's centre (0 .. 2 pi), Phi
// the angle within the tile's quarter (0 .. pi/2), clockwise.
struct TRadarAngles {
  double Theta;
  double Phi;
};
TRadarAngles RadarAngles(std::int32_t R, std::int32_t C, std::int32_t Rows, std::int32_t Cols);
