#include "host/audio_mixer.h"

#include <algorithm>

namespace adv {

namespace {
// Decoding goes in blocks of at most this many frames, so that a long stretch let pass unheard
// needs no large buffer.
constexpr std::size_t kBlock = 4096;
}  // namespace

int AudioMixer::Start(std::shared_ptr<AudioSource> source, std::uint64_t from, std::uint64_t to,
                      bool loop, MixGroup group) {
  if (!source) return 0;
  std::lock_guard lock(mutex_);
  if (!source->Seek(from)) return 0;
  Voice v;
  v.id = next_id_++;
  v.source = std::move(source);
  v.from = from;
  v.to = to;
  v.loop = loop;
  v.group = group;
  voices_.push_back(std::move(v));
  return voices_.back().id;
}

void AudioMixer::SetVolume(MixGroup group, int percent) {
  std::lock_guard lock(mutex_);
  volume_[static_cast<int>(group)] = std::clamp(percent, 0, 100);
}

bool AudioMixer::Stop(int voice) {
  std::lock_guard lock(mutex_);
  auto it =
      std::find_if(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.id == voice; });
  if (it == voices_.end()) return false;
  voices_.erase(it);
  return true;
}

bool AudioMixer::Playing(int voice) const {
  std::lock_guard lock(mutex_);
  return std::any_of(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.id == voice; });
}

bool AudioMixer::Position(int voice, std::uint64_t& frame) const {
  std::lock_guard lock(mutex_);
  for (const Voice& v : voices_) {
    if (v.id == voice) {
      frame = v.source->Position();
      return true;
    }
  }
  return false;
}

void AudioMixer::SetSynth(AudioSource* synth) {
  std::lock_guard lock(mutex_);
  synth_ = synth;
}

bool AudioMixer::HasFinished() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !finished_.empty();
}

bool AudioMixer::HasVoices() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return !voices_.empty();
}

std::vector<int> AudioMixer::TakeFinished() {
  std::lock_guard lock(mutex_);
  std::vector<int> out;
  out.swap(finished_);
  return out;
}

std::uint64_t AudioMixer::FramesDone() const {
  std::lock_guard lock(mutex_);
  return frames_done_;
}

bool AudioMixer::Pull(Voice& voice, std::size_t frames, std::int32_t* mix) {
  std::size_t done = 0;
  bool restarted = false;  // a loop that yields nothing after its restart would spin forever
  while (done < frames) {
    const std::uint64_t at = voice.source->Position();
    std::size_t want = std::min(frames - done, kBlock);
    if (voice.to != kToEnd) {
      if (at >= voice.to)
        want = 0;
      else
        want = static_cast<std::size_t>(std::min<std::uint64_t>(want, voice.to - at));
    }
    std::size_t got = 0;
    if (want > 0) {
      scratch_.resize(want * kMixChannels);
      got = voice.source->Read(scratch_.data(), want);
      if (mix != nullptr) {
        std::int32_t* dst = mix + done * kMixChannels;
        const int volume = Volume(voice.group);
        for (std::size_t i = 0; i < got * kMixChannels; ++i) dst[i] += scratch_[i] * volume / 100;
      }
      done += got;
    }
    if (got > 0) {
      restarted = false;
      // The end of a range is known without reading past it, so it ends on time.
      const bool range_end = voice.to != kToEnd && voice.source->Position() >= voice.to;
      if (got == want && !range_end) continue;  // more to come, or the block is done
    }
    // The end of the range or of the source.
    if (!voice.loop || restarted || !voice.source->Seek(voice.from)) return false;
    restarted = true;
  }
  return true;
}

void AudioMixer::Render(std::int16_t* out, std::size_t frames) {
  std::lock_guard lock(mutex_);
  sum_.assign(frames * kMixChannels, 0);
  for (auto it = voices_.begin(); it != voices_.end();) {
    if (Pull(*it, frames, sum_.data())) {
      ++it;
    } else {
      finished_.push_back(it->id);
      it = voices_.erase(it);
    }
  }
  if (synth_ != nullptr) {
    scratch_.resize(frames * kMixChannels);
    const std::size_t got = synth_->Read(scratch_.data(), frames);
    const int volume = Volume(MixGroup::kMusic);
    for (std::size_t i = 0; i < got * kMixChannels; ++i) sum_[i] += scratch_[i] * volume / 100;
  }
  for (std::size_t i = 0; i < frames * kMixChannels; ++i) {
    out[i] = static_cast<std::int16_t>(std::clamp<std::int32_t>(sum_[i], -32768, 32767));
  }
  frames_done_ += frames;
}

void AudioMixer::Discard(std::size_t frames) {
  std::lock_guard lock(mutex_);
  for (auto it = voices_.begin(); it != voices_.end();) {
    if (Pull(*it, frames, nullptr)) {
      ++it;
    } else {
      finished_.push_back(it->id);
      it = voices_.erase(it);
    }
  }
  frames_done_ += frames;
}

}  // namespace adv
