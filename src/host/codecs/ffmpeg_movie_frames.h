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
  [[nodiscard]] bool Next(std::int64_t& ms) override;
  // The last frame from Next, scaled into out (width x height, 0xFFRRGGBB).
  [[nodiscard]] bool Convert(std::uint32_t* out) override;
  [[nodiscard]] bool Rewind() override;
  // The time the last frame from Next ends.
  std::int64_t EndMs() const override { return end_ms_; }
  std::int64_t LengthMs() const override;

 private:
  FfmpegMovieFrames() = default;

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
  bool read_since_rewind_ = false;  // packets read since the last rewind (or the open)
};

}  // namespace adv
