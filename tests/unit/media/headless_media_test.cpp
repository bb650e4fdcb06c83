#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "host/codecs/ffmpeg_audio_source.h"
#include "host/headless/headless_host.h"
#include "host/host_media.h"
#include "media/midi_sequencer.h"
#include "support/media_files.h"
#include "support/smf_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// A headless host with a window and --debug, capturing its mix to out.wav.
struct Rig {
  Rig()
      : host([&] {
          HeadlessOptions o;
          o.audio_capture = dir.Path("out.wav");
          o.debug = true;
          return o;
        }()) {
    EXPECT_TRUE(host.CreateMainWindow("", false));
  }
  std::vector<std::int16_t> Finish() {  // the captured mix
    EXPECT_TRUE(host.Finish());
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

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// The first frame whose left sample is not silent.
std::size_t Onset(const std::vector<std::int16_t>& samples) {
  std::size_t i = 0;
  while (2 * i < samples.size() && samples[2 * i] == 0) ++i;
  return i;
}

TEST(HeadlessMedia, CaptureStartsAtVirtualTimeZeroAndSoundsEndOnTheirMillisecond) {
  Rig rig;
  test::WriteWav(rig.dir.Path("se.wav"), {440, 0.5, 44100, 2, 44100 / 5});
  rig.host.Sleep(100);
  AudioDevice& audio = rig.media.Audio();
  const int playback = audio.Play(audio.Open({rig.dir.Path("se.wav")}), 0, -1, false);
  ASSERT_NE(playback, 0);
  // 200 ms of sound from 100 ms: it ends at 300 ms.
  rig.host.Sleep(199);
  EXPECT_TRUE(rig.MediaDone().empty());
  rig.host.Sleep(2);
  EXPECT_EQ(rig.MediaDone(), std::vector<int>{playback});
  rig.host.Sleep(299);
  const auto samples = rig.Finish();
  ASSERT_EQ(samples.size(), 2u * 44100 * 600 / 1000);
  // Sample 4410 is virtual time 100 ms; the tone is sin(...), 0 at its first sample.
  EXPECT_EQ(Onset(samples), 4411u);
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 4410, 8820), 440, 3);
  EXPECT_EQ(test::Rms(samples.data() + 2 * (4410 + 8820 + 1), 44100 / 10), 0);
}

// The lowest and the highest pitch of single periods of the left channel, from the rising zero
// crossings (placed between samples): a vibrato widens the range.
std::pair<double, double> PitchRange(const std::int16_t* samples, std::size_t frames) {
  double lowest = 1e9, highest = 0, last = -1;
  for (std::size_t i = 1; i < frames; ++i) {
    const double a = samples[2 * (i - 1)], b = samples[2 * i];
    if (a >= 0 || b < 0) continue;
    const double at = static_cast<double>(i - 1) + a / (a - b);
    if (last >= 0) {
      lowest = std::min(lowest, 44100 / (at - last));
      highest = std::max(highest, 44100 / (at - last));
    }
    last = at;
  }
  return {lowest, highest};
}

// Sounds and music each follow their own volume; the first 100 ms play at full volume.
TEST(HeadlessMedia, VolumesScaleSoundsAndMusicApart) {
  Rig rig;
  test::WriteWav(rig.dir.Path("se.wav"), {440, 0.5, 44100, 2, 44100 / 10});
  const auto play = [&](AudioDevice& device) {
    ASSERT_NE(device.Play(device.Open({rig.dir.Path("se.wav")}), 0, -1, false), 0);
    // A sleep ends early where a voice ends; the frame loop would take the end and sleep on.
    for (const std::uint32_t until = rig.host.Now() + 100; rig.host.Now() < until;
         rig.MediaDone()) {
      rig.host.Sleep(until - rig.host.Now());
    }
  };
  play(rig.media.Audio());
  rig.media.SetVolumes(25, 50);
  play(rig.media.Audio());
  play(rig.media.MusicAudio());
  const auto samples = rig.Finish();
  ASSERT_EQ(samples.size(), 2u * 44100 * 3 / 10);
  const double full = test::Rms(samples.data(), 4410);
  EXPECT_GT(full, 10000);
  EXPECT_NEAR(test::Rms(samples.data() + 2 * 4410, 4410), full / 2, full / 100);
  EXPECT_NEAR(test::Rms(samples.data() + 4 * 4410, 4410), full / 4, full / 100);
}

TEST(HeadlessMedia, MidiNoteSoundsThroughTheSynthesizerAfterTheStartDelay) {
  if (!std::ifstream(kSoundFont)) GTEST_SKIP() << "no " << kSoundFont;
  Rig rig;
  // A recorder's A: nearly a sine; then bent up a semitone (LSB first: 0x3000 of 0x4000, with
  // the usual range of two semitones); then with full channel pressure, a vibrato.
  auto seq = rig.Sequencer(kSoundFont, test::SmfTrack()
                                           .Event(0, {0xC0, 74})
                                           .Event(0, {0x90, 69, 110})
                                           .Event(960, {0xE0, 0x00, 0x60})
                                           .Event(960, {0xE0, 0x00, 0x40})
                                           .Event(0, {0xD0, 127})
                                           .Event(960, {0x80, 69, 0}));
  rig.host.Sleep(200);
  ASSERT_TRUE(seq->Play());
  rig.host.Sleep(3500);
  const auto samples = rig.Finish();
  // Play at 200 ms, the note about 100 ms later.
  EXPECT_NEAR(Onset(samples) * 1000.0 / 44100, 300, 5);
  const auto at = [&](double s) {
    return samples.data() + 2 * static_cast<std::size_t>(44100 * s);
  };
  const std::int16_t* note = at(0.5);
  EXPECT_NEAR(test::ZeroCrossingHz(note, 8192), 440, 440 * 0.02);
  EXPECT_NEAR(test::ZeroCrossingHz(at(1.5), 8192), 466.2, 440 * 0.02);
  const auto [low, high] = PitchRange(note, 20000);
  const auto [vibrato_low, vibrato_high] = PitchRange(at(2.5), 20000);
  EXPECT_LT(high - low, 5);
  EXPECT_GT(vibrato_high - vibrato_low, 15);
  // After the end only the reverberation's last traces remain.
  EXPECT_LT(test::Rms(at(3.6), 2000), test::Rms(note, 2000) / 100);
}

TEST(HeadlessMedia, ChannelsGivenNoProgramPlayTheirResetInstruments) {
  if (!std::ifstream(kSoundFont)) GTEST_SKIP() << "no " << kSoundFont;
  Rig rig;
  // A snare on the drum channel, then a piano's A; a bank select alone changes no instrument.
  auto seq = rig.Sequencer(kSoundFont, test::SmfTrack()
                                           .Event(0, {0x99, 38, 110})
                                           .Event(0, {0xB0, 0, 1})
                                           .Event(240, {0x89, 38, 0})
                                           .Event(720, {0x90, 69, 110})
                                           .Event(960, {0x80, 69, 0}));
  rig.host.Sleep(200);
  ASSERT_TRUE(seq->Play());
  rig.host.Sleep(2500);
  const auto samples = rig.Finish();
  EXPECT_NEAR(Onset(samples) * 1000.0 / 44100, 300, 5);
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 44100 * 14 / 10, 8192), 440, 440 * 0.02);
}

// A missing SoundFont leaves MIDI silent, said once however often music plays; a device or a
// FIFO would block or never end, so the default SoundFont plays instead.
TEST(HeadlessMedia, SoundFontsThatCannotBeUsed) {
  const bool has_default = static_cast<bool>(std::ifstream("/usr/share/sounds/sf2/default-GM.sf2"));
  Rig probe;
  ASSERT_EQ(::mkfifo(probe.dir.Path("fifo.sf2").c_str(), 0600), 0);
  const std::string fallback = " is not a file of at most 2 GiB; using the default\n";
  const std::pair<std::string, std::string> cases[] = {
      {probe.dir.Path("none.sf2"), " cannot be read; MIDI stays silent\n"},
      {"/dev/zero", fallback},
      {probe.dir.Path("fifo.sf2"), fallback}};
  for (const auto& [path, log] : cases) {
    SCOPED_TRACE(path);
    const bool silent = log != fallback;
    if (!silent && !has_default) continue;
    Rig rig;
    testing::internal::CaptureStderr();
    auto seq =
        rig.Sequencer(path, test::SmfTrack().Event(0, {0x90, 69, 110}).Event(480, {0x80, 69, 0}));
    for (int round = 0; round < 2; ++round) {
      ASSERT_TRUE(seq->Play());
      rig.host.Sleep(800);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "adv: SoundFont " + path + log);
    const auto samples = rig.Finish();
    const double rms = test::Rms(samples.data(), samples.size() / 2);
    EXPECT_TRUE(silent ? rms == 0 : rms > 100) << rms;
  }
}

// A movie's sound is in the mix while it plays and gone once it closes; files without a picture
// open no movie. (Its frames on screen, repeats included, are compared by the window tests.)
TEST(HeadlessMedia, MovieSoundEndsWithTheMovie) {
  Rig rig;
  ASSERT_TRUE(test::WriteMovie(rig.dir.Path("op.avi"), 64, 48, 10, 10,
                               std::vector<std::uint32_t>(10, 0xFF0000),
                               test::Tone{660, 0.5, 44100, 2, 44100}));
  test::WriteWav(rig.dir.Path("a.wav"), {});
  rig.dir.Write("junk.avi", std::string(3000, '\x13'));
  MovieDevice& movies = rig.media.Movies();
  EXPECT_EQ(movies.Open(rig.dir.Path("a.wav")), 0);
  EXPECT_EQ(movies.Open(rig.dir.Path("junk.avi")), 0);
  const int movie = movies.Open(rig.dir.Path("op.avi"));
  ASSERT_TRUE(movie != 0 && movies.SetWindow(movie) && movies.Play(movie, true));
  rig.host.Sleep(500);
  ASSERT_TRUE(movies.Close(movie));
  rig.host.Sleep(300);
  const auto samples = rig.Finish();
  EXPECT_NEAR(test::ZeroCrossingHz(samples.data() + 2 * 4410, 10000), 660, 5);
  EXPECT_EQ(test::Rms(samples.data() + 2 * 44100 * 6 / 10, 2000), 0);
}

// A window's sound card keeps its own time, a little off the system clock, and a movie's sound
// is seldom exactly as long as its picture: the frames keep the sound's time, and sound and
// picture start each round together.
TEST(HeadlessMedia, MovieFramesKeepTheSoundsTimeThroughTenRepeats) {
  // Ten frames of their own colours at 10 a second: a second of picture.
  std::vector<std::uint32_t> colours;
  for (std::uint32_t i = 0; i < 10; ++i) colours.push_back(i * 25 << 16 | 0x80);
  for (std::int64_t sound : {44100 * 12 / 10, 44100 * 8 / 10}) {
    SCOPED_TRACE(sound);
    test::TempDir dir;
    ASSERT_TRUE(test::WriteMovie(dir.Path("op.avi"), 64, 48, 10, 10, colours,
                                 test::Tone{660, 0.5, 44100, 2, sound}));
    std::uint32_t clock = 0;
    HostMedia media({.now = [&] { return clock; },
                     .has_window = [] { return true; },
                     .log = [](const std::string&) {}});
    HostMovieDevice& movie = media.movie();
    const int id = movie.Open(dir.Path("op.avi"));
    ASSERT_TRUE(id != 0 && movie.SetWindow(id) && movie.Play(id, true));
    const std::uint64_t round = std::max<std::uint64_t>(sound, 44100);
    std::vector<std::int16_t> block(2 * 441);
    // The card plays 10 ms of sound in 10.3 ms of the clock; the eleventh round is checked.
    for (std::uint64_t heard = 441; heard <= 11 * round; heard += 441) {
      media.mixer().Render(block.data(), 441);
      clock = static_cast<std::uint32_t>(heard * 103 / 4410);
      movie.Update(clock);
      // A block that ends a round leaves the sound at that round's end and the next one's
      // start alike: either picture is right there.
      if (heard < 10 * round || heard % round == 0) continue;
      const std::uint64_t at = heard % round;
      const int want = static_cast<int>(std::min<std::uint64_t>(at * 10 / 44100, 9));
      const int shown = static_cast<int>(((movie.Frame()[0] >> 16 & 0xFF) + 12) / 25);
      EXPECT_LE(std::abs(shown - want), 1) << at;
    }
  }
}

}  // namespace
}  // namespace adv
