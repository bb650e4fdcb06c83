#include "host/media_codecs.h"

#include <vector>

#include "host/file_system.h"

namespace adv {

namespace {

// Beside the executable (a build tree), one folder up (the tests' programs), and where make
// install puts it relative to the installed executable.
std::vector<std::string> ModulePlaces() {
  const std::string exe = ExecutablePath();
  const std::string folder = exe.substr(0, exe.find_last_of('/') + 1);
  return {folder + kMediaCodecsModule, folder + "../" + kMediaCodecsModule,
          folder + ADV_CODECS_INSTALL_DIR + "/" + kMediaCodecsModule};
}

}  // namespace

MediaCodecs* CodecsModule::Get() {
  if (tried_) return codecs_;
  tried_ = true;
  for (const std::string& place : ModulePlaces()) {
    if (!library_.Open(place)) continue;
    if (auto entry = reinterpret_cast<MediaCodecsEntry>(library_.Symbol(kMediaCodecsEntry))) {
      codecs_ = entry();
      if (codecs_ != nullptr) return codecs_;
    }
    library_.Close();
  }
  if (log_)
    log_(std::string("adv: ") + kMediaCodecsModule +
         " cannot be loaded; no sound, music or movie plays");
  return nullptr;
}

}  // namespace adv
