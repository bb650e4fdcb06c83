// What players expect of any engine, added where scripts never look: skip (Ctrl held, or Tab),
// auto (A), the backlog (wheel up, PageUp), screenshots (F11), and the record of lines seen that
// skipping goes by. Skip and auto end a click wait with the very click a player would make; the
// backlog holds the game still while it is open. A script observes nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/seen_lines.h"
#include "backlog/backlog.h"
#include "engine/interpreter_state.h"
#include "host/host.h"

namespace adv {

struct App;
struct Settings;
class Engine;

struct Comforts {
  explicit Comforts(Engine& engine);

  // Settings.
  bool skip_unseen = false;
  int auto_delay = 60;
  std::string game_name;  // names the seen record's folder and screenshots
  std::string seen_file;  // where the seen record is kept; "" keeps it for this run only
  std::string shots_dir;  // where F11 writes

  bool ctrl_held = false;
  bool skip_toggled = false;  // Tab
  bool auto_on = false;       // A
  SeenLines seen;
  bool line_seen = false;  // the line being shown was seen before this visit
  State before = State::kReadLine;
  // The click wait under way: when it began and how many characters its page holds.
  bool waiting = false;
  std::uint32_t wait_began = 0;
  int page_chars = 0;
  Backlog backlog;
  std::uint32_t backlog_opened = 0;  // auto's time does not run while the backlog is open
};

// Reads the comforts' settings and the seen record. seen_file: the record a run keeps ("" for
// the player's own under $XDG_DATA_HOME, unless keep_record is false).
void SetUpComforts(App& app, const Settings& settings, const std::string& game_folder,
                   const std::string& seen_file, bool keep_record);
// Writes the seen record back.
void FinishComforts(App& app);

// Takes the events the comforts answer; true when the game must not see the event.
bool ComfortEvent(App& app, const HostEvent& event);
// Around each interpreter step: text at once and click waits ended while skipping, the auto
// page turn, the lines seen, the pages for the backlog.
void BeforeStep(App& app);
void AfterStep(App& app);
// When the comforts next have something to do while the interpreter waits for input.
std::optional<std::uint32_t> ComfortWake(App& app);

}  // namespace adv
