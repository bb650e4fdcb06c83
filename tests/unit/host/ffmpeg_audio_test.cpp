#include <gtest/gtest.h>

#include <cmath>

#include "host/audio_mixer.h"
#include "host/codecs/ffmpeg_audio_source.h"
#include "host/mixer_audio_device.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::Tone;

std::vector<std::int16_t> ReadFrames(AudioSource& s, std::size_t frames) {
  std::vector<std::int16_t> out(frames * 2);
  out.resize(s.Read(out.data(), frames) * 2);
  return out;
}

TEST(FfmpegAudioSource, DecodesEveryFormatToTheMixFormat) {
  test::TempDir dir;
  const struct {
    const char* name;
    Tone tone;
    double length_tolerance_ms;
  } cases[] = {
      {"tone.wav", {440, 0.5, 44100, 2, 44100}, 1},
      {"mono22k.wav", {440, 0.5, 22050, 1, 22050}, 1},
      {"tone.mp3", {440, 0.5, 44100, 2, 44100}, 60},
      {"tone.ogg", {440, 0.5, 48000, 2, 48000}, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.Path(c.name);
    ASSERT_TRUE(path.ends_with(".wav") ? test::WriteWav(path, c.tone)
                                       : test::EncodeAudio(path, c.tone));
    auto source = FfmpegAudioSource::Open(path);
    ASSERT_TRUE(source);
    // A second at 44,100 Hz whatever the file's own rate, at the tone's pitch and loudness.
    const double tolerance = c.length_tolerance_ms * 44.1 + 1;
    EXPECT_NEAR(static_cast<double>(source->Length()), 44100.0, tolerance);
    std::vector<std::int16_t> all = ReadFrames(*source, 3 * 44100);
    EXPECT_NEAR(static_cast<double>(all.size() / 2), 44100.0, tolerance);
    ASSERT_GT(all.size(), 2u * 30000);
    const std::int16_t* middle = all.data() + 2 * 10000;
    EXPECT_NEAR(test::ZeroCrossingHz(middle, 8000), 440.0, 5.0);
    EXPECT_NEAR(test::Rms(middle, 20000), 0.5 * 32767 / std::sqrt(2.0), 1500);
    EXPECT_EQ(middle[0], middle[1]);  // mono is spread over both channels
  }
}

// MP3 frames carry their own channel mode, so a file may switch from stereo to mono midway; the
// decoder then rewrites its own format, and the resampler must follow the frames, not it.
TEST(FfmpegAudioSource, FollowsAStreamThatTurnsMonoMidway) {
  test::TempDir dir;
  ASSERT_TRUE(test::EncodeAudio(dir.Path("stereo.mp3"), {440, 0.5, 44100, 2, 22050}));
  ASSERT_TRUE(test::EncodeAudio(dir.Path("mono.mp3"), {440, 0.5, 44100, 1, 22050}));
  dir.Write("both.mp3", dir.Read("stereo.mp3") + dir.Read("mono.mp3"));
  auto source = FfmpegAudioSource::Open(dir.Path("both.mp3"));
  ASSERT_TRUE(source);
  std::vector<std::int16_t> all = ReadFrames(*source, 3 * 44100);
  ASSERT_GT(all.size(), 2u * 40000);
  const std::int16_t* mono_part = all.data() + 2 * 30000;
  EXPECT_NEAR(test::ZeroCrossingHz(mono_part, 8000), 440.0, 5.0);
  EXPECT_NEAR(test::Rms(mono_part, 8000), 0.5 * 32767 / std::sqrt(2.0), 1500);
  EXPECT_EQ(mono_part[0], mono_part[1]);
}

TEST(FfmpegAudioSource, RefusesWhatIsNotSound) {
  test::TempDir dir;
  dir.Write("junk.mp3", std::string(5000, '\x55'));
  dir.Write("empty.ogg", "");
  test::WriteMovie(dir.Path("silent.avi"), 16, 16, 10, 3, {0xFF0000}, Tone{0, 0, 44100, 2, 0});
  // Damaged headers: rates no sound has, which would make the resampler's filter enormous.
  test::WriteWav(dir.Path("fast.wav"), {440, 0.5, 1627389988, 2, 100});
  test::WriteWav(dir.Path("slow.wav"), {440, 0.5, 3, 2, 100});
  // Lists naming a sound beside them: following them could read anywhere.
  test::WriteWav(dir.Path("tone.wav"), {440, 0.5, 44100, 2, 44100});
  dir.Write("list.wav", "ffconcat version 1.0\nfile tone.wav\n");
  ASSERT_TRUE(test::EncodeAudio(dir.Path("tone.mp3"), {440, 0.5, 44100, 2, 44100}));
  dir.Write("list.m3u8",
            "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXT-X-MEDIA-SEQUENCE:0\n"
            "#EXTINF:1.0,\ntone.mp3\n#EXT-X-ENDLIST\n");
  for (const char* name : {"junk.mp3", "empty.ogg", "silent.avi", "missing.wav", "fast.wav",
                           "slow.wav", "list.wav", "list.m3u8"}) {
    EXPECT_FALSE(FfmpegAudioSource::Open(dir.Path(name))) << name;
  }
}

TEST(MixerAudioDevice, StatusRangesAndEndNotifications) {
  test::TempDir dir;
  test::WriteWav(dir.Path("t1.wav"), {440, 0.5, 44100, 2, 44100});
  test::WriteWav(dir.Path("t2.wav"), {880, 0.5, 44100, 2, 22050});
  dir.Write("bad.ogg", std::string(500, 'x'));
  AudioMixer mixer;
  std::vector<std::string> log;
  MixerAudioDevice device(
      mixer,
      [](const std::string& path) -> std::unique_ptr<AudioSource> {
        return FfmpegAudioSource::Open(path);
      },
      [&](const std::string& line) { log.push_back(line); });
  // One file that does not play is nothing to play; on a disc it is a track of length 0, named
  // in the log once.
  EXPECT_EQ(device.Open({dir.Path("missing.wav")}), 0);
  EXPECT_EQ(device.Open({"", dir.Path("bad.ogg")}), 0);
  EXPECT_TRUE(device.Close(device.Open({dir.Path("t1.wav"), dir.Path("bad.ogg")})));
  const int disc = device.Open({dir.Path("t1.wav"), dir.Path("bad.ogg"), "", dir.Path("t2.wav")});
  ASSERT_NE(disc, 0);
  EXPECT_EQ(log, std::vector<std::string>{"adv: " + dir.Path("bad.ogg") +
                                          " cannot be played; it is a track of length 0"});
  std::int64_t v = 0;
  auto status = [&](AudioStatus item, int part = 0) {
    EXPECT_TRUE(device.Status(disc, item, part, v));
    return v;
  };
  EXPECT_EQ(status(AudioStatus::kLength), 1500);
  EXPECT_EQ(status(AudioStatus::kParts), 4);
  EXPECT_EQ(status(AudioStatus::kPartLength, 1) + status(AudioStatus::kPartLength, 2), 0);
  EXPECT_EQ(status(AudioStatus::kPartStart, 3), 1000);
  EXPECT_EQ(status(AudioStatus::kPartLength, 3), 500);
  EXPECT_FALSE(device.Status(disc, AudioStatus::kPartStart, 4, v));
  EXPECT_EQ(device.Play(disc, 1600, -1, false), 0);  // past the end
  EXPECT_EQ(device.Play(disc, 500, 100, false), 0);  // backwards
  // From 100 ms before the end of the first track to the end of the disc: the tracks play back
  // to back, those without a file or a sound taking no time.
  const int playback = device.Play(disc, 900, -1, false);
  ASSERT_NE(playback, 0);
  std::vector<std::int16_t> out(2 * 8820);
  mixer.Render(out.data(), 8820);
  EXPECT_NEAR(test::ZeroCrossingHz(out.data(), 4410), 440, 5);
  EXPECT_NEAR(test::ZeroCrossingHz(out.data() + 2 * 4410, 4410), 880, 5);
  EXPECT_EQ(status(AudioStatus::kPosition), 1100);
  // The end of the file is seen when a read finds nothing more.
  mixer.Discard(17640);
  EXPECT_TRUE(device.IsPlaying(disc));
  mixer.Discard(1);
  EXPECT_EQ(mixer.TakeFinished(), std::vector<int>{playback});
  EXPECT_FALSE(device.IsPlaying(disc));
  EXPECT_EQ(status(AudioStatus::kPosition), 1500);
  // A stopped playback keeps its position and is not reported.
  const int again = device.Play(disc, 0, 1000, true);
  mixer.Discard(4410);
  EXPECT_TRUE(device.Stop(disc));
  EXPECT_EQ(status(AudioStatus::kPosition), 100);
  mixer.Discard(44100);
  EXPECT_TRUE(mixer.TakeFinished().empty());
  EXPECT_FALSE(mixer.Playing(again));
  EXPECT_NE(again, playback);
  EXPECT_TRUE(device.Close(disc));
  EXPECT_FALSE(device.Close(disc));
}

}  // namespace
}  // namespace adv
