// The slide object base: the finishing rule on the platform clock, the
// lifecycle, pause and resume, the input notifications.
#include <gtest/gtest.h>

#include "CKS/CKSStreamWinTypes.h"
#include "Platform/Core/Clock.h"
#include "SlideObjects/DavazozavPlugin.h"

namespace {

// Counts the calls the base makes on its subclass.
class TCountingObject : public TDavazozavPlugin {
  LMO_PLUGIN(TCountingObject, TDavazozavPlugin)
public:
  ~TCountingObject() override { Finish(); }
  void Stop() override {
    ++Stops;
    TDavazozavPlugin::Stop();
  }
  void DoPause() override { ++Pauses; }
  void DoResume() override { ++Resumes; }
  void ReleaseResources() override { ++Releases; }
  int Stops = 0;
  int Pauses = 0;
  int Resumes = 0;
  int Releases = 0;
};

class SlideObjectBase : public ::testing::Test {
protected:
  platform::VirtualClock Clock{5000};
  platform::ScopedClock UseClock{Clock};
  TCountingObject Obj;
};

TEST_F(SlideObjectBase, FinishingRuleByTimingMode) {
  const struct {
    std::uint8_t Mode;
    std::uint32_t Duration;
    std::uint32_t Elapsed;
    bool Done;
    bool Key;
    bool Finished;
  } Cases[] = {
      {0, 0, 0, true, false, true},     {0, 0, 0, false, false, false},  {0, 100, 99, true, false, false},
      {0, 100, 100, true, false, true}, {0, 100, 500, false, true, false}, {1, 0, 0, true, false, false},
      {1, 0, 0, true, true, true},      {1, 0, 0, false, true, false},   {2, 9999, 0, true, false, true},
      {3, 9999, 0, true, false, true},  {255, 9999, 0, true, false, true}, {255, 0, 0, false, false, false},
  };
  for (const auto& C : Cases) {
    Obj.TimingMode = C.Mode;
    Obj.Duration = C.Duration;
    Obj.Start(nullptr);
    Clock.Advance(C.Elapsed);
    if (C.Key) {
      std::uint16_t Key = 65;
      Obj.KeyDown(Key, 0);
    }
    if (C.Done) Obj.State = 2;
    EXPECT_EQ(Obj.IsFinished(), C.Finished) << "mode " << int(C.Mode) << " duration " << C.Duration << " elapsed "
                                            << C.Elapsed << " done " << C.Done << " key " << C.Key;
  }
}

TEST_F(SlideObjectBase, KeyOrClickBeforeTheWorkIsDoneCountsInModeOne) {
  Obj.TimingMode = 1;
  for (int Input = 0; Input < 4; ++Input) {
    Obj.Start(nullptr);
    std::uint16_t Key = 32;
    TKeyChar Char = 'a';
    switch (Input) {
      case 0: Obj.KeyDown(Key, 0); break;
      case 1: Obj.KeyPress(Char); break;
      case 2: Obj.MouseDown(TMouseButton::mbLeft, 0, 1, 1); break;
      case 3: Obj.Click(); break;
    }
    EXPECT_FALSE(Obj.IsFinished()) << Input;  // still working
    Obj.State = 2;
    EXPECT_TRUE(Obj.IsFinished()) << Input;
  }
}

TEST_F(SlideObjectBase, MoveReleaseAndKeyUpDoNotCount) {
  Obj.TimingMode = 1;
  Obj.Start(nullptr);
  std::uint16_t Key = 32;
  Obj.MouseMove(0, 10, 10);
  Obj.MouseUp(TMouseButton::mbLeft, 0, 10, 10);
  Obj.KeyUp(Key, 0);
  Obj.State = 2;
  EXPECT_FALSE(Obj.IsFinished());
}

TEST_F(SlideObjectBase, ElapsedTimeSurvivesTheTickCounterWrapping) {
  platform::VirtualClock NearWrap(0xFFFFFFF0u);
  platform::ScopedClock UseNearWrap(NearWrap);
  Obj.Duration = 0x20;
  Obj.Start(nullptr);
  Obj.State = 2;
  NearWrap.Advance(0x1F);
  EXPECT_LT(GetTickCount(), Obj.StartTick);  // wrapped
  EXPECT_FALSE(Obj.IsFinished());
  NearWrap.Advance(1);
  EXPECT_TRUE(Obj.IsFinished());
}

TEST_F(SlideObjectBase, StartStopsFirstAndBeginsAfresh) {
  int Window = 0;
  auto* Form = reinterpret_cast<PlayerWindow*>(&Window);  // only stored, never used
  Obj.Start(Form);
  std::uint16_t Key = 1;
  Obj.KeyDown(Key, 0);
  Obj.Click();
  Obj.Pause();
  Obj.State = 2;
  Clock.Advance(70);
  const int StopsBefore = Obj.Stops;
  Obj.Start(Form);  // never stopped
  EXPECT_EQ(Obj.Stops, StopsBefore + 1);
  EXPECT_EQ(Obj.State, 0);
  EXPECT_EQ(Obj.StartTick, 5070u);
  EXPECT_FALSE(Obj.KeyPressed);
  EXPECT_FALSE(Obj.MouseClicked);
  EXPECT_FALSE(Obj.Paused);
  EXPECT_EQ(Obj.PlayerForm, Form);
  Obj.Stop();
  Obj.Stop();  // tolerated twice
  EXPECT_EQ(Obj.PlayerForm, nullptr);
}

TEST_F(SlideObjectBase, PauseAndResumeToggleOnce) {
  Obj.Start(nullptr);
  Obj.Resume();  // without Pause: nothing
  Obj.Pause();
  Obj.Pause();
  EXPECT_TRUE(Obj.Paused);
  Obj.Resume();
  EXPECT_FALSE(Obj.Paused);
  EXPECT_EQ(Obj.Pauses, 1);
  EXPECT_EQ(Obj.Resumes, 1);
  // Pausing does not stop the timing of mode 0.
  Obj.Duration = 10;
  Obj.Pause();
  Clock.Advance(10);
  Obj.State = 2;
  EXPECT_TRUE(Obj.IsFinished());
}

// Writes what its destruction runs to a journal that outlives it.
class TDyingObject : public TDavazozavPlugin {
  LMO_PLUGIN(TDyingObject, TDavazozavPlugin)
public:
  ~TDyingObject() override { Finish(); }
  void Stop() override {
    if (Log) Log->push_back("Stop");
    TDavazozavPlugin::Stop();
  }
  void ReleaseResources() override {
    if (Log) Log->push_back("ReleaseResources");
  }
  std::vector<std::string>* Log = nullptr;
};

TEST(SlideObjectLifetime, DestructionStopsThenReleasesOnce) {
  std::vector<std::string> Log;
  {
    TDyingObject Obj;
    Obj.Log = &Log;
  }
  EXPECT_EQ(Log, (std::vector<std::string>{"Stop", "ReleaseResources"}));
}

TEST_F(SlideObjectBase, FiveBytePayload) {
  TMemoryStream Memory(std::vector<std::uint8_t>{0x01, 0xE8, 0x03, 0x00, 0x00});
  TCKSStreamWinTypes Stream(&Memory, cksModeHeaderless);
  Obj.LoadFromStream(Stream);
  EXPECT_EQ(Obj.TimingMode, 1);
  EXPECT_EQ(Obj.Duration, 1000u);
  EXPECT_EQ(Stream.GetPosition(), 5);
  TMemoryStream Out;
  TCKSStreamWinTypes Writer(&Out, cksModeHeaderless);
  Obj.SaveToStream(Writer);
  EXPECT_EQ(Out.Bytes(), Memory.Bytes());
}

TEST_F(SlideObjectBase, ChangeNotification) {
  std::vector<bool> Seen;
  Obj.DoChange(true);  // no handler: nothing
  Obj.SetOnChange([&](TDavazozavPlugin* Sender, bool Rebuild) {
    EXPECT_EQ(Sender, &Obj);
    Seen.push_back(Rebuild);
  });
  Obj.DoChange(false);
  Obj.Changed();
  EXPECT_EQ(Seen, (std::vector<bool>{false, true}));
}

}  // namespace
