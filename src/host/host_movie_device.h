// The host's movie device: the codecs decode the picture, scaled to fill the 640 x 480 client
// area, and the sound goes into the mixer. The host asks for the picture as its clock goes on
// (Update) and shows it instead of the engine's picture while a movie is open; the headless
// host does the same on its virtual clock, so screenshots show the frame of their time. A
// movie with sound is timed by the sound's position, and the two repeat together.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_mixer.h"
#include "host/media_codecs.h"
#include "host/movie_device.h"

namespace adv {

class HostMovieDevice : public MovieDevice {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  HostMovieDevice(AudioMixer& mixer, std::function<MediaCodecs*()> codecs,
                  std::function<std::uint32_t()> now, std::function<bool()> has_window);
  ~HostMovieDevice() override;

  int Open(const std::string& native_path) override;
  [[nodiscard]] bool SetWindow(int movie) override;
  [[nodiscard]] bool FillWindow(int movie) override;
  [[nodiscard]] bool Play(int movie, bool repeat) override;
  bool Stop(int movie) override;
  bool Close(int movie) override;

  // Moves the picture on to time `now`; true when what the window should show changed.
  bool Update(std::uint32_t now);
  // What the window shows instead of the engine's picture, kWidth x kHeight 0xFFRRGGBB; null
  // when no movie is shown.
  const std::uint32_t* Frame() const;

 private:
  struct Movie;
  // Shows the frames due at movie time t; by_sound: the sound's position is the clock and
  // starts each round, otherwise the picture repeats on its own.
  void ShowDue(std::int64_t t, bool by_sound);

  AudioMixer& mixer_;
  std::function<MediaCodecs*()> codecs_;
  std::function<std::uint32_t()> now_;
  std::function<bool()> has_window_;
  std::unique_ptr<Movie> movie_;
  int next_id_ = 1;
  bool changed_ = false;
};

}  // namespace adv
