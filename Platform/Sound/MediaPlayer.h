#pragma once
// The media player component the sound player drives: a sound device with
// the component's settings. With AutoRewind, Play at the end of the sound
// starts again from the beginning.
#include <memory>
#include <string>

#include "Platform/Sound/SoundDevice.h"

namespace platform {

class MediaPlayer {
public:
  // Without a device, the one that fits the current clock.
  explicit MediaPlayer(std::unique_ptr<SoundDevice> Device = nullptr);
  ~MediaPlayer();
  MediaPlayer(const MediaPlayer&) = delete;
  MediaPlayer& operator=(const MediaPlayer&) = delete;

  // Opens FileName on the device (the device is chosen by the file).
  void Open();
  void Close();
  // From the current position; rewinds first at the end when AutoRewind.
  void Play();
  // Pauses when playing, resumes when paused.
  void Pause();
  void Stop();
  MediaMode Mode();
  SoundDevice& Device() { return *Device_; }

  std::string FileName;
  bool AutoOpen = true;
  bool AutoRewind = true;
  bool Shareable = false;
  bool Notify = false;
  bool Visible = true;

private:
  std::unique_ptr<SoundDevice> Device_;
};

}  // namespace platform
