#include "host/headless/headless_host.h"

#include <algorithm>
#include <cstdio>

#include "host/png_writer.h"
#include "host/rgb555_convert.h"
#include "host/sjis_convert.h"

namespace adv {

namespace {

// Headless runs pretend the run began at midnight on Saturday, 1 January 2000, so that .now is
// repeatable too.
constexpr int kEpochYear = 2000;
constexpr int kEpochWeekday = 6;

bool IsLeap(int y) {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

}  // namespace

HeadlessHost::HeadlessHost(HeadlessOptions options)
    : options_(std::move(options)), presented_(kWidth * kHeight, 0) {
  HostMediaHooks hooks;
  hooks.now = [this] { return now_; };
  hooks.has_window = [this] { return window_; };
  hooks.log = [this](const std::string& line) { DebugLog(line); };
  media_ = std::make_unique<HostMedia>(std::move(hooks));
  if (!options_.audio_capture.empty() && !capture_.Open(options_.audio_capture)) {
    std::fprintf(stderr, "adv: cannot write %s\n", options_.audio_capture.c_str());
    files_ok_ = false;
  }
  // Timed shots in time order first; the exit-only ones after them.
  std::stable_sort(options_.shots.begin(), options_.shots.end(),
                   [](const Screenshot& a, const Screenshot& b) {
                     if (a.ms.has_value() != b.ms.has_value()) return a.ms.has_value();
                     return a.ms.has_value() && *a.ms < *b.ms;
                   });
}

HeadlessHost::~HeadlessHost() {
  // The players of an engine that is gone have closed their voices; the capture ends here at
  // the latest. Finish has reported a capture that failed; a host torn down without Finish
  // (a unit test's) has nobody to tell.
  (void)capture_.Close();
}

void HeadlessHost::AdvanceTo(std::uint32_t t) {
  if (now_ != t) CatchUp(t);
}

void HeadlessHost::CatchUp(std::uint32_t t) {
  // Pictures are taken as the clock passes their time, so a shot at MS shows everything
  // presented up to and including MS.
  while (next_shot_ < options_.shots.size() && options_.shots[next_shot_].ms.has_value() &&
         *options_.shots[next_shot_].ms < t) {
    if (!WriteShot(options_.shots[next_shot_].path, options_.shots[next_shot_].ms)) {
      files_ok_ = false;
    }
    ++next_shot_;
  }
  RenderAudio(t);
  media_->movie().Update(t);
  now_ = t;
}

void HeadlessHost::RenderAudio(std::uint32_t t) {
  clock_ms_ += static_cast<std::uint32_t>(t - now_);
  const std::uint64_t due = clock_ms_ * kMixRate / 1000;
  std::uint64_t done = media_->mixer().FramesDone();
  // The mix's own clock ticks the MIDI timer on the way, each tick at the sample of its
  // millisecond, as a window's audio device does.
  if (!capture_.IsOpen()) {
    if (due > done) media_->Pull(nullptr, static_cast<std::size_t>(due - done));
    return;
  }
  constexpr std::size_t kChunk = 4096;
  mix_buffer_.resize(kChunk * kMixChannels);
  while (done < due) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, due - done));
    media_->Pull(mix_buffer_.data(), n);
    if (!capture_.Write(mix_buffer_.data(), n)) files_ok_ = false;
    done += n;
  }
}

void HeadlessHost::Sleep(std::uint32_t ms) {
  std::uint32_t target = now_ + ms;
  if (next_input_ < options_.input.size()) {
    const std::uint32_t due = options_.input[next_input_].ms;
    if (due > now_ && due < target) target = due;
  }
  if (options_.until && *options_.until > now_ && *options_.until < target)
    target = *options_.until;
  // While something plays, the clock moves a millisecond at a time and the sleep ends where a
  // voice does, as the window's audio thread wakes a sleeping loop: the player hears of the end
  // at its own millisecond, and a looping song starts again at once, not after the sleep.
  // An end nobody has taken yet ended an earlier sleep already; only a new one ends this one.
  AudioMixer& mixer = media_->mixer();
  const bool ended_before = mixer.HasFinished();
  while (now_ != target) {
    AdvanceTo(mixer.HasVoices() ? now_ + 1 : target);
    if (!ended_before && mixer.HasFinished()) return;
  }
}

void HeadlessHost::EndFrame() {
  // Every frame takes at least a millisecond of virtual time.
  if (now_ == last_frame_end_) AdvanceTo(now_ + 1);
  last_frame_end_ = now_;
}

LocalTime HeadlessHost::GetLocalTime() {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  LocalTime t;
  std::uint32_t ms = now_;
  t.millisecond = static_cast<int>(ms % 1000);
  std::uint32_t seconds = ms / 1000;
  t.second = static_cast<int>(seconds % 60);
  t.minute = static_cast<int>(seconds / 60 % 60);
  t.hour = static_cast<int>(seconds / 3600 % 24);
  int days = static_cast<int>(seconds / 86400);
  t.weekday = (kEpochWeekday + days) % 7;
  int year = kEpochYear;
  while (days >= (IsLeap(year) ? 366 : 365)) days -= IsLeap(year++) ? 366 : 365;
  int month = 0;
  while (true) {
    int length = kDays[month] + (month == 1 && IsLeap(year) ? 1 : 0);
    if (days < length) break;
    days -= length;
    ++month;
  }
  t.year = year;
  t.month = month + 1;
  t.day = days + 1;
  return t;
}

bool HeadlessHost::CreateMainWindow(const std::string& caption, bool full_screen) {
  window_ = true;
  full_screen_ = full_screen;
  title_ = caption;
  HostEvent expose;
  expose.type = HostEvent::Type::kExpose;
  internal_.push_back(expose);
  return true;
}

void HeadlessHost::Present(const FrameView& frame, const Rect& rect) {
  Rect r = IntersectRect(
      rect, Rect{0, 0, std::min(frame.width, kWidth), std::min(frame.height, kHeight)});
  for (int y = r.top; y < r.bottom; ++y) {
    const std::uint16_t* src = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitch;
    std::copy(src + r.left, src + r.right, presented_.begin() + y * kWidth + r.left);
  }
}

bool HeadlessHost::PollEvent(HostEvent& event) {
  if (!posted_.empty()) {
    event = posted_.front();
    posted_.pop_front();
    return true;
  }
  media_->TakeDone(internal_);
  if (!internal_.empty()) {
    event = internal_.front();
    internal_.pop_front();
    return true;
  }
  if (next_input_ < options_.input.size() && options_.input[next_input_].ms <= now_) {
    event = options_.input[next_input_++].event;
    if (event.type == HostEvent::Type::kMouseMove || event.type == HostEvent::Type::kMouseDown ||
        event.type == HostEvent::Type::kMouseUp) {
      cursor_x_ = event.x;
      cursor_y_ = event.y;
    }
    return true;
  }
  return false;
}

bool HeadlessHost::WaitEvent(HostEvent& event, std::uint32_t timeout_ms) {
  if (PollEvent(event)) return true;
  Sleep(timeout_ms);
  return PollEvent(event);
}

void HeadlessHost::SetCursorPos(int x, int y) {
  cursor_x_ = std::clamp(x, 0, kWidth - 1);
  cursor_y_ = std::clamp(y, 0, kHeight - 1);
}

MessageBoxAnswer HeadlessHost::ShowMessageBox(const std::string& text, const std::string&,
                                              MessageBoxKind kind) {
  std::string utf8 = SjisToUtf8(text);
  boxes_.push_back(utf8);
  std::string out;
  std::size_t start = 0;
  while (true) {
    std::size_t end = utf8.find('\n', start);
    out += "box: " + utf8.substr(start, end - start) + "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  if (!options_.quiet) std::fputs(out.c_str(), stderr);
  return kind == MessageBoxKind::kYesNo ? MessageBoxAnswer::kNo : MessageBoxAnswer::kOk;
}

void HeadlessHost::DebugLog(const std::string& line) {
  if (options_.debug) std::fprintf(stderr, "%s\n", line.c_str());
}

void HeadlessHost::ErrorLine(const std::string& line) {
  if (!options_.quiet) std::fprintf(stderr, "%s\n", line.c_str());
}

bool HeadlessHost::WriteShot(const std::string& path, std::optional<std::uint32_t> ms) {
  // An open movie covers the window with the frame of the shot's time.
  if (ms) media_->movie().Update(*ms);
  const std::uint32_t* xrgb = media_->movie().Frame();
  std::vector<std::uint32_t> converted;
  if (xrgb == nullptr) {
    converted.resize(presented_.size());
    ConvertRgb555ToXrgb8888(presented_.data(), kWidth, converted.data(), kWidth,
                            Rect{0, 0, kWidth, kHeight});
    xrgb = converted.data();
  }
  std::vector<std::uint8_t> rgb(presented_.size() * 3);
  for (std::size_t i = 0; i < presented_.size(); ++i) {
    rgb[i * 3] = static_cast<std::uint8_t>(xrgb[i] >> 16);
    rgb[i * 3 + 1] = static_cast<std::uint8_t>(xrgb[i] >> 8);
    rgb[i * 3 + 2] = static_cast<std::uint8_t>(xrgb[i]);
  }
  if (WritePng24(path, kWidth, kHeight, rgb)) return true;
  std::fprintf(stderr, "adv: cannot write screenshot %s\n", path.c_str());
  return false;
}

bool HeadlessHost::Finish() {
  for (; next_shot_ < options_.shots.size(); ++next_shot_) {
    if (!WriteShot(options_.shots[next_shot_].path, std::nullopt)) files_ok_ = false;
  }
  if (capture_.IsOpen() && !capture_.Close()) {
    std::fprintf(stderr, "adv: cannot write %s\n", options_.audio_capture.c_str());
    files_ok_ = false;
  }
  return files_ok_;
}

}  // namespace adv
