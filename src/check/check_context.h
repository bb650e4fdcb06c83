// What the checker knows about the whole game while it reads the scripts: the declarations of
// the configuration script, the scripts read so far, the files looked up, the report, and the
// checks that can only be made once every script has been read.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "check/check_report.h"
#include "check/file_probe.h"
#include "check/script_index.h"

namespace adv {

class FileSystem;

// The configuration script's declarations and offscreen count.
struct GameFacts {
  std::set<std::string, std::less<>> ints;
  std::set<std::string, std::less<>> strings;
  std::optional<int> offscreens = 0;  // none when a variable sets it
};

// A text hook's escape in a text line, or a .def for one.
struct HookUse {
  const ScriptLines* script;
  int line;
  int digit;
};
struct HookDef {
  std::string target;
  bool known;
};

struct LoadUse {
  const ScriptLines* script;
  int line;
  std::string file;  // with the extension
};

// A .slt exec that no .slt add precedes since `since` (0: the start of the file).
struct ChoiceExec {
  const ScriptLines* script;
  int line;
  int since;
};

struct CheckContext {
  CheckContext(const FileSystem& files, std::string extension)
      : files(files), extension(std::move(extension)), scripts(files), probe(files) {}
  CheckContext(const CheckContext&) = delete;
  CheckContext& operator=(const CheckContext&) = delete;

  const FileSystem& files;
  std::string extension;  // of scripts and save files
  GameFacts facts;
  CheckReport report;
  ScriptIndex scripts;
  FileProbe probe;

  std::array<std::vector<HookDef>, 10> hook_defs;
  std::vector<HookUse> hook_uses;
  std::set<std::string> saved;  // what .sav writes, letter case folded
  std::vector<LoadUse> loads;
  std::map<const ScriptLines*, std::set<int>> line_targets;  // "file;N" jumps, by file
  std::vector<ChoiceExec> choice_execs;
};

}  // namespace adv
