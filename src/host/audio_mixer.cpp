#include "host/audio_mixer.h"

#include <algorithm>
#include <chrono>

namespace adv {

namespace {
// The render goes in blocks of at most this many frames, so its scratch is allocated once.
constexpr std::size_t kBlock = 4096;
// A voice's buffer: 16 chunks of 1024 frames, about 370 ms, 64 KiB. The fill thread comes by
// every kFillPeriod, well within that, and a voice's first chunks are decoded by Start itself.
constexpr std::size_t kChunkFrames = 1024;
constexpr std::size_t kChunks = 16;
constexpr std::size_t kStartChunks = 4;
constexpr auto kFillPeriod = std::chrono::milliseconds(50);
constexpr std::size_t kNoWrap = static_cast<std::size_t>(-1);
}  // namespace

struct AudioMixer::Chunk {
  std::int16_t samples[kChunkFrames * kMixChannels];
  std::uint64_t at = 0;  // the source frame of samples[0]
  std::size_t frames = 0;
  // Where a loop went back to its start inside the chunk, and the loop's length then; later
  // restarts in the same chunk (loops shorter than a chunk) are counted by that length.
  std::size_t wrap = kNoWrap;
  std::uint64_t loop_length = 1;
};

struct AudioMixer::Voice {
  int id = 0;
  // Set before the voice is shared; source is read and seeked only with fill_mutex_ held.
  std::shared_ptr<AudioSource> source;
  std::uint64_t from = 0;
  std::uint64_t to = kToEnd;
  bool loop = false;
  MixGroup group = MixGroup::kSound;
  bool restarted = false;    // fill_mutex_: a loop that yields nothing after a restart ends
  bool range_ended = false;  // fill_mutex_: the end came at `to`, not at the source's end
  std::unique_ptr<Chunk[]> chunks;
  // Guarded by mix_mutex_. Chunks head .. head + count - 1 (modulo kChunks) are ready; the
  // filler writes only the one after them, the render reads only those.
  std::size_t head = 0;
  std::size_t count = 0;
  std::size_t offset = 0;     // frames of the head chunk already mixed
  std::uint64_t next_at = 0;  // where the source stands after the ready chunks
  bool ended = false;         // the source has nothing after the ready chunks
  bool ended_at_range = false;
  bool stopped = false;
  bool finished = false;  // ended and mixed to its last frame
  bool Live() const { return !stopped && !finished; }
};

AudioMixer::AudioMixer(Fill fill)
    : fill_(fill), scratch_(kBlock * kMixChannels), sum_(kBlock * kMixChannels) {
  if (fill_ == Fill::kAhead) filler_ = std::thread([this] { FillLoop(); });
}

AudioMixer::~AudioMixer() {
  {
    std::lock_guard lock(mix_mutex_);
    quit_ = true;
  }
  wake_filler_.notify_all();
  if (filler_.joinable()) filler_.join();
}

int AudioMixer::Start(std::shared_ptr<AudioSource> source, std::uint64_t from, std::uint64_t to,
                      bool loop, MixGroup group) {
  if (!source) return 0;
  std::vector<Voice> dead;
  int id = 0;
  {
    std::lock_guard fill(fill_mutex_);
    if (!source->Seek(from)) return 0;
    Voice v;
    v.source = std::move(source);
    v.from = from;
    v.to = to;
    v.loop = loop;
    v.group = group;
    v.next_at = from;
    v.chunks = std::make_unique<Chunk[]>(kChunks);
    // The first chunks now, on the caller's thread, so the voice is heard from the next render.
    FillVoice(v, kStartChunks);
    std::lock_guard mix(mix_mutex_);
    dead = TakeDead();
    v.id = id = next_id_++;
    voices_.push_back(std::move(v));
    // Each voice finishes at most once: the render's push_back never has to grow the vector.
    finished_.reserve(finished_.size() + voices_.size());
  }
  wake_filler_.notify_one();
  return id;
}

void AudioMixer::SetVolume(MixGroup group, int percent) {
  std::lock_guard lock(mix_mutex_);
  volume_[static_cast<int>(group)] = std::clamp(percent, 0, 100);
}

bool AudioMixer::Stop(int voice) {
  {
    std::lock_guard lock(mix_mutex_);
    auto it = std::find_if(voices_.begin(), voices_.end(),
                           [&](const Voice& v) { return v.id == voice && v.Live(); });
    if (it == voices_.end()) return false;
    it->stopped = true;  // silent from now on
  }
  // The fill thread lets go of the source (and its file) soon rather than at the next Start.
  wake_filler_.notify_one();
  return true;
}

bool AudioMixer::Playing(int voice) const {
  std::lock_guard lock(mix_mutex_);
  return std::any_of(voices_.begin(), voices_.end(),
                     [&](const Voice& v) { return v.id == voice && v.Live(); });
}

bool AudioMixer::Position(int voice, std::uint64_t& frame) const {
  std::lock_guard lock(mix_mutex_);
  for (const Voice& v : voices_) {
    if (v.id != voice || !v.Live()) continue;
    if (v.count == 0) {
      frame = v.next_at;
    } else {
      const Chunk& c = v.chunks[v.head];
      frame = c.wrap == kNoWrap || v.offset < c.wrap ? c.at + v.offset
                                                     : v.from + (v.offset - c.wrap) % c.loop_length;
    }
    return true;
  }
  return false;
}

void AudioMixer::SetSynth(AudioSource* synth) {
  std::lock_guard lock(mix_mutex_);
  synth_ = synth;
}

bool AudioMixer::HasFinished() const {
  std::lock_guard lock(mix_mutex_);
  return !finished_.empty();
}

bool AudioMixer::HasVoices() const {
  std::lock_guard lock(mix_mutex_);
  return std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.Live(); });
}

std::vector<int> AudioMixer::TakeFinished() {
  std::lock_guard lock(mix_mutex_);
  std::vector<int> out(finished_.begin(), finished_.end());
  finished_.clear();  // keeps its capacity for the render
  return out;
}

std::uint64_t AudioMixer::FramesDone() const {
  std::lock_guard lock(mix_mutex_);
  return frames_done_;
}

std::vector<AudioMixer::Voice> AudioMixer::TakeDead() {
  std::vector<Voice> dead;
  for (auto it = voices_.begin(); it != voices_.end();) {
    if (it->Live()) {
      ++it;
    } else {
      dead.push_back(std::move(*it));
      it = voices_.erase(it);
    }
  }
  return dead;
}

bool AudioMixer::FillChunk(Voice& v, Chunk& c) {
  AudioSource& source = *v.source;
  c.frames = 0;
  c.at = source.Position();
  c.wrap = kNoWrap;
  while (c.frames < kChunkFrames) {
    const std::uint64_t at = source.Position();
    std::size_t want = kChunkFrames - c.frames;
    if (v.to != kToEnd) {
      want = at >= v.to ? 0 : static_cast<std::size_t>(std::min<std::uint64_t>(want, v.to - at));
    }
    std::size_t got = 0;
    if (want > 0) {
      got = source.Read(c.samples + c.frames * kMixChannels, want);
      c.frames += got;
    }
    // The end of a range is known without reading past it, so it ends on time; the end of a
    // source only when a read finds nothing more.
    v.range_ended = want == 0;
    if (got > 0) {
      v.restarted = false;
      v.range_ended = v.to != kToEnd && source.Position() >= v.to;
      if (got == want && !v.range_ended) continue;  // more to come, or the chunk is full
    }
    // The end of the range or of the source.
    const std::uint64_t end_at = source.Position();
    if (!v.loop || v.restarted || !source.Seek(v.from)) return true;
    v.restarted = true;
    if (c.wrap == kNoWrap) {
      c.wrap = c.frames;
      c.loop_length = end_at > v.from ? end_at - v.from : 1;
    }
  }
  return false;
}

void AudioMixer::FillVoice(Voice& v, std::size_t chunks) {
  for (std::size_t i = 0; i < chunks; ++i) {
    Chunk* chunk = nullptr;
    {
      std::lock_guard lock(mix_mutex_);
      if (!v.Live() || v.ended || v.count == kChunks) return;
      chunk = &v.chunks[(v.head + v.count) % kChunks];
    }
    const bool ends = FillChunk(v, *chunk);
    const std::uint64_t next_at = v.source->Position();
    std::lock_guard lock(mix_mutex_);
    if (chunk->frames > 0) ++v.count;
    v.ended = ends;
    v.ended_at_range = v.range_ended;
    v.next_at = next_at;
    if (ends) return;
  }
}

void AudioMixer::FillVoices() {
  std::vector<Voice> dead;  // destroyed last, outside the locks: a source may close its file
  std::lock_guard fill(fill_mutex_);
  {
    std::lock_guard mix(mix_mutex_);
    dead = TakeDead();
  }
  for (Voice& v : voices_) FillVoice(v, kChunks);
}

void AudioMixer::FillLoop() {
  std::unique_lock lock(mix_mutex_);
  while (!quit_) {
    // Asleep while nothing plays; while something does, often enough to stay well ahead.
    if (std::any_of(voices_.begin(), voices_.end(), [](const Voice& v) { return v.Live(); })) {
      wake_filler_.wait_for(lock, kFillPeriod);
    } else {
      wake_filler_.wait(lock);
    }
    if (quit_) break;
    lock.unlock();
    FillVoices();
    lock.lock();
  }
}

void AudioMixer::Take(Voice& v, std::size_t frames, std::int32_t* mix) {
  if (!v.Live()) return;
  std::size_t done = 0;
  while (done < frames && v.count > 0) {
    const Chunk& c = v.chunks[v.head];
    const std::size_t n = std::min(frames - done, c.frames - v.offset);
    if (mix != nullptr) {
      const std::int16_t* src = c.samples + v.offset * kMixChannels;
      std::int32_t* dst = mix + done * kMixChannels;
      const int volume = volume_[static_cast<int>(v.group)];
      for (std::size_t i = 0; i < n * kMixChannels; ++i) dst[i] += src[i] * volume / 100;
    }
    done += n;
    v.offset += n;
    if (v.offset == c.frames) {
      v.head = (v.head + 1) % kChunks;
      --v.count;
      v.offset = 0;
    }
  }
  // A buffer that ran dry before its end is late, not over: it goes on when it is filled. A
  // source's end is reached when more is asked of it than it has.
  if (v.count == 0 && v.ended && (v.ended_at_range || done < frames)) {
    v.finished = true;
    finished_.push_back(v.id);
  }
}

void AudioMixer::Render(std::int16_t* out, std::size_t frames) {
  while (frames > 0) {
    const std::size_t n = std::min(frames, kBlock);
    if (fill_ == Fill::kOnRender) FillVoices();
    AudioSource* synth = nullptr;
    int synth_volume = 100;
    {
      std::lock_guard lock(mix_mutex_);
      std::fill(sum_.begin(), sum_.begin() + static_cast<std::ptrdiff_t>(n * kMixChannels), 0);
      for (Voice& v : voices_) Take(v, n, sum_.data());
      frames_done_ += n;
      synth = synth_;
      synth_volume = volume_[static_cast<int>(MixGroup::kMusic)];
    }
    if (synth != nullptr) {
      const std::size_t got = synth->Read(scratch_.data(), n);
      for (std::size_t i = 0; i < got * kMixChannels; ++i) {
        sum_[i] += scratch_[i] * synth_volume / 100;
      }
    }
    for (std::size_t i = 0; i < n * kMixChannels; ++i) {
      out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(sum_[i], -32768, 32767));
    }
    out += n * kMixChannels;
    frames -= n;
  }
}

void AudioMixer::Discard(std::size_t frames) {
  while (frames > 0) {
    const std::size_t n = std::min(frames, kBlock);
    FillVoices();
    std::lock_guard lock(mix_mutex_);
    for (Voice& v : voices_) Take(v, n, nullptr);
    frames_done_ += n;
    frames -= n;
  }
}

}  // namespace adv
