#include "host/host_media.h"

namespace adv {

HostMedia::HostMedia(HostMediaHooks hooks)
    : hooks_(std::move(hooks)),
      codecs_(hooks_.log),
      synth_([this] { return codecs(); }, hooks_.log),
      audio_(
          mixer_,
          [this](const std::string& path) -> std::unique_ptr<AudioSource> {
            MediaCodecs* codecs = this->codecs();
            return codecs != nullptr ? codecs->OpenSound(path) : nullptr;
          },
          hooks_.log),
      movie_(
          mixer_, [this] { return codecs(); }, hooks_.now, hooks_.has_window) {
  mixer_.SetSynth(&synth_);
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
