// The MP3 player: one music file at a time, keeping the position where it was last stopped.
// A looping file repeats in the device without a gap, so the loop keeps the same time in a
// window and in a headless run; an end notification while looping (a file that could not start
// over) plays it again from the start.
// Return codes and debug-log texts tell each failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "host/audio_device.h"
#include "host/file_system.h"
#include "host/internal_error_log.h"

namespace adv {

class Mp3Player {
 public:
  Mp3Player(AudioDevice& device, const FileSystem& files, InternalErrorLog& log)
      : device_(device), files_(files), log_(log) {}
  ~Mp3Player() { Close(); }
  Mp3Player(const Mp3Player&) = delete;
  Mp3Player& operator=(const Mp3Player&) = delete;

  void SetFile(std::string_view name);
  int Open();   // 0; 1 the file cannot be opened
  int Play();   // 0; 1 open failed; 2 play failed
  int Stop();   // 0; 1 not open; 2 position or stop failed
  int Close();  // 0; 1 close failed
  void SetLoop(bool loop) { loop_ = loop; }
  // An end notification: 0 when it was this player's (it then plays again or stops), 1 not.
  int OnNotify(int media_id);

  bool IsOpen() const { return stream_ != 0; }
  bool IsPlaying() const { return playing_; }
  std::int64_t StopPosition() const { return position_; }

 private:
  AudioDevice& device_;
  const FileSystem& files_;
  InternalErrorLog& log_;
  std::string file_;
  int stream_ = 0;
  int playback_ = 0;
  bool loop_ = false;
  bool playing_ = false;
  std::int64_t position_ = 0;
};

}  // namespace adv
