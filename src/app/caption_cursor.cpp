#include "app/caption_cursor.h"

#include <cstdio>
#include <vector>

#include "engine.h"
#include "host/cursor_file.h"
#include "script/arguments.h"
#include "script/error_report.h"
#include "base/messages.h"

namespace adv {

namespace {

bool ReadWholeFile(const FileSystem& files, std::string_view name,
                   std::vector<std::uint8_t>& bytes) {
  std::FILE* f = files.Open(name, "rb");
  if (f == nullptr) return false;
  bytes.clear();
  std::uint8_t buffer[8192];
  std::size_t n;
  // Cursor files are small; anything huge is not one.
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0 && bytes.size() < (16u << 20)) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(f);
  return true;
}

}  // namespace

void SetCaption(Engine& engine, std::string_view caption) {
  engine.shell.caption.assign(caption);
  if (engine.host.HasWindow()) engine.host.SetTitle(engine.shell.caption);
}

bool SetWindowCursor(Engine& engine, std::string_view file) {
  WindowCursor& cursor = engine.shell.cursor;
  if (file.empty()) {
    cursor.kind = WindowCursor::Kind::kArrow;
  } else {
    std::vector<std::uint8_t> bytes;
    CursorImage image;
    if (!ReadWholeFile(engine.files, file, bytes) ||
        !ParseCursorFile(bytes.data(), bytes.size(), image)) {
      // The window keeps showing its cursor, but the stored one is gone.
      cursor.kind = WindowCursor::Kind::kNone;
      return false;
    }
    cursor.kind = WindowCursor::Kind::kImage;
    cursor.image = std::move(image);
  }
  if (!engine.host.HasWindow()) return true;
  return engine.host.SetCursorImage(cursor.kind == WindowCursor::Kind::kImage ? &cursor.image
                                                                              : nullptr);
}

bool CaptionCommand(Engine& engine) {
  SetCaption(engine, ReadStringArg(engine));
  return true;
}

bool CursorCommand(Engine& engine) {
  std::string arg = ReadStringArg(engine);
  Shell& shell = engine.shell;
  if (arg == "show") {
    if (!shell.cursor_shown) {
      shell.cursor_shown = true;
      engine.host.ShowCursor(true);
    }
  } else if (arg == "hide") {
    if (shell.cursor_shown) {
      shell.cursor_shown = false;
      engine.host.ShowCursor(false);
    }
  } else {
    std::string file = arg == "normal" ? std::string() : AddDefaultExtension(arg, ".cur");
    if (!SetWindowCursor(engine, file)) ReportScriptError(engine, kMsgCursorLoad);
  }
  return true;
}

}  // namespace adv
