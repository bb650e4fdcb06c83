#include "host/synth_port.h"

#include <algorithm>

namespace adv {

void SynthPort::SetSoundFont(const std::string& native_path) {
  std::lock_guard lock(mutex_);
  sound_font_ = native_path;
  if (synth_) synth_->SetSoundFont(native_path);
}

bool SynthPort::Load() {
  std::lock_guard lock(mutex_);
  if (!tried_) {
    tried_ = true;
    if (MediaCodecs* codecs = codecs_()) synth_ = codecs->CreateSynthesizer(log_);
    if (synth_) {
      synth_->SetSoundFont(sound_font_);
      synth_->Load();
      made_ = synth_.get();
    }
  }
  return synth_ != nullptr;
}

bool SynthPort::HasSoundFont() const {
  Synthesizer* synth = Made();
  return synth != nullptr && synth->HasSoundFont();
}

bool SynthPort::Open() {
  Load();
  if (Synthesizer* synth = Made()) synth->Open();
  open_ = true;
  return true;
}

void SynthPort::Close() {
  if (Synthesizer* synth = Made()) synth->Close();
  open_ = false;
}

bool SynthPort::IsOpen() const {
  return open_;
}

bool SynthPort::Short(std::uint32_t message) {
  if (!open_) return false;
  Synthesizer* synth = Made();
  return synth == nullptr || synth->Short(message);
}

bool SynthPort::Long(std::span<const std::uint8_t> message) {
  if (!open_) return false;
  Synthesizer* synth = Made();
  return synth == nullptr || synth->Long(message);
}

std::size_t SynthPort::Read(std::int16_t* out, std::size_t frames) {
  if (Synthesizer* synth = Made()) return synth->Read(out, frames);
  std::fill(out, out + frames * kMixChannels, 0);
  return frames;
}

}  // namespace adv
