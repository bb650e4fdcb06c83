// The MIDI synthesizer of a real run: FluidSynth with a General MIDI SoundFont, rendered into the
// mixer as one more source. The synthesizer and its SoundFont are loaded at the first Open (a GM
// SoundFont is large, and a game without MIDI should not pay for it). A SoundFont that cannot
// be loaded leaves MIDI silent, with one line in the debug log.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/media_codecs.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_preset_t fluid_preset_t;

namespace adv {

// Debian's General MIDI SoundFont (FluidR3_GM through the alternatives system).
inline constexpr const char* kDefaultSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";

class FluidSynthesizer : public Synthesizer {
 public:
  using Log = std::function<void(const std::string&)>;
  explicit FluidSynthesizer(Log log);
  ~FluidSynthesizer() override;
  FluidSynthesizer(const FluidSynthesizer&) = delete;
  FluidSynthesizer& operator=(const FluidSynthesizer&) = delete;

  // The SoundFont loaded at the first Open; empty: the default.
  void SetSoundFont(const std::string& native_path) override;
  [[nodiscard]] bool Load() override;
  bool HasSoundFont() const override { return sound_font_id_ >= 0; }

  [[nodiscard]] bool Open() override;
  void Close() override;
  bool IsOpen() const override { return open_; }
  bool Short(std::uint32_t message) override;
  bool Long(std::span<const std::uint8_t> message) override;

  // The synthesizer's sound; silence while there is none.
  std::size_t Read(std::int16_t* out, std::size_t frames) override;
  bool Seek(std::uint64_t) override { return true; }
  std::uint64_t Position() const override { return 0; }
  std::uint64_t Length() const override { return 0; }

 private:
  struct Guard;
  static constexpr int kChannels = 16;
  void AddGuard(fluid_synth_t* synth);
  void RememberDefaults(fluid_synth_t* synth);
  // Gives a channel still on the idle preset the program a reset chose for it.
  void SelectDefault(fluid_synth_t* synth, int ch);

  Log log_;
  std::string path_;
  std::mutex load_mutex_;
  bool tried_ = false;
  int sound_font_id_ = -1;
  fluid_settings_t* settings_ = nullptr;
  std::atomic<fluid_synth_t*> synth_{nullptr};
  std::atomic<bool> open_{false};
  std::vector<float> buffer_;
  // A reset leaves the channels on this sample-less preset; see Guard.
  fluid_preset_t* idle_ = nullptr;
  std::atomic<bool> resetting_{false};
  int default_bank_[kChannels] = {};
  int default_program_[kChannels] = {};
};

}  // namespace adv
