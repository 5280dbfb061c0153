#pragma once
// A timer component: while Enabled with a positive Interval and an OnTimer
// handler, it fires every Interval milliseconds as a low-priority message of
// the application's loop. It never fires inside another handler, and at most
// one firing is pending: a timer that fell behind fires once, then counts its
// interval from that firing. Changing Interval or Enabled restarts the count.
#include <cstdint>
#include <functional>

namespace platform {

class Timer {
public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  bool Enabled() const { return Enabled_; }
  void SetEnabled(bool Value);
  std::uint32_t Interval() const { return Interval_; }
  void SetInterval(std::uint32_t Milliseconds);
  void SetOnTimer(std::function<void(Timer&)> Handler);

  // Free for the owner's use (the player keeps its slide-running flag here).
  std::int32_t Tag = 0;

  // For the application's loop.
  bool Running() const { return Enabled_ && Interval_ > 0 && static_cast<bool>(OnTimer_); }
  std::uint32_t DueTick() const { return Due_; }
  // Fires the handler once and schedules the next firing from Now.
  void Fire(std::uint32_t Now);
  // A timer due further away than one interval was counted on another clock
  // (one installed after the timer was made): count again from Now.
  void Resync(std::uint32_t Now);

private:
  void Restart();
  bool Enabled_ = true;
  std::uint32_t Interval_ = 1000;
  std::function<void(Timer&)> OnTimer_;
  std::uint32_t Due_ = 0;
};

}  // namespace platform
