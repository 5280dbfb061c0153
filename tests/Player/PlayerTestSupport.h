#pragma once
// The player window on the offscreen display and a virtual clock: a run is
// scripted with timed input events and ends at a run limit (or when the show
// closes itself); probes sample the window while it runs.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Chore/KivoSlideShowPlayerForm.h"
#include "Platform/App/Application.h"
#include "Platform/App/OffscreenBackend.h"
#include "Platform/App/Timer.h"
#include "Platform/Core/Clock.h"
#include "Slides/Slides.h"
#include "SlideObjects/DavazozavPlugin.h"

namespace playertest {

// A slide object that is done after StepsToFinish steps (never with -1) and
// notes every lifecycle call with its virtual time.
class TimedObject : public TDavazozavPlugin {
  LMO_PLUGIN(TimedObject, TDavazozavPlugin)
public:
  ~TimedObject() override { Finish(); }
  struct Call {
    std::string What;
    std::uint32_t Tick;
  };
  void Start(PlayerWindow* Form) override {
    Note("Start");
    TDavazozavPlugin::Start(Form);
    StepsDone = 0;
  }
  void Stop() override {
    Note("Stop");
    TDavazozavPlugin::Stop();
  }
  void Step() override {
    Note("Step");
    if (State == 2) return;
    if (StepsToFinish >= 0 && ++StepsDone >= StepsToFinish) State = 2;
  }
  void DoPause() override { Note("Pause"); }
  void DoResume() override { Note("Resume"); }

  std::size_t Count(const std::string& What) const {
    std::size_t N = 0;
    for (const Call& C : Calls) N += C.What == What;
    return N;
  }
  // The tick of the first call What at or after From; UINT32_MAX when none.
  std::uint32_t First(const std::string& What, std::uint32_t From = 0) const {
    for (const Call& C : Calls)
      if (C.What == What && C.Tick >= From) return C.Tick;
    return UINT32_MAX;
  }
  std::vector<std::uint32_t> Ticks(const std::string& What) const {
    std::vector<std::uint32_t> R;
    for (const Call& C : Calls)
      if (C.What == What) R.push_back(C.Tick);
    return R;
  }

  int StepsToFinish = -1;
  int StepsDone = 0;
  std::vector<Call> Calls;

private:
  void Note(const std::string& What) { Calls.push_back({What, GetTickCount()}); }
};

using Layout = std::vector<std::vector<int>>;

// A presentation of slides made of TimedObjects; Objects[s][o] is object o
// of slide s.
struct TimedShow {
  TSlides Slides;
  std::vector<std::vector<TimedObject*>> Objects;
  // One slide per entry; each entry lists the objects' timing: mode 0 with
  // the given duration, done after one step (a negative duration: never done).
  explicit TimedShow(const playertest::Layout& Slides_) {
    for (const auto& SlideLayout : Slides_) {
      auto Slide = std::make_unique<TSlide>();
      Objects.emplace_back();
      for (int Duration : SlideLayout) {
        auto Obj = std::make_unique<TimedObject>();
        Obj->TimingMode = 0;
        Obj->Duration = Duration < 0 ? 0 : static_cast<std::uint32_t>(Duration);
        Obj->StepsToFinish = Duration < 0 ? -1 : 1;
        Objects.back().push_back(Obj.get());
        Slide->Objects.AddObject(std::move(Obj));
      }
      Slides.AddSlide(std::move(Slide), nullptr);
    }
  }
};

class OffscreenRun {
public:
  OffscreenRun(std::int32_t Width, std::int32_t Height) : UseClock_(Clock) {
    auto Owned = std::make_unique<platform::OffscreenBackend>(Clock, Width, Height);
    Screen = Owned.get();
    platform::Application::Instance().SetBackend(std::move(Owned));
  }
  ~OffscreenRun() { platform::Application::Instance().SetBackend(nullptr); }
  OffscreenRun(const OffscreenRun&) = delete;
  OffscreenRun& operator=(const OffscreenRun&) = delete;

  void Event(const std::string& Text) { Screen->AddEvent(platform::ParseScriptedEvent(Text)); }

  // Samples Probe every Interval ms while the window runs.
  void Every(std::uint32_t Interval, std::function<void(TKivoSlideShowPlayerForm&)> Probe) {
    Probes_.push_back({Interval, std::move(Probe)});
  }

  // Plays Slides in a new player window until Limit (or until the show
  // closes itself); Inspect sees the window after the run, before it goes.
  void Play(TSlides& Slides, std::uint64_t Limit,
            const std::function<void(TKivoSlideShowPlayerForm&)>& Inspect = {}) {
    Screen->SetRunLimit(Limit);
    TKivoSlideShowPlayerForm Window;
    KivoSlideShowPlayerForm = &Window;
    std::vector<std::unique_ptr<platform::Timer>> Timers;
    for (auto& P : Probes_) {
      auto T = std::make_unique<platform::Timer>();
      T->SetInterval(P.Interval);
      auto Probe = P.Probe;
      T->SetOnTimer([&Window, Probe](platform::Timer&) { Probe(Window); });
      Timers.push_back(std::move(T));
    }
    platform::Application::Instance().OnRunLimit = [&Window] { Window.StopAndClose(); };
    Window.Play(Slides);
    platform::Application::Instance().OnRunLimit = nullptr;
    Slides.StopCurrentObject();
    EndTime = Clock.Elapsed();
    if (Inspect) Inspect(Window);
    KivoSlideShowPlayerForm = nullptr;
  }

  platform::VirtualClock Clock{0};
  platform::OffscreenBackend* Screen = nullptr;
  std::uint64_t EndTime = 0;

private:
  struct ProbeEntry {
    std::uint32_t Interval;
    std::function<void(TKivoSlideShowPlayerForm&)> Probe;
  };
  platform::ScopedClock UseClock_;
  std::vector<ProbeEntry> Probes_;
};

}  // namespace playertest
