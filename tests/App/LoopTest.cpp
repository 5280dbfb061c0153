// The message loop: timers as low-priority messages, the virtual clock's
// jumps, the error guard with its message panel, frames per yield, scripts.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/App/MessagePanel.h"
#include "Platform/App/Timer.h"
#include "tests/App/AppTestSupport.h"

namespace platform::testing {
namespace {

using K = InputEvent::Kind;

InputEvent Key(K Type, std::uint16_t Code) {
  InputEvent E;
  E.Type = Type;
  E.Key = Code;
  return E;
}

InputEvent Mouse(K Type, std::int32_t X, std::int32_t Y) {
  InputEvent E;
  E.Type = Type;
  E.Position = TPoint{X, Y};
  return E;
}

class LoopTest : public OffscreenTest {};

TEST_F(LoopTest, TimersFireOnTheVirtualClockWhichJumpsBetweenThem) {
  Form Window;
  Timer Slow, Fast;
  std::vector<std::string> Log;
  Slow.SetInterval(100);
  Slow.SetOnTimer([&](Timer&) { Log.push_back("slow@" + std::to_string(GetTickCount())); });
  Fast.SetInterval(30);
  Fast.SetOnTimer([&](Timer&) { Log.push_back("fast@" + std::to_string(GetTickCount())); });
  Screen->SetRunLimit(200);
  Window.ShowModal();
  EXPECT_EQ(Log, (std::vector<std::string>{"fast@30", "fast@60", "fast@90", "slow@100", "fast@120", "fast@150",
                                           "fast@180", "slow@200"}));
  EXPECT_EQ(Clock.Elapsed(), 200u);
}

TEST_F(LoopTest, ALateTimerFiresOnceAndNeverInsideAnotherHandler) {
  Form Window;
  Timer Tick, Long;
  std::vector<std::uint32_t> Ticks;
  int Depth = 0, DeepestTick = 0;
  Tick.SetInterval(10);
  Tick.SetOnTimer([&](Timer&) {
    ++Depth;
    DeepestTick = std::max(DeepestTick, Depth);
    Ticks.push_back(GetTickCount());
    --Depth;
  });
  Long.SetInterval(25);
  Long.SetOnTimer([&](Timer& T) {
    T.SetEnabled(false);
    ++Depth;
    // A long handler: sleeps and lets messages be processed, but no timer
    // may run meanwhile.
    Sleep(30);
    App().ProcessMessages();
    Sleep(25);
    --Depth;
  });
  Screen->SetRunLimit(100);
  Window.ShowModal();
  EXPECT_EQ(DeepestTick, 1);
  // 10, 20; Long runs from 25 to 80; one late tick at 80, then every 10 ms.
  EXPECT_EQ(Ticks, (std::vector<std::uint32_t>{10, 20, 80, 90, 100}));
}

TEST_F(LoopTest, IntervalChangedInsideItsHandlerCountsFromThatMoment) {
  Form Window;
  Timer T;
  std::vector<std::uint32_t> Fired;
  T.SetInterval(10);
  T.SetOnTimer([&](Timer& Self) {
    Fired.push_back(GetTickCount());
    if (Fired.size() == 2) Self.SetInterval(500);
    if (Fired.size() == 4) Self.SetInterval(10);
  });
  Screen->SetRunLimit(1030);
  Window.ShowModal();
  EXPECT_EQ(Fired, (std::vector<std::uint32_t>{10, 20, 520, 1020, 1030}));
}

TEST_F(LoopTest, InputComesBeforeDueTimersAndWaitsForARunningHandler) {
  Form Window;
  Window.KeyPreview = true;
  Timer T;
  std::vector<std::string> Log;
  T.SetInterval(50);
  T.SetOnTimer([&](Timer&) {
    Log.push_back("timer@" + std::to_string(GetTickCount()));
    if (Log.size() == 3) Sleep(40);  // blocks input until 140
  });
  Window.OnKeyDown = [&](Control&, std::uint16_t& Code, ShiftState) {
    Log.push_back("key" + std::to_string(Code) + "@" + std::to_string(GetTickCount()));
  };
  Screen->AddEvent(50, Key(K::KeyDown, 65));   // same time as the timer: input first
  Screen->AddEvent(120, Key(K::KeyDown, 66));  // while the handler sleeps
  Screen->SetRunLimit(150);
  Window.ShowModal();
  EXPECT_EQ(Log, (std::vector<std::string>{"key65@50", "timer@50", "timer@100", "key66@140", "timer@150"}));
}

TEST_F(LoopTest, ATimerMadeOnAnotherClockCountsOnTheOneTheWindowRunsOn) {
  Form Window;
  VirtualClock Earlier(5'000'000);
  std::unique_ptr<Timer> T;
  {
    ScopedClock Before(Earlier);
    T = std::make_unique<Timer>();
  }
  std::vector<std::uint32_t> Fired;
  T->SetOnTimer([&](Timer&) { Fired.push_back(GetTickCount()); });  // restarts: due at 1000 here
  T->SetEnabled(false);
  {
    ScopedClock Before(Earlier);
    T->SetEnabled(true);  // due at 5'001'000 of the other clock
  }
  Screen->SetRunLimit(2000);
  Window.ShowModal();
  EXPECT_EQ(Fired, (std::vector<std::uint32_t>{1000, 2000}));
}

TEST_F(LoopTest, WithNothingLeftToWaitForTheRunEndsInsteadOfHanging) {
  Form Window;
  Window.ShowModal();
  EXPECT_FALSE(Window.Modal());
  EXPECT_FALSE(Screen->WindowOpen());
}

TEST_F(LoopTest, RunLimitCallsTheHandlerOnce) {
  Form Window;
  Timer T;
  T.SetInterval(10);
  T.SetOnTimer([](Timer&) {});
  int Limits = 0;
  App().OnRunLimit = [&] {
    ++Limits;
    Window.Close();
  };
  Screen->SetRunLimit(35);
  Window.ShowModal();
  EXPECT_EQ(Limits, 1);
  EXPECT_EQ(Clock.Elapsed(), 35u);
}

// --- the error guard and the message panel ---------------------------------

class ErrorGuardTest : public OffscreenTest {};

TEST_F(ErrorGuardTest, AnErrorIsShownOnceTheShowGoesOnAndThePanelLeavesAfterTenSeconds) {
  Form Window;
  Window.KeyPreview = true;
  Timer Failing;
  int Calls = 0;
  Failing.SetInterval(10);
  Failing.SetOnTimer([&](Timer&) {
    ++Calls;
    throw std::runtime_error("Stream-Lesefehler");
  });
  std::vector<std::uint16_t> Keys;
  Window.OnKeyDown = [&](Control&, std::uint16_t& Code, ShiftState) { Keys.push_back(Code); };
  Screen->AddEvent(500, Key(K::KeyDown, 32));
  bool ShownAt5s = false, GoneAfter = false;
  Timer Probe;
  Probe.SetInterval(5000);
  Probe.SetOnTimer([&](Timer& P) {
    if (GetTickCount() == 5000) ShownAt5s = App().ErrorPanel().Visible();
    if (GetTickCount() == 10000) {
      Failing.SetEnabled(false);  // the last error came at 10000
      P.SetInterval(10011);
    }
    if (GetTickCount() > 20000) GoneAfter = !App().ErrorPanel().Visible();
  });
  Screen->SetRunLimit(20020);
  ::testing::internal::CaptureStderr();
  Window.ShowModal();
  const std::string Err = ::testing::internal::GetCapturedStderr();
  EXPECT_GT(Calls, 900);                   // the timer kept running behind the message
  EXPECT_EQ(Keys, (std::vector<std::uint16_t>{32}));  // the panel took no key
  EXPECT_TRUE(ShownAt5s);
  EXPECT_TRUE(GoneAfter);
  EXPECT_EQ(Err, "Testprogramm: Stream-Lesefehler\n");  // once, not per tick
  EXPECT_EQ(App().ErrorPanel().Title(), "Testprogramm");
}

TEST_F(ErrorGuardTest, AClickOnThePanelHidesItAndGoesNowhereElse) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  int SurfaceClicks = 0;
  Surface.OnMouseDown = [&](Control&, MouseButton, ShiftState, std::int32_t, std::int32_t) { ++SurfaceClicks; };
  Window.OnShow = [](Form&) { throw std::runtime_error("Keine CKS-Datei!"); };
  Screen->AddEvent(100, Mouse(K::MouseDown, 32, 24));  // the panel is centred
  Screen->AddEvent(100, Mouse(K::MouseUp, 32, 24));
  Screen->AddEvent(200, Mouse(K::MouseDown, 1, 1));    // now the surface
  Screen->SetRunLimit(300);
  bool VisibleBefore = false;
  Timer Probe;
  Probe.SetInterval(50);
  Probe.SetOnTimer([&](Timer& P) {
    VisibleBefore = App().ErrorPanel().Visible();
    P.SetEnabled(false);
  });
  ::testing::internal::CaptureStderr();
  Window.ShowModal();
  ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(VisibleBefore);
  EXPECT_FALSE(App().ErrorPanel().Visible());
  EXPECT_EQ(SurfaceClicks, 1);
}

TEST_F(ErrorGuardTest, ThePanelIsDrawnAboveTheSurfaceAndTheSurfaceReturnsAfterIt) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Surface.Fill = 0xFF000080;
  Timer Once;
  Once.SetInterval(10);
  Once.SetOnTimer([](Timer& T) {
    T.SetEnabled(false);
    throw std::runtime_error("Fehler");
  });
  Screen->SetRunLimit(10020);
  ::testing::internal::CaptureStderr();
  Window.ShowModal();
  ::testing::internal::GetCapturedStderr();
  const Frame* During = Screen->FrameAt(5000);
  const Frame* After = Screen->FrameAt(10020);
  ASSERT_TRUE(During && After);
  EXPECT_NE(During->At(32, 24), 0xFF000080u);  // the panel covers the centre
  EXPECT_EQ(During->At(0, 0), 0xFF000080u);
  EXPECT_EQ(After->At(32, 24), 0xFF000080u);   // gone after ten seconds
}

// --- the window canvas and frames ---------------------------------------------

class FrameTest : public OffscreenTest {};

TEST_F(FrameTest, EachSleepBetweenStepsEndsExactlyOneFrame) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Surface.Fill = 0xFF000000;
  Timer Transition;
  Transition.SetInterval(100);
  Transition.SetOnTimer([&](Timer& T) {
    T.SetEnabled(false);
    PaintDevice& Canvas = Surface.Canvas();
    for (std::int32_t Step = 0; Step < 4; ++Step) {
      const PixelView P = Canvas.Pixels();
      P.Row(Step)[0] = 0xFFFFFFFF;
      Canvas.Changed(TRect{0, Step, 1, Step + 1});
      if (Step == 2) Sleep(5);  // a yield without a change makes no frame
      Sleep(11);
    }
  });
  Screen->SetRunLimit(200);
  Window.ShowModal();
  std::vector<std::uint64_t> Times;
  for (const Frame& F : Screen->Frames()) Times.push_back(F.Time);
  // The first paint at 0, then one frame per step: 100, 111, 122, 138.
  EXPECT_EQ(Times, (std::vector<std::uint64_t>{0, 100, 111, 122, 138}));
  EXPECT_EQ(Screen->Frames().back().At(0, 3), 0xFFFFFFFFu);
  EXPECT_EQ(Screen->Frames()[1].At(0, 1), 0xFF000000u);
}

TEST_F(FrameTest, InvalidateMakesAPaintMessageAndUpdatePaintsAtOnce) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  int PaintsSeenInHandler = -1;
  Timer T;
  T.SetInterval(10);
  T.SetOnTimer([&](Timer& Self) {
    Self.SetEnabled(false);
    const int Before = Surface.Paints;
    Surface.Fill = 0xFF00FF00;
    Surface.InvalidateRect(TRect{-10, -10, 20, 20});
    EXPECT_EQ(Surface.Paints, Before);  // only a request so far
    Surface.Update();                   // the synchronous update
    PaintsSeenInHandler = Surface.Paints - Before;
    Sleep(100);                         // the frame is already on the screen
  });
  Screen->SetRunLimit(200);
  Window.ShowModal();
  EXPECT_EQ(PaintsSeenInHandler, 1);
  EXPECT_EQ(Surface.LastClip, (TRect{0, 0, 20, 20}));
  const Frame* F = Screen->FrameAt(10);
  ASSERT_TRUE(F);
  EXPECT_EQ(F->Time, 10u);
  EXPECT_EQ(F->At(19, 19), 0xFF00FF00u);
  EXPECT_EQ(F->At(20, 20), 0xFF102030u);
}

TEST_F(FrameTest, NoFrameWhenTheScreenDidNotChange) {
  Form Window;
  SolidSurface Surface(&Window);
  Surface.SetAlign(Align::Client);
  Timer T;
  T.SetInterval(10);
  T.SetOnTimer([&](Timer&) { Surface.Invalidate(); });  // repaints the same pixels
  Screen->SetRunLimit(100);
  Window.ShowModal();
  EXPECT_EQ(Screen->FrameCount(), 1u);
}

// --- scripted events ------------------------------------------------------------

TEST(ScriptedEvents, ParsesEveryKind) {
  struct Case {
    const char* Text;
    std::uint64_t Time;
    K Type;
    std::uint16_t Key;
    TPoint Position;
  };
  const Case Cases[] = {
      {"0:key-down:27", 0, K::KeyDown, 27, {}},
      {"1500:key-up:32", 1500, K::KeyUp, 32, {}},
      {"20:key-press:228", 20, K::KeyPress, 228, {}},
      {"30:mouse-move:512,-3", 30, K::MouseMove, 0, {512, -3}},
      {"40:mouse-down:1,2", 40, K::MouseDown, 0, {1, 2}},
      {"50:mouse-up:3,4", 50, K::MouseUp, 0, {3, 4}},
      {"60:focus-out", 60, K::FocusOut, 0, {}},
      {"70:close", 70, K::CloseRequest, 0, {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Text);
    const ScriptedEvent E = ParseScriptedEvent(C.Text);
    EXPECT_EQ(E.Time, C.Time);
    EXPECT_EQ(E.Event.Type, C.Type);
    EXPECT_EQ(E.Event.Key, C.Key);
    EXPECT_EQ(E.Event.Position, C.Position);
  }
  const ScriptedEvent B = ParseScriptedEvent("900:button:slide-next");
  EXPECT_EQ(B.Event.Type, K::Command);
  EXPECT_EQ(B.Event.Name, "button");
  EXPECT_EQ(B.Event.Args, "slide-next");
  for (const char* Bad : {"", "abc", "10", "x:key-down:1", "10:key-down", "10:key-down:256", "10:key-up:-1",
                          "10:mouse-move:1", "10:mouse-move:1,2,3", "10:close:now", "10:what?"}) {
    SCOPED_TRACE(Bad);
    EXPECT_THROW(ParseScriptedEvent(Bad), std::invalid_argument);
  }
}

TEST_F(LoopTest, ScriptedCommandsAndPointerMovesReachTheProgram) {
  Form Window;
  std::vector<std::string> Commands;
  App().OnCommand = [&](const InputEvent& E) {
    Commands.push_back(E.Name + ":" + E.Args + "@" + std::to_string(GetTickCount()));
  };
  Screen->AddEvent(ParseScriptedEvent("250:mouse-move:40,30"));
  Screen->AddEvent(ParseScriptedEvent("300:button:exit"));
  TPoint Seen;
  App().OnRunLimit = [&] {
    Seen = GetCursorPos();
    Window.Close();
  };
  Screen->SetRunLimit(400);
  Window.ShowModal();
  EXPECT_EQ(Commands, (std::vector<std::string>{"button:exit@300"}));
  EXPECT_EQ(Seen, (TPoint{40, 30}));
}

}  // namespace
}  // namespace platform::testing
