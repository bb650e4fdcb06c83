// One representative step of every transition kind on full 640 x 480 surfaces, each set against
// a plain memcpy of the whole surface measured in the same run. Prints the ratios at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "graphics/draw_image.h"
#include "graphics/transitions.h"

namespace {

struct Surfaces {
  adv::CDrawImage back;
  adv::CDrawImage spare;
  Surfaces() {
    if (!back.Create(640, 480) || !spare.Create(640, 480)) std::abort();
    std::mt19937 rng(1);
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x) {
        back.Row(y)[x] = static_cast<adv::Pixel>(rng() & 0x7FFF);
        spare.Row(y)[x] = static_cast<adv::Pixel>(rng() & 0x7FFF);
      }
    }
  }
};

void BM_Memcpy(benchmark::State& state) {
  Surfaces s;
  const std::size_t bytes = static_cast<std::size_t>(s.back.Stride()) * 480;
  for (auto _ : state) {
    std::memcpy(s.back.Pixels(), s.spare.Pixels(), bytes);
    benchmark::ClobberMemory();
  }
}

void BM_Step(benchmark::State& state) {
  Surfaces s;
  const int kind = static_cast<int>(state.range(0));
  const int step = static_cast<int>(state.range(1));
  for (auto _ : state) {
    benchmark::DoNotOptimize(adv::DrawTransitionStep(s.back, s.spare, kind, step));
    benchmark::ClobberMemory();
  }
}

// Kind, then a step from the middle of its run.
void Steps(benchmark::internal::Benchmark* b) {
  const int kinds[][2] = {{1, 8},  {2, 8},  {3, 28}, {4, 23}, {5, 8},  {6, 32}, {7, 28},
                          {8, 25}, {9, 40}, {10, 8}, {11, 8}, {12, 2}, {13, 4}, {14, 1}};
  for (const auto& k : kinds) b->Args({k[0], k[1]});
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_Step)->Apply(Steps);
BENCHMARK(BM_Memcpy);

// Shows the usual table and keeps every result's time for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With --benchmark_repetitions, the medians stand for each benchmark.
      const bool use = run.repetitions > 1
                           ? run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                           : run.run_type == Run::RT_Iteration;
      if (!use) continue;
      const std::string name = run.run_name.function_name + "/" + run.run_name.args;
      if (name.rfind("BM_Memcpy", 0) == 0) {
        memcpy_total_ += run.GetAdjustedCPUTime();
        ++memcpy_count_;
      } else {
        steps_.emplace_back(name, run.GetAdjustedCPUTime());
      }
    }
  }

  void PrintRatios() const {
    if (memcpy_count_ == 0) return;
    const double memcpy_time = memcpy_total_ / memcpy_count_;
    std::printf("\nratio to one memcpy of the 640 x 480 surface (%.0f ns of CPU time):\n",
                memcpy_time);
    for (const auto& [name, time] : steps_) {
      std::printf("  %-24s %8.2f\n", name.c_str(), time / memcpy_time);
    }
  }

 private:
  double memcpy_total_ = 0;
  int memcpy_count_ = 0;
  std::vector<std::pair<std::string, double>> steps_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
