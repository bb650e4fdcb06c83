#include "host/virtual_timer.h"

#include <algorithm>

namespace adv {

namespace {

// Signed distance on the wrapping clock.
std::int32_t Diff(std::uint32_t a, std::uint32_t b) {
  return static_cast<std::int32_t>(a - b);
}

}  // namespace

VirtualTimers::~VirtualTimers() {
  for (VirtualTimer* t : timers_) t->clock_ = nullptr;
}

std::unique_ptr<PeriodicTimer> VirtualTimers::Create(TimerClient& client) {
  auto timer = std::make_unique<VirtualTimer>(client, *this);
  timers_.push_back(timer.get());
  return timer;
}

void VirtualTimers::Remove(VirtualTimer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

bool VirtualTimers::AnyRunning() const {
  return std::any_of(timers_.begin(), timers_.end(), [](VirtualTimer* t) { return t->running_; });
}

void VirtualTimers::AdvanceTo(std::uint32_t t,
                              const std::function<void(std::uint32_t)>& before_tick) {
  while (true) {
    VirtualTimer* next = nullptr;
    for (VirtualTimer* timer : timers_) {
      if (!timer->running_ || Diff(timer->next_due_, t) > 0) continue;
      if (next == nullptr || Diff(timer->next_due_, next->next_due_) < 0) next = timer;
    }
    if (next == nullptr) break;
    const std::uint32_t due = next->next_due_;
    if (Diff(due, now_) > 0) {
      if (before_tick) before_tick(due);
      now_ = due;
    }
    const std::uint64_t starts = next->starts_;
    next->client_.OnTimerTick();
    // A timer restarted inside its tick already has its new schedule.
    if (next->starts_ == starts) next->next_due_ = due + next->period_;
  }
  if (Diff(t, now_) > 0) {
    if (before_tick) before_tick(t);
    now_ = t;
  }
}

VirtualTimer::~VirtualTimer() {
  if (clock_ != nullptr) clock_->Remove(this);
}

bool VirtualTimer::Start(std::uint32_t period_ms) {
  period_ = std::max<std::uint32_t>(period_ms, 1);
  running_ = true;
  next_due_ = Now() + period_;
  ++starts_;
  return true;
}

}  // namespace adv
