#include "host/host_media.h"

namespace adv {

HostMedia::HostMedia(HostMediaHooks hooks)
    : hooks_(std::move(hooks)),
      codecs_(hooks_.log),
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

}  // namespace adv
