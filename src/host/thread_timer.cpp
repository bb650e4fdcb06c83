#include "host/thread_timer.h"

#include <algorithm>

namespace adv {

using Clock = std::chrono::steady_clock;

ThreadTimer::~ThreadTimer() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    running_ = false;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

std::uint32_t ThreadTimer::Now() const {
  // The same clock as the windowed host's Now.
  const auto since = Clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

bool ThreadTimer::Start(std::uint32_t period_ms) {
  {
    std::lock_guard lock(mutex_);
    period_ = std::max<std::uint32_t>(period_ms, 1);
    running_ = true;
    ++starts_;
    if (!thread_.joinable()) thread_ = std::thread([this] { Run(); });
  }
  changed_.notify_all();
  return true;
}

void ThreadTimer::Kill() {
  std::unique_lock lock(mutex_);
  running_ = false;
  ++starts_;
  changed_.notify_all();
  // Waiting here from the tick itself would never end; the tick returns on its own.
  if (std::this_thread::get_id() == thread_.get_id()) return;
  changed_.wait(lock, [this] { return !in_tick_; });
}

void ThreadTimer::Run() {
  std::unique_lock lock(mutex_);
  std::uint64_t schedule = starts_ - 1;
  Clock::time_point next;
  while (!quit_) {
    if (!running_) {
      changed_.wait(lock, [this] { return quit_ || running_.load(); });
      continue;
    }
    const auto period = std::chrono::milliseconds(period_.load());
    if (schedule != starts_) {
      schedule = starts_;
      next = Clock::now() + period;
    }
    const std::uint64_t waiting_for = schedule;
    changed_.wait_until(lock, next, [&] { return quit_ || starts_ != waiting_for; });
    if (quit_ || starts_ != waiting_for || Clock::now() < next) continue;
    in_tick_ = true;
    lock.unlock();
    client_.OnTimerTick();
    lock.lock();
    in_tick_ = false;
    changed_.notify_all();
    // Late ticks are not made up for: the sequencer catches up from its own clock.
    next += period;
    const auto now = Clock::now();
    if (next < now) next = now;
  }
}

}  // namespace adv
