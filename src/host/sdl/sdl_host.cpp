#include "host/sdl/sdl_host.h"

#include <SDL.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace adv {

SdlHost::SdlHost(SdlHostOptions options) : options_(options) {}

SdlHost::~SdlHost() {
  // The guard's thread and the media push SDL events: they stop before SDL does.
  guard_.reset();
  CloseMedia();
  DestroyMainWindow();
  if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
  if (sdl_ready_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

namespace {

// Whether OpenGL would draw on a real GPU. Without a DRM render node it would be Mesa's software
// rasteriser, which takes several threads and tens of megabytes to draw one texture; SDL's own
// software renderer puts the same picture on the window surface for a fraction of that.
bool HasGpu() {
  const char* software = std::getenv("LIBGL_ALWAYS_SOFTWARE");
  if (software != nullptr && software[0] != '\0' && software[0] != '0') return false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    if (entry.path().filename().string().rfind("renderD", 0) == 0 &&
        ::access(entry.path().c_str(), R_OK | W_OK) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace

bool SdlHost::Init(std::string& error) {
  if (sdl_ready_) return true;
  // A renderer named in SDL_RENDER_DRIVER is the player's choice; otherwise the GPU when there
  // is one, and no OpenGL at all when there is not.
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER) == nullptr && !HasGpu()) {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  }
  // Pixel art stays sharp when scaled up; the engine leaves full screen itself on deactivation,
  // so SDL must not minimise the window behind its back.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    error = SDL_GetError();
    return false;
  }
  // With no reachable display SDL falls back to drivers that show nothing; a game would then
  // play unseen to its end. They count as a window only when asked for by name.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!IsVisibleVideoDriver(driver != nullptr ? driver : "", SDL_getenv("SDL_VIDEODRIVER"))) {
    error = std::string("no display (SDL chose its \"") + (driver != nullptr ? driver : "") +
            "\" video driver)";
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return false;
  }
  raise_event_ = SDL_RegisterEvents(2);
  if (raise_event_ == static_cast<std::uint32_t>(-1)) raise_event_ = 0;
  media_wake_ = raise_event_ != 0 ? raise_event_ + 1 : 0;
  sdl_ready_ = true;
  return true;
}

bool IsVisibleVideoDriver(std::string_view driver, const char* requested) {
  if (driver != "offscreen" && driver != "dummy" && !driver.empty()) {
    return true;
  }
  if (driver.empty() || requested == nullptr) return false;
  // SDL_VIDEODRIVER may list several drivers, separated by commas.
  std::string_view list(requested);
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    if (list.substr(0, comma) == driver) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

void SdlHost::Fail(const char* what) {
  last_error_ = std::string(what) + ": " + SDL_GetError();
  DebugLog(last_error_);
}

std::uint32_t SdlHost::Now() {
  // Milliseconds of the monotonic clock (time since boot), wrapping like timeGetTime.
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void SdlHost::Sleep(std::uint32_t ms) {
  SDL_Delay(ms);
}

LocalTime SdlHost::GetLocalTime() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since).count();
  const time_t seconds = static_cast<time_t>(ms / 1000);
  struct tm local {};
  localtime_r(&seconds, &local);
  LocalTime t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.weekday = local.tm_wday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(ms % 1000);
  return t;
}

void SdlHost::GetCursorPos(int& x, int& y) {
  x = y = 0;
  if (!sdl_ready_) return;
  // The mouse state is kept in window coordinates even when events arrive in logical ones.
  int wx = 0;
  int wy = 0;
  SDL_GetMouseState(&wx, &wy);
  // Outside the window SDL remembers only where the pointer left it; the X server knows where
  // it is now. (Other drivers answer the global query with the window's own state.)
  const char* driver = SDL_GetCurrentVideoDriver();
  if (window_ != nullptr && SDL_GetMouseFocus() != window_ && driver != nullptr &&
      std::strcmp(driver, "x11") == 0) {
    int gx = 0, gy = 0, left = 0, top = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(window_, &left, &top);
    wx = gx - left;
    wy = gy - top;
  }
  if (renderer_ == nullptr) {
    x = wx;
    y = wy;
    return;
  }
  float lx = 0;
  float ly = 0;
  SDL_RenderWindowToLogical(renderer_, wx, wy, &lx, &ly);
  x = static_cast<int>(std::floor(lx));
  y = static_cast<int>(std::floor(ly));
}

void SdlHost::SetCursorPos(int x, int y) {
  if (window_ == nullptr) return;
  // Aim at the middle of the logical pixel so that reading the position back gives (x, y) when
  // the window is scaled.
  int wx = 0;
  int wy = 0;
  SDL_RenderLogicalToWindow(renderer_, static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f,
                            &wx, &wy);
  SDL_WarpMouseInWindow(window_, wx, wy);
}

void SdlHost::ShowCursor(bool show) {
  if (sdl_ready_) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlHost::SetCursorImage(const CursorImage* image) {
  if (!sdl_ready_) return false;
  arrow_pending_ = false;
  if (image == nullptr && !shown_) {
    // The arrow is made when the window first shows: nobody sees a cursor before that.
    if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
    cursor_ = nullptr;
    arrow_pending_ = true;
    return true;
  }
  SDL_Cursor* next = nullptr;
  if (image == nullptr) {
    next = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  } else {
    if (image->width <= 0 || image->height <= 0 ||
        image->argb.size() != static_cast<std::size_t>(image->width) * image->height) {
      return false;
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(
        const_cast<std::uint32_t*>(image->argb.data()), image->width, image->height, 32,
        image->width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
      Fail("SDL_CreateRGBSurfaceWithFormatFrom");
      return false;
    }
    // SDL refuses a hotspot outside the picture; the nearest point inside it is meant.
    next = SDL_CreateColorCursor(surface, std::clamp(image->hotspot_x, 0, image->width - 1),
                                 std::clamp(image->hotspot_y, 0, image->height - 1));
    SDL_FreeSurface(surface);
  }
  if (next == nullptr) {
    Fail("SDL_CreateColorCursor");
    return false;
  }
  // The new cursor is set before the old one is freed, which would fall back to the default.
  SDL_SetCursor(next);
  if (cursor_ != nullptr) SDL_FreeCursor(cursor_);
  cursor_ = next;
  return true;
}

bool SdlHost::AcquireInstance(const std::string& key, const std::string& caption) {
  auto guard = std::make_unique<InstanceGuard>();
  if (!guard->Acquire(key, caption)) return false;
  guard_ = std::move(guard);
  // Later instances wait in the socket's queue until the window shows.
  if (shown_) ListenForRaise();
  return true;
}

void SdlHost::ListenForRaise() {
  if (guard_ == nullptr || raise_event_ == 0) return;
  const std::uint32_t type = raise_event_;
  guard_->Listen([type] {
    SDL_Event raise{};
    raise.type = type;
    SDL_PushEvent(&raise);
  });
}

void SdlHost::SetInstanceCaption(const std::string& caption) {
  if (guard_) guard_->SetCaption(caption);
}

void SdlHost::DebugLog(const std::string& line) {
  if (options_.debug) std::fprintf(stderr, "%s\n", line.c_str());
}

void SdlHost::ErrorLine(const std::string& line) {
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace adv
