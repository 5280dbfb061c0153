// lmotool render FILE --size WxH --out DIR [--at MS,...] [--frames]
//   [--until MS] [--seed N] [--event T:KIND[:ARGS]]...
// Plays the presentation in the player window on the offscreen display, on a
// virtual clock that starts at 0 when the window opens, and writes what a
// viewer would see: the screen at chosen times and/or every frame.
#include <CLI/CLI.hpp>
#include <cairo.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>

#include "Chore/ModuleInit.h"
#include "Chore/OffscreenShow.h"
#include "Chore/PlayerHost.h"
#include "Chore/lmotool/ToolCommand.h"
#include "Chore/lmotool/ToolSupport.h"
#include "Platform/App/Application.h"
#include "Platform/App/OffscreenBackend.h"
#include "Platform/Pictures/Picture.h"
#include "Slides/Slides.h"

namespace {

namespace fs = std::filesystem;

std::uint64_t ParseMilliseconds(const std::string& Text, const char* What) {
  std::uint64_t Value = 0;
  const char* End = Text.data() + Text.size();
  auto [Ptr, Error] = std::from_chars(Text.data(), End, Value);
  if (Text.empty() || Error != std::errc() || Ptr != End)
    throw std::invalid_argument(std::string("bad ") + What + " \"" + Text + "\" (milliseconds expected)");
  return Value;
}

void ParseSize(const std::string& Text, std::int32_t& Width, std::int32_t& Height) {
  const std::size_t X = Text.find_first_of("xX");
  auto Number = [&](std::string_view Part) {
    std::int32_t V = 0;
    auto [Ptr, Error] = std::from_chars(Part.data(), Part.data() + Part.size(), V);
    if (Part.empty() || Error != std::errc() || Ptr != Part.data() + Part.size() || V <= 0 || V > 16384)
      throw std::invalid_argument("bad --size \"" + Text + "\" (WxH expected, e.g. 800x600)");
    return V;
  };
  if (X == std::string::npos) Number("");
  Width = Number(std::string_view(Text).substr(0, X));
  Height = Number(std::string_view(Text).substr(X + 1));
}

bool IsButtonName(const std::string& Name) {
  return Name == "slide-back" || Name == "back" || Name == "stop" || Name == "next" || Name == "slide-next" ||
         Name == "exit";
}

// Writes a frame as an RGB PNG.
void WritePng(const platform::Frame& F, const fs::path& Path) {
  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> Surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, F.Width, F.Height), cairo_surface_destroy);
  if (cairo_surface_status(Surface.get()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot make a picture of " + std::to_string(F.Width) + "x" + std::to_string(F.Height));
  cairo_surface_flush(Surface.get());
  unsigned char* Data = cairo_image_surface_get_data(Surface.get());
  const int Stride = cairo_image_surface_get_stride(Surface.get());
  for (std::int32_t Y = 0; Y < F.Height; ++Y) {
    auto* Row = reinterpret_cast<std::uint32_t*>(Data + static_cast<std::ptrdiff_t>(Y) * Stride);
    for (std::int32_t X = 0; X < F.Width; ++X) Row[X] = F.At(X, Y) | 0xFF000000u;
  }
  cairo_surface_mark_dirty(Surface.get());
  if (cairo_surface_write_to_png(Surface.get(), Path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + Path.string());
}

class RenderCommand final : public ToolCommand {
public:
  CLI::App* Add(CLI::App& App) override {
    CLI::App* Sub = App.add_subcommand("render", "Play a presentation on a virtual clock and write what a viewer sees");
    Sub->add_option("FILE", File_, "the presentation (.lmo)")->required();
    Sub->add_option("--size", Size_, "the window's client size, WxH")->required();
    Sub->add_option("--out", Out_, "the folder for the pictures")->required();
    Sub->add_option("--at", At_, "virtual times (ms) to write DIR/at-<MS>.png for")->delimiter(',');
    Sub->add_flag("--frames", Frames_, "write every frame as DIR/frame-<sequence>-<MS>.png");
    Sub->add_option("--until", Until_, "stop then as Esc would (default: the largest --at time)");
    Sub->add_option("--seed", Seed_, "seed of the random generator (default 1)");
    Sub->add_option("--event", Events_,
                    "input at a virtual time: T:key-down:CODE, T:key-up:CODE, T:key-press:CODE, T:mouse-move:X,Y, "
                    "T:mouse-down:X,Y, T:mouse-up:X,Y, T:button:NAME (slide-back, back, stop, next, slide-next, exit)");
    return Sub;
  }

  int Run() override {
    std::int32_t Width = 0, Height = 0;
    ParseSize(Size_, Width, Height);
    std::vector<std::uint64_t> Times;
    for (const std::string& T : At_) Times.push_back(ParseMilliseconds(T, "--at time"));
    std::sort(Times.begin(), Times.end());
    Times.erase(std::unique(Times.begin(), Times.end()), Times.end());
    std::vector<platform::ScriptedEvent> Script;
    for (const std::string& Text : Events_) {
      platform::ScriptedEvent E = platform::ParseScriptedEvent(Text);
      if (E.Event.Type == platform::InputEvent::Kind::Command &&
          (E.Event.Name != "button" || !IsButtonName(E.Event.Args)))
        throw std::invalid_argument("unknown event \"" + Text + "\"");
      Script.push_back(std::move(E));
    }
    std::uint64_t Until = 0;
    if (!Until_.empty()) Until = ParseMilliseconds(Until_, "--until time");
    else if (!Times.empty()) Until = Times.back();
    else throw std::invalid_argument("render needs --until or at least one --at time");
    std::error_code Error;
    fs::create_directories(Out_, Error);
    if (!fs::is_directory(Out_)) throw std::runtime_error("cannot make the folder " + Out_);

    TStartupOptions Options;
    Options.BuildPictureFormats = [] { platform::RegisterPictureFormats(); };
    TModuleLifetime Modules(Options);
    platform::Application& App = platform::Application::Instance();
    App.SetTitle(PlayerTitle);
    TSlides Slides;
    if (!LoadForInspection(File_, Slides)) return ExitFailed;

    TOffscreenShow Show(Width, Height, Seed_);
    platform::OffscreenBackend& Screen = Show.Screen();
    for (auto& E : Script) Screen.AddEvent(std::move(E));

    // The screen at an --at time is the last frame shown at or before it; a
    // time is written once a later frame arrives, or when the run stops.
    std::size_t NextAt = 0;
    std::optional<platform::Frame> Previous;
    auto WriteAt = [&](const platform::Frame& F, std::uint64_t T) {
      WritePng(F, fs::path(Out_) / ("at-" + std::to_string(T) + ".png"));
    };
    Screen.OnFrame = [&](const platform::Frame& F) {
      while (NextAt < Times.size() && Times[NextAt] < F.Time) {
        if (Previous) WriteAt(*Previous, Times[NextAt]);
        ++NextAt;
      }
      if (Frames_) {
        char Name[64];
        std::snprintf(Name, sizeof Name, "frame-%06llu-%llu.png", static_cast<unsigned long long>(F.Sequence),
                      static_cast<unsigned long long>(F.Time));
        WritePng(F, fs::path(Out_) / Name);
      }
      if (NextAt < Times.size()) Previous = F;
      else Previous.reset();
    };
    auto WriteDueTimes = [&](std::uint64_t UpTo) {
      const platform::Frame* Last = Screen.LastFrame();
      while (NextAt < Times.size() && Times[NextAt] <= UpTo) {
        if (Last) WriteAt(*Last, Times[NextAt]);
        ++NextAt;
      }
    };

    const std::uint64_t EndTime = Show.Play(Slides, Until, [&] { WriteDueTimes(Until); });
    WriteDueTimes(EndTime);
    for (; NextAt < Times.size(); ++NextAt)
      std::cerr << "lmotool render: the show ended at " << EndTime << " ms; nothing written for --at "
                << Times[NextAt] << "\n";
    return ExitOk;
  }

private:
  std::string File_, Size_, Out_;
  std::vector<std::string> At_;
  bool Frames_ = false;
  std::string Until_;
  std::uint64_t Seed_ = 1;
  std::vector<std::string> Events_;
};

}  // namespace

std::unique_ptr<ToolCommand> MakeRenderCommand() { return std::make_unique<RenderCommand>(); }
