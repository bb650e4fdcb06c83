#include "media/movie_player.h"

#include "base/messages.h"

namespace adv {

void MoviePlayer::SetFile(std::string_view name) {
  file_ = name;
  Close();
}

int MoviePlayer::Open() {
  if (open_) return 0;
  const std::string path = files_.ResolveFile(file_);
  movie_ = path.empty() ? 0 : device_.Open(path);
  if (movie_ == 0) {
    log_.Log(kSdkAviOpen);
    return 1;
  }
  std::string_view failure;
  if (!device_.SetWindow(movie_)) {
    failure = kSdkAviWindow;
  } else if (!device_.FillWindow(movie_)) {
    failure = kSdkAviDestination;
  }
  if (!failure.empty()) {
    log_.Log(failure);
    // Half-opened, the device would stay open for good: nothing closes a movie that never
    // opened.
    device_.Close(movie_);
    movie_ = 0;
    return 2;
  }
  open_ = true;
  return 0;
}

int MoviePlayer::Play() {
  if (Open() != 0) return 1;
  Stop();
  if (!device_.Play(movie_, repeat_)) {
    log_.Log(kSdkAviPlay);
    return 2;
  }
  playing_ = true;
  return 0;
}

int MoviePlayer::Stop() {
  if (!open_) return 1;
  if (!playing_) return 0;
  if (!device_.Stop(movie_)) {
    log_.Log(kSdkAviStop);
    return 2;
  }
  playing_ = false;
  return 0;
}

int MoviePlayer::Close() {
  if (!open_) return 0;
  if (playing_) Stop();
  if (!device_.Close(movie_)) {
    log_.Log(kSdkAviClose);
    return 1;
  }
  movie_ = 0;
  open_ = false;
  playing_ = false;
  return 0;
}

}  // namespace adv
