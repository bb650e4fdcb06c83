// Movies: one at a time in the main window, filling its client area
// and, as the scripts always ask, repeating. A new file closes the old movie first, so a movie
// that cannot be played leaves none playing and the engine's picture shown. Return codes and
// debug-log texts tell each failure.
#pragma once

#include <string>
#include <string_view>

#include "host/file_system.h"
#include "host/internal_error_log.h"
#include "host/movie_device.h"

namespace adv {

class MoviePlayer {
 public:
  MoviePlayer(MovieDevice& device, const FileSystem& files, InternalErrorLog& log)
      : device_(device), files_(files), log_(log) {}
  ~MoviePlayer() { Close(); }
  MoviePlayer(const MoviePlayer&) = delete;
  MoviePlayer& operator=(const MoviePlayer&) = delete;

  void SetFile(std::string_view name);
  int Open();   // 0; 1 the file does not open; 2 the window cannot be its screen
  int Play();   // 0; 1 open failed; 2 play failed
  int Stop();   // 0; 1 not open; 2 stop failed
  int Close();  // 0; 1 close failed
  void SetRepeat(bool repeat) { repeat_ = repeat; }

  bool IsOpen() const { return open_; }
  bool IsPlaying() const { return playing_; }

 private:
  MovieDevice& device_;
  const FileSystem& files_;
  InternalErrorLog& log_;
  std::string file_;
  int movie_ = 0;
  bool open_ = false;
  bool playing_ = false;
  bool repeat_ = false;
};

}  // namespace adv
