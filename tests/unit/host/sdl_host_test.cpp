// SdlHost on SDL's dummy video driver, which needs no display (the offscreen one loads EGL,
// whose allocations the leak checker reports). Full screen and movies in a real window are
// played by the window tests.
#include "host/sdl/sdl_host.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <tuple>
#include <vector>

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
  std::vector<std::uint16_t> frame(640 * 480);  // magenta from x 600 on
  for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = i % 640 >= 600 ? 0x7C1F : 0;
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

  // The hotspot lies outside: clipped, not refused.
  CursorImage image{4, 3, 9, 0, std::vector<std::uint32_t>(12, 0xFF00FF00u)};
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

}  // namespace
}  // namespace adv
