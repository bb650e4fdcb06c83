#include "media/mp3_player.h"

#include "base/messages.h"

namespace adv {

void Mp3Player::SetFile(std::string_view name) {
  file_ = name;
  Close();
}

int Mp3Player::Open() {
  if (stream_ != 0) return 0;
  const std::string path = files_.ResolveFile(file_);
  stream_ = path.empty() ? 0 : device_.Open({path});
  if (stream_ == 0) {
    log_.Log(kSdkMp3Open);
    return 1;
  }
  return 0;
}

int Mp3Player::Play() {
  if (Open() != 0) return 1;
  Stop();
  playback_ = device_.Play(stream_, 0, -1, loop_);
  if (playback_ == 0) return 2;
  playing_ = true;
  return 0;
}

int Mp3Player::Stop() {
  if (stream_ == 0) return 1;
  if (!playing_) return 0;
  std::int64_t at = 0;
  if (!device_.Status(stream_, AudioStatus::kPosition, 0, at)) {
    log_.Log(kSdkMp3Status);
    position_ = 0;
    device_.Stop(stream_);
    return 2;
  }
  position_ = at;
  if (!device_.Stop(stream_)) {
    log_.Log(kSdkMp3Stop);
    return 2;
  }
  playing_ = false;
  return 0;
}

int Mp3Player::Close() {
  if (stream_ == 0) return 0;
  if (playing_) Stop();
  if (!device_.Close(stream_)) {
    log_.Log(kSdkMp3Close);
    return 1;
  }
  stream_ = 0;
  playback_ = 0;
  playing_ = false;
  position_ = 0;
  return 0;
}

int Mp3Player::OnNotify(int media_id) {
  if (stream_ == 0 || media_id == 0 || media_id != playback_) return 1;
  if (loop_) {
    Play();
  } else {
    Stop();
  }
  return 0;
}

}  // namespace adv
