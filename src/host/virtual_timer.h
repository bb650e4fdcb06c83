// Timers on a virtual clock: nothing ticks until the owner moves the clock, and then every tick
// due on the way is delivered in time order on the caller's thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "host/periodic_timer.h"

namespace adv {

class VirtualTimer;

class VirtualTimers {
 public:
  VirtualTimers() = default;
  VirtualTimers(const VirtualTimers&) = delete;
  VirtualTimers& operator=(const VirtualTimers&) = delete;
  ~VirtualTimers();

  std::uint32_t Now() const { return now_; }
  // A timer on this clock; it must not outlive the clock.
  std::unique_ptr<PeriodicTimer> Create(TimerClient& client);
  // Moves the clock to t (forward, modulo 2^32), delivering every tick due up to and including
  // t. before_tick(time) runs before the ticks at each time, so that what depends on the clock
  // (the audio mix) can catch up to it first.
  void AdvanceTo(std::uint32_t t, const std::function<void(std::uint32_t)>& before_tick = {});
  bool AnyRunning() const;

 private:
  friend class VirtualTimer;
  void Remove(VirtualTimer* timer);

  std::uint32_t now_ = 0;
  std::vector<VirtualTimer*> timers_;
};

class VirtualTimer : public PeriodicTimer {
 public:
  VirtualTimer(TimerClient& client, VirtualTimers& clock) : client_(client), clock_(&clock) {}
  ~VirtualTimer() override;

  std::uint32_t Now() const override { return clock_ ? clock_->Now() : 0; }
  bool Start(std::uint32_t period_ms) override;
  void Kill() override { running_ = false; }
  bool Running() const override { return running_; }
  std::uint32_t Period() const override { return period_; }

 private:
  friend class VirtualTimers;

  TimerClient& client_;
  VirtualTimers* clock_;
  bool running_ = false;
  std::uint32_t period_ = 1;
  std::uint32_t next_due_ = 0;
  std::uint64_t starts_ = 0;  // tells a restart inside a tick from the schedule going on
};

}  // namespace adv
