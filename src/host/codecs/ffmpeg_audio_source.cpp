#include "host/codecs/ffmpeg_audio_source.h"

#include <algorithm>
#include <cstring>
#include <mutex>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace adv {

void QuietFfmpeg() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

int OpenFfmpegInput(AVFormatContext** format, const std::string& native_path) {
  AVDictionary* options = nullptr;
  av_dict_set(&options, "protocol_whitelist", "file", 0);
  av_dict_set(&options, "format_whitelist", "wav,mp3,ogg,flac,avi,mpeg,asf,matroska,webm", 0);
  const int result = avformat_open_input(format, native_path.c_str(), nullptr, &options);
  av_dict_free(&options);
  return result;
}

// Rates a real sound may have. Beyond them the resampler's filter grows with the rate ratio
// (a damaged header claiming 1.6 GHz costs gigabytes), so such a stream is refused.
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 768000;

struct FfmpegAudioSource::ResamplerInput {
  int rate = 0;
  AVSampleFormat format = AV_SAMPLE_FMT_NONE;
  AVChannelLayout layout = {};

  ~ResamplerInput() { av_channel_layout_uninit(&layout); }
  bool Matches(const AVFrame& frame) const {
    return frame.sample_rate == rate && frame.format == format &&
           av_channel_layout_compare(&frame.ch_layout, &layout) == 0;
  }
  bool Take(int new_rate, int new_format, const AVChannelLayout& new_layout) {
    rate = new_rate;
    format = static_cast<AVSampleFormat>(new_format);
    av_channel_layout_uninit(&layout);
    return rate >= kLowestRate && rate <= kHighestRate &&
           av_channel_layout_copy(&layout, &new_layout) == 0;
  }
};

FfmpegAudioSource::FfmpegAudioSource() : in_(std::make_unique<ResamplerInput>()) {}

std::unique_ptr<FfmpegAudioSource> FfmpegAudioSource::Open(const std::string& native_path) {
  QuietFfmpeg();
  std::unique_ptr<FfmpegAudioSource> s(new FfmpegAudioSource);
  if (OpenFfmpegInput(&s->format_, native_path) < 0) {
    s->format_ = nullptr;
    return nullptr;
  }
  if (avformat_find_stream_info(s->format_, nullptr) < 0) return nullptr;
  const AVCodec* decoder = nullptr;
  s->stream_ = av_find_best_stream(s->format_, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (s->stream_ < 0 || decoder == nullptr) return nullptr;
  AVStream* stream = s->format_->streams[s->stream_];
  s->codec_ = avcodec_alloc_context3(decoder);
  if (s->codec_ == nullptr || avcodec_parameters_to_context(s->codec_, stream->codecpar) < 0 ||
      avcodec_open2(s->codec_, decoder, nullptr) < 0) {
    return nullptr;
  }
  if (s->codec_->sample_rate <= 0 || s->codec_->ch_layout.nb_channels <= 0) return nullptr;
  s->packet_ = av_packet_alloc();
  s->frame_ = av_frame_alloc();
  if (s->packet_ == nullptr || s->frame_ == nullptr ||
      !s->in_->Take(s->codec_->sample_rate, s->codec_->sample_fmt, s->codec_->ch_layout) ||
      !s->MakeResampler()) {
    return nullptr;
  }
  // Every other stream is left alone by the demuxer.
  for (unsigned i = 0; i < s->format_->nb_streams; ++i) {
    if (static_cast<int>(i) != s->stream_) s->format_->streams[i]->discard = AVDISCARD_ALL;
  }
  std::int64_t length_us = -1;
  if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
    length_us = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000000});
  } else if (s->format_->duration != AV_NOPTS_VALUE && s->format_->duration > 0) {
    length_us = s->format_->duration;
  }
  if (length_us > 0) {
    s->length_ = static_cast<std::uint64_t>(av_rescale(length_us, kMixRate, 1000000));
  }
  return s;
}

FfmpegAudioSource::~FfmpegAudioSource() {
  swr_free(&swr_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  if (format_ != nullptr) avformat_close_input(&format_);
}

bool FfmpegAudioSource::MakeResampler() {
  swr_free(&swr_);
  if (in_->layout.nb_channels <= 0) return false;
  AVChannelLayout in = {};
  if (in_->layout.order == AV_CHANNEL_ORDER_UNSPEC) {
    av_channel_layout_default(&in, in_->layout.nb_channels);
  } else if (av_channel_layout_copy(&in, &in_->layout) < 0) {
    return false;
  }
  AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
  const int rc = swr_alloc_set_opts2(&swr_, &out, AV_SAMPLE_FMT_S16, kMixRate, &in, in_->format,
                                     in_->rate, 0, nullptr);
  const bool mono = in.nb_channels == 1;
  av_channel_layout_uninit(&in);
  if (rc < 0) return false;
  // A mono sound plays at full level from both speakers: games balance their mono sounds
  // against stereo music at that level.
  static constexpr double kBoth[2] = {1.0, 1.0};
  if (mono && swr_set_matrix(swr_, kBoth, 1) < 0) return false;
  return swr_init(swr_) >= 0;
}

bool FfmpegAudioSource::Convert(AVFrame* frame) {
  // A stream may change its format midway; the resampler follows it. A null frame flushes
  // what the resampler still holds.
  if (frame != nullptr && !in_->Matches(*frame)) {
    if (!in_->Take(frame->sample_rate, frame->format, frame->ch_layout) || !MakeResampler()) {
      return false;
    }
  }
  if (frame != nullptr && !position_known_) {
    const std::int64_t pts = frame->best_effort_timestamp;
    if (pts != AV_NOPTS_VALUE) {
      const AVStream* stream = format_->streams[stream_];
      const std::int64_t at =
          av_rescale_q(pts - (stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0),
                       stream->time_base, AVRational{1, kMixRate});
      position_ = at > 0 ? static_cast<std::uint64_t>(at) : 0;
    } else {
      position_ = skip_to_;
    }
    position_known_ = true;
  }
  const int capacity = swr_get_out_samples(swr_, frame ? frame->nb_samples : 0);
  if (capacity < 0) return false;
  const std::size_t base = pending_.size();
  pending_.resize(base + static_cast<std::size_t>(capacity) * kMixChannels);
  std::uint8_t* dst = reinterpret_cast<std::uint8_t*>(pending_.data() + base);
  const int got =
      swr_convert(swr_, &dst, capacity,
                  frame ? const_cast<const std::uint8_t**>(frame->extended_data) : nullptr,
                  frame ? frame->nb_samples : 0);
  if (got < 0) {
    pending_.resize(base);
    return false;
  }
  pending_.resize(base + static_cast<std::size_t>(got) * kMixChannels);
  return true;
}

bool FfmpegAudioSource::DecodeMore() {
  while (!ended_) {
    const int rc = avcodec_receive_frame(codec_, frame_);
    if (rc == 0) {
      const bool ok = Convert(frame_);
      av_frame_unref(frame_);
      if (!ok) break;
      return true;
    }
    if (rc == AVERROR_EOF) {
      // What the resampler still holds, then the end; a flush that fails loses only that tail.
      (void)Convert(nullptr);
      ended_ = true;
      return pending_.size() > pending_at_;
    }
    if (rc != AVERROR(EAGAIN)) break;
    if (draining_) break;
    const int read = av_read_frame(format_, packet_);
    if (read < 0) {
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      continue;
    }
    if (packet_->stream_index == stream_) {
      // A damaged packet is skipped; the next one may decode.
      avcodec_send_packet(codec_, packet_);
    }
    av_packet_unref(packet_);
  }
  ended_ = true;
  return false;
}

std::size_t FfmpegAudioSource::Read(std::int16_t* out, std::size_t frames) {
  std::size_t done = 0;
  while (done < frames) {
    if (pending_at_ >= pending_.size()) {
      pending_.clear();
      pending_at_ = 0;
      if (ended_ || !DecodeMore()) break;
      continue;
    }
    std::size_t available = (pending_.size() - pending_at_) / kMixChannels;
    if (position_ < skip_to_) {
      // Frames between the seek's landing point and the frame asked for.
      const std::size_t drop =
          static_cast<std::size_t>(std::min<std::uint64_t>(available, skip_to_ - position_));
      pending_at_ += drop * kMixChannels;
      position_ += drop;
      continue;
    }
    const std::size_t n = std::min(available, frames - done);
    std::memcpy(out + done * kMixChannels, pending_.data() + pending_at_,
                n * kMixChannels * sizeof(std::int16_t));
    pending_at_ += n * kMixChannels;
    done += n;
    position_ += n;
  }
  return done;
}

bool FfmpegAudioSource::Seek(std::uint64_t frame) {
  if (frame == position_ && !ended_ && position_known_ && skip_to_ <= position_) return true;
  const AVStream* stream = format_->streams[stream_];
  // Some decoders (MP3's bit reservoir) give silence for the first frame after a jump, so the
  // jump lands a little early and the frames up to the one asked for are dropped.
  const std::uint64_t preroll = kMixRate / 10;
  const std::uint64_t land = frame > preroll ? frame - preroll : 0;
  std::int64_t ts =
      av_rescale_q(static_cast<std::int64_t>(land), AVRational{1, kMixRate}, stream->time_base);
  if (stream->start_time != AV_NOPTS_VALUE) ts += stream->start_time;
  if (av_seek_frame(format_, stream_, ts, AVSEEK_FLAG_BACKWARD) < 0 &&
      av_seek_frame(format_, -1, 0, AVSEEK_FLAG_BYTE | AVSEEK_FLAG_BACKWARD) < 0) {
    return false;
  }
  avcodec_flush_buffers(codec_);
  if (!MakeResampler()) return false;
  pending_.clear();
  pending_at_ = 0;
  draining_ = false;
  ended_ = false;
  skip_to_ = frame;
  position_ = frame;
  position_known_ = false;
  return true;
}

}  // namespace adv
