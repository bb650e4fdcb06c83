#include <gtest/gtest.h>

#include <map>
#include <numeric>
#include <tuple>

#include "base/messages.h"
#include "host/headless/headless_host.h"
#include "media/media_players.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// A sound device that plays nothing: the test says which files open (with their lengths in
// ms), which call fails and when a playback reaches its end.
class FakeAudio : public AudioDevice {
 public:
  using PlayCall = std::tuple<int, std::int64_t, std::int64_t, bool>;  // stream, from, to, loop
  int Open(const std::vector<std::string>& paths) override {
    std::vector<std::int64_t> lengths;
    for (const std::string& p : paths) {
      if (fail == "open" || (!p.empty() && !files.count(p))) return 0;
      lengths.push_back(p.empty() ? 0 : files[p]);
    }
    streams[next] = lengths;
    return next++;
  }
  bool Close(int s) override { return fail != "close" && streams.erase(s) == 1; }
  int Play(int s, std::int64_t from, std::int64_t to, bool loop) override {
    if (fail == "play" || !streams.count(s)) return 0;
    plays.push_back({s, from, to, loop});
    return playing[s] = ++playbacks;
  }
  bool Stop(int s) override {
    if (fail == "stop" || !streams.count(s)) return false;
    playing.erase(s);
    return true;
  }
  bool IsPlaying(int s) override { return playing.count(s) != 0; }
  bool Status(int s, AudioStatus item, int part, std::int64_t& value) override {
    const char* names[] = {"length", "parts", "start", "part length", "position"};
    const auto i = static_cast<std::size_t>(item), p = static_cast<std::size_t>(part);
    if (fail == names[i] || !streams.count(s)) return false;
    const std::vector<std::int64_t>& l = streams[s];
    const std::int64_t values[] = {std::accumulate(l.begin(), l.end(), std::int64_t{0}),
                                   std::ssize(l),
                                   std::accumulate(l.begin(), l.begin() + part, std::int64_t{0}),
                                   p < l.size() ? l[p] : -1, position};
    value = values[i];
    return true;
  }
  // The stream's playback reaches its end; returns the id its notification carries.
  int Finish(int s) {
    const int id = playing[s];
    playing.erase(s);
    return id;
  }

  std::map<std::string, std::int64_t> files;
  std::map<int, std::vector<std::int64_t>> streams;  // open streams: their parts' lengths
  std::map<int, int> playing;                        // stream -> playback id
  std::vector<PlayCall> plays;
  std::string fail;  // the call that fails, or the status item
  std::int64_t position = 0;
  int next = 1, playbacks = 100;
};

class FakeMovies : public MovieDevice {
 public:
  int Open(const std::string& path) override {
    if (!Step("open " + path)) return 0;
    open = true;
    return 7;
  }
  bool SetWindow(int) override { return Step("window"); }
  bool FillWindow(int) override { return Step("put"); }
  bool Play(int, bool repeat) override { return Step(repeat ? "play repeat" : "play"); }
  bool Stop(int) override { return Step("stop"); }
  bool Close(int) override {
    if (!Step("close")) return false;
    open = false;
    return true;
  }
  bool Step(const std::string& what) {
    calls.push_back(what);
    return fail != what.substr(0, what.find(' '));
  }
  std::vector<std::string> calls;
  std::string fail;
  bool open = false;
};

// The players over the fake devices, in a game folder with a sound, music and CD tracks.
struct Rig : MediaHost {
  Rig() {
    files.SetBase(dir.path());
    log.Log("-");
    for (const char* name : {"Track02.OGG", "track02.wav", "track03.mp3", "track3.wav", "a.txt"}) {
      dir.Write(std::string("cdaudio/") + name, "");  // track3: not two digits, not a track
    }
    for (const char* name : {"se.wav", "bgm.mp3", "op.avi"}) dir.Write(name, "");
    audio.files = {{Path("se.wav"), 500},
                   {Path("bgm.mp3"), 60000},
                   {Path("cdaudio/Track02.OGG"), 1000},
                   {Path("cdaudio/track03.mp3"), 2000}};
    m.mp3.SetFile("bgm.mp3");
    m.movie.SetFile("op.avi");
  }
  AudioDevice& Audio() override { return audio; }
  MovieDevice& Movies() override { return movies; }
  MidiPort& Midi() override { return host.Media()->Midi(); }
  std::unique_ptr<PeriodicTimer> CreateTimer(TimerClient& client) override {
    return host.Media()->CreateTimer(client);
  }
  void SetSoundFont(const std::string&) override {}
  std::string Path(std::string_view name) const { return dir.Path(name); }

  test::TempDir dir;
  FileSystem files;
  HeadlessHost host;
  InternalErrorLog log{host};
  FakeAudio audio;
  FakeMovies movies;
  MediaPlayers m{*this, files, log};
};

TEST(SoundPlayer, OneSoundAtATimeInThreeModes) {
  const struct {
    const char* file;
    int mode;
    const char* fail;
    bool stops_old, plays, loop, busy;
  } cases[] = {
      {"se.wav", 0, "", true, true, false, false},
      {"se.wav", 1, "", true, true, false, true},  // the engine waits while it plays
      {"se.wav", 2, "", true, true, true, false},
      {"se.wav", 3, "", false, false, false, false},  // no such mode
      {"se.wav", -1, "", false, false, false, false},
      {"", 0, "", false, false, false, false},
      {"missing.wav", 1, "", true, false, false, false},
      {"se.wav", 1, "play", true, false, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.file << " " << c.mode << " " << c.fail);
    Rig rig;
    rig.m.sound.PlayWave("se.wav", 2);
    rig.audio.fail = c.fail;
    rig.m.sound.PlayWave(c.file, c.mode);
    EXPECT_EQ(rig.audio.streams.size(), (c.stops_old ? 0u : 1u) + (c.plays ? 1u : 0u));
    EXPECT_EQ(rig.audio.IsPlaying(1), !c.stops_old);
    EXPECT_EQ(rig.audio.plays.back(),
              (FakeAudio::PlayCall{c.plays ? 2 : 1, 0, -1, !c.plays || c.loop}));
    EXPECT_EQ(rig.m.sound.Busy(), c.busy);
    rig.audio.Finish(2);
    EXPECT_FALSE(rig.m.sound.Busy());
    rig.m.sound.StopWave();
    EXPECT_TRUE(rig.audio.streams.empty());
    EXPECT_EQ(rig.log.last(), "-");  // sounds log nothing
  }
}

TEST(CdAudio, TracksComeFromTheFilesAndTheLastPlaysToTheEndOfTheDisc) {
  Rig rig;
  CdAudio& cd = rig.m.cd;
  ASSERT_EQ(cd.Play(2), 0);
  // Only Track02.OGG and track03.mp3 open: the others are not the tracks' files.
  EXPECT_EQ(rig.audio.streams[1], (std::vector<std::int64_t>{0, 1000, 2000}));
  EXPECT_EQ(cd.TrackCount(), 3);
  EXPECT_EQ(cd.TrackLength(3), 2000);
  const struct {
    int first, last;
    std::int64_t from, to;
  } ranges[] = {{2, 2, 0, 1000}, {3, 3, 1000, -1}, {2, 3, 0, -1}, {1, 2, 0, 1000}};
  for (const auto& r : ranges) {
    ASSERT_EQ(cd.Play(r.first, r.last), 0);
    EXPECT_EQ(rig.audio.plays.back(), (FakeAudio::PlayCall{1, r.from, r.to, false})) << r.first;
  }
  EXPECT_EQ(rig.log.last(), "-");
}

TEST(MediaPlayers, EndNotificationsReplayTheirOwnPlaybackWhileLooping) {
  Rig rig;
  rig.m.cd.SetLoop(true);
  rig.m.mp3.SetLoop(true);
  ASSERT_EQ(rig.m.cd.Play(2), 0);  // stream 1, a range that ends before the disc does
  ASSERT_EQ(rig.m.mp3.Play(), 0);  // stream 2
  const auto first = rig.audio.plays;
  for (int stream : {1, 2}) {
    const int id = rig.audio.Finish(stream);
    EXPECT_FALSE(rig.m.OnMediaDone(id + 50));
    EXPECT_TRUE(rig.m.OnMediaDone(id));
    EXPECT_EQ(rig.audio.plays.back(), first[stream - 1]);
    EXPECT_FALSE(rig.m.OnMediaDone(id));  // the old playback's: no one's now
  }
  rig.m.cd.SetLoop(false);
  rig.m.mp3.SetLoop(false);
  rig.audio.position = 1234;
  for (int stream : {1, 2}) EXPECT_TRUE(rig.m.OnMediaDone(rig.audio.Finish(stream)));
  EXPECT_EQ(rig.audio.plays.size(), 4u);
  EXPECT_FALSE(rig.m.cd.IsPlaying() || rig.m.mp3.IsPlaying());
  EXPECT_EQ(rig.m.mp3.StopPosition(), 1234);
  rig.m.StopAll();
  EXPECT_TRUE(rig.audio.streams.empty());
}

TEST(MoviePlayer, OpensIntoTheWindowAndANewFileReplacesIt) {
  Rig rig;
  rig.m.movie.SetRepeat(true);
  ASSERT_EQ(rig.m.movie.Play(), 0);
  rig.m.movie.SetFile("ed.avi");
  EXPECT_EQ(rig.movies.calls, (std::vector<std::string>{"open " + rig.Path("op.avi"), "window",
                                                        "put", "play repeat", "stop", "close"}));
  EXPECT_FALSE(rig.m.movie.IsOpen());
}

// One call of a player: open, play, stop or close; for the CD "range" (PlayDW of 0..100 ms) or a
// track number to play.
int Call(MediaPlayers& m, std::string_view player, std::string_view call) {
  const auto run = [&](auto& p) {
    return call == "open"   ? p.Open()
           : call == "play" ? p.Play()
           : call == "stop" ? p.Stop()
                            : p.Close();
  };
  if (player != "cd") return player == "mp3" ? run(m.mp3) : run(m.movie);
  if (call == "open") return m.cd.Open();
  if (call == "stop") return m.cd.Stop();
  if (call == "range") return m.cd.PlayDW(0, 100, false);
  return m.cd.Play(std::stoi(std::string(call)));
}

TEST(MediaPlayers, ReturnCodesAndLogTexts) {
  const struct {
    std::string_view player, before, fail, call;  // fail: what the devices refuse after `before`
    int code;
    std::string_view text;  // "-": nothing logged
    std::size_t held;       // streams and movies the devices still hold open afterwards
  } cases[] = {
      {"mp3", "", "", "stop", 1, "-", 0},
      {"mp3", "", "open", "play", 1, kSdkMp3Open, 0},
      {"mp3", "open", "", "stop", 0, "-", 1},
      {"mp3", "", "play", "play", 2, "-", 1},
      {"mp3", "play", "position", "stop", 2, kSdkMp3Status, 1},
      {"mp3", "play", "stop", "stop", 2, kSdkMp3Stop, 1},
      {"mp3", "open", "close", "close", 1, kSdkMp3Close, 1},
      {"cd", "", "", "stop", 1, kSdkCdStopNotOpen, 0},
      {"cd", "", "", "range", 1, kSdkCdPlayDwNotOpen, 0},
      {"cd", "", "open", "open", 1, kSdkCdOpen, 0},
      {"cd", "", "parts", "open", 2, kSdkCdTrackCount, 0},
      {"cd", "", "length", "open", 3, kSdkCdDiscLength, 0},
      {"cd", "", "start", "open", 4, kSdkCdTrackPosition, 0},
      {"cd", "", "part length", "open", 5, kSdkCdTrackLength, 0},
      {"cd", "", "length", "2", 1, kSdkCdPlayOpen, 0},
      {"cd", "", "", "0", 2, kSdkCdPlayTrackInvalid, 1},
      {"cd", "", "", "-5", 2, kSdkCdPlayTrackInvalid, 1},
      {"cd", "open", "", "stop", 2, "-", 1},
      {"cd", "", "play", "2", 3, kSdkCdPlay, 1},
      {"cd", "open", "play", "range", 2, kSdkCdPlayDw, 1},
      {"movie", "", "open", "play", 1, kSdkAviOpen, 0},
      {"movie", "", "window", "play", 1, kSdkAviWindow, 0},
      {"movie", "", "put", "play", 1, kSdkAviDestination, 0},
      {"movie", "", "play", "play", 2, kSdkAviPlay, 1},
      {"movie", "", "", "stop", 1, "-", 0},
      {"movie", "play", "stop", "stop", 2, kSdkAviStop, 1},
      {"movie", "play", "close", "close", 1, kSdkAviClose, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.player << " " << c.fail << " " << c.call);
    Rig rig;
    if (!c.before.empty()) {
      ASSERT_EQ(Call(rig.m, c.player, c.before), 0);
    }
    rig.audio.fail = rig.movies.fail = c.fail;
    EXPECT_EQ(Call(rig.m, c.player, c.call), c.code);
    EXPECT_EQ(rig.log.last(), c.text);
    EXPECT_EQ(rig.audio.streams.size() + rig.movies.open, c.held);
  }
}

}  // namespace
}  // namespace adv
