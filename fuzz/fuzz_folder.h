// A scratch folder for one fuzzing process (in memory under /dev/shm when there is one), so that
// the loaders can open the fuzzer's bytes by name as they open a game's files.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/file_system.h"

namespace adv::fuzz {

class FuzzFolder {
 public:
  FuzzFolder() {
    std::string pattern = std::filesystem::is_directory("/dev/shm") ? "/dev/shm/adv-fuzz-XXXXXX"
                                                                    : "/tmp/adv-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    files_.SetBase(path_);
    std::filesystem::create_directories(path_ + "/spi");
  }
  ~FuzzFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }

  const FileSystem& files() const { return files_; }
  const std::string& path() const { return path_; }

  void Write(const std::string& name, const std::uint8_t* data, std::size_t size) const {
    std::FILE* f = std::fopen((path_ + "/" + name).c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
  }
  void Remove(const std::string& name) const { ::unlink((path_ + "/" + name).c_str()); }

 private:
  std::string path_;
  FileSystem files_;
};

// One folder for the whole run; libFuzzer calls the target from one thread.
inline const FuzzFolder& Folder() {
  static const FuzzFolder folder;
  return folder;
}

}  // namespace adv::fuzz
