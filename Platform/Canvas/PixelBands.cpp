#include "Platform/Canvas/PixelBands.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace platform {
namespace {

std::atomic<bool> ParallelEnabled{true};

// One helper thread that runs one band at a time. Started on first use and
// joined when the program ends.
class BandWorker {
public:
  ~BandWorker() {
    {
      std::lock_guard Lock(Mutex_);
      Stopping_ = true;
    }
    Wake_.notify_all();
    if (Thread_.joinable()) Thread_.join();
  }

  static BandWorker& Instance() {
    static BandWorker Worker;
    return Worker;
  }

  // Is the caller the helper thread itself? Nested passes then run inline.
  bool IsWorkerThread() const { return std::this_thread::get_id() == WorkerId_.load(); }

  // Runs Task on the helper while the caller runs its own part; Wait() blocks
  // until the helper has finished.
  void Post(std::function<void()> Task) {
    std::unique_lock Lock(Mutex_);
    if (!Thread_.joinable()) {
      Thread_ = std::thread([this] { Loop(); });
      WorkerId_ = Thread_.get_id();
    }
    Task_ = std::move(Task);
    Done_ = false;
    Error_ = nullptr;
    Lock.unlock();
    Wake_.notify_one();
  }

  void Wait() {
    std::unique_lock Lock(Mutex_);
    Finished_.wait(Lock, [this] { return Done_; });
    if (Error_) std::rethrow_exception(std::exchange(Error_, nullptr));
  }

  // Only one caller may use the helper at a time.
  std::mutex& UseMutex() { return Use_; }

private:
  void Loop() {
    for (;;) {
      std::function<void()> Task;
      {
        std::unique_lock Lock(Mutex_);
        Wake_.wait(Lock, [this] { return Stopping_ || Task_; });
        if (Stopping_ && !Task_) return;
        Task = std::move(Task_);
        Task_ = nullptr;
      }
      std::exception_ptr Error;
      try {
        Task();
      } catch (...) {
        Error = std::current_exception();
      }
      {
        std::lock_guard Lock(Mutex_);
        Error_ = Error;
        Done_ = true;
      }
      Finished_.notify_all();
    }
  }

  std::mutex Use_;
  std::mutex Mutex_;
  std::condition_variable Wake_;
  std::condition_variable Finished_;
  std::function<void()> Task_;
  bool Done_ = true;
  bool Stopping_ = false;
  std::exception_ptr Error_;
  std::thread Thread_;
  std::atomic<std::thread::id> WorkerId_{};
};

}  // namespace

void SetParallelPixelPasses(bool Enabled) { ParallelEnabled = Enabled; }

void ForEachRowBand(std::int32_t Rows, std::int64_t Pixels,
                    const std::function<void(std::int32_t, std::int32_t)>& Body) {
  if (Rows <= 0) return;
  static const bool TwoCores = std::thread::hardware_concurrency() >= 2;
  if (Rows < 2 || Pixels < ParallelPixelThreshold || !ParallelEnabled || !TwoCores) {
    Body(0, Rows);
    return;
  }
  BandWorker& Worker = BandWorker::Instance();
  if (Worker.IsWorkerThread()) {
    Body(0, Rows);
    return;
  }
  std::unique_lock Use(Worker.UseMutex(), std::try_to_lock);
  if (!Use.owns_lock()) {  // another thread holds the helper: do it alone
    Body(0, Rows);
    return;
  }
  const std::int32_t Split = Rows / 2;
  Worker.Post([&Body, Split, Rows] { Body(Split, Rows); });
  std::exception_ptr Error;
  try {
    Body(0, Split);
  } catch (...) {
    Error = std::current_exception();
  }
  Worker.Wait();  // the helper must be done with Body before it goes away
  if (Error) std::rethrow_exception(Error);
}

}  // namespace platform
