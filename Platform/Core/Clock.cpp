#include "Clock.h"

#include <chrono>
#include <thread>

namespace platform {
namespace {
RealClock& TheRealClock() {
  static RealClock Instance;
  return Instance;
}
Clock* Current = nullptr;
std::function<void()>& YieldHook() {
  static std::function<void()> Hook;
  return Hook;
}
std::int64_t SteadyNanoseconds() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}
}  // namespace

RealClock::RealClock() : Origin_(SteadyNanoseconds()) {}

std::uint32_t RealClock::TickCount() {
  return static_cast<std::uint32_t>((SteadyNanoseconds() - Origin_) / 1000000);
}

void RealClock::Sleep(std::uint32_t Milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

Clock& CurrentClock() { return Current ? *Current : TheRealClock(); }
void SetCurrentClock(Clock* NewClock) { Current = NewClock; }
void SetYieldHook(std::function<void()> Hook) { YieldHook() = std::move(Hook); }

}  // namespace platform

std::uint32_t GetTickCount() { return platform::CurrentClock().TickCount(); }

void Sleep(std::uint32_t Milliseconds) {
  if (auto& Hook = platform::YieldHook()) Hook();
  platform::CurrentClock().Sleep(Milliseconds);
}
