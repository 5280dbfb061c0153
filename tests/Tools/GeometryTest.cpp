#include "Tools/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(Geometry, RelativeToRectTruncatesEachEdge) {
  struct Case { TRelRect Rel; TRect Frame; TRect Expected; };
  const Case Cases[] = {
      {RelRect(0, 0, 1, 1), Rect(0, 0, 800, 600), Rect(0, 0, 800, 600)},
      {RelRect(0.1, 0.1, 0.5, 0.5), Rect(0, 0, 333, 250), Rect(33, 25, 166, 125)},
      {RelRect(0.5, 0.5, 1, 1), Rect(100, 50, 300, 250), Rect(200, 150, 300, 250)},
      {RelRect(-0.25, -0.1, 1.5, 1.1), Rect(0, 0, 10, 10), Rect(-2, -1, 15, 11)},  // trunc toward zero
  };
  for (const Case& C : Cases) {
    const TRect R = RelativeToRect(C.Rel, C.Frame);
    EXPECT_EQ(R, C.Expected) << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
  }
}

TEST(Geometry, RectToRelativeIsTheInverseOnExactFractions) {
  const TRect Frame = Rect(100, 50, 500, 250);
  const TRelRect Rel = RectToRelative(Rect(200, 100, 500, 250), Frame);
  EXPECT_EQ(Rel, RelRect(0.25, 0.25, 1, 1));
  EXPECT_EQ(RelativeToRect(Rel, Frame), Rect(200, 100, 500, 250));
  // An empty frame gives zero fractions rather than a division by zero.
  EXPECT_EQ(RectToRelative(Rect(1, 2, 3, 4), Rect(5, 5, 5, 5)), RelRect(0, 0, 0, 0));
}

TEST(Geometry, HostilePlacementsStayInRange) {
  const double Inf = std::numeric_limits<double>::infinity();
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  const TRect R = RelativeToRect(RelRect(NaN, -Inf, Inf, 1e300), Rect(0, 0, 800, 600));
  EXPECT_EQ(R.Left, 0);
  EXPECT_EQ(R.Top, -MaxPlacementEdge);
  EXPECT_EQ(R.Right, MaxPlacementEdge);
  EXPECT_EQ(R.Bottom, MaxPlacementEdge);
  EXPECT_EQ(R.Height(), 2 * MaxPlacementEdge);  // a width that fits into 32 bits
  const TRect Huge = Rect(std::numeric_limits<std::int32_t>::min(), 0, std::numeric_limits<std::int32_t>::max(), 1);
  EXPECT_EQ(RectWidth(Huge), -1);  // wraps like the platform's integers
  RelativeToRect(RelRect(0, 0, 1, 1), Huge);
  FitRect(Rect(0, 0, 1, 1000000), Huge, true);
}

TEST(Geometry, FitRectKeepsProportions) {
  struct Case { TRect Source, Target; bool Center; TRect Expected; };
  const Case Cases[] = {
      {Rect(0, 0, 400, 300), Rect(0, 0, 200, 200), true, Rect(0, 25, 200, 175)},
      {Rect(0, 0, 400, 300), Rect(0, 0, 200, 200), false, Rect(0, 0, 200, 150)},
      {Rect(0, 0, 300, 400), Rect(0, 0, 200, 200), true, Rect(25, 0, 175, 200)},
      {Rect(0, 0, 300, 400), Rect(10, 10, 210, 210), false, Rect(10, 10, 160, 210)},
      {Rect(5, 5, 5, 9), Rect(1, 2, 30, 40), true, Rect(1, 2, 30, 40)},         // empty source
      {Rect(0, 0, 100, 1), Rect(0, 0, 50, 50), false, Rect(0, 0, 50, 1)},       // h 0 -> 1
      {Rect(0, 0, 1, 1000), Rect(0, 0, 50, 50), false, Rect(0, 0, 1, 50)},      // w 0 -> 1
      {Rect(0, 0, 4, 3), Rect(10, 10, 10, 20), true, Rect(9, 14, 10, 15)},      // zero width: 1 x 1
  };
  for (const Case& C : Cases) {
    const TRect R = FitRect(C.Source, C.Target, C.Center);
    EXPECT_EQ(R, C.Expected) << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom;
  }
}
