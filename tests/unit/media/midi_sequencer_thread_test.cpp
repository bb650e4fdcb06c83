// The sequencer on a real timer thread while the interpreter's thread loads, plays, loops and
// stops songs. Run under ThreadSanitizer by scripts/run-tsan; the checks hold on any build.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "host/thread_timer.h"
#include "host/virtual_timer.h"
#include "media/midi_sequencer.h"
#include "support/smf_writer.h"

namespace adv {
namespace {

// Counts what it is sent, and what it is sent while closed. Not locked: the sequencer calls its
// port under its own lock, and the test reads the counts only once playback has stopped, so
// ThreadSanitizer sees any call that escapes the lock.
struct CountingPort : MidiPort {
  bool Open() override { return open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  bool Short(std::uint32_t) override { return Count(); }
  bool Long(std::span<const std::uint8_t>) override { return Count(); }
  bool Count() {
    ++sent;
    stray += !open;
    return open;
  }
  bool open = false;
  std::size_t sent = 0, stray = 0;
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
  const std::size_t after = port.sent;
  Pause(20);
  EXPECT_EQ(port.sent, after);
  EXPECT_EQ(port.stray, 0u);
  EXPECT_FALSE(port.open);
}

// The clock a sound device's render moves: 23 ms at a time, the ticks on the render's thread.
struct RenderClock {
  VirtualTimers clock;
  std::atomic<bool> quit{false};
  std::thread thread{[this] {
    for (std::uint32_t t = 23; !quit; t += 23) {
      clock.AdvanceTo(t);
      Pause(23);
    }
  }};
  ~RenderClock() {
    quit = true;
    thread.join();
  }
};

class MidiSequencerThreads : public testing::TestWithParam<bool> {};

TEST_P(MidiSequencerThreads, PlayLoopStopAndDestroyFromTheInterpreterWhileTheTimerRuns) {
  CountingPort port;
  const auto song = FastSong();
  RenderClock render;
  const TimerFactory timers = [&](TimerClient& c) -> std::unique_ptr<PeriodicTimer> {
    if (GetParam()) return render.clock.Create(c);
    return std::make_unique<ThreadTimer>(c);
  };
  {
    MidiSequencer seq(port, timers);
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
    EXPECT_GT(port.sent, 100u);
    ASSERT_TRUE(seq.Play());
    Pause(150);
  }  // destroyed while playing
  ExpectSilenceAfterStop(port);
}

INSTANTIATE_TEST_SUITE_P(TimerThreadAndRenderClock, MidiSequencerThreads, testing::Bool());

// A tick that lasts until the test lets it end.
struct HeldClient : TimerClient {
  void OnTimerTick() override {
    ++ticks;
    in_tick = true;
    while (hold) std::this_thread::yield();
    in_tick = false;
  }
  std::atomic<int> ticks{0};
  std::atomic<bool> in_tick{false}, hold{true};
};

TEST(ThreadTimer, KillWaitsForTheTickInProgressAndNoTickFollows) {
  HeldClient client;
  ThreadTimer timer(client);
  ASSERT_TRUE(timer.Start(1));
  while (!client.in_tick) Pause(1);
  std::atomic<bool> killed{false};
  std::thread killer([&] {
    timer.Kill();
    killed = true;
  });
  Pause(20);
  EXPECT_FALSE(killed);  // still inside the tick
  client.hold = false;
  killer.join();
  EXPECT_FALSE(client.in_tick);
  const int ticks = client.ticks;
  Pause(20);
  EXPECT_EQ(client.ticks, ticks);
}

}  // namespace
}  // namespace adv
