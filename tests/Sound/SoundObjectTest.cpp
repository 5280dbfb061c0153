// The sound player and the sound objects on a window on the virtual clock:
// timing, pause, skipping, restarting, a lost output, and the poll timer's
// life.
#include <gtest/gtest.h>

#include "Platform/Sound/MediaPlayer.h"
#include "SlideObjects/PIPSound.h"
#include "SlideObjects/SoundPlayer.h"
#include "Tools/MediaFiles.h"
#include "tests/Sound/SoundStage.h"

using platform::MediaMode;
using soundtest::SoundStage;
using soundtest::TempFolder;

namespace {

class SoundObjectTest : public ::testing::Test {
protected:
  SoundObjectTest() {
    soundtest::WriteWav(Folder.File("two.wav"), 2000);
    Sound.FileName = Folder.File("two.wav");
  }
  ~SoundObjectTest() override { platform::SetVirtualAudioAvailable(true); }

  // Starts Sound and gives it its first slide step; the start tick.
  std::uint32_t StartSound(TPIPSound& Object) {
    Object.Start(&Stage);
    Object.Step();
    return Object.StartTick;
  }

  platform::VirtualClock Clock{5000};
  platform::ScopedClock Use{Clock};
  TempFolder Folder;
  SoundStage Stage{Clock};
  TPIPSound Sound;
};

}  // namespace

TEST_F(SoundObjectTest, FinishesByTheLongerOfSoundAndDuration) {
  struct Case {
    const char* File;
    std::uint32_t Duration;
    std::int64_t Earliest, Latest;
  };
  const Case Cases[] = {
      {"missing.wav", 3000, 3000, 3000},  // nothing plays; the duration alone
      {"two.wav", 0, 2000, 2110},         // the next poll after the end, then the next step
      {"two.wav", 5000, 5000, 5000},      // the duration outlasts the sound
  };
  for (const Case& C : Cases) {
    TPIPSound Object;
    Object.FileName = Folder.File(C.File);
    Object.Duration = C.Duration;
    const std::uint32_t Since = StartSound(Object);
    const std::int64_t Took = Stage.RunUntilFinished(Object, Since);
    EXPECT_GE(Took, C.Earliest) << C.File << " " << C.Duration;
    EXPECT_LE(Took, C.Latest) << C.File << " " << C.Duration;
    Object.Stop();
  }
  // The missing file was never handed to the device.
  EXPECT_EQ(Stage.Device->Opens, 2);
}

TEST_F(SoundObjectTest, MissingFileFailsAtStart) {
  Sound.FileName = Folder.File("gone.wav");
  Sound.Start(&Stage);
  EXPECT_EQ(Sound.PlayState, 2);
  EXPECT_EQ(Sound.State, 2);
  Sound.Step();
  EXPECT_EQ(Stage.Device->Plays, 0);
}

TEST_F(SoundObjectTest, PausedSoundIsNotEndedAndContinuesWhereItWas) {
  const std::uint32_t Since = StartSound(Sound);
  EXPECT_EQ(Sound.PlayState, 3);
  EXPECT_EQ(Sound.State, 1);
  Stage.Run(Sound, 500);
  Sound.Pause();
  Stage.Run(Sound, 3000);
  EXPECT_FALSE(Sound.IsFinished());
  EXPECT_EQ(Stage.Media.Mode(), MediaMode::Paused);
  EXPECT_EQ(Stage.Device->PositionMs(), 500);
  Sound.Resume();
  const std::int64_t Took = Stage.RunUntilFinished(Sound, Since);
  EXPECT_GE(Took, 5000);
  EXPECT_LE(Took, 5110);
}

TEST_F(SoundObjectTest, ResumingAfterTheSoundEndedDoesNotPlayItAgain) {
  Sound.Duration = 5000;
  StartSound(Sound);
  Stage.Run(Sound, 3000);
  ASSERT_EQ(Sound.State, 2);
  Sound.Pause();
  Sound.Resume();
  EXPECT_EQ(Stage.Media.Mode(), MediaMode::Stopped);
  EXPECT_EQ(Stage.Device->Rewinds, 0);
}

TEST_F(SoundObjectTest, SkippingStopsTheSoundAndStartingAgainPlaysFromTheStart) {
  StartSound(Sound);
  Stage.Run(Sound, 700);
  Sound.Stop();
  EXPECT_FALSE(Stage.Player.IsOpen);
  EXPECT_EQ(Stage.Media.Mode(), MediaMode::NotReady);
  EXPECT_FALSE(Stage.Player.OnSoundEnd);

  const std::uint32_t Since = StartSound(Sound);
  Stage.Run(Sound, 10);
  EXPECT_EQ(Stage.Device->PositionMs(), 10);
  const std::int64_t Took = Stage.RunUntilFinished(Sound, Since);
  EXPECT_GE(Took, 2000);
  EXPECT_LE(Took, 2110);
}

TEST_F(SoundObjectTest, ALostOutputEndsTheObjectAndTheNextStartTriesAgain) {
  // Without an output no sound opens and the show goes on by the timing.
  platform::SetVirtualAudioAvailable(false);
  std::uint32_t Since = StartSound(Sound);
  EXPECT_EQ(Sound.State, 2);
  EXPECT_EQ(Stage.RunUntilFinished(Sound, Since), 0);

  // The output comes back, then goes while the sound plays.
  platform::SetVirtualAudioAvailable(true);
  Since = StartSound(Sound);
  EXPECT_EQ(Sound.PlayState, 3);
  Stage.Run(Sound, 500);
  platform::SetVirtualAudioAvailable(false);
  const std::int64_t Took = Stage.RunUntilFinished(Sound, Since);
  EXPECT_GE(Took, 500);
  EXPECT_LE(Took, 610);
}

TEST_F(SoundObjectTest, AFailingPlayStillEndsTheSoundAtTheNextPoll) {
  StartSound(Sound);
  Stage.Run(Sound, 200);
  Sound.Stop();
  // Opened while the output is there; the output goes before playing.
  const std::uint32_t Since = [&] {
    Sound.Start(&Stage);
    platform::SetVirtualAudioAvailable(false);
    Sound.Step();
    return Sound.StartTick;
  }();
  EXPECT_EQ(Sound.PlayState, 3);
  const std::int64_t Took = Stage.RunUntilFinished(Sound, Since);
  EXPECT_GE(Took, 0);
  EXPECT_LE(Took, 110);
}

TEST_F(SoundObjectTest, EndHandlerRunsOnEveryPollUntilClose) {
  int Calls = 0;
  ASSERT_TRUE(Stage.Player.Open(Folder.File("two.wav")));
  Stage.Player.OnSoundEnd = [&](TSoundPlayer*, bool&) { ++Calls; };
  Stage.Player.Play();
  for (int I = 0; I < 19; ++I) Stage.Advance(100);
  EXPECT_EQ(Calls, 0);
  for (int I = 0; I < 3; ++I) Stage.Advance(100);
  EXPECT_EQ(Calls, 3);
  Stage.Player.Close();
  for (int I = 0; I < 3; ++I) Stage.Advance(100);
  EXPECT_EQ(Calls, 3);
  EXPECT_TRUE(Stage.Timer.Enabled());  // left running; nothing is open
}

TEST_F(SoundObjectTest, LoopPlaysAgainAndHandlerErrorsAreSwallowed) {
  int Calls = 0;
  ASSERT_TRUE(Stage.Player.Open(Folder.File("two.wav")));
  Stage.Player.OnSoundEnd = [&](TSoundPlayer*, bool& Loop) {
    ++Calls;
    Loop = Calls == 1;
    if (Calls == 2) throw std::runtime_error("handler");
  };
  Stage.Player.Play();
  Stage.Media.Notify = false;
  for (int I = 0; I < 20; ++I) Stage.Advance(100);
  EXPECT_EQ(Calls, 1);
  EXPECT_TRUE(Stage.Media.Notify);
  EXPECT_EQ(Stage.Media.Mode(), MediaMode::Playing);  // looped from the start
  for (int I = 0; I < 20; ++I) Stage.Advance(100);
  EXPECT_EQ(Calls, 2);
}

TEST_F(SoundObjectTest, OpenRefusesMissingNamesAndClosesThePreviousSound) {
  ASSERT_TRUE(Stage.Player.Open(Folder.File("two.wav")));
  EXPECT_FALSE(Stage.Player.Open(""));
  EXPECT_FALSE(Stage.Player.IsOpen);
  EXPECT_FALSE(Stage.Player.Open(Folder.Path));  // a folder
  EXPECT_EQ(Stage.Device->Opens, 1);
  soundtest::WriteWav(Folder.File("bad.wav"), 0);
  std::ofstream(Folder.File("bad.wav"), std::ios::binary) << "not a sound";
  EXPECT_FALSE(Stage.Player.Open(Folder.File("bad.wav")));
  EXPECT_TRUE(Stage.Media.FileName.empty());
}

TEST(SoundPlayerLifeTest, NoPollReachesADestroyedPlayerAndAGoneTimerIsForgotten) {
  platform::VirtualClock Clock;
  platform::ScopedClock Use{Clock};
  TempFolder Folder;
  soundtest::WriteWav(Folder.File("one.wav"), 1000);
  platform::MediaPlayer Media(platform::CreateVirtualSoundDevice());
  {
    TSoundPlayerTimer Timer;
    {
      TSoundPlayer Player(Media, Timer);
      EXPECT_EQ(Timer.Player, &Player);
      EXPECT_FALSE(Timer.Enabled());
      EXPECT_FALSE(Media.AutoOpen);
      EXPECT_TRUE(Media.AutoRewind && Media.Notify && !Media.Shareable);
      ASSERT_TRUE(Player.Open(Folder.File("one.wav")));
      Player.Play();
      EXPECT_TRUE(Timer.Enabled());
      EXPECT_EQ(Timer.Interval(), TSoundPlayer::PollInterval);
    }
    EXPECT_EQ(Timer.Player, nullptr);
    EXPECT_EQ(Media.Mode(), MediaMode::NotReady);  // the player closed the device
    Clock.Advance(2000);
    Timer.Fire(GetTickCount());  // reaches nothing
  }
  auto Timer = std::make_unique<TSoundPlayerTimer>();
  TSoundPlayer Player(Media, *Timer);
  Timer.reset();
  EXPECT_EQ(Player.Timer, nullptr);
  ASSERT_TRUE(Player.Open(Folder.File("one.wav")));
  Player.Play();  // plays without a timer to poll it
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
}
