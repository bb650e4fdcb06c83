#include "host/synth_port.h"

#include <algorithm>
#include <filesystem>

namespace adv {

namespace {

// Larger than any real SoundFont; FluidSynth would read it all.
constexpr std::uintmax_t kMaxSoundFontBytes = std::uintmax_t{2} << 30;

}  // namespace

void SynthPort::SetSoundFont(const std::string& native_path) {
  std::string path = native_path;
  // A game's settings may name a device, a FIFO or a huge file, which would block or fill
  // memory: the default SoundFont plays instead. A missing file stays named, to be reported.
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (!path.empty() && std::filesystem::exists(status) &&
      (!std::filesystem::is_regular_file(status) ||
       std::filesystem::file_size(path, error) > kMaxSoundFontBytes)) {
    if (log_) log_("adv: SoundFont " + path + " is not a file of at most 2 GiB; using the default");
    path.clear();
  }
  std::lock_guard lock(mutex_);
  sound_font_ = path;
  if (synth_) synth_->SetSoundFont(path);
}

bool SynthPort::Load() {
  std::lock_guard lock(mutex_);
  if (!tried_) {
    tried_ = true;
    if (MediaCodecs* codecs = codecs_()) synth_ = codecs->CreateSynthesizer(log_);
    if (synth_) {
      synth_->SetSoundFont(sound_font_);
      // One that cannot load has logged why; it stays silent, and HasSoundFont says so.
      (void)synth_->Load();
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
  // Without a synthesizer the port opens silent, so songs keep their time; Load has logged why.
  (void)Load();
  if (Synthesizer* synth = Made()) (void)synth->Open();  // opens whenever it was made
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
