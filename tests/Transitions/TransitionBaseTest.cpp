// The transition protocol: pacing of WaitForNextStep, the source check of
// InitTransition, the driver loop and the reset.
#include <gtest/gtest.h>

#include <stdexcept>

#include "Transitions/TransitionClasses.h"
#include "tests/Transitions/TransitionTestSupport.h"

using namespace transition_test;

namespace {

struct WaitCase {
  std::uint32_t StartTick;    // the clock when the step starts
  bool StartsTimer;           // StartStepTimer at the step's start
  std::uint32_t Interval;
  std::uint32_t DrawingTime;  // virtual time the step's drawing takes
  std::uint64_t ExpectedStepPeriod;
};

TEST(TransitionBase, WaitForNextStepKeepsTheTenPlusOneStructureAndTheInterval) {
  const WaitCase Cases[] = {
      {100000, false, 0, 0, 11},    // never started: the bare wait
      {100000, false, 20, 0, 11},   // StepStart 0 lies far back
      {100000, true, 20, 0, 20},    // the 20 ms period of the tile transitions
      {100000, true, 20, 15, 26},   // drawing longer than 9 ms: drawing + 11
      {100000, true, 0, 5, 16},
      {0xFFFFFFF8u, true, 20, 0, 20},  // the tick count wraps during the wait
      {0xFFFFFFFFu, true, 40, 3, 40},
  };
  for (const WaitCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << "start " << C.StartTick << " interval " << C.Interval);
    platform::VirtualClock Clock(C.StartTick);
    platform::ScopedClock Use(Clock);
    TTransitionPlugin T;
    T.SetStepInterval(C.Interval);
    if (C.StartsTimer) T.StartStepTimer();
    Clock.Advance(C.DrawingTime);
    T.WaitForNextStep();
    EXPECT_EQ(Clock.Elapsed() - C.StartTick, C.ExpectedStepPeriod);
  }
}

TEST(TransitionBase, InitTransitionChecksTheSourceOnlyForClassesThatNeedOne) {
  RegisterOnce();
  RecordingCanvas Canvas(10, 10, 0);
  TBitmap32 Target;
  Target.Resize(4, 4);
  const TRect R{1, 2, 5, 6};

  TTPBoxAllSimultaneousTransition Box;
  EXPECT_NO_THROW(Box.InitTransition(R, nullptr, &Target, Canvas));
  EXPECT_EQ(Box.TargetBitmap(), &Target);

  for (TPluginClassRef C : std::vector<TPluginClassRef>{TTPAlphablendingMMX::StaticClass(), TTPAlphablendingSmootherMMX::StaticClass(),
                            TTPRandomTransition::StaticClass()}) {
    SCOPED_TRACE(std::string(C->ClassName()));
    auto T = CreatePluginAs<TTransitionPlugin>(C);
    try {
      T->InitTransition(R, nullptr, &Target, Canvas);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& E) {
      EXPECT_STREQ(E.what(), "SourceBitmap wird benötigt!");
    }
    // The rectangle is stored before the check, nothing else.
    EXPECT_EQ(T->Rect(), R);
    EXPECT_EQ(T->TargetBitmap(), nullptr);
    EXPECT_EQ(T->Canvas(), nullptr);
  }
}

TEST(TransitionBase, ABaseTransitionIsFinishedAtOnceAndDrawsNothing) {
  platform::VirtualClock Clock(5000);
  platform::ScopedClock Use(Clock);
  RecordingCanvas Canvas(8, 8, 0xFF000000u);
  TBitmap32 Target;
  FillPattern(Target, 8, 8, 1);
  TTransitionPlugin T;
  T.InitTransition(TRect{0, 0, 8, 8}, nullptr, &Target, Canvas);
  T.Execute();
  EXPECT_TRUE(Canvas.Frames().empty());
  EXPECT_EQ(Clock.Elapsed(), 5000u);  // no step, no wait
  EXPECT_EQ(T.Rect(), TRect{});
  EXPECT_EQ(T.TargetBitmap(), nullptr);
}

TEST(TransitionBase, DrawTargetPaintsTheWholeTargetAtRect) {
  RecordingCanvas Canvas(12, 10, 0xFF000000u);
  TBitmap32 Target;
  FillPattern(Target, 5, 4, 2);
  TTransitionPlugin T;
  T.InitTransition(TRect{3, 2, 8, 6}, nullptr, &Target, Canvas);
  T.DrawTarget();
  for (std::int32_t Y = 0; Y < 10; ++Y)
    for (std::int32_t X = 0; X < 12; ++X) {
      const bool Inside = X >= 3 && X < 8 && Y >= 2 && Y < 6;
      EXPECT_EQ(Canvas.Image()[Y * 12 + X], Inside ? Target.Pixel(X - 3, Y - 2) : 0xFF000000u) << X << "," << Y;
    }
}

TEST(TransitionBase, ResetIsHarmlessWhenIdleAndAfterAnUnrunInit) {
  RegisterOnce();
  RecordingCanvas Canvas(20, 20, 0);
  TBitmap32 Source, Target;
  FillPattern(Source, 20, 20, 3);
  FillPattern(Target, 20, 20, 4);
  for (TPluginClassRef C : TransitionClasses()) {
    SCOPED_TRACE(std::string(C->ClassName()));
    auto Idle = CreatePluginAs<TTransitionPlugin>(C);
    Idle->ResetTransition();
    Idle->ResetTransition();
    // Destroyed after InitTransition without a run: the work state goes with
    // it (the sanitizer build watches for leaks).
    auto Initialised = CreatePluginAs<TTransitionPlugin>(C);
    TBitmap32 OwnSource;
    OwnSource.Assign(Source);
    Initialised->InitTransition(TRect{0, 0, 20, 20}, &OwnSource, &Target, Canvas);
  }
}

}  // namespace
