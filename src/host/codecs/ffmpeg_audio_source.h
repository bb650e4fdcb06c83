// A sound or music file decoded as it plays (WAV, MP3, Ogg, FLAC and whatever else FFmpeg
// reads), converted to the mixer's format. Long music is never decoded whole.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/audio_source.h"

struct AVFormatContext;
struct AVCodecContext;
struct SwrContext;
struct AVPacket;
struct AVFrame;

namespace adv {

class FfmpegAudioSource : public AudioSource {
 public:
  // Null when the file cannot be opened or has no sound FFmpeg can decode.
  static std::unique_ptr<FfmpegAudioSource> Open(const std::string& native_path);
  ~FfmpegAudioSource() override;

  std::size_t Read(std::int16_t* out, std::size_t frames) override;
  [[nodiscard]] bool Seek(std::uint64_t frame) override;
  std::uint64_t Position() const override { return position_; }
  std::uint64_t Length() const override { return length_; }

 private:
  // The rate, sample format and channel layout the resampler reads. Kept apart from the
  // decoder's own fields, which the decoder rewrites when a stream changes its format midway.
  struct ResamplerInput;

  FfmpegAudioSource();
  // A fresh resampler from in_ to the mixer's format.
  [[nodiscard]] bool MakeResampler();
  // Decodes the next piece into pending_; false at the end of the stream.
  [[nodiscard]] bool DecodeMore();
  [[nodiscard]] bool Convert(AVFrame* frame);

  AVFormatContext* format_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  SwrContext* swr_ = nullptr;
  std::unique_ptr<ResamplerInput> in_;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  int stream_ = -1;
  bool draining_ = false;  // the demuxer is done; the decoder gives what it still holds
  bool ended_ = false;
  std::vector<std::int16_t> pending_;  // converted frames not yet read
  std::size_t pending_at_ = 0;         // in samples
  std::uint64_t position_ = 0;
  std::uint64_t length_ = 0;
  std::uint64_t skip_to_ = 0;  // after a seek: frames before this one are dropped
  bool position_known_ = true;
};

// FFmpeg prints its complaints about damaged files to stderr unless told otherwise.
void QuietFfmpeg();

// avformat_open_input limited to plain local files in self-contained formats: a game's file may
// be a playlist or concat script naming other files or URLs, which must not be followed.
int OpenFfmpegInput(AVFormatContext** format, const std::string& native_path);

}  // namespace adv
