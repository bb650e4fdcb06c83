#include "check/check_report.h"

#include <algorithm>
#include <tuple>

#include "host/sjis_convert.h"
#include "script/error_report.h"

namespace adv {

void CheckReport::Add(const ScriptSpot& at, std::string text) {
  std::string line = at.shown_name;
  if (at.line > 0) line = Cat(line, ":", std::to_string(at.line));
  line = Cat(line, ": ", text);
  findings_.push_back(Finding{at.order, at.line, findings_.size(), std::move(line)});
}

void CheckReport::Error(const ScriptSpot& at, std::string_view message, std::string_view name) {
  std::string text = SjisToUtf8(message);
  const std::string english = ExplainScriptError(message, name);
  if (!english.empty()) text = Cat(text, " (", english, ")");
  Add(at, std::move(text));
  ++errors_;
}

void CheckReport::Fault(const ScriptSpot& at, std::string_view english) {
  Add(at, std::string(english));
  ++errors_;
}

void CheckReport::Warning(const ScriptSpot& at, std::string_view english) {
  Add(at, Cat("warning: ", english));
  ++warnings_;
}

std::vector<std::string> CheckReport::Lines() const {
  std::vector<const Finding*> sorted;
  for (const Finding& f : findings_) sorted.push_back(&f);
  std::sort(sorted.begin(), sorted.end(), [](const Finding* a, const Finding* b) {
    return std::tie(a->order, a->line, a->sequence) < std::tie(b->order, b->line, b->sequence);
  });
  std::vector<std::string> lines;
  for (const Finding* f : sorted) lines.push_back(f->text);
  return lines;
}

std::string Quoted(std::string_view sjis) {
  return Cat("\"", SjisToUtf8(sjis), "\"");
}

}  // namespace adv
