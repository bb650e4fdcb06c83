#include "engine/jumps.h"

#include "base/messages.h"
#include "base/sjis_string.h"
#include "engine/engine.h"
#include "script/arguments.h"
#include "script/error_report.h"

namespace adv {

namespace {

// Whether a line's first word, as the word reader takes it, is the label.
bool StartsWithLabel(std::string_view line, std::string_view label) {
  // Only a word beginning with ":" (its quotes aside) can equal a label, so most lines are
  // passed over without being read as words.
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || (line[first] != ':' && line[first] != '"')) return false;
  LineBuffer buffer;
  buffer.Set(line);
  std::string word;
  ReadWordFrom(buffer, word);
  return word == label;
}

bool SeekLabel(Engine& engine, std::string_view label) {
  ScriptFile& file = engine.script.file;
  std::string line;
  while (file.ReadLine(line)) {
    if (StartsWithLabel(line, label)) return true;
  }
  ReportScriptError(engine.script, kMsgLabelNotFound, label);
  return false;
}

// Reads until the line counter is n: line n counts as read. A number the counter never reaches
// (a negative one) reads to the end, so the report names the file's last line.
bool SeekLine(ScriptFile& file, int n) {
  while (file.line_number() != n) {
    if (!file.SkipLine()) return false;
  }
  return true;
}

}  // namespace

JumpTarget ParseJumpTarget(std::string_view word, std::string_view current_file,
                           std::string_view extension) {
  JumpTarget target;
  std::size_t at = SjisFind(word, ':');
  if (at != std::string_view::npos) {
    target.kind = JumpTarget::Kind::kLabel;
    target.where = word.substr(at);  // the ":" belongs to the label
  } else if ((at = SjisFind(word, ';')) != std::string_view::npos) {
    target.kind = JumpTarget::Kind::kLine;
    target.where = word.substr(at + 1);
  }
  target.file_written = at == 0 ? std::string(current_file) : std::string(word.substr(0, at));
  target.file = AddDefaultExtension(target.file_written, extension);
  return target;
}

bool JumpTo(Engine& engine, const JumpTarget& target) {
  ScriptContext& script = engine.script;
  if (!script.file.Open(engine.files, target.file)) {
    ReportScriptError(script, kMsgCannotOpenFile, target.file);
    return false;
  }
  switch (target.kind) {
    case JumpTarget::Kind::kStart:
      return true;
    case JumpTarget::Kind::kLabel:
      return SeekLabel(engine, target.where);
    case JumpTarget::Kind::kLine:
      if (SeekLine(script.file, WordToInt(script, target.where))) return true;
      ReportScriptError(script, kMsgBadLineNumber, target.where);
      return false;
  }
  return false;
}

bool Jump(Engine& engine, std::string_view word) {
  const JumpTarget target =
      ParseJumpTarget(word, engine.script.file.name(), engine.script.extension);
  // Inside a subroutine a jump stays in the current file, written as it was opened.
  if (!engine.flow.call_stack.empty() && target.file_written != engine.script.file.name()) {
    ReportScriptError(engine.script, kMsgSubJumpOtherFile, target.file_written);
    return false;
  }
  return JumpTo(engine, target);
}

bool CallSubroutine(Engine& engine, ReturnFrame frame, std::string_view word) {
  engine.flow.call_stack.push_back(std::move(frame));
  return JumpTo(engine, ParseJumpTarget(word, engine.script.file.name(), engine.script.extension));
}

State ReturnFromSubroutine(Engine& engine) {
  ScriptContext& script = engine.script;
  auto& stack = engine.flow.call_stack;
  if (stack.empty()) {
    ReportScriptError(script, kMsgSubExitInvalid);
    return State::kEnd;
  }
  const ReturnFrame& frame = stack.back();
  if (!script.file.Open(engine.files, frame.file)) {
    ReportScriptError(script, kMsgSubCallerOpen, frame.file);
    return State::kEnd;
  }
  if (!SeekLine(script.file, frame.line)) {
    ReportScriptError(script, kMsgSubExitFailed);
    return State::kEnd;
  }
  State next = State::kReadLine;
  if (frame.from_text && !frame.text.empty()) {
    script.line.Set(frame.text);
    next = State::kText;
  }
  stack.pop_back();
  return next;
}

}  // namespace adv
