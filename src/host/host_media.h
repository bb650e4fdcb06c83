// The media services both hosts share: one mixer, the sound device over it, the movie device and
// the synthesizer's port mixed in as one more source, all over the codecs module, which is
// loaded when something is first played. The host supplies its clock, whether it has a window
// and its debug log; it pulls the mix through Pull (SDL audio callback, a wall-clock thread when
// there is no sound device, or the headless virtual clock) and turns finished voices into
// HostEvent::kMediaDone. The MIDI sequencer's timer runs on the mix: its milliseconds are the
// mix's, and each tick comes when the mix has reached that millisecond's frame, so every MIDI
// message takes effect at its own sample.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

#include "host/audio_mixer.h"
#include "host/host.h"
#include "host/host_movie_device.h"
#include "host/media_codecs.h"
#include "host/media_host.h"
#include "host/mixer_audio_device.h"
#include "host/synth_port.h"
#include "host/virtual_timer.h"

namespace adv {

struct HostMediaHooks {
  std::function<std::uint32_t()> now;
  std::function<bool()> has_window;
  std::function<void(const std::string&)> log;
  // Whether a thread keeps the voices' buffers filled (a real sound device), or each render
  // fills them first (repeatable runs).
  bool fill_ahead = false;
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
    return clock_.Create(client);
  }
  void SetSoundFont(const std::string& native_path) override { synth_.SetSoundFont(native_path); }

  AudioMixer& mixer() { return mixer_; }
  // Appends a HostEvent::kMediaDone for each voice that ended since the last call, in the order
  // they ended: the one way the players of either host hear of an end.
  void TakeDone(std::deque<HostEvent>& events);
  // Moves the mix on by `frames` frames, into out (interleaved stereo) or unheard when out is
  // null, delivering on the way each timer tick at its own frame: millisecond m of the timers'
  // clock is frame m * 44100 / 1000 of the mix. One caller at a time is served.
  void Pull(std::int16_t* out, std::size_t frames);
  bool TimersRunning() const { return clock_.AnyRunning(); }
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
  // The timers the mix drives, and where the mix's clock stands without the 32-bit wrap.
  VirtualTimers clock_;
  std::mutex pull_mutex_;
  std::uint64_t clock_ms_ = 0;  // guarded by pull_mutex_
  MixerAudioDevice audio_;
  MixerAudioDevice music_audio_;
  HostMovieDevice movie_;
};

}  // namespace adv
