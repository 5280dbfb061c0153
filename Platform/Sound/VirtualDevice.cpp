// The sound device of shows on the virtual clock: it decodes a file only to
// learn its length and then lets that much time pass on the current clock.
#include <algorithm>

#include "Platform/Core/Clock.h"
#include "Platform/Sound/MixerAudio.h"
#include "Platform/Sound/SoundDevice.h"

namespace platform {
namespace {

bool VirtualAudioAvailable = true;

class VirtualSoundDevice final : public SoundDevice {
public:
  void Open(const std::string& FileName) override {
    Close();
    if (!VirtualAudioAvailable) throw MediaError("Keine Audioausgabe");
    mixer::EnsureOpen(true);
    const mixer::LoadedMusic Loaded = mixer::LoadMusic(FileName);
    const std::int64_t Length = mixer::MusicLengthMs(Loaded, FileName);
    if (Length < 0) throw MediaError("Die L\xC3\xA4nge des Sounds ist unbekannt");
    Length_ = Length;
    Open_ = true;
  }

  void Close() override {
    Open_ = false;
    State_ = MediaMode::Stopped;
    Position_ = 0;
    Length_ = 0;
  }

  void Play() override {
    if (!Open_) return;
    const MediaMode Now = Mode();
    if (!VirtualAudioAvailable) throw MediaError("Die Audioausgabe ist nicht mehr verf\xC3\xBCgbar");
    if (Now == MediaMode::Playing) return;
    if (Now == MediaMode::Paused) {
      Resume();
      return;
    }
    if (Position_ >= Length_) return;
    Started_ = GetTickCount();
    State_ = MediaMode::Playing;
  }

  void Pause() override {
    if (Mode() != MediaMode::Playing) return;
    Position_ = PlayedTo();
    State_ = MediaMode::Paused;
  }

  void Resume() override {
    if (Mode() != MediaMode::Paused) return;
    Started_ = GetTickCount();
    State_ = MediaMode::Playing;
  }

  void Stop() override {
    const MediaMode Now = Mode();
    if (Now == MediaMode::Playing) Position_ = PlayedTo();
    if (Now == MediaMode::Playing || Now == MediaMode::Paused) State_ = MediaMode::Stopped;
  }

  void Rewind() override {
    Mode();
    Position_ = 0;
    if (State_ == MediaMode::Playing) Started_ = GetTickCount();
  }

  MediaMode Mode() override {
    if (!Open_) return MediaMode::NotReady;
    if (State_ == MediaMode::Playing) {
      const std::int64_t At = PlayedTo();
      if (At >= Length_ || !VirtualAudioAvailable) {
        Position_ = std::min(At, Length_);
        if (!VirtualAudioAvailable) Position_ = Length_;
        State_ = MediaMode::Stopped;
      }
    } else if (State_ == MediaMode::Paused && !VirtualAudioAvailable) {
      Position_ = Length_;
      State_ = MediaMode::Stopped;
    }
    return State_;
  }

  bool AtEnd() override { return Mode() != MediaMode::NotReady && Position_ >= Length_; }
  std::int64_t LengthMs() override { return Open_ ? Length_ : -1; }
  std::int64_t PositionMs() override {
    if (Mode() == MediaMode::NotReady) return -1;
    return State_ == MediaMode::Playing ? PlayedTo() : Position_;
  }

private:
  std::int64_t PlayedTo() const {
    const std::uint32_t Elapsed = GetTickCount() - Started_;
    return std::min<std::int64_t>(Position_ + Elapsed, Length_);
  }

  bool Open_ = false;
  MediaMode State_ = MediaMode::Stopped;
  std::int64_t Length_ = 0;
  std::int64_t Position_ = 0;  // where playing stood when it last started or stopped
  std::uint32_t Started_ = 0;  // tick at which playing last started
};

}  // namespace

std::unique_ptr<SoundDevice> CreateVirtualSoundDevice() { return std::make_unique<VirtualSoundDevice>(); }

std::unique_ptr<SoundDevice> CreateSoundDevice() {
  if (CurrentClock().IsVirtual()) return CreateVirtualSoundDevice();
  return CreateMixerSoundDevice();
}

void SetVirtualAudioAvailable(bool Available) { VirtualAudioAvailable = Available; }

}  // namespace platform
