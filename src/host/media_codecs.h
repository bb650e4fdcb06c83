// The decoders and the synthesizer. They need FFmpeg and FluidSynth, whose libraries are most of
// what a process would otherwise map and touch at start-up, so they live in a module of their own
// (libadv-codecs.so) that is loaded when a game first plays something.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
  virtual bool Next(std::int64_t& ms) = 0;
  // The last frame from Next, scaled into out (the size asked for, 0xFFRRGGBB).
  virtual bool Convert(std::uint32_t* out) = 0;
  virtual bool Rewind() = 0;
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
  virtual bool Load() = 0;
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

// The module's one entry: the codecs it holds, alive as long as the module is loaded.
using MediaCodecsEntry = MediaCodecs* (*)();
inline constexpr const char* kMediaCodecsEntry = "AdvMediaCodecs";
inline constexpr const char* kMediaCodecsModule = "libadv-codecs.so";

// Loads the module at the first Get and keeps it; Get is null (after one log line) when it
// cannot be found, and the media then play nothing.
class CodecsModule {
 public:
  explicit CodecsModule(MediaCodecs::Log log) : log_(std::move(log)) {}
  MediaCodecs* Get();

 private:
  MediaCodecs::Log log_;
  PluginLibrary library_;
  MediaCodecs* codecs_ = nullptr;
  bool tried_ = false;
};

}  // namespace adv
