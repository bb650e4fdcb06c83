// The openers of sound files, CD track files and movies on arbitrary files: open, read a
// little, jump back, read again; for a movie, decode and scale a few frames.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_folder.h"
#include "host/codecs/ffmpeg_audio_source.h"
#include "host/codecs/ffmpeg_movie_frames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto& folder = adv::fuzz::Folder();
  folder.Write("media", data, size);
  const std::string path = folder.path() + "/media";
  if (auto sound = adv::FfmpegAudioSource::Open(path)) {
    std::vector<std::int16_t> out(4096 * 2);
    for (int i = 0; i < 4 && sound->Read(out.data(), 4096) > 0; ++i) {
    }
    if (sound->Seek(0)) sound->Read(out.data(), 4096);
    sound->Seek(sound->Length() / 2);
    sound->Read(out.data(), 1024);
  }
  if (auto movie = adv::FfmpegMovieFrames::Open(path, 64, 48)) {
    std::vector<std::uint32_t> frame(64 * 48);
    std::int64_t ms = 0;
    for (int i = 0; i < 4 && movie->Next(ms); ++i) movie->Convert(frame.data());
    if (movie->Rewind() && movie->Next(ms)) movie->Convert(frame.data());
  }
  return 0;
}
