// The lines of a game this player has been shown, by script file and line number, so that
// skipping can tell text already read from new text.
#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace adv {

class SeenLines {
 public:
  // A record larger than any game needs is cut here, so a damaged file cannot exhaust memory.
  static constexpr std::size_t kMaxLines = 1'000'000;

  // Records the line; true when it had not been seen before.
  bool Insert(const std::string& file, int line);
  // Adds the lines of a record, one "FILE<TAB>LINE" a line; malformed lines are skipped.
  void Parse(std::string_view text);
  std::string Serialize() const;
  std::size_t size() const { return lines_.size(); }

 private:
  std::set<std::pair<std::string, int>> lines_;
};

}  // namespace adv
