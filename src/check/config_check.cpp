#include "check/config_check.h"

#include <algorithm>

#include "base/messages.h"
#include "base/sjis_string.h"
#include "check/argument_checks.h"
#include "check/line_check.h"
#include "check/script_check.h"
#include "engine/commands/config_script.h"
#include "host/sjis_convert.h"
#include "script/variables.h"

namespace adv {

namespace {

// .int and .str: plain names, and arrays "name[count]" making name0 to name(count - 1), as long
// as the engine keeps that many variables.
void Declare(LineCheck& at, std::set<std::string, std::less<>>& names) {
  const GameFacts& facts = at.game.facts;
  auto total = [&facts] { return facts.ints.size() + facts.strings.size(); };
  while (true) {
    const std::string word = at.Word();
    if (word.empty()) return;
    const std::size_t bracket = SjisFind(word, '[');
    if (bracket == std::string::npos) {
      if (total() >= kMaxVariables && !names.contains(word)) {
        at.Error(kMsgTooManyVariables, word);
        return;
      }
      names.insert(word);
      continue;
    }
    const std::string base = word.substr(0, bracket);
    Arg count{word.substr(bracket)};
    at.Expand(count.text);
    const std::optional<int> n = at.IntOf(count);
    if (!n) continue;
    if (*n > kMaxArrayElements) {
      at.Error(kMsgArrayTooLarge, base);
      continue;
    }
    const std::size_t room = kMaxVariables - std::min(kMaxVariables, total());
    std::size_t added = 0;
    for (int i = 0; i < *n && added <= room; ++i)
      added += !names.contains(base + std::to_string(i));
    if (added > room) {
      at.Error(kMsgTooManyVariables, base);
      return;
    }
    for (int i = 0; i < *n; ++i) names.insert(base + std::to_string(i));
  }
}

void CheckConfigLine(LineCheck& at, const std::string& text) {
  const std::string word = at.Word();
  GameFacts& facts = at.game.facts;
  const bool command = word == ".scr" || word == ".bgc" || word == ".cap" || word == ".cur" ||
                       word == ".int" || word == ".str";
  if (!command) {
    // Anything else is passed over without a word, which hides a misplaced scenario command.
    if (!word.empty() && word[0] == '.') {
      at.Fault(Cat(SjisToUtf8(word),
                   " does nothing in the configuration script (it reads only .scr, .bgc, .cap, "
                   ".cur, .int and .str)"));
    }
    return;
  }
  CheckEncoding(at, text, false);
  if (word == ".scr") {
    const std::optional<int> count = at.Int();
    if (!count) {
      facts.offscreens.reset();
    } else if (*count < 0 || *count > kMaxOffscreens) {
      at.Error(kMsgBadOffscreenCount);  // refused: the count stays
    } else {
      facts.offscreens = *count;
    }
  } else if (word == ".bgc") {
    CheckColour(at, at.String());
  } else if (word == ".cap") {
    at.String();
  } else if (word == ".cur") {
    CheckCursorArgument(at);
  } else {
    Declare(at, word == ".int" ? facts.ints : facts.strings);
  }
}

}  // namespace

bool CheckConfigScript(CheckContext& game) {
  const std::string name = Cat("config", game.extension);
  const NameLookup& found = game.probe.Find(name);
  if (found.match == NameMatch::kMissing) return false;
  ScriptLines config;
  const ScriptSpot whole{0, SjisToUtf8(name), 0};
  if (!ReadScriptLines(game.files, name, config)) {
    game.report.Fault(whole,
                      Cat(SjisToUtf8(kMsgConfigOpen), " (cannot read the configuration script)"));
    return false;
  }
  if (const std::string warning = NameWarning(name, found); !warning.empty()) {
    game.report.Warning(whole, warning);
  }
  for (std::size_t i = 0; i < config.lines.size(); ++i) {
    LineCheck at(game, config, static_cast<int>(i) + 1, config.lines[i]);
    at.initial_values = true;
    CheckConfigLine(at, config.lines[i]);
  }
  return true;
}

}  // namespace adv
