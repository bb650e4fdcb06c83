// The interpreter's globals: state, wait accounting and the line being executed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/rect.h"

namespace adv {

// Interpreter states; other subsystems refer to them by these numbers.
enum State : int {
  kStateIdle = 0,
  kStateText = 1,
  kStateTransition = 2,
  kStateClickSetup = 3,
  kStateClearClickSetup = 4,
  kStateClkSetup = 5,
  kStateTclSetup = 6,
  kStateTextWait = 7,
  kStateTextClearWait = 8,
  kStateMovie = 9,
  kStateClkWait = 10,
  kStateTclWait = 11,
  kStateChoices = 12,
  kStateCursorMove = 13,
  kStateTextClickModes = 14,
  kStateTextSpeed = 15,
  kStateSound = 16,
  kStateMidi = 17,
  kStateMp3 = 18,
  kStateCdAudio = 19,
  kStateCaption = 20,
  kStateCursor = 21,
  kStateLeftClickLabel = 22,
  kStateRightClickLabel = 23,
  kStateEnd = 24,
};

// The click waits: only a click (or its key) moves the interpreter out of them.
inline bool IsClickWait(int state) {
  return state == kStateTextWait || state == kStateTextClearWait || state == kStateClkWait ||
         state == kStateTclWait;
}

// The current line buffer. Readers consume it from the front; a read offset keeps that cheap
// on long lines.
class LineBuffer {
 public:
  // Replaces the content. The line ends at a NUL byte, as a C string would.
  void Set(std::string_view text);
  std::string_view Rest() const { return std::string_view(text_).substr(pos_); }
  bool Exhausted() const { return pos_ >= text_.size(); }
  void Consume(std::size_t n) { pos_ = pos_ + n > text_.size() ? text_.size() : pos_ + n; }
  // The whole rest, for handlers that rewrite it (text expansion).
  std::string TakeRest() const { return std::string(Rest()); }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

struct TransitionState {
  Rect rect;
  int kind = 0;
  int step = 0;
  int step_time = 0;
};

struct InterpreterState {
  int state = kStateIdle;
  std::int32_t accumulated_wait = 0;
  std::uint32_t wait_start = 0;
  bool wait_pending = true;
  LineBuffer line;
  std::string arg;  // the last word read
  TransitionState transition;
};

}  // namespace adv
