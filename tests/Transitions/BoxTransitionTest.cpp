// Tile-grid transitions: the grid, the growth of the tiles, the start
// counters of every pattern, and the frames put on the screen, checked
// against a model computed from the growth rule in closed form.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <functional>
#include <map>
#include <numbers>

#include "Platform/Core/Random.h"
#include "Transitions/BoxTransitions.h"
#include "tests/Transitions/TileGrowthRule.h"
#include "tests/Transitions/TransitionTestSupport.h"

using namespace transition_test;

namespace {

constexpr double Pi = std::numbers::pi;

// Builds the grid of a bare tile transition over R.
struct Grid {
  RecordingCanvas Canvas{1, 1, 0};
  TBitmap32 Target;
  TTPBoxTransition T;
  Grid(const TRect& R, std::int32_t Columns) {
    T.InitTransition(R, nullptr, &Target, Canvas);
    T.BuildTiles(Columns, Columns);
  }
};

TEST(BoxTransition, BuildTilesChoosesTheStepAndCutsTheLastColumnAndRow) {
  struct Case {
    TRect R;
    std::int32_t Columns;
    std::int32_t Step, Cols, Rows, LastW, LastH;
  };
  const Case Cases[] = {
      {{0, 0, 800, 600}, 0, 80, 10, 8, 80, 40},     // wide: 600 / 80 = 7.5 rounds up to 8 rows
      {{0, 0, 600, 800}, 0, 80, 8, 10, 40, 80},     // tall: 80 * 10 is not below 800
      {{0, 0, 601, 805}, 0, 81, 8, 10, 34, 76},     // tall: 805 / 10 = 80 rounds up to 81
      {{0, 0, 100, 100}, 0, 10, 10, 10, 10, 10},    // square counts as tall
      {{0, 0, 5, 5}, 0, 1, 5, 5, 1, 1},             // the step never falls below 1
      {{0, 0, 800, 5}, 0, 80, 10, 1, 80, 5},        // a strip keeps the wide step
      {{0, 0, 800, 600}, 130, 6, 134, 100, 2, 6},   // the fine grid: 7 x 7 tiles
      {{10, 20, 410, 220}, 200, 2, 200, 100, 2, 2},  // mask density, away from the origin
      {{0, 0, 300, 500}, 90, 5, 60, 100, 5, 5},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.R.Right - C.R.Left << "x" << C.R.Bottom - C.R.Top << " C0 " << C.Columns);
    Grid G(C.R, C.Columns);
    ASSERT_EQ(G.T.Cols(), C.Cols);
    ASSERT_EQ(G.T.Rows(), C.Rows);
    ASSERT_EQ(G.T.Tiles().size(), static_cast<std::size_t>(C.Cols * C.Rows));
    const TBoxTile& First = G.T.Tiles().front();
    EXPECT_EQ(First.Left, C.R.Left);
    EXPECT_EQ(First.Top, C.R.Top);
    // Interior tiles are one pixel larger than the step (neighbours overlap).
    EXPECT_EQ(First.Right - First.Left, std::min(C.Step + 1, C.R.Right - C.R.Left));
    EXPECT_EQ(First.Bottom - First.Top, std::min(C.Step + 1, C.R.Bottom - C.R.Top));
    const TBoxTile& Last = G.T.Tiles().back();
    EXPECT_EQ(Last.Left, C.R.Left + (C.Cols - 1) * C.Step);
    EXPECT_EQ(Last.Top, C.R.Top + (C.Rows - 1) * C.Step);
    EXPECT_EQ(Last.Right, C.R.Right);
    EXPECT_EQ(Last.Bottom, C.R.Bottom);
    EXPECT_EQ(Last.Right - Last.Left, C.LastW);
    EXPECT_EQ(Last.Bottom - Last.Top, C.LastH);
    const TBoxTile& Second = G.T.Tiles()[1 % G.T.Tiles().size()];
    if (C.Cols > 1) {
      EXPECT_EQ(Second.Left, C.R.Left + C.Step);
    }
    for (const TBoxTile& T : G.T.Tiles()) {
      EXPECT_EQ(T.RevealW, 0);
      EXPECT_EQ(T.RevealH, 0);
    }
  }
}

TEST(BoxTransition, AnEmptyOrReversedRectangleHasNoTilesAndFinishesAtItsFirstStep) {
  for (const TRect& R : {TRect{5, 5, 5, 100}, TRect{0, 0, 0, 0}, TRect{50, 50, 10, 10}}) {
    Grid G(R, 0);
    EXPECT_TRUE(G.T.Tiles().empty());
    EXPECT_FALSE(G.T.Finished());
    G.T.Step();
    EXPECT_TRUE(G.T.Finished());
  }
}

// Logs the rectangles each step reveals.
class LoggingAllSimultaneous final : public TTPBoxAllSimultaneousTransition {
public:
  std::vector<std::vector<std::pair<TRect, const TBoxTile*>>> Steps;
  void Step() override {
    Steps.emplace_back();
    TTPBoxAllSimultaneousTransition::Step();
  }
  void RevealRect(const TRect& R, const TBoxTile& Tile) override {
    Steps.back().emplace_back(R, &Tile);
    TTPBoxAllSimultaneousTransition::RevealRect(R, Tile);
  }
};

TEST(BoxTransition, AllTilesTogetherGrowTwoPixelsAStepAndFinishAfter43Steps) {
  RecordingCanvas Canvas(800, 600, 0);
  TBitmap32 Target;
  Target.Resize(800, 600);
  LoggingAllSimultaneous T;
  T.InitTransition(TRect{0, 0, 800, 600}, nullptr, &Target, Canvas);
  std::int32_t StepsRun = 0;
  while (!T.Finished()) {
    T.Step();
    ++StepsRun;
    ASSERT_LE(StepsRun, 100);
  }
  EXPECT_EQ(StepsRun, 43);
  // The first interior tile (81 x 81): nothing, then 2, 4, ..., 80, then 81.
  const TBoxTile* Tile0 = &T.Tiles()[0];
  std::vector<std::int32_t> Widths;
  for (const auto& Step : T.Steps) {
    std::int32_t W = 0;
    for (const auto& [R, Tile] : Step)
      if (Tile == Tile0) {
        W = R.Width();
        EXPECT_EQ(R.Height(), R.Width());
        EXPECT_EQ(R.Left + R.Right, 81 - (81 - W) % 2) << "centred";
      }
    Widths.push_back(W);
  }
  std::vector<std::int32_t> Expected{0};
  for (std::int32_t W = 2; W <= 80; W += 2) Expected.push_back(W);
  Expected.push_back(81);
  Expected.push_back(0);  // the 43rd step draws nothing and reports finished
  EXPECT_EQ(Widths, Expected);
  EXPECT_TRUE(T.Steps[0].empty());
  EXPECT_TRUE(T.Steps[42].empty());
}

TEST(BoxTransition, AFiveByFiveRectangleIsFinishedAfterThreeSteps) {
  RecordingCanvas Canvas(5, 5, 0);
  TBitmap32 Target;
  FillPattern(Target, 5, 5, 9);
  TTPBoxAllSimultaneousTransition T;
  T.InitTransition(TRect{0, 0, 5, 5}, nullptr, &Target, Canvas);
  std::int32_t StepsRun = 0;
  while (!T.Finished()) {
    T.Step();
    ++StepsRun;
  }
  EXPECT_EQ(StepsRun, 3);
  for (std::int32_t I = 0; I < 25; ++I) EXPECT_EQ(Canvas.Image()[I], Target.Bits()[I]);
}

// ---- the start counters, computed here from the patterns' definitions ----

using CounterFormula = std::function<std::int64_t(std::int32_t r, std::int32_t c, std::int32_t Rows, std::int32_t Cols)>;

std::int64_t RoundEven(double V) { return static_cast<std::int64_t>(std::nearbyint(V)); }
double Dist(std::int32_t r, std::int32_t c, std::int32_t Rows, std::int32_t Cols) {
  return std::hypot(static_cast<double>(r - Rows / 2), static_cast<double>(c - Cols / 2));
}
// Clockwise from twelve o'clock as seen from the real centre of the grid,
// 0 .. 2 pi; straight up counts as a full turn, as the sweep reaches it last.
// The centre tile itself lies at the start of the upper-left quarter.
double Clockwise(std::int32_t r, std::int32_t c, std::int32_t Rows, std::int32_t Cols) {
  const double Dx = c - Cols / 2.0, Dy = r - Rows / 2.0;
  if (Dx == 0 && Dy == 0) return 3 * Pi / 2;
  double A = std::atan2(Dx, -Dy);
  if (A <= 0 && Dy < 0) A += 2 * Pi;  // upper half, left or straight up
  if (A < 0) A += 2 * Pi;
  return A;
}
// The angle within the tile's quarter, from where the quarter's beam starts
// (up, right, down, left); quarters are split at the integer halves.
double Quarter(std::int32_t r, std::int32_t c, std::int32_t Rows, std::int32_t Cols) {
  const bool Upper = r <= Rows / 2, Left = c <= Cols / 2;
  const double Start = Upper ? (Left ? 3 * Pi / 2 : 0) : (Left ? Pi : Pi / 2);
  return Clockwise(r, c, Rows, Cols) - Start;
}

struct PatternCase {
  TPluginClassRef Class;
  std::int32_t Columns;
  CounterFormula Counter;
};

std::vector<PatternCase> DeterministicPatterns() {
  using R = std::int32_t;
  return {
      {TTPBoxAllSimultaneousTransition::StaticClass(), 0, [](R, R, R, R) { return 0; }},
      {TTPBoxTopLeftToBottomRightTransition::StaticClass(), 0, [](R r, R c, R, R) { return -10 * (r + c); }},
      {TTPBoxTopRightToBottomLeftTransition::StaticClass(), 0,
       [](R r, R c, R, R Cols) { return -10 * (r + Cols - 1 - c); }},
      {TTPBoxBottomRightToTopLeftTransition::StaticClass(), 0,
       [](R r, R c, R Rows, R Cols) { return -10 * (Rows - 1 - r + Cols - 1 - c); }},
      {TTPBoxBottomLeftToTopRightTransition::StaticClass(), 0,
       [](R r, R c, R Rows, R) { return -10 * (Rows - 1 - r + c); }},
      {TTPBoxCircleGrowTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) { return -RoundEven(Dist(r, c, Rows, Cols)); }},
      {TTPBoxCircleShrinkTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) {
         return RoundEven(Dist(r, c, Rows, Cols)) - (RoundEven(std::hypot(Rows / 2, Cols / 2)) + 1);
       }},
      {TTPBoxCircleRingTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) { return -std::abs(RoundEven(40 * std::sin(Dist(r, c, Rows, Cols) / 10))); }},
      {TTPBoxSmallCirclesTransition::StaticClass(), 80,
       [](R r, R c, R, R) { return -std::abs(RoundEven(20 * std::sin(r / 5.0) + 20 * std::sin(c / 5.0))); }},
      {TTPBoxMODEffektTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) {
         return -std::abs(RoundEven(40 * std::sin(Dist(r, c, Rows, Cols) / 10) - r % 360));
       }},
      {TTPBoxRadarTransition::StaticClass(), 90,
       [](R r, R c, R Rows, R Cols) { return -RoundEven(20 * Clockwise(r, c, Rows, Cols)); }},
      {TTPBoxSpriralRadarTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) {
         return -std::abs(RoundEven(40 * std::sin(Dist(r, c, Rows, Cols) / 5))) -
                RoundEven(20 * Clockwise(r, c, Rows, Cols));
       }},
      {TTPBoxQuarterRadarTransition::StaticClass(), 90,
       [](R r, R c, R Rows, R Cols) { return -RoundEven(20 * Quarter(r, c, Rows, Cols)); }},
      {TTPBoxQuarterSpiralRadarTransition::StaticClass(), 130,
       [](R r, R c, R Rows, R Cols) {
         return -std::abs(RoundEven(40 * std::sin(Dist(r, c, Rows, Cols) / 5))) -
                RoundEven(20 * Quarter(r, c, Rows, Cols));
       }},
  };
}

TEST(BoxTransition, RadarAnglesSweepClockwiseFromTwelve) {
  // A 10 x 10 grid, centre (5, 5): right of it a quarter turn, below half a
  // turn, left three quarters; the column straight up comes last.
  struct Case {
    std::int32_t r, c;
    double Theta, Phi;
  };
  const Case Cases[] = {
      {5, 9, Pi / 2, Pi / 2}, {9, 5, Pi, 0},         {5, 0, 3 * Pi / 2, 0},
      {0, 5, 2 * Pi, Pi / 2}, {1, 9, Pi / 4, Pi / 4}, {1, 1, 7 * Pi / 4, Pi / 4},
      {5, 5, 3 * Pi / 2, 0},  {9, 1, 5 * Pi / 4, Pi / 4}, {9, 9, 3 * Pi / 4, Pi / 4},
  };
  for (const Case& C : Cases) {
    const TRadarAngles A = RadarAngles(C.r, C.c, 10, 10);
    EXPECT_NEAR(A.Theta, C.Theta, 1e-12) << C.r << "," << C.c;
    EXPECT_NEAR(A.Phi, C.Phi, 1e-12) << C.r << "," << C.c;
  }
}

struct RunResult {
  std::vector<RecordingCanvas::Frame> Frames;
  std::vector<TBoxTile> InitialTiles;
  std::int32_t Cols = 0, Rows = 0, StepsRun = 0;
  std::uint64_t Elapsed = 0;
};

constexpr std::int32_t CanvasW = 150, CanvasH = 110;
const TRect StageRect{6, 4, 146, 107};  // 140 x 103, away from the canvas origin

RunResult RunTransition(TPluginClassRef Class, const TBitmap32& Target) {
  platform::VirtualClock Clock(1000);
  platform::ScopedClock Use(Clock);
  RunResult Result;
  {
    RecordingCanvas Canvas(CanvasW, CanvasH, 0xFF102030u);
    auto T = CreatePluginAs<TTPBoxTransition>(Class);
    T->InitTransition(StageRect, nullptr, const_cast<TBitmap32*>(&Target), Canvas);
    Result.InitialTiles = T->Tiles();
    Result.Cols = T->Cols();
    Result.Rows = T->Rows();
    while (!T->Finished()) {
      T->Step();
      T->WaitForNextStep();
      ++Result.StepsRun;
    }
    T->ResetTransition();
    Result.Frames = Canvas.Frames();
  }
  Result.Elapsed = Clock.Elapsed() - 1000;
  return Result;
}

// The frames a run must show, from the growth rule in closed form: a tile
// with start counter S and size w x h starts at step j1 = floor(-S/2) + 2,
// shows min(S + 2(j - 1), w) x min(S + 2(j - 1), h) centred at step j, and
// is complete after the step in which both sizes reached the tile (a tile
// whose first size already exceeds it in both directions never shows).
struct Model {
  std::vector<Pixels> Frames;  // one per step that drew anything
  std::int32_t Steps = 0;      // steps until Finished
};

Model ExpectedRun(const std::vector<TBoxTile>& Tiles, const TBitmap32& Target) {
  Model M;
  Pixels Image(static_cast<std::size_t>(CanvasW) * CanvasH, 0xFF102030u);
  std::int32_t LastIncomplete = 0;
  struct Span {
    std::int32_t First, Full;  // first showing step, step the size reaches the tile
  };
  auto SpanOf = [](std::int32_t S, std::int32_t Size) {
    const std::int32_t J1 = (-S) / 2 + 2;
    std::int32_t J = J1;
    while (S + 2 * (J - 1) < Size) ++J;
    return Span{J1, J};
  };
  std::vector<std::pair<Span, Span>> Spans;
  for (const TBoxTile& T : Tiles) {
    const Span W = SpanOf(T.RevealW, T.Right - T.Left), H = SpanOf(T.RevealH, T.Bottom - T.Top);
    const std::int32_t FirstSize = T.RevealW + 2 * (W.First - 1);
    const bool Never = FirstSize > T.Right - T.Left && FirstSize > T.Bottom - T.Top;
    LastIncomplete = std::max(LastIncomplete, Never ? W.First - 1 : std::max(W.Full, H.Full));
    Spans.emplace_back(W, H);
  }
  M.Steps = LastIncomplete + 1;
  for (std::int32_t J = 1; J <= M.Steps; ++J) {
    bool Drew = false;
    for (std::size_t I = 0; I < Tiles.size(); ++I) {
      const TBoxTile& T = Tiles[I];
      const auto& [W, H] = Spans[I];
      const std::int32_t Tw = T.Right - T.Left, Th = T.Bottom - T.Top;
      const std::int32_t FirstSize = T.RevealW + 2 * (W.First - 1);
      if (FirstSize > Tw && FirstSize > Th) continue;
      if (J < W.First || J > std::max(W.Full, H.Full)) continue;
      const std::int32_t Rw = std::min(T.RevealW + 2 * (J - 1), Tw), Rh = std::min(T.RevealH + 2 * (J - 1), Th);
      const std::int32_t L = T.Left + Tw / 2 - Rw / 2, Tp = T.Top + Th / 2 - Rh / 2;
      for (std::int32_t Y = Tp; Y < Tp + Rh; ++Y)
        for (std::int32_t X = L; X < L + Rw; ++X)
          Image[static_cast<std::size_t>(Y) * CanvasW + X] = Target.Pixel(X - StageRect.Left, Y - StageRect.Top);
      Drew = true;
    }
    if (Drew) M.Frames.push_back(Image);
  }
  return M;
}

void ExpectRunMatchesModel(const RunResult& R, const TBitmap32& Target) {
  const Model M = ExpectedRun(R.InitialTiles, Target);
  EXPECT_EQ(R.StepsRun, M.Steps);
  ASSERT_EQ(R.Frames.size(), M.Frames.size());
  for (std::size_t F = 0; F < M.Frames.size(); ++F) {
    ASSERT_TRUE(R.Frames[F].Image == M.Frames[F]) << "frame " << F;
    EXPECT_EQ(R.Frames[F].ChangedCalls, 1) << "one change per step, frame " << F;
  }
  // Outside the stage rectangle nothing was touched; inside, the target.
  const Pixels& Last = R.Frames.back().Image;
  for (std::int32_t Y = 0; Y < CanvasH; ++Y)
    for (std::int32_t X = 0; X < CanvasW; ++X) {
      const bool Inside = X >= StageRect.Left && X < StageRect.Right && Y >= StageRect.Top && Y < StageRect.Bottom;
      ASSERT_EQ(Last[static_cast<std::size_t>(Y) * CanvasW + X],
                Inside ? Target.Pixel(X - StageRect.Left, Y - StageRect.Top) : 0xFF102030u)
          << X << "," << Y;
    }
  // The tile transitions keep their 20 ms period from each step's start.
  EXPECT_EQ(R.Elapsed, 20u * static_cast<std::uint64_t>(R.StepsRun));
}

TEST(BoxTransition, EveryPatternHasItsStartCountersAndShowsTheModelsFrames) {
  TBitmap32 Target;
  FillPattern(Target, StageRect.Width(), StageRect.Height(), 11);
  for (const PatternCase& P : DeterministicPatterns()) {
    SCOPED_TRACE(std::string(P.Class->ClassName()));
    const RunResult R = RunTransition(P.Class, Target);
    TTPBoxTransition Probe;  // the expected grid
    RecordingCanvas Unused(1, 1, 0);
    Probe.InitTransition(StageRect, nullptr, &Target, Unused);
    Probe.BuildTiles(P.Columns, P.Columns);
    ASSERT_EQ(R.Cols, Probe.Cols());
    ASSERT_EQ(R.Rows, Probe.Rows());
    std::size_t I = 0;
    for (std::int32_t r = 0; r < R.Rows; ++r)
      for (std::int32_t c = 0; c < R.Cols; ++c, ++I) {
        const auto S = static_cast<std::int32_t>(P.Counter(r, c, R.Rows, R.Cols));
        ASSERT_EQ(R.InitialTiles[I].RevealW, S) << "tile " << r << "," << c;
        ASSERT_EQ(R.InitialTiles[I].RevealH, S) << "tile " << r << "," << c;
      }
    ExpectRunMatchesModel(R, Target);
  }
}

TEST(BoxTransition, DiagonalsStartFiveStepsApart) {
  TBitmap32 Target;
  FillPattern(Target, StageRect.Width(), StageRect.Height(), 12);
  const RunResult R = RunTransition(TTPBoxTopLeftToBottomRightTransition::StaticClass(), Target);
  // 140 x 103: step 14, 10 x 8 tiles; diagonal k first shows at step 5k + 2.
  ASSERT_EQ(R.Cols, 10);
  ASSERT_EQ(R.Rows, 8);
  std::map<std::int32_t, std::int32_t> FirstStepOfDiagonal;
  for (std::size_t I = 0; I < R.InitialTiles.size(); ++I) {
    const std::int32_t S = R.InitialTiles[I].RevealW;
    const std::int32_t Diagonal = static_cast<std::int32_t>(I) / R.Cols + static_cast<std::int32_t>(I) % R.Cols;
    FirstStepOfDiagonal[Diagonal] = (-S) / 2 + 2;
  }
  for (const auto& [Diagonal, First] : FirstStepOfDiagonal) EXPECT_EQ(First, 5 * Diagonal + 2);
}

TEST(BoxTransition, RandomPatternsDrawNewDelaysInRangeAndOddOnesRevealOddSizes) {
  TBitmap32 Target;
  FillPattern(Target, StageRect.Width(), StageRect.Height(), 13);
  struct Case {
    TPluginClassRef Class;
    std::int32_t Range;
  };
  for (const Case& C : {Case{TTPBoxRandomLargeTransition::StaticClass(), 200},
                        Case{TTPBoxRandomMediumTransition::StaticClass(), 150},
                        Case{TTPBoxRandomSmallTransition::StaticClass(), 150}}) {
    SCOPED_TRACE(std::string(C.Class->ClassName()));
    platform::ProgramRandom().Seed(77);
    const RunResult A = RunTransition(C.Class, Target);
    const RunResult B = RunTransition(C.Class, Target);
    bool SomeOdd = false, Differs = false;
    for (std::size_t I = 0; I < A.InitialTiles.size(); ++I) {
      const std::int32_t S = A.InitialTiles[I].RevealW;
      ASSERT_LE(S, 0);
      ASSERT_GT(S, -C.Range);
      SomeOdd = SomeOdd || (S % 2 != 0);
      Differs = Differs || S != B.InitialTiles[I].RevealW;
    }
    EXPECT_TRUE(SomeOdd);
    EXPECT_TRUE(Differs) << "every run draws new delays";
    // The model shows odd counters revealing 1, 3, 5, ... pixels.
    ExpectRunMatchesModel(A, Target);
  }
}

TEST(BoxTransition, AnOddCounterRevealsOddSizes) {
  RecordingCanvas Canvas(20, 20, 0);
  TBitmap32 Target;
  Target.Resize(20, 20);
  class Odd final : public TTPBoxTransition {
  public:
    std::vector<std::int32_t> Sizes;
    void RevealRect(const TRect& R, const TBoxTile& Tile) override {
      Sizes.push_back(R.Width());
      TTPBoxTransition::RevealRect(R, Tile);
    }
  } T;
  T.InitTransition(TRect{0, 0, 9, 20}, nullptr, &Target, Canvas);
  T.BuildTiles(1, 1);  // one 9 x 20 tile
  ASSERT_EQ(T.Tiles().size(), 1u);
  const_cast<TBoxTile&>(T.Tiles()[0]).RevealW = -3;
  const_cast<TBoxTile&>(T.Tiles()[0]).RevealH = -3;
  while (!T.Finished()) T.Step();
  EXPECT_EQ(T.Sizes, (std::vector<std::int32_t>{1, 3, 5, 7, 9, 9, 9, 9, 9, 9, 9}));
}

}  // namespace

namespace {

// The counters after one step, by the growth rule applied to every tile of
// the table in turn.
void GrowTableByTheRule(std::vector<TBoxTile>& Tiles) {
  for (TBoxTile& T : Tiles) {
    const std::int32_t W = T.Right - T.Left, H = T.Bottom - T.Top;
    if (W < T.RevealW && H < T.RevealH) continue;
    const bool Drawn = T.RevealW > 0 && T.RevealH > 0;
    tile_rule::GrowReveal(W, T.RevealW, Drawn);
    tile_rule::GrowReveal(H, T.RevealH, Drawn);
  }
}

bool SameCounters(const std::vector<TBoxTile>& A, const std::vector<TBoxTile>& B) {
  return std::equal(A.begin(), A.end(), B.begin(), B.end(), [](const TBoxTile& X, const TBoxTile& Y) {
    return X.RevealW == Y.RevealW && X.RevealH == Y.RevealH;
  });
}

}  // namespace

// Tiles that wait are passed over by the steps and counted on when they
// start or when the table is read: read after every step, the table is the
// one the rule gives, for delays from none to far beyond the run, with the
// two counters of a tile apart (as mask pictures set them).
TEST(BoxTransition, TheTableReadBetweenStepsIsTheOneTheRuleGives) {
  RecordingCanvas Canvas(120, 90, 0);
  TBitmap32 Target;
  Target.Resize(120, 90);
  TTPBoxTransition T;
  T.InitTransition(TRect{0, 0, 120, 90}, nullptr, &Target, Canvas);
  T.BuildTiles(20, 20);
  platform::ProgramRandom().Seed(5);
  for (const TBoxTile& Tile : T.Tiles()) {
    auto& Writable = const_cast<TBoxTile&>(Tile);
    Writable.RevealW = -static_cast<std::int32_t>(platform::ProgramRandom().Next(40));
    Writable.RevealH = -static_cast<std::int32_t>(platform::ProgramRandom().Next(40));
  }
  const_cast<TBoxTile&>(T.Tiles()[7]).RevealW = std::numeric_limits<std::int32_t>::min();
  const_cast<TBoxTile&>(T.Tiles()[7]).RevealH = std::numeric_limits<std::int32_t>::min();
  const_cast<TBoxTile&>(T.Tiles()[8]).RevealW = 3;  // started before the first step
  std::vector<TBoxTile> Expected = T.Tiles();
  for (int Step = 1; Step <= 40; ++Step) {
    T.Step();
    GrowTableByTheRule(Expected);
    // Unread stretches of steps as well as reads after single steps.
    if (Step % 7 > 0 && Step % 7 < 4) continue;
    ASSERT_TRUE(SameCounters(T.Tiles(), Expected)) << "after step " << Step;
    // Reading twice counts nothing twice.
    ASSERT_TRUE(SameCounters(T.Tiles(), Expected)) << "after step " << Step;
  }
  EXPECT_FALSE(T.Finished()) << "tile 7 waits for about 2^30 steps";
}
