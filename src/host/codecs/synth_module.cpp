// libadv-synth.so: FluidSynth behind the MediaCodecs interface (its synthesizer only). The only
// exported entry is AdvSynthCodecs; everything else stays inside the module.
#include "host/codecs/fluid_synthesizer.h"
#include "host/codecs/pin_module.h"
#include "host/media_codecs.h"

namespace adv {

namespace {

class FluidCodecs : public MediaCodecs {
 public:
  std::unique_ptr<AudioSource> OpenSound(const std::string&) override { return nullptr; }
  std::unique_ptr<MovieFrames> OpenMovie(const std::string&, int, int) override { return nullptr; }
  std::unique_ptr<Synthesizer> CreateSynthesizer(Log log) override {
    return std::make_unique<FluidSynthesizer>(std::move(log));
  }
};

}  // namespace

}  // namespace adv

extern "C" __attribute__((visibility("default"))) adv::MediaCodecs* AdvSynthCodecs() {
  static const bool pinned = adv::PinModule(reinterpret_cast<void*>(&AdvSynthCodecs));
  (void)pinned;
  static adv::FluidCodecs codecs;
  return &codecs;
}
