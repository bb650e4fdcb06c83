// Every regression input of the game-folder fuzz target, replayed through its entry function in
// a process of its own: each must end cleanly (no crash, no sanitizer report) within a time and a
// memory limit, so a hang or a memory bomb fails the test instead of stalling it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace adv {
namespace {

namespace fs = std::filesystem;

// Processor time, so that a busy machine does not fail the test; a process blocked on a FIFO uses
// none, and is caught when it has used none for a while.
constexpr double kCpuLimitSeconds = 20;
constexpr auto kIdleLimit = std::chrono::seconds(15);
constexpr long kMemoryLimitMb = 1024;

std::vector<std::string> Inputs() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(ADV_SOURCE_DIR "/fuzz/regressions/game_folder_fuzz"))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Resident megabytes and processor seconds (user and system) of a running process.
std::pair<long, double> Usage(pid_t pid) {
  std::ifstream statm("/proc/" + std::to_string(pid) + "/statm"),
      in("/proc/" + std::to_string(pid) + "/stat");
  long size = 0, resident = 0;
  statm >> size >> resident;
  const std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));  // after the command's name
  std::string skip;
  for (int i = 0; i < 11; ++i) fields >> skip;  // state to cmajflt: fields 3 to 13
  double user = 0, system = 0;
  fields >> user >> system;
  return {resident * (::sysconf(_SC_PAGESIZE) / 1024) / 1024,
          (user + system) / static_cast<double>(::sysconf(_SC_CLK_TCK))};
}

// "" when the replay ended with status 0 within the limits; else what went wrong.
std::string Replay(const std::string& input) {
  std::string path = ADV_SOURCE_DIR "/fuzz/regressions/game_folder_fuzz/" + input;
  std::string program = ADV_GAME_FOLDER_REPLAY;
  char* argv[] = {program.data(), path.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return "no spawn";
  auto last_busy = std::chrono::steady_clock::now();
  double cpu = 0;
  long peak = 0;
  while (true) {
    int status = 0;
    if (::waitpid(pid, &status, WNOHANG) == pid) {
      if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
      return "ended with status " + std::to_string(status);
    }
    const auto [resident, used] = Usage(pid);
    const auto now = std::chrono::steady_clock::now();
    peak = std::max(peak, resident);
    if (used > cpu) cpu = used, last_busy = now;
    const char* fault = cpu > kCpuLimitSeconds         ? "over the processor time limit"
                        : now - last_busy > kIdleLimit ? "blocked"
                        : peak > kMemoryLimitMb        ? "over the memory limit"
                                                       : nullptr;
    if (fault != nullptr) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      return fault;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

class GameFolderRegression : public ::testing::TestWithParam<std::string> {};

TEST_P(GameFolderRegression, EndsCleanly) {
  EXPECT_EQ(Replay(GetParam()), "");
}

INSTANTIATE_TEST_SUITE_P(Inputs, GameFolderRegression, ::testing::ValuesIn(Inputs()),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace adv
