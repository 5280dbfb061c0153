#include "Platform/App/Timer.h"

#include "Platform/App/Application.h"
#include "Platform/Core/Clock.h"

namespace platform {

Timer::Timer() {
  Application::Instance().RegisterTimer(*this);
  Restart();
}

Timer::~Timer() { Application::Instance().UnregisterTimer(*this); }

void Timer::SetEnabled(bool Value) {
  if (Value == Enabled_) return;
  Enabled_ = Value;
  Restart();
}

void Timer::SetInterval(std::uint32_t Milliseconds) {
  if (Milliseconds == Interval_) return;
  Interval_ = Milliseconds;
  Restart();
}

void Timer::SetOnTimer(std::function<void(Timer&)> Handler) {
  OnTimer_ = std::move(Handler);
  Restart();
}

void Timer::Restart() { Due_ = GetTickCount() + Interval_; }

void Timer::Resync(std::uint32_t Now) {
  if (static_cast<std::int64_t>(static_cast<std::int32_t>(Due_ - Now)) > static_cast<std::int64_t>(Interval_))
    Due_ = Now + Interval_;
}

void Timer::Fire(std::uint32_t Now) {
  // Scheduled before the handler runs, so a handler that changes the
  // interval or disables the timer has the last word.
  Due_ = Now + Interval_;
  auto Handler = OnTimer_;  // the handler may replace itself
  Handler(*this);
}

}  // namespace platform
