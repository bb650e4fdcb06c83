#include "app/display_mode.h"

#include "app/app.h"
#include "base/messages.h"
#include "engine/engine.h"
#include "engine/window_state.h"

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

}  // namespace

bool CreateMainWindow(App& app) {
  Engine& engine = app.engine;
  Host& host = engine.host;
  const std::string& caption = engine.window.caption;
  while (app.display_mode == DisplayMode::kFullScreen) {
    FullScreenResult result = host.TestFullScreen();
    if (result == FullScreenResult::kOk) {
      if (!host.CreateMainWindow(caption, true)) {
        engine.internal_errors.Log(kSdkCreateWindow);
        break;
      }
      host.Sleep(kSettleMs);
      ApplyWindowCursor(engine);
      host.SetInstanceCaption(caption);
      return true;
    }
    host.ShowMessageBox(std::string(FailureText(result, true)), "", MessageBoxKind::kOk);
    app.display_mode = DisplayMode::kWindowed;
  }
  if (app.display_mode == DisplayMode::kWindowed) {
    if (host.CreateMainWindow(caption, false)) {
      ApplyWindowCursor(engine);
      host.SetInstanceCaption(caption);
      return true;
    }
    engine.internal_errors.Log(kSdkCreateWindow);
  }
  engine.internal_errors.Log(kSdkCreateMainWindow);
  host.ShowMessageBox(std::string(kMsgCreateWindowText), std::string(kMsgCreateWindowTitle),
                      MessageBoxKind::kOk);
  return false;
}

void ToggleDisplayMode(App& app) {
  Host& host = app.engine.host;
  if (app.display_mode == DisplayMode::kFullScreen) {
    // A window that could not leave full screen stays full screen in the mode too, so the next
    // toggle tries again; the host has logged why.
    if (host.SetFullScreen(false)) app.display_mode = DisplayMode::kWindowed;
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
  app.display_mode = DisplayMode::kFullScreen;
}

}  // namespace adv
