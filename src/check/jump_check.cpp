#include "check/jump_check.h"

#include "base/messages.h"
#include "base/sjis_string.h"
#include "engine/jumps.h"
#include "script/arguments.h"

namespace adv {

void CheckJumpTarget(LineCheck& at, const Arg& word) {
  CheckJumpTargetIn(at, word, at.script);
}

void CheckJumpTargetIn(LineCheck& at, const Arg& word, const ScriptLines& current) {
  // The file part is certain once a ":" stands in the known text; a ";" alone is not, since a
  // variable could still bring a ":" before it.
  const std::string_view known = word.KnownPrefix();
  const bool complete = word.Known();
  if (!complete && SjisFind(known, ':') == std::string_view::npos) return;
  const JumpTarget target = ParseJumpTarget(known, current.name, at.game.extension);
  const bool same_file = !known.empty() && (known[0] == ':' || known[0] == ';');

  const ScriptLines* script = at.game.scripts.Get(target.file);
  if (script == nullptr) {
    at.Error(kMsgCannotOpenFile, target.file);
    return;
  }
  if (!same_file) at.FileFound(target.file, false);  // for its warning
  if (!complete) return;
  switch (target.kind) {
    case JumpTarget::Kind::kStart:
      break;
    case JumpTarget::Kind::kLabel:
      if (!script->labels.contains(target.where)) at.Error(kMsgLabelNotFound, target.where);
      break;
    case JumpTarget::Kind::kLine: {
      const std::optional<int> n = at.IntOf(Arg{target.where});
      if (!n) break;
      if (*n < 0 || *n > script->LineCount()) {
        at.Error(kMsgBadLineNumber, target.where);
      } else {
        at.game.line_targets[script].insert(*n);
      }
      break;
    }
  }
}

}  // namespace adv
