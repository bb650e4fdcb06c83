// The main window: creation, title, full screen and presentation of the back buffer.
#include <SDL.h>

#include <algorithm>

#include "host/rgb555_convert.h"
#include "host/sdl/sdl_host.h"
#include "host/sjis_convert.h"

namespace adv {

bool SdlHost::CreateMainWindow(const std::string& caption, bool full_screen) {
  if (!sdl_ready_) {
    last_error_ = "SDL is not initialised";
    return false;
  }
  if (window_ != nullptr) return true;
  // The picture keeps its aspect ratio, centred, in a window of any size; full screen is the
  // desktop's own mode with the picture scaled and letterboxed, so no real mode change happens.
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
  if (full_screen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  const int scale = WindowScale();
  window_width_ = kWidth * scale;
  window_height_ = kHeight * scale;
  window_ = SDL_CreateWindow(SjisToUtf8(caption).c_str(), SDL_WINDOWPOS_CENTERED,
                             SDL_WINDOWPOS_CENTERED, window_width_, window_height_, flags);
  if (window_ == nullptr) {
    Fail("SDL_CreateWindow");
    return false;
  }
  // No vsync: the frame loop keeps its own time, as BitBlt to the window never waited.
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ == nullptr) {
    Fail("SDL_CreateRenderer");
    DestroyMainWindow();
    return false;
  }
  SDL_RenderSetLogicalSize(renderer_, kWidth, kHeight);
  SDL_RenderSetIntegerScale(renderer_, options_.integer_scale ? SDL_TRUE : SDL_FALSE);
  shadow_.assign(static_cast<std::size_t>(kWidth) * kHeight, 0xFF000000u);
  // The window shows only once it has the game's first picture: the engine draws the whole back
  // buffer at this expose, in its first frame. Until then the texture is left empty.
  shown_ = false;
  if (!CreateTexture()) {
    DestroyMainWindow();
    return false;
  }
  // No input-method window: the game reads keys, never text.
  SDL_StopTextInput();
  if (cursor_ != nullptr) SDL_SetCursor(cursor_);
  full_screen_ = full_screen;
  close_reported_ = false;
  HostEvent expose;
  expose.type = HostEvent::Type::kExpose;
  posted_.push_back(expose);
  return true;
}

int SdlHost::WindowScale() const {
  if (options_.scale > 0) return options_.scale;
  // A display of more than 96 dots an inch gets a window of the same apparent size.
  float dpi = 0;
  if (SDL_GetDisplayDPI(0, &dpi, nullptr, nullptr) != 0 || dpi <= 0) return 1;
  return std::clamp(static_cast<int>(dpi / 96.0f + 0.5f), 1, 4);
}

void SdlHost::SetIntegerScale(bool on) {
  options_.integer_scale = on;
  if (renderer_ != nullptr) {
    SDL_RenderSetIntegerScale(renderer_, on ? SDL_TRUE : SDL_FALSE);
    Redraw();
  }
}

void SdlHost::ShowOnce() {
  if (shown_ || window_ == nullptr) return;
  shown_ = true;
  SDL_ShowWindow(window_);
  UploadAll();
  Redraw();
  // What the first picture need not wait for: the arrow cursor (which loads the cursor theme)
  // and the thread that answers later instances.
  if (arrow_pending_) SetCursorImage(nullptr);
  ListenForRaise();
}

bool SdlHost::CreateTexture() {
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                               kWidth, kHeight);
  if (texture_ == nullptr) {
    Fail("SDL_CreateTexture");
    return false;
  }
  SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
  SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  // A hidden window's texture is filled when the window shows.
  if (shown_) UploadAll();
  return true;
}

void SdlHost::DestroyMainWindow() {
  if (movie_texture_ != nullptr) SDL_DestroyTexture(movie_texture_);
  movie_texture_ = nullptr;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  full_screen_ = false;
}

void SdlHost::SetTitle(const std::string& caption) {
  if (window_ == nullptr) return;
  SDL_SetWindowTitle(window_, SjisToUtf8(caption).c_str());
  // A later instance is compared with the title the window shows now.
  SetInstanceCaption(caption);
}

FullScreenResult SdlHost::TestFullScreen() {
  if (!sdl_ready_) return FullScreenResult::kFailed;
  int display = window_ != nullptr ? SDL_GetWindowDisplayIndex(window_) : 0;
  if (display < 0) display = 0;
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(display, &mode) == 0) return FullScreenResult::kOk;
  if (SDL_GetNumVideoDisplays() < 1 || SDL_GetNumDisplayModes(display) < 1) {
    return FullScreenResult::kBadMode;
  }
  return FullScreenResult::kFailed;
}

bool SdlHost::SetFullScreen(bool full_screen) {
  if (window_ == nullptr) return false;
  if (SDL_SetWindowFullscreen(window_, full_screen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) {
    Fail("SDL_SetWindowFullscreen");
    return false;
  }
  if (!full_screen) {
    // Back to the window's own size, centred on the screen.
    SDL_SetWindowSize(window_, window_width_, window_height_);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  full_screen_ = full_screen;
  Redraw();
  return true;
}

// SDL cannot send a window to the bottom of the stacking order, and minimising would hide a
// window that should stay visible behind the others, so nothing is done.
void SdlHost::LowerWindow() {}

void SdlHost::Present(const FrameView& frame, const Rect& rect) {
  if (window_ == nullptr || frame.pixels == nullptr) return;
  const Rect bounds{0, 0, std::min(frame.width, kWidth), std::min(frame.height, kHeight)};
  const Rect r = IntersectRect(rect, bounds);
  if (r.Empty()) return;
  ConvertRgb555ToXrgb8888(frame.pixels, frame.pitch, shadow_.data(), kWidth, r);
  // The first picture goes up whole as the window shows; drawing into the hidden window first
  // would only be drawn again.
  if (!shown_) {
    ShowOnce();
    return;
  }
  const SDL_Rect area{r.left, r.top, r.Width(), r.Height()};
  SDL_UpdateTexture(texture_, &area,
                    shadow_.data() + static_cast<std::size_t>(r.top) * kWidth + r.left, kWidth * 4);
  Redraw();
}

void SdlHost::UploadAll() {
  if (texture_ != nullptr) SDL_UpdateTexture(texture_, nullptr, shadow_.data(), kWidth * 4);
}

void SdlHost::Redraw() {
  if (renderer_ == nullptr || texture_ == nullptr) return;
  // The whole window is drawn every time: with double buffering the rest of it is undefined.
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  // An open movie covers the client area; the engine's picture is kept for when it closes.
  const bool movie = movie_texture_ != nullptr && media_ && media_->movie().Frame() != nullptr;
  SDL_RenderCopy(renderer_, movie ? movie_texture_ : texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

void SdlHost::RaiseWindow() {
  if (window_ == nullptr) return;
  SDL_ShowWindow(window_);
  SDL_RestoreWindow(window_);
  SDL_RaiseWindow(window_);
}

}  // namespace adv
