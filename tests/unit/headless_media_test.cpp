#include <gtest/gtest.h>

#include <fstream>

#include "host/codecs/ffmpeg_audio_source.h"
#include "host/headless/headless_host.h"
#include "media/midi_sequencer.h"
#include "support/media_files.h"
#include "support/run_adv.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// A headless host with a window and --debug, capturing its mix to out.wav (or not), with
// screenshots at the given times (shot<ms>.png).
struct Rig {
  explicit Rig(std::vector<std::uint32_t> shot_times = {}, bool capture = true)
      : host([&] {
          HeadlessOptions o;
          if (capture) o.audio_capture = dir.Path("out.wav");
          for (std::uint32_t ms : shot_times) o.shots.push_back({ms, Shot(ms)});
          o.debug = true;
          return o;
        }()) {
    host.CreateMainWindow("", false);
  }
  std::string Shot(std::uint32_t ms) const {
    return dir.Path("shot" + std::to_string(ms) + ".png");
  }
  std::vector<std::int16_t> Finish() {  // the captured mix
    host.Finish();
    auto capture = FfmpegAudioSource::Open(dir.Path("out.wav"));
    std::vector<std::int16_t> samples(2 * 44100 * 10);
    samples.resize(capture ? 2 * capture->Read(samples.data(), 44100 * 10) : 0);
    return samples;
  }
  std::vector<int> MediaDone() {
    std::vector<int> ids;
    for (HostEvent e; host.PollEvent(e);) {
      if (e.type == HostEvent::Type::kMediaDone) ids.push_back(e.media_id);
    }
    return ids;
  }
  std::unique_ptr<MidiSequencer> Sequencer(const std::string& sound_font, test::SmfTrack track) {
    media.SetSoundFont(sound_font);
    auto seq = std::make_unique<MidiSequencer>(
        media.Midi(), [this](TimerClient& c) { return media.CreateTimer(c); });
    EXPECT_TRUE(seq->LoadBytes(test::BuildSmf(480, {track})));
    seq->SetLoop(false);
    return seq;
  }
  test::TempDir dir;
  HeadlessHost host;
  MediaHost& media = *host.Media();
};

// The first frame whose left sample is not silent.
std::size_t Onset(const std::vector<std::int16_t>& samples) {
  std::size_t i = 0;
  while (2 * i < samples.size() && samples[2 * i] == 0) ++i;
  return i;
}

TEST(HeadlessMedia, CaptureStartsAtVirtualTimeZeroAndSoundsEndOnTheirMillisecond) {
  for (bool capture : {true, false}) {
    SCOPED_TRACE(capture);
    Rig rig({}, capture);
    test::WriteWav(rig.dir.Path("se.wav"), {440, 0.5, 44100, 2, 44100 / 5});
    rig.host.Sleep(100);
    AudioDevice& audio = rig.media.Audio();
    const int playback = audio.Play(audio.Open({rig.dir.Path("se.wav")}), 0, -1, false);
    ASSERT_NE(playback, 0);
    // 200 ms of sound from 100 ms: it ends at 300 ms, heard or not.
    rig.host.Sleep(199);
    EXPECT_TRUE(rig.MediaDone().empty());
    rig.host.Sleep(2);
    EXPECT_EQ(rig.MediaDone(), std::vector<int>{playback});
    if (!capture) {
      rig.host.Finish();
      EXPECT_FALSE(rig.dir.Exists("out.wav"));
      continue;
    }
    rig.host.Sleep(299);
    const auto samples = rig.Finish();
    ASSERT_EQ(samples.size(), 2u * 44100 * 600 / 1000);
    // Sample 4410 is virtual time 100 ms; the tone is sin(...), 0 at its first sample.
    EXPECT_EQ(Onset(samples), 4411u);
    EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 4410, 8820), 440, 3);
    EXPECT_EQ(test::Rms(samples.data() + 2 * (4410 + 8820 + 1), 44100 / 10), 0);
  }
}

// However a sound device pulls the mix (blocks of 1024 frames here, heard or not), the MIDI
// timer ticks when the mix has reached each millisecond: between frames, not between blocks.
TEST(HeadlessMedia, TimerTicksLandOnTheirOwnFramesWhateverThePullSize) {
  HostMediaHooks hooks;
  hooks.log = [](const std::string&) {};
  HostMedia media(hooks);
  struct Recorder : TimerClient {
    void OnTimerTick() override { frames.push_back(media->mixer().FramesDone()); }
    HostMedia* media = nullptr;
    std::vector<std::uint64_t> frames;
  } ticks;
  ticks.media = &media;
  auto timer = media.CreateTimer(ticks);
  timer->Start(1);
  std::vector<std::int16_t> out(1024 * 2);
  for (int i = 0; i < 3; ++i) media.Pull(out.data(), 1024);
  media.Pull(nullptr, 1024);
  // 4096 frames are 92.9 ms: a tick every 44 or 45 frames, the first at 1 ms.
  ASSERT_EQ(ticks.frames.size(), 92u);
  EXPECT_EQ(ticks.frames[0], 44u);
  for (std::size_t i = 1; i < ticks.frames.size(); ++i) {
    EXPECT_NEAR(ticks.frames[i] - ticks.frames[i - 1], 44.5, 0.5) << i;
  }
  EXPECT_EQ(timer->Now(), 92u);
}

TEST(HeadlessMedia, MidiNoteSoundsThroughTheSynthesizerAfterTheStartDelay) {
  constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";
  if (!std::ifstream(kSoundFont)) GTEST_SKIP() << "no " << kSoundFont;
  Rig rig;
  // A recorder's A: nearly a sine.
  auto seq = rig.Sequencer(
      kSoundFont,
      test::SmfTrack().Event(0, {0xC0, 74}).Event(0, {0x90, 69, 110}).Event(960, {0x80, 69, 0}));
  rig.host.Sleep(200);
  ASSERT_TRUE(seq->Play());
  rig.host.Sleep(1500);
  EXPECT_FALSE(seq->IsPlaying());
  const auto samples = rig.Finish();
  // Play at 200 ms, the note about 100 ms later.
  EXPECT_NEAR(Onset(samples) * 1000.0 / 44100, 300, 5);
  const std::int16_t* note = samples.data() + 2 * 44100 / 2;
  EXPECT_NEAR(test::ZeroCrossingHz(note, 8192), 440, 440 * 0.02);
  // After the end only the reverberation's last traces remain.
  EXPECT_LT(test::Rms(samples.data() + 2 * 44100 * 16 / 10, 2000), test::Rms(note, 2000) / 100);
}

TEST(HeadlessMedia, MissingSoundFontLeavesMidiSilentWithOneLogLine) {
  Rig rig;
  auto seq = rig.Sequencer(rig.dir.Path("none.sf2"),
                           test::SmfTrack().Event(0, {0x90, 69, 110}).Event(480, {0x80, 69, 0}));
  testing::internal::CaptureStderr();
  for (int round = 0; round < 2; ++round) {
    seq->Play();
    rig.host.Sleep(800);
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "adv: SoundFont " + rig.dir.Path("none.sf2") + " cannot be read; MIDI stays silent\n");
  const auto samples = rig.Finish();
  EXPECT_EQ(test::Rms(samples.data(), samples.size() / 2), 0);
}

// The movie's frames have their colours in a palette that comes with the first packet only: it
// must survive the rewind of Play and the repeat, or the picture comes out black.
TEST(HeadlessMedia, ScreenshotsShowTheMovieFrameOfTheirTimeAndItRepeats) {
  Rig rig({90, 350, 850, 1350, 2100});
  // One second: five red frames, then five blue, at 10 frames a second, with a tone.
  std::vector<std::uint32_t> colours(10, 0xFF0000);
  std::fill(colours.begin() + 5, colours.end(), 0x0000FF);
  ASSERT_TRUE(test::WriteMovie(rig.dir.Path("op.avi"), 64, 48, 10, 10, colours,
                               test::Tone{660, 0.5, 44100, 2, 44100}));
  test::WriteWav(rig.dir.Path("a.wav"), {});
  rig.dir.Write("junk.avi", std::string(3000, '\x13'));
  MovieDevice& movies = rig.media.Movies();
  EXPECT_EQ(movies.Open(rig.dir.Path("a.wav")), 0);  // no picture
  EXPECT_EQ(movies.Open(rig.dir.Path("junk.avi")), 0);
  rig.host.Sleep(100);
  const int movie = movies.Open(rig.dir.Path("op.avi"));
  ASSERT_NE(movie, 0);
  ASSERT_TRUE(movies.SetWindow(movie) && movies.FillWindow(movie) && movies.Play(movie, true));
  EXPECT_FALSE(movies.Stop(movie + 1));
  rig.host.Sleep(1900);
  ASSERT_TRUE(movies.Close(movie));
  rig.host.Sleep(200);
  const auto samples = rig.Finish();
  const std::pair<std::uint32_t, std::uint32_t> want[] = {
      {90, 0x000000}, {350, 0xFF0000}, {850, 0x0000FF}, {1350, 0xFF0000}, {2100, 0x000000}};
  for (auto [ms, colour] : want) {
    test::Picture shot;
    ASSERT_TRUE(test::ReadPng(rig.Shot(ms), shot));
    // The palette's colours go through the scaler, which may round a channel by one.
    EXPECT_EQ(shot.At(0, 0) | 0x0F0F0F, colour | 0x0F0F0F) << ms;
    EXPECT_EQ(shot.At(639, 479) | 0x0F0F0F, colour | 0x0F0F0F) << ms;
  }
  // The movie's sound is in the mix while it plays, and gone after it closed.
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 44100 * 3 / 10, 10000), 660, 5);
  EXPECT_EQ(test::Rms(samples.data() + 2 * 44100 * 21 / 10, 2000), 0);
}

}  // namespace
}  // namespace adv
