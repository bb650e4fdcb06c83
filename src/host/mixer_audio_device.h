// The host's AudioDevice: files decoded by the codecs, played through the AudioMixer. Called from
// the interpreter thread only; the mixer does the locking against the audio thread.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "host/audio_device.h"
#include "host/audio_mixer.h"
#include "host/sequence_source.h"

namespace adv {

class MixerAudioDevice : public AudioDevice {
 public:
  // open_file: how one file becomes a source (the codecs', or a test's).
  using FileOpener = std::function<std::unique_ptr<AudioSource>(const std::string&)>;
  using Log = std::function<void(const std::string&)>;
  // Its voices are mixed at the volume of group.
  MixerAudioDevice(AudioMixer& mixer, FileOpener open_file, Log log,
                   MixGroup group = MixGroup::kSound);
  ~MixerAudioDevice() override;

  int Open(const std::vector<std::string>& native_paths) override;
  bool Close(int stream) override;
  int Play(int stream, std::int64_t from_ms, std::int64_t to_ms, bool loop) override;
  bool Stop(int stream) override;
  bool IsPlaying(int stream) override;
  [[nodiscard]] bool Status(int stream, AudioStatus item, int part, std::int64_t& value) override;

 private:
  struct Stream {
    std::shared_ptr<SequenceSource> source;
    int voice = 0;
    std::uint64_t stopped_at = 0;  // frame where the last playback stopped or ended
    std::uint64_t range_end = 0;
  };
  Stream* Find(int stream);

  AudioMixer& mixer_;
  FileOpener open_file_;
  Log log_;
  std::set<std::string> unplayable_;  // parts already logged as such
  MixGroup group_;
  std::map<int, Stream> streams_;
  int next_id_ = 1;
};

}  // namespace adv
