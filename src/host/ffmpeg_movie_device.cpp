#include "host/ffmpeg_movie_device.h"

#include "host/ffmpeg_audio_source.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

namespace adv {

std::unique_ptr<MovieDecoder> MovieDecoder::Open(const std::string& native_path, int width,
                                                 int height) {
  QuietFfmpeg();
  std::unique_ptr<MovieDecoder> d(new MovieDecoder);
  d->width_ = width;
  d->height_ = height;
  if (avformat_open_input(&d->format_, native_path.c_str(), nullptr, nullptr) < 0) {
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

MovieDecoder::~MovieDecoder() {
  sws_freeContext(sws_);
  av_frame_free(&frame_);
  av_packet_free(&packet_);
  avcodec_free_context(&codec_);
  if (format_ != nullptr) avformat_close_input(&format_);
}

bool MovieDecoder::Next(std::int64_t& ms) {
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
      KeepPalette();
      avcodec_send_packet(codec_, packet_);
    }
    av_packet_unref(packet_);
  }
}

bool MovieDecoder::Convert(std::uint32_t* out) {
  if (frame_->width <= 0 || frame_->height <= 0) return false;
  sws_ = sws_getCachedContext(sws_, frame_->width, frame_->height,
                              static_cast<AVPixelFormat>(frame_->format), width_, height_,
                              AV_PIX_FMT_RGB32, SWS_BILINEAR, nullptr, nullptr, nullptr);
  if (sws_ == nullptr) return false;
  std::uint8_t* planes[1] = {reinterpret_cast<std::uint8_t*>(out)};
  const int strides[1] = {width_ * 4};
  return sws_scale(sws_, frame_->data, frame_->linesize, 0, frame_->height, planes, strides) > 0;
}

void MovieDecoder::KeepPalette() {
  std::size_t size = 0;
  const std::uint8_t* palette = av_packet_get_side_data(packet_, AV_PKT_DATA_PALETTE, &size);
  if (palette != nullptr) {
    palette_.assign(palette, palette + size);
  } else if (palette_due_ && !palette_.empty()) {
    std::uint8_t* copy = av_packet_new_side_data(packet_, AV_PKT_DATA_PALETTE, palette_.size());
    if (copy != nullptr) std::copy(palette_.begin(), palette_.end(), copy);
  }
  palette_due_ = false;
}

bool MovieDecoder::Rewind() {
  // Nothing read yet: the first packets, palette included, are still waiting.
  if (!read_since_rewind_) return true;
  read_since_rewind_ = false;
  palette_due_ = true;
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

struct FfmpegMovieDevice::Movie {
  int id = 0;
  std::unique_ptr<MovieDecoder> picture;
  std::shared_ptr<FfmpegAudioSource> sound;  // null for a silent movie
  int voice = 0;
  bool windowed = false;
  bool playing = false;
  bool repeat = false;
  bool shown = false;       // a frame has been put in `frame`
  std::uint32_t start = 0;  // clock time of the movie's time 0 in this round
  bool have_next = false;   // a decoded frame waits for its time
  std::int64_t next_ms = 0;
  std::vector<std::uint32_t> frame;
};

FfmpegMovieDevice::FfmpegMovieDevice(AudioMixer& mixer, std::function<std::uint32_t()> now,
                                     std::function<bool()> has_window)
    : mixer_(mixer), now_(std::move(now)), has_window_(std::move(has_window)) {}

FfmpegMovieDevice::~FfmpegMovieDevice() {
  if (movie_) Close(movie_->id);
}

int FfmpegMovieDevice::Open(const std::string& native_path) {
  if (movie_) Close(movie_->id);
  auto picture = MovieDecoder::Open(native_path, kWidth, kHeight);
  if (!picture) return 0;
  movie_ = std::make_unique<Movie>();
  movie_->id = next_id_++;
  movie_->picture = std::move(picture);
  movie_->sound = FfmpegAudioSource::Open(native_path);
  movie_->frame.assign(static_cast<std::size_t>(kWidth) * kHeight, 0xFF000000u);
  return movie_->id;
}

bool FfmpegMovieDevice::SetWindow(int movie) {
  if (!movie_ || movie_->id != movie || !has_window_()) return false;
  movie_->windowed = true;
  return true;
}

bool FfmpegMovieDevice::FillWindow(int movie) {
  // The picture is always scaled to the whole client area.
  return movie_ && movie_->id == movie && movie_->windowed;
}

bool FfmpegMovieDevice::Play(int movie, bool repeat) {
  if (!movie_ || movie_->id != movie || !movie_->windowed) return false;
  Movie& m = *movie_;
  if (!m.picture->Rewind()) return false;
  mixer_.Stop(m.voice);
  m.voice = 0;
  if (m.sound) m.voice = mixer_.Start(m.sound, 0, AudioMixer::kToEnd, repeat);
  m.repeat = repeat;
  m.playing = true;
  m.have_next = false;
  m.start = now_();
  ShowDue(0);
  return true;
}

bool FfmpegMovieDevice::Stop(int movie) {
  if (!movie_ || movie_->id != movie) return false;
  mixer_.Stop(movie_->voice);
  movie_->voice = 0;
  movie_->playing = false;
  return true;
}

bool FfmpegMovieDevice::Close(int movie) {
  if (!movie_ || movie_->id != movie) return false;
  mixer_.Stop(movie_->voice);
  changed_ = changed_ || movie_->shown;
  movie_.reset();
  return true;
}

void FfmpegMovieDevice::ShowDue(std::int64_t t) {
  Movie& m = *movie_;
  bool due = false;
  bool restarted = false;
  while (true) {
    if (!m.have_next) {
      if (!m.picture->Next(m.next_ms)) {
        const std::int64_t period = m.picture->EndMs();
        // A movie with no frame after its restart has nothing to repeat.
        if (!m.repeat || restarted || period <= 0 || !m.picture->Rewind()) {
          m.playing = false;
          break;
        }
        restarted = true;
        // Whole rounds that passed unseen (a long virtual sleep) are skipped.
        const std::int64_t rounds = std::max<std::int64_t>(1, t / period);
        m.start += static_cast<std::uint32_t>(rounds * period);
        t -= rounds * period;
        continue;
      }
      m.have_next = true;
      restarted = false;
    }
    if (m.next_ms > t) break;
    m.have_next = false;
    due = true;
    if (m.picture->Convert(m.frame.data())) m.shown = true;
  }
  if (due) changed_ = true;
}

bool FfmpegMovieDevice::Update(std::uint32_t now) {
  if (movie_ && movie_->playing) {
    ShowDue(static_cast<std::int64_t>(static_cast<std::int32_t>(now - movie_->start)));
  }
  const bool changed = changed_;
  changed_ = false;
  return changed;
}

const std::uint32_t* FfmpegMovieDevice::Frame() const {
  return movie_ && movie_->shown ? movie_->frame.data() : nullptr;
}

}  // namespace adv
