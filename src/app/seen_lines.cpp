#include "app/seen_lines.h"

#include <charconv>

namespace adv {

bool SeenLines::Insert(const std::string& file, int line) {
  if (lines_.size() >= kMaxLines) return !lines_.contains({file, line});
  return lines_.emplace(file, line).second;
}

void SeenLines::Parse(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    const std::string_view row = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t tab = row.rfind('\t');
    if (tab == std::string_view::npos || tab == 0) continue;
    int line = 0;
    const char* last = row.data() + row.size();
    auto [ptr, ec] = std::from_chars(row.data() + tab + 1, last, line);
    if (ec != std::errc() || ptr != last || line < 1) continue;
    Insert(std::string(row.substr(0, tab)), line);
  }
}

std::string SeenLines::Serialize() const {
  std::string out;
  for (const auto& [file, line] : lines_) {
    out += file;
    out += '\t';
    out += std::to_string(line);
    out += '\n';
  }
  return out;
}

}  // namespace adv
