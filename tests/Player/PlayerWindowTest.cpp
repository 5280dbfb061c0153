// The player window end to end on the offscreen display: the show's timers,
// navigation, pause, the pointer watch, Esc, layout and the error rule.
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

#include "Chore/PlayerHost.h"
#include "tests/Player/PlayerTestSupport.h"

namespace playertest {
namespace {

TEST(PlayerWindow, NextOnTheLastObjectStartsTheNextSlideAtOnceAndWraps) {
  TimedShow Show(Layout{{-1}, {-1}});
  OffscreenRun Run(640, 480);
  Run.Event("550:button:next");
  Run.Event("1050:button:next");
  Run.Play(Show.Slides, 1200, [&](TKivoSlideShowPlayerForm&) { EXPECT_EQ(Show.Slides.CurrentIndex, 0); });
  TimedObject& First = *Show.Objects[0][0];
  TimedObject& Second = *Show.Objects[1][0];
  EXPECT_EQ(First.First("Stop", 550), 550u);
  // Started by the next slide tick, not by the show tick at 600.
  EXPECT_LE(Second.First("Start"), 560u);
  EXPECT_GE(Second.First("Start"), 550u);
  // The last slide wraps to the first, which starts from its beginning.
  EXPECT_LE(First.First("Start", 1050), 1060u);
}

TEST(PlayerWindow, BackGoesToThePreviousObjectThenFromTheFirstObjectToThePreviousSlide) {
  TimedShow Show(Layout{{-1, -1}, {-1, -1}, {-1, -1}});
  OffscreenRun Run(640, 480);
  Run.Event("300:button:next");  // object 1 of slide 0
  Run.Event("500:button:back");  // object 0 of slide 0 again
  Run.Event("700:button:back");  // the first object: the previous slide, the last one
  Run.Play(Show.Slides, 800, [&](TKivoSlideShowPlayerForm&) { EXPECT_EQ(Show.Slides.CurrentIndex, 2); });
  EXPECT_LE(Show.Objects[0][1]->First("Start"), 310u);
  EXPECT_LE(Show.Objects[0][0]->First("Start", 500), 510u);
  EXPECT_LE(Show.Objects[2][0]->First("Start", 700), 710u);
  EXPECT_EQ(Show.Objects[2][1]->Count("Start"), 0u);
  EXPECT_EQ(Show.Objects[1][0]->Count("Start"), 0u);
}

TEST(PlayerWindow, PauseAndResumeReachTheObjectOnceAndSetTheSlideTickInterval) {
  TimedShow Show(Layout{{-1}});
  OffscreenRun Run(640, 480);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> Intervals;  // (tick, interval)
  Run.Every(50, [&](TKivoSlideShowPlayerForm& W) { Intervals.emplace_back(GetTickCount(), W.SlideTimer.Interval()); });
  bool DownWhilePaused = false;
  Run.Every(700, [&](TKivoSlideShowPlayerForm& W) {
    if (W.Paused) DownWhilePaused = W.StopBtn.Down();
  });
  Run.Event("300:button:stop");
  Run.Event("1400:button:stop");
  Run.Play(Show.Slides, 1600, [&](TKivoSlideShowPlayerForm& W) {
    EXPECT_FALSE(W.Paused);
    EXPECT_FALSE(W.StopBtn.Down());
  });
  TimedObject& Obj = *Show.Objects[0][0];
  EXPECT_EQ(Obj.Count("Pause"), 1u);
  EXPECT_EQ(Obj.Count("Resume"), 1u);
  EXPECT_TRUE(DownWhilePaused);
  std::vector<std::uint32_t> After;
  for (std::uint32_t T : Obj.Ticks("Step")) {
    EXPECT_FALSE(T > 300 && T < 1400) << "stepped at " << T << " while paused";
    if (T > 1400) After.push_back(T);
  }
  ASSERT_GE(After.size(), 10u);
  for (std::size_t I = 1; I < After.size(); ++I) EXPECT_EQ(After[I] - After[I - 1], 10u);
  for (auto [Tick, Interval] : Intervals) {
    if (Tick > 300 && Tick < 1400) {
      EXPECT_EQ(Interval, 500u) << "at " << Tick;
    } else if (Tick < 300 || Tick > 1400) {
      EXPECT_EQ(Interval, 10u) << "at " << Tick;
    }
  }
}

TEST(PlayerWindow, PauseWithoutASlideChangesNothing) {
  TSlides Empty;
  OffscreenRun Run(320, 200);
  Run.Event("5:button:stop");
  Run.Play(Empty, 50, [&](TKivoSlideShowPlayerForm& W) {
    EXPECT_FALSE(W.Paused);
    EXPECT_FALSE(W.StopBtn.Down());
    EXPECT_EQ(W.SlideTimer.Interval(), 10u);
  });
}

class EnvironmentValue {
public:
  EnvironmentValue(const char* Name, const char* Value) : Name_(Name) {
    if (const char* Old = std::getenv(Name)) Old_ = Old, HadOld_ = true;
    if (Value) ::setenv(Name, Value, 1);
    else ::unsetenv(Name);
  }
  ~EnvironmentValue() {
    if (HadOld_) ::setenv(Name_.c_str(), Old_.c_str(), 1);
    else ::unsetenv(Name_.c_str());
  }

private:
  std::string Name_, Old_;
  bool HadOld_ = false;
};

TEST(PlayerWindow, PointerMovedByMoreThanFourPixelsShowsTheBarAndThePointer) {
  struct Case {
    int Distance;
    bool Reacts;
  };
  for (const Case C : {Case{4, false}, Case{5, true}}) {
    SCOPED_TRACE(C.Distance);
    EnvironmentValue Trace("LMOPLAYER_DEBUG", "1");
    TSlides Empty;
    OffscreenRun Run(640, 480);
    Run.Event("50:mouse-move:100,100");
    // After 3 s of rest over the stage the pointer is hidden; then it moves.
    Run.Event("3500:mouse-move:" + std::to_string(100 + C.Distance) + ",100");
    bool HiddenBefore = false;
    Run.Every(3450, [&](TKivoSlideShowPlayerForm& W) { HiddenBefore = !W.CursorVisible; });
    ::testing::internal::CaptureStderr();
    Run.Play(Empty, 3650, [&](TKivoSlideShowPlayerForm& W) {
      EXPECT_EQ(W.NavigationPanel.Visible(), C.Reacts);
      EXPECT_EQ(W.ExitBtnPanel.Visible(), C.Reacts);
      EXPECT_EQ(W.CursorVisible, C.Reacts);
      EXPECT_EQ(Run.Screen->CursorVisible(), C.Reacts);
    });
    const std::string Err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(HiddenBefore);
    // The window gives the pointer back when it goes.
    EXPECT_TRUE(Run.Screen->CursorVisible());
    EXPECT_EQ(Err, C.Reacts ? "105 = 100\n100 = 100\n" : "");
  }
}

TEST(PlayerWindow, RestingHidesBarAndPointerOnlyOverTheStageWithTheFocus) {
  struct Case {
    const char* Name;
    const char* RestAt;
    bool LoseFocus;
    bool Hides;
  };
  // 640 x 480: the navigation bar covers x 205..436, y 423..479; the exit
  // button's panel x 0..47, y 423..479.
  for (const Case C : {Case{"stage", "300,200", false, true}, Case{"navigation bar", "320,450", false, false},
                       Case{"exit button", "20,450", false, false}, Case{"focus lost", "300,200", true, false}}) {
    SCOPED_TRACE(C.Name);
    TSlides Empty;
    OffscreenRun Run(640, 480);
    Run.Event("50:mouse-move:100,100");
    Run.Event(std::string("150:mouse-move:") + C.RestAt);
    if (C.LoseFocus) Run.Event("300:focus-out");
    bool ShownAfterMove = false;
    Run.Every(250, [&](TKivoSlideShowPlayerForm& W) {
      if (GetTickCount() == 250) ShownAfterMove = W.NavigationPanel.Visible();
    });
    Run.Play(Empty, 10000, [&](TKivoSlideShowPlayerForm& W) {
      EXPECT_EQ(W.NavigationPanel.Visible(), !C.Hides);
      EXPECT_EQ(W.ExitBtnPanel.Visible(), !C.Hides);
      EXPECT_EQ(W.CursorVisible, !C.Hides);
      EXPECT_EQ(Run.Screen->CursorVisible(), !C.Hides);
    });
    EXPECT_TRUE(ShownAfterMove);
  }
}

TEST(PlayerWindow, EscClosesOnReleaseAndStopsTheCurrentObject) {
  TimedShow Show(Layout{{-1}});
  OffscreenRun Run(320, 200);
  Run.Event("300:key-down:27");
  Run.Event("1000:key-up:27");
  Run.Play(Show.Slides, 5000);
  EXPECT_EQ(Run.EndTime, 1000u);
  TimedObject& Obj = *Show.Objects[0][0];
  EXPECT_EQ(Obj.First("Stop", 1000), 1000u);
  EXPECT_TRUE(Obj.KeyPressed);  // the key-down went to the object
}

TEST(PlayerWindow, ExitButtonClosesTheShow) {
  TimedShow Show(Layout{{-1}});
  OffscreenRun Run(320, 200);
  Run.Event("400:button:exit");
  Run.Play(Show.Slides, 5000);
  EXPECT_EQ(Run.EndTime, 400u);
  EXPECT_EQ(Show.Objects[0][0]->First("Stop", 400), 400u);
}

TEST(PlayerWindow, NavigationBarIsCentredAtTheBottomForEveryScreenSize) {
  struct Case {
    std::int32_t Width, Height, Left;
  };
  for (const Case C : {Case{1000, 700, 385}, Case{1024, 768, 397}, Case{200, 100, -15}, Case{229, 100, 0}}) {
    SCOPED_TRACE(C.Width);
    TSlides Empty;
    OffscreenRun Run(C.Width, C.Height);
    Run.Play(Empty, 20, [&](TKivoSlideShowPlayerForm& W) {
      EXPECT_EQ(W.NavigationPanel.Left(), C.Left);
      EXPECT_EQ(W.NavigationPanel.Top(), C.Height - 57);
      EXPECT_EQ(W.ExitBtnPanel.BoundsRect(), (TRect{0, C.Height - 57, 48, C.Height}));
      EXPECT_EQ(W.Surface().GetClientRect(), (TRect{0, 0, C.Width, C.Height}));
      EXPECT_EQ(W.Surface().Buffer().Width(), C.Width);
    });
  }
}

// A slide object whose Step or Stop raises every time.
class FailingObject : public TimedObject {
  LMO_PLUGIN(FailingObject, TimedObject)
public:
  ~FailingObject() override {
    FailStop = false;
    Finish();
  }
  bool FailStep = false;
  bool FailStop = false;
  void Start(PlayerWindow* Form) override {
    Starting_ = true;
    TimedObject::Start(Form);
    Starting_ = false;
  }
  void Step() override {
    TimedObject::Step();
    if (FailStep) throw std::runtime_error("Schrittfehler");
  }
  void Stop() override {
    TimedObject::Stop();
    if (FailStop && !Starting_) throw std::runtime_error("Stoppfehler");
  }

private:
  bool Starting_ = false;
};

TEST(PlayerWindow, AFailingObjectIsReportedOnceAndTheShowMovesOn) {
  struct Case {
    bool FailStep, FailStop;
    const char* Message;
  };
  for (const Case C : {Case{true, false, "Schrittfehler"}, Case{false, true, "Stoppfehler"}}) {
    SCOPED_TRACE(C.Message);
    TSlides Slides;
    auto Slide = std::make_unique<TSlide>();
    auto Bad = std::make_unique<FailingObject>();
    Bad->Duration = 200;
    Bad->StepsToFinish = 1;
    Bad->FailStep = C.FailStep;
    Bad->FailStop = C.FailStop;
    auto Next = std::make_unique<TimedObject>();
    TimedObject* After = Next.get();
    Slide->Objects.AddObject(std::move(Bad));
    Slide->Objects.AddObject(std::move(Next));
    Slides.AddSlide(std::move(Slide), nullptr);
    OffscreenRun Run(320, 200);
    ::testing::internal::CaptureStderr();
    Run.Play(Slides, 1000);
    const std::string Err = ::testing::internal::GetCapturedStderr();
    std::size_t Count = 0;
    for (std::size_t At = Err.find(C.Message); At != std::string::npos; At = Err.find(C.Message, At + 1)) ++Count;
    EXPECT_EQ(Count, 1u) << Err;
    // Object 0 started at 100 with 200 ms: the next one follows soon after.
    EXPECT_GE(After->First("Start"), 300u);
    EXPECT_LE(After->First("Start"), 330u);
  }
}

}  // namespace
}  // namespace playertest

namespace playertest {
namespace {

// Notes whether the window still existed when it was stopped.
class WindowWatchingObject : public TimedObject {
  LMO_PLUGIN(WindowWatchingObject, TimedObject)
public:
  ~WindowWatchingObject() override { Finish(); }
  void Stop() override {
    if (PlayerForm) StoppedWithWindow = PlayerForm == KivoSlideShowPlayerForm;
    TimedObject::Stop();
  }
  bool StoppedWithWindow = false;
};

TEST(PlayerWindow, APlatformCloseStopsTheCurrentObjectBeforeTheWindowGoes) {
  TSlides Slides;
  auto Slide = std::make_unique<TSlide>();
  auto Obj = std::make_unique<WindowWatchingObject>();
  WindowWatchingObject* Watched = Obj.get();
  Slide->Objects.AddObject(std::move(Obj));
  Slides.AddSlide(std::move(Slide), nullptr);
  OffscreenRun Run(320, 200);
  Run.Event("300:close");
  ShowPlayerWindow(Slides);
  EXPECT_EQ(KivoSlideShowPlayerForm, nullptr);
  EXPECT_TRUE(Watched->StoppedWithWindow);
  EXPECT_EQ(Watched->PlayerForm, nullptr);
  EXPECT_EQ(Watched->First("Stop", 300), 300u);
}

}  // namespace
}  // namespace playertest
