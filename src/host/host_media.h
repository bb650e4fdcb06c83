// The media services both hosts share: one mixer, the sound device over it, the movie device and
// the synthesizer's port mixed in as one more source, all over the codecs module, which is
// loaded when something is first played. The host supplies its clock, whether it has
// a window, its debug log and its kind of timer; it pulls the mix (SDL audio callback, or the
// virtual clock) and turns finished voices into HostEvent::kMediaDone.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "host/audio_mixer.h"
#include "host/host.h"
#include "host/host_movie_device.h"
#include "host/media_codecs.h"
#include "host/media_host.h"
#include "host/mixer_audio_device.h"
#include "host/synth_port.h"

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
  AudioDevice& MusicAudio() override { return music_audio_; }
  void SetVolumes(int music, int sound) override {
    mixer_.SetVolume(MixGroup::kMusic, music);
    mixer_.SetVolume(MixGroup::kSound, sound);
  }
  MovieDevice& Movies() override { return movie_; }
  MidiPort& Midi() override { return synth_; }
  std::unique_ptr<PeriodicTimer> CreateTimer(TimerClient& client) override {
    return hooks_.make_timer(client);
  }
  void SetSoundFont(const std::string& native_path) override { synth_.SetSoundFont(native_path); }

  AudioMixer& mixer() { return mixer_; }
  // Appends a HostEvent::kMediaDone for each voice that ended since the last call, in the order
  // they ended: the one way the players of either host hear of an end.
  void TakeDone(std::deque<HostEvent>& events);
  // Whether anything can be heard now: a voice plays or the synthesizer's port is open. A
  // window's audio device pauses otherwise, so a quiet game wakes nobody.
  bool Audible() const { return mixer_.HasVoices() || synth_.IsOpen(); }
  HostMovieDevice& movie() { return movie_; }
  SynthPort& synth() { return synth_; }
  // The codecs, loaded now if they were not; null when the module is missing.
  MediaCodecs* codecs() { return codecs_.Get(); }

 private:
  std::unique_ptr<AudioSource> OpenSound(const std::string& path);

  HostMediaHooks hooks_;
  // First in, last out: what the codecs made (voices, the synthesizer) goes before the module.
  CodecsModule codecs_;
  AudioMixer mixer_;
  SynthPort synth_;
  MixerAudioDevice audio_;
  MixerAudioDevice music_audio_;
  HostMovieDevice movie_;
};

}  // namespace adv
