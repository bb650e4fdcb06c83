#include "host/sequence_source.h"

#include <algorithm>

namespace adv {

SequenceSource::SequenceSource(std::vector<std::unique_ptr<AudioSource>> parts)
    : parts_(std::move(parts)) {
  starts_.push_back(0);
  for (const auto& p : parts_) starts_.push_back(starts_.back() + (p ? p->Length() : 0));
}

std::size_t SequenceSource::Read(std::int16_t* out, std::size_t frames) {
  std::size_t done = 0;
  while (done < frames && current_ < parts_.size()) {
    AudioSource* part = parts_[current_].get();
    const std::size_t got =
        part != nullptr ? part->Read(out + done * kMixChannels, frames - done) : 0;
    done += got;
    if (got > 0) {
      // The part's own clock, so that a decoder's late start or a short file keeps the
      // timeline on the parts' starts.
      position_ = starts_[current_] + part->Position();
      if (done == frames) break;
    }
    // The part has ended: the next one starts from its beginning.
    ++current_;
    position_ = starts_[current_];
    if (current_ < parts_.size() && parts_[current_] && !parts_[current_]->Seek(0)) {
      ++current_;
      position_ = starts_[std::min(current_, parts_.size())];
    }
  }
  return done;
}

bool SequenceSource::Seek(std::uint64_t frame) {
  frame = std::min(frame, Length());
  // The last part whose start is at or before the frame, skipping parts of length 0.
  std::size_t part = 0;
  while (part + 1 < parts_.size() && starts_[part + 1] <= frame) ++part;
  if (part < parts_.size() && parts_[part] && !parts_[part]->Seek(frame - starts_[part])) {
    return false;
  }
  current_ = parts_.empty() ? 0 : part;
  position_ = frame;
  if (frame == Length()) current_ = parts_.size();
  return true;
}

}  // namespace adv
