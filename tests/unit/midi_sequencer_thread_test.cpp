// The sequencer on a real timer thread while the interpreter's thread loads, plays, loops and
// stops songs. Run under ThreadSanitizer by `make tsan`; the checks hold on any build.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "host/thread_timer.h"
#include "media/midi_sequencer.h"
#include "support/smf_writer.h"

namespace adv {
namespace {

class CountingPort : public MidiPort {
 public:
  bool Open() override {
    std::lock_guard lock(mutex_);
    open_ = true;
    return true;
  }
  void Close() override {
    std::lock_guard lock(mutex_);
    open_ = false;
    last_.push_back(0xC105Eu);
  }
  bool IsOpen() const override {
    std::lock_guard lock(mutex_);
    return open_;
  }
  bool Short(std::uint32_t message) override {
    std::lock_guard lock(mutex_);
    ++count_;
    last_.push_back(message);
    if (last_.size() > 64) last_.erase(last_.begin());
    return open_;
  }
  bool Long(std::span<const std::uint8_t>) override {
    std::lock_guard lock(mutex_);
    ++count_;
    return open_;
  }
  std::size_t count() const {
    std::lock_guard lock(mutex_);
    return count_;
  }
  std::vector<std::uint32_t> last() const {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  mutable std::mutex mutex_;
  bool open_ = false;
  std::size_t count_ = 0;
  std::vector<std::uint32_t> last_;
};

// A fast song (a quarter note every 10 ms) with a loop marker, so loops come often.
std::vector<std::uint8_t> FastSong() {
  test::SmfTrack a, b;
  a.Tempo(0, 10000).Event(0, {0xC0, 3}).Marker(48, "L").SysEx(0, 0xF0, {0x7E, 0xF7});
  for (int i = 0; i < 20; ++i) b.Event(i == 0 ? 0 : 24, {0x90, 60, 100}).Event(12, {0x80, 60, 0});
  return test::BuildSmf(48, {a, b});
}

void Pause(int ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST(MidiSequencerThreads, PlayLoopAndStopFromTheInterpreterWhileTheTimerRuns) {
  CountingPort port;
  MidiSequencer seq(port, [](TimerClient& c) { return std::make_unique<ThreadTimer>(c); });
  const auto song = FastSong();
  for (int round = 0; round < 12; ++round) {
    ASSERT_TRUE(seq.LoadBytes(song));
    seq.SetLoop(round % 3 != 0);
    ASSERT_TRUE(seq.Play());
    Pause(round % 4 == 0 ? 400 : 30 + round * 7);
    seq.SetLoop(round % 2 == 0);
    if (round % 5 == 4) {
      ASSERT_TRUE(seq.Play());  // restart while playing
    }
    Pause(5);
    seq.Stop();
    EXPECT_FALSE(seq.IsPlaying());
    // Once Stop has returned, nothing more is sent.
    const std::size_t after = port.count();
    Pause(20);
    EXPECT_EQ(port.count(), after);
    EXPECT_FALSE(port.IsOpen());
  }
  EXPECT_GT(port.count(), 100u);
}

TEST(MidiSequencerThreads, DestroyedWhilePlaying) {
  CountingPort port;
  {
    MidiSequencer seq(port, [](TimerClient& c) { return std::make_unique<ThreadTimer>(c); });
    ASSERT_TRUE(seq.LoadBytes(FastSong()));
    seq.Play();
    Pause(150);
  }
  const std::size_t after = port.count();
  Pause(20);
  EXPECT_EQ(port.count(), after);
  const auto last = port.last();
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back(), 0xC105Eu);  // closed
}

// A client whose tick can be held open by the test.
class GateClient : public TimerClient {
 public:
  void OnTimerTick() override {
    std::unique_lock lock(mutex);
    ++ticks;
    in_tick = true;
    changed.notify_all();
    changed.wait(lock, [&] { return !hold; });
    in_tick = false;
    if (kill_inside) timer->Kill();
  }
  std::mutex mutex;
  std::condition_variable changed;
  int ticks = 0;
  bool in_tick = false;
  bool hold = false;
  bool kill_inside = false;
  PeriodicTimer* timer = nullptr;
};

TEST(ThreadTimer, KillWaitsForTheTickInProgressAndNoTickFollows) {
  GateClient client;
  ThreadTimer timer(client);
  client.timer = &timer;
  {
    std::lock_guard lock(client.mutex);
    client.hold = true;
  }
  timer.Start(1);
  {
    std::unique_lock lock(client.mutex);
    client.changed.wait(lock, [&] { return client.in_tick; });
  }
  std::atomic<bool> killed{false};
  std::thread killer([&] {
    timer.Kill();
    killed = true;
  });
  Pause(20);
  EXPECT_FALSE(killed);  // still inside the tick
  {
    std::lock_guard lock(client.mutex);
    client.hold = false;
  }
  client.changed.notify_all();
  killer.join();
  EXPECT_TRUE(killed);
  EXPECT_FALSE(timer.Running());
  int ticks = 0;
  {
    std::lock_guard lock(client.mutex);
    ticks = client.ticks;
  }
  Pause(20);
  std::lock_guard lock(client.mutex);
  EXPECT_EQ(client.ticks, ticks);
}

TEST(ThreadTimer, KillFromInsideTheTickEndsTheTicks) {
  GateClient client;
  ThreadTimer timer(client);
  client.timer = &timer;
  client.kill_inside = true;
  timer.Start(1);
  while (timer.Running()) Pause(1);
  Pause(20);
  std::lock_guard lock(client.mutex);
  EXPECT_EQ(client.ticks, 1);
}

}  // namespace
}  // namespace adv
