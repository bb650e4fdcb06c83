#include "check/script_index.h"

#include "host/file_system.h"
#include "host/sjis_convert.h"
#include "script/arguments.h"
#include "script/line_buffer.h"
#include "script/script_file.h"

namespace adv {

namespace {

// The label a line carries, as a jump's search takes it: the first word, when it begins with
// ":". "" for other lines.
std::string LabelOf(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || (line[first] != ':' && line[first] != '"')) return {};
  LineBuffer buffer;
  buffer.Set(line);
  std::string word;
  ReadWordFrom(buffer, word);
  return !word.empty() && word[0] == ':' ? word : std::string();
}

}  // namespace

bool ReadScriptLines(const FileSystem& files, std::string_view name, ScriptLines& out) {
  ScriptFile file;
  if (!file.Open(files, name)) return false;
  out.name.assign(name);
  out.shown_name = SjisToUtf8(name);
  std::string line;
  while (file.ReadLine(line)) {
    std::string label = LabelOf(line);
    if (!label.empty()) out.labels.emplace(std::move(label), file.line_number());
    out.lines.push_back(line);
  }
  return true;
}

const ScriptLines* ScriptIndex::Get(std::string_view name, bool native_name) {
  if (auto it = by_name_.find(name); it != by_name_.end()) return it->second;
  const std::string path = files_.Resolve(name);
  const ScriptLines* found = nullptr;
  if (auto it = by_path_.find(path); it != by_path_.end()) {
    found = it->second;
  } else {
    auto script = std::make_unique<ScriptLines>();
    if (ReadScriptLines(files_, name, *script)) {
      // A name from a folder listing is already the file's own spelling.
      if (native_name) script->shown_name.assign(name);
      script->order = scripts_.size() + 1;
      found = script.get();
      by_path_.emplace(path, found);
      scripts_.push_back(std::move(script));
    }
  }
  by_name_.emplace(std::string(name), found);
  return found;
}

}  // namespace adv
