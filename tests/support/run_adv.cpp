#include "support/run_adv.h"

#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

extern char** environ;

namespace adv::test {

std::vector<std::string> RunResult::ErrLines() const {
  std::vector<std::string> lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

namespace {

std::string ReadAndRemove(const char* path) {
  std::string bytes = ReadFile(path);
  ::unlink(path);
  return bytes;
}

}  // namespace

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool RunResult::HasError(const std::string& line) const {
  for (const std::string& l : ErrLines()) {
    if (l == line || (l.rfind(line + " (", 0) == 0 && l.back() == ')')) return true;
  }
  return false;
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args) {
  RunResult result;
  char out_path[] = "/tmp/adv-stdout-XXXXXX";
  char err_path[] = "/tmp/adv-stderr-XXXXXX";
  const int out_fd = ::mkstemp(out_path);
  const int err_fd = ::mkstemp(err_path);
  if (out_fd < 0 || err_fd < 0) return result;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
  posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  ::close(out_fd);
  ::close(err_fd);
  result.out = ReadAndRemove(out_path);
  result.err = ReadAndRemove(err_path);
  return result;
}

RunResult RunAdv(const std::vector<std::string>& args) {
  // The developer's own settings (trusted plug-in folders) stay out of the tests.
  ::setenv("XDG_CONFIG_HOME", "/nonexistent/adv-tests", 1);
  return RunProgram(ADV_BINARY, args);
}

std::string ScenarioDir(const std::string& name) {
  return std::string(ADV_SOURCE_DIR) + "/tests/scenarios/" + name;
}

std::uint32_t Picture::At(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return (std::uint32_t{rgb[i]} << 16) | (std::uint32_t{rgb[i + 1]} << 8) | rgb[i + 2];
}

bool ReadPng(const std::string& path, Picture& picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.rgb.resize(PNG_IMAGE_SIZE(image));
  bool ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

}  // namespace adv::test
