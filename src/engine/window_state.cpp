#include "engine/window_state.h"

#include <cstdio>
#include <vector>

#include "engine/engine.h"
#include "graphics/cursor_file.h"

namespace adv {

namespace {

[[nodiscard]] bool ReadWholeFile(const FileSystem& files, std::string_view name,
                                 std::vector<std::uint8_t>& bytes) {
  // Cursor files are small; anything huge is not one.
  std::FILE* f = files.Open(name, "rb", kMaxCursorFileBytes);
  if (f == nullptr) return false;
  bytes.clear();
  std::uint8_t buffer[8192];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0 &&
         bytes.size() <= kMaxCursorFileBytes) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(f);
  return true;
}

}  // namespace

void SetCaption(Engine& engine, std::string_view caption) {
  engine.window.caption.assign(caption);
  if (engine.host.HasWindow()) engine.host.SetTitle(engine.window.caption);
}

bool SetWindowCursor(Engine& engine, std::string_view file) {
  WindowCursor& cursor = engine.window.cursor;
  if (file.empty()) {
    cursor.kind = WindowCursor::Kind::kArrow;
  } else {
    std::vector<std::uint8_t> bytes;
    CursorImage image;
    if (!ReadWholeFile(engine.files, file, bytes) || !ParseCursorFile(bytes, image)) {
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

void ShowWindowCursor(Engine& engine, bool show) {
  if (engine.window.cursor_shown == show) return;
  engine.window.cursor_shown = show;
  engine.host.ShowCursor(show);
}

void ApplyWindowCursor(Engine& engine) {
  const WindowCursor& cursor = engine.window.cursor;
  engine.host.SetCursorImage(cursor.kind == WindowCursor::Kind::kImage ? &cursor.image : nullptr);
}

}  // namespace adv
