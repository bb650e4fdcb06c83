// The sequencer on a real timer thread while the interpreter's thread loads, plays, loops and
// stops songs. Run under ThreadSanitizer by scripts/run-tsan; the checks hold on any build.
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

// Counts what it is sent, and what it is sent while closed.
class CountingPort : public MidiPort {
 public:
  bool Open() override { return Set(true); }
  void Close() override { Set(false); }
  bool IsOpen() const override {
    std::lock_guard lock(mutex_);
    return open_;
  }
  bool Short(std::uint32_t) override { return Count(); }
  bool Long(std::span<const std::uint8_t>) override { return Count(); }
  std::pair<std::size_t, std::size_t> counts() const {  // sent, sent while closed
    std::lock_guard lock(mutex_);
    return {sent_, stray_};
  }

 private:
  bool Set(bool open) {
    std::lock_guard lock(mutex_);
    open_ = open;
    return true;
  }
  bool Count() {
    std::lock_guard lock(mutex_);
    ++sent_;
    if (!open_) ++stray_;
    return open_;
  }
  mutable std::mutex mutex_;
  bool open_ = false;
  std::size_t sent_ = 0, stray_ = 0;
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

// Once the sequencer has stopped (or is gone), nothing more is sent.
void ExpectSilenceAfterStop(const CountingPort& port) {
  const auto after = port.counts();
  Pause(20);
  EXPECT_EQ(port.counts(), after);
  EXPECT_EQ(after.second, 0u);
  EXPECT_FALSE(port.IsOpen());
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
    ExpectSilenceAfterStop(port);
  }
  EXPECT_GT(port.counts().first, 100u);
}

TEST(MidiSequencerThreads, DestroyedWhilePlaying) {
  CountingPort port;
  {
    MidiSequencer seq(port, [](TimerClient& c) { return std::make_unique<ThreadTimer>(c); });
    ASSERT_TRUE(seq.LoadBytes(FastSong()));
    seq.Play();
    Pause(150);
  }
  ExpectSilenceAfterStop(port);
}

// A client whose tick the test can hold open.
struct GateClient : TimerClient {
  void OnTimerTick() override {
    std::unique_lock lock(mutex);
    ++ticks;
    in_tick = true;
    changed.notify_all();
    changed.wait(lock, [&] { return !hold; });
    in_tick = false;
    if (kill_inside) timer->Kill();
  }
  int Ticks() {
    std::lock_guard lock(mutex);
    return ticks;
  }
  std::mutex mutex;
  std::condition_variable changed;
  int ticks = 0;
  bool in_tick = false, hold = false, kill_inside = false;
  PeriodicTimer* timer = nullptr;
};

TEST(ThreadTimer, KillWaitsForTheTickInProgressAndNoTickFollows) {
  GateClient client;
  ThreadTimer timer(client);
  client.hold = true;
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
  EXPECT_FALSE(timer.Running());
  const int ticks = client.Ticks();
  Pause(20);
  EXPECT_EQ(client.Ticks(), ticks);
}

TEST(ThreadTimer, KillFromInsideTheTickEndsTheTicks) {
  GateClient client;
  ThreadTimer timer(client);
  client.timer = &timer;
  client.kill_inside = true;
  timer.Start(1);
  while (timer.Running()) Pause(1);
  Pause(20);
  EXPECT_EQ(client.Ticks(), 1);
}

}  // namespace
}  // namespace adv
