#include "check/flow_check.h"

#include "base/messages.h"
#include "base/sjis_string.h"
#include "check/argument_checks.h"
#include "check/jump_check.h"
#include "host/file_system.h"
#include "script/script_file.h"

namespace adv {

void CheckJmp(LineCheck& at) {
  // Inside a subroutine a jump must stay in its file; whether it runs inside one is a matter of
  // the run, not of the script.
  CheckJumpTarget(at, at.String());
}

void CheckSub(LineCheck& at) {
  const Arg word = at.String();
  if (word.text == "exit" || word.text == "delete") return;
  CheckJumpTarget(at, word);
}

void CheckClickLabel(LineCheck& at) {
  const Arg word = at.String();
  if (word.text == "delete") return;
  CheckJumpTarget(at, word);
  at.Int();  // the any-state flag
}

void CheckSlt(LineCheck& at) {
  const Arg word = at.String();
  ScriptFlow& flow = *at.flow;
  if (word.text == "add") {
    at.String();
    const Arg target = at.String();
    // A choice without a target is shown and cannot be taken: allowed.
    if (!target.text.empty()) CheckJumpTarget(at, target);
    flow.choices = ScriptFlow::Choices::kAdded;
  } else if (word.text == "delete") {
    flow.choices = ScriptFlow::Choices::kNone;
    flow.choices_since = at.line;
  } else if (word.text == "exec") {
    if (flow.choices == ScriptFlow::Choices::kNone) {
      at.game.choice_execs.push_back(ChoiceExec{&at.script, at.line, flow.choices_since});
    }
    // The choice state is left only by a jump: what follows is reached from elsewhere.
    flow.choices = ScriptFlow::Choices::kUnknown;
  } else {
    ReportNoEffect(at, ".slt", word, "add, delete or exec");
    if (!word.Known()) flow.choices = ScriptFlow::Choices::kUnknown;
  }
}

void CheckCas(LineCheck& at) {
  at.IntExpr();
}

void CheckSkp(LineCheck&) {}

void CheckSav(LineCheck& at) {
  const Arg name = at.String();
  if (!name.Known()) return;
  const std::string file = AddDefaultExtension(name.text, at.game.extension);
  at.game.saved.insert(FoldedSaveName(file));
  // The engine keeps save files inside the game's folder and refuses any other name.
  if (!at.game.files.IsWithin(file)) at.Error(kMsgSaveOpen, file);
}

void CheckLod(LineCheck& at) {
  const Arg name = at.String();
  const Arg variable = at.String();
  if (name.Known()) {
    at.game.loads.push_back(
        LoadUse{&at.script, at.line, AddDefaultExtension(name.text, at.game.extension)});
  }
  // A save file holds lines for declared variables only.
  if (variable.Known() && !variable.text.empty() && !at.IsDeclared(variable.text)) {
    at.Error(kMsgLoadNoVariable, variable.text);
  }
}

std::string FoldedSaveName(std::string_view name) {
  std::string folded(name);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    // The second byte of a two-byte character is no letter.
    if (IsSjisLeadByte(static_cast<unsigned char>(folded[i]))) {
      ++i;
    } else if (folded[i] >= 'A' && folded[i] <= 'Z') {
      folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
    }
  }
  return folded;
}

}  // namespace adv
