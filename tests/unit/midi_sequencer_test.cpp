#include "media/midi_sequencer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/virtual_timer.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::BuildSmf;
using test::SmfTrack;

// A port that writes down what it is sent and when.
class RecordingPort : public MidiPort {
 public:
  struct Message {
    std::uint32_t ms;
    std::string kind;  // "short", "long", "open", "close"
    std::uint32_t value = 0;
  };
  explicit RecordingPort(VirtualTimers& clock) : clock_(clock) {}

  bool Open() override {
    open_ = true;
    Add("open");
    return true;
  }
  void Close() override {
    open_ = false;
    Add("close");
  }
  bool IsOpen() const override { return open_; }
  bool Short(std::uint32_t message) override {
    if (!open_) return false;
    Add("short", message);
    return true;
  }
  bool Long(std::span<const std::uint8_t> message) override {
    if (!open_) return false;
    Add("long", static_cast<std::uint32_t>(message.size()));
    return true;
  }

  std::vector<Message> log;

  // Times of the short messages equal to message.
  std::vector<std::uint32_t> TimesOf(std::uint32_t message) const {
    std::vector<std::uint32_t> times;
    for (const Message& m : log) {
      if (m.kind == "short" && m.value == message) times.push_back(m.ms);
    }
    return times;
  }
  std::vector<std::uint32_t> ShortsFrom(std::size_t from) const {
    std::vector<std::uint32_t> out;
    for (std::size_t i = from; i < log.size(); ++i) {
      if (log[i].kind == "short") out.push_back(log[i].value);
    }
    return out;
  }

 private:
  void Add(const char* kind, std::uint32_t value = 0) {
    log.push_back({clock_.Now(), kind, value});
  }
  VirtualTimers& clock_;
  bool open_ = false;
};

// A timer whose clock and ticks the test moves by hand.
class ManualTimer : public PeriodicTimer {
 public:
  explicit ManualTimer(TimerClient& client) : client_(client) {}
  std::uint32_t Now() const override { return now; }
  bool Start(std::uint32_t period) override {
    period_ = period;
    running_ = true;
    return true;
  }
  void Kill() override { running_ = false; }
  bool Running() const override { return running_; }
  std::uint32_t Period() const override { return period_; }
  void TickAt(std::uint32_t ms) {
    now = ms;
    if (running_) client_.OnTimerTick();
  }
  std::uint32_t now = 0;

 private:
  TimerClient& client_;
  bool running_ = false;
  std::uint32_t period_ = 0;
};

constexpr std::uint32_t Msg(std::uint8_t s, std::uint8_t d1, std::uint8_t d2 = 0) {
  return s | (std::uint32_t{d1} << 8) | (std::uint32_t{d2} << 16);
}

struct VirtualRig {
  VirtualTimers clock;
  RecordingPort port{clock};
  MidiSequencer seq{port, [this](TimerClient& c) { return clock.Create(c); }};
};

class MarkerSequencer : public MidiSequencer {
 public:
  using MidiSequencer::MidiSequencer;
  std::vector<std::string> markers;

 protected:
  void OnMarker(std::string_view text) override { markers.emplace_back(text); }
};

TEST(MidiSequencer, NotesComeAtTheirTimeForEveryTempoAndDivision) {
  const struct {
    std::uint16_t division;
    std::uint32_t tempo;
    std::uint32_t tick;
    std::uint32_t want_ms;  // after Play at 0: 100 ms of start delay, then tick time rounded up
  } cases[] = {
      {480, 500000, 480, 600},  // 120 quarter notes a minute: a quarter note is 500 ms
      {480, 0x07A120, 240, 350}, {96, 1000000, 96, 1100}, {960, 250000, 100, 127},  // 26.04 ms
      {24, 600000, 1, 125},      {1, 500000, 3, 1600},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.division << " " << c.tempo);
    SmfTrack t;
    t.Tempo(0, c.tempo).Event(c.tick, {0x90, 60, 100}).End(10);
    VirtualRig rig;
    ASSERT_TRUE(rig.seq.LoadBytes(BuildSmf(c.division, {t})));
    rig.seq.SetLoop(false);
    ASSERT_TRUE(rig.seq.Play());
    rig.clock.AdvanceTo(c.want_ms + 100);
    EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 100)), std::vector<std::uint32_t>{c.want_ms});
  }
}

TEST(MidiSequencer, TempoChangeRestartsTheSegment) {
  SmfTrack t;
  t.Event(0, {0xC0, 0})
      .Event(480, {0x90, 60, 100})
      .Tempo(0, 250000)
      .Event(480, {0x90, 62, 100})
      .Tempo(0, 0)  // ignored: it would divide by zero
      .Event(480, {0x90, 64, 100});
  VirtualRig rig;
  ASSERT_TRUE(rig.seq.LoadBytes(BuildSmf(480, {t})));
  rig.seq.SetLoop(false);
  rig.seq.Play();
  rig.clock.AdvanceTo(2000);
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 100)), std::vector<std::uint32_t>{600});
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 62, 100)), std::vector<std::uint32_t>{850});
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 64, 100)), std::vector<std::uint32_t>{1100});
}

TEST(MidiSequencer, SysExAndMarkersAreDispatched) {
  SmfTrack t;
  t.Marker(0, "start").SysEx(10, 0xF0, {0x41, 0xF7}).Marker(10, "L").Event(10, {0xC0, 1});
  VirtualTimers clock;
  RecordingPort port(clock);
  MarkerSequencer seq(port, [&](TimerClient& c) { return clock.Create(c); });
  seq.SetLoop(false);
  ASSERT_TRUE(seq.LoadBytes(BuildSmf(480, {t})));
  seq.Play();
  clock.AdvanceTo(1000);
  EXPECT_EQ(seq.markers, (std::vector<std::string>{"start", "L"}));
  auto sysex = std::find_if(port.log.begin(), port.log.end(),
                            [](const auto& m) { return m.kind == "long"; });
  ASSERT_NE(sysex, port.log.end());
  EXPECT_EQ(sysex->value, 3u);  // 0xF0 0x41 0xF7
}

TEST(MidiSequencer, LaggingDropsSoundingNoteOnsOnly) {
  SmfTrack t;
  for (int i = 0; i < 300; ++i) {
    t.Event(i == 0 ? 0 : 1, {0x90, 60, 100}).Event(0, {0x90, 60, 0}).Event(0, {0xB0, 1, 5});
  }
  VirtualTimers clock;  // only for the port's time stamps
  RecordingPort port(clock);
  ManualTimer* timer = nullptr;
  MidiSequencer seq(port, [&](TimerClient& c) {
    auto t = std::make_unique<ManualTimer>(c);
    timer = t.get();
    return t;
  });
  ASSERT_TRUE(seq.LoadBytes(BuildSmf(480, {t})));
  seq.Play();
  timer->TickAt(50);   // still in the start delay
  timer->TickAt(100);  // the clock starts: tick 0 only
  EXPECT_EQ(port.TimesOf(Msg(0x90, 60, 100)).size(), 1u);
  const std::size_t before = port.log.size();
  // A second late: 960 ticks are due, far more than one callback may do.
  timer->TickAt(1100);
  const auto sent = port.ShortsFrom(before);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), Msg(0x90, 60, 100)), 0);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), Msg(0x90, 60, 0)), 100);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), Msg(0xB0, 1, 5)), 100);
  EXPECT_EQ(seq.SongTick(), 100u);
}

TEST(MidiSequencer, CallbackDoesAtMostOneHundredTicksAndCatchesUpAudibly) {
  SmfTrack t;
  for (int i = 0; i < 400; ++i) t.Event(i == 0 ? 0 : 1, {0x90, 60, 100});
  VirtualTimers clock;
  RecordingPort port(clock);
  ManualTimer* timer = nullptr;
  MidiSequencer seq(port, [&](TimerClient& c) {
    auto t = std::make_unique<ManualTimer>(c);
    timer = t.get();
    return t;
  });
  ASSERT_TRUE(seq.LoadBytes(BuildSmf(480, {t})));
  seq.Play();
  timer->TickAt(100);
  // 150 ticks due: the first 50 lag (dropped), the next 50 are within reach and sound.
  timer->TickAt(100 + 150 * 500 / 480 + 1);
  EXPECT_EQ(seq.SongTick(), 100u);
  EXPECT_EQ(port.TimesOf(Msg(0x90, 60, 100)).size(), 1u + 50u);
}

// Song: program 5 and volume 80 before the loop marker, a note before it, and notes at the
// loop tick in another track.
std::vector<std::uint8_t> LoopSong(bool with_marker) {
  SmfTrack a, b;
  a.Event(0, {0xC0, 5}).Event(100, {0xB0, 7, 80}).Event(0, {0xB0, 10, 20});
  if (with_marker) {
    a.Marker(380, "L");
  } else {
    a.Meta(380, 0x01, "text");
  }
  a.Event(480, {0x80, 64, 0});
  b.Event(200, {0x90, 60, 90}).Event(280, {0x90, 64, 91}).Event(480, {0x90, 64, 0});
  return BuildSmf(480, {a, b});
}

TEST(MidiSequencer, LoopChasesSilentlyThenSendsTheChannelStateAndPlaysFromTheMarker) {
  VirtualRig rig;
  ASSERT_TRUE(rig.seq.LoadBytes(LoopSong(true)));
  rig.seq.Play();
  // First pass: note 60 at tick 200 (308.3 ms), note 64 at the loop tick 480 (600 ms); the last
  // entry at tick 960 comes at 1100 ms, the end is seen a millisecond later.
  rig.clock.AdvanceTo(1100);
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 90)), std::vector<std::uint32_t>{309});
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 64, 91)), std::vector<std::uint32_t>{600});
  const std::size_t loop_start = rig.port.log.size();
  rig.clock.AdvanceTo(1300);
  // Nothing from before the loop tick: the channel state goes first.
  std::vector<std::uint32_t> state;
  for (std::uint8_t ch = 0; ch < 16; ++ch) state.push_back(Msg(0xC0 | ch, ch == 0 ? 5 : 0));
  const std::pair<std::uint8_t, int> controllers[] = {
      {0, -1}, {10, 20}, {91, -1}, {93, -1}, {7, 80}};
  for (auto [number, first] : controllers) {
    const std::uint8_t reset = number == 10 ? 64 : number == 7 ? 100 : 0;
    for (std::uint8_t ch = 0; ch < 16; ++ch) {
      state.push_back(
          Msg(0xB0 | ch, number, ch == 0 && first >= 0 ? static_cast<std::uint8_t>(first) : reset));
    }
  }
  auto sent = rig.port.ShortsFrom(loop_start);
  ASSERT_GE(sent.size(), state.size());
  EXPECT_EQ(std::vector<std::uint32_t>(sent.begin(), sent.begin() + state.size()), state);
  // Then the note at the loop tick, about 100 ms after the end.
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 64, 91)), (std::vector<std::uint32_t>{600, 1201}));
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 90)), std::vector<std::uint32_t>{309});
  EXPECT_TRUE(rig.seq.IsPlaying());
}

TEST(MidiSequencer, LoopWithoutMarkerRestartsFromTheBeginning) {
  VirtualRig rig;
  ASSERT_TRUE(rig.seq.LoadBytes(LoopSong(false)));
  rig.seq.Play();
  rig.clock.AdvanceTo(1101 + 400);
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 90)), (std::vector<std::uint32_t>{309, 1101 + 309}));
}

TEST(MidiSequencer, EndWithoutLoopAndStopSilenceEveryChannelAndClose) {
  for (bool by_stop : {false, true}) {
    SCOPED_TRACE(by_stop);
    VirtualRig rig;
    ASSERT_TRUE(rig.seq.LoadBytes(LoopSong(true)));
    rig.seq.SetLoop(false);
    rig.seq.Play();
    rig.clock.AdvanceTo(by_stop ? 400 : 1200);
    if (by_stop) {
      EXPECT_TRUE(rig.seq.IsPlaying());
      rig.seq.Stop();
    }
    EXPECT_FALSE(rig.seq.IsPlaying());
    ASSERT_GE(rig.port.log.size(), 17u);
    const auto tail =
        std::vector<RecordingPort::Message>(rig.port.log.end() - 17, rig.port.log.end());
    for (std::uint8_t ch = 0; ch < 16; ++ch) {
      EXPECT_EQ(tail[ch].kind, "short");
      EXPECT_EQ(tail[ch].value, Msg(0xB0 | ch, 7, 0));
    }
    EXPECT_EQ(tail[16].kind, "close");
    const std::size_t after = rig.port.log.size();
    rig.clock.AdvanceTo(5000);
    EXPECT_EQ(rig.port.log.size(), after);
    // A second stop finds nothing to do.
    rig.seq.Stop();
    EXPECT_EQ(rig.port.log.size(), after);
  }
}

TEST(MidiSequencer, PlayRestartsFromTheBeginningAfterTheStartDelay) {
  VirtualRig rig;
  ASSERT_TRUE(rig.seq.LoadBytes(LoopSong(true)));
  rig.seq.Play();
  rig.clock.AdvanceTo(350);
  rig.seq.Play();
  rig.clock.AdvanceTo(1000);
  EXPECT_EQ(rig.port.TimesOf(Msg(0x90, 60, 90)), (std::vector<std::uint32_t>{309, 350 + 309}));
  EXPECT_EQ(rig.port.TimesOf(Msg(0xC0, 5)), (std::vector<std::uint32_t>{100, 450}));
}

TEST(MidiSequencer, LoadFailuresKeepOrDropTheSong) {
  test::TempDir dir;
  FileSystem files;
  files.SetBase(dir.path());
  dir.Write("good.mid", LoopSong(true));
  dir.Write("bad.mid", "MThd junk");
  VirtualRig rig;
  EXPECT_FALSE(rig.seq.Play());
  ASSERT_TRUE(rig.seq.Load(files, "GOOD.MID"));
  // A file that cannot be read leaves the song as it was.
  EXPECT_FALSE(rig.seq.Load(files, "missing.mid"));
  EXPECT_TRUE(rig.seq.Play());
  // One that does not parse leaves none, and stops what played.
  EXPECT_FALSE(rig.seq.Load(files, "bad.mid"));
  EXPECT_FALSE(rig.seq.IsPlaying());
  EXPECT_FALSE(rig.seq.Play());
}

}  // namespace
}  // namespace adv
