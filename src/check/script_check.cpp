#include "check/script_check.h"

#include <algorithm>
#include <array>
#include <map>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "check/command_checks.h"
#include "check/line_check.h"
#include "check/sjis_check.h"

namespace adv {

namespace {

constexpr std::array<std::string_view, 8> kCaseWords{".==", ".=",  ".<",  ".>",
                                                     ".<=", ".>=", ".!=", ".<>"};

bool IsCaseWord(std::string_view word) {
  return std::find(kCaseWords.begin(), kCaseWords.end(), word) != kCaseWords.end();
}

// Commands after which the next line is reached from elsewhere, or after a call that may have
// changed the choice table.
bool LeavesStraightLine(std::string_view word) {
  return word == ".jmp" || word == ".sub" || word == ".lod" || word == ".end" || word == ".cas" ||
         word == ".skp";
}

// Where the .cas blocks of a script open and close. The engine keeps no stack: a scan counts
// nested ".cas" lines and stops at the "." that brings its count back, so a block's "." is the
// first one after it at the depth the block opened.
class BlockTracker {
 public:
  // Inside a .cas block, or between a .skp outside any block and the "." it skips to: lines
  // that the scans pass over rather than run.
  bool InsideBlock() const { return depth_ > 0 || skipping_; }
  void Open(int line) { opens_.emplace_back(line, ++depth_); }
  void Close(int line) {
    closes_[depth_].push_back(line);
    if (depth_ > 0) {
      --depth_;
    } else {
      skipping_ = false;  // a "." outside any block closes nothing
    }
  }
  void Skip(int line) {
    skips_.emplace_back(line, depth_);
    if (depth_ == 0) skipping_ = true;
  }

  void Report(CheckContext& game, const ScriptLines& script) const {
    for (const auto& [line, depth] : opens_) {
      if (!ClosedAfter(depth, line)) game.report.Error(Spot(script, line), kMsgCasEof);
    }
    // A .skp inside a block that never closes waits for the same "." as its .cas, which is
    // reported already.
    for (const auto& [line, depth] : skips_) {
      if (depth == 0 && !ClosedAfter(depth, line)) {
        game.report.Error(Spot(script, line), kMsgSkpEof);
      }
    }
  }

 private:
  static ScriptSpot Spot(const ScriptLines& script, int line) {
    return ScriptSpot{script.order, script.shown_name, line};
  }
  bool ClosedAfter(int depth, int line) const {
    const auto it = closes_.find(depth);
    return it != closes_.end() && it->second.back() > line;
  }

  int depth_ = 0;
  bool skipping_ = false;
  std::map<int, std::vector<int>> closes_;  // depth before each "." line: its lines
  std::vector<std::pair<int, int>> opens_;  // .cas line, depth inside it
  std::vector<std::pair<int, int>> skips_;  // .skp line, its depth
};

void CheckCommandLine(LineCheck& at, BlockTracker& blocks) {
  const std::string word = at.Word();
  ScriptFlow& flow = *at.flow;
  if (word == "." || word == ".els" || IsCaseWord(word)) {
    // Structural lines are read by the block scans; run as commands outside a block they are
    // unknown.
    if (!blocks.InsideBlock()) {
      at.Error(kMsgNoCommand, word);
    } else if (IsCaseWord(word)) {
      at.IntExpr();
    }
    if (word == ".") blocks.Close(at.line);
    flow.choices = ScriptFlow::Choices::kUnknown;
    return;
  }
  const CommandCheck* command = FindCommandCheck(word);
  if (command == nullptr) {
    at.Error(kMsgNoCommand, word);
    return;
  }
  command->check(at);
  if (word == ".cas") blocks.Open(at.line);
  if (word == ".skp") blocks.Skip(at.line);
  if (LeavesStraightLine(word)) flow.choices = ScriptFlow::Choices::kUnknown;
}

void CheckTextLine(LineCheck& at, std::string text) {
  at.Expand(text);
  // Text hooks: "\" and a digit call a subroutine from inside the text.
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c != '\\' || i + 1 == text.size()) {
      i += IsSjisLeadByte(c) ? 2 : 1;
      continue;
    }
    const unsigned char next = static_cast<unsigned char>(text[i + 1]);
    if (next >= '0' && next <= '9') {
      at.game.hook_uses.push_back(HookUse{&at.script, at.line, next - '0'});
      at.flow->choices = ScriptFlow::Choices::kUnknown;
    }
    i += 1 + (IsSjisLeadByte(next) ? 2 : 1);
  }
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& line : lines) all += line;
  return all;
}

}  // namespace

void CheckEncoding(LineCheck& at, std::string_view text, bool valid_sjis) {
  const std::string bytes = valid_sjis ? std::string() : FirstInvalidSjis(text);
  if (!bytes.empty()) {
    at.Fault(Cat("bytes that are not valid Shift-JIS: ", bytes));
  } else if (LooksLikeUtf8(text)) {
    at.Fault("this line is UTF-8, not Shift-JIS: it shows as other characters");
  }
}

void CheckScenarioScript(CheckContext& game, const ScriptLines& script) {
  ScriptFlow flow;
  BlockTracker blocks;
  // Most scripts are valid throughout; only the others are looked at line by line.
  const bool valid_sjis = IsValidSjis(Joined(script.lines));
  for (std::size_t i = 0; i < script.lines.size(); ++i) {
    const std::string& text = script.lines[i];
    const int line = static_cast<int>(i) + 1;
    if (text.empty() || text[0] == '\n' || text[0] == '#') continue;
    if (text[0] == ':') {
      flow.choices = ScriptFlow::Choices::kUnknown;  // jumps arrive here from elsewhere
      continue;
    }
    LineCheck at(game, script, line, text, &flow);
    CheckEncoding(at, text, valid_sjis);
    if (text[0] == '.') {
      CheckCommandLine(at, blocks);
    } else {
      CheckTextLine(at, text);
    }
  }
  blocks.Report(game, script);
}

}  // namespace adv
