#pragma once
// A player window on the virtual clock with a real sound player over the
// virtual sound device (whose calls are counted), a real back buffer, and
// the slide's tick loop: 10 ms slide steps with the poll timer fired when due.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "CommonImplementations/Bitmap32.h"
#include "CommonImplementations/BitmapCanvas.h"
#include "Platform/Canvas/Canvas.h"
#include "Platform/Core/Clock.h"
#include "Platform/Sound/MediaPlayer.h"
#include "SlideObjects/DavazozavPlugin.h"
#include "SlideObjects/PlayerWindow.h"
#include "SlideObjects/SoundPlayer.h"

namespace soundtest {

// The virtual device with every call counted.
class CountingDevice final : public platform::SoundDevice {
public:
  void Open(const std::string& FileName) override {
    ++Opens;
    LastOpened = FileName;
    Inner->Open(FileName);
  }
  void Close() override {
    ++Closes;
    Inner->Close();
  }
  void Play() override {
    ++Plays;
    Inner->Play();
  }
  void Pause() override { Inner->Pause(); }
  void Resume() override { Inner->Resume(); }
  void Stop() override {
    ++Stops;
    Inner->Stop();
  }
  void Rewind() override {
    ++Rewinds;
    Inner->Rewind();
  }
  platform::MediaMode Mode() override { return Inner->Mode(); }
  bool AtEnd() override { return Inner->AtEnd(); }
  std::int64_t LengthMs() override { return Inner->LengthMs(); }
  std::int64_t PositionMs() override { return Inner->PositionMs(); }

  std::unique_ptr<platform::SoundDevice> Inner = platform::CreateVirtualSoundDevice();
  int Opens = 0, Closes = 0, Plays = 0, Stops = 0, Rewinds = 0;
  std::string LastOpened;
};

class SoundStage final : public PlayerWindow, public PlayerSurface {
public:
  explicit SoundStage(platform::VirtualClock& AClock, std::int32_t Width = 200, std::int32_t Height = 150)
      : Clock(AClock), Media(MakeDevice()), Player(Media, Timer) {
    Buffer_.Resize(Width, Height);
  }

  void InvalidateAll() override { Calls.push_back("InvalidateAll"); }
  void InvalidateArea(const TRect&) override { Calls.push_back("InvalidateArea"); }
  void FlushSurface() override { Calls.push_back("FlushSurface"); }
  PlayerSurface& PaintBox() override { return *this; }
  TSoundPlayer& SoundPlayer() override { return Player; }
  TMoviePanel& VideoPlayer() override { throw std::logic_error("no video panel on this stage"); }

  TRect GetClientRect() override { return Buffer_.FullRect(); }
  std::int32_t ClientWidth() override { return Buffer_.Width(); }
  std::int32_t ClientHeight() override { return Buffer_.Height(); }
  TBitmap32& Buffer() override { return Buffer_; }
  platform::Canvas* BufferCanvas() override {
    Canvas_ = CanvasOnBitmap(Buffer_);
    return Canvas_.get();
  }
  void InvalidateRect(const TRect& Area) override {
    Calls.push_back("InvalidateRect");
    Invalidated.push_back(Area);
  }
  platform::PaintDevice& WindowCanvas() override { return Buffer_; }

  std::size_t Count(const std::string& Call) const {
    std::size_t N = 0;
    for (const auto& C : Calls) N += C == Call;
    return N;
  }

  // The clock moves by Milliseconds; the poll timer fires when it is due.
  void Advance(std::uint32_t Milliseconds) {
    Clock.Advance(Milliseconds);
    const std::uint32_t Now = GetTickCount();
    if (Timer.Running() && static_cast<std::int32_t>(Now - Timer.DueTick()) >= 0) Timer.Fire(Now);
  }

  // Slide ticks of 10 ms on Object (already started and stepped once) until
  // it is finished; the milliseconds from Since, or -1 after Limit.
  std::int64_t RunUntilFinished(TDavazozavPlugin& Object, std::uint32_t Since, std::uint32_t Limit = 20000) {
    while (GetTickCount() - Since <= Limit) {
      if (Object.IsFinished()) return GetTickCount() - Since;
      Advance(10);
      Object.Step();
    }
    return -1;
  }
  // Slide ticks for Milliseconds.
  void Run(TDavazozavPlugin& Object, std::uint32_t Milliseconds) {
    for (std::uint32_t T = 0; T < Milliseconds; T += 10) {
      Advance(10);
      Object.Step();
    }
  }

  platform::VirtualClock& Clock;
  CountingDevice* Device = nullptr;
  TSoundPlayerTimer Timer;
  platform::MediaPlayer Media;
  TSoundPlayer Player;
  std::vector<std::string> Calls;
  std::vector<TRect> Invalidated;

private:
  std::unique_ptr<platform::SoundDevice> MakeDevice() {
    auto D = std::make_unique<CountingDevice>();
    Device = D.get();
    return D;
  }
  TBitmap32 Buffer_;
  std::unique_ptr<platform::Canvas> Canvas_;
};

// Writes a silent 16-bit mono PCM WAV of Milliseconds at 8000 Hz.
inline void WriteWav(const std::string& Path, std::uint32_t Milliseconds) {
  const std::uint32_t Rate = 8000;
  const std::uint32_t DataBytes = Rate * Milliseconds / 1000 * 2;
  std::ofstream Out(Path, std::ios::binary);
  auto U32 = [&](std::uint32_t V) {
    for (int I = 0; I < 4; ++I) Out.put(static_cast<char>(V >> (8 * I)));
  };
  auto U16 = [&](std::uint16_t V) {
    Out.put(static_cast<char>(V));
    Out.put(static_cast<char>(V >> 8));
  };
  Out.write("RIFF", 4);
  U32(36 + DataBytes);
  Out.write("WAVEfmt ", 8);
  U32(16);
  U16(1);
  U16(1);
  U32(Rate);
  U32(Rate * 2);
  U16(2);
  U16(16);
  Out.write("data", 4);
  U32(DataBytes);
  for (std::uint32_t I = 0; I < DataBytes; ++I) Out.put(0);
}

// A folder of its own under the system's temporary folder, removed at the end.
class TempFolder {
public:
  TempFolder() {
    char Pattern[] = "/tmp/lmo-sound-XXXXXX";
    if (!mkdtemp(Pattern)) throw std::runtime_error("mkdtemp");
    Path = Pattern;
  }
  ~TempFolder() {
    std::error_code Error;
    std::filesystem::remove_all(Path, Error);
  }
  std::string File(const std::string& Name) const { return Path + "/" + Name; }
  std::string Path;
};

}  // namespace soundtest
