// A movie's picture decoded by FFmpeg frame by frame and scaled to the size asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/media_codecs.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwsContext;
struct AVPacket;
struct AVFrame;

namespace adv {

// The picture of one movie file, decoded frame by frame.
class FfmpegMovieFrames : public MovieFrames {
 public:
  static std::unique_ptr<FfmpegMovieFrames> Open(const std::string& native_path, int width,
                                                 int height);
  ~FfmpegMovieFrames() override;
  // The next frame and its time in ms from the movie's start; false at the end.
  bool Next(std::int64_t& ms) override;
  // The last frame from Next, scaled into out (width x height, 0xFFRRGGBB).
  bool Convert(std::uint32_t* out) override;
  bool Rewind() override;
  // The time the last frame from Next ends.
  std::int64_t EndMs() const override { return end_ms_; }

 private:
  FfmpegMovieFrames() = default;
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

}  // namespace adv
