#include "Platform/Sound/MediaPlayer.h"

namespace platform {

MediaPlayer::MediaPlayer(std::unique_ptr<SoundDevice> Device)
    : Device_(Device ? std::move(Device) : CreateSoundDevice()) {}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::Open() { Device_->Open(FileName); }

void MediaPlayer::Close() { Device_->Close(); }

void MediaPlayer::Play() {
  if (AutoRewind && Device_->AtEnd()) Device_->Rewind();
  Device_->Play();
}

void MediaPlayer::Pause() {
  switch (Device_->Mode()) {
    case MediaMode::Playing:
      Device_->Pause();
      break;
    case MediaMode::Paused:
      Device_->Resume();
      break;
    default:
      break;
  }
}

void MediaPlayer::Stop() { Device_->Stop(); }

MediaMode MediaPlayer::Mode() { return Device_->Mode(); }

}  // namespace platform
