#include "host/virtual_timer.h"

#include <algorithm>

#include "base/tick_time.h"

namespace adv {

VirtualTimers::~VirtualTimers() {
  std::lock_guard lock(mutex_);
  for (VirtualTimer* t : timers_) t->clock_ = nullptr;
}

std::uint32_t VirtualTimers::Now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

std::unique_ptr<PeriodicTimer> VirtualTimers::Create(TimerClient& client) {
  auto timer = std::make_unique<VirtualTimer>(client, *this);
  std::lock_guard lock(mutex_);
  timers_.push_back(timer.get());
  return timer;
}

void VirtualTimers::WaitIdle(std::unique_lock<std::mutex>& lock) {
  if (ticking_ == std::this_thread::get_id()) return;
  idle_.wait(lock, [this] { return !in_tick_; });
}

void VirtualTimers::Remove(VirtualTimer* timer) {
  std::unique_lock lock(mutex_);
  WaitIdle(lock);
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

bool VirtualTimers::AnyRunning() const {
  std::lock_guard lock(mutex_);
  return std::any_of(timers_.begin(), timers_.end(), [](VirtualTimer* t) { return t->running_; });
}

void VirtualTimers::AdvanceTo(std::uint32_t t,
                              const std::function<void(std::uint32_t)>& before_tick) {
  std::unique_lock lock(mutex_);
  while (true) {
    VirtualTimer* next = nullptr;
    for (VirtualTimer* timer : timers_) {
      if (!timer->running_ || TickDiff(timer->next_due_, t) > 0) continue;
      if (next == nullptr || TickDiff(timer->next_due_, next->next_due_) < 0) next = timer;
    }
    if (next == nullptr) break;
    const std::uint32_t due = next->next_due_;
    if (TickDiff(due, now_) > 0) {
      if (before_tick) {
        lock.unlock();
        before_tick(due);
        lock.lock();
      }
      now_ = due;
      continue;  // the timers may have changed while the lock was free
    }
    const std::uint64_t starts = next->starts_;
    in_tick_ = true;
    ticking_ = std::this_thread::get_id();
    lock.unlock();
    next->client_.OnTimerTick();
    lock.lock();
    in_tick_ = false;
    ticking_ = {};
    idle_.notify_all();
    // A timer restarted inside its tick already has its new schedule.
    if (next->starts_ == starts) next->next_due_ = due + next->period_;
  }
  if (TickDiff(t, now_) > 0) {
    if (before_tick) {
      lock.unlock();
      before_tick(t);
      lock.lock();
    }
    now_ = t;
  }
}

VirtualTimer::~VirtualTimer() {
  if (clock_ != nullptr) clock_->Remove(this);
}

bool VirtualTimer::Start(std::uint32_t period_ms) {
  if (clock_ == nullptr) return false;
  std::lock_guard lock(clock_->mutex_);
  period_ = std::max<std::uint32_t>(period_ms, 1);
  running_ = true;
  next_due_ = clock_->now_ + period_;
  ++starts_;
  return true;
}

void VirtualTimer::Kill() {
  if (clock_ == nullptr) return;
  std::unique_lock lock(clock_->mutex_);
  running_ = false;
  clock_->WaitIdle(lock);
}

bool VirtualTimer::Running() const {
  if (clock_ == nullptr) return false;
  std::lock_guard lock(clock_->mutex_);
  return running_;
}

std::uint32_t VirtualTimer::Period() const {
  if (clock_ == nullptr) return period_;
  std::lock_guard lock(clock_->mutex_);
  return period_;
}

}  // namespace adv
