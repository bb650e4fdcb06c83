// Interpreter steps per second over a 100,000-line script of assignments and comments.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/commands/command_table.h"
#include "engine/commands/config_script.h"
#include "engine/engine.h"
#include "engine/interpreter.h"
#include "host/headless/headless_host.h"

namespace {

constexpr int kLines = 100000;

class ScriptFolder {
 public:
  ScriptFolder() {
    char pattern[] = "/tmp/adv-bench-XXXXXX";
    path_ = ::mkdtemp(pattern);
    std::ofstream(path_ + "/config.txt") << ".int a b i flag[10]\n.str s\n";
    std::ofstream start(path_ + "/start.txt");
    for (int i = 0; i < kLines; ++i) {
      switch (i % 5) {
        case 0:
          start << "# a comment line\n";
          break;
        case 1:
          start << ".let a = a + 1\n";
          break;
        case 2:
          start << ".let b = a * 3 - 7 / 2\n";
          break;
        case 3:
          start << ".let i = a % 10\n";
          break;
        default:
          start << ".let flag[i] = [b]\n";
          break;
      }
    }
  }
  ~ScriptFolder() { std::filesystem::remove_all(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

void BM_InterpreterSteps(benchmark::State& state) {
  ScriptFolder folder;
  std::int64_t steps = 0;
  for (auto _ : state) {
    adv::HeadlessHost host;
    adv::Engine engine(host);
    engine.interp.commands = adv::CommandTable();
    engine.files.SetBase(folder.path());
    if (!adv::RunConfigScript(engine)) {
      state.SkipWithError("cannot read config");
      return;
    }
    if (!adv::StartInterpreter(engine)) {
      state.SkipWithError("cannot start");
      return;
    }
    while (engine.interp.state() != adv::State::kEnd) {
      adv::Step(engine);
      ++steps;
    }
    benchmark::DoNotOptimize(engine.script.vars.ints["a"]);
  }
  state.counters["steps_per_second"] =
      benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InterpreterSteps)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
