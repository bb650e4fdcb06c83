// Timers on a clock that only its owner moves: nothing ticks until the owner advances the clock,
// and then every tick due on the way is delivered in time order on the owner's thread. The mix
// moves this clock (both hosts), so MIDI ticks land on their own samples; other threads may
// start, kill and read the timers meanwhile.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
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

  std::uint32_t Now() const;
  // A timer on this clock; it must not outlive the clock.
  std::unique_ptr<PeriodicTimer> Create(TimerClient& client);
  // Moves the clock to t (forward, modulo 2^32), delivering every tick due up to and including
  // t. before_tick(time) runs before the ticks at each time, so that what depends on the clock
  // (the audio mix) can catch up to it first. One thread at a time.
  void AdvanceTo(std::uint32_t t, const std::function<void(std::uint32_t)>& before_tick = {});
  bool AnyRunning() const;

 private:
  friend class VirtualTimer;
  void Remove(VirtualTimer* timer);
  // Waits until no tick runs, unless the caller is the thread delivering it.
  void WaitIdle(std::unique_lock<std::mutex>& lock);

  mutable std::mutex mutex_;
  std::condition_variable idle_;
  // Guarded by mutex_, as are the timers' own fields.
  std::uint32_t now_ = 0;
  std::vector<VirtualTimer*> timers_;
  bool in_tick_ = false;
  std::thread::id ticking_;  // the thread delivering ticks
};

class VirtualTimer : public PeriodicTimer {
 public:
  VirtualTimer(TimerClient& client, VirtualTimers& clock) : client_(client), clock_(&clock) {}
  ~VirtualTimer() override;

  std::uint32_t Now() const override { return clock_ ? clock_->Now() : 0; }
  [[nodiscard]] bool Start(std::uint32_t period_ms) override;
  // From another thread, returns once no tick runs.
  void Kill() override;
  bool Running() const override;
  std::uint32_t Period() const override;

 private:
  friend class VirtualTimers;

  TimerClient& client_;
  VirtualTimers* clock_;
  // Guarded by the clock's mutex_.
  bool running_ = false;
  std::uint32_t period_ = 1;
  std::uint32_t next_due_ = 0;
  std::uint64_t starts_ = 0;  // tells a restart inside a tick from the schedule going on
};

}  // namespace adv
