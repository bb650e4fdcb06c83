#include "host/audio_mixer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/wav_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// Frame i of the source has the value base + i on both channels.
class RampSource : public AudioSource {
 public:
  RampSource(std::int16_t base, std::uint64_t length) : base_(base), length_(length) {}
  std::size_t Read(std::int16_t* out, std::size_t frames) override {
    std::size_t n = 0;
    for (; n < frames && pos_ < length_; ++n, ++pos_) {
      out[2 * n] = out[2 * n + 1] = static_cast<std::int16_t>(base_ + pos_);
    }
    reads += n;
    return n;
  }
  bool Seek(std::uint64_t frame) override {
    if (frame > length_) return false;
    pos_ = frame;
    return true;
  }
  std::uint64_t Position() const override { return pos_; }
  std::uint64_t Length() const override { return length_; }
  std::uint64_t reads = 0;

 private:
  std::int16_t base_;
  std::uint64_t length_;
  std::uint64_t pos_ = 0;
};

std::vector<std::int16_t> Render(AudioMixer& mixer, std::size_t frames) {
  std::vector<std::int16_t> out(frames * 2, -1);
  mixer.Render(out.data(), frames);
  return out;
}

std::vector<std::int16_t> Left(const std::vector<std::int16_t>& stereo) {
  std::vector<std::int16_t> left;
  for (std::size_t i = 0; i < stereo.size(); i += 2) left.push_back(stereo[i]);
  return left;
}

TEST(AudioMixer, VoicesAddUpAndClip) {
  AudioMixer mixer;
  mixer.Start(std::make_shared<RampSource>(100, 10), 0, AudioMixer::kToEnd, false);
  mixer.Start(std::make_shared<RampSource>(1000, 3), 0, AudioMixer::kToEnd, false);
  mixer.Start(std::make_shared<RampSource>(32000, 2), 0, AudioMixer::kToEnd, false);
  mixer.Start(std::make_shared<RampSource>(32000, 1), 0, AudioMixer::kToEnd, false);
  EXPECT_EQ(Left(Render(mixer, 5)),
            (std::vector<std::int16_t>{32767, 32767, 1000 + 2 + 102, 103, 104}));
  EXPECT_EQ(mixer.TakeFinished().size(), 3u);
  EXPECT_EQ(Left(Render(mixer, 7)), (std::vector<std::int16_t>{105, 106, 107, 108, 109, 0, 0}));
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
      {4, AudioMixer::kToEnd, true, {4, 5, 4, 5, 4, 5, 4, 5}, false},
      {0, AudioMixer::kToEnd, false, {0, 1, 2, 3, 4, 5, 0, 0}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    AudioMixer mixer;
    const int id = mixer.Start(std::make_shared<RampSource>(0, 6), c.from, c.to, c.loop);
    ASSERT_NE(id, 0);
    EXPECT_EQ(Left(Render(mixer, 8)), c.want);
    EXPECT_EQ(mixer.TakeFinished(), c.finished ? std::vector<int>{id} : std::vector<int>{});
    EXPECT_EQ(mixer.Playing(id), !c.finished);
  }
}

TEST(AudioMixer, LoopOfNothingEndsInsteadOfSpinning) {
  AudioMixer mixer;
  const int id = mixer.Start(std::make_shared<RampSource>(0, 0), 0, AudioMixer::kToEnd, true);
  Render(mixer, 4);
  EXPECT_EQ(mixer.TakeFinished(), std::vector<int>{id});
}

TEST(AudioMixer, StoppedVoicesAreNotReportedAndIdsAreNotReused) {
  AudioMixer mixer;
  const int a = mixer.Start(std::make_shared<RampSource>(0, 4), 0, AudioMixer::kToEnd, false);
  EXPECT_TRUE(mixer.Stop(a));
  EXPECT_FALSE(mixer.Stop(a));
  const int b = mixer.Start(std::make_shared<RampSource>(0, 4), 0, AudioMixer::kToEnd, false);
  EXPECT_NE(a, b);
  EXPECT_EQ(mixer.Start(std::make_shared<RampSource>(0, 4), 9, AudioMixer::kToEnd, false), 0);
  Render(mixer, 8);
  EXPECT_EQ(mixer.TakeFinished(), std::vector<int>{b});
  EXPECT_TRUE(mixer.TakeFinished().empty());
}

TEST(AudioMixer, DiscardMovesVoicesOnButLeavesTheSynthesizerAlone) {
  AudioMixer mixer;
  RampSource synth(7, 1000000);
  mixer.SetSynth(&synth);
  auto voice = std::make_shared<RampSource>(0, 10000);
  const int id = mixer.Start(voice, 0, AudioMixer::kToEnd, false);
  mixer.Discard(9999);
  EXPECT_EQ(synth.reads, 0u);
  EXPECT_TRUE(mixer.Playing(id));
  EXPECT_EQ(Left(Render(mixer, 2)), (std::vector<std::int16_t>{9999 + 7, 7 + 1}));
  EXPECT_EQ(mixer.TakeFinished(), std::vector<int>{id});
  EXPECT_EQ(synth.reads, 2u);
}

TEST(WavWriter, HeaderSizesAndLittleEndianSamples) {
  test::TempDir dir;
  WavWriter wav;
  ASSERT_TRUE(wav.Open(dir.Path("out.wav")));
  const std::int16_t frames[] = {1, -2, 0x1234, -32768};
  wav.Write(frames, 2);
  wav.Write(frames, 1);
  ASSERT_TRUE(wav.Close());
  const std::string bytes = dir.Read("out.wav");
  ASSERT_EQ(bytes.size(), 44u + 12u);
  auto u32 = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return v;
  };
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(u32(4), 36u + 12u);
  EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
  EXPECT_EQ(u32(20) & 0xFFFF, 1u);  // PCM
  EXPECT_EQ(u32(20) >> 16, 2u);     // stereo
  EXPECT_EQ(u32(24), 44100u);
  EXPECT_EQ(u32(28), 44100u * 4);
  EXPECT_EQ(u32(32), 4u | (16u << 16));  // block align, bits
  EXPECT_EQ(bytes.substr(36, 4), "data");
  EXPECT_EQ(u32(40), 12u);
  EXPECT_EQ(bytes.substr(44, 8), std::string("\x01\x00\xFE\xFF\x34\x12\x00\x80", 8));
}

}  // namespace
}  // namespace adv
