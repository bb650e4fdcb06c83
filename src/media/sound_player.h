// Sounds (.wav): one at a time, a new one replacing the old, in three modes: in the background,
// holding the engine until it has played, or looping until stopped. The engine does the holding
// itself: after PlayWave in mode 1 it serves window events until Busy() turns false.
#pragma once

#include <string_view>

#include "host/audio_device.h"
#include "host/file_system.h"

namespace adv {

class SoundPlayer {
 public:
  SoundPlayer(AudioDevice& device, const FileSystem& files) : device_(device), files_(files) {}
  ~SoundPlayer() { StopWave(); }
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Mode 0 plays in the background, 1 plays while the engine waits, 2 loops. Other modes and
  // an empty name do nothing; a file that cannot be played plays nothing (and the old sound
  // still stops).
  void PlayWave(std::string_view file, int mode);
  void StopWave();

  bool IsPlaying() const;
  // True while a mode-1 sound is still playing: the engine keeps waiting.
  bool Busy() const { return waiting_ && IsPlaying(); }

 private:
  AudioDevice& device_;
  const FileSystem& files_;
  int stream_ = 0;
  bool waiting_ = false;
};

}  // namespace adv
