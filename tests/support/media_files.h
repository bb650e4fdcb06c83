// Test media made at test time: WAV and AVI written by hand, MP3 / Ogg / FLAC encoded with
// FFmpeg's libraries. Nothing here is committed as a binary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace adv::test {

// A sine tone of `hz` (0: silence) at `amplitude` (0..1).
struct Tone {
  double hz = 440;
  double amplitude = 0.5;
  int rate = 44100;
  int channels = 2;
  std::int64_t frames = 44100;
  // With a period (frames): the tone sounds only for the first `burst` frames of each period.
  std::int64_t period = 0;
  std::int64_t burst = 0;
};

// 16-bit PCM WAV.
bool WriteWav(const std::string& path, const Tone& tone);
// Encodes the tone; codec by the file's extension: .ogg (Vorbis), otherwise MP3 (LAME).
bool EncodeAudio(const std::string& path, const Tone& tone);

// An uncompressed AVI movie of 8-bit frames: frame i has colour colours[i % colours.size()]
// (0xRRGGBB) from its palette, which FFmpeg hands over with the first packet only; at `fps`,
// with the tone as PCM sound when tone.frames > 0.
bool WriteMovie(const std::string& path, int width, int height, int fps, int frames,
                const std::vector<std::uint32_t>& colours, const Tone& tone);
inline bool WritePaletteMovie(const std::string& path, int width, int height, int fps, int frames,
                              std::uint32_t colour) {
  return WriteMovie(path, width, height, fps, frames, {colour}, Tone{0, 0, 44100, 2, 0});
}

// The dominant frequency of the left channel of interleaved stereo samples, by counting zero
// crossings (an instrument's harmonics fool it: test with a pure one); 0 for silence.
double ZeroCrossingHz(const std::int16_t* samples, std::size_t frames, int rate = 44100);
double Rms(const std::int16_t* samples, std::size_t frames);

}  // namespace adv::test
