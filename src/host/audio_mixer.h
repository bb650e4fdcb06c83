// One mixer for everything audible: sounds, music, CD tracks, movie sound and the MIDI
// synthesizer play at once. Each voice has a buffer that is filled ahead from its source, and the
// render (the SDL audio callback, or the headless host's virtual clock) mixes only what those
// buffers hold: it never decodes, reads a file, seeks or allocates, so a slow disk or a Start in
// the interpreter cannot make the sound drop out.
//
// Locks (each member below says which one guards it):
// - mix_mutex_ guards the voices' bookkeeping: which voices there are, what their buffers hold,
//   which have ended. It is held only to copy ready samples and update counters, never across a
//   decode, a seek or an allocation, so the render waits for nobody for long.
// - fill_mutex_ is held by whoever reads or seeks sources: the fill thread, Start, Discard and
//   FillVoices. The render never takes it. Order: fill_mutex_ before mix_mutex_.
// - Render and Discard run on one thread at a time (the host sees to that); the render scratch
//   belongs to that thread.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "host/audio_source.h"

namespace adv {

// The two volumes a player sets: music (the synthesizer, MP3, CD tracks) and sounds (WAV files,
// movie sound).
enum class MixGroup { kMusic, kSound };

class AudioMixer {
 public:
  static constexpr std::uint64_t kToEnd = std::numeric_limits<std::uint64_t>::max();

  // kOnRender: buffers are filled at the start of each Render, on the caller's thread, so the
  // mix depends on nothing but the calls (the headless host). kAhead: a thread of the mixer's
  // own keeps them filled (a window's audio device).
  enum class Fill { kOnRender, kAhead };
  explicit AudioMixer(Fill fill = Fill::kOnRender);
  ~AudioMixer();
  AudioMixer(const AudioMixer&) = delete;
  AudioMixer& operator=(const AudioMixer&) = delete;

  // Plays source from frame `from` up to frame `to` (kToEnd: its end); with loop the range
  // repeats without a gap. Returns the voice's id, unique for the mixer's life; 0 when the
  // source cannot seek to `from`. The source is read only by the mixer from now on.
  int Start(std::shared_ptr<AudioSource> source, std::uint64_t from, std::uint64_t to, bool loop,
            MixGroup group = MixGroup::kSound);
  // A group's volume, 0 to 100 percent, applied as the voices are summed.
  void SetVolume(MixGroup group, int percent);
  // False when the voice is not playing (ended or stopped before).
  bool Stop(int voice);
  bool Playing(int voice) const;
  // The source frame a playing voice has reached in the mix: the next one to be heard.
  bool Position(int voice, std::uint64_t& frame) const;
  // The synthesizer: mixed by Render, skipped by Discard. Null removes it.
  void SetSynth(AudioSource* synth);

  // Mixes the next `frames` frames into out (interleaved stereo).
  void Render(std::int16_t* out, std::size_t frames);
  // Lets the next `frames` frames pass unheard: voices move on (so they end when they would),
  // the synthesizer is not run. Reads sources itself: never call it from an audio callback.
  void Discard(std::size_t frames);
  // Tops up every voice's buffer now.
  void FillVoices();
  // Voices that reached their end (not looping, not stopped) since the last call, in order.
  std::vector<int> TakeFinished();
  // Whether TakeFinished has something, and whether any voice plays (for the audio thread to
  // wake the interpreter's, and for a host without a device to know time must pass).
  bool HasFinished() const;
  bool HasVoices() const;
  std::uint64_t FramesDone() const;

 private:
  struct Chunk;
  struct Voice;
  // Fills free chunks of a voice, at most `chunks` of them.
  void FillVoice(Voice& voice, std::size_t chunks);
  // Decodes into one chunk; true when the voice has nothing after it.
  bool FillChunk(Voice& voice, Chunk& chunk);
  // Takes up to `frames` ready frames from a voice, added to mix unless it is null.
  void Take(Voice& voice, std::size_t frames, std::int32_t* mix);
  // Moves voices that are over out of voices_ (destroyed by the caller, outside the locks).
  std::vector<Voice> TakeDead();
  void FillLoop();

  const Fill fill_;
  mutable std::mutex fill_mutex_;
  mutable std::mutex mix_mutex_;
  std::condition_variable wake_filler_;  // with mix_mutex_
  // Guarded by mix_mutex_ for the render's view; entries are added and removed only with
  // fill_mutex_ held too, so the filler may walk them holding fill_mutex_ alone.
  std::vector<Voice> voices_;
  std::vector<int> finished_;      // guarded by mix_mutex_; reserved so the render never allocates
  AudioSource* synth_ = nullptr;   // guarded by mix_mutex_
  int next_id_ = 1;                // guarded by mix_mutex_
  int volume_[2] = {100, 100};     // guarded by mix_mutex_, by MixGroup
  std::uint64_t frames_done_ = 0;  // guarded by mix_mutex_
  bool quit_ = false;              // guarded by mix_mutex_
  // The render thread's own.
  std::vector<std::int16_t> scratch_;
  std::vector<std::int32_t> sum_;
  std::thread filler_;
};

}  // namespace adv
