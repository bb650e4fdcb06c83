// SdlHost's media on SDL's dummy drivers: movie frames cover the window until the movie closes,
// and the end of a sound comes back as an event.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "host/sdl/sdl_host.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

TEST(SdlMedia, MovieCoversTheWindowUntilItClosesAndASoundsEndIsAnEvent) {
  ::setenv("SDL_VIDEODRIVER", "dummy", 1);
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  ::unsetenv("DISPLAY");
  ::unsetenv("WAYLAND_DISPLAY");
  SdlHost host;
  std::string error;
  if (!host.Init(error)) GTEST_SKIP() << "dummy video driver unavailable: " << error;
  ASSERT_TRUE(host.CreateMainWindow("ADV", false)) << host.LastError();
  test::TempDir dir;
  ASSERT_TRUE(test::WriteMovie(dir.Path("op.avi"), 32, 24, 10, 5, {0x00FF00}, {0, 0, 44100, 2, 0}));
  ASSERT_TRUE(test::WriteWav(dir.Path("se.wav"), {440, 0.5, 44100, 2, 2205}));
  auto pixel = [&](int x, int y) {  // high bits only: the scaler may round a channel by one
    std::vector<std::uint32_t> window(640 * 480);
    SDL_RenderReadPixels(host.Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888, window.data(),
                         640 * 4);
    return window[static_cast<std::size_t>(y) * 640 + x] & 0xF0F0F0;
  };
  std::vector<std::uint16_t> engine(640 * 480, 0x7C00);  // red
  const FrameView frame{engine.data(), 640, 480, 640};
  host.Present(frame, Rect{0, 0, 640, 480});
  MovieDevice& movies = host.Media()->Movies();
  const int movie = movies.Open(dir.Path("op.avi"));
  ASSERT_NE(movie, 0);
  ASSERT_TRUE(movies.SetWindow(movie) && movies.FillWindow(movie) && movies.Play(movie, true));
  HostEvent e;
  host.PollEvent(e);
  EXPECT_EQ(pixel(320, 240), 0x00F000u);
  // The engine's presentations go on underneath.
  host.Present(frame, Rect{0, 0, 640, 480});
  EXPECT_EQ(pixel(0, 0), 0x00F000u);
  ASSERT_TRUE(movies.Close(movie));
  host.PollEvent(e);
  EXPECT_EQ(pixel(320, 240), 0xF00000u);

  AudioDevice& audio = host.Media()->Audio();
  const int stream = audio.Open({dir.Path("se.wav")});
  const int playback = audio.Play(stream, 0, -1, false);
  ASSERT_NE(playback, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((!host.PollEvent(e) || e.type != HostEvent::Type::kMediaDone) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(e.media_id, playback);
  EXPECT_FALSE(audio.IsPlaying(stream));
}

}  // namespace
}  // namespace adv
