#include "SlideObjects/SoundPlayer.h"

#include "Platform/Sound/MediaPlayer.h"
#include "Tools/MediaFiles.h"

TSoundPlayerTimer::TSoundPlayerTimer() {
  // The handler goes through Player, so a tick after the player is gone
  // reaches nothing.
  SetOnTimer([](platform::Timer& T) {
    auto& Self = static_cast<TSoundPlayerTimer&>(T);
    if (Self.Player) Self.Player->Poll();
  });
  SetEnabled(false);
}

TSoundPlayerTimer::~TSoundPlayerTimer() {
  if (Player && Player->Timer == this) Player->Timer = nullptr;
}

TSoundPlayer::TSoundPlayer(platform::MediaPlayer& MediaPlayer, TSoundPlayerTimer& ATimer)
    : MediaDevice(&MediaPlayer), Timer(&ATimer) {
  Timer->SetEnabled(false);
  Timer->Player = this;
  MediaDevice->AutoOpen = false;
  MediaDevice->AutoRewind = true;
  MediaDevice->Shareable = false;
  MediaDevice->Notify = true;
}

TSoundPlayer::~TSoundPlayer() {
  Stop();
  if (IsOpen) {
    try {
      MediaDevice->Close();
    } catch (...) {
    }
  }
  if (Timer && Timer->Player == this) Timer->Player = nullptr;
}

bool TSoundPlayer::Open(const std::string& FileName) {
  Close();
  if (!FileExistsNotFolder(FileName)) return false;
  try {
    MediaDevice->FileName = FileName;
    MediaDevice->Open();
    IsOpen = true;
    return true;
  } catch (...) {
    MediaDevice->FileName.clear();
    return false;
  }
}

void TSoundPlayer::Play() {
  if (!IsOpen) return;
  try {
    MediaDevice->Play();
  } catch (...) {
  }
  // Polling starts even when playing failed: the device then reports no
  // playback and the end handler runs on the next tick, so whoever waits for
  // the end of the sound is not left waiting for ever.
  if (Timer) {
    Timer->SetInterval(PollInterval);
    Timer->SetEnabled(true);
  }
}

void TSoundPlayer::Pause() {
  if (!IsOpen) return;
  try {
    MediaDevice->Pause();
  } catch (...) {
  }
}

void TSoundPlayer::Stop() {
  if (!IsOpen) return;
  try {
    MediaDevice->Stop();
  } catch (...) {
  }
}

void TSoundPlayer::Close() {
  Stop();
  if (!IsOpen) return;
  try {
    MediaDevice->Close();
  } catch (...) {
  }
  MediaDevice->FileName.clear();
  IsOpen = false;
}

void TSoundPlayer::Poll() {
  if (!IsOpen) return;
  try {
    const platform::MediaMode Mode = MediaDevice->Mode();
    if (Mode == platform::MediaMode::Playing || Mode == platform::MediaMode::Paused) return;
    // Runs again on every tick until the sound is closed or plays again.
    bool Loop = false;
    if (OnSoundEnd) {
      // A copy: the handler may replace or clear itself.
      const TSoundEndEvent Handler = OnSoundEnd;
      Handler(this, Loop);
    }
    if (Loop) Play();
  } catch (...) {
  }
  MediaDevice->Notify = true;
}
