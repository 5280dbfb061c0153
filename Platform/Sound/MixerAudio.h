#pragma once
// The process's one SDL2_mixer output, shared by the mixer device (which
// plays through it) and the virtual device (which only decodes with it).
#include <SDL2/SDL_mixer.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::mixer {

// Opens SDL's audio subsystem and the mixer once; after a lost output it
// closes both and tries again. Throws MediaError when no output can be had.
// ForDecoding: when the audio subsystem is not up yet, it is brought up on
// SDL's silent dummy driver (nothing is ever played through it).
void EnsureOpen(bool ForDecoding);
// The output the mixer plays on stopped working (unplugged, audio server
// gone). False while nothing is open.
bool OutputLost();

struct MusicDeleter {
  void operator()(Mix_Music* Music) const { Mix_FreeMusic(Music); }
};

// A decoded-on-demand sound file. A MIDI file wrapped in RIFF/RMID is
// unwrapped into Bytes, which the music reads from while it exists.
struct LoadedMusic {
  std::vector<std::uint8_t> Bytes;
  std::unique_ptr<Mix_Music, MusicDeleter> Music;
};

// Loads FileName (UTF-8 path); throws MediaError when no decoder takes it.
LoadedMusic LoadMusic(const std::string& FileName);

// The length of Loaded in milliseconds: the decoder's own figure, or, when
// it has none (MIDI), the length of FileName decoded completely.
std::int64_t MusicLengthMs(const LoadedMusic& Loaded, const std::string& FileName);

}  // namespace platform::mixer
