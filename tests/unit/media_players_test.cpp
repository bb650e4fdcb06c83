#include <gtest/gtest.h>

#include <map>
#include <set>

#include "base/messages.h"
#include "host/headless/headless_host.h"
#include "host/virtual_timer.h"
#include "media/media_players.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// A sound device that plays nothing: the test says which files open, which calls fail and
// when a playback ends.
class FakeAudioDevice : public AudioDevice {
 public:
  struct PlayCall {
    int stream;
    std::int64_t from, to;
    bool loop;
  };
  struct Stream {
    std::vector<std::int64_t> lengths;
    bool playing = false;
    int playback = 0;
  };

  int Open(const std::vector<std::string>& paths) override {
    Stream s;
    for (const std::string& p : paths) {
      if (p.empty()) {
        s.lengths.push_back(0);
        continue;
      }
      auto it = files.find(p);
      if (it == files.end()) return 0;
      s.lengths.push_back(it->second);
    }
    opened.push_back(paths);
    streams[next] = s;
    return next++;
  }
  bool Close(int stream) override {
    closed.push_back(stream);
    if (fail_close) return false;
    return streams.erase(stream) == 1;
  }
  int Play(int stream, std::int64_t from, std::int64_t to, bool loop) override {
    if (fail_play || !streams.count(stream)) return 0;
    plays.push_back({stream, from, to, loop});
    streams[stream].playing = true;
    streams[stream].playback = next_playback;
    return next_playback++;
  }
  bool Stop(int stream) override {
    stops.push_back(stream);
    if (fail_stop || !streams.count(stream)) return false;
    streams[stream].playing = false;
    return true;
  }
  bool IsPlaying(int stream) override { return streams.count(stream) && streams[stream].playing; }
  bool Status(int stream, AudioStatus item, int part, std::int64_t& value) override {
    if (fail_status.count(item) || !streams.count(stream)) return false;
    const auto& l = streams[stream].lengths;
    switch (item) {
      case AudioStatus::kParts:
        value = static_cast<std::int64_t>(l.size());
        break;
      case AudioStatus::kLength:
        value = 0;
        for (auto v : l) value += v;
        break;
      case AudioStatus::kPartStart:
        value = 0;
        for (int i = 0; i < part; ++i) value += l[i];
        break;
      case AudioStatus::kPartLength:
        value = l[static_cast<std::size_t>(part)];
        break;
      case AudioStatus::kPosition:
        value = position;
        break;
    }
    return true;
  }
  // The stream's playback reaches its end; returns the id its notification carries.
  int Finish(int stream) {
    streams[stream].playing = false;
    return streams[stream].playback;
  }

  std::map<std::string, std::int64_t> files;  // path -> length in ms
  std::map<int, Stream> streams;
  std::vector<std::vector<std::string>> opened;
  std::vector<PlayCall> plays;
  std::vector<int> stops, closed;
  std::set<AudioStatus> fail_status;
  bool fail_play = false, fail_stop = false, fail_close = false;
  std::int64_t position = 0;
  int next = 1;
  int next_playback = 100;
};

class FakeMovieDevice : public MovieDevice {
 public:
  int Open(const std::string& path) override {
    calls.push_back("open " + path);
    return fail == "open" ? 0 : 7;
  }
  bool SetWindow(int) override { return Step("window"); }
  bool FillWindow(int) override { return Step("put"); }
  bool Play(int, bool repeat) override { return Step(repeat ? "play repeat" : "play"); }
  bool Stop(int) override { return Step("stop"); }
  bool Close(int) override { return Step("close"); }
  bool Step(const std::string& what) {
    calls.push_back(what);
    return fail != what.substr(0, what.find(' '));
  }
  std::vector<std::string> calls;
  std::string fail;
};

struct Rig {
  Rig() {
    files.SetBase(dir.path());
    log.Log("-");
  }
  std::string Path(std::string_view name) const { return dir.Path(name); }
  test::TempDir dir;
  FileSystem files;
  HeadlessHost host;
  InternalErrorLog log{host};
  FakeAudioDevice audio;
  FakeMovieDevice movies;
};

TEST(SoundPlayer, ModesAndOneSoundAtATime) {
  const struct {
    int mode;
    bool plays, loop, busy;
  } cases[] = {{0, true, false, false},
               {1, true, false, true},
               {2, true, true, false},
               {3, false, false, false},
               {-1, false, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Rig rig;
    rig.audio.files[rig.Path("se.wav")] = 500;
    rig.audio.files[rig.Path("old.wav")] = 500;
    SoundPlayer sound(rig.audio, rig.files);
    sound.PlayWave("old.wav", 2);
    sound.PlayWave("se.wav", c.mode);
    // Other modes leave the old sound alone; any real mode replaces it.
    EXPECT_EQ(rig.audio.IsPlaying(1), !c.plays);
    ASSERT_EQ(rig.audio.plays.size(), c.plays ? 2u : 1u);
    if (!c.plays) continue;
    EXPECT_EQ(rig.audio.closed, std::vector<int>{1});
    EXPECT_EQ(rig.audio.plays[1].loop, c.loop);
    EXPECT_EQ(rig.audio.plays[1].from, 0);
    EXPECT_EQ(rig.audio.plays[1].to, -1);
    EXPECT_EQ(sound.Busy(), c.busy);
    rig.audio.Finish(2);
    EXPECT_FALSE(sound.Busy());
  }
}

TEST(SoundPlayer, StopAndFilesThatDoNotPlay) {
  Rig rig;
  rig.audio.files[rig.Path("a.wav")] = 500;
  SoundPlayer sound(rig.audio, rig.files);
  sound.PlayWave("", 0);
  EXPECT_TRUE(rig.audio.opened.empty());
  sound.PlayWave("a.wav", 2);
  EXPECT_TRUE(sound.IsPlaying());
  sound.StopWave();
  EXPECT_FALSE(sound.IsPlaying());
  sound.PlayWave("a.wav", 1);
  sound.PlayWave("missing.wav", 1);  // stops the old one, plays nothing, holds nothing
  EXPECT_FALSE(sound.IsPlaying());
  EXPECT_FALSE(sound.Busy());
  rig.audio.fail_play = true;
  sound.PlayWave("a.wav", 1);
  EXPECT_FALSE(sound.Busy());
  EXPECT_EQ(rig.log.last(), "-");  // sounds log nothing
}

TEST(Mp3Player, PlaysFromTheStartAndLoopsOnItsOwnNotification) {
  Rig rig;
  rig.audio.files[rig.Path("bgm.mp3")] = 60000;
  Mp3Player mp3(rig.audio, rig.files, rig.log);
  mp3.SetFile("bgm.mp3");
  mp3.SetLoop(true);
  ASSERT_EQ(mp3.Play(), 0);
  ASSERT_EQ(rig.audio.plays.size(), 1u);
  EXPECT_EQ(rig.audio.plays[0].from, 0);
  EXPECT_EQ(rig.audio.plays[0].to, -1);
  const int first = rig.audio.Finish(1);
  EXPECT_EQ(mp3.OnNotify(first + 50), 1);
  EXPECT_EQ(mp3.OnNotify(first), 0);
  ASSERT_EQ(rig.audio.plays.size(), 2u);
  EXPECT_EQ(rig.audio.plays[1].from, 0);
  // The old playback's notification no longer belongs to anyone.
  EXPECT_EQ(mp3.OnNotify(first), 1);
  mp3.SetLoop(false);
  EXPECT_EQ(mp3.OnNotify(rig.audio.Finish(1)), 0);
  EXPECT_FALSE(mp3.IsPlaying());
  EXPECT_EQ(rig.audio.plays.size(), 2u);
  EXPECT_EQ(rig.log.last(), "-");
}

TEST(Mp3Player, ReturnCodesAndLogTexts) {
  Rig rig;
  rig.audio.files[rig.Path("bgm.mp3")] = 60000;
  Mp3Player mp3(rig.audio, rig.files, rig.log);
  EXPECT_EQ(mp3.Stop(), 1);
  mp3.SetFile("none.mp3");
  EXPECT_EQ(mp3.Play(), 1);
  EXPECT_EQ(rig.log.last(), kSdkMp3Open);
  mp3.SetFile("bgm.mp3");
  EXPECT_EQ(mp3.Open(), 0);
  EXPECT_EQ(mp3.Stop(), 0);  // open, not playing
  rig.audio.fail_play = true;
  rig.log.Log("-");
  EXPECT_EQ(mp3.Play(), 2);
  EXPECT_EQ(rig.log.last(), "-");  // no text for a failed play
  rig.audio.fail_play = false;
  ASSERT_EQ(mp3.Play(), 0);
  rig.audio.position = 1234;
  EXPECT_EQ(mp3.Stop(), 0);
  EXPECT_EQ(mp3.StopPosition(), 1234);
  mp3.Play();
  rig.audio.fail_status.insert(AudioStatus::kPosition);
  EXPECT_EQ(mp3.Stop(), 2);
  EXPECT_EQ(rig.log.last(), kSdkMp3Status);
  EXPECT_EQ(mp3.StopPosition(), 0);
  EXPECT_TRUE(mp3.IsPlaying());
  rig.audio.fail_status.clear();
  rig.audio.fail_stop = true;
  EXPECT_EQ(mp3.Stop(), 2);
  EXPECT_EQ(rig.log.last(), kSdkMp3Stop);
  rig.audio.fail_stop = false;
  rig.audio.fail_close = true;
  EXPECT_EQ(mp3.Close(), 1);
  EXPECT_EQ(rig.log.last(), kSdkMp3Close);
  EXPECT_TRUE(mp3.IsOpen());
  rig.audio.fail_close = false;
  EXPECT_EQ(mp3.Close(), 0);
  EXPECT_FALSE(mp3.IsOpen());
}

struct CdRig : Rig {
  CdRig() {
    dir.Write("cdaudio/Track02.OGG", "");
    dir.Write("cdaudio/track02.wav", "");
    dir.Write("cdaudio/track03.mp3", "");
    dir.Write("cdaudio/track3.wav", "");  // not two digits: not a track
    dir.Write("cdaudio/notes.txt", "");
    audio.files[Path("cdaudio/Track02.OGG")] = 1000;
    audio.files[Path("cdaudio/track03.mp3")] = 2000;
  }
};

TEST(CdAudio, TracksComeFromTheFilesAndTheLastPlaysToTheEndOfTheDisc) {
  CdRig rig;
  CdAudio cd(rig.audio, rig.files, rig.log);
  ASSERT_EQ(cd.Play(2), 0);
  ASSERT_EQ(rig.audio.opened.size(), 1u);
  EXPECT_EQ(rig.audio.opened[0], (std::vector<std::string>{"", rig.Path("cdaudio/Track02.OGG"),
                                                           rig.Path("cdaudio/track03.mp3")}));
  EXPECT_EQ(cd.TrackCount(), 3);
  EXPECT_EQ(cd.DiscLength(), 3000);
  EXPECT_EQ(cd.TrackStart(3), 1000);
  EXPECT_EQ(cd.TrackLength(3), 2000);
  const struct {
    int first, last;
    std::int64_t from, to;
  } ranges[] = {{2, 2, 0, 1000}, {3, 3, 1000, -1}, {2, 3, 0, -1}, {1, 2, 0, 1000}};
  for (const auto& r : ranges) {
    SCOPED_TRACE(r.first);
    ASSERT_EQ(cd.Play(r.first, r.last), 0);
    EXPECT_EQ(rig.audio.plays.back().from, r.from);
    EXPECT_EQ(rig.audio.plays.back().to, r.to);
    EXPECT_FALSE(rig.audio.plays.back().loop);
  }
  EXPECT_EQ(rig.log.last(), "-");
}

TEST(CdAudio, EndNotificationLoopsTheRangeOrStops) {
  CdRig rig;
  CdAudio cd(rig.audio, rig.files, rig.log);
  cd.SetLoop(true);
  ASSERT_EQ(cd.Play(3), 0);
  const int first = rig.audio.Finish(rig.audio.plays.back().stream);
  EXPECT_EQ(cd.OnNotify(first + 1), 1);
  EXPECT_EQ(cd.OnNotify(first), 0);
  ASSERT_EQ(rig.audio.plays.size(), 2u);
  EXPECT_EQ(rig.audio.plays[1].from, 1000);
  EXPECT_EQ(rig.audio.plays[1].to, -1);
  EXPECT_EQ(cd.OnNotify(first), 1);
  cd.SetLoop(false);
  EXPECT_EQ(cd.OnNotify(rig.audio.Finish(rig.audio.plays.back().stream)), 0);
  EXPECT_FALSE(cd.IsPlaying());
  EXPECT_EQ(rig.audio.plays.size(), 2u);
}

TEST(CdAudio, ReturnCodesAndLogTexts) {
  CdRig rig;
  CdAudio cd(rig.audio, rig.files, rig.log);
  EXPECT_EQ(cd.Stop(), 1);
  EXPECT_EQ(rig.log.last(), kSdkCdStopNotOpen);
  EXPECT_EQ(cd.PlayDW(0, 100, false), 1);
  EXPECT_EQ(rig.log.last(), kSdkCdPlayDwNotOpen);
  EXPECT_EQ(cd.Play(99), 2);
  EXPECT_EQ(rig.log.last(), kSdkCdPlayTrackOver);
  EXPECT_EQ(cd.Play(0), 2);
  EXPECT_EQ(rig.log.last(), kSdkCdPlayTrackInvalid);
  EXPECT_EQ(cd.Play(-5), 2);
  EXPECT_EQ(cd.Stop(), 2);  // open, not playing
  EXPECT_EQ(cd.PlayDW(500, 500, false), 0);
  EXPECT_TRUE(rig.audio.plays.empty());
  rig.audio.fail_play = true;
  EXPECT_EQ(cd.Play(2), 3);
  EXPECT_EQ(rig.log.last(), kSdkCdPlay);
  EXPECT_EQ(cd.PlayDW(0, 100, false), 2);
  EXPECT_EQ(rig.log.last(), kSdkCdPlayDw);
  rig.audio.fail_play = false;
  ASSERT_EQ(cd.PlayDW(200, 300, true), 0);
  EXPECT_EQ(cd.Stop(), 0);
  EXPECT_EQ(rig.audio.stops.size(), 1u);
}

TEST(CdAudio, OpenFailuresCloseTheDevice) {
  const struct {
    std::optional<AudioStatus> fail;
    int code;
    std::string_view text;
  } cases[] = {{AudioStatus::kParts, 2, kSdkCdTrackCount},
               {AudioStatus::kLength, 3, kSdkCdDiscLength},
               {AudioStatus::kPartStart, 4, kSdkCdTrackPosition},
               {AudioStatus::kPartLength, 5, kSdkCdTrackLength}};
  for (const auto& c : cases) {
    CdRig rig;
    rig.audio.fail_status.insert(*c.fail);
    CdAudio cd(rig.audio, rig.files, rig.log);
    EXPECT_EQ(cd.Open(), c.code);
    EXPECT_EQ(rig.log.last(), c.text);
    EXPECT_FALSE(cd.IsOpen());
    EXPECT_EQ(rig.audio.closed.size(), 1u);
    EXPECT_EQ(cd.Play(2), 1);
    EXPECT_EQ(rig.log.last(), kSdkCdPlayOpen);
  }
  // No track files at all: no disc, tried twice.
  Rig rig;
  CdAudio cd(rig.audio, rig.files, rig.log);
  EXPECT_EQ(cd.Open(), 1);
  EXPECT_EQ(rig.log.last(), kSdkCdOpen);
}

TEST(MoviePlayer, OpensIntoTheWindowAndPlaysRepeating) {
  Rig rig;
  MoviePlayer movie(rig.movies, rig.files, rig.log);
  movie.SetFile("op.avi");
  movie.SetRepeat(true);
  ASSERT_EQ(movie.Play(), 0);
  EXPECT_EQ(rig.movies.calls, (std::vector<std::string>{"open " + rig.Path("op.avi"), "window",
                                                        "put", "play repeat"}));
  // A new file replaces the movie.
  movie.SetFile("ed.avi");
  EXPECT_EQ(rig.movies.calls[4], "stop");
  EXPECT_EQ(rig.movies.calls[5], "close");
  EXPECT_FALSE(movie.IsOpen());
  EXPECT_EQ(rig.log.last(), "-");
}

TEST(MoviePlayer, ReturnCodesAndLogTexts) {
  const struct {
    const char* fail;
    int play_code;
    std::string_view text;
    bool closed_after;
  } cases[] = {{"open", 1, kSdkAviOpen, false},
               {"window", 1, kSdkAviWindow, true},
               {"put", 1, kSdkAviDestination, true},
               {"play", 2, kSdkAviPlay, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fail);
    Rig rig;
    rig.movies.fail = c.fail;
    MoviePlayer movie(rig.movies, rig.files, rig.log);
    movie.SetFile("op.avi");
    EXPECT_EQ(movie.Play(), c.play_code);
    EXPECT_EQ(rig.log.last(), c.text);
    EXPECT_FALSE(movie.IsPlaying());
    EXPECT_EQ(rig.movies.calls.back() == "close", c.closed_after);
  }
  Rig rig;
  MoviePlayer movie(rig.movies, rig.files, rig.log);
  EXPECT_EQ(movie.Stop(), 1);
  movie.SetFile("op.avi");
  ASSERT_EQ(movie.Play(), 0);
  rig.movies.fail = "stop";
  EXPECT_EQ(movie.Stop(), 2);
  EXPECT_EQ(rig.log.last(), kSdkAviStop);
  rig.movies.fail = "close";
  EXPECT_EQ(movie.Close(), 1);
  EXPECT_EQ(rig.log.last(), kSdkAviClose);
  rig.movies.fail = "";
  EXPECT_EQ(movie.Close(), 0);
}

class FakeMediaHost : public MediaHost {
 public:
  explicit FakeMediaHost(Rig& rig) : rig_(rig) {}
  AudioDevice& Audio() override { return rig_.audio; }
  MovieDevice& Movies() override { return rig_.movies; }
  MidiPort& Midi() override { return port_; }
  std::unique_ptr<PeriodicTimer> CreateTimer(TimerClient& client) override {
    return clock_.Create(client);
  }
  void SetSoundFont(const std::string&) override {}

 private:
  class NullPort : public MidiPort {
   public:
    bool Open() override { return true; }
    void Close() override {}
    bool IsOpen() const override { return true; }
    bool Short(std::uint32_t) override { return true; }
    bool Long(std::span<const std::uint8_t>) override { return true; }
  };
  Rig& rig_;
  NullPort port_;
  VirtualTimers clock_;
};

TEST(MediaPlayers, EndNotificationsGoToCdAudioFirstThenMp3) {
  CdRig rig;
  rig.audio.files[rig.Path("bgm.mp3")] = 60000;
  FakeMediaHost host(rig);
  MediaPlayers media(host, rig.files, rig.log);
  media.cd.SetLoop(true);
  media.mp3.SetLoop(true);
  media.mp3.SetFile("bgm.mp3");
  ASSERT_EQ(media.cd.Play(2), 0);
  ASSERT_EQ(media.mp3.Play(), 0);
  const int cd_id = rig.audio.plays[0].stream;
  const int mp3_id = rig.audio.plays[1].stream;
  EXPECT_TRUE(media.OnMediaDone(rig.audio.Finish(mp3_id)));
  EXPECT_EQ(rig.audio.plays.back().stream, mp3_id);
  EXPECT_TRUE(media.OnMediaDone(rig.audio.Finish(cd_id)));
  EXPECT_EQ(rig.audio.plays.back().stream, cd_id);
  EXPECT_FALSE(media.OnMediaDone(9999));
  media.StopAll();
  EXPECT_FALSE(media.cd.IsOpen());
  EXPECT_FALSE(media.mp3.IsOpen());
}

}  // namespace
}  // namespace adv
