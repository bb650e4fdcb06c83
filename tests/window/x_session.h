// An X server of the test's own (Xvfb) and adv played in a real window on it: finding the
// window, reading its picture back from the server, and input sent through the server (XTest).
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace adv::test {

// A picture read from the server: 0xRRGGBB a pixel, rows top to bottom.
struct Grab {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

class XSession {
 public:
  // Starts Xvfb with one screen of width x height and a window manager on it; ok() says
  // whether the server answers.
  XSession(int width, int height);
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;
  bool ok() const { return display_ != nullptr; }

  // Starts adv --window on game, its sound going to audio_file through SDL's disk driver and
  // its stderr to log_file; true once its window is mapped.
  bool StartAdv(const std::string& game, const std::string& audio_file,
                const std::string& log_file);
  // Waits up to timeout_ms for adv to end; its exit status, or -1 if it still runs.
  int WaitAdv(int timeout_ms);

  // The window's picture as the server holds it, and its size.
  Grab GrabWindow();
  // One pixel of the window, 0xRRGGBB.
  std::uint32_t Pixel(int x, int y);
  // Pointer on the screen.
  void PointerAt(int& x, int& y);
  // Moves the pointer to a point of the window.
  void MovePointer(int x, int y);
  void Button(int button);  // 1 left, 3 right, 4 wheel up, 5 wheel down: press and release
  // A key by its X keysym name ("Return", "space", "Left", "Escape", "F4"): press and release.
  void Key(const char* name);
  // Only presses or only releases it, for a key held across steps.
  void KeyTo(const char* name, bool down);

 private:
  pid_t xvfb_ = -1;
  pid_t wm_ = -1;
  pid_t adv_ = -1;
  Display* display_ = nullptr;
  unsigned long window_ = 0;
  std::string name_;  // ":N"
};

}  // namespace adv::test
