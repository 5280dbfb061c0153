#pragma once
// A player window that only records what slides and objects ask of it.
#include <stdexcept>
#include <string>
#include <vector>

#include "SlideObjects/PlayerWindow.h"

class RecordingPlayerWindow final : public PlayerWindow, public PlayerSurface {
public:
  RecordingPlayerWindow() { KivoSlideShowPlayerForm = this; }
  ~RecordingPlayerWindow() override {
    if (KivoSlideShowPlayerForm == this) KivoSlideShowPlayerForm = nullptr;
  }

  void InvalidateAll() override { Calls.push_back("InvalidateAll"); }
  void InvalidateArea(const TRect&) override { Calls.push_back("InvalidateArea"); }
  void FlushSurface() override { Calls.push_back("FlushSurface"); }
  PlayerSurface& PaintBox() override { return *this; }
  TSoundPlayer& SoundPlayer() override { throw std::logic_error("no sound player in this test"); }
  TMoviePanel& VideoPlayer() override { throw std::logic_error("no video panel in this test"); }

  TRect GetClientRect() override { return TRect{0, 0, Width, Height}; }
  std::int32_t ClientWidth() override { return Width; }
  std::int32_t ClientHeight() override { return Height; }
  TBitmap32& Buffer() override { throw std::logic_error("no buffer in this test"); }
  platform::Canvas* BufferCanvas() override { return nullptr; }
  void InvalidateRect(const TRect&) override { Calls.push_back("InvalidateRect"); }
  platform::PaintDevice& WindowCanvas() override { throw std::logic_error("no window canvas in this test"); }

  std::size_t Count(const std::string& Call) const {
    std::size_t N = 0;
    for (const auto& C : Calls) N += C == Call;
    return N;
  }

  std::vector<std::string> Calls;
  std::int32_t Width = 800;
  std::int32_t Height = 600;
};
