// The decoders and the synthesizer. They need FFmpeg and FluidSynth, whose libraries are most of
// what a process would otherwise map and touch at start-up, so they live in modules of their own
// (libadv-codecs.so, libadv-synth.so) that are loaded when a game first plays something.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "host/audio_source.h"
#include "host/midi_port.h"
#include "host/plugin_library.h"

namespace adv {

// A movie's picture, decoded frame by frame.
class MovieFrames {
 public:
  virtual ~MovieFrames() = default;
  // The next frame and its time in ms from the movie's start; false at the end.
  [[nodiscard]] virtual bool Next(std::int64_t& ms) = 0;
  // The last frame from Next, scaled into out (the size asked for, 0xFFRRGGBB).
  [[nodiscard]] virtual bool Convert(std::uint32_t* out) = 0;
  [[nodiscard]] virtual bool Rewind() = 0;
  // The time the last frame from Next ends.
  virtual std::int64_t EndMs() const = 0;
  // How long the picture runs as the file says; 0 when it does not say.
  virtual std::int64_t LengthMs() const = 0;
};

// The MIDI synthesizer: a port the sequencer plays to, and a source the mixer renders.
class Synthesizer : public MidiPort, public AudioSource {
 public:
  // The SoundFont loaded with the synthesizer; empty: the default.
  virtual void SetSoundFont(const std::string& native_path) = 0;
  // Loads synthesizer and SoundFont now instead of at the first Open.
  [[nodiscard]] virtual bool Load() = 0;
  virtual bool HasSoundFont() const = 0;
};

class MediaCodecs {
 public:
  using Log = std::function<void(const std::string&)>;
  virtual ~MediaCodecs() = default;
  // A sound or music file decoded as it plays, in the mixer's format; null when it cannot be.
  virtual std::unique_ptr<AudioSource> OpenSound(const std::string& native_path) = 0;
  // A movie's picture scaled to width x height; null without a picture that can be decoded.
  virtual std::unique_ptr<MovieFrames> OpenMovie(const std::string& native_path, int width,
                                                 int height) = 0;
  virtual std::unique_ptr<Synthesizer> CreateSynthesizer(Log log) = 0;
};

// Each module's one entry: the codecs it holds, alive as long as the module is loaded. The
// decoders (FFmpeg) and the synthesizer (FluidSynth) are two modules, so a game that only plays
// MIDI never maps FFmpeg's libraries, nor a game without MIDI FluidSynth's.
using MediaCodecsEntry = MediaCodecs* (*)();
inline constexpr const char* kMediaCodecsEntry = "AdvMediaCodecs";
inline constexpr const char* kMediaCodecsModule = "libadv-codecs.so";
inline constexpr const char* kSynthEntry = "AdvSynthCodecs";
inline constexpr const char* kSynthModule = "libadv-synth.so";

// The decoders and the synthesizer behind one MediaCodecs: each half's module is loaded at its
// first use and kept. A module that cannot be found leaves its half null (after one log line):
// the media it would play then play nothing.
class CodecsModule : private MediaCodecs {
 public:
  explicit CodecsModule(MediaCodecs::Log log) : log_(std::move(log)) {}
  MediaCodecs* Get() { return this; }

 private:
  struct Module {
    Module(const char* file, const char* entry, const char* loss)
        : file(file), entry(entry), loss(loss) {}
    const char* file;
    const char* entry;
    const char* loss;  // what the log says is lost without it
    std::mutex mutex;
    PluginLibrary library;
    MediaCodecs* codecs = nullptr;
    bool tried = false;
  };
  MediaCodecs* Load(Module& module);

  std::unique_ptr<AudioSource> OpenSound(const std::string& native_path) override;
  std::unique_ptr<MovieFrames> OpenMovie(const std::string& native_path, int width,
                                         int height) override;
  std::unique_ptr<Synthesizer> CreateSynthesizer(Log log) override;

  MediaCodecs::Log log_;
  Module decoders_{kMediaCodecsModule, kMediaCodecsEntry, "no sound, music or movie plays"};
  Module synth_{kSynthModule, kSynthEntry, "MIDI stays silent"};
};

}  // namespace adv
