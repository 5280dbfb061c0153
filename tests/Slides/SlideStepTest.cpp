// The slide's step state machine, its requests, pause and input forwarding,
// driven with scriptable objects on the virtual clock.
#include <gtest/gtest.h>

#include "Platform/Core/Clock.h"
#include "Slides/Slide.h"
#include "tests/Slides/RecordingPlayerWindow.h"
#include "tests/Slides/TestSlideObject.h"

namespace {

using Journal = std::vector<std::string>;

class SlideStep : public ::testing::Test {
protected:
  // StepsToFinish per object: 1 = done in its first step, -1 = never done.
  void AddObjects(std::initializer_list<int> Steps) {
    for (int S : Steps) {
      auto Obj = std::make_unique<TTestSlideObject>();
      Obj->Journal = &Log;
      Obj->Index = Slide.Objects.Count();
      Obj->StepsToFinish = S;
      Slide.Objects.AddObject(std::move(Obj));
    }
  }
  TTestSlideObject& Object(int I) { return *static_cast<TTestSlideObject*>(Slide.Objects.Objects(I)); }

  platform::VirtualClock Clock{1000};
  platform::ScopedClock UseClock{Clock};
  RecordingPlayerWindow Window;
  Journal Log;  // outlives the slide, whose objects write to it when destroyed
  TSlide Slide;
};

TEST_F(SlideStep, SlideWithoutObjectsEndsAtOnceWithoutItsBackground) {
  EXPECT_FALSE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, -1);
  EXPECT_TRUE(Window.Calls.empty());  // background not started, nothing flushed
  EXPECT_EQ(Slide.Background->PlayerForm, nullptr);
}

TEST_F(SlideStep, ObjectDoneInOneStepEndsTheSlideInTheSameCall) {
  AddObjects({1});
  EXPECT_FALSE(Slide.Step());
  // Started before the background, stepped, stopped by its step and again by
  // the leave check, which finds no further object.
  EXPECT_EQ(Log, (Journal{"Start 0", "Step 0", "Stop 0", "Stop 0"}));
  EXPECT_EQ(Slide.CurrentIndex, -1);
  EXPECT_EQ(Slide.PendingBackground, nullptr);
  // The background: one InvalidateAll and one flush of its own; then one
  // flush per finished step and the final one.
  EXPECT_EQ(Window.Calls, (Journal{"InvalidateAll", "FlushSurface", "FlushSurface", "FlushSurface", "FlushSurface"}));
}

TEST_F(SlideStep, ObjectsFinishingInOneStepFollowEachOtherWithinOneCall) {
  AddObjects({1, 1, -1});
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, 2);
  EXPECT_EQ(Log, (Journal{"Start 0", "Step 0", "Stop 0", "Stop 0", "Start 1", "Step 1", "Stop 1", "Stop 1", "Start 2",
                          "Step 2"}));
}

TEST_F(SlideStep, TimedObjectIsPolledUntilItsDurationHasPassed) {
  AddObjects({1, -1});
  Object(0).Duration = 50;
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, 0);
  Clock.Advance(49);
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, 0);
  Clock.Advance(1);
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, 1);
}

TEST_F(SlideStep, RequestNextObject) {
  AddObjects({-1, -1, -1});
  Slide.Step();  // object 0
  ASSERT_TRUE(Slide.RequestNextObject());
  Slide.Step();
  ASSERT_EQ(Slide.CurrentIndex, 1);
  Log.clear();
  EXPECT_TRUE(Slide.RequestNextObject());
  EXPECT_TRUE(Slide.NextRequested);
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Log, (Journal{"Stop 1", "Start 2", "Step 2"}));
  EXPECT_FALSE(Slide.NextRequested);
  // On the last object there is no next one: nothing changes.
  EXPECT_FALSE(Slide.RequestNextObject());
  EXPECT_FALSE(Slide.NextRequested);
  EXPECT_FALSE(Slide.PreviousRequested);
}

TEST_F(SlideStep, RequestPreviousObject) {
  AddObjects({-1, -1, -1});
  Slide.Step();
  EXPECT_FALSE(Slide.RequestPreviousObject());  // on object 0
  EXPECT_FALSE(Slide.PreviousRequested);
  Slide.RequestNextObject();
  Slide.Step();
  Slide.RequestNextObject();
  Slide.Step();
  ASSERT_EQ(Slide.CurrentIndex, 2);
  Log.clear();
  ASSERT_TRUE(Slide.RequestPreviousObject());
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Log, (Journal{"Stop 2", "Start 1", "Step 1"}));
  EXPECT_EQ(Slide.CurrentIndex, 1);
}

TEST_F(SlideStep, LatestRequestWins) {
  AddObjects({-1, -1, -1});
  Slide.Step();
  Slide.RequestNextObject();
  Slide.Step();  // object 1
  Slide.RequestNextObject();
  Slide.RequestPreviousObject();
  EXPECT_FALSE(Slide.NextRequested);
  Slide.Step();
  EXPECT_EQ(Slide.CurrentIndex, 0);
}

TEST_F(SlideStep, RequestWhileBackgroundPendingIsUsedUpOnTheBackground) {
  AddObjects({-1, -1});
  Slide.Background->Duration = 1000;  // keeps the background pending
  EXPECT_TRUE(Slide.Step());
  ASSERT_EQ(Slide.PendingBackground, Slide.Background.get());
  ASSERT_TRUE(Slide.RequestNextObject());
  Log.clear();
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.PendingBackground, nullptr);
  EXPECT_EQ(Slide.CurrentIndex, 0);  // object 0 is stepped normally
  EXPECT_EQ(Log, (Journal{"Step 0"}));
  EXPECT_FALSE(Slide.NextRequested);
}

TEST_F(SlideStep, BackgroundIsRestartedOnEveryStepWhilePending) {
  AddObjects({-1});
  Slide.Background->Duration = 30;
  Slide.Step();
  const std::uint32_t FirstStart = Slide.Background->StartTick;
  Clock.Advance(20);
  Slide.Step();
  // Started afresh, so its duration counts again from this step.
  EXPECT_EQ(Slide.Background->StartTick, FirstStart + 20);
  EXPECT_EQ(Slide.PendingBackground, Slide.Background.get());
}

TEST_F(SlideStep, LastObjectFinishingEndsTheSlideAndResetLetsItPlayAgain) {
  AddObjects({1, 2});
  EXPECT_TRUE(Slide.Step());
  EXPECT_FALSE(Slide.Step());
  EXPECT_EQ(Slide.CurrentIndex, -1);
  Slide.ResetPlayState();
  Log.clear();
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Log.front(), "Start 0");
  EXPECT_EQ(Slide.PendingBackground, nullptr);  // the default background finished at once
}

TEST_F(SlideStep, PauseAndResumeReachOnlyTheCurrentObject) {
  AddObjects({-1, -1});
  Slide.PauseCurrentObject();  // no current object yet: nothing
  Slide.Step();
  Log.clear();
  Slide.PauseCurrentObject();
  Slide.PauseCurrentObject();
  Slide.ResumeCurrentObject();
  EXPECT_EQ(Log, (Journal{"DoPause 0", "DoResume 0"}));
  Slide.StopCurrentObject();
  EXPECT_EQ(Log.back(), "Stop 0");
}

TEST_F(SlideStep, InputGoesToTheCurrentObjectOnlyAndNeverToThePendingBackground) {
  AddObjects({-1, -1});
  std::uint16_t Key = 65;
  Slide.KeyDown(nullptr, Key, 0);  // not started: dropped
  EXPECT_TRUE(Log.empty());
  Slide.Background->Duration = 1000;
  Slide.Step();
  ASSERT_NE(Slide.PendingBackground, nullptr);
  Log.clear();
  Slide.KeyDown(nullptr, Key, 0);
  Slide.MouseMove(nullptr, 0, 5, 5);
  EXPECT_EQ(Log, (Journal{"KeyDown 0", "MouseMove 0"}));
  EXPECT_TRUE(Object(0).KeyPressed);
  EXPECT_FALSE(Slide.Background->KeyPressed);
}

TEST_F(SlideStep, ChangesOfObjectsAndBackgroundReachTheSlideHandler) {
  std::vector<std::pair<TDavazozavPlugin*, bool>> Changes;
  Slide.SetOnChange([&](TSlide* Sender, TDavazozavPlugin* Obj, bool Rebuild) {
    EXPECT_EQ(Sender, &Slide);
    Changes.emplace_back(Obj, Rebuild);
  });
  AddObjects({1});
  ASSERT_EQ(Changes.size(), 1u);  // AddObject reports the new object once
  EXPECT_EQ(Changes[0], std::make_pair(static_cast<TDavazozavPlugin*>(&Object(0)), true));
  Object(0).DoChange(false);
  Slide.Background->Changed();
  ASSERT_EQ(Changes.size(), 3u);
  EXPECT_EQ(Changes[1], std::make_pair(static_cast<TDavazozavPlugin*>(&Object(0)), false));
  EXPECT_EQ(Changes[2], std::make_pair(static_cast<TDavazozavPlugin*>(Slide.Background.get()), true));
}

}  // namespace

namespace {

TEST(SlideWithoutWindow, StepsHeadlessWithoutFlushing) {
  platform::VirtualClock Clock;
  platform::ScopedClock UseClock(Clock);
  ASSERT_EQ(KivoSlideShowPlayerForm, nullptr);
  TSlide Slide;
  auto Obj = std::make_unique<TTestSlideObject>();
  TTestSlideObject& Added = *Obj;
  Slide.Objects.AddObject(std::move(Obj));
  // Objects do nothing without a window, so the background stays pending;
  // the step neither crashes nor flushes.
  EXPECT_TRUE(Slide.Step());
  EXPECT_EQ(Slide.PendingBackground, Slide.Background.get());
  EXPECT_EQ(Added.StepsDone, 0);
}

}  // namespace
