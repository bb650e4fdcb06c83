#include "host/codecs/ffmpeg_movie_frames.h"

#include <algorithm>

#include "host/codecs/ffmpeg_audio_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace adv {

std::unique_ptr<FfmpegMovieFrames> FfmpegMovieFrames::Open(const std::string& native_path,
                                                           int width, int height) {
  QuietFfmpeg();
  std::unique_ptr<FfmpegMovieFrames> d(new FfmpegMovieFrames);
  d->width_ = width;
  d->height_ = height;
  if (OpenFfmpegInput(&d->format_, native_path) < 0) {
    d->format_ = nullptr;
    return nullptr;
  }
  if (avformat_find_stream_info(d->format_, nullptr) < 0) return nullptr;
  const AVCodec* decoder = nullptr;
  d->stream_ = av_find_best_stream(d->format_, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
  if (d->stream_ < 0 || decoder == nullptr) return nullptr;
  d->codec_ = avcodec_alloc_context3(decoder);
  if (d->codec_ == nullptr ||
      avcodec_parameters_to_context(d->codec_, d->format_->streams[d->stream_]->codecpar) < 0 ||
      avcodec_open2(d->codec_, decoder, nullptr) < 0) {
    return nullptr;
  }
  if (d->codec_->width <= 0 || d->codec_->height <= 0 || d->codec_->width > 16384 ||
      d->codec_->height > 16384) {
    return nullptr;
  }
  for (unsigned i = 0; i < d->format_->nb_streams; ++i) {
    if (static_cast<int>(i) != d->stream_) d->format_->streams[i]->discard = AVDISCARD_ALL;
  }
  d->packet_ = av_packet_alloc();
  d->frame_ = av_frame_alloc();
  if (d->packet_ == nullptr || d->frame_ == nullptr) return nullptr;
  return d;
}

FfmpegMovieFrames::~FfmpegMovieFrames() {
  sws_freeContext(sws_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  if (format_ != nullptr) avformat_close_input(&format_);
}

bool FfmpegMovieFrames::Next(std::int64_t& ms) {
  while (true) {
    const int rc = avcodec_receive_frame(codec_, frame_);
    if (rc == 0) {
      const AVStream* stream = format_->streams[stream_];
      std::int64_t pts = frame_->best_effort_timestamp;
      if (pts == AV_NOPTS_VALUE) pts = 0;
      if (stream->start_time != AV_NOPTS_VALUE) pts -= stream->start_time;
      ms = av_rescale_q(pts, stream->time_base, AVRational{1, 1000});
      std::int64_t duration = frame_->pkt_duration;
      if (duration <= 0) {
        const AVRational rate =
            stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : AVRational{25, 1};
        end_ms_ = ms + av_rescale(1000, rate.den, rate.num);
      } else {
        end_ms_ = ms + av_rescale_q(duration, stream->time_base, AVRational{1, 1000});
      }
      if (end_ms_ <= ms) end_ms_ = ms + 1;
      return true;
    }
    if (rc != AVERROR(EAGAIN) || draining_) return false;
    if (av_read_frame(format_, packet_) < 0) {
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) {
      read_since_rewind_ = true;
      avcodec_send_packet(codec_, packet_);
    }
    av_packet_unref(packet_);
  }
}

std::int64_t FfmpegMovieFrames::LengthMs() const {
  const AVStream* stream = format_->streams[stream_];
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
    return av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
  }
  if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
    return av_rescale(format_->duration, 1000, AV_TIME_BASE);
  }
  return 0;
}

bool FfmpegMovieFrames::Convert(std::uint32_t* out) {
  if (frame_->width <= 0 || frame_->height <= 0) return false;
  sws_ = sws_getCachedContext(sws_, frame_->width, frame_->height,
                              static_cast<AVPixelFormat>(frame_->format), width_, height_,
                              AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (sws_ == nullptr) return false;
  std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(out)};
  const int strides[1] = {width_ * 4};
  return sws_scale(sws_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides) > 0;
}

bool FfmpegMovieFrames::Rewind() {
  // Nothing read yet: the packets find_stream_info read are still waiting, and a palette movie's
  // palette comes with the first of them only; a seek now would throw it away.
  if (!read_since_rewind_) return true;
  read_since_rewind_ = false;
  if (av_seek_frame(format_, stream_,
                    format_->streams[stream_]->start_time == AV_NOPTS_VALUE
                        ? 0
                        : format_->streams[stream_]->start_time,
                    AVSEEK_FLAG_BACKWARD) < 0 &&
      av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  draining_ = false;
  return true;
}

}  // namespace adv
