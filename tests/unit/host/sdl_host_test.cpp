// SdlHost on SDL's dummy video driver, which needs no display (the offscreen one loads EGL,
// whose allocations the leak checker reports). Full screen and movies in a real window are
// played by the window tests.
#include "host/sdl/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <thread>
#include <tuple>
#include <vector>

#include "host/sdl/sdl_present.h"
#include "support/media_files.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

class SdlHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    // No display server either, so a message box cannot open anywhere.
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    std::string error;
    if (!host_.Init(error)) GTEST_SKIP() << "dummy video driver unavailable: " << error;
    ASSERT_TRUE(host_.CreateMainWindow("ADV", false)) << host_.LastError();
  }

  void Drain() {
    HostEvent e;
    while (host_.PollEvent(e)) {
    }
  }

  SdlHost host_;
};

TEST(VideoDriverTest, InvisibleDriversCountOnlyWhenNamed) {
  EXPECT_TRUE(IsVisibleVideoDriver("x11", nullptr));
  EXPECT_TRUE(IsVisibleVideoDriver("wayland", "x11,wayland"));
  EXPECT_FALSE(IsVisibleVideoDriver("offscreen", nullptr));
  EXPECT_FALSE(IsVisibleVideoDriver("dummy", "x11"));
  EXPECT_TRUE(IsVisibleVideoDriver("dummy", "x11,dummy"));
  EXPECT_FALSE(IsVisibleVideoDriver("", ""));
}

// Hidden until it has a picture, so no empty or black window is ever seen; only the rectangle
// given, clipped to the screen, is shown. (Real windows are compared pixel by pixel with
// headless runs by the window tests.)
TEST_F(SdlHostTest, PresentShowsTheClippedRectangle) {
  const std::vector<std::uint16_t> frame(640 * 480, 0x7C1F);  // magenta
  EXPECT_TRUE(SDL_GetWindowFlags(host_.Window()) & SDL_WINDOW_HIDDEN);
  host_.Present(FrameView{frame.data(), 640, 480, 640}, Rect{600, 470, 700, 500});
  EXPECT_FALSE(SDL_GetWindowFlags(host_.Window()) & SDL_WINDOW_HIDDEN);
  EXPECT_EQ(host_.ShownPicture()[479 * 640 + 639], 0xFFFF00FFu);
  EXPECT_EQ(host_.ShownPicture()[469 * 640 + 639], 0xFF000000u);
}

TEST_F(SdlHostTest, EventsAreMapped) {
  Drain();
  SDL_Event e{};
  e.type = SDL_KEYDOWN;
  e.key.keysym.sym = SDLK_KP_ENTER;
  e.key.keysym.mod = KMOD_LALT;
  e.key.repeat = 1;
  SDL_PushEvent(&e);
  e = SDL_Event{};
  e.type = SDL_MOUSEBUTTONDOWN;
  e.button.button = SDL_BUTTON_MIDDLE;  // not one of ours: skipped
  SDL_PushEvent(&e);
  e.button.button = SDL_BUTTON_RIGHT;
  e.button.x = 12;
  e.button.y = 34;
  SDL_PushEvent(&e);
  e = SDL_Event{};
  e.type = SDL_WINDOWEVENT;
  e.window.windowID = SDL_GetWindowID(host_.Window());
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_PushEvent(&e);
  e = SDL_Event{};
  e.type = SDL_QUIT;  // the quit that follows the close box is the same close
  SDL_PushEvent(&e);
  HostEvent event;
  ASSERT_TRUE(host_.PollEvent(event));
  EXPECT_EQ(std::tuple(event.type, event.key, event.repeat, event.alt),
            std::tuple(HostEvent::Type::kKeyDown, HostKey::kEnter, true, true));
  ASSERT_TRUE(host_.PollEvent(event));
  EXPECT_EQ(std::tuple(event.type, event.button, event.x, event.y),
            std::tuple(HostEvent::Type::kMouseDown, MouseButton::kRight, 12, 34));
  ASSERT_TRUE(host_.PollEvent(event));
  EXPECT_EQ(event.type, HostEvent::Type::kClose);
  EXPECT_FALSE(host_.PollEvent(event));
}

TEST_F(SdlHostTest, CursorWarpReadsBackAndImagesApply) {
  host_.SetCursorPos(100, 200);
  Drain();
  int x = -1, y = -1;
  host_.GetCursorPos(x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(100, 200));

  CursorImage image;
  image.width = 4;
  image.height = 3;
  image.hotspot_x = 9;  // outside: clipped, not refused
  image.argb.assign(12, 0xFF00FF00u);
  // Drivers without cursors (the dummy one) refuse every cursor; the picture checks still run.
  SDL_Cursor* probe = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (probe != nullptr) {
    SDL_FreeCursor(probe);
    EXPECT_TRUE(host_.SetCursorImage(&image));
    EXPECT_TRUE(host_.SetCursorImage(nullptr));
  }
  image.argb.resize(5);
  EXPECT_FALSE(host_.SetCursorImage(&image));
  image.argb.resize(12);
  image.width = 0;
  EXPECT_FALSE(host_.SetCursorImage(&image));
}

// The end of a sound comes back as an event, which a wait for the sound (and nothing else)
// ends on. (Movies and looping music in a window are played by the window tests.)
TEST_F(SdlHostTest, ASoundsEndIsAnEvent) {
  test::TempDir dir;
  ASSERT_TRUE(test::WriteWav(dir.Path("se.wav"), {440, 0.5, 44100, 2, 2205}));
  AudioDevice& audio = host_.Media()->Audio();
  const int stream = audio.Open({dir.Path("se.wav")});
  const int playback = audio.Play(stream, 0, -1, false);
  ASSERT_NE(playback, 0);
  HostEvent e;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while ((!host_.PollEvent(e) || e.type != HostEvent::Type::kMediaDone) &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_EQ(e.media_id, playback);
  EXPECT_FALSE(audio.IsPlaying(stream));
}

TEST_F(SdlHostTest, MessageBoxWithoutDisplayPrintsAndAnswersDefault) {
  ::testing::internal::CaptureStderr();
  // "はい" in Shift-JIS on the second line.
  const auto answer = host_.ShowMessageBox("Q?\n\x82\xCD\x82\xA2", "T", MessageBoxKind::kYesNo);
  const auto ok = host_.ShowMessageBox("done", "T", MessageBoxKind::kOk);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, MessageBoxAnswer::kNo);
  EXPECT_EQ(ok, MessageBoxAnswer::kOk);
  EXPECT_NE(err.find("box: Q?\nbox: はい\nbox: done\n"), std::string::npos) << err;
}

constexpr std::uint32_t kSentinel = 0x12345678u;

// Channel expansion written out per pixel: 5-bit v becomes 8 * v + v / 4.
std::uint32_t Expand(std::uint16_t s) {
  auto e = [](unsigned v) { return v % 32 * 8 + v % 32 / 4; };
  return 0xFF000000u + e(s / 1024) * 65536 + e(s / 32) * 256 + e(s);
}

// Only the rectangle is converted, with pitches of the picture's width and wider.
TEST(SdlPresentTest, ConvertsOnlyTheRectangleAgainstPerPixelReference) {
  std::mt19937 rng(12345);
  const Rect rects[] = {{0, 0, 640, 480},  {3, 5, 640, 479}, {0, 0, 1, 1},   {639, 479, 640, 480},
                        {17, 33, 18, 300}, {101, 7, 333, 8}, {5, 5, 5, 100}, {250, 0, 263, 480}};
  for (auto [src_pitch, dst_pitch] : {std::pair{640, 640}, {648, 701}}) {
    std::vector<std::uint16_t> src(static_cast<std::size_t>(src_pitch) * 480);
    for (auto& p : src) p = static_cast<std::uint16_t>(rng());  // bit 15 is not part of the colour
    for (const Rect& r : rects) {
      std::vector<std::uint32_t> dst(static_cast<std::size_t>(dst_pitch) * 480, kSentinel);
      ConvertRgb555ToXrgb8888(src.data(), src_pitch, dst.data(), dst_pitch, r);
      int wrong = 0;
      for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < dst_pitch; ++x) {
          const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
          wrong += dst[y * dst_pitch + x] != (inside ? Expand(src[y * src_pitch + x]) : kSentinel);
        }
      }
      EXPECT_EQ(wrong, 0) << r.left << "," << r.top << "," << r.right << "," << r.bottom
                          << " pitches " << src_pitch << "/" << dst_pitch;
    }
  }
}

}  // namespace
}  // namespace adv
