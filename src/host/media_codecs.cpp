#include "host/media_codecs.h"

#include <vector>

#include "host/file_system.h"

namespace adv {

namespace {

// Beside the executable (a build tree), one folder up (the tests' programs), and where make
// install puts it relative to the installed executable.
std::vector<std::string> ModulePlaces(const std::string& file) {
  const std::string exe = ExecutablePath();
  const std::string folder = exe.substr(0, exe.find_last_of('/') + 1);
  return {folder + file, folder + "../" + file, folder + ADV_CODECS_INSTALL_DIR + "/" + file};
}

}  // namespace

MediaCodecs* CodecsModule::Load(Module& module) {
  std::lock_guard lock(module.mutex);
  if (module.tried) return module.codecs;
  module.tried = true;
  for (const std::string& place : ModulePlaces(module.file)) {
    if (!module.library.Open(place)) continue;
    if (auto entry = reinterpret_cast<MediaCodecsEntry>(module.library.Symbol(module.entry))) {
      module.codecs = entry();
      if (module.codecs != nullptr) return module.codecs;
    }
    module.library.Close();
  }
  if (log_) log_(std::string("adv: ") + module.file + " cannot be loaded; " + module.loss);
  return nullptr;
}

std::unique_ptr<AudioSource> CodecsModule::OpenSound(const std::string& native_path) {
  MediaCodecs* codecs = Load(decoders_);
  return codecs != nullptr ? codecs->OpenSound(native_path) : nullptr;
}

std::unique_ptr<MovieFrames> CodecsModule::OpenMovie(const std::string& native_path, int width,
                                                     int height) {
  MediaCodecs* codecs = Load(decoders_);
  return codecs != nullptr ? codecs->OpenMovie(native_path, width, height) : nullptr;
}

std::unique_ptr<Synthesizer> CodecsModule::CreateSynthesizer(Log log) {
  MediaCodecs* codecs = Load(synth_);
  return codecs != nullptr ? codecs->CreateSynthesizer(std::move(log)) : nullptr;
}

}  // namespace adv
