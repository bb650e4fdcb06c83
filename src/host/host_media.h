// The media services both hosts share: one mixer, the sound device over it, the movie device and
// the FluidSynth port mixed in as one more source. The host supplies its clock, whether it has
// a window, its debug log and its kind of timer; it pulls the mix (SDL audio callback, or the
// virtual clock) and turns finished voices into HostEvent::kMediaDone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "host/audio_mixer.h"
#include "host/ffmpeg_movie_device.h"
#include "host/fluid_synth_port.h"
#include "host/media_host.h"
#include "host/mixer_audio_device.h"

namespace adv {

struct HostMediaHooks {
  std::function<std::uint32_t()> now;
  std::function<bool()> has_window;
  std::function<void(const std::string&)> log;
  TimerFactory make_timer;
};

class HostMedia : public MediaHost {
 public:
  explicit HostMedia(HostMediaHooks hooks);
  ~HostMedia() override;
  HostMedia(const HostMedia&) = delete;
  HostMedia& operator=(const HostMedia&) = delete;

  AudioDevice& Audio() override { return audio_; }
  MovieDevice& Movies() override { return movie_; }
  MidiPort& Midi() override { return synth_; }
  std::unique_ptr<PeriodicTimer> CreateTimer(TimerClient& client) override {
    return hooks_.make_timer(client);
  }
  void SetSoundFont(const std::string& native_path) override { synth_.SetSoundFont(native_path); }

  AudioMixer& mixer() { return mixer_; }
  FfmpegMovieDevice& movie() { return movie_; }
  FluidSynthPort& synth() { return synth_; }

 private:
  HostMediaHooks hooks_;
  AudioMixer mixer_;
  FluidSynthPort synth_;
  MixerAudioDevice audio_;
  FfmpegMovieDevice movie_;
};

}  // namespace adv
