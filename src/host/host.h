// The platform layer as the engine sees it. SdlHost plays games in a real window; HeadlessHost
// runs them on a virtual clock with scripted input for tests and automation. Nothing outside
// host/ reads a clock, sleeps, opens a window or polls input.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/rect.h"

namespace adv {

class PictureDecoder;
class MediaHost;

enum class HostKey {
  kOther,
  kEnter,
  kSpace,
  kEscape,
  kF4,
  kF12,
  kLeft,
  kUp,
  kRight,
  kDown,
  // Keys no script sees: the player's comforts (skip, auto, backlog, screenshot).
  kCtrl,
  kTab,
  kA,
  kPageUp,
  kPageDown,
  kF11,
};

enum class MouseButton { kLeft, kRight };

struct HostEvent {
  enum class Type {
    kClose,       // the window's close box (or --until)
    kActivate,    // the window became active
    kDeactivate,  // the window lost activation
    kKeyDown,     // key: repeat tells auto-repeat, alt whether Alt was held
    kKeyUp,
    kMouseDown,  // button, x, y in logical 640 x 480 coordinates
    kMouseUp,
    kMouseMove,
    kWheel,      // wheel > 0 turned up (away from the player), < 0 down; x, y as above
    kExpose,     // the window's contents must be drawn again
    kMediaDone,  // a media player's playback ended; media_id names it
  };
  Type type = Type::kClose;
  HostKey key = HostKey::kOther;
  bool repeat = false;
  bool alt = false;
  MouseButton button = MouseButton::kLeft;
  int x = 0;
  int y = 0;
  int wheel = 0;
  int media_id = 0;
};

enum class MessageBoxKind { kOk, kYesNo };
enum class MessageBoxAnswer { kOk, kYes, kNo };

// Outcome of a request for 640 x 480 full screen; each failure has its own message for the
// player.
enum class FullScreenResult { kOk, kRestart, kBadMode, kFailed };

// A frame of the back buffer handed to the window: 640 x 480 RGB555 pixels, pitch in pixels.
struct FrameView {
  const std::uint16_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
};

// A mouse cursor decoded from a Windows .cur file.
struct CursorImage {
  int width = 0;
  int height = 0;
  int hotspot_x = 0;
  int hotspot_y = 0;
  std::vector<std::uint32_t> argb;  // width x height, 0xAARRGGBB
};

struct LocalTime {
  int year = 2000, month = 1, day = 1, weekday = 6;  // weekday: 0 = Sunday
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

class Host {
 public:
  virtual ~Host() = default;

  // Clock in milliseconds; wraps at 2^32, and every comparison of times is wrap-safe.
  virtual std::uint32_t Now() = 0;
  virtual void Sleep(std::uint32_t ms) = 0;
  // Called once per frame after presentation.
  virtual void EndFrame() = 0;
  virtual LocalTime GetLocalTime() = 0;

  // Window. Text arguments are Shift-JIS; the host converts them.
  [[nodiscard]] virtual bool CreateMainWindow(const std::string& caption, bool full_screen) = 0;
  virtual void DestroyMainWindow() = 0;
  virtual bool HasWindow() const = 0;
  virtual void SetTitle(const std::string& caption) = 0;
  virtual FullScreenResult TestFullScreen() = 0;
  [[nodiscard]] virtual bool SetFullScreen(bool full_screen) = 0;
  // Puts the window at the bottom of the window order (after leaving full screen).
  virtual void LowerWindow() = 0;
  // Scales the picture by whole factors only, so its pixels stay sharp.
  virtual void SetIntegerScale(bool on) { (void)on; }
  // Copies the rectangle of frame to the window and shows it.
  virtual void Present(const FrameView& frame, const Rect& rect) = 0;

  // Takes the next pending event without blocking: events posted with PostEvent first, in
  // their order, then the window's own.
  virtual bool PollEvent(HostEvent& event) = 0;
  // Waits up to timeout_ms for an event and takes it; false when none came in that time. Waking
  // only for input (or a posted event) is what keeps a held frame from costing processor time.
  virtual bool WaitEvent(HostEvent& event, std::uint32_t timeout_ms) = 0;
  // Nothing in the engine can change before an event arrives or the clock reaches `until`
  // (no time: only an event): a windowed host may block meanwhile. The headless host's clock
  // moves only when the engine sleeps, so it returns at once.
  virtual void WaitIdle(std::optional<std::uint32_t> until) { (void)until; }
  // Queues an event for the window, as a posted window message.
  virtual void PostEvent(const HostEvent& event) = 0;
  void PostClose() {
    HostEvent close;
    close.type = HostEvent::Type::kClose;
    PostEvent(close);
  }
  // False once no input can come any more (a headless run whose input script is used up).
  virtual bool InputPending() const { return true; }

  // Mouse cursor, in logical window coordinates.
  virtual void GetCursorPos(int& x, int& y) = 0;
  virtual void SetCursorPos(int x, int y) = 0;
  virtual void ShowCursor(bool show) = 0;
  // Null restores the system arrow.
  [[nodiscard]] virtual bool SetCursorImage(const CursorImage* image) = 0;

  // Shows a message box and returns the answer. owned: the box belongs to the main window.
  virtual MessageBoxAnswer ShowMessageBox(const std::string& text, const std::string& title,
                                          MessageBoxKind kind) = 0;

  // Single-instance guard keyed by key. Returns true when this is the only instance; otherwise
  // asks the running instance to raise its window if its caption equals caption.
  [[nodiscard]] virtual bool AcquireInstance(const std::string& key,
                                             const std::string& caption) = 0;
  // Tells the guard (if any) the caption of this instance's window.
  virtual void SetInstanceCaption(const std::string& caption) = 0;

  // Picture formats the engine does not decode itself (GIF, JPEG and the rest).
  virtual PictureDecoder* Decoder() = 0;

  // Sounds, music, CD audio, movies, the MIDI synthesizer and the 1 ms timer. End-of-playback
  // notifications come back from PollEvent as HostEvent::kMediaDone; while a movie is open the
  // window shows its picture instead of what Present gave. Null for a host without media.
  virtual MediaHost* Media() { return nullptr; }

  // Where internal errors and debug lines go (stderr with --debug).
  virtual void DebugLog(const std::string& line) = 0;
  // Every script error as one line FILE:LINE: message (already UTF-8).
  virtual void ErrorLine(const std::string& line) = 0;
};

}  // namespace adv
