// Cost of showing a full 640 x 480 back buffer: our RGB555 conversion, the upload to a streaming
// texture, SDL's own conversion of RGB555 for comparison, and a plain copy of the surface.
// Runs on SDL's dummy video driver with the software renderer, so no display is needed.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "host/rgb555_convert.h"
#include "host/sdl/sdl_host.h"

namespace adv {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

std::vector<std::uint16_t> RandomFrame() {
  std::vector<std::uint16_t> frame(static_cast<std::size_t>(kWidth) * kHeight);
  std::mt19937 rng(1);
  for (auto& p : frame) p = static_cast<std::uint16_t>(rng() & 0x7FFF);
  return frame;
}

// A hidden window with a software renderer and one streaming texture of the given format.
class Target {
 public:
  explicit Target(Uint32 format) {
    window_ = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_HIDDEN);
    if (window_ != nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ != nullptr) {
      texture_ = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, kWidth, kHeight);
    }
  }
  ~Target() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
  }
  bool ok() const { return texture_ != nullptr; }
  SDL_Renderer* renderer() const { return renderer_; }
  SDL_Texture* texture() const { return texture_; }

 private:
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
};

void BM_OurConversion(benchmark::State& state) {
  const auto frame = RandomFrame();
  std::vector<std::uint32_t> out(frame.size());
  for (auto _ : state) {
    ConvertRgb555ToXrgb8888(frame.data(), kWidth, out.data(), kWidth, Rect{0, 0, kWidth, kHeight});
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_OurConversion)->Unit(benchmark::kMicrosecond);

void BM_OurConversionAndUpload(benchmark::State& state) {
  Target target(SDL_PIXELFORMAT_ARGB8888);
  if (!target.ok()) return state.SkipWithError(SDL_GetError());
  const auto frame = RandomFrame();
  std::vector<std::uint32_t> out(frame.size());
  for (auto _ : state) {
    ConvertRgb555ToXrgb8888(frame.data(), kWidth, out.data(), kWidth, Rect{0, 0, kWidth, kHeight});
    SDL_UpdateTexture(target.texture(), nullptr, out.data(), kWidth * 4);
  }
}
BENCHMARK(BM_OurConversionAndUpload)->Unit(benchmark::kMicrosecond);

// What an accelerated renderer does with an RGB555 texture on every upload.
void BM_SdlConvertPixels(benchmark::State& state) {
  const auto frame = RandomFrame();
  std::vector<std::uint32_t> out(frame.size());
  for (auto _ : state) {
    SDL_ConvertPixels(kWidth, kHeight, SDL_PIXELFORMAT_RGB555, frame.data(), kWidth * 2,
                      SDL_PIXELFORMAT_ARGB8888, out.data(), kWidth * 4);
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_SdlConvertPixels)->Unit(benchmark::kMicrosecond);

// Upload and draw of a frame to the window's back buffer (no present), both ways. The software
// renderer keeps an RGB555 texture as it is and converts while drawing it.
void BM_OurUploadAndDraw(benchmark::State& state) {
  Target target(SDL_PIXELFORMAT_ARGB8888);
  if (!target.ok()) return state.SkipWithError(SDL_GetError());
  SDL_SetTextureBlendMode(target.texture(), SDL_BLENDMODE_NONE);
  const auto frame = RandomFrame();
  std::vector<std::uint32_t> out(frame.size());
  for (auto _ : state) {
    ConvertRgb555ToXrgb8888(frame.data(), kWidth, out.data(), kWidth, Rect{0, 0, kWidth, kHeight});
    SDL_UpdateTexture(target.texture(), nullptr, out.data(), kWidth * 4);
    SDL_RenderCopy(target.renderer(), target.texture(), nullptr, nullptr);
  }
}
BENCHMARK(BM_OurUploadAndDraw)->Unit(benchmark::kMicrosecond);

void BM_SdlRgb555UploadAndDraw(benchmark::State& state) {
  Target target(SDL_PIXELFORMAT_RGB555);
  if (!target.ok()) return state.SkipWithError(SDL_GetError());
  SDL_SetTextureBlendMode(target.texture(), SDL_BLENDMODE_NONE);
  const auto frame = RandomFrame();
  for (auto _ : state) {
    SDL_UpdateTexture(target.texture(), nullptr, frame.data(), kWidth * 2);
    SDL_RenderCopy(target.renderer(), target.texture(), nullptr, nullptr);
  }
}
BENCHMARK(BM_SdlRgb555UploadAndDraw)->Unit(benchmark::kMicrosecond);

// The whole of SdlHost::Present for a full frame: conversion, upload, clear, draw, present.
void BM_SdlHostPresent(benchmark::State& state) {
  SdlHost host;
  std::string error;
  if (!host.Init(error) || !host.CreateMainWindow("bench", false)) {
    return state.SkipWithError(host.LastError().c_str());
  }
  const auto frame = RandomFrame();
  const FrameView view{frame.data(), kWidth, kHeight, kWidth};
  for (auto _ : state) host.Present(view, Rect{0, 0, kWidth, kHeight});
}
BENCHMARK(BM_SdlHostPresent)->Unit(benchmark::kMicrosecond);

void BM_MemcpySurface(benchmark::State& state) {
  const auto frame = RandomFrame();
  std::vector<std::uint16_t> out(frame.size());
  for (auto _ : state) {
    std::memcpy(out.data(), frame.data(), frame.size() * sizeof(frame[0]));
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpySurface)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace adv

int main(int argc, char** argv) {
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_RENDER_DRIVER", "software", 1);
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  SDL_Quit();
  return 0;
}
