// A temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace adv::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  // Native path of a name inside the folder.
  std::string Path(std::string_view name) const;
  // Writes a file (creating folders on the way); name uses "/".
  void Write(std::string_view name, std::string_view bytes) const;
  void Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::string path_;
};

}  // namespace adv::test
