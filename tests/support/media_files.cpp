#include "support/media_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
}

namespace adv::test {

namespace {

double Sample(const Tone& t, std::int64_t i) {
  // Past the tone's end (a padded last frame) is silence.
  if (t.hz == 0 || i >= t.frames) return 0;
  return t.amplitude * std::sin(2 * M_PI * t.hz * static_cast<double>(i) / t.rate);
}

void Put(std::FILE* f, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>((v >> (8 * i)) & 0xFF), f);
}

// Fills an encoder frame of the codec's sample format from the tone.
void FillAudio(AVFrame* frame, const Tone& tone, std::int64_t start) {
  const int ch = frame->ch_layout.nb_channels;
  for (int i = 0; i < frame->nb_samples; ++i) {
    const double v = Sample(tone, start + i);
    for (int c = 0; c < ch; ++c) {
      switch (frame->format) {
        case AV_SAMPLE_FMT_S16:
          reinterpret_cast<std::int16_t*>(frame->data[0])[i * ch + c] =
              static_cast<std::int16_t>(v * 32767);
          break;
        case AV_SAMPLE_FMT_S16P:
          reinterpret_cast<std::int16_t*>(frame->data[c])[i] = static_cast<std::int16_t>(v * 32767);
          break;
        case AV_SAMPLE_FMT_FLTP:
          reinterpret_cast<float*>(frame->data[c])[i] = static_cast<float>(v);
          break;
        case AV_SAMPLE_FMT_S32P:
          reinterpret_cast<std::int32_t*>(frame->data[c])[i] =
              static_cast<std::int32_t>(v * 2147483647.0);
          break;
        default:
          break;
      }
    }
  }
}

struct Output {
  AVFormatContext* format = nullptr;
  ~Output() {
    if (format != nullptr) {
      if (!(format->oformat->flags & AVFMT_NOFILE)) avio_closep(&format->pb);
      avformat_free_context(format);
    }
  }
};

bool Drain(AVCodecContext* codec, AVFormatContext* format, AVStream* stream, AVFrame* frame) {
  if (avcodec_send_frame(codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  while (avcodec_receive_packet(codec, packet) == 0) {
    av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
    packet->stream_index = stream->index;
    if (av_interleaved_write_frame(format, packet) < 0) {
      av_packet_free(&packet);
      return false;
    }
  }
  av_packet_free(&packet);
  return true;
}

AVCodecContext* OpenAudioEncoder(AVFormatContext* format, const Tone& tone, AVCodecID id,
                                 AVStream*& stream) {
  const AVCodec* codec = avcodec_find_encoder(id);
  if (codec == nullptr) return nullptr;
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->sample_rate = tone.rate;
  av_channel_layout_default(&c->ch_layout, tone.channels);
  c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  c->bit_rate = 128000;
  c->time_base = AVRational{1, tone.rate};
  if (format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(c, codec, nullptr) < 0) {
    avcodec_free_context(&c);
    return nullptr;
  }
  stream = avformat_new_stream(format, nullptr);
  avcodec_parameters_from_context(stream->codecpar, c);
  stream->time_base = c->time_base;
  return c;
}

bool WriteAudio(AVCodecContext* c, AVFormatContext* format, AVStream* stream, const Tone& tone,
                std::int64_t& done, std::int64_t until) {
  const int chunk = c->frame_size > 0 ? c->frame_size : 1024;
  AVFrame* frame = av_frame_alloc();
  bool ok = true;
  while (ok && done < until) {
    frame->nb_samples = static_cast<int>(std::min<std::int64_t>(chunk, until - done));
    if (c->frame_size > 0 && !(c->codec->capabilities & (AV_CODEC_CAP_VARIABLE_FRAME_SIZE |
                                                         AV_CODEC_CAP_SMALL_LAST_FRAME))) {
      frame->nb_samples = chunk;  // the last frame is padded with silence
    }
    frame->format = c->sample_fmt;
    av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
    frame->sample_rate = c->sample_rate;
    ok = av_frame_get_buffer(frame, 0) >= 0;
    if (!ok) break;
    FillAudio(frame, tone, done);
    frame->pts = done;
    done += frame->nb_samples;
    ok = Drain(c, format, stream, frame);
    av_frame_unref(frame);
  }
  av_frame_free(&frame);
  return ok;
}

}  // namespace

bool WriteWav(const std::string& path, const Tone& tone) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const std::uint32_t data = static_cast<std::uint32_t>(tone.frames * tone.channels * 2);
  std::fwrite("RIFF", 1, 4, f);
  Put(f, 36 + data, 4);
  std::fwrite("WAVEfmt ", 1, 8, f);
  Put(f, 16, 4);
  Put(f, 1, 2);
  Put(f, static_cast<std::uint32_t>(tone.channels), 2);
  Put(f, static_cast<std::uint32_t>(tone.rate), 4);
  Put(f, static_cast<std::uint32_t>(tone.rate * tone.channels * 2), 4);
  Put(f, static_cast<std::uint32_t>(tone.channels * 2), 2);
  Put(f, 16, 2);
  std::fwrite("data", 1, 4, f);
  Put(f, data, 4);
  for (std::int64_t i = 0; i < tone.frames; ++i) {
    const auto v = static_cast<std::int16_t>(Sample(tone, i) * 32767);
    for (int c = 0; c < tone.channels; ++c) Put(f, static_cast<std::uint16_t>(v), 2);
  }
  return std::fclose(f) == 0;
}

bool EncodeAudio(const std::string& path, const Tone& tone) {
  av_log_set_level(AV_LOG_QUIET);
  Output out;
  if (avformat_alloc_output_context2(&out.format, nullptr, nullptr, path.c_str()) < 0) return false;
  AVCodecID id = AV_CODEC_ID_NONE;
  if (path.ends_with(".mp3")) id = AV_CODEC_ID_MP3;
  if (path.ends_with(".ogg")) id = AV_CODEC_ID_VORBIS;
  if (path.ends_with(".flac")) id = AV_CODEC_ID_FLAC;
  AVStream* stream = nullptr;
  AVCodecContext* c = OpenAudioEncoder(out.format, tone, id, stream);
  if (c == nullptr) return false;
  bool ok = avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
            avformat_write_header(out.format, nullptr) >= 0;
  std::int64_t done = 0;
  ok = ok && WriteAudio(c, out.format, stream, tone, done, tone.frames);
  ok = ok && Drain(c, out.format, stream, nullptr);
  ok = ok && av_write_trailer(out.format) >= 0;
  avcodec_free_context(&c);
  return ok;
}

bool EncodeMovie(const std::string& path, int width, int height, int fps, int frames,
                 const std::vector<std::uint32_t>& colours, const Tone& tone) {
  av_log_set_level(AV_LOG_QUIET);
  Output out;
  if (avformat_alloc_output_context2(&out.format, nullptr, "avi", path.c_str()) < 0) return false;
  const AVCodec* raw = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
  AVCodecContext* v = avcodec_alloc_context3(raw);
  v->width = width;
  v->height = height;
  v->pix_fmt = AV_PIX_FMT_BGR24;
  v->time_base = AVRational{1, fps};
  v->framerate = AVRational{fps, 1};
  if (avcodec_open2(v, raw, nullptr) < 0) {
    avcodec_free_context(&v);
    return false;
  }
  AVStream* vs = avformat_new_stream(out.format, nullptr);
  avcodec_parameters_from_context(vs->codecpar, v);
  vs->time_base = v->time_base;
  AVStream* as = nullptr;
  AVCodecContext* a = nullptr;
  if (tone.frames > 0) {
    a = OpenAudioEncoder(out.format, tone, AV_CODEC_ID_PCM_S16LE, as);
    if (a == nullptr) {
      avcodec_free_context(&v);
      return false;
    }
  }
  bool ok = avio_open(&out.format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
            avformat_write_header(out.format, nullptr) >= 0;
  AVFrame* frame = av_frame_alloc();
  std::int64_t audio_done = 0;
  for (int i = 0; ok && i < frames; ++i) {
    frame->format = v->pix_fmt;
    frame->width = width;
    frame->height = height;
    ok = av_frame_get_buffer(frame, 0) >= 0;
    if (!ok) break;
    const std::uint32_t rgb = colours[static_cast<std::size_t>(i) % colours.size()];
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = frame->data[0] + y * frame->linesize[0];
      for (int x = 0; x < width; ++x) {
        row[x * 3 + 0] = rgb & 0xFF;
        row[x * 3 + 1] = (rgb >> 8) & 0xFF;
        row[x * 3 + 2] = (rgb >> 16) & 0xFF;
      }
    }
    frame->pts = i;
    ok = Drain(v, out.format, vs, frame);
    av_frame_unref(frame);
    if (a != nullptr) {
      const std::int64_t until =
          std::min<std::int64_t>(tone.frames, static_cast<std::int64_t>(i + 1) * tone.rate / fps);
      ok = ok && WriteAudio(a, out.format, as, tone, audio_done, until);
    }
  }
  av_frame_free(&frame);
  ok = ok && Drain(v, out.format, vs, nullptr);
  if (a != nullptr) ok = ok && Drain(a, out.format, as, nullptr);
  ok = ok && av_write_trailer(out.format) >= 0;
  avcodec_free_context(&v);
  avcodec_free_context(&a);
  return ok;
}

double ZeroCrossingHz(const std::int16_t* samples, std::size_t frames, int rate) {
  std::size_t crossings = 0;
  for (std::size_t i = 1; i < frames; ++i) {
    if ((samples[(i - 1) * 2] < 0) != (samples[i * 2] < 0)) ++crossings;
  }
  if (frames < 2 || Rms(samples, frames) < 100) return 0;
  return static_cast<double>(crossings) * rate / (2.0 * static_cast<double>(frames));
}

double Rms(const std::int16_t* samples, std::size_t frames) {
  double sum = 0;
  for (std::size_t i = 0; i < frames * 2; ++i) sum += double(samples[i]) * samples[i];
  return frames == 0 ? 0 : std::sqrt(sum / double(frames * 2));
}

double PitchHz(const std::int16_t* samples, std::size_t frames, int rate) {
  const std::size_t min_lag = static_cast<std::size_t>(rate / 2000);
  const std::size_t max_lag = static_cast<std::size_t>(rate / 50);
  if (frames < 2 * max_lag) return 0;
  const std::size_t n = frames - max_lag;
  auto corr = [&](std::size_t lag) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += double(samples[2 * i]) * samples[2 * (i + lag)];
    return sum;
  };
  // The first lag whose correlation comes close to the best: the fundamental, not a multiple.
  std::vector<double> c(max_lag + 1, 0);
  double best = 0;
  for (std::size_t lag = min_lag; lag <= max_lag; ++lag) best = std::max(best, c[lag] = corr(lag));
  if (best <= 0) return 0;
  for (std::size_t lag = min_lag + 1; lag < max_lag; ++lag) {
    if (c[lag] >= 0.9 * best && c[lag] >= c[lag - 1] && c[lag] >= c[lag + 1]) {
      return double(rate) / double(lag);
    }
  }
  return 0;
}

bool ReadMixWav(const std::string& path, std::vector<std::int16_t>& samples) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) return false;
  std::uint8_t h[44];
  bool ok = std::fread(h, 1, 44, f) == 44 && std::memcmp(h, "RIFF", 4) == 0 &&
            std::memcmp(h + 36, "data", 4) == 0 && h[22] == 2 && h[34] == 16 &&
            (h[24] | (h[25] << 8) | (h[26] << 16)) == 44100;
  const std::uint32_t bytes = h[40] | (h[41] << 8) | (h[42] << 16) | (std::uint32_t{h[43]} << 24);
  if (ok) {
    std::vector<std::uint8_t> data(bytes);
    ok = std::fread(data.data(), 1, bytes, f) == bytes;
    samples.resize(bytes / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      samples[i] = static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
  }
  std::fclose(f);
  return ok;
}

namespace {

void PutLe32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

std::string Chunk(const char* tag, const std::string& body) {
  std::string c(tag, 4);
  PutLe32(c, static_cast<std::uint32_t>(body.size()));
  return c + body + (body.size() % 2 ? std::string(1, '\0') : "");
}

}  // namespace

bool WritePaletteMovie(const std::string& path, int width, int height, int fps, int frames,
                       std::uint32_t colour) {
  const auto row = static_cast<std::uint32_t>((width + 3) / 4 * 4);
  const std::uint32_t frame_bytes = row * static_cast<std::uint32_t>(height);
  const std::uint32_t w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
  std::string avih;
  for (std::uint32_t v : {1000000u / fps, 0u, 0u, 0x10u, static_cast<std::uint32_t>(frames), 0u, 1u,
                          frame_bytes, w, h, 0u, 0u, 0u, 0u}) {
    PutLe32(avih, v);
  }
  std::string strh = "vids";
  strh.append(8, '\0');  // handler, flags
  for (std::uint32_t v : {0u, 0u, 1u, static_cast<std::uint32_t>(fps), 0u,
                          static_cast<std::uint32_t>(frames), frame_bytes, 0xFFFFFFFFu, 0u}) {
    PutLe32(strh, v);  // priority and language, initial frames, scale, rate, start, length...
  }
  strh.append(8, '\0');
  std::string strf;
  for (std::uint32_t v : {40u, w, h}) PutLe32(strf, v);
  for (std::uint32_t v : {1u | (8u << 16), 0u, frame_bytes, 0u, 0u, 256u, 0u}) PutLe32(strf, v);
  for (int i = 0; i < 256; ++i) PutLe32(strf, i == 1 ? colour : 0);  // B, G, R, 0 little-endian
  const std::string hdrl =
      Chunk("LIST", "hdrl" + Chunk("avih", avih) +
                        Chunk("LIST", "strl" + Chunk("strh", strh) + Chunk("strf", strf)));
  std::string movi = "movi", index;
  for (int k = 0; k < frames; ++k) {
    index += "00db";
    PutLe32(index, 0x10);
    PutLe32(index, static_cast<std::uint32_t>(movi.size()));
    PutLe32(index, frame_bytes);
    movi += Chunk("00db", std::string(frame_bytes, '\1'));
  }
  const std::string body = "AVI " + hdrl + Chunk("LIST", movi) + Chunk("idx1", index);
  std::ofstream out(path, std::ios::binary);
  out << Chunk("RIFF", body);
  return static_cast<bool>(out);
}

}  // namespace adv::test
