// The host's movie device: FFmpeg decodes the picture, scaled to fill the 640 x 480 client
// area, and the sound goes into the mixer. The host asks for the picture as its clock goes on
// (Update) and shows it instead of the engine's picture while a movie is open; the headless
// host does the same on its virtual clock, so screenshots show the frame of their time.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_mixer.h"
#include "host/movie_device.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwsContext;
struct AVPacket;
struct AVFrame;

namespace adv {

class FfmpegAudioSource;

// The picture of one movie file, decoded frame by frame.
class MovieDecoder {
 public:
  static std::unique_ptr<MovieDecoder> Open(const std::string& native_path, int width, int height);
  ~MovieDecoder();
  // The next frame and its time in ms from the movie's start; false at the end.
  bool Next(std::int64_t& ms);
  // The last frame from Next, scaled into out (width x height, 0xFFRRGGBB).
  bool Convert(std::uint32_t* out);
  bool Rewind();
  // The time the last frame from Next ends.
  std::int64_t EndMs() const { return end_ms_; }

 private:
  MovieDecoder() = default;
  // Keeps the palette a packet brings, or gives the kept one to the first packet after a rewind.
  void KeepPalette();

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwsContext* sws_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  int width_ = 0;
  int height_ = 0;
  bool draining_ = false;
  std::int64_t end_ms_ = 0;
  // A palette movie's palette comes with its first packet only; after a rewind it is given to
  // the decoder again, or the picture would come out black.
  std::vector<std::uint8_t> palette_;
  bool palette_due_ = false;
  bool read_since_rewind_ = false;
};

class FfmpegMovieDevice : public MovieDevice {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  FfmpegMovieDevice(AudioMixer& mixer, std::function<std::uint32_t()> now,
                    std::function<bool()> has_window);
  ~FfmpegMovieDevice() override;

  int Open(const std::string& native_path) override;
  bool SetWindow(int movie) override;
  bool FillWindow(int movie) override;
  bool Play(int movie, bool repeat) override;
  bool Stop(int movie) override;
  bool Close(int movie) override;

  // Moves the picture on to time `now`; true when what the window should show changed.
  bool Update(std::uint32_t now);
  // What the window shows instead of the engine's picture, kWidth x kHeight 0xFFRRGGBB; null
  // when no movie is shown.
  const std::uint32_t* Frame() const;

 private:
  struct Movie;
  void ShowDue(std::int64_t t);

  AudioMixer& mixer_;
  std::function<std::uint32_t()> now_;
  std::function<bool()> has_window_;
  std::unique_ptr<Movie> movie_;
  int next_id_ = 1;
  bool changed_ = false;
};

}  // namespace adv
