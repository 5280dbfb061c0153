// The sound objects at run time: they play through the window's single
// sound player and are done when their sound has ended or failed.
#include "SlideObjects/PIPSound.h"
#include "SlideObjects/PlayerWindow.h"
#include "SlideObjects/SoundPlayer.h"
#include "Tools/MediaFiles.h"

void TPIPSound::Start(PlayerWindow* Form) {
  TDavazozavInvisiblePlugin::Start(Form);
  StartPending = true;
  PlayState = 0;
  if (!PlayerForm) return;
  bool Opened = false;
  try {
    TSoundPlayer& Player = PlayerForm->SoundPlayer();
    Opened = Player.Open(ResolveMediaFile(FileName));
    if (Opened) Player.OnSoundEnd = [this](TSoundPlayer* Sender, bool& Loop) { SoundEnded(Sender, Loop); };
  } catch (...) {
    Opened = false;
  }
  if (Opened) {
    PlayState = 1;
  } else {
    // Missing or unplayable: done at once, finished by the timing mode.
    PlayState = 2;
    State = 2;
  }
}

void TPIPSound::Step() {
  if (!PlayerForm || State == 2 || !StartPending) return;
  StartPending = false;
  if (PlayState != 1) return;
  try {
    PlayerForm->SoundPlayer().Play();
    PlayState = 3;
    State = 1;
  } catch (...) {
    PlayState = 2;
    State = 2;
  }
}

void TPIPSound::SoundEnded(TSoundPlayer* Sender, bool& Loop) {
  (void)Sender;
  Loop = false;
  State = 2;
}

void TPIPSound::Stop() {
  if (PlayerForm) {
    // The sound never outlives its object's run. Stop also runs from the
    // destructor, so nothing may escape it.
    try {
      TSoundPlayer& Player = PlayerForm->SoundPlayer();
      Player.Close();
      Player.OnSoundEnd = nullptr;
    } catch (...) {
    }
  }
  TDavazozavInvisiblePlugin::Stop();
}

void TPIPSound::DoPause() {
  if (PlayState == 3 && PlayerForm) PlayerForm->SoundPlayer().Pause();
}

void TPIPSound::DoResume() {
  // A sound that has already ended stays ended: playing it now would start
  // it again from the beginning.
  if (PlayState == 3 && State != 2 && PlayerForm) PlayerForm->SoundPlayer().Play();
}
