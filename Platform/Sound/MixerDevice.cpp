// The sound device on the real audio output, through SDL2_mixer's music
// stream. The mixer has one music stream per process, and the program has
// one sound player, so one device plays at a time.
#include <cmath>

#include "Platform/Sound/MixerAudio.h"
#include "Platform/Sound/SoundDevice.h"

namespace platform {
namespace {

class MixerSoundDevice final : public SoundDevice {
public:
  ~MixerSoundDevice() override { Close(); }

  void Open(const std::string& FileName) override {
    Close();
    mixer::EnsureOpen(false);
    Loaded_ = mixer::LoadMusic(FileName);
  }

  void Close() override {
    if (Started_) Mix_HaltMusic();
    Loaded_ = {};
    State_ = MediaMode::Stopped;
    Started_ = false;
    AtEnd_ = false;
  }

  void Play() override {
    if (!Loaded_.Music) return;
    Mode();
    if (mixer::OutputLost()) throw MediaError("Die Audioausgabe ist nicht mehr verf\xC3\xBCgbar");
    switch (State_) {
      case MediaMode::Playing:
        return;
      case MediaMode::Paused:
        Resume();
        return;
      default:
        break;
    }
    if (AtEnd_) return;
    if (Started_) {
      // Stopped: the stream was held where it stood.
      Mix_ResumeMusic();
    } else {
      if (Mix_PlayMusic(Loaded_.Music.get(), 1) != 0) throw MediaError(Mix_GetError());
      Started_ = true;
    }
    State_ = MediaMode::Playing;
  }

  void Pause() override {
    if (Mode() != MediaMode::Playing) return;
    Mix_PauseMusic();
    State_ = MediaMode::Paused;
  }

  void Resume() override {
    if (Mode() != MediaMode::Paused) return;
    Mix_ResumeMusic();
    State_ = MediaMode::Playing;
  }

  void Stop() override {
    const MediaMode Now = Mode();
    if (Now != MediaMode::Playing && Now != MediaMode::Paused) return;
    // Halting would lose the position; holding the stream keeps it.
    Mix_PauseMusic();
    State_ = MediaMode::Stopped;
  }

  void Rewind() override {
    if (Started_) Mix_HaltMusic();
    Started_ = false;
    AtEnd_ = false;
    if (State_ != MediaMode::Stopped) State_ = MediaMode::Stopped;
  }

  MediaMode Mode() override {
    if (!Loaded_.Music) return MediaMode::NotReady;
    if (State_ == MediaMode::Playing || State_ == MediaMode::Paused) {
      if (mixer::OutputLost()) {
        // Nothing will ever be heard of this sound: it has ended.
        Mix_HaltMusic();
        State_ = MediaMode::Stopped;
        Started_ = false;
        AtEnd_ = true;
      } else if (State_ == MediaMode::Playing && !Mix_PlayingMusic()) {
        State_ = MediaMode::Stopped;
        Started_ = false;
        AtEnd_ = true;
      }
    }
    return State_;
  }

  bool AtEnd() override {
    Mode();
    return AtEnd_;
  }

  std::int64_t LengthMs() override {
    if (!Loaded_.Music) return -1;
    const double Seconds = Mix_MusicDuration(Loaded_.Music.get());
    return Seconds < 0 ? -1 : static_cast<std::int64_t>(std::llround(Seconds * 1000.0));
  }

  std::int64_t PositionMs() override {
    if (!Loaded_.Music) return -1;
    if (AtEnd()) return LengthMs();
    if (!Started_) return 0;
    const double Seconds = Mix_GetMusicPosition(Loaded_.Music.get());
    return Seconds < 0 ? -1 : static_cast<std::int64_t>(std::llround(Seconds * 1000.0));
  }

private:
  mixer::LoadedMusic Loaded_;
  MediaMode State_ = MediaMode::Stopped;
  bool Started_ = false;  // the music stream holds this sound (playing or held)
  bool AtEnd_ = false;
};

}  // namespace

std::unique_ptr<SoundDevice> CreateMixerSoundDevice() { return std::make_unique<MixerSoundDevice>(); }

}  // namespace platform
