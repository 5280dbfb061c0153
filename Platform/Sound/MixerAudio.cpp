#include "Platform/Sound/MixerAudio.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>
#include <filesystem>

#include "Platform/Sound/SoundDevice.h"

namespace platform::mixer {
namespace {

bool AudioUp = false;  // SDL's audio subsystem initialised by us
bool MixerOpen = false;
SDL_AudioDeviceID DeviceId = 0;  // the output the mixer opened, 0 unknown

// General MIDI sound fonts and timidity configurations from Debian packages,
// best first.
constexpr const char* SoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf3/MuseScore_General.sf3"};
constexpr const char* TimidityConfigs[] = {"/etc/timidity/timidity.cfg", "/etc/timidity.cfg",
                                           "/etc/timidity/timgm6mb.cfg", "/etc/timidity/fluidr3_gm.cfg"};

bool IsFile(const char* Path) {
  std::error_code Error;
  return std::filesystem::is_regular_file(Path, Error);
}

void ChooseMidiSoundFont() {
  // An explicit choice in the environment is the mixer's own business.
  if (!SDL_getenv("SDL_SOUNDFONTS")) {
    for (const char* Font : SoundFonts) {
      if (IsFile(Font)) {
        Mix_SetSoundFonts(Font);
        break;
      }
    }
  }
  if (!SDL_getenv("TIMIDITY_CFG")) {
    for (const char* Config : TimidityConfigs) {
      if (IsFile(Config)) {
        Mix_SetTimidityCfg(Config);
        break;
      }
    }
  }
}

std::set<SDL_AudioDeviceID> RunningOutputs() {
  // SDL numbers opened outputs from 2 upwards; 1 is the legacy device.
  std::set<SDL_AudioDeviceID> Running;
  for (SDL_AudioDeviceID Id = 1; Id < 64; ++Id)
    if (SDL_GetAudioDeviceStatus(Id) != SDL_AUDIO_STOPPED) Running.insert(Id);
  return Running;
}

void CloseAll() {
  if (MixerOpen) {
    Mix_HaltMusic();
    Mix_CloseAudio();
    MixerOpen = false;
  }
  DeviceId = 0;
  if (AudioUp) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    AudioUp = false;
  }
}

std::string SdlError(const char* What) { return std::string(What) + ": " + SDL_GetError(); }

}  // namespace

bool OutputLost() {
  if (!MixerOpen || DeviceId == 0) return false;
  return SDL_GetAudioDeviceStatus(DeviceId) == SDL_AUDIO_STOPPED;
}

void EnsureOpen(bool ForDecoding) {
  if (MixerOpen && !OutputLost()) return;
  // A lost output is given up completely, so that SDL looks for outputs
  // afresh (a restarted audio server, a device plugged in again).
  CloseAll();
  if (!SDL_WasInit(SDL_INIT_AUDIO)) {
    if (ForDecoding) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    const int Result = SDL_InitSubSystem(SDL_INIT_AUDIO);
    if (ForDecoding) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (Result != 0) throw MediaError(SdlError("Keine Audioausgabe"));
    AudioUp = true;
  }
  ChooseMidiSoundFont();
  Mix_Init(MIX_INIT_FLAC | MIX_INIT_MP3 | MIX_INIT_OGG | MIX_INIT_MID);
  const std::set<SDL_AudioDeviceID> Before = RunningOutputs();
  if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
    const std::string Message = SdlError("Keine Audioausgabe");
    CloseAll();
    throw MediaError(Message);
  }
  MixerOpen = true;
  for (SDL_AudioDeviceID Id : RunningOutputs())
    if (!Before.count(Id)) DeviceId = Id;
}

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) throw MediaError("Datei kann nicht gelesen werden");
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

std::uint32_t Le32(const std::uint8_t* P) {
  return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
         static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

bool IsRiffMidi(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  char Head[12] = {};
  if (!In.read(Head, sizeof Head)) return false;
  return std::memcmp(Head, "RIFF", 4) == 0 && std::memcmp(Head + 8, "RMID", 4) == 0;
}

// The standard MIDI data inside a RIFF/RMID file: its "data" chunk.
std::vector<std::uint8_t> UnwrapRiffMidi(const std::string& FileName) {
  std::vector<std::uint8_t> File = ReadFile(FileName);
  std::size_t At = 12;
  while (At + 8 <= File.size()) {
    const std::uint32_t Size = Le32(&File[At + 4]);
    const std::size_t Body = At + 8;
    if (Size > File.size() - Body) break;
    if (std::memcmp(&File[At], "data", 4) == 0)
      return std::vector<std::uint8_t>(File.begin() + static_cast<std::ptrdiff_t>(Body),
                                       File.begin() + static_cast<std::ptrdiff_t>(Body + Size));
    At = Body + Size + (Size & 1);
  }
  throw MediaError("RIFF-MIDI-Datei ohne Daten");
}

}  // namespace

LoadedMusic LoadMusic(const std::string& FileName) {
  LoadedMusic Loaded;
  if (IsRiffMidi(FileName)) {
    Loaded.Bytes = UnwrapRiffMidi(FileName);
    SDL_RWops* Source = SDL_RWFromConstMem(Loaded.Bytes.data(), static_cast<int>(Loaded.Bytes.size()));
    if (Source) Loaded.Music.reset(Mix_LoadMUSType_RW(Source, MUS_MID, 1));
  } else {
    Loaded.Music.reset(Mix_LoadMUS(FileName.c_str()));
  }
  if (!Loaded.Music) throw MediaError(SdlError("Sound kann nicht abgespielt werden"));
  return Loaded;
}

namespace {

struct ChunkDeleter {
  void operator()(Mix_Chunk* Chunk) const { Mix_FreeChunk(Chunk); }
};

// Reads a standard MIDI file's events far enough to know when its last track
// ends, and how long that is with the file's tempo changes.
class MidiReader {
public:
  explicit MidiReader(const std::vector<std::uint8_t>& Bytes) : Bytes_(Bytes) {}

  std::int64_t LengthMs() {
    if (Bytes_.size() < 14 || std::memcmp(Bytes_.data(), "MThd", 4) != 0) Fail();
    const std::uint32_t HeaderSize = Be(4, 4);
    if (HeaderSize < 6 || HeaderSize > Bytes_.size() - 8) Fail();
    const std::uint32_t Division = Be(12, 2);
    std::size_t At = 8 + HeaderSize;
    std::uint64_t EndTick = 0;
    while (At + 8 <= Bytes_.size()) {
      const std::uint32_t Size = Be(At + 4, 4);
      const std::size_t Body = At + 8;
      if (Size > Bytes_.size() - Body) Fail();
      if (std::memcmp(&Bytes_[At], "MTrk", 4) == 0) EndTick = std::max(EndTick, ReadTrack(Body, Body + Size));
      At = Body + Size;
    }
    return TicksToMs(EndTick, Division);
  }

private:
  [[noreturn]] static void Fail() { throw MediaError("MIDI-Datei fehlerhaft"); }

  std::uint32_t Be(std::size_t At, int Count) const {
    std::uint32_t V = 0;
    for (int I = 0; I < Count; ++I) V = V << 8 | Bytes_[At + static_cast<std::size_t>(I)];
    return V;
  }

  std::uint32_t Vlq(std::size_t& At, std::size_t End) const {
    std::uint32_t V = 0;
    for (int I = 0; I < 4; ++I) {
      if (At >= End) Fail();
      const std::uint8_t B = Bytes_[At++];
      V = V << 7 | (B & 0x7F);
      if (!(B & 0x80)) return V;
    }
    Fail();
  }

  void Skip(std::size_t& At, std::size_t End, std::uint32_t Count) const {
    if (Count > End - At) Fail();
    At += Count;
  }

  // The tick at which the track ends; tempo changes go into Tempos_.
  std::uint64_t ReadTrack(std::size_t At, std::size_t End) {
    std::uint64_t Tick = 0;
    std::uint8_t Status = 0;
    while (At < End) {
      Tick += Vlq(At, End);
      if (At >= End) Fail();
      std::uint8_t B = Bytes_[At];
      if (B & 0x80) {
        ++At;
        if (B < 0xF0) Status = B;
      } else if (Status) {
        B = Status;  // running status: B is the first data byte
      } else {
        Fail();
      }
      if (B == 0xFF) {
        if (At >= End) Fail();
        const std::uint8_t Type = Bytes_[At++];
        const std::uint32_t Length = Vlq(At, End);
        if (Type == 0x51 && Length == 3 && End - At >= 3) Tempos_.push_back({Tick, Be(At, 3)});
        Skip(At, End, Length);
        if (Type == 0x2F) break;
      } else if (B == 0xF0 || B == 0xF7) {
        Skip(At, End, Vlq(At, End));
      } else if (B >= 0xF0) {
        Fail();
      } else {
        const std::uint8_t Kind = B & 0xF0;
        Skip(At, End, Kind == 0xC0 || Kind == 0xD0 ? 1 : 2);
      }
    }
    return Tick;
  }

  std::int64_t TicksToMs(std::uint64_t EndTick, std::uint32_t Division) {
    if (Division & 0x8000) {
      // Time code: frames a second and ticks a frame.
      const int Fps = -static_cast<std::int8_t>(Division >> 8);
      const int TicksPerFrame = static_cast<int>(Division & 0xFF);
      if (Fps <= 0 || TicksPerFrame <= 0) Fail();
      return static_cast<std::int64_t>(EndTick * 1000 / static_cast<std::uint64_t>(Fps * TicksPerFrame));
    }
    if (Division == 0) Fail();
    std::stable_sort(Tempos_.begin(), Tempos_.end(),
                     [](const Tempo& A, const Tempo& B) { return A.Tick < B.Tick; });
    double Microseconds = 0;
    std::uint64_t Tick = 0;
    std::uint32_t Current = 500000;  // a quarter note, until the first change
    for (const Tempo& T : Tempos_) {
      if (T.Tick >= EndTick) break;
      Microseconds += static_cast<double>(T.Tick - Tick) * Current / Division;
      Tick = T.Tick;
      Current = T.MicrosecondsPerQuarter;
    }
    Microseconds += static_cast<double>(EndTick - Tick) * Current / Division;
    return static_cast<std::int64_t>(std::llround(Microseconds / 1000.0));
  }

  struct Tempo {
    std::uint64_t Tick;
    std::uint32_t MicrosecondsPerQuarter;
  };
  const std::vector<std::uint8_t>& Bytes_;
  std::vector<Tempo> Tempos_;
};

bool IsStandardMidi(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  char Head[4] = {};
  return In.read(Head, sizeof Head) && std::memcmp(Head, "MThd", 4) == 0;
}

}  // namespace

std::int64_t MusicLengthMs(const LoadedMusic& Loaded, const std::string& FileName) {
  // MIDI decoders name no length and, decoding, run on past the last note:
  // the length comes from the file's own timing.
  if (!Loaded.Bytes.empty()) return MidiReader(Loaded.Bytes).LengthMs();
  if (IsStandardMidi(FileName)) return MidiReader(ReadFile(FileName)).LengthMs();
  const double Seconds = Mix_MusicDuration(Loaded.Music.get());
  if (Seconds > 0) return static_cast<std::int64_t>(std::llround(Seconds * 1000.0));
  // No length from the decoder: decode all of it.
  const std::unique_ptr<Mix_Chunk, ChunkDeleter> Chunk(Mix_LoadWAV(FileName.c_str()));
  int Frequency = 0;
  Uint16 Format = 0;
  int Channels = 0;
  if (!Chunk || !Mix_QuerySpec(&Frequency, &Format, &Channels) || Frequency <= 0 || Channels <= 0)
    return Seconds == 0 ? 0 : -1;
  const std::int64_t FrameBytes = static_cast<std::int64_t>(SDL_AUDIO_BITSIZE(Format) / 8) * Channels;
  if (FrameBytes <= 0) return -1;
  return static_cast<std::int64_t>(Chunk->alen) / FrameBytes * 1000 / Frequency;
}

}  // namespace platform::mixer
