// Jumps, subroutine calls and returns: every move between script lines and files (.jmp, .sub,
// the return, text hooks, click-jump labels, choices and whole-file loads) names its destination
// with one target word and reaches it by reopening a file and reading forward.
#pragma once

#include <string>
#include <string_view>

#include "engine/interpreter_state.h"

namespace adv {

class Engine;
struct ReturnFrame;

// A target word taken apart: "file", "file:label", "file;N", ":label" or ";N".
struct JumpTarget {
  enum class Kind { kStart, kLabel, kLine };
  Kind kind = Kind::kStart;
  std::string file;          // with the scenario extension when it had no "."
  std::string file_written;  // the file part as the word gave it (the current name if omitted)
  std::string where;         // the label (":" included) or the line word
};

JumpTarget ParseJumpTarget(std::string_view word, std::string_view current_file,
                           std::string_view extension);

// Opens the target's file as the current script and reads forward to its label or line; false
// (after the error report) when the file, label or line cannot be reached.
[[nodiscard]] bool JumpTo(Engine& engine, const JumpTarget& target);
// A jump as .jmp makes it: inside a subroutine only within the current file.
[[nodiscard]] bool Jump(Engine& engine, std::string_view word);
// Pushes the frame, then jumps to the word without the file rule.
[[nodiscard]] bool CallSubroutine(Engine& engine, ReturnFrame frame, std::string_view word);
// Back to the caller of the innermost subroutine: the next line, the interrupted text (a text
// hook's frame), or the end when the caller cannot be reached.
State ReturnFromSubroutine(Engine& engine);

}  // namespace adv
