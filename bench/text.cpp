// The text layer over the real IPA fonts: one character's display step, a full page laid out in
// instant mode and composed in one piece at magnification 1 and 4, and the first rasterisation of
// a glyph, each beside a memcpy of a 640 x 480 16-bit surface. A summary after the usual output
// gives each time against its target and as a multiple of the memcpy.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/sjis_string.h"
#include "graphics/draw_image.h"
#include "host/font.h"
#include "host/font_library.h"
#include "host/sjis_convert.h"
#include "text/screen_update.h"
#include "text/text_layer.h"

namespace adv {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kPageLines = 13;
constexpr int kLineChars = 18;

// Eighteen full-width characters of ordinary prose.
const std::string kLine = Utf8ToSjis("吾輩は猫である。名前はまだ無い。どこ");

FontLibrary& Fonts() {
  static FontLibrary fonts;
  return fonts;
}

// The surfaces of a screen and a message layer on the back buffer.
struct Screen {
  CDrawImage base, back, spare;
  TextLayer layer{Fonts()};
  explicit Screen(int magnification) {
    for (CDrawImage* s : {&base, &back, &spare}) {
      if (!s->Create(kWidth, kHeight)) std::abort();
      s->FillRect(nullptr, 0x604020);
    }
    if (!layer.Create(&back, kMessageLayerShape)) std::abort();
    layer.SetArea(kMessageLayerShape.width, kMessageLayerShape.max_width, kMessageLayerShape.height,
                  magnification);
    layer.SetShadowOffset(2);
  }
};

void BM_Memcpy(benchmark::State& state) {
  CDrawImage a, b;
  if (!a.Create(kWidth, kHeight) || !b.Create(kWidth, kHeight)) std::abort();
  for (auto _ : state) {
    std::memcpy(b.Pixels(), a.Pixels(), static_cast<std::size_t>(b.Stride()) * kHeight);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMicrosecond);

// What state 1 does for one character with the window shown: lay it out and draw it (glyph from
// the cache), then restore its rectangle from the base surface and compose the layer over it.
// A full page is cleared and started again, which the figure includes.
void BM_CharacterStep(benchmark::State& state) {
  Screen screen(1);
  const std::string text = kLine;
  std::size_t at = 0;
  for (const char* p = text.data(); p < text.data() + text.size(); p += 2) {
    screen.layer.PutChar(std::string_view(p, 2), false, nullptr);  // warm the cache
  }
  screen.layer.ClearAll();
  for (auto _ : state) {
    Rect rect;
    if (!screen.layer.PutChar(std::string_view(text).substr(at, 2), false, &rect)) {
      screen.layer.ClearAll();
      continue;
    }
    UpdateScreenRect(&screen.layer, screen.base, screen.back, screen.spare,
                     screen.layer.OnTarget(rect), 0);
    at = (at + 2) % text.size();
  }
}
BENCHMARK(BM_CharacterStep)->Unit(benchmark::kMicrosecond);

// Instant mode: 13 lines of 18 characters laid out and drawn without composing, then the page
// composed onto the back buffer in one piece. Clearing the page for the next round is included.
void BM_FullPage(benchmark::State& state) {
  Screen screen(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    screen.layer.ClearAll();
    for (int line = 0; line < kPageLines; ++line) {
      for (int c = 0; c < kLineChars; ++c) {
        screen.layer.PutChar(std::string_view(kLine).substr(2 * c, 2), false, nullptr);
      }
    }
    screen.layer.ComposeAll();
    benchmark::ClobberMemory();
  }
  state.counters["lines"] = screen.layer.current_line();
}
BENCHMARK(BM_FullPage)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

// A glyph the cache does not have yet: every iteration takes a new kanji, and a used-up list
// starts again on a font library of its own (so a fresh cache).
void BM_FirstRasterisation(benchmark::State& state) {
  const FontRequest request{std::string(kDefaultFaceName), 32, 400, false, false, false};
  std::vector<std::string> kanji;
  for (int lead = 0x88; lead <= 0x98; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F || (lead == 0x88 && trail < 0x9F)) continue;
      kanji.push_back(std::string{static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  auto fonts = std::make_unique<FontLibrary>();
  std::shared_ptr<Font> font = fonts->Open(request);
  if (font == nullptr) return state.SkipWithError("no font");
  std::size_t next = 0;
  for (auto _ : state) {
    if (next == kanji.size()) {
      state.PauseTiming();
      font.reset();
      fonts = std::make_unique<FontLibrary>();
      font = fonts->Open(request);
      next = 0;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(font->GlyphOf(kanji[next++]).advance);
  }
}
BENCHMARK(BM_FirstRasterisation)->Unit(benchmark::kMicrosecond);

// Prints as usual and keeps the fastest repetition of each benchmark (CPU time: on a shared
// machine wall time mostly measures the other processes).
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.benchmark_name().substr(0, run.benchmark_name().find("/rep"));
      const double us = run.GetAdjustedCPUTime();
      auto it = best_.find(name);
      if (it == best_.end() || us < it->second) best_[name] = us;
    }
  }

  void PrintSummary() const {
    const struct {
      const char* name;
      const char* what;
      double target_us;  // 0: none
    } rows[] = {{"BM_CharacterStep", "character step (size 32)", 20},
                {"BM_FullPage/1", "full page, magnification 1", 1000},
                {"BM_FullPage/4", "full page, magnification 4", 5000},
                {"BM_FirstRasterisation", "first rasterisation (size 32)", 0}};
    const auto time = [this](const std::string& name) {
      auto it = best_.find(name);
      return it == best_.end() ? 0.0 : it->second;
    };
    const double memcpy_us = time("BM_Memcpy");
    std::printf("\n%-30s %10s %9s %10s\n", "", "us", "x memcpy", "target us");
    std::printf("%-30s %10.2f\n", "memcpy 640 x 480 x 16 bits", memcpy_us);
    for (const auto& row : rows) {
      const double us = time(row.name);
      if (us == 0 || memcpy_us == 0) continue;
      std::printf("%-30s %10.2f %9.2f", row.what, us, us / memcpy_us);
      if (row.target_us > 0)
        std::printf(" %10.0f%s", row.target_us, us <= row.target_us ? "" : " !");
      std::printf("\n");
    }
    std::printf("(! marks a missed target)\n");
  }

 private:
  std::map<std::string, double> best_;
};

}  // namespace
}  // namespace adv

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  adv::SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
