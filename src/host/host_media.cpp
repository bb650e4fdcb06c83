#include "host/host_media.h"

#include <algorithm>

namespace adv {

HostMedia::HostMedia(HostMediaHooks hooks)
    : hooks_(std::move(hooks)),
      codecs_(hooks_.log),
      mixer_(hooks_.fill_ahead ? AudioMixer::Fill::kAhead : AudioMixer::Fill::kOnRender),
      synth_([this] { return codecs(); }, hooks_.log),
      audio_(
          mixer_, [this](const std::string& path) { return OpenSound(path); }, hooks_.log),
      music_audio_(
          mixer_, [this](const std::string& path) { return OpenSound(path); }, hooks_.log,
          MixGroup::kMusic),
      movie_(
          mixer_, [this] { return codecs(); }, hooks_.now, hooks_.has_window) {
  mixer_.SetSynth(&synth_);
}

std::unique_ptr<AudioSource> HostMedia::OpenSound(const std::string& path) {
  MediaCodecs* codecs = this->codecs();
  return codecs != nullptr ? codecs->OpenSound(path) : nullptr;
}

HostMedia::~HostMedia() {
  mixer_.SetSynth(nullptr);
}

void HostMedia::TakeDone(std::deque<HostEvent>& events) {
  for (int id : mixer_.TakeFinished()) {
    HostEvent done;
    done.type = HostEvent::Type::kMediaDone;
    done.media_id = id;
    events.push_back(done);
  }
}

void HostMedia::Pull(std::int16_t* out, std::size_t frames) {
  std::lock_guard lock(pull_mutex_);
  const std::uint64_t start = mixer_.FramesDone();
  const std::uint64_t end = start + frames;
  auto mix_to = [&](std::uint64_t frame) {
    const std::uint64_t done = mixer_.FramesDone();
    frame = std::min(frame, end);
    if (frame <= done) return;
    const auto n = static_cast<std::size_t>(frame - done);
    if (out != nullptr) {
      mixer_.Render(out + (done - start) * kMixChannels, n);
    } else {
      mixer_.Discard(n);
    }
  };
  // The last millisecond whose frame the mix reaches in this pull.
  const std::uint64_t last_ms = ((end + 1) * 1000 - 1) / kMixRate;
  clock_.AdvanceTo(static_cast<std::uint32_t>(last_ms), [&](std::uint32_t at) {
    clock_ms_ += static_cast<std::uint32_t>(at - static_cast<std::uint32_t>(clock_ms_));
    mix_to(clock_ms_ * kMixRate / 1000);
  });
  mix_to(end);
}

}  // namespace adv
