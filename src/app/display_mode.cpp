#include "app/display_mode.h"

#include "engine.h"
#include "base/messages.h"

namespace adv {

namespace {

// The full screen needs this long to settle before the window is put on top.
constexpr std::uint32_t kSettleMs = 800;

std::string_view FailureText(FullScreenResult result, bool at_start) {
  switch (result) {
    case FullScreenResult::kRestart:
      return kMsgDisplayRestart;
    case FullScreenResult::kBadMode:
      return kMsgDisplayBadMode;
    default:
      return at_start ? kMsgFullScreenFailedAtStart : kMsgFullScreenFailed;
  }
}

void ApplyCursor(Engine& engine) {
  const WindowCursor& cursor = engine.shell.cursor;
  if (cursor.kind == WindowCursor::Kind::kImage) {
    engine.host.SetCursorImage(&cursor.image);
  } else {
    engine.host.SetCursorImage(nullptr);
  }
}

}  // namespace

bool CreateMainWindow(Engine& engine) {
  Shell& shell = engine.shell;
  Host& host = engine.host;
  while (shell.display_mode == DisplayMode::kFullScreen) {
    FullScreenResult result = host.TestFullScreen();
    if (result == FullScreenResult::kOk) {
      if (!host.CreateMainWindow(shell.caption, true)) {
        engine.internal_errors.Log(kSdkCreateWindow);
        break;
      }
      host.Sleep(kSettleMs);
      ApplyCursor(engine);
      host.SetInstanceCaption(shell.caption);
      return true;
    }
    host.ShowMessageBox(std::string(FailureText(result, true)), "", MessageBoxKind::kOk);
    shell.display_mode = DisplayMode::kWindowed;
  }
  if (shell.display_mode == DisplayMode::kWindowed) {
    if (host.CreateMainWindow(shell.caption, false)) {
      ApplyCursor(engine);
      host.SetInstanceCaption(shell.caption);
      return true;
    }
    engine.internal_errors.Log(kSdkCreateWindow);
  }
  engine.internal_errors.Log(kSdkCreateMainWindow);
  host.ShowMessageBox(std::string(kMsgCreateWindowText), std::string(kMsgCreateWindowTitle),
                      MessageBoxKind::kOk);
  return false;
}

void ToggleDisplayMode(Engine& engine) {
  Shell& shell = engine.shell;
  Host& host = engine.host;
  if (shell.display_mode == DisplayMode::kFullScreen) {
    host.SetFullScreen(false);
    shell.display_mode = DisplayMode::kWindowed;
    return;
  }
  FullScreenResult result = host.TestFullScreen();
  if (result == FullScreenResult::kOk && !host.SetFullScreen(true)) {
    result = FullScreenResult::kFailed;
  }
  if (result != FullScreenResult::kOk) {
    host.ShowMessageBox(std::string(FailureText(result, false)), "", MessageBoxKind::kOk);
    return;
  }
  host.Sleep(kSettleMs);
  shell.display_mode = DisplayMode::kFullScreen;
}

}  // namespace adv
