#include <gtest/gtest.h>

#include <cmath>

#include "host/headless/headless_host.h"
#include "media/midi_sequencer.h"
#include "support/media_files.h"
#include "support/run_adv.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::Tone;

constexpr const char* kSmallSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct CaptureRig {
  explicit CaptureRig(bool capture = true) : host(Options(capture)) {
    host.CreateMainWindow("", false);
  }
  HeadlessOptions Options(bool capture) {
    HeadlessOptions o;
    if (capture) o.audio_capture = dir.Path("out.wav");
    o.shots = shots;
    return o;
  }
  std::vector<std::int16_t> Finish() {
    host.Finish();
    std::vector<std::int16_t> samples;
    EXPECT_TRUE(test::ReadMixWav(dir.Path("out.wav"), samples));
    return samples;
  }
  std::vector<int> MediaDone() {
    std::vector<int> ids;
    HostEvent e;
    while (host.PollEvent(e)) {
      if (e.type == HostEvent::Type::kMediaDone) ids.push_back(e.media_id);
    }
    return ids;
  }
  test::TempDir dir;
  std::vector<Screenshot> shots;
  HeadlessHost host;
};

// The first frame whose left sample is clearly not silent.
std::size_t Onset(const std::vector<std::int16_t>& samples) {
  for (std::size_t i = 0; i < samples.size() / 2; ++i) {
    if (std::abs(samples[2 * i]) > 300) return i;
  }
  return samples.size();
}

TEST(HeadlessMedia, CaptureStartsAtVirtualTimeZeroAndSoundsStartOnTheirMillisecond) {
  CaptureRig rig;
  test::WriteWav(rig.dir.Path("se.wav"), {440, 0.5, 44100, 2, 44100 / 5});
  AudioDevice& audio = rig.host.Media()->Audio();
  rig.host.Sleep(100);
  const int stream = audio.Open({rig.dir.Path("se.wav")});
  ASSERT_NE(stream, 0);
  const int playback = audio.Play(stream, 0, -1, false);
  // 200 ms of sound from 100 ms: it ends at 300 ms.
  rig.host.Sleep(199);
  EXPECT_TRUE(rig.MediaDone().empty());
  rig.host.Sleep(301);
  EXPECT_EQ(rig.MediaDone(), std::vector<int>{playback});
  const auto samples = rig.Finish();
  ASSERT_EQ(samples.size(), 2u * 44100 * 600 / 1000);
  // Sample 4410 is virtual time 100 ms; the tone is sin(...), 0 at its first sample.
  EXPECT_EQ(Onset(samples), 4411u);
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 4410, 8820), 440, 3);
  EXPECT_EQ(test::Rms(samples.data() + 2 * (4410 + 8820 + 1), 44100 / 10), 0);
}

TEST(HeadlessMedia, WithoutCaptureNothingIsWrittenButSoundsStillEnd) {
  CaptureRig rig(false);
  test::WriteWav(rig.dir.Path("se.wav"), {440, 0.5, 44100, 2, 4410});
  AudioDevice& audio = rig.host.Media()->Audio();
  const int playback = audio.Play(audio.Open({rig.dir.Path("se.wav")}), 0, -1, false);
  rig.host.Sleep(99);
  EXPECT_TRUE(rig.MediaDone().empty());
  rig.host.Sleep(2);
  EXPECT_EQ(rig.MediaDone(), std::vector<int>{playback});
  rig.host.Finish();
  EXPECT_FALSE(rig.dir.Exists("out.wav"));
}

TEST(HeadlessMedia, MidiNoteSoundsThroughTheSynthesizerAfterTheStartDelay) {
  if (!test::TempDir().Exists(kSmallSoundFont) && std::fopen(kSmallSoundFont, "rb") == nullptr) {
    GTEST_SKIP() << "no " << kSmallSoundFont;
  }
  CaptureRig rig;
  MediaHost& media = *rig.host.Media();
  media.SetSoundFont(kSmallSoundFont);
  MidiSequencer seq(media.Midi(), [&](TimerClient& c) { return media.CreateTimer(c); });
  test::SmfTrack t;
  t.Event(0, {0xC0, 0}).Event(0, {0x90, 69, 110}).Event(960, {0x80, 69, 0});
  ASSERT_TRUE(seq.LoadBytes(test::BuildSmf(480, {t})));
  seq.SetLoop(false);
  rig.host.Sleep(200);
  ASSERT_TRUE(seq.Play());
  rig.host.Sleep(1500);
  EXPECT_FALSE(seq.IsPlaying());
  const auto samples = rig.Finish();
  // Play at 200 ms, the note about 100 ms later.
  const double onset_ms = Onset(samples) * 1000.0 / 44100;
  EXPECT_NEAR(onset_ms, 300, 10);
  EXPECT_NEAR(test::PitchHz(samples.data() + 2 * 44100 * 500 / 1000, 8192), 440, 440 * 0.03);
  // After the end only the reverberation's last traces remain.
  EXPECT_LT(test::Rms(samples.data() + 2 * 44100 * 1600 / 1000, 2000),
            test::Rms(samples.data() + 2 * 44100 * 500 / 1000, 2000) / 100);
}

TEST(HeadlessMedia, MissingSoundFontLeavesMidiSilentWithOneLogLine) {
  HeadlessOptions o;
  o.debug = true;
  test::TempDir dir;
  o.audio_capture = dir.Path("out.wav");
  HeadlessHost host(o);
  MediaHost& media = *host.Media();
  media.SetSoundFont(dir.Path("none.sf2"));
  MidiSequencer seq(media.Midi(), [&](TimerClient& c) { return media.CreateTimer(c); });
  test::SmfTrack t;
  t.Event(0, {0x90, 69, 110}).Event(480, {0x80, 69, 0});
  ASSERT_TRUE(seq.LoadBytes(test::BuildSmf(480, {t})));
  testing::internal::CaptureStderr();
  seq.Play();
  host.Sleep(800);
  seq.Play();
  host.Sleep(800);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "adv: SoundFont " + dir.Path("none.sf2") + " cannot be read; MIDI stays silent\n");
  host.Finish();
  std::vector<std::int16_t> samples;
  ASSERT_TRUE(test::ReadMixWav(dir.Path("out.wav"), samples));
  EXPECT_EQ(test::Rms(samples.data(), samples.size() / 2), 0);
}

TEST(HeadlessMedia, ScreenshotsShowTheMovieFrameOfTheirTimeAndItRepeats) {
  test::TempDir dir;
  // One second: five red frames, then five blue, at 10 frames a second, with a tone.
  ASSERT_TRUE(test::EncodeMovie(dir.Path("op.avi"), 64, 48, 10, 10,
                                {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0x0000FF,
                                 0x0000FF, 0x0000FF, 0x0000FF, 0x0000FF},
                                Tone{660, 0.5, 44100, 2, 44100}));
  HeadlessOptions o;
  o.audio_capture = dir.Path("out.wav");
  for (std::uint32_t ms : {90u, 350u, 850u, 1350u, 2100u}) {
    o.shots.push_back({ms, dir.Path("shot" + std::to_string(ms) + ".png")});
  }
  HeadlessHost host(o);
  host.CreateMainWindow("", false);
  MovieDevice& movies = host.Media()->Movies();
  host.Sleep(100);
  const int movie = movies.Open(dir.Path("op.avi"));
  ASSERT_NE(movie, 0);
  ASSERT_TRUE(movies.SetWindow(movie));
  ASSERT_TRUE(movies.FillWindow(movie));
  ASSERT_TRUE(movies.Play(movie, true));
  host.Sleep(1900);
  ASSERT_TRUE(movies.Close(movie));
  host.Sleep(200);
  host.Finish();
  const std::pair<std::uint32_t, std::uint32_t> want[] = {
      {90, 0x000000}, {350, 0xFF0000}, {850, 0x0000FF}, {1350, 0xFF0000}, {2100, 0x000000}};
  for (auto [ms, colour] : want) {
    SCOPED_TRACE(ms);
    test::Picture shot;
    ASSERT_TRUE(test::ReadPng(dir.Path("shot" + std::to_string(ms) + ".png"), shot));
    EXPECT_EQ(shot.At(0, 0), colour);
    EXPECT_EQ(shot.At(639, 479), colour);
  }
  // The movie's sound is in the mix while it plays, and gone after it closed.
  std::vector<std::int16_t> samples;
  ASSERT_TRUE(test::ReadMixWav(dir.Path("out.wav"), samples));
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 44100 * 3 / 10, 10000), 660, 5);
  EXPECT_EQ(test::Rms(samples.data() + 2 * 44100 * 21 / 10, 2000), 0);
}

// A palette movie's palette comes with its first packet only: it must survive the rewind of
// Play and the repeat, or the picture comes out black.
TEST(HeadlessMedia, PaletteMovieKeepsItsColoursWhenItRepeats) {
  test::TempDir dir;
  ASSERT_TRUE(test::WritePaletteMovie(dir.Path("pal.avi"), 16, 12, 10, 5, 0x20C040));
  HeadlessOptions o;
  for (std::uint32_t ms : {100u, 750u}) {
    o.shots.push_back({ms, dir.Path("shot" + std::to_string(ms) + ".png")});
  }
  HeadlessHost host(o);
  host.CreateMainWindow("", false);
  MovieDevice& movies = host.Media()->Movies();
  const int movie = movies.Open(dir.Path("pal.avi"));
  ASSERT_NE(movie, 0);
  ASSERT_TRUE(movies.SetWindow(movie) && movies.FillWindow(movie) && movies.Play(movie, true));
  host.Sleep(1000);  // past the end of its first round
  host.Finish();
  for (std::uint32_t ms : {100u, 750u}) {
    test::Picture shot;
    ASSERT_TRUE(test::ReadPng(dir.Path("shot" + std::to_string(ms) + ".png"), shot));
    const std::uint32_t got = shot.At(320, 240);  // scaling may round a channel by one
    for (int shift : {0, 8, 16}) {
      EXPECT_NEAR(static_cast<int>((got >> shift) & 0xFF), (0x20C040 >> shift) & 0xFF, 2) << ms;
    }
  }
}

TEST(HeadlessMedia, MovieDeviceRefusesFilesWithoutAPictureAndWindowlessPlay) {
  test::TempDir dir;
  test::WriteWav(dir.Path("a.wav"), {440, 0.5, 44100, 2, 4410});
  test::EncodeMovie(dir.Path("op.avi"), 16, 16, 10, 2, {0xFF0000}, Tone{0, 0, 44100, 2, 0});
  dir.Write("junk.avi", std::string(3000, '\x13'));
  HeadlessHost host;
  MovieDevice& movies = host.Media()->Movies();
  EXPECT_EQ(movies.Open(dir.Path("a.wav")), 0);
  EXPECT_EQ(movies.Open(dir.Path("junk.avi")), 0);
  const int movie = movies.Open(dir.Path("op.avi"));
  ASSERT_NE(movie, 0);
  EXPECT_FALSE(movies.SetWindow(movie));  // no window yet
  EXPECT_FALSE(movies.Play(movie, true));
  host.CreateMainWindow("", false);
  EXPECT_TRUE(movies.SetWindow(movie));
  EXPECT_TRUE(movies.Play(movie, false));
  EXPECT_FALSE(movies.Stop(movie + 1));
}

}  // namespace
}  // namespace adv
