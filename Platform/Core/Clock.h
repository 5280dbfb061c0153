#pragma once
// The platform clock: a 32-bit millisecond tick counter that wraps, and Sleep.
// The player runs either on the real steady clock or on a virtual clock that
// only moves when somebody sleeps or the message loop jumps to the next timer
// (tests, lmotool render). Code of the system calls the free functions
// GetTickCount() and Sleep(); they go to the clock that is current.
#include <cstdint>
#include <functional>

namespace platform {

class Clock {
public:
  virtual ~Clock() = default;
  virtual std::uint32_t TickCount() = 0;       // wraps after 2^32 ms
  virtual void Sleep(std::uint32_t Milliseconds) = 0;
  virtual bool IsVirtual() const = 0;
};

class RealClock final : public Clock {
public:
  RealClock();
  std::uint32_t TickCount() override;
  void Sleep(std::uint32_t Milliseconds) override;
  bool IsVirtual() const override { return false; }
private:
  std::int64_t Origin_;  // steady_clock nanoseconds at construction
};

class VirtualClock final : public Clock {
public:
  explicit VirtualClock(std::uint32_t StartTick = 0) : Now_(StartTick) {}
  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(Now_); }
  void Sleep(std::uint32_t Milliseconds) override { Now_ += Milliseconds; }
  bool IsVirtual() const override { return true; }
  void Advance(std::uint64_t Milliseconds) { Now_ += Milliseconds; }
  // Milliseconds since construction start, not wrapped.
  std::uint64_t Elapsed() const { return Now_; }
private:
  std::uint64_t Now_;
};

// The clock the system runs on; a RealClock unless one was installed.
Clock& CurrentClock();
// Installs Clock (not owned) as the current one; nullptr restores the real one.
void SetCurrentClock(Clock* NewClock);

// Called at every Sleep before the clock moves: the application layer uses it
// to put pending window changes on the screen, so a sleep between two
// transition steps ends one frame. Empty by default.
void SetYieldHook(std::function<void()> Hook);

// RAII: installs a clock for a scope (tests).
class ScopedClock {
public:
  explicit ScopedClock(Clock& C) : Previous_(&CurrentClock()) { SetCurrentClock(&C); }
  ~ScopedClock() { SetCurrentClock(Previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;
private:
  Clock* Previous_;
};

}  // namespace platform

// The system's names for the clock.
std::uint32_t GetTickCount();
void Sleep(std::uint32_t Milliseconds);
