// Several sources played back to back as one timeline: the track files of a ripped CD make one
// disc, on which a range may run across tracks. A missing part has length 0.
#pragma once

#include <memory>
#include <vector>

#include "host/audio_source.h"

namespace adv {

class SequenceSource : public AudioSource {
 public:
  // Null parts stand for tracks without a file.
  explicit SequenceSource(std::vector<std::unique_ptr<AudioSource>> parts);

  std::size_t Read(std::int16_t* out, std::size_t frames) override;
  [[nodiscard]] bool Seek(std::uint64_t frame) override;
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Length() const override { return starts_.back(); }

  std::size_t PartCount() const { return parts_.size(); }
  std::uint64_t PartStart(std::size_t part) const { return starts_[part]; }
  std::uint64_t PartLength(std::size_t part) const { return starts_[part + 1] - starts_[part]; }

 private:
  std::vector<std::unique_ptr<AudioSource>> parts_;
  std::vector<std::uint64_t> starts_;  // one more than parts: the last is the whole length
  std::size_t current_ = 0;
  std::uint64_t position_ = 0;
};

}  // namespace adv
