#include "support/media_files.h"

#include <cmath>
#include <fstream>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace adv::test {

namespace {

double Sample(const Tone& t, std::int64_t i) {
  if (t.period > 0 && i % t.period >= t.burst) return 0;
  return t.amplitude * std::sin(2 * M_PI * t.hz * static_cast<double>(i) / t.rate);
}

void Put(std::string& s, std::uint32_t v, int bytes = 4) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

std::string Le32(std::initializer_list<std::uint32_t> values) {
  std::string s;
  for (std::uint32_t v : values) Put(s, v);
  return s;
}

std::string Chunk(const char* tag, const std::string& body) {
  return tag + Le32({static_cast<std::uint32_t>(body.size())}) + body +
         (body.size() % 2 ? std::string(1, '\0') : "");
}

// The tone's frames [from, to) as 16-bit PCM, every channel alike.
std::string Pcm(const Tone& t, std::int64_t from, std::int64_t to) {
  std::string s;
  for (std::int64_t i = from; i < to; ++i) {
    const auto v = static_cast<std::int16_t>(Sample(t, i) * 32767);
    for (int c = 0; c < t.channels; ++c) Put(s, static_cast<std::uint16_t>(v), 2);
  }
  return s;
}

std::string WaveFormat(const Tone& t) {  // PCM; channels, rate, bytes a second, block, bits
  const auto channels = static_cast<std::uint32_t>(t.channels);
  const auto rate = static_cast<std::uint32_t>(t.rate);
  return Le32({1 | channels << 16, rate, rate * channels * 2, channels * 2 | 16 << 16});
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

// Hands a frame (null: the end) to the encoder and what comes out to the file.
bool Drain(AVCodecContext* codec, AVFormatContext* format, AVFrame* frame) {
  if (avcodec_send_frame(codec, frame) < 0) return false;
  AVPacket* packet = av_packet_alloc();
  int written = 0;
  while (written >= 0 && avcodec_receive_packet(codec, packet) == 0) {
    av_packet_rescale_ts(packet, codec->time_base, format->streams[0]->time_base);
    written = av_interleaved_write_frame(format, packet);
  }
  av_packet_free(&packet);
  return written >= 0;
}

}  // namespace

bool WriteWav(const std::string& path, const Tone& tone) {
  return WriteFile(path, Chunk("RIFF", "WAVE" + Chunk("fmt ", WaveFormat(tone)) +
                                           Chunk("data", Pcm(tone, 0, tone.frames))));
}

bool EncodeAudio(const std::string& path, const Tone& tone) {
  av_log_set_level(AV_LOG_QUIET);
  const AVCodec* codec =
      avcodec_find_encoder(path.ends_with(".ogg") ? AV_CODEC_ID_VORBIS : AV_CODEC_ID_MP3);
  AVFormatContext* format = nullptr;
  if (codec == nullptr ||
      avformat_alloc_output_context2(&format, nullptr, nullptr, path.c_str()) < 0) {
    return false;
  }
  AVCodecContext* c = avcodec_alloc_context3(codec);
  c->sample_rate = tone.rate;
  av_channel_layout_default(&c->ch_layout, tone.channels);
  c->sample_fmt = AV_SAMPLE_FMT_FLTP;  // LAME's and Vorbis's both
  c->bit_rate = 128000;
  c->time_base = AVRational{1, tone.rate};
  AVStream* stream = avformat_new_stream(format, nullptr);
  bool ok = avcodec_open2(c, codec, nullptr) >= 0 &&
            avcodec_parameters_from_context(stream->codecpar, c) >= 0 &&
            avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 &&
            avformat_write_header(format, nullptr) >= 0;
  AVFrame* frame = av_frame_alloc();
  for (std::int64_t done = 0; ok && done < tone.frames; done += frame->nb_samples) {
    av_frame_unref(frame);
    const int size = c->frame_size > 0 ? c->frame_size : 1024;  // the last one may be shorter
    frame->nb_samples = static_cast<int>(std::min<std::int64_t>(size, tone.frames - done));
    frame->format = c->sample_fmt;
    frame->sample_rate = tone.rate;
    frame->pts = done;
    av_channel_layout_copy(&frame->ch_layout, &c->ch_layout);
    ok = av_frame_get_buffer(frame, 0) >= 0;
    for (int i = 0; ok && i < frame->nb_samples * tone.channels; ++i) {
      reinterpret_cast<float*>(frame->data[i % tone.channels])[i / tone.channels] =
          static_cast<float>(Sample(tone, done + i / tone.channels));
    }
    ok = ok && Drain(c, format, frame);
  }
  ok = ok && Drain(c, format, nullptr) && av_write_trailer(format) >= 0;
  av_frame_free(&frame);
  avcodec_free_context(&c);
  avio_closep(&format->pb);
  avformat_free_context(format);
  return ok;
}

bool WriteMovie(const std::string& path, int width, int height, int fps, int frames,
                const std::vector<std::uint32_t>& colours, const Tone& tone) {
  const auto w = static_cast<std::uint32_t>(width), h = static_cast<std::uint32_t>(height);
  const auto rate = static_cast<std::uint32_t>(fps), size = (w + 3) / 4 * 4 * h;
  // Stream headers: type, handler, flags, priority and language, initial frames, scale, rate,
  // start, length, buffer size, quality, sample size, frame rectangle.
  auto stream = [](const char* type, std::uint32_t rate, std::int64_t length,
                   std::uint32_t sample_size, const std::string& format) {
    const auto n = static_cast<std::uint32_t>(length);
    const std::string strh = type + Le32({0, 0, 0, 0, 1, rate, 0, n, 0, ~0u, sample_size, 0, 0});
    return Chunk("LIST", "strl" + Chunk("strh", strh) + Chunk("strf", format));
  };
  std::string bitmap = Le32({40, w, h, 1 | 8 << 16, 0, size, 0, 0, 256, 0});
  for (std::size_t i = 0; i < 256; ++i) Put(bitmap, i < colours.size() ? colours[i] : 0);
  const std::uint32_t streams = tone.frames > 0 ? 2 : 1;
  std::string hdrl =
      "hdrl" +
      Chunk("avih", Le32({1000000 / rate, 0, 0, 0x10, static_cast<std::uint32_t>(frames), 0,
                          streams, size, w, h, 0, 0, 0, 0})) +
      stream("vids", rate, frames, 0, bitmap);
  if (streams == 2) {
    hdrl += stream("auds", static_cast<std::uint32_t>(tone.rate), tone.frames,
                   static_cast<std::uint32_t>(tone.channels) * 2, WaveFormat(tone));
  }
  std::string movi = "movi", index;
  auto add = [&](const char* tag, const std::string& body) {
    index += tag + Le32({0x10, static_cast<std::uint32_t>(movi.size()),
                         static_cast<std::uint32_t>(body.size())});
    movi += Chunk(tag, body);
  };
  for (int i = 0; i < frames; ++i) {
    // Every pixel of frame i is palette entry i % colours.size().
    add("00db", std::string(size, static_cast<char>(static_cast<std::size_t>(i) % colours.size())));
    const std::int64_t from = std::int64_t{i} * tone.rate / fps;
    // The last frame's sound chunk holds the rest of a sound longer than the picture.
    const std::int64_t to = i + 1 == frames
                                ? tone.frames
                                : std::min(tone.frames, std::int64_t{i + 1} * tone.rate / fps);
    if (from < to) add("01wb", Pcm(tone, from, to));
  }
  return WriteFile(path, Chunk("RIFF", "AVI " + Chunk("LIST", hdrl) + Chunk("LIST", movi) +
                                           Chunk("idx1", index)));
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

}  // namespace adv::test
