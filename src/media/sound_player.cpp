#include "media/sound_player.h"

#include <string>

namespace adv {

void SoundPlayer::PlayWave(std::string_view file, int mode) {
  if (file.empty() || mode < 0 || mode > 2) return;
  StopWave();
  // A missing file (or one that is not a regular file) is not handed on: to the device an empty
  // path is a silent track.
  const std::string path = files_.ResolveFile(file);
  stream_ = path.empty() ? 0 : device_.Open({path});
  if (stream_ == 0) return;
  if (device_.Play(stream_, 0, -1, mode == 2) == 0) {
    StopWave();
    return;
  }
  waiting_ = mode == 1;
}

void SoundPlayer::StopWave() {
  if (stream_ != 0) {
    device_.Stop(stream_);
    device_.Close(stream_);
  }
  stream_ = 0;
  waiting_ = false;
}

bool SoundPlayer::IsPlaying() const {
  return stream_ != 0 && device_.IsPlaying(stream_);
}

}  // namespace adv
