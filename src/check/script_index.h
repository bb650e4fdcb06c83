// Every script the checker reads, each read once: its lines as the interpreter's line reader
// gives them and where its labels stand, so that no jump makes it read a file again.
#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

class FileSystem;

struct ScriptLines {
  std::string name;        // as first opened (Shift-JIS, as a script names it)
  std::string shown_name;  // UTF-8, for report lines
  std::size_t order = 0;   // 0 is the configuration script; scenario scripts count from 1
  std::vector<std::string> lines;
  std::map<std::string, int, std::less<>> labels;  // ":name" to the first line that has it

  // Lines the reader yields, the empty one after a final line feed included: the highest line
  // number a jump can name.
  int LineCount() const { return static_cast<int>(lines.size()); }
};

// Reads a script whole; false when it cannot be opened.
[[nodiscard]] bool ReadScriptLines(const FileSystem& files, std::string_view name,
                                   ScriptLines& out);

class ScriptIndex {
 public:
  explicit ScriptIndex(const FileSystem& files) : files_(files) {}

  // The script a name opens, read at its first use; null when it cannot be opened. Names that
  // reach the same file share one entry.
  const ScriptLines* Get(std::string_view name, bool native_name = false);
  std::size_t size() const { return scripts_.size(); }
  const ScriptLines& at(std::size_t i) const { return *scripts_[i]; }

 private:
  const FileSystem& files_;
  std::deque<std::unique_ptr<ScriptLines>> scripts_;
  std::map<std::string, const ScriptLines*, std::less<>> by_name_;  // null: cannot be opened
  std::map<std::string, const ScriptLines*, std::less<>> by_path_;
};

}  // namespace adv
