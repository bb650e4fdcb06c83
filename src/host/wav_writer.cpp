#include "host/wav_writer.h"

#include <algorithm>
#include <cstring>

#include "host/audio_source.h"

namespace adv {

namespace {

void PutU32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void PutU16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr std::uint32_t kFrameBytes = 4;

void Header(std::uint8_t (&h)[44], std::uint64_t frames) {
  // A RIFF file cannot say more than 4 GB; a longer capture keeps the largest size it can.
  const std::uint64_t max_data = 0xFFFFFFFFull - 36;
  const std::uint32_t data = static_cast<std::uint32_t>(
      std::min<std::uint64_t>(frames * kFrameBytes, max_data - max_data % kFrameBytes));
  std::memcpy(h, "RIFF", 4);
  PutU32(h + 4, 36 + data);
  std::memcpy(h + 8, "WAVEfmt ", 8);
  PutU32(h + 16, 16);
  PutU16(h + 20, 1);  // PCM
  PutU16(h + 22, kMixChannels);
  PutU32(h + 24, kMixRate);
  PutU32(h + 28, kMixRate * kFrameBytes);
  PutU16(h + 32, kFrameBytes);
  PutU16(h + 34, 16);
  std::memcpy(h + 36, "data", 4);
  PutU32(h + 40, data);
}

}  // namespace

bool WavWriter::Open(const std::string& path) {
  (void)Close();  // opening again gives up the file before
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ == nullptr) return false;
  frames_ = 0;
  std::uint8_t h[44];
  Header(h, 0);
  ok_ = std::fwrite(h, sizeof(h), 1, file_) == 1;
  return ok_;
}

bool WavWriter::Write(const std::int16_t* frames, std::size_t count) {
  if (file_ == nullptr) return false;
  // Little-endian samples, whatever the machine.
  std::uint8_t buffer[4096];
  std::size_t i = 0;
  const std::size_t samples = count * kMixChannels;
  while (i < samples) {
    const std::size_t n = std::min(samples - i, sizeof(buffer) / 2);
    for (std::size_t k = 0; k < n; ++k)
      PutU16(buffer + 2 * k, static_cast<std::uint16_t>(frames[i + k]));
    ok_ = ok_ && std::fwrite(buffer, 2, n, file_) == n;
    i += n;
  }
  frames_ += count;
  return ok_;
}

bool WavWriter::Close() {
  if (file_ == nullptr) return ok_;
  std::uint8_t h[44];
  Header(h, frames_);
  ok_ = ok_ && std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h, sizeof(h), 1, file_) == 1;
  ok_ = std::fclose(file_) == 0 && ok_;
  file_ = nullptr;
  return ok_;
}

}  // namespace adv
