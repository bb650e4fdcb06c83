// The sound device as the players see it, in the manner of a media control device: open a
// stream, ask its status, play a range, stop, close. Each call can fail, and the players'
// return codes and debug-log lines say how; the host's device over the
// mixer rarely does, a test's fake device does when told to.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace adv {

enum class AudioStatus {
  kLength,      // the whole timeline, ms
  kParts,       // number of files on the timeline
  kPartStart,   // where part `part` (0-based) starts, ms
  kPartLength,  // its length, ms
  kPosition,    // where playback is (or stopped), ms
};

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Opens files played back to back as one timeline: one file for a sound or an MP3, the track
  // files of a disc. An empty path is a part of length 0 (a track with no file), and so is a
  // file among several that cannot be decoded. Returns the stream's id, 0 when no file can be
  // opened and decoded.
  virtual int Open(const std::vector<std::string>& native_paths) = 0;
  virtual bool Close(int stream) = 0;
  // Plays from_ms..to_ms of the timeline (to_ms < 0: to its end); loop repeats the range
  // without a gap. Returns the id of this playback, 0 on failure. When it reaches its end (not
  // looping, not stopped), the host posts HostEvent::kMediaDone with media_id = that id.
  virtual int Play(int stream, std::int64_t from_ms, std::int64_t to_ms, bool loop) = 0;
  virtual bool Stop(int stream) = 0;
  virtual bool IsPlaying(int stream) = 0;
  [[nodiscard]] virtual bool Status(int stream, AudioStatus item, int part,
                                    std::int64_t& value) = 0;
};

}  // namespace adv
