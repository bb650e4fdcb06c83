// The movie device as the movie player sees it, in the manner of a media control device: open
// a file, show it in the main window over its whole client area, play, stop, close. Each step
// can fail, so that the player's return codes mean something.
#pragma once

#include <string>

namespace adv {

class MovieDevice {
 public:
  virtual ~MovieDevice() = default;
  // A movie with a picture FFmpeg can decode; 0 when there is none. One movie is open at a time.
  virtual int Open(const std::string& native_path) = 0;
  // The main window becomes the movie's screen; false without a window.
  [[nodiscard]] virtual bool SetWindow(int movie) = 0;
  // The picture fills the window's whole client area.
  [[nodiscard]] virtual bool FillWindow(int movie) = 0;
  // Shows the movie from its start with its sound; repeat starts it again at its end.
  [[nodiscard]] virtual bool Play(int movie, bool repeat) = 0;
  virtual bool Stop(int movie) = 0;
  // The window shows the engine's picture again.
  virtual bool Close(int movie) = 0;
};

}  // namespace adv
