// SDL events turned into the engine's HostEvents.
#include <SDL.h>

#include "base/tick_time.h"
#include "host/sdl/sdl_host.h"

namespace adv {
namespace {

HostKey MapKey(SDL_Keycode key) {
  switch (key) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return HostKey::kEnter;
    case SDLK_SPACE:
      return HostKey::kSpace;
    case SDLK_ESCAPE:
      return HostKey::kEscape;
    case SDLK_F4:
      return HostKey::kF4;
    case SDLK_F12:
      return HostKey::kF12;
    case SDLK_LEFT:
      return HostKey::kLeft;
    case SDLK_UP:
      return HostKey::kUp;
    case SDLK_RIGHT:
      return HostKey::kRight;
    case SDLK_DOWN:
      return HostKey::kDown;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
      return HostKey::kCtrl;
    case SDLK_TAB:
      return HostKey::kTab;
    case SDLK_a:
      return HostKey::kA;
    case SDLK_PAGEUP:
      return HostKey::kPageUp;
    case SDLK_PAGEDOWN:
      return HostKey::kPageDown;
    case SDLK_F11:
      return HostKey::kF11;
    default:
      return HostKey::kOther;
  }
}

}  // namespace

bool SdlHost::PollEvent(HostEvent& event) {
  PumpMedia();
  if (!posted_.empty()) {
    event = posted_.front();
    posted_.pop_front();
    return true;
  }
  if (!media_events_.empty()) {
    event = media_events_.front();
    media_events_.pop_front();
    return true;
  }
  if (!sdl_ready_) return false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (MapEvent(e, event)) return true;
  }
  return false;
}

bool SdlHost::WaitEvent(HostEvent& event, std::uint32_t timeout_ms) {
  const std::uint32_t end = Now() + timeout_ms;
  while (true) {
    if (PollEvent(event)) return true;
    const std::uint32_t left = TicksUntil(Now(), end);
    if (left == 0) return false;
    BlockFor(left);
  }
}

void SdlHost::WaitIdle(std::optional<std::uint32_t> until) {
  if (!posted_.empty() || !media_events_.empty()) return;
  if (!until) {
    BlockFor(std::nullopt);
    return;
  }
  // Only the time ahead is waited for; a time already passed returns at once.
  if (const std::uint32_t left = TicksUntil(Now(), *until); left != 0) BlockFor(left);
}

void SdlHost::BlockFor(std::optional<std::uint32_t> ms) {
  if (const auto media = MediaWakeMs(); media && (!ms || *media < *ms)) ms = media;
  if (!sdl_ready_) {
    Sleep(ms.value_or(kMediaPollMs));
    return;
  }
  // SDL blocks on the display connection until an event comes (the event stays queued for
  // PollEvent) or the time is up.
  if (ms) {
    SDL_WaitEventTimeout(nullptr, static_cast<int>(*ms));
  } else {
    SDL_WaitEvent(nullptr);
  }
}

bool SdlHost::MapEvent(const SDL_Event& e, HostEvent& event) {
  event = HostEvent{};
  using Type = HostEvent::Type;
  if (raise_event_ != 0 && e.type == raise_event_) {
    RaiseWindow();
    return false;
  }
  if (media_wake_ != 0 && e.type == media_wake_) return false;  // PollEvent takes the media
  switch (e.type) {
    case SDL_QUIT:  // also Ctrl+C and SIGTERM
      if (close_reported_) return false;
      close_reported_ = true;
      event.type = Type::kClose;
      return true;
    case SDL_WINDOWEVENT:
      if (window_ == nullptr || e.window.windowID != SDL_GetWindowID(window_)) return false;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          close_reported_ = true;
          event.type = Type::kClose;
          return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          event.type = Type::kActivate;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          event.type = Type::kDeactivate;
          return true;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
          // The texture still holds the last picture, so the host repaints on its own; the
          // engine hears of it as well.
          Redraw();
          event.type = Type::kExpose;
          return true;
        default:
          return false;
      }
    case SDL_RENDER_DEVICE_RESET:
      // Textures are lost with the device; the kept picture rebuilds ours.
      if (renderer_ != nullptr && !CreateTexture()) return false;
      Redraw();
      event.type = Type::kExpose;
      return true;
    case SDL_RENDER_TARGETS_RESET:
      UploadAll();
      Redraw();
      event.type = Type::kExpose;
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      event.type = e.type == SDL_KEYDOWN ? Type::kKeyDown : Type::kKeyUp;
      event.key = MapKey(e.key.keysym.sym);
      event.repeat = e.key.repeat != 0;
      event.alt = (e.key.keysym.mod & KMOD_ALT) != 0;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (e.button.button == SDL_BUTTON_LEFT) {
        event.button = MouseButton::kLeft;
      } else if (e.button.button == SDL_BUTTON_RIGHT) {
        event.button = MouseButton::kRight;
      } else {
        return false;
      }
      event.type = e.type == SDL_MOUSEBUTTONDOWN ? Type::kMouseDown : Type::kMouseUp;
      // SDL has already mapped the position to the logical 640 x 480 picture.
      event.x = e.button.x;
      event.y = e.button.y;
      return true;
    case SDL_MOUSEMOTION:
      event.type = Type::kMouseMove;
      event.x = e.motion.x;
      event.y = e.motion.y;
      return true;
    case SDL_MOUSEWHEEL: {
      int y = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      if (y == 0) return false;  // sideways only
      event.type = Type::kWheel;
      event.wheel = y;
      GetCursorPos(event.x, event.y);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace adv
