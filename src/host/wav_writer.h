// Writes the mix to a WAV file: 16-bit stereo PCM at 44,100 Hz. The header's sizes are filled
// in when the file is closed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace adv {

class WavWriter {
 public:
  WavWriter() = default;
  // Whoever needs the file closes it first, and hears there whether it was written.
  ~WavWriter() { (void)Close(); }
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  [[nodiscard]] bool Open(const std::string& path);
  bool IsOpen() const { return file_ != nullptr; }
  // Interleaved stereo frames.
  [[nodiscard]] bool Write(const std::int16_t* frames, std::size_t count);
  // Fills in the sizes and closes; false when anything failed to be written.
  [[nodiscard]] bool Close();
  std::uint64_t frames() const { return frames_; }

 private:
  std::FILE* file_ = nullptr;
  std::uint64_t frames_ = 0;
  bool ok_ = true;
};

}  // namespace adv
