// The interpreter's states. Only the interpreter changes the state (the click handlers through
// its functions); command handlers return the state to go to.
#pragma once

#include <cstdint>

namespace adv {

enum class State : std::uint8_t {
  kReadLine = 0,            // reads and dispatches the next script line
  kText = 1,                // shows the current text line, a character a step
  kTransition = 2,          // draws a transition, a stage a step
  kTextWaitSetup = 3,       // "\c" in text: sets up a click wait
  kTextClearWaitSetup = 4,  // "\t" in text: sets up a click wait that clears the page
  kClkCommand = 5,          // .clk reads its modes and sets up a click wait
  kTclCommand = 6,          // .tcl: as .clk, and the page is cleared after the click
  kTextWait = 7,            // waits for a click, then goes on with the text
  kTextClearWait = 8,       // waits for a click, clears the page, goes on with the text
  kAviCommand = 9,          // the deferred commands run in the step after their dispatch
  kClkWait = 10,            // waits for a click, then reads the next line
  kTclWait = 11,            // waits for a click, clears the page, reads the next line
  kChoices = 12,            // shows the choices until one is clicked
  kMcmCommand = 13,
  kTctCommand = 14,
  kTspCommand = 15,
  kWavCommand = 16,
  kMidCommand = 17,
  kMp3Command = 18,
  kCdaCommand = 19,
  kCapCommand = 20,
  kCurCommand = 21,
  kLclCommand = 22,
  kRclCommand = 23,
  kEnd = 24,  // closes the window
  // Waits that hold the script for a while but run frame by frame; clicks wait for their end.
  kSoundWait = 25,    // a .wav of mode 1 plays; the script goes on once it has ended
  kCursorGlide = 26,  // .mcm moves the cursor a step a frame, 5 ms apart
};

// The click waits: only a click (or its key) moves the interpreter out of them.
inline bool IsClickWait(State state) {
  return state == State::kTextWait || state == State::kTextClearWait || state == State::kClkWait ||
         state == State::kTclWait;
}

// States in which nothing changes until input or a media event comes (or the mark blinks):
// the window host may sleep through them.
inline bool IsIdleWait(State state) {
  return IsClickWait(state) || state == State::kChoices || state == State::kSoundWait;
}

// The waits during which a click is held until they end, as if the script had not let go.
inline bool HoldsClicks(State state) {
  return state == State::kSoundWait || state == State::kCursorGlide;
}

// The waits that clear the page when they end.
inline bool IsClearingWait(State state) {
  return state == State::kTextClearWait || state == State::kTclWait;
}

}  // namespace adv
