// A host without window or sound for tests and automation: a virtual clock that only sleeping
// and holding frames advance, input read from a script at its virtual times, and screenshots of
// what was last presented. The same game, input and options give the same output every time.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "host/headless/input_script.h"
#include "host/host.h"
#include "host/host_media.h"
#include "host/wav_writer.h"

namespace adv {

struct Screenshot {
  std::optional<std::uint32_t> ms;  // none: at exit
  std::string path;
};

struct HeadlessOptions {
  std::vector<TimedEvent> input;
  std::vector<Screenshot> shots;
  bool debug = false;
  bool quiet = false;  // message boxes and error lines are kept but not printed (fuzzing)
  PictureDecoder* decoder = nullptr;  // not owned
  // Where the mix is written (16-bit stereo 44.1 kHz WAV, sample 0 at virtual time 0); empty:
  // nothing is mixed, though sounds still end when they would.
  std::string audio_capture;
  // --until: a sleep ends early there too, so the window closes at its exact time.
  std::optional<std::uint32_t> until;
};

class HeadlessHost : public Host {
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 480;

  explicit HeadlessHost(HeadlessOptions options = {});
  ~HeadlessHost() override;

  std::uint32_t Now() override { return now_; }
  // A sleep ends early when scripted input comes due, so input arrives at its exact time.
  void Sleep(std::uint32_t ms) override;
  void EndFrame() override;
  LocalTime GetLocalTime() override;

  [[nodiscard]] bool CreateMainWindow(const std::string& caption, bool full_screen) override;
  void DestroyMainWindow() override { window_ = false; }
  bool HasWindow() const override { return window_; }
  void SetTitle(const std::string& caption) override { title_ = caption; }
  FullScreenResult TestFullScreen() override { return FullScreenResult::kOk; }
  [[nodiscard]] bool SetFullScreen(bool full_screen) override {
    full_screen_ = full_screen;
    return true;
  }
  void LowerWindow() override {}
  void Present(const FrameView& frame, const Rect& rect) override;

  bool PollEvent(HostEvent& event) override;
  // Sleeps (ending early when scripted input comes due), then takes what came.
  bool WaitEvent(HostEvent& event, std::uint32_t timeout_ms) override;
  void PostEvent(const HostEvent& event) override { posted_.push_back(event); }

  void GetCursorPos(int& x, int& y) override {
    x = cursor_x_;
    y = cursor_y_;
  }
  void SetCursorPos(int x, int y) override;
  void ShowCursor(bool show) override { cursor_shown_ = show; }
  [[nodiscard]] bool SetCursorImage(const CursorImage* image) override {
    cursor_is_image_ = image != nullptr;
    return true;
  }

  MessageBoxAnswer ShowMessageBox(const std::string& text, const std::string& title,
                                  MessageBoxKind kind) override;

  [[nodiscard]] bool AcquireInstance(const std::string&, const std::string&) override {
    return true;
  }
  void SetInstanceCaption(const std::string&) override {}

  PictureDecoder* Decoder() override { return options_.decoder; }
  MediaHost* Media() override { return media_.get(); }
  HostMedia& media() { return *media_; }
  void DebugLog(const std::string& line) override;
  void ErrorLine(const std::string& line) override;

  // Writes the screenshots still due (those of later times and those taken at exit) and
  // finishes the audio capture at the current virtual time. False when a screenshot or the
  // capture could not be written, at any time of the run (each failure is on stderr).
  [[nodiscard]] bool Finish();
  bool InputPending() const override { return next_input_ < options_.input.size(); }

  // For tests: the picture last presented, RGB555, kWidth x kHeight.
  const std::vector<std::uint16_t>& presented() const { return presented_; }
  const std::string& title() const { return title_; }
  bool full_screen() const { return full_screen_; }
  bool cursor_shown() const { return cursor_shown_; }
  bool cursor_is_image() const { return cursor_is_image_; }
  const std::vector<std::string>& message_boxes() const { return boxes_; }

 private:
  void AdvanceTo(std::uint32_t t);
  // Everything that follows the clock, up to t: screenshots, the mix, the movie picture.
  void CatchUp(std::uint32_t t);
  void RenderAudio(std::uint32_t t);
  [[nodiscard]] bool WriteShot(const std::string& path, std::optional<std::uint32_t> ms);

  HeadlessOptions options_;
  std::uint32_t now_ = 0;
  std::uint32_t last_frame_end_ = 0;
  bool window_ = false;
  bool full_screen_ = false;
  std::string title_;
  std::vector<std::uint16_t> presented_;
  std::deque<HostEvent> posted_;
  std::deque<HostEvent> internal_;  // expose after window creation
  std::size_t next_input_ = 0;
  std::size_t next_shot_ = 0;  // options_.shots with times, sorted
  int cursor_x_ = 0;
  int cursor_y_ = 0;
  bool cursor_shown_ = true;
  bool cursor_is_image_ = false;
  std::vector<std::string> boxes_;
  // Media; declared last, so they go first.
  std::uint64_t clock_ms_ = 0;  // virtual time without the 32-bit wrap, for the mix
  WavWriter capture_;
  bool files_ok_ = true;  // every screenshot and the capture written so far
  std::vector<std::int16_t> mix_buffer_;
  std::unique_ptr<HostMedia> media_;
};

}  // namespace adv
