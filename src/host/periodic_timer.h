// The 1 ms periodic timer that drives MIDI playback. A window gets a thread (ThreadTimer); the
// headless host gets ticks as its virtual clock advances (VirtualTimers), so playback repeats
// exactly; unit tests deliver the ticks themselves.
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
  virtual bool Start(std::uint32_t period_ms) = 0;
  // Stops the ticks. From another thread it returns once no tick is running; from inside a tick
  // that tick finishes normally and no further one starts.
  virtual void Kill() = 0;
  virtual bool Running() const = 0;
  virtual std::uint32_t Period() const = 0;
};

using TimerFactory = std::function<std::unique_ptr<PeriodicTimer>(TimerClient&)>;

}  // namespace adv
