// libadv-codecs.so: FFmpeg's decoders and FluidSynth behind the MediaCodecs interface. The only
// exported entry is AdvMediaCodecs; everything else stays inside the module.
#include "host/codecs/ffmpeg_audio_source.h"
#include "host/codecs/ffmpeg_movie_frames.h"
#include "host/codecs/fluid_synthesizer.h"
#include "host/media_codecs.h"

namespace adv {

namespace {

class FfmpegFluidCodecs : public MediaCodecs {
 public:
  std::unique_ptr<AudioSource> OpenSound(const std::string& native_path) override {
    return FfmpegAudioSource::Open(native_path);
  }
  std::unique_ptr<MovieFrames> OpenMovie(const std::string& native_path, int width,
                                         int height) override {
    return FfmpegMovieFrames::Open(native_path, width, height);
  }
  std::unique_ptr<Synthesizer> CreateSynthesizer(Log log) override {
    return std::make_unique<FluidSynthesizer>(std::move(log));
  }
};

}  // namespace

}  // namespace adv

extern "C" __attribute__((visibility("default"))) adv::MediaCodecs* AdvMediaCodecs() {
  static adv::FfmpegFluidCodecs codecs;
  return &codecs;
}
