// Test media made at test time: WAV written by hand, MP3 / Ogg / FLAC and AVI movies encoded
// with FFmpeg's libraries. Nothing here is committed as a binary.
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
};

// 16-bit PCM WAV.
bool WriteWav(const std::string& path, const Tone& tone);
// Encodes the tone; codec by the file's extension: .mp3 (LAME), .ogg (Vorbis), .flac.
bool EncodeAudio(const std::string& path, const Tone& tone);

// An AVI movie of uncompressed frames: frame i has colour colours[i % colours.size()]
// (0xRRGGBB), at `fps`; with a tone as PCM sound when tone.frames > 0.
bool EncodeMovie(const std::string& path, int width, int height, int fps, int frames,
                 const std::vector<std::uint32_t>& colours, const Tone& tone);

// An uncompressed 8-bit palette AVI written by hand (no sound): every pixel is palette entry 1,
// which holds colour (0xRRGGBB). FFmpeg hands such a movie's palette over with its first packet
// only.
bool WritePaletteMovie(const std::string& path, int width, int height, int fps, int frames,
                       std::uint32_t colour);

// The dominant frequency of a stretch of interleaved stereo samples (left channel), by counting
// zero crossings; 0 for silence.
double ZeroCrossingHz(const std::int16_t* samples, std::size_t frames, int rate = 44100);
double Rms(const std::int16_t* samples, std::size_t frames);
// The fundamental frequency (50 Hz to 2 kHz) of the left channel by autocorrelation; robust
// where harmonics would fool zero crossings (a synthesizer's instruments).
double PitchHz(const std::int16_t* samples, std::size_t frames, int rate = 44100);
// Reads a 16-bit stereo 44.1 kHz WAV as written by the mixer's capture; false otherwise.
bool ReadMixWav(const std::string& path, std::vector<std::int16_t>& samples);

}  // namespace adv::test
