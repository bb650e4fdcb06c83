#include "media/midi_sequencer.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::BuildSmf;
using test::SmfTrack;

// What the port is sent: short messages as they are, the rest as these.
constexpr std::uint32_t kOpen = 1u << 31, kClose = kOpen + 1, kLong = 1u << 30;  // + its size

constexpr std::uint32_t Msg(std::uint8_t s, std::uint8_t d1, std::uint8_t d2 = 0) {
  return s | (std::uint32_t{d1} << 8) | (std::uint32_t{d2} << 16);
}

// A timer on a clock the test moves: every millisecond ticks on the way, or one late tick.
class ManualTimer : public PeriodicTimer {
 public:
  ManualTimer(TimerClient& client, std::uint32_t& now) : client_(client), now_(now) {}
  std::uint32_t Now() const override { return now_; }
  bool Start(std::uint32_t period) override {
    period_ = period;
    return running_ = true;
  }
  void Kill() override { running_ = false; }
  bool Running() const override { return running_; }
  std::uint32_t Period() const override { return period_; }
  void TickAt(std::uint32_t ms) {
    now_ = ms;
    if (running_) client_.OnTimerTick();
  }
  void AdvanceTo(std::uint32_t ms) {
    while (now_ < ms) TickAt(now_ + 1);
  }

 private:
  TimerClient& client_;
  std::uint32_t& now_;
  bool running_ = false;
  std::uint32_t period_ = 0;
};

// A sequencer playing the song, if one is given, from time 0, into a port that writes down
// what it is sent and when.
struct Rig : MidiPort {
  explicit Rig(const std::vector<std::uint8_t>& song = {}, bool loop = true) {
    seq.SetLoop(loop);
    EXPECT_TRUE(song.empty() || (seq.LoadBytes(song) && seq.Play()));
  }
  bool Open() override { return open = Add(kOpen); }
  void Close() override { open = !Add(kClose); }
  bool IsOpen() const override { return open; }
  bool Short(std::uint32_t message) override { return open && Add(message); }
  bool Long(std::span<const std::uint8_t> message) override {
    return open && Add(kLong + static_cast<std::uint32_t>(message.size()));
  }
  bool Add(std::uint32_t message) {
    log.emplace_back(now, message);
    return true;
  }
  std::vector<std::uint32_t> TimesOf(std::uint32_t message) const {
    std::vector<std::uint32_t> times;
    for (auto [ms, m] : log) {
      if (m == message) times.push_back(ms);
    }
    return times;
  }
  std::vector<std::uint32_t> SentFrom(std::size_t from) const {
    std::vector<std::uint32_t> out;
    for (std::size_t i = from; i < log.size(); ++i) out.push_back(log[i].second);
    return out;
  }

  std::vector<std::pair<std::uint32_t, std::uint32_t>> log;  // time, message
  bool open = false;
  std::uint32_t now = 0;
  ManualTimer* timer = nullptr;
  MidiSequencer seq{*this, [this](TimerClient& c) {
                      auto t = std::make_unique<ManualTimer>(c, now);
                      timer = t.get();
                      return t;
                    }};
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
    Rig rig(BuildSmf(c.division, {t}), false);
    rig.timer->AdvanceTo(c.want_ms + 100);
    EXPECT_EQ(rig.TimesOf(Msg(0x90, 60, 100)), std::vector<std::uint32_t>{c.want_ms});
  }
}

TEST(MidiSequencer, TempoChangesSysExAndTheLoopMarker) {
  SmfTrack t;
  t.Marker(0, "start")
      .Event(480, {0x90, 60, 100})
      .Tempo(0, 250000)
      .SysEx(480, 0xF0, {0x41, 0xF7})
      .Tempo(0, 0)  // ignored: it would divide by zero
      .Marker(0, "L")
      .Event(480, {0x90, 64, 100});
  Rig rig(BuildSmf(480, {t}));
  rig.timer->AdvanceTo(1500);
  // A tempo change restarts the segment from its tick.
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 60, 100)), std::vector<std::uint32_t>{600});
  EXPECT_EQ(rig.TimesOf(kLong + 3).front(), 850u);  // 0xF0 0x41 0xF7
  // The loop starts again from L about 100 ms after the end (1101 ms); the tempo set before the
  // marker still holds, so the note comes 250 ms after that, not 500.
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 64, 100)), (std::vector<std::uint32_t>{1100, 1201 + 250}));
}

TEST(MidiSequencer, FarBehindItDropsSoundingNoteOnsAndDoesAHundredTicksACallback) {
  SmfTrack t;
  for (int i = 0; i < 400; ++i) {
    t.Event(i == 0 ? 0 : 1, {0x90, 60, 100}).Event(0, {0x90, 60, 0}).Event(0, {0xB0, 1, 5});
  }
  Rig rig(BuildSmf(480, {t}));
  auto count = [&](std::uint32_t message) { return rig.TimesOf(message).size(); };
  rig.timer->TickAt(50);   // still in the start delay
  rig.timer->TickAt(100);  // the clock starts: tick 0 only
  EXPECT_EQ(count(Msg(0x90, 60, 100)), 1u);
  // 150 ticks due: the first 50 lag, their note-ons dropped; the next 50 are within reach.
  rig.timer->TickAt(100 + 150 * 500 / 480 + 1);
  EXPECT_EQ(rig.seq.SongTick(), 100u);
  EXPECT_EQ(count(Msg(0x90, 60, 100)), 1u + 50u);
  // Much later: a hundred more ticks, all lagging; notes still end and controllers still go.
  rig.timer->TickAt(2100);
  EXPECT_EQ(rig.seq.SongTick(), 200u);
  EXPECT_EQ(count(Msg(0x90, 60, 100)), 1u + 50u);
  EXPECT_EQ(count(Msg(0x90, 60, 0)), 201u);
  EXPECT_EQ(count(Msg(0xB0, 1, 5)), 201u);
}

// Thousands of notes at one tick go out over a few callbacks, and the song keeps its time.
TEST(MidiSequencer, ACrowdedTickIsSpreadOverCallbacks) {
  SmfTrack t;
  t.Event(0, {0x90, 60, 100});
  for (int i = 1; i < 2000; ++i) t.Event(0, {60, 100});
  t.Event(480, {0x90, 64, 100}).End(10);
  Rig rig(BuildSmf(480, {t}), false);
  rig.timer->TickAt(50);
  rig.timer->TickAt(100);
  const std::size_t first = rig.TimesOf(Msg(0x90, 60, 100)).size();
  EXPECT_GT(first, 0u);
  EXPECT_LE(first, static_cast<std::size_t>(MidiSequencer::kMaxEntriesPerCallback));
  rig.timer->AdvanceTo(700);
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 60, 100)).size(), 2000u);
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 64, 100)), std::vector<std::uint32_t>{600});
}

// Song: program 5, volume 80, pan 20 and a SysEx before the loop marker, a note before it, and
// notes at the loop tick in another track.
std::vector<std::uint8_t> LoopSong() {
  SmfTrack a, b;
  a.Event(0, {0xC0, 5}).Event(100, {0xB0, 7, 80}).Event(0, {0xB0, 10, 20});
  a.SysEx(0, 0xF0, {0x7E, 0xF7});
  a.Marker(380, "L").Event(480, {0x80, 64, 0});
  b.Event(200, {0x90, 60, 90}).Event(280, {0x90, 64, 91}).Event(480, {0x90, 64, 0});
  return BuildSmf(480, {a, b});
}

TEST(MidiSequencer, LoopChasesSilentlyThenSendsTheChannelStateAndPlaysFromTheMarker) {
  Rig rig(LoopSong());
  // First pass: note 60 at tick 200 (308.3 ms), note 64 at the loop tick 480 (600 ms); the last
  // entry at tick 960 comes at 1100 ms, the end is seen a millisecond later.
  rig.timer->AdvanceTo(1100);
  const std::size_t loop_start = rig.log.size();
  rig.timer->AdvanceTo(1300);
  // Nothing from before the loop tick: the channel state goes first.
  std::vector<std::uint32_t> state;
  for (std::uint8_t ch = 0; ch < 16; ++ch) state.push_back(Msg(0xC0 | ch, ch == 0 ? 5 : 0));
  // Bank, pan, reverb, chorus and volume: their reset values, channel 0's from the song.
  for (auto [number, reset, first] :
       {std::array<std::uint8_t, 3>{0, 0, 0}, {10, 64, 20}, {91, 0, 0}, {93, 0, 0}, {7, 100, 80}}) {
    for (std::uint8_t ch = 0; ch < 16; ++ch) {
      state.push_back(Msg(0xB0 | ch, number, ch == 0 ? first : reset));
    }
  }
  auto sent = rig.SentFrom(loop_start);
  ASSERT_GE(sent.size(), state.size());
  EXPECT_EQ(std::vector<std::uint32_t>(sent.begin(), sent.begin() + state.size()), state);
  // Then the note at the loop tick, about 100 ms after the end.
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 64, 91)), (std::vector<std::uint32_t>{600, 1201}));
  EXPECT_EQ(rig.TimesOf(Msg(0x90, 60, 90)), std::vector<std::uint32_t>{309});
  EXPECT_EQ(rig.TimesOf(kLong + 3).size(), 1u);
  EXPECT_TRUE(rig.seq.IsPlaying());
}

TEST(MidiSequencer, EndWithoutLoopAndStopSilenceEveryChannelAndClose) {
  for (bool by_stop : {false, true}) {
    SCOPED_TRACE(by_stop);
    Rig rig(LoopSong(), false);
    rig.timer->AdvanceTo(by_stop ? 400 : 1200);
    if (by_stop) {
      EXPECT_TRUE(rig.seq.IsPlaying());
      rig.seq.Stop();
    }
    EXPECT_FALSE(rig.seq.IsPlaying());
    std::vector<std::uint32_t> silence;
    for (std::uint8_t ch = 0; ch < 16; ++ch) silence.push_back(Msg(0xB0 | ch, 7, 0));
    silence.push_back(kClose);
    ASSERT_GE(rig.log.size(), silence.size());
    EXPECT_EQ(rig.SentFrom(rig.log.size() - silence.size()), silence);
    // Nothing more comes, and a second stop finds nothing to do.
    const std::size_t after = rig.log.size();
    rig.timer->AdvanceTo(5000);
    rig.seq.Stop();
    EXPECT_EQ(rig.log.size(), after);
  }
}

TEST(MidiSequencer, LoadFailuresKeepOrDropTheSong) {
  test::TempDir dir;
  FileSystem files;
  files.SetBase(dir.path());
  dir.Write("good.mid", LoopSong());
  dir.Write("bad.mid", "MThd junk");
  Rig rig;
  EXPECT_FALSE(rig.seq.Play());
  ASSERT_TRUE(rig.seq.Load(files, "GOOD.MID"));
  EXPECT_TRUE(rig.seq.Play());
  // One that does not parse leaves none, and stops what played.
  EXPECT_FALSE(rig.seq.Load(files, "bad.mid"));
  EXPECT_FALSE(rig.seq.IsPlaying());
  EXPECT_FALSE(rig.seq.Play());
}

}  // namespace
}  // namespace adv
