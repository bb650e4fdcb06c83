// A shared library loaded at run time (image plug-ins), closed when the object goes.
#pragma once

#include <string>

namespace adv {

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary() { Close(); }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;
  PluginLibrary(PluginLibrary&& other) noexcept : handle_(other.handle_) {
    other.handle_ = nullptr;
  }
  PluginLibrary& operator=(PluginLibrary&& other) noexcept;

  // Loads the library at a native path; false (and nothing loaded) when it cannot be loaded.
  [[nodiscard]] bool Open(const std::string& native_path);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }
  // The address of an exported symbol, or null.
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

}  // namespace adv
