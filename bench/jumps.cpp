// Jumps, calls and returns reopen their file and read it forward, so their cost grows with the
// line they seek. Over a 100,000-line script: a jump to a label on line 50,000, a .sub to it and
// the return to a call on that line, beside a memcpy of the 640 x 480 16-bit screen. Each should
// take well under a frame (1 ms).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/commands/config_script.h"
#include "engine/engine.h"
#include "engine/jumps.h"
#include "host/headless/headless_host.h"

namespace {

constexpr int kLines = 100000;
constexpr int kLabelLine = 50000;

// A game whose start.txt is typical script: assignments, comments, text and, every 1000 lines,
// a label the search must read as a word and reject (":mid0", ":mid1000"...).
class ScriptFolder {
 public:
  ScriptFolder() {
    char pattern[] = "/tmp/adv-bench-XXXXXX";
    path_ = ::mkdtemp(pattern);
    std::ofstream(path_ + "/config.txt") << ".int a b\n.str s\n";
    std::ofstream start(path_ + "/start.txt");
    for (int line = 1; line <= kLines; ++line) {
      if (line == kLabelLine) {
        start << ":mid\n";
      } else if (line % 1000 == 0) {
        start << ":mid" << line << "\n";
      } else if (line % 3 == 0) {
        start << ".let a = a + 1\n";
      } else if (line % 3 == 1) {
        start << "# a comment line\n";
      } else {
        start << "\x82\xA0\x82\xA2 a line of text [a]\n";
      }
    }
  }
  ~ScriptFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// One engine with start.txt open, as the interpreter holds it mid-game.
struct Game {
  explicit Game(const ScriptFolder& folder) : engine(host) {
    engine.files.SetBase(folder.path());
    if (!adv::RunConfigScript(engine) || !engine.script.file.Open(engine.files, "start.txt")) {
      std::abort();
    }
  }
  adv::HeadlessHost host;
  adv::Engine engine;
};

const ScriptFolder& Folder() {
  static const ScriptFolder folder;
  return folder;
}

void BM_JumpToLabel(benchmark::State& state) {
  Game game(Folder());
  for (auto _ : state) {
    if (!adv::Jump(game.engine, ":mid")) state.SkipWithError("jump failed");
  }
  benchmark::DoNotOptimize(game.engine.script.file.line_number());
}
BENCHMARK(BM_JumpToLabel)->Unit(benchmark::kMicrosecond);

void BM_SubToLabel(benchmark::State& state) {
  Game game(Folder());
  for (auto _ : state) {
    if (!adv::CallSubroutine(game.engine, {"start.txt", 1, false, {}}, ":mid")) {
      state.SkipWithError("call failed");
    }
    game.engine.flow.call_stack.clear();
  }
}
BENCHMARK(BM_SubToLabel)->Unit(benchmark::kMicrosecond);

void BM_ReturnToLine(benchmark::State& state) {
  Game game(Folder());
  for (auto _ : state) {
    game.engine.flow.call_stack.push_back({"start.txt", kLabelLine, false, {}});
    if (adv::ReturnFromSubroutine(game.engine) != adv::State::kReadLine) {
      state.SkipWithError("return failed");
    }
  }
}
BENCHMARK(BM_ReturnToLine)->Unit(benchmark::kMicrosecond);

void BM_ScreenMemcpy(benchmark::State& state) {
  std::vector<std::uint16_t> from(640 * 480, 0x1234);
  std::vector<std::uint16_t> to(640 * 480);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint16_t));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ScreenMemcpy)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
