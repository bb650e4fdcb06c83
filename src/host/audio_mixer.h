// One mixer for everything audible: sounds, music, CD tracks, movie sound and the MIDI
// synthesizer play at once. Voices are added and stopped from the interpreter thread and mixed
// on the audio thread (the SDL callback) or on the headless host's virtual clock, so every call
// takes the one lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <vector>

#include "host/audio_source.h"

namespace adv {

// The two volumes a player sets: music (the synthesizer, MP3, CD tracks) and sounds (WAV files,
// movie sound).
enum class MixGroup { kMusic, kSound };

class AudioMixer {
 public:
  static constexpr std::uint64_t kToEnd = std::numeric_limits<std::uint64_t>::max();

  // Plays source from frame `from` up to frame `to` (kToEnd: its end); with loop the range
  // repeats without a gap. Returns the voice's id, unique for the mixer's life; 0 when the
  // source cannot seek to `from`.
  int Start(std::shared_ptr<AudioSource> source, std::uint64_t from, std::uint64_t to, bool loop,
            MixGroup group = MixGroup::kSound);
  // A group's volume, 0 to 100 percent, applied as the voices are summed.
  void SetVolume(MixGroup group, int percent);
  // False when the voice is not playing (ended or stopped before).
  bool Stop(int voice);
  bool Playing(int voice) const;
  // Where a playing voice's source stands (read under the lock the audio thread holds).
  bool Position(int voice, std::uint64_t& frame) const;
  // The synthesizer: mixed by Render, skipped by Discard. Null removes it.
  void SetSynth(AudioSource* synth);

  // Mixes the next `frames` frames into out (interleaved stereo).
  void Render(std::int16_t* out, std::size_t frames);
  // Lets the next `frames` frames pass unheard: voices move on (so they end when they would),
  // the synthesizer is not run.
  void Discard(std::size_t frames);
  // Voices that reached their end (not looping, not stopped) since the last call, in order.
  std::vector<int> TakeFinished();
  // Whether TakeFinished has something, and whether any voice plays (for the audio thread to
  // wake the interpreter's, and for a host without a device to know time must pass).
  bool HasFinished() const;
  bool HasVoices() const;
  std::uint64_t FramesDone() const;

 private:
  struct Voice {
    int id = 0;
    std::shared_ptr<AudioSource> source;
    std::uint64_t from = 0;
    std::uint64_t to = kToEnd;
    bool loop = false;
    MixGroup group = MixGroup::kSound;
  };
  // Pulls frames from a voice into scratch_; false when it has ended.
  bool Pull(Voice& voice, std::size_t frames, std::int32_t* mix);
  int Volume(MixGroup group) const { return volume_[static_cast<int>(group)]; }

  mutable std::mutex mutex_;
  std::vector<Voice> voices_;
  std::vector<int> finished_;
  std::vector<std::int16_t> scratch_;
  std::vector<std::int32_t> sum_;
  AudioSource* synth_ = nullptr;
  int volume_[2] = {100, 100};
  int next_id_ = 1;
  std::uint64_t frames_done_ = 0;
};

}  // namespace adv
