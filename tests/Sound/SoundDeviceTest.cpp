// The sound devices: the virtual one on the virtual clock, and the mixer
// device on SDL's silent dummy output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Platform/Sound/MediaPlayer.h"
#include "Platform/Sound/SoundDevice.h"
#include "tests/Sound/SoundStage.h"

using platform::MediaMode;
using soundtest::TempFolder;
using soundtest::WriteWav;

namespace {

// A format-0 MIDI file with one note held for Ticks (below 128) at 48 ticks
// a quarter (500 ms a quarter by default).
std::vector<std::uint8_t> MidiBytes(std::uint8_t Ticks) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 48,  //
          'M', 'T', 'r', 'k', 0, 0, 0, 13,                    //
          0x00, 0x90, 60, 100, Ticks, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00, 0x00};
}

void WriteBytes(const std::string& Path, const std::vector<std::uint8_t>& Bytes) {
  std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(Bytes.data()),
                                              static_cast<std::streamsize>(Bytes.size()));
}

// The same MIDI data inside a RIFF/RMID file.
std::vector<std::uint8_t> RiffMidi(const std::vector<std::uint8_t>& Midi) {
  auto Le = [](std::uint32_t V) {
    return std::vector<std::uint8_t>{static_cast<std::uint8_t>(V), static_cast<std::uint8_t>(V >> 8),
                                     static_cast<std::uint8_t>(V >> 16), static_cast<std::uint8_t>(V >> 24)};
  };
  std::vector<std::uint8_t> Out = {'R', 'I', 'F', 'F'};
  const auto Size = Le(static_cast<std::uint32_t>(4 + 8 + Midi.size() + (Midi.size() & 1)));
  Out.insert(Out.end(), Size.begin(), Size.end());
  Out.insert(Out.end(), {'R', 'M', 'I', 'D', 'd', 'a', 't', 'a'});
  const auto DataSize = Le(static_cast<std::uint32_t>(Midi.size()));
  Out.insert(Out.end(), DataSize.begin(), DataSize.end());
  Out.insert(Out.end(), Midi.begin(), Midi.end());
  if (Midi.size() & 1) Out.push_back(0);
  return Out;
}

class VirtualDeviceTest : public ::testing::Test {
protected:
  platform::VirtualClock Clock{1000};
  platform::ScopedClock Use{Clock};
  TempFolder Folder;
};

}  // namespace

TEST_F(VirtualDeviceTest, PlaysForTheDecodedLengthOnTheClock) {
  WriteWav(Folder.File("two.wav"), 2000);
  platform::MediaPlayer Media(platform::CreateVirtualSoundDevice());
  Media.FileName = Folder.File("two.wav");
  Media.Open();
  EXPECT_EQ(Media.Device().LengthMs(), 2000);
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);

  Media.Play();
  Clock.Advance(500);
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Media.Pause();
  Clock.Advance(5000);
  EXPECT_EQ(Media.Mode(), MediaMode::Paused);
  EXPECT_EQ(Media.Device().PositionMs(), 500);
  Media.Pause();  // the toggle resumes
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Clock.Advance(500);
  Media.Stop();
  Clock.Advance(5000);
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);
  EXPECT_EQ(Media.Device().PositionMs(), 1000);  // stop keeps the position

  Media.Play();
  Clock.Advance(999);
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Clock.Advance(1);
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);
  EXPECT_TRUE(Media.Device().AtEnd());

  // At the end, Play rewinds first.
  Media.Play();
  Clock.Advance(100);
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  EXPECT_EQ(Media.Device().PositionMs(), 100);

  Media.Close();
  EXPECT_EQ(Media.Mode(), MediaMode::NotReady);
  Media.Close();  // harmless when nothing is open
}

TEST_F(VirtualDeviceTest, WithoutAutoRewindAnEndedSoundStaysEnded) {
  WriteWav(Folder.File("short.wav"), 100);
  platform::MediaPlayer Media(platform::CreateVirtualSoundDevice());
  Media.AutoRewind = false;
  Media.FileName = Folder.File("short.wav");
  Media.Open();
  Media.Play();
  Clock.Advance(200);
  Media.Play();
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);
}

TEST_F(VirtualDeviceTest, KnowsTheLengthOfTheDemoSoundAndOfMidi) {
  auto Device = platform::CreateVirtualSoundDevice();
  Device->Open(LMO_SOURCE_DIR "/examples/demo/media/chords.wav");
  EXPECT_GT(Device->LengthMs(), 1000);

  // Two quarters at the default tempo: one second. MIDI decoders name no
  // length of their own, so the file is decoded completely.
  WriteBytes(Folder.File("note.mid"), MidiBytes(96));
  Device->Open(Folder.File("note.mid"));
  EXPECT_NEAR(static_cast<double>(Device->LengthMs()), 1000.0, 150.0);
  WriteBytes(Folder.File("note.rmi"), RiffMidi(MidiBytes(96)));
  Device->Open(Folder.File("note.rmi"));
  EXPECT_NEAR(static_cast<double>(Device->LengthMs()), 1000.0, 150.0);
}

TEST_F(VirtualDeviceTest, FilesThatCannotBeDecodedFailToOpen) {
  WriteBytes(Folder.File("noise.wav"), {'R', 'I', 'F', 'F', 1, 2, 3});
  WriteBytes(Folder.File("text.mp3"), std::vector<std::uint8_t>(64, 'x'));
  WriteBytes(Folder.File("empty.ogg"), {});
  for (const char* Name : {"noise.wav", "text.mp3", "empty.ogg", "missing.wav"}) {
    auto Device = platform::CreateVirtualSoundDevice();
    EXPECT_THROW(Device->Open(Folder.File(Name)), platform::MediaError) << Name;
    EXPECT_EQ(Device->Mode(), MediaMode::NotReady) << Name;
  }
}

TEST_F(VirtualDeviceTest, ALostOutputEndsTheSoundAndTheNextOpenTriesAgain) {
  WriteWav(Folder.File("two.wav"), 2000);
  auto Device = platform::CreateVirtualSoundDevice();
  Device->Open(Folder.File("two.wav"));
  Device->Play();
  Clock.Advance(300);
  platform::SetVirtualAudioAvailable(false);
  EXPECT_EQ(Device->Mode(), MediaMode::Stopped);
  EXPECT_THROW(Device->Play(), platform::MediaError);
  EXPECT_THROW(Device->Open(Folder.File("two.wav")), platform::MediaError);
  platform::SetVirtualAudioAvailable(true);
  Device->Open(Folder.File("two.wav"));
  Device->Play();
  EXPECT_EQ(Device->Mode(), MediaMode::Playing);
}

TEST(MixerDeviceTest, PlaysPausesAndStopsOnTheDummyOutput) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TempFolder Folder;
  WriteWav(Folder.File("long.wav"), 60000);
  platform::MediaPlayer Media(platform::CreateMixerSoundDevice());
  Media.FileName = Folder.File("long.wav");
  Media.Open();
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);
  EXPECT_EQ(Media.Device().LengthMs(), 60000);
  Media.Play();
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Media.Pause();
  EXPECT_EQ(Media.Mode(), MediaMode::Paused);
  Media.Pause();
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Media.Stop();
  EXPECT_EQ(Media.Mode(), MediaMode::Stopped);
  EXPECT_FALSE(Media.Device().AtEnd());
  Media.Play();  // continues where it stopped
  EXPECT_EQ(Media.Mode(), MediaMode::Playing);
  Media.Close();
  EXPECT_EQ(Media.Mode(), MediaMode::NotReady);

  // MIDI plays with the sound font found at run time; garbage does not open.
  WriteBytes(Folder.File("note.mid"), MidiBytes(96));
  Media.FileName = Folder.File("note.mid");
  EXPECT_NO_THROW(Media.Open());
  WriteBytes(Folder.File("noise.flac"), std::vector<std::uint8_t>(100, 7));
  Media.FileName = Folder.File("noise.flac");
  EXPECT_THROW(Media.Open(), platform::MediaError);
  EXPECT_EQ(Media.Mode(), MediaMode::NotReady);
}
