#include "host/host_media.h"

namespace adv {

HostMedia::HostMedia(HostMediaHooks hooks)
    : hooks_(std::move(hooks)),
      synth_(hooks_.log),
      audio_(mixer_),
      movie_(mixer_, hooks_.now, hooks_.has_window) {
  mixer_.SetSynth(&synth_);
}

HostMedia::~HostMedia() {
  mixer_.SetSynth(nullptr);
}

}  // namespace adv
