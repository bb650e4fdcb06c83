// The host for players: an SDL2 window showing the 640 x 480 back buffer scaled with
// letterboxing, SDL input mapped to the engine's events, SDL cursors and message boxes.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/host.h"
#include "host/host_media.h"
#include "host/instance_guard.h"
#include "host/sdl/sdl_image_decoder.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
struct SDL_Cursor;
union SDL_Event;

namespace adv {

struct SdlHostOptions {
  bool debug = false;  // DebugLog lines go to stderr
  int scale = 0;       // the window at this many times 640 x 480; 0: as the display's DPI asks
  bool integer_scale = false;
};

// Whether SDL's video driver shows a window: its offscreen and dummy drivers do not, unless
// SDL_VIDEODRIVER (requested, may be null) names them.
bool IsVisibleVideoDriver(std::string_view driver, const char* requested);

class SdlHost : public Host {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  explicit SdlHost(SdlHostOptions options = {});
  ~SdlHost() override;
  SdlHost(const SdlHost&) = delete;
  SdlHost& operator=(const SdlHost&) = delete;

  // Starts SDL's video and event subsystems. Call before anything that needs a display (window,
  // cursor). False with the reason in error when SDL cannot start (no display at all).
  [[nodiscard]] bool Init(std::string& error);
  // Why the last window creation or display change failed (SDL's words).
  const std::string& LastError() const { return last_error_; }

  std::uint32_t Now() override;
  void Sleep(std::uint32_t ms) override;
  void EndFrame() override {}
  LocalTime GetLocalTime() override;

  [[nodiscard]] bool CreateMainWindow(const std::string& caption, bool full_screen) override;
  void DestroyMainWindow() override;
  bool HasWindow() const override { return window_ != nullptr; }
  void SetTitle(const std::string& caption) override;
  FullScreenResult TestFullScreen() override;
  [[nodiscard]] bool SetFullScreen(bool full_screen) override;
  void LowerWindow() override;
  void SetIntegerScale(bool on) override;
  void Present(const FrameView& frame, const Rect& rect) override;

  bool PollEvent(HostEvent& event) override;
  bool WaitEvent(HostEvent& event, std::uint32_t timeout_ms) override;
  void WaitIdle(std::optional<std::uint32_t> until) override;
  void PostEvent(const HostEvent& event) override { posted_.push_back(event); }

  void GetCursorPos(int& x, int& y) override;
  void SetCursorPos(int x, int y) override;
  void ShowCursor(bool show) override;
  [[nodiscard]] bool SetCursorImage(const CursorImage* image) override;

  MessageBoxAnswer ShowMessageBox(const std::string& text, const std::string& title,
                                  MessageBoxKind kind) override;

  [[nodiscard]] bool AcquireInstance(const std::string& key, const std::string& caption) override;
  void SetInstanceCaption(const std::string& caption) override;

  PictureDecoder* Decoder() override { return &decoder_; }
  // Made at the first call: the mixer, FluidSynth and the movie device. The audio device opens
  // when something is first to be heard and pauses while nothing is (without one the mix runs
  // unheard on the clock, so sounds still end on time).
  MediaHost* Media() override;

  void DebugLog(const std::string& line) override;
  void ErrorLine(const std::string& line) override;

  bool IsFullScreen() const { return full_screen_; }
  // For players that draw into the window themselves (movies); null without a window.
  SDL_Window* Window() const { return window_; }
  SDL_Renderer* Renderer() const { return renderer_; }
  // The picture the window shows, 640 x 480 pixels 0xFFRRGGBB (black before the first frame).
  const std::vector<std::uint32_t>& ShownPicture() const { return shadow_; }

 private:
  std::deque<HostEvent> posted_;
  bool MapEvent(const SDL_Event& e, HostEvent& event);
  [[nodiscard]] bool CreateTexture();
  void UploadAll();
  void Redraw();
  void RaiseWindow();
  void ShowOnce();
  // Starts the guard's thread that answers later instances (once the window shows).
  void ListenForRaise();
  int WindowScale() const;
  void Fail(const char* what);
  // Movie frames, end-of-playback events and the unheard mix, on the clock.
  void PumpMedia();
  [[nodiscard]] bool OpenAudioDevice();
  void UpdateAudioDevice();
  // Moves the mix (and the MIDI ticks on it) up to the wall clock's time.
  void FollowWallClock();
  static void PullMix(void* host, std::uint8_t* stream, int length);
  // How soon a wait must end to keep media moving, when something plays that only polling moves.
  std::optional<std::uint32_t> MediaWakeMs();
  // Blocks until an event is queued or ms pass (no time: only an event).
  void BlockFor(std::optional<std::uint32_t> ms);
  static constexpr std::uint32_t kMediaPollMs = 10;
  void CloseMedia();

  SdlHostOptions options_;
  bool sdl_ready_ = false;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  SDL_Cursor* cursor_ = nullptr;
  // The picture last presented, kept so that the texture can be rebuilt after a device reset.
  std::vector<std::uint32_t> shadow_;
  bool full_screen_ = false;
  int window_width_ = kWidth;  // the window's size when not full screen
  int window_height_ = kHeight;
  // The close box gives a window-close event and then a quit event; the engine hears one close.
  bool close_reported_ = false;
  std::string last_error_;
  std::unique_ptr<InstanceGuard> guard_;
  // A later instance asked to see our window: pushed by the guard's thread.
  std::uint32_t raise_event_ = 0;
  // The window stays hidden until it has a picture to show.
  bool shown_ = false;
  bool arrow_pending_ = false;  // the system arrow is to be made when the window shows
  SdlImageDecoder decoder_;
  std::unique_ptr<HostMedia> media_;
  std::uint32_t audio_device_ = 0;  // SDL_AudioDeviceID; 0 without a device
  bool audio_running_ = false;      // unpaused: the device's callback pulls the mix
  bool audio_failed_ = false;       // the device could not be opened; not tried again
  // Without a running device the mix follows the wall clock: frame unheard_from_ was due at
  // clock time unheard_at_. Guarded by unheard_mutex_ (the interpreter and wall_clock_).
  std::mutex unheard_mutex_;
  std::uint32_t unheard_at_ = 0;
  std::uint64_t unheard_from_ = 0;
  struct WallClockDriver final : TimerClient {
    explicit WallClockDriver(SdlHost& host) : host(host) {}
    void OnTimerTick() override;
    SdlHost& host;
    PeriodicTimer* timer = nullptr;  // the one this drives: set before its first Start
  };
  std::unique_ptr<WallClockDriver> wall_clock_driver_;
  std::unique_ptr<PeriodicTimer> wall_clock_;  // runs only while it must: see UpdateAudioDevice
  std::deque<HostEvent> media_events_;
  std::uint32_t media_wake_ = 0;  // pushed by the audio thread when a voice has ended
  std::atomic<bool> wake_sent_{false};
  SDL_Texture* movie_texture_ = nullptr;  // the movie's picture while one is open
};

}  // namespace adv
