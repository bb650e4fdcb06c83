// What adv --check found: one line per problem, "FILE:LINE: message" in UTF-8, kept in the order
// the scripts were first met and, within a script, by line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace adv {

// A place in a script: the script's order of meeting, its name as shown, and a line (0: the
// whole file).
struct ScriptSpot {
  std::size_t order = 0;
  std::string shown_name;  // UTF-8
  int line = 0;
};

class CheckReport {
 public:
  // A problem the engine reports with a message of its own: the Japanese text and its English
  // meaning, as run-time error lines show them. name is Shift-JIS.
  void Error(const ScriptSpot& at, std::string_view message, std::string_view name = {});
  // A problem the engine does not report itself (it fails silently or later): English only.
  void Fault(const ScriptSpot& at, std::string_view english);
  // Works here but not on every copy of the game.
  void Warning(const ScriptSpot& at, std::string_view english);

  int errors() const { return errors_; }
  int warnings() const { return warnings_; }
  // Every line, ordered by script, then line, then the order of reporting.
  std::vector<std::string> Lines() const;

 private:
  struct Finding {
    std::size_t order;
    int line;
    std::size_t sequence;
    std::string text;
  };
  void Add(const ScriptSpot& at, std::string text);

  std::vector<Finding> findings_;
  int errors_ = 0;
  int warnings_ = 0;
};

// Joins the parts of a message. (GCC's -Wrestrict misfires on "literal" + a temporary string
// at -O2, so messages are not built with operator+.)
template <class... Parts>
std::string Cat(const Parts&... parts) {
  std::string out;
  (out.append(std::string_view(parts)), ...);
  return out;
}

// A Shift-JIS name in double quotes, in UTF-8, for English messages.
std::string Quoted(std::string_view sjis);

}  // namespace adv
