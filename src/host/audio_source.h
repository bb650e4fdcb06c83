// Sound that the mixer pulls: 44,100 Hz, 16-bit, stereo, interleaved. Decoders, rows of track
// files and the synthesizer all look like this to the mixer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace adv {

inline constexpr int kMixRate = 44100;
inline constexpr int kMixChannels = 2;

inline std::uint64_t MsToFrames(std::int64_t ms) {
  return ms <= 0 ? 0 : static_cast<std::uint64_t>(ms) * kMixRate / 1000;
}
inline std::int64_t FramesToMs(std::uint64_t frames) {
  return static_cast<std::int64_t>(frames * 1000 / kMixRate);
}

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Writes up to `frames` frames to out and returns how many; fewer only at the end.
  virtual std::size_t Read(std::int16_t* out, std::size_t frames) = 0;
  // Moves to a frame counted from the start; false when the source cannot go there.
  [[nodiscard]] virtual bool Seek(std::uint64_t frame) = 0;
  // The frame the next Read starts at.
  virtual std::uint64_t Position() const = 0;
  // Length in frames as the file tells it; 0 when it does not.
  virtual std::uint64_t Length() const = 0;
};

}  // namespace adv
