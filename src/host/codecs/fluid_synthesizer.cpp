#include "host/codecs/fluid_synthesizer.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace adv {

namespace {

void QuietFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

// The stand-in preset a reset gives every channel: it has no samples and plays nothing.
const char* IdleName(fluid_preset_t*) {
  return "idle";
}
int IdleBank(fluid_preset_t*) {
  return 0;
}
int IdleNum(fluid_preset_t*) {
  return 0;
}
int IdleNoteOn(fluid_preset_t*, fluid_synth_t*, int, int, int) {
  return FLUID_OK;
}
void IdleFree(fluid_preset_t* preset) {
  delete_fluid_preset(preset);
}

}  // namespace

// A SoundFont on top of the real one that answers only while a reset runs: the channels then
// get the idle preset, and the real default presets (and their samples) are selected when a
// channel first plays a note without having been given a program.
struct FluidSynthesizer::Guard {
  static const char* Name(fluid_sfont_t*) { return "adv reset"; }
  static fluid_preset_t* Preset(fluid_sfont_t* sfont, int, int) {
    auto* self = static_cast<FluidSynthesizer*>(fluid_sfont_get_data(sfont));
    return self->resetting_ ? self->idle_ : nullptr;
  }
  static int Free(fluid_sfont_t* sfont) {
    auto* self = static_cast<FluidSynthesizer*>(fluid_sfont_get_data(sfont));
    if (self->idle_ != nullptr) IdleFree(self->idle_);
    self->idle_ = nullptr;
    delete_fluid_sfont(sfont);
    return 0;
  }
};

FluidSynthesizer::FluidSynthesizer(Log log) : log_(std::move(log)) {}

FluidSynthesizer::~FluidSynthesizer() {
  if (fluid_synth_t* synth = synth_.exchange(nullptr)) delete_fluid_synth(synth);
  if (settings_ != nullptr) delete_fluid_settings(settings_);
}

void FluidSynthesizer::SetSoundFont(const std::string& native_path) {
  std::lock_guard lock(load_mutex_);
  path_ = native_path;
}

bool FluidSynthesizer::Load() {
  std::lock_guard lock(load_mutex_);
  if (tried_) return synth_.load() != nullptr;
  tried_ = true;
  QuietFluidSynth();
  settings_ = new_fluid_settings();
  if (settings_ == nullptr) return false;
  fluid_settings_setnum(settings_, "synth.sample-rate", kMixRate);
  fluid_settings_setint(settings_, "synth.threadsafe-api", 1);
  fluid_settings_setint(settings_, "synth.cpu-cores", 1);
  // Locking 150 MB of samples into memory is not ours to ask, and a song needs only the samples
  // of its instruments: they are read when a program first asks for them.
  fluid_settings_setint(settings_, "synth.lock-memory", 0);
  fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
  fluid_synth_t* synth = new_fluid_synth(settings_);
  if (synth == nullptr) {
    if (log_) log_("adv: the MIDI synthesizer cannot start; MIDI stays silent");
    return false;
  }
  const std::string path = path_.empty() ? kDefaultSoundFont : path_;
  // FluidSynth reads any file it is given; a missing one is told apart for the log.
  std::FILE* probe = std::fopen(path.c_str(), "rb");
  if (probe != nullptr) {
    std::fclose(probe);
    sound_font_id_ = fluid_synth_sfload(synth, path.c_str(), 0);
  }
  if (sound_font_id_ >= 0) AddGuard(synth);
  if (sound_font_id_ < 0 && log_) {
    log_("adv: SoundFont " + path + (probe == nullptr ? " cannot be read" : " is not a SoundFont") +
         "; MIDI stays silent");
  }
  synth_ = synth;
  return true;
}

void FluidSynthesizer::AddGuard(fluid_synth_t* synth) {
  fluid_sfont_t* guard = new_fluid_sfont(Guard::Name, Guard::Preset, nullptr, nullptr, Guard::Free);
  if (guard == nullptr) return;
  idle_ = new_fluid_preset(guard, IdleName, IdleBank, IdleNum, IdleNoteOn, IdleFree);
  if (idle_ == nullptr) {
    delete_fluid_sfont(guard);
    return;
  }
  fluid_sfont_set_data(guard, this);
  // Adding a SoundFont resets the channels' programs: to the idle preset, while this is set.
  resetting_ = true;
  if (fluid_synth_add_sfont(synth, guard) == FLUID_FAILED) Guard::Free(guard);
  resetting_ = false;
  RememberDefaults(synth);
}

void FluidSynthesizer::RememberDefaults(fluid_synth_t* synth) {
  for (int ch = 0; ch < kChannels; ++ch) {
    int sfont = 0;
    fluid_synth_get_program(synth, ch, &sfont, &default_bank_[ch], &default_program_[ch]);
  }
}

void FluidSynthesizer::SelectDefault(fluid_synth_t* synth, int ch) {
  if (idle_ == nullptr || fluid_synth_get_channel_preset(synth, ch) != idle_) return;
  // A bank select since the reset waits for the next program change, as it would have.
  int sfont = 0, bank = 0, program = 0;
  fluid_synth_get_program(synth, ch, &sfont, &bank, &program);
  fluid_synth_program_select(synth, ch, sound_font_id_, default_bank_[ch], default_program_[ch]);
  fluid_synth_bank_select(synth, ch, bank);
}

bool FluidSynthesizer::Open() {
  if (open_) return true;
  (void)Load();  // without a synthesizer the port opens silent; Load has logged why
  // A newly opened port starts from General MIDI's reset state, whatever the last song left.
  if (fluid_synth_t* synth = synth_.load()) {
    resetting_ = idle_ != nullptr;
    fluid_synth_system_reset(synth);
    resetting_ = false;
    RememberDefaults(synth);
  }
  open_ = true;
  return true;
}

void FluidSynthesizer::Close() {
  if (!open_) return;
  if (fluid_synth_t* synth = synth_.load()) {
    for (int ch = 0; ch < 16; ++ch) {
      fluid_synth_cc(synth, ch, 64, 0);  // sustain off
      fluid_synth_all_notes_off(synth, ch);
    }
  }
  open_ = false;
}

bool FluidSynthesizer::Short(std::uint32_t message) {
  fluid_synth_t* synth = synth_.load();
  if (!open_) return false;
  if (synth == nullptr) return true;
  const int status = message & 0xFF;
  const int ch = status & 15;
  const int d1 = (message >> 8) & 0x7F;
  const int d2 = (message >> 16) & 0x7F;
  switch (status & 0xF0) {
    case 0x80:
      fluid_synth_noteoff(synth, ch, d1);
      break;
    case 0x90:
      if (d2 != 0) SelectDefault(synth, ch);
      fluid_synth_noteon(synth, ch, d1, d2);  // velocity 0 ends the note
      break;
    case 0xA0:
      fluid_synth_key_pressure(synth, ch, d1, d2);
      break;
    case 0xB0:
      fluid_synth_cc(synth, ch, d1, d2);
      break;
    case 0xC0:
      fluid_synth_program_change(synth, ch, d1);
      break;
    case 0xD0:
      fluid_synth_channel_pressure(synth, ch, d1);
      break;
    case 0xE0:
      fluid_synth_pitch_bend(synth, ch, d1 | (d2 << 7));
      break;
    default:
      break;
  }
  return true;
}

bool FluidSynthesizer::Long(std::span<const std::uint8_t> message) {
  fluid_synth_t* synth = synth_.load();
  if (!open_) return false;
  // FluidSynth takes the bytes between 0xF0 and 0xF7; escape packets carry no SysEx it knows.
  if (synth == nullptr || message.size() < 2 || message.front() != 0xF0) return true;
  std::size_t length = message.size() - 1;
  if (message.back() == 0xF7) --length;
  fluid_synth_sysex(synth, reinterpret_cast<const char*>(message.data() + 1),
                    static_cast<int>(length), nullptr, nullptr, nullptr, 0);
  return true;
}

std::size_t FluidSynthesizer::Read(std::int16_t* out, std::size_t frames) {
  fluid_synth_t* synth = synth_.load();
  if (synth == nullptr || sound_font_id_ < 0) {
    std::fill(out, out + frames * kMixChannels, 0);
    return frames;
  }
  buffer_.resize(frames * kMixChannels);
  fluid_synth_write_float(synth, static_cast<int>(frames), buffer_.data(), 0, 2, buffer_.data(), 1,
                          2);
  for (std::size_t i = 0; i < frames * kMixChannels; ++i) {
    const float v = std::clamp(buffer_[i], -1.0f, 1.0f);
    out[i] = static_cast<std::int16_t>(v * 32767.0f);
  }
  return frames;
}

}  // namespace adv
