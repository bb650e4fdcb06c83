#include "app/window_proc.h"

#include "app/click_handlers.h"
#include "app/display_mode.h"
#include "app/frame_loop.h"
#include "engine.h"

namespace adv {

namespace {

constexpr int kArrowStep = 16;

void PostButton(Engine& engine, HostEvent::Type type, MouseButton button) {
  HostEvent event;
  event.type = type;
  event.button = button;
  engine.host.GetCursorPos(event.x, event.y);
  engine.shell.posted.push_back(event);
}

void MoveCursor(Engine& engine, int dx, int dy) {
  int x = 0, y = 0;
  engine.host.GetCursorPos(x, y);
  engine.host.SetCursorPos(x + dx, y + dy);
}

void KeyDown(Engine& engine, const HostEvent& event) {
  if (event.alt) {
    // System keys: Alt+Enter switches the display mode; Alt+F4 closes like the close box.
    if (event.key == HostKey::kEnter) ToggleDisplayMode(engine);
    if (event.key == HostKey::kF4) DestroyWindow(engine);
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
      RequestClose(engine, false);
      break;
    case HostKey::kF4:
      ToggleDisplayMode(engine);
      break;
    case HostKey::kOther:
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

void DestroyWindow(Engine& engine) {
  engine.host.DestroyMainWindow();
  engine.shell.quit = true;
}

void HandleWindowEvent(Engine& engine, const HostEvent& event) {
  Shell& shell = engine.shell;
  switch (event.type) {
    case HostEvent::Type::kClose:
      DestroyWindow(engine);
      break;
    case HostEvent::Type::kDeactivate:
      if (shell.display_mode == DisplayMode::kFullScreen) {
        ToggleDisplayMode(engine);
        engine.host.LowerWindow();
      }
      break;
    case HostEvent::Type::kActivate:
      break;
    case HostEvent::Type::kExpose:
      PresentRect(engine, Rect{0, 0, shell.screen_width, shell.screen_height});
      break;
    case HostEvent::Type::kKeyDown:
      KeyDown(engine, event);
      break;
    case HostEvent::Type::kKeyUp:
      KeyUp(engine, event);
      break;
    case HostEvent::Type::kMouseDown:
      if (event.button == MouseButton::kLeft) {
        shell.left_down = true;
        OnLeftClick(engine, Word(event.x), Word(event.y));
      } else {
        shell.right_down = true;
        OnRightClick(engine, Word(event.x), Word(event.y));
      }
      break;
    case HostEvent::Type::kMouseUp:
      if (event.button == MouseButton::kLeft) {
        shell.left_down = false;
      } else {
        shell.right_down = false;
      }
      break;
    case HostEvent::Type::kMouseMove:
    case HostEvent::Type::kMediaDone:
      break;
  }
}

}  // namespace adv
