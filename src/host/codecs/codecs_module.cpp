// libadv-codecs.so: FFmpeg's decoders behind the MediaCodecs interface (the synthesizer is in
// libadv-synth.so). The only exported entry is AdvMediaCodecs; everything else stays inside.
#include "host/codecs/ffmpeg_audio_source.h"
#include "host/codecs/ffmpeg_movie_frames.h"
#include "host/codecs/pin_module.h"
#include "host/media_codecs.h"

namespace adv {

namespace {

class FfmpegCodecs : public MediaCodecs {
 public:
  std::unique_ptr<AudioSource> OpenSound(const std::string& native_path) override {
    return FfmpegAudioSource::Open(native_path);
  }
  std::unique_ptr<MovieFrames> OpenMovie(const std::string& native_path, int width,
                                         int height) override {
    return FfmpegMovieFrames::Open(native_path, width, height);
  }
  std::unique_ptr<Synthesizer> CreateSynthesizer(Log) override { return nullptr; }
};

}  // namespace

}  // namespace adv

extern "C" __attribute__((visibility("default"))) adv::MediaCodecs* AdvMediaCodecs() {
  static const bool pinned = adv::PinModule(reinterpret_cast<void*>(&AdvMediaCodecs));
  (void)pinned;
  static adv::FfmpegCodecs codecs;
  return &codecs;
}
