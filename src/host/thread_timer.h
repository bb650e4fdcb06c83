// A periodic timer on its own thread (the windowed host moves the mix with it when there is no
// sound device): started at the first Start, asleep while the timer is killed. Ticks follow the
// steady clock; a tick that comes late does not make the following ones come in a burst.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "host/periodic_timer.h"

namespace adv {

class ThreadTimer : public PeriodicTimer {
 public:
  explicit ThreadTimer(TimerClient& client) : client_(client) {}
  ~ThreadTimer() override;
  ThreadTimer(const ThreadTimer&) = delete;
  ThreadTimer& operator=(const ThreadTimer&) = delete;

  std::uint32_t Now() const override;
  [[nodiscard]] bool Start(std::uint32_t period_ms) override;
  void Kill() override;
  bool Running() const override { return running_.load(); }
  std::uint32_t Period() const override { return period_.load(); }

 private:
  void Run();

  TimerClient& client_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
  std::atomic<bool> running_{false};
  std::atomic<std::uint32_t> period_{1};
  std::uint64_t starts_ = 0;  // guarded by mutex_; a new schedule begins when it changes
  bool in_tick_ = false;      // guarded by mutex_
  bool quit_ = false;         // guarded by mutex_
};

}  // namespace adv
