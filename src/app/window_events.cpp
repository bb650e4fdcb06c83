#include "app/window_events.h"

#include "app/app.h"
#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "engine/engine.h"

namespace adv {

namespace {

constexpr int kArrowStep = 16;

void PostButton(Engine& engine, HostEvent::Type type, MouseButton button) {
  HostEvent event;
  event.type = type;
  event.button = button;
  engine.host.GetCursorPos(event.x, event.y);
  engine.host.PostEvent(event);
}

void MoveCursor(Engine& engine, int dx, int dy) {
  int x = 0, y = 0;
  engine.host.GetCursorPos(x, y);
  engine.host.SetCursorPos(x + dx, y + dy);
}

void KeyDown(App& app, const HostEvent& event) {
  Engine& engine = app.engine;
  if (event.alt) {
    // System keys: Alt+Enter switches the display mode; Alt+F4 closes like the close box.
    if (event.key == HostKey::kEnter) ToggleDisplayMode(app);
    if (event.key == HostKey::kF4) DestroyWindow(app);
    return;
  }
  switch (event.key) {
    case HostKey::kEnter:
      if (!event.repeat) PostButton(engine, HostEvent::Type::kMouseDown, MouseButton::kLeft);
      break;
    case HostKey::kSpace:
      if (!event.repeat) PostButton(engine, HostEvent::Type::kMouseDown, MouseButton::kRight);
      break;
    case HostKey::kLeft:
      MoveCursor(engine, -kArrowStep, 0);
      break;
    case HostKey::kUp:
      MoveCursor(engine, 0, -kArrowStep);
      break;
    case HostKey::kRight:
      MoveCursor(engine, kArrowStep, 0);
      break;
    case HostKey::kDown:
      MoveCursor(engine, 0, kArrowStep);
      break;
    case HostKey::kEscape:
    case HostKey::kF12:
      engine.host.PostClose();
      break;
    case HostKey::kF4:
      ToggleDisplayMode(app);
      break;
    default:
      break;
  }
}

void KeyUp(Engine& engine, const HostEvent& event) {
  if (event.key == HostKey::kEnter) {
    PostButton(engine, HostEvent::Type::kMouseUp, MouseButton::kLeft);
  } else if (event.key == HostKey::kSpace) {
    PostButton(engine, HostEvent::Type::kMouseUp, MouseButton::kRight);
  }
}

// Coordinates reach the handlers as the unsigned 16-bit halves of a window message.
int Word(int v) {
  return v & 0xFFFF;
}

}  // namespace

void DestroyWindow(App& app) {
  app.engine.host.DestroyMainWindow();
  app.quit = true;
}

void HandleWindowEvent(App& app, const HostEvent& event) {
  Engine& engine = app.engine;
  Mouse& mouse = engine.mouse;
  if (ComfortEvent(app, event)) return;
  switch (event.type) {
    case HostEvent::Type::kClose:
      DestroyWindow(app);
      break;
    case HostEvent::Type::kDeactivate:
      if (app.display_mode == DisplayMode::kFullScreen) {
        ToggleDisplayMode(app);
        engine.host.LowerWindow();
      }
      break;
    case HostEvent::Type::kActivate:
      break;
    case HostEvent::Type::kExpose:
      PresentRect(engine, Rect{0, 0, kScreenWidth, kScreenHeight});
      break;
    case HostEvent::Type::kKeyDown:
      KeyDown(app, event);
      break;
    case HostEvent::Type::kKeyUp:
      KeyUp(engine, event);
      break;
    case HostEvent::Type::kMouseDown:
      if (event.button == MouseButton::kLeft) {
        mouse.left_down = true;
        OnLeftClick(engine, Word(event.x), Word(event.y));
      } else {
        mouse.right_down = true;
        OnRightClick(engine, Word(event.x), Word(event.y));
      }
      break;
    case HostEvent::Type::kMouseUp:
      if (event.button == MouseButton::kLeft) {
        mouse.left_down = false;
      } else {
        mouse.right_down = false;
      }
      break;
    case HostEvent::Type::kMediaDone:
      engine.media.OnMediaDone(event.media_id);
      break;
    case HostEvent::Type::kMouseMove:
    case HostEvent::Type::kWheel:
      break;
  }
}

}  // namespace adv
