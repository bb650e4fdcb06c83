#include "host/plugin_library.h"

#include <dlfcn.h>

namespace adv {

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

bool PluginLibrary::Open(const std::string& native_path) {
  Close();
  // A name without "/" would be searched along the library path; plug-ins are files we found.
  std::string path = native_path.find('/') == std::string::npos ? "./" + native_path : native_path;
  // Local symbols: two plug-ins may export the same names.
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  return handle_ != nullptr;
}

void PluginLibrary::Close() {
  if (handle_ != nullptr) ::dlclose(handle_);
  handle_ = nullptr;
}

void* PluginLibrary::Symbol(const char* name) const {
  return handle_ == nullptr ? nullptr : ::dlsym(handle_, name);
}

}  // namespace adv
