#include "app/comforts.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/app.h"
#include "app/frame_loop.h"
#include "app/settings.h"
#include "base/tick_time.h"
#include "engine/click_waits.h"
#include "engine/engine.h"
#include "host/file_system.h"
#include "host/png_writer.h"

namespace adv {

namespace {

// A seen record bigger than this is not the record of any game; it is left unread.
constexpr std::size_t kMaxRecordBytes = 64u << 20;

// Where the player's files live: $VARIABLE when it is set, else $HOME/fallback.
std::string UserFolder(const char* variable, const char* fallback) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "") + "/" + fallback;
}

bool Skipping(const App& app) {
  const Comforts& c = app.comforts;
  return (c.ctrl_held || c.skip_toggled) && (c.skip_unseen || c.line_seen);
}

// The click a player makes at the cursor, through the same path as the mouse's.
void PostClick(Engine& engine) {
  HostEvent event;
  event.button = MouseButton::kLeft;
  engine.host.GetCursorPos(event.x, event.y);
  for (const auto type : {HostEvent::Type::kMouseDown, HostEvent::Type::kMouseUp}) {
    event.type = type;
    engine.host.PostEvent(event);
  }
}

int PageCharacters(const TextLayer& layer) {
  int count = 0;
  TextLine line;
  for (int i = 1; i <= layer.current_line() && layer.GetLine(&line, i); ++i) {
    std::string_view text = line.text;
    while (!text.empty()) {
      text.remove_prefix(TextLayer::CharacterLength(text));
      ++count;
    }
  }
  return count;
}

std::uint32_t AutoDue(const Comforts& c) {
  return c.wait_began +
         static_cast<std::uint32_t>(c.auto_delay) * static_cast<std::uint32_t>(c.page_chars) + 1000;
}

void ShowBacklog(App& app) {
  Engine& engine = app.engine;
  Backlog& backlog = app.comforts.backlog;
  // Over the picture without the message window's text, which would show through.
  backlog.Render(engine.surfaces.base, engine.message_layer);
  const CDrawImage& view = backlog.view();
  if (!engine.host.HasWindow() || !view.Is16()) return;
  engine.host.Present(FrameView{view.Pixels(), view.Width(), view.Height(), view.PitchPixels()},
                      Rect{0, 0, view.Width(), view.Height()});
}

void CloseBacklog(App& app) {
  Comforts& c = app.comforts;
  c.backlog.Close();
  c.wait_began += app.engine.host.Now() - c.backlog_opened;
  PresentRect(app.engine, Rect{0, 0, kScreenWidth, kScreenHeight});
}

void Older(App& app) {
  Backlog& backlog = app.comforts.backlog;
  if (backlog.is_open()) {
    backlog.Older();
  } else {
    backlog.Observe(app.engine.message_layer);
    if (!backlog.Open()) return;
    app.comforts.backlog_opened = app.engine.host.Now();
  }
  ShowBacklog(app);
}

void Newer(App& app) {
  Backlog& backlog = app.comforts.backlog;
  if (!backlog.is_open()) return;
  if (backlog.Newer()) {
    ShowBacklog(app);
  } else {
    CloseBacklog(app);
  }
}

// The picture on screen as a PNG, named by the game and the local time.
void SaveScreenshot(App& app) {
  Engine& engine = app.engine;
  const Comforts& c = app.comforts;
  const CDrawImage& picture = c.backlog.is_open() ? c.backlog.view() : engine.surfaces.back;
  if (!picture.Is16() || !MakeFolders(c.shots_dir)) {
    std::fprintf(stderr, "adv: cannot make the screenshot folder %s\n", c.shots_dir.c_str());
    return;
  }
  const LocalTime t = engine.host.GetLocalTime();
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d-%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  const std::string path = c.shots_dir + "/" + c.game_name + "-" + stamp + ".png";
  std::vector<std::uint8_t> rgb;
  rgb.reserve(static_cast<std::size_t>(picture.Width()) * picture.Height() * 3);
  for (int y = 0; y < picture.Height(); ++y) {
    const Pixel* row = picture.Row(y);
    for (int x = 0; x < picture.Width(); ++x) {
      for (const int shift : {10, 5, 0}) {
        const unsigned v = (row[x] >> shift) & 31u;
        rgb.push_back(static_cast<std::uint8_t>((v << 3) | (v >> 2)));
      }
    }
  }
  if (!WritePng24(path, picture.Width(), picture.Height(), rgb)) {
    std::fprintf(stderr, "adv: cannot write screenshot %s\n", path.c_str());
  }
}

bool KeyDown(App& app, const HostEvent& event) {
  Comforts& c = app.comforts;
  if (event.alt) return false;
  const bool open = c.backlog.is_open();
  switch (event.key) {
    case HostKey::kCtrl:
      c.ctrl_held = true;
      return true;
    case HostKey::kTab:
      if (!event.repeat) c.skip_toggled = !c.skip_toggled;
      return true;
    case HostKey::kA:
      if (!event.repeat) c.auto_on = !c.auto_on;
      return true;
    case HostKey::kF11:
      if (!event.repeat) SaveScreenshot(app);
      return true;
    case HostKey::kPageUp:
      Older(app);
      return true;
    case HostKey::kPageDown:
      Newer(app);
      return true;
    case HostKey::kEscape:
      if (open) CloseBacklog(app);
      return open;
    case HostKey::kF4:
    case HostKey::kF12:
      return false;
    default:
      // The keys that click or move the cursor stay with the backlog while it is open.
      return open;
  }
}

}  // namespace

Comforts::Comforts(Engine& engine) : backlog(engine.fonts) {}

void SetUpComforts(App& app, const Settings& settings, const std::string& game_folder,
                   const std::string& seen_file, bool keep_record) {
  Comforts& c = app.comforts;
  c.skip_unseen = settings.skip_unseen;
  c.auto_delay = settings.auto_delay;
  c.game_name = FolderName(game_folder);
  if (c.game_name.empty() || c.game_name == "." || c.game_name == "..") c.game_name = "adv";
  c.shots_dir = UserFolder("XDG_PICTURES_DIR", "Pictures") + "/adv";
  c.seen_file = seen_file;
  if (c.seen_file.empty() && keep_record) {
    c.seen_file = UserFolder("XDG_DATA_HOME", ".local/share") + "/adv/" + c.game_name + "/seen";
  }
  if (c.seen_file.empty()) return;
  std::ifstream in(c.seen_file, std::ios::binary | std::ios::ate);
  const std::streamoff size = in ? static_cast<std::streamoff>(in.tellg()) : 0;
  if (size <= 0 || size > static_cast<std::streamoff>(kMaxRecordBytes)) return;
  std::string text(static_cast<std::size_t>(size), '\0');
  in.seekg(0);
  in.read(text.data(), size);
  text.resize(static_cast<std::size_t>(in.gcount()));
  c.seen.Parse(text);
}

void FinishComforts(App& app) {
  const Comforts& c = app.comforts;
  if (c.seen_file.empty()) return;
  const std::size_t slash = c.seen_file.rfind('/');
  // A folder that cannot be made fails the write below, which says so.
  if (slash != std::string::npos && slash > 0) (void)MakeFolders(c.seen_file.substr(0, slash));
  if (!ReplaceNativeFile(c.seen_file, c.seen.Serialize())) {
    std::fprintf(stderr, "adv: cannot write %s\n", c.seen_file.c_str());
  }
}

bool ComfortEvent(App& app, const HostEvent& event) {
  Comforts& c = app.comforts;
  const bool open = c.backlog.is_open();
  switch (event.type) {
    case HostEvent::Type::kKeyDown:
      return KeyDown(app, event);
    case HostEvent::Type::kKeyUp:
      if (event.key != HostKey::kCtrl) return false;
      c.ctrl_held = false;
      return true;
    case HostEvent::Type::kDeactivate:
      // Its key-up goes to another window.
      c.ctrl_held = false;
      return false;
    case HostEvent::Type::kWheel:
      if (event.wheel > 0) {
        Older(app);
      } else {
        Newer(app);
      }
      return true;
    case HostEvent::Type::kMouseDown:
      if (open && event.button == MouseButton::kRight) CloseBacklog(app);
      return open;
    case HostEvent::Type::kExpose:
      if (open) ShowBacklog(app);
      return open;
    default:
      return false;
  }
}

void BeforeStep(App& app) {
  Engine& engine = app.engine;
  Comforts& c = app.comforts;
  c.before = engine.interp.state();
  if (c.before == State::kText && Skipping(app)) engine.text.instant = true;
  if (!IsClickWait(c.before)) return;
  // The page has been on screen for a frame: the wait ends as a click would end it.
  const bool auto_due = c.auto_on && c.waiting && TickReached(engine.host.Now(), AutoDue(c));
  if (Skipping(app) || auto_due) PostClick(engine);
}

void AfterStep(App& app) {
  Engine& engine = app.engine;
  Comforts& c = app.comforts;
  const State now = engine.interp.state();
  if (c.before == State::kReadLine &&
      (now == State::kText || now == State::kClkCommand || now == State::kTclCommand)) {
    c.line_seen = !c.seen.Insert(engine.script.file.name(), engine.script.file.line_number());
  }
  if (now == State::kChoices) c.skip_toggled = false;
  if (IsClickWait(now) && !c.waiting) {
    c.wait_began = engine.host.Now();
    c.page_chars = PageCharacters(engine.message_layer);
  }
  c.waiting = IsClickWait(now);
  c.backlog.Observe(engine.message_layer);
}

std::optional<std::uint32_t> ComfortWake(App& app) {
  const Comforts& c = app.comforts;
  if (!c.waiting) return std::nullopt;
  if (Skipping(app)) return app.engine.host.Now();
  if (c.auto_on) return AutoDue(c);
  return std::nullopt;
}

}  // namespace adv
