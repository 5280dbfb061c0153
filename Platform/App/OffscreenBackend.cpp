#include "Platform/App/OffscreenBackend.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace platform {
namespace {

std::vector<std::string> Split(const std::string& Text, char By) {
  std::vector<std::string> Parts;
  std::size_t Start = 0;
  for (;;) {
    const std::size_t At = Text.find(By, Start);
    Parts.push_back(Text.substr(Start, At == std::string::npos ? std::string::npos : At - Start));
    if (At == std::string::npos) return Parts;
    Start = At + 1;
  }
}

template <typename T>
T Number(const std::string& Text, const std::string& Whole) {
  T Value{};
  const char* End = Text.data() + Text.size();
  auto [Ptr, Error] = std::from_chars(Text.data(), End, Value);
  if (Text.empty() || Error != std::errc() || Ptr != End)
    throw std::invalid_argument("bad number \"" + Text + "\" in event \"" + Whole + "\"");
  return Value;
}

}  // namespace

ScriptedEvent ParseScriptedEvent(const std::string& Text) {
  const std::size_t First = Text.find(':');
  if (First == std::string::npos) throw std::invalid_argument("event \"" + Text + "\" is not T:KIND[:ARGS]");
  ScriptedEvent Result;
  Result.Time = Number<std::uint64_t>(Text.substr(0, First), Text);
  const std::size_t Second = Text.find(':', First + 1);
  const std::string Kind = Text.substr(First + 1, Second == std::string::npos ? std::string::npos : Second - First - 1);
  const std::string Args = Second == std::string::npos ? std::string() : Text.substr(Second + 1);
  const bool HasArgs = Second != std::string::npos;
  InputEvent& E = Result.Event;
  using K = InputEvent::Kind;
  auto Key = [&](K Type, std::uint16_t Max) {
    if (!HasArgs) throw std::invalid_argument("event \"" + Text + "\" needs a code");
    const auto Code = Number<std::uint32_t>(Args, Text);
    if (Code > Max) throw std::invalid_argument("code out of range in event \"" + Text + "\"");
    E.Type = Type;
    E.Key = static_cast<std::uint16_t>(Code);
  };
  auto Mouse = [&](K Type) {
    const auto XY = Split(Args, ',');
    if (!HasArgs || XY.size() != 2) throw std::invalid_argument("event \"" + Text + "\" needs X,Y");
    E.Type = Type;
    E.Position = TPoint{Number<std::int32_t>(XY[0], Text), Number<std::int32_t>(XY[1], Text)};
    E.Button = MouseButton::Left;
    if (Type == K::MouseDown) E.Shift = LeftButtonHeld;
  };
  auto NoArgs = [&](K Type) {
    if (HasArgs) throw std::invalid_argument("event \"" + Text + "\" takes no arguments");
    E.Type = Type;
  };
  if (Kind == "key-down") Key(K::KeyDown, 255);
  else if (Kind == "key-up") Key(K::KeyUp, 255);
  else if (Kind == "key-press") Key(K::KeyPress, 255);
  else if (Kind == "mouse-move") Mouse(K::MouseMove);
  else if (Kind == "mouse-down") Mouse(K::MouseDown);
  else if (Kind == "mouse-up") Mouse(K::MouseUp);
  else if (Kind == "focus-in") NoArgs(K::FocusIn);
  else if (Kind == "focus-out") NoArgs(K::FocusOut);
  else if (Kind == "close") NoArgs(K::CloseRequest);
  else {
    const bool Word = !Kind.empty() && std::all_of(Kind.begin(), Kind.end(), [](char C) {
      return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-';
    });
    if (!Word) throw std::invalid_argument("unknown event kind \"" + Kind + "\" in \"" + Text + "\"");
    E.Type = K::Command;
    E.Name = Kind;
    E.Args = Args;
  }
  return Result;
}

OffscreenBackend::OffscreenBackend(VirtualClock& Clock, std::int32_t Width, std::int32_t Height)
    : Clock_(Clock), Width_(std::max(Width, 1)), Height_(std::max(Height, 1)) {}

void OffscreenBackend::AddEvent(ScriptedEvent Event) {
  auto At = std::upper_bound(Script_.begin() + static_cast<std::ptrdiff_t>(NextEvent_), Script_.end(), Event.Time,
                             [](std::uint64_t T, const ScriptedEvent& E) { return T < E.Time; });
  Script_.insert(At, std::move(Event));
}

void OffscreenBackend::OpenWindow(const std::string& Title, const TRect&) {
  Open_ = true;
  Title_ = Title;
}

std::optional<InputEvent> OffscreenBackend::PollEvent() {
  if (NextEvent_ >= Script_.size() || Script_[NextEvent_].Time > Clock_.Elapsed()) return std::nullopt;
  InputEvent E = Script_[NextEvent_++].Event;
  using K = InputEvent::Kind;
  if (E.Type == K::MouseMove || E.Type == K::MouseDown || E.Type == K::MouseUp) Pointer_ = E.Position;
  return E;
}

bool OffscreenBackend::WaitUntil(std::optional<std::uint32_t> Tick) {
  const std::uint64_t Now = Clock_.Elapsed();
  std::optional<std::uint64_t> Wake;
  if (Tick) Wake = Now + static_cast<std::uint32_t>(*Tick - Clock_.TickCount());
  if (NextEvent_ < Script_.size()) Wake = Wake ? std::min(*Wake, Script_[NextEvent_].Time) : Script_[NextEvent_].Time;
  if (Limit_ && !LimitTaken_) Wake = Wake ? std::min(*Wake, *Limit_) : *Limit_;
  if (!Wake) return false;
  if (*Wake > Now) Clock_.Advance(*Wake - Now);
  return true;
}

bool OffscreenBackend::TakeRunLimit(bool Idle) {
  if (!Limit_ || LimitTaken_) return false;
  const std::uint64_t Now = Clock_.Elapsed();
  if (Now > *Limit_ || (Idle && Now >= *Limit_)) {
    LimitTaken_ = true;
    return true;
  }
  return false;
}

void OffscreenBackend::Present(const PixelView& Screen, const TRect& Changed) {
  const bool Resized = Last_.Width != Screen.Width || Last_.Height != Screen.Height || Last_.Pixels.empty();
  if (Resized) {
    Last_.Width = Screen.Width;
    Last_.Height = Screen.Height;
    Last_.Pixels.assign(static_cast<std::size_t>(Screen.Width) * Screen.Height, 0);
  } else {
    // A frame only when something on the screen really is different.
    bool Differs = false;
    for (std::int32_t Y = Changed.Top; Y < Changed.Bottom && !Differs; ++Y)
      Differs = std::memcmp(&Last_.Pixels[static_cast<std::size_t>(Y) * Last_.Width + Changed.Left],
                            Screen.Row(Y) + Changed.Left,
                            static_cast<std::size_t>(Changed.Width()) * sizeof(TColor32)) != 0;
    if (!Differs) return;
  }
  const TRect Copy = Resized ? TRect{0, 0, Screen.Width, Screen.Height} : Changed;
  for (std::int32_t Y = Copy.Top; Y < Copy.Bottom; ++Y)
    std::memcpy(&Last_.Pixels[static_cast<std::size_t>(Y) * Last_.Width + Copy.Left], Screen.Row(Y) + Copy.Left,
                static_cast<std::size_t>(Copy.Width()) * sizeof(TColor32));
  Last_.Sequence = Count_++;
  Last_.Time = Clock_.Elapsed();
  if (OnFrame) OnFrame(Last_);
  if (KeepFrames) Frames_.push_back(Last_);
}

const Frame* OffscreenBackend::FrameAt(std::uint64_t T) const {
  auto It = std::upper_bound(Frames_.begin(), Frames_.end(), T,
                             [](std::uint64_t Time, const Frame& F) { return Time < F.Time; });
  if (It == Frames_.begin()) return nullptr;
  return &*(It - 1);
}

void OffscreenBackend::ShowMessageBox(const std::string& Title, const std::string& Text) {
  std::fprintf(stderr, "%s: %s\n", Title.c_str(), Text.c_str());
  MessageBoxes.emplace_back(Title, Text);
}

}  // namespace platform
