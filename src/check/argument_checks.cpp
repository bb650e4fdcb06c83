#include "check/argument_checks.h"

#include <cstdio>
#include <vector>

#include "base/messages.h"
#include "engine/surface_name.h"
#include "graphics/cursor_file.h"
#include "host/file_system.h"
#include "script/arguments.h"
#include "script/script_file.h"

namespace adv {

namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsColourWord(std::string_view word) {
  if (word.size() != 7 || word[0] != '#') return false;
  for (char c : word.substr(1)) {
    if (!IsHexDigit(c)) return false;
  }
  return true;
}

std::string ColourText(Colour c) {
  char text[8];
  std::snprintf(text, sizeof(text), "#%02X%02X%02X", ColourRed(c), ColourGreen(c), ColourBlue(c));
  return text;
}

bool CursorLoads(const FileSystem& files, std::string_view name) {
  std::FILE* f = files.Open(name, "rb", kMaxCursorFileBytes);
  if (f == nullptr) return false;
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[8192];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), f)) > 0 &&
         bytes.size() <= kMaxCursorFileBytes) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  std::fclose(f);
  CursorImage image;
  return ParseCursorFile(bytes, image);
}

}  // namespace

void CheckColour(LineCheck& at, const Arg& word) {
  if (!word.Known() || word.text.empty() || IsColourWord(word.text)) return;
  const Colour c = ParseColour(word.text);
  at.Fault(Cat(Quoted(word.text),
               " is not a colour (\"#\" and six hexadecimal digits): it reads as ",
               word.text[0] == '#' ? ColourText(c) : std::string("black")));
}

SurfaceKind ClassifySurface(const Arg& name) {
  if (name.Known()) {
    switch (ParseSurfaceName(name.text).kind) {
      case SurfaceName::Kind::kScreen:
        return SurfaceKind::kScreen;
      case SurfaceName::Kind::kOffscreen:
        return SurfaceKind::kOffscreen;
      case SurfaceName::Kind::kOther:
        return SurfaceKind::kOther;
    }
  }
  const std::string_view known = name.KnownPrefix();
  if (known.starts_with("off")) return SurfaceKind::kOffscreen;
  if (std::string_view("screen").starts_with(known) || std::string_view("off").starts_with(known)) {
    return SurfaceKind::kUnknown;
  }
  return SurfaceKind::kOther;
}

bool OffscreenExists(LineCheck& at, const Arg& name) {
  const std::optional<int> count = at.game.facts.offscreens;
  if (!name.Known() || !count) return true;
  const SurfaceName surface = ParseSurfaceName(name.text);
  return surface.kind != SurfaceName::Kind::kOffscreen ||
         (surface.index >= 0 && surface.index < *count);
}

void CheckCursorArgument(LineCheck& at) {
  const Arg arg = at.String();
  if (!arg.Known() || arg.text == "show" || arg.text == "hide" || arg.text == "normal") return;
  const std::string file = AddDefaultExtension(arg.text, ".cur");
  // Cursor files are read as they are: no packed twin.
  if (!at.FileFound(file, false) || !CursorLoads(at.game.files, file)) {
    at.Error(kMsgCursorLoad, file);
  }
}

void ReportNoEffect(LineCheck& at, std::string_view command, const Arg& word,
                    std::string_view expected) {
  if (!word.Known()) return;
  at.Fault(Cat(command, " ", Quoted(word.text), " does nothing (it takes ", expected, ")"));
}

}  // namespace adv
