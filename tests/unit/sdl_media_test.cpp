// SdlHost's media on SDL's dummy drivers: movie frames cover the window until the movie closes,
// and the end of a sound comes back as an event.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "host/sdl/sdl_host.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

class SdlMediaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    std::string error;
    if (!host_.Init(error)) GTEST_SKIP() << "dummy video driver unavailable: " << error;
    ASSERT_TRUE(host_.CreateMainWindow("ADV", false)) << host_.LastError();
  }

  std::uint32_t WindowPixel(int x, int y) {
    std::vector<std::uint32_t> window(640 * 480);
    EXPECT_EQ(SDL_RenderReadPixels(host_.Renderer(), nullptr, SDL_PIXELFORMAT_ARGB8888,
                                   window.data(), 640 * 4),
              0);
    return window[static_cast<std::size_t>(y) * 640 + x] & 0xFFFFFF;
  }

  // Polls until an event of the type comes, or a generous deadline passes.
  bool WaitFor(HostEvent::Type type, HostEvent& event) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      while (host_.PollEvent(event)) {
        if (event.type == type) return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  test::TempDir dir_;
  SdlHost host_;
};

TEST_F(SdlMediaTest, MovieCoversTheWindowUntilItCloses) {
  ASSERT_TRUE(test::EncodeMovie(dir_.Path("op.avi"), 32, 24, 10, 5, {0x00FF00},
                                test::Tone{0, 0, 44100, 2, 0}));
  std::vector<std::uint16_t> engine(640 * 480, 0x7C00);  // red
  host_.Present(FrameView{engine.data(), 640, 480, 640}, Rect{0, 0, 640, 480});
  MovieDevice& movies = host_.Media()->Movies();
  const int movie = movies.Open(dir_.Path("op.avi"));
  ASSERT_NE(movie, 0);
  ASSERT_TRUE(movies.SetWindow(movie) && movies.FillWindow(movie) && movies.Play(movie, true));
  HostEvent e;
  host_.PollEvent(e);
  EXPECT_EQ(WindowPixel(320, 240), 0x00FF00u);
  // The engine's presentations go on underneath.
  host_.Present(FrameView{engine.data(), 640, 480, 640}, Rect{0, 0, 640, 480});
  EXPECT_EQ(WindowPixel(0, 0), 0x00FF00u);
  ASSERT_TRUE(movies.Close(movie));
  host_.PollEvent(e);
  EXPECT_EQ(WindowPixel(320, 240), 0xFF0000u);
}

TEST_F(SdlMediaTest, EndOfASoundArrivesAsAnEvent) {
  ASSERT_TRUE(test::WriteWav(dir_.Path("se.wav"), {440, 0.5, 44100, 2, 2205}));
  AudioDevice& audio = host_.Media()->Audio();
  const int stream = audio.Open({dir_.Path("se.wav")});
  ASSERT_NE(stream, 0);
  const int playback = audio.Play(stream, 0, -1, false);
  ASSERT_NE(playback, 0);
  HostEvent e;
  ASSERT_TRUE(WaitFor(HostEvent::Type::kMediaDone, e));
  EXPECT_EQ(e.media_id, playback);
  EXPECT_FALSE(audio.IsPlaying(stream));
}

}  // namespace
}  // namespace adv
