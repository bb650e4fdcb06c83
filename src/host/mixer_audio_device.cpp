#include "host/mixer_audio_device.h"

#include <algorithm>

namespace adv {

MixerAudioDevice::MixerAudioDevice(AudioMixer& mixer, FileOpener open_file, Log log, MixGroup group)
    : mixer_(mixer), open_file_(std::move(open_file)), log_(std::move(log)), group_(group) {}

MixerAudioDevice::~MixerAudioDevice() {
  for (auto& [id, s] : streams_) mixer_.Stop(s.voice);
}

MixerAudioDevice::Stream* MixerAudioDevice::Find(int stream) {
  auto it = streams_.find(stream);
  return it == streams_.end() ? nullptr : &it->second;
}

int MixerAudioDevice::Open(const std::vector<std::string>& native_paths) {
  if (native_paths.empty()) return 0;
  std::vector<std::unique_ptr<AudioSource>> parts;
  bool any = false;
  for (const std::string& path : native_paths) {
    auto part = path.empty() ? nullptr : open_file_(path);
    // One damaged track costs the disc that track, not the whole disc; a part that does not
    // play takes no time on the timeline.
    if (!part && !path.empty() && native_paths.size() > 1 && unplayable_.insert(path).second) {
      log_("adv: " + path + " cannot be played; it is a track of length 0");
    }
    any = any || part != nullptr;
    parts.push_back(std::move(part));
  }
  // A sound's or a song's one file that does not play, or a disc none of whose tracks does,
  // opens nothing.
  if (!any) return 0;
  Stream s;
  s.source = std::make_shared<SequenceSource>(std::move(parts));
  const int id = next_id_++;
  streams_.emplace(id, std::move(s));
  return id;
}

bool MixerAudioDevice::Close(int stream) {
  Stream* s = Find(stream);
  if (s == nullptr) return false;
  mixer_.Stop(s->voice);
  streams_.erase(stream);
  return true;
}

int MixerAudioDevice::Play(int stream, std::int64_t from_ms, std::int64_t to_ms, bool loop) {
  Stream* s = Find(stream);
  if (s == nullptr || from_ms < 0) return 0;
  const std::uint64_t from = MsToFrames(from_ms);
  const std::uint64_t to = to_ms < 0 ? AudioMixer::kToEnd : MsToFrames(to_ms);
  if (from > s->source->Length() || (to != AudioMixer::kToEnd && to < from)) return 0;
  mixer_.Stop(s->voice);
  s->voice = mixer_.Start(s->source, from, to, loop, group_);
  s->range_end = to == AudioMixer::kToEnd ? s->source->Length() : to;
  return s->voice;
}

bool MixerAudioDevice::Stop(int stream) {
  Stream* s = Find(stream);
  if (s == nullptr) return false;
  std::uint64_t at = 0;
  if (mixer_.Position(s->voice, at) && mixer_.Stop(s->voice)) s->stopped_at = at;
  s->voice = 0;
  return true;
}

bool MixerAudioDevice::IsPlaying(int stream) {
  Stream* s = Find(stream);
  return s != nullptr && s->voice != 0 && mixer_.Playing(s->voice);
}

bool MixerAudioDevice::Status(int stream, AudioStatus item, int part, std::int64_t& value) {
  Stream* s = Find(stream);
  if (s == nullptr) return false;
  const SequenceSource& src = *s->source;
  const bool part_ok = part >= 0 && static_cast<std::size_t>(part) < src.PartCount();
  switch (item) {
    case AudioStatus::kLength:
      value = FramesToMs(src.Length());
      return true;
    case AudioStatus::kParts:
      value = static_cast<std::int64_t>(src.PartCount());
      return true;
    case AudioStatus::kPartStart:
      if (!part_ok) return false;
      value = FramesToMs(src.PartStart(static_cast<std::size_t>(part)));
      return true;
    case AudioStatus::kPartLength:
      if (!part_ok) return false;
      value = FramesToMs(src.PartLength(static_cast<std::size_t>(part)));
      return true;
    case AudioStatus::kPosition: {
      // A playback that has ended stands at the end of its range.
      std::uint64_t at = s->stopped_at;
      if (s->voice != 0 && !mixer_.Position(s->voice, at)) {
        at = std::min(s->range_end, src.Length());
      }
      value = FramesToMs(at);
      return true;
    }
  }
  return false;
}

}  // namespace adv
