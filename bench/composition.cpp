// Composition routines on full 640 x 480 surfaces, against a memcpy of the same surface and
// against SDL2's own blits of RGB555 surfaces (plain, colour key, alpha modulation). After the
// usual output a summary gives each routine's time as a multiple of memcpy and of its SDL peer.
// The routines run on the widest vector unit present; entries marked [sse2] and [avx2] run the
// same kernels on the narrower units, for machines that lack the wider ones.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "graphics/compose_ops.h"
#include "graphics/draw_image.h"

namespace {

using adv::CDrawImage;
using adv::Colour;
using adv::Pixel;
namespace compose = adv::compose;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kLevel = 15;
constexpr Colour kColour = adv::MakeColour(200, 120, 40);

enum class Peer { kCopy, kKey, kAlphaMod, kNone };

const char* PeerName(Peer peer) {
  switch (peer) {
    case Peer::kCopy:
      return "SDL copy";
    case Peer::kKey:
      return "SDL key";
    case Peer::kAlphaMod:
      return "SDL alpha";
    case Peer::kNone:
      break;
  }
  return "";
}

void FillRandom(CDrawImage& image, std::mt19937& rng, Pixel key, int key_percent) {
  for (int y = 0; y < image.Height(); ++y) {
    Pixel* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) {
      row[x] =
          static_cast<int>(rng() % 100) < key_percent ? key : static_cast<Pixel>(rng() & 0x7FFF);
    }
  }
}

struct Scene {
  CDrawImage dst, src, alpha_src;
  CDrawImage magnified[3];  // factors 2, 3, 4
  Pixel key = 0;
  SDL_Surface* sdl_dst = nullptr;
  SDL_Surface* sdl_plain = nullptr;
  SDL_Surface* sdl_keyed = nullptr;
  SDL_Surface* sdl_alpha = nullptr;

  Scene() {
    std::mt19937 rng(1234);
    for (CDrawImage* s : {&dst, &src, &alpha_src}) {
      if (!s->Create(kWidth, kHeight)) std::abort();
    }
    key = 0x1234;
    FillRandom(dst, rng, key, 0);
    FillRandom(src, rng, key, 30);  // sprites: a good share of transparent pixels
    FillRandom(alpha_src, rng, key, 0);
    std::uint8_t* alpha = alpha_src.AllocateAlpha();
    for (int i = 0; i < kWidth * kHeight; ++i) alpha[i] = static_cast<std::uint8_t>(rng());
    for (int f = 2; f <= 4; ++f) {
      if (!magnified[f - 2].Create(kWidth * f, kHeight * f)) std::abort();
      FillRandom(magnified[f - 2], rng, key, 60);  // glyph surfaces are mostly transparent
    }
    sdl_dst = MakeSdl(dst);
    sdl_plain = MakeSdl(src);
    sdl_keyed = MakeSdl(src);
    SDL_SetColorKey(sdl_keyed, SDL_TRUE, key);
    sdl_alpha = MakeSdl(src);
    SDL_SetSurfaceBlendMode(sdl_alpha, SDL_BLENDMODE_BLEND);
    SDL_SetSurfaceAlphaMod(sdl_alpha, 128);
  }
  ~Scene() {
    for (SDL_Surface* s : {sdl_dst, sdl_plain, sdl_keyed, sdl_alpha}) SDL_FreeSurface(s);
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  static SDL_Surface* MakeSdl(const CDrawImage& image) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, image.Width(), image.Height(), 16,
                                                    SDL_PIXELFORMAT_RGB555);
    for (int y = 0; y < image.Height(); ++y) {
      std::memcpy(static_cast<char*>(s->pixels) + y * s->pitch, image.Row(y),
                  image.Width() * sizeof(Pixel));
    }
    return s;
  }
};

struct Case {
  std::string name;
  std::function<void()> run;
  double target;  // allowed multiple of memcpy; 0 for none
  Peer peer;
};

std::vector<Case> Cases(Scene& s) {
  CDrawImage& d = s.dst;
  const CDrawImage& src = s.src;
  const Pixel k = s.key;
  const int w = kWidth;
  const int h = kHeight;
  std::vector<Case> cases = {
      {"memcpy",
       [&d, &src] {
         std::memcpy(d.Pixels(), src.Pixels(), static_cast<std::size_t>(kWidth) * kHeight * 2);
       },
       0, Peer::kNone},
      {"Blt", [&d, &src] { d.Blt(0, 0, kWidth, kHeight, src, 0, 0); }, 1.5, Peer::kCopy},
      {"Copy", [&d, &src] { d.Copy(0, 0, kWidth, kHeight, src, 0, 0); }, 1.5, Peer::kCopy},
      {"Fill", [&d] { d.Fill(0, 0, kWidth, kHeight, kColour); }, 1.5, Peer::kCopy},
      {"CopyKeyed", [&, k] { d.CopyKeyed(0, 0, w, h, src, 0, 0, k); }, 2, Peer::kKey},
      {"CopyAdd", [&] { d.CopyAdd(0, 0, w, h, src, 0, 0); }, 3, Peer::kAlphaMod},
      {"FillAdd", [&] { d.FillAdd(0, 0, w, h, kColour); }, 3, Peer::kAlphaMod},
      {"CopySub", [&] { d.CopySub(0, 0, w, h, src, 0, 0); }, 3, Peer::kAlphaMod},
      {"FillSub", [&] { d.FillSub(0, 0, w, h, kColour); }, 3, Peer::kAlphaMod},
      {"CopyTranslucent", [&] { d.CopyTranslucent(0, 0, w, h, src, 0, 0, kLevel); }, 8,
       Peer::kAlphaMod},
      {"FillTranslucent", [&] { d.FillTranslucent(0, 0, w, h, kColour, kLevel); }, 8,
       Peer::kAlphaMod},
      {"CopyTranslucentKeyed", [&, k] { d.CopyTranslucentKeyed(0, 0, w, h, src, 0, 0, k, kLevel); },
       8, Peer::kAlphaMod},
      {"CopyDark", [&] { d.CopyDark(0, 0, w, h, src, 0, 0, kLevel); }, 8, Peer::kAlphaMod},
      {"FillDark", [&] { d.FillDark(0, 0, w, h, kColour, kLevel); }, 8, Peer::kAlphaMod},
      {"CopyDarkKeyed", [&, k] { d.CopyDarkKeyed(0, 0, w, h, src, 0, 0, k, kLevel); }, 8,
       Peer::kAlphaMod},
      {"CopyLight", [&] { d.CopyLight(0, 0, w, h, src, 0, 0, kLevel); }, 8, Peer::kAlphaMod},
      {"FillLight", [&] { d.FillLight(0, 0, w, h, kColour, kLevel); }, 8, Peer::kAlphaMod},
      {"CopyLightKeyed", [&, k] { d.CopyLightKeyed(0, 0, w, h, src, 0, 0, k, kLevel); }, 8,
       Peer::kAlphaMod},
      {"CopyAlpha", [&] { d.CopyAlpha(0, 0, w, h, s.alpha_src, 0, 0); }, 8, Peer::kAlphaMod},
  };
  for (int f = 2; f <= 4; ++f) {
    const CDrawImage& m = s.magnified[f - 2];
    const Colour key_colour =
        adv::MakeColour((k >> 10 & 31) << 3, (k >> 5 & 31) << 3, (k & 31) << 3);
    cases.push_back({"CopyReducedKeyed/" + std::to_string(f),
                     [&d, &m, key_colour, f] {
                       d.CopyReducedKeyed(0, 0, kWidth, kHeight, m, 0, 0, key_colour, f);
                     },
                     0, Peer::kKey});
  }
  // The kernels on the narrower vector units.
  for (const auto& unit :
       {std::pair{compose::Isa::kBase, " [sse2]"}, std::pair{compose::Isa::kAvx2, " [avx2]"}}) {
    const compose::Isa isa = unit.first;
    const std::string t = unit.second;
    if (!compose::Supports(isa) || isa == compose::BestIsa()) continue;
    compose::PairSpan pair, alpha_pair;
    compose::PreparePair(d, src, 0, 0, w, h, 0, 0, pair);
    compose::PreparePair(d, s.alpha_src, 0, 0, w, h, 0, 0, alpha_pair);
    compose::Span whole;
    compose::PrepareColour(d, 0, 0, w, h, whole);
    auto add = [&cases, isa](std::string name, auto job, double target, Peer peer) {
      cases.push_back({std::move(name), [isa, job] { compose::RunOn(isa, job); }, target, peer});
    };
    using compose::PairJob;
    add("Fill" + t, compose::FillJob{whole, 0x1234}, 1.5, Peer::kCopy);
    add("CopyKeyed" + t, PairJob<compose::KeyedCopyOp>{pair, {k}}, 2, Peer::kKey);
    add("CopyAdd" + t, PairJob<compose::AddOp>{pair, {}}, 3, Peer::kAlphaMod);
    add("CopySub" + t, PairJob<compose::SubOp>{pair, {}}, 3, Peer::kAlphaMod);
    add("CopyTranslucent" + t, PairJob<compose::TranslucentOp>{pair, {kLevel}}, 8, Peer::kAlphaMod);
    add("CopyDark" + t, PairJob<compose::DarkOp>{pair, {kLevel * 256 / 31}}, 8, Peer::kAlphaMod);
    add("CopyLight" + t, PairJob<compose::LightOp>{pair, {31 - kLevel}}, 8, Peer::kAlphaMod);
    add("CopyAlpha" + t, compose::AlphaJob{alpha_pair, s.alpha_src.Alpha(), kWidth}, 8,
        Peer::kAlphaMod);
    add("CopyReducedKeyed/2" + t, compose::ReduceJob{{&d, &s.magnified[0], 0, 0, w, h, 0, 0, 2, k}},
        0, Peer::kKey);
  }
  cases.push_back({"SDL copy", [&s] { SDL_BlitSurface(s.sdl_plain, nullptr, s.sdl_dst, nullptr); },
                   0, Peer::kNone});
  cases.push_back({"SDL key", [&s] { SDL_BlitSurface(s.sdl_keyed, nullptr, s.sdl_dst, nullptr); },
                   0, Peer::kNone});
  cases.push_back({"SDL alpha", [&s] { SDL_BlitSurface(s.sdl_alpha, nullptr, s.sdl_dst, nullptr); },
                   0, Peer::kNone});
  return cases;
}

// Prints as usual and keeps the fastest repetition of each benchmark for the summary. CPU time,
// not wall time: on a shared machine the wall time mostly measures the other processes.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      const std::string name = run.run_name.function_name;
      const double us = run.GetAdjustedCPUTime();
      auto it = best_.find(name);
      if (it == best_.end() || us < it->second) best_[name] = us;
    }
  }

  void PrintSummary(const std::vector<Case>& cases) const {
    auto time = [this](const std::string& name) {
      auto it = best_.find(name);
      return it == best_.end() ? 0.0 : it->second;
    };
    const double memcpy_us = time("memcpy");
    std::printf("\n%-24s %10s %9s %7s %10s %9s\n", "routine", "us", "x memcpy", "target", "peer",
                "x peer");
    for (const Case& c : cases) {
      const double us = time(c.name);
      if (us == 0 || memcpy_us == 0) continue;
      std::printf("%-24s %10.1f %9.2f", c.name.c_str(), us, us / memcpy_us);
      if (c.target > 0) {
        std::printf(" %6.1fx%s", c.target, us / memcpy_us <= c.target ? " " : "!");
      } else {
        std::printf(" %7s", "-");
      }
      const double peer_us = c.peer == Peer::kNone ? 0 : time(PeerName(c.peer));
      if (peer_us > 0) {
        std::printf(" %10s %8.2f%s", PeerName(c.peer), us / peer_us,
                    us / peer_us <= 0.5 ? " " : "!");
      }
      std::printf("\n");
    }
    std::printf(
        "(! marks a missed target: x memcpy above the target, or slower than half the "
        "SDL peer)\n");
  }

 private:
  std::map<std::string, double> best_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Scene scene;
  const std::vector<Case> cases = Cases(scene);
  for (const Case& c : cases) {
    const std::function<void()>* run = &c.run;
    benchmark::RegisterBenchmark(c.name.c_str(),
                                 [run](benchmark::State& state) {
                                   for (auto _ : state) {
                                     (*run)();
                                     benchmark::ClobberMemory();
                                   }
                                   state.SetBytesProcessed(state.iterations() * kWidth * kHeight *
                                                           static_cast<std::int64_t>(2));
                                 })
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(3);
  }
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary(cases);
  benchmark::Shutdown();
  return 0;
}
