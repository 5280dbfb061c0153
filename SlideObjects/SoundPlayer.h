#pragma once
// The player window's sound player: one sound file at a time on the window's
// media player, its end detected by polling the device every 100 ms.
#include <functional>
#include <string>

#include "Platform/App/Timer.h"

namespace platform {
class MediaPlayer;
}
class TSoundPlayer;

// (Sender, Loop): the sound has ended; setting Loop plays it again.
using TSoundEndEvent = std::function<void(TSoundPlayer* Sender, bool& Loop)>;

// The poll timer of a sound player. Its ticks reach the player only through
// Player, which the player clears when it is destroyed.
class TSoundPlayerTimer : public platform::Timer {
public:
  TSoundPlayerTimer();
  ~TSoundPlayerTimer();
  TSoundPlayer* Player = nullptr;  // not owned
};

class TSoundPlayer {
public:
  static constexpr std::uint32_t PollInterval = 100;

  // Attaches Timer (disabled, Player := this) and sets the media player to
  // no automatic opening, automatic rewind, not shareable, notifying.
  TSoundPlayer(platform::MediaPlayer& MediaPlayer, TSoundPlayerTimer& Timer);
  ~TSoundPlayer();
  TSoundPlayer(const TSoundPlayer&) = delete;
  TSoundPlayer& operator=(const TSoundPlayer&) = delete;

  // Closes what was open; false when FileName names no file or no device can
  // play it.
  bool Open(const std::string& FileName);
  // Plays from the current position (from the start when at the end) and
  // starts polling. Errors are swallowed.
  void Play();
  // Pauses when playing, resumes when paused. Errors are swallowed.
  void Pause();
  // Stops; the position stays. Errors are swallowed.
  void Stop();
  // Stops and releases the file. Polling goes on and finds nothing open.
  void Close();

  TSoundEndEvent OnSoundEnd;
  bool IsOpen = false;
  platform::MediaPlayer* MediaDevice;  // not owned
  TSoundPlayerTimer* Timer;            // not owned; none once the timer is gone

private:
  friend class TSoundPlayerTimer;
  // One poll: runs the end handler when the open sound is neither playing
  // nor paused.
  void Poll();
};
