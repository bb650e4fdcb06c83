// The MIDI port and mixer source the host gives out from the start: it forwards to the codecs'
// synthesizer, which is made (and its SoundFont loaded) only when a song first opens the port.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "host/media_codecs.h"

namespace adv {

class SynthPort : public MidiPort, public AudioSource {
 public:
  SynthPort(std::function<MediaCodecs*()> codecs, MediaCodecs::Log log)
      : codecs_(std::move(codecs)), log_(std::move(log)) {}

  void SetSoundFont(const std::string& native_path);
  // Makes the synthesizer and loads the SoundFont now instead of at the first Open.
  [[nodiscard]] bool Load();
  bool HasSoundFont() const;

  [[nodiscard]] bool Open() override;
  void Close() override;
  bool IsOpen() const override;
  bool Short(std::uint32_t message) override;
  bool Long(std::span<const std::uint8_t> message) override;

  // The synthesizer's sound (read on the audio thread); silence before there is one.
  std::size_t Read(std::int16_t* out, std::size_t frames) override;
  bool Seek(std::uint64_t) override { return true; }
  std::uint64_t Position() const override { return 0; }
  std::uint64_t Length() const override { return 0; }

 private:
  Synthesizer* Made() const { return made_.load(); }

  std::function<MediaCodecs*()> codecs_;
  MediaCodecs::Log log_;
  std::mutex mutex_;
  std::string sound_font_;
  bool tried_ = false;
  std::unique_ptr<Synthesizer> synth_;
  std::atomic<Synthesizer*> made_{nullptr};  // synth_, once it may be used from any thread
  // Without a synthesizer (no codecs module) the port still opens, and stays silent.
  std::atomic<bool> open_{false};
};

}  // namespace adv
