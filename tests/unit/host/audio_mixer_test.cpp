#include "host/audio_mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "host/wav_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

constexpr auto kToEnd = AudioMixer::kToEnd;

// Frame i of the source has the value base + i on both channels.
struct RampSource : AudioSource {
  RampSource(std::int16_t base, std::uint64_t length) : base(base), length(length) {}
  std::size_t Read(std::int16_t* out, std::size_t frames) override {
    std::size_t n = 0;
    for (; n < frames && pos < length; ++n, ++pos) {
      out[2 * n] = out[2 * n + 1] = static_cast<std::int16_t>(base + pos);
    }
    return n;
  }
  bool Seek(std::uint64_t frame) override {
    if (frame > length) return false;
    pos = frame;
    return true;
  }
  std::uint64_t Position() const override { return pos; }
  std::uint64_t Length() const override { return length; }
  std::int16_t base;
  std::uint64_t length, pos = 0;
};

int Start(AudioMixer& mixer, std::int16_t base, std::uint64_t length, std::uint64_t from = 0,
          std::uint64_t to = kToEnd, bool loop = false) {
  return mixer.Start(std::make_shared<RampSource>(base, length), from, to, loop);
}

// The left channel of the next frames.
std::vector<std::int16_t> Left(AudioMixer& mixer, std::size_t frames) {
  std::vector<std::int16_t> out(frames * 2, -1), left;
  mixer.Render(out.data(), frames);
  for (std::size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
  return left;
}

TEST(AudioMixer, VoicesAddUpAndClip) {
  AudioMixer mixer;
  Start(mixer, 100, 10);
  Start(mixer, 1000, 3);
  Start(mixer, 32000, 2);
  Start(mixer, 32000, 1);
  EXPECT_EQ(Left(mixer, 5), (std::vector<std::int16_t>{32767, 32767, 1000 + 2 + 102, 103, 104}));
  EXPECT_EQ(mixer.TakeFinished().size(), 3u);
  EXPECT_EQ(Left(mixer, 7), (std::vector<std::int16_t>{105, 106, 107, 108, 109, 0, 0}));
  EXPECT_EQ(mixer.TakeFinished().size(), 1u);
  EXPECT_EQ(mixer.FramesDone(), 12u);
}

TEST(AudioMixer, RangesAndSeamlessLoops) {
  const struct {
    std::uint64_t from, to;
    bool loop;
    std::vector<std::int16_t> want;
    bool finished;
  } cases[] = {
      {2, 5, false, {2, 3, 4, 0, 0, 0, 0, 0}, true},
      {2, 5, true, {2, 3, 4, 2, 3, 4, 2, 3}, false},
      {4, kToEnd, true, {4, 5, 4, 5, 4, 5, 4, 5}, false},
      {0, kToEnd, false, {0, 1, 2, 3, 4, 5, 0, 0}, true},
      {6, kToEnd, true, {0, 0, 0, 0, 0, 0, 0, 0}, true},  // a loop of nothing ends, not spins
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    AudioMixer mixer;
    const int id = Start(mixer, 0, 6, c.from, c.to, c.loop);
    ASSERT_NE(id, 0);
    EXPECT_EQ(Left(mixer, 8), c.want);
    EXPECT_EQ(mixer.TakeFinished(), c.finished ? std::vector<int>{id} : std::vector<int>{});
    EXPECT_EQ(mixer.Playing(id), !c.finished);
    EXPECT_EQ(Start(mixer, 0, 6, 7), 0);  // cannot seek there
  }
}

// The audio thread renders without pause while the interpreter's thread seeks and restarts one
// source, as a sound device replaying a file does. Run under ThreadSanitizer by scripts/run-tsan.
// Whatever the fill thread managed, every frame heard is the next one of the voice then playing:
// a run of the ramp from that voice's start, with nothing skipped or repeated.
TEST(AudioMixer, FillThreadFeedsTheRenderWhileVoicesAreRestarted) {
  AudioMixer mixer(AudioMixer::Fill::kAhead);
  auto source = std::make_shared<RampSource>(1, 30000);
  std::atomic<bool> done{false};
  std::vector<std::int16_t> heard;
  std::thread audio([&] {
    std::vector<std::int16_t> out(512 * 2);
    while (!done) {
      mixer.Render(out.data(), 512);
      for (std::size_t i = 0; i < out.size(); i += 2) {
        if (out[i] != 0) heard.push_back(out[i]);
      }
    }
  });
  int voice = 0;
  for (int round = 0; round < 20; ++round) {
    mixer.Stop(voice);
    voice = mixer.Start(source, round * 100, round * 100 + 20000, false);
    ASSERT_NE(voice, 0);
    std::uint64_t at = round * 100;
    mixer.Position(voice, at);
    EXPECT_LE(at - round * 100, 20000u);
    std::this_thread::sleep_for(std::chrono::milliseconds(round % 3));
  }
  while (mixer.Playing(voice)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  done = true;
  audio.join();
  EXPECT_EQ(mixer.TakeFinished().back(), voice);
  ASSERT_FALSE(heard.empty());
  EXPECT_EQ((heard[0] - 1) % 100, 0);
  std::size_t last_run = 0;
  for (std::size_t i = 1; i < heard.size(); ++i) {
    if (heard[i] == heard[i - 1] + 1) continue;
    EXPECT_EQ((heard[i] - 1) % 100, 0) << "a jump to " << heard[i] << " where no voice starts";
    last_run = i;
  }
  // The last voice is heard whole.
  EXPECT_EQ(heard[last_run], 1901);
  EXPECT_EQ(heard.back(), 21900);
}

TEST(WavWriter, HeaderSizesAndLittleEndianSamples) {
  test::TempDir dir;
  WavWriter wav;
  ASSERT_TRUE(wav.Open(dir.Path("out.wav")));
  const std::int16_t frames[] = {1, -2, 0x1234, -32768};
  ASSERT_TRUE(wav.Write(frames, 2));
  ASSERT_TRUE(wav.Write(frames, 1));
  ASSERT_TRUE(wav.Close());
  // PCM, stereo, 44,100 Hz, 176,400 bytes a second, 4 bytes a frame, 16 bits; 12 bytes of data.
  const char want[] =
      "RIFF\x30\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xAC\0\0\x10\xB1\x02\0\x04\0\x10\0"
      "data\x0C\0\0\0\x01\x00\xFE\xFF\x34\x12\x00\x80\x01\x00\xFE\xFF";
  EXPECT_EQ(dir.Read("out.wav"), std::string(want, sizeof want - 1));
}

}  // namespace
}  // namespace adv
