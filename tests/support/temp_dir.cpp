#include "support/temp_dir.h"

#include "support/run_adv.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <stdlib.h>

namespace adv::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "adv-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Path(std::string_view name) const {
  return path_ + "/" + std::string(name);
}

void TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::filesystem::path p = Path(name);
  std::filesystem::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempDir::Write(std::string_view name, const std::vector<std::uint8_t>& bytes) const {
  Write(name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string TempDir::Read(std::string_view name) const {
  return ReadFile(Path(name));
}

bool TempDir::Exists(std::string_view name) const {
  return std::filesystem::exists(Path(name));
}

}  // namespace adv::test
