// The 1 ms periodic timer that drives MIDI playback. Both hosts give timers on the mix's own
// clock (VirtualTimers moved by HostMedia::Pull): ticks come from inside the audio render, each at
// its own frame, so a window and a headless capture play MIDI alike. Without a sound device a
// thread (ThreadTimer) moves that clock on the wall clock; unit tests deliver ticks themselves.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace adv {

class TimerClient {
 public:
  // Runs on the timer's thread, never twice at once.
  virtual void OnTimerTick() = 0;

 protected:
  ~TimerClient() = default;
};

class PeriodicTimer {
 public:
  virtual ~PeriodicTimer() = default;
  // Milliseconds of the clock the ticks follow; wraps at 2^32.
  virtual std::uint32_t Now() const = 0;
  // Starts ticking every period ms, or restarts the schedule from now when already running.
  [[nodiscard]] virtual bool Start(std::uint32_t period_ms) = 0;
  // Stops the ticks. From another thread it returns once no tick is running; from inside a tick
  // that tick finishes normally and no further one starts.
  virtual void Kill() = 0;
  virtual bool Running() const = 0;
  virtual std::uint32_t Period() const = 0;
};

using TimerFactory = std::function<std::unique_ptr<PeriodicTimer>(TimerClient&)>;

}  // namespace adv
