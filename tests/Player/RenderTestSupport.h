#pragma once
// Runs lmotool render in a scratch folder and reads back what it wrote.
#include <gtest/gtest.h>
#include <cairo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/Slides/PresentationBytes.h"

namespace rendertest {

namespace fs = std::filesystem;
using namespace testbytes;

struct Picture {
  std::int32_t Width = 0, Height = 0;
  std::vector<std::uint32_t> Pixels;  // 0xRRGGBB
  std::uint32_t At(std::int32_t X, std::int32_t Y) const { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
  std::uint32_t& At(std::int32_t X, std::int32_t Y) { return Pixels[static_cast<std::size_t>(Y) * Width + X]; }
  bool operator==(const Picture&) const = default;
};

inline Picture ReadPng(const fs::path& Path) {
  Picture P;
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> S(cairo_image_surface_create_from_png(Path.c_str()),
                                                                 cairo_surface_destroy);
  if (cairo_surface_status(S.get()) != CAIRO_STATUS_SUCCESS) return P;
  P.Width = cairo_image_surface_get_width(S.get());
  P.Height = cairo_image_surface_get_height(S.get());
  const int Stride = cairo_image_surface_get_stride(S.get());
  const unsigned char* Data = cairo_image_surface_get_data(S.get());
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X)
      P.Pixels.push_back(reinterpret_cast<const std::uint32_t*>(Data + Y * Stride)[X] & 0xFFFFFF);
  return P;
}

// Writes P as an opaque RGB PNG.
inline void WritePng(const Picture& P, const fs::path& Path) {
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> S(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, P.Width, P.Height), cairo_surface_destroy);
  cairo_surface_flush(S.get());
  const int Stride = cairo_image_surface_get_stride(S.get());
  unsigned char* Data = cairo_image_surface_get_data(S.get());
  for (int Y = 0; Y < P.Height; ++Y)
    for (int X = 0; X < P.Width; ++X) reinterpret_cast<std::uint32_t*>(Data + Y * Stride)[X] = P.At(X, Y);
  cairo_surface_mark_dirty(S.get());
  ASSERT_EQ(cairo_surface_write_to_png(S.get(), Path.c_str()), CAIRO_STATUS_SUCCESS);
}

class RenderFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Dir_ = fs::temp_directory_path() / ("lmo-render-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(Dir_);
    fs::create_directories(Dir_ / "out");
  }
  void TearDown() override { fs::remove_all(Dir_); }

  fs::path Write(const Bytes& Content) {
    const fs::path File = Dir_ / "show.lmo";
    std::ofstream(File, std::ios::binary).write(reinterpret_cast<const char*>(Content.data()),
                                                static_cast<std::streamsize>(Content.size()));
    return File;
  }
  // Runs lmotool render with Arguments after FILE; the exit status.
  int Run(const fs::path& File, const std::string& Arguments) {
    const std::string Command = std::string(LMOTOOL_PATH) + " render '" + File.string() + "' --out '" +
                                (Dir_ / "out").string() + "' " + Arguments + " 2>'" + (Dir_ / "err").string() + "'";
    const int Status = std::system(Command.c_str());
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  }
  std::string Errors() {
    std::ifstream In(Dir_ / "err");
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
  }
  Picture At(int Ms) { return ReadPng(Dir_ / "out" / ("at-" + std::to_string(Ms) + ".png")); }
  bool HasAt(int Ms) { return fs::exists(Dir_ / "out" / ("at-" + std::to_string(Ms) + ".png")); }
  std::vector<std::string> Frames() {
    std::vector<std::string> Names;
    for (const auto& E : fs::directory_iterator(Dir_ / "out"))
      if (E.path().filename().string().rfind("frame-", 0) == 0) Names.push_back(E.path().filename().string());
    std::sort(Names.begin(), Names.end());
    return Names;
  }

  fs::path Dir_;
};

}  // namespace rendertest
