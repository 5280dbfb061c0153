#pragma once
// The sound device: one open sound file played in the background. It offers
// what the sound player needs of a media device: open (the decoder is chosen
// by the file's contents and extension), play from the current position,
// pause, resume, stop (the position stays), rewind, close and the mode.
//
// Two devices: the mixer device plays through the real audio output; the
// virtual device only learns each file's length by decoding it and "plays"
// on the current clock, so that shows on the virtual clock stay
// deterministic and fast.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

// The modes of a media device; only Playing and Paused mean "not ended".
enum class MediaMode : std::uint8_t { NotReady, Stopped, Playing, Recording, Seeking, Paused, Open };

// A sound that cannot be opened or played, or an audio output that is gone.
class MediaError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class SoundDevice {
public:
  virtual ~SoundDevice() = default;
  // Closes what was open, then opens FileName; throws MediaError when no
  // decoder can play it or there is no audio output.
  virtual void Open(const std::string& FileName) = 0;
  // Releases the file; harmless when nothing is open.
  virtual void Close() = 0;
  // Plays from the current position; at the end nothing plays until Rewind.
  // Throws MediaError when the output refuses to play.
  virtual void Play() = 0;
  // Holds the position; Resume continues from it. Both only act when
  // playing respectively paused.
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Ends playing or pausing; the position stays.
  virtual void Stop() = 0;
  // Back to the start.
  virtual void Rewind() = 0;
  // NotReady when nothing is open. A sound whose output was lost counts as
  // Stopped.
  virtual MediaMode Mode() = 0;
  // At the end of the sound (it played to its end).
  virtual bool AtEnd() = 0;
  // Length and position in milliseconds; -1 when the decoder cannot tell.
  virtual std::int64_t LengthMs() = 0;
  virtual std::int64_t PositionMs() = 0;
};

// Plays through SDL2_mixer on the audio output SDL chooses (SDL_AUDIODRIVER
// selects one). MIDI files play with the first General MIDI sound font found.
std::unique_ptr<SoundDevice> CreateMixerSoundDevice();
// Plays on the current clock; the file is decoded once to learn its length.
std::unique_ptr<SoundDevice> CreateVirtualSoundDevice();
// The virtual device while the current clock is virtual, else the mixer.
std::unique_ptr<SoundDevice> CreateSoundDevice();

// The virtual audio output, for tests of a lost output: while unavailable,
// every virtual device counts its sound as ended and refuses to open or
// play. Available by default.
void SetVirtualAudioAvailable(bool Available);

}  // namespace platform
