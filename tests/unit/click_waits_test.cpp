// Setting up a click wait: the modes of the two buttons, held buttons, waits that pass at once,
// the page they clear, and what a wait leaves for the clicks.
#include <gtest/gtest.h>

#include "engine/click_waits.h"
#include "support/started_engine.h"

namespace adv {
namespace {

constexpr WaitMode kEnds = WaitMode::kClickEnds, kHeld = WaitMode::kHeldPasses,
                   kIgnored = WaitMode::kClickIgnored, kPasses = WaitMode::kPasses;

struct SetupCase {
  const char* name;
  State setup;
  WaitModes modes;  // the command's arguments, or the .def modes of the escape
  bool left_down, right_down;
  State next;
  bool left_accepted, right_accepted;  // both start false
  bool page_cleared;
};

const SetupCase kSetups[] = {
    {"\\c waits for either button",
     State::kTextWaitSetup,
     {},
     false,
     false,
     State::kTextWait,
     true,
     true,
     false},
    {"\\t with the left refused",
     State::kTextClearWaitSetup,
     {kIgnored, kEnds},
     false,
     false,
     State::kTextClearWait,
     false,
     true,
     false},
    {".clk 1 0 with the left held passes",
     State::kClkCommand,
     {kHeld, kEnds},
     true,
     false,
     State::kReadLine,
     false,
     false,
     false},
    {".clk 1 0 with only the right held waits",
     State::kClkCommand,
     {kHeld, kEnds},
     false,
     true,
     State::kClkWait,
     true,
     true,
     false},
    {".clk 0 1 with the right held passes",
     State::kClkCommand,
     {kEnds, kHeld},
     false,
     true,
     State::kReadLine,
     false,
     false,
     false},
    {".clk 2 2 refuses both",
     State::kClkCommand,
     {kIgnored, kIgnored},
     true,
     true,
     State::kClkWait,
     false,
     false,
     false},
    {".tcl 3 0 clears and goes on",
     State::kTclCommand,
     {kPasses, kEnds},
     false,
     false,
     State::kReadLine,
     false,
     false,
     true},
    {".tcl 0 3 as well",
     State::kTclCommand,
     {kEnds, kPasses},
     false,
     false,
     State::kReadLine,
     false,
     false,
     true},
    {"\\t passing goes back to the text",
     State::kTextClearWaitSetup,
     {kPasses, kPasses},
     false,
     false,
     State::kText,
     false,
     false,
     true},
    {"\\c with a held right button in mode 1",
     State::kTextWaitSetup,
     {kEnds, kHeld},
     false,
     true,
     State::kText,
     false,
     false,
     false},
    {"other modes keep the last acceptance",
     State::kTclCommand,
     {static_cast<WaitMode>(7), static_cast<WaitMode>(-1)},
     false,
     false,
     State::kTclWait,
     false,
     false,
     false},
};

TEST(ClickWaitTest, SetUpByModesAndHeldButtons) {
  for (const SetupCase& c : kSetups) {
    SCOPED_TRACE(c.name);
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    TextState& text = t.engine.text;
    text.left_click_accepted = text.right_click_accepted = false;
    text.instant = true;
    text.text_wait_modes = text.text_clear_wait_modes = c.modes;
    t.SetLine(std::to_string(static_cast<int>(c.modes.left)) + " " +
              std::to_string(static_cast<int>(c.modes.right)));
    t.engine.mouse.left_down = c.left_down;
    t.engine.mouse.right_down = c.right_down;
    ASSERT_TRUE(t.engine.message_layer.PutChar("A", false, nullptr));

    EXPECT_EQ(SetUpClickWait(t.engine, c.setup), c.next);
    EXPECT_EQ(text.left_click_accepted, c.left_accepted);
    EXPECT_EQ(text.right_click_accepted, c.right_accepted);
    EXPECT_EQ(t.engine.message_layer.IsBlank(), c.page_cleared);
    // A wait shows the text laid out so far; a wait that passes changes nothing else.
    EXPECT_EQ(text.instant, !IsClickWait(c.next));
  }
}

TEST(ClickWaitTest, MarkOnlyWithTheWindowShown) {
  for (bool shown : {false, true}) {
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    CDrawImage& picture = t.engine.mark.picture(1);
    ASSERT_TRUE(picture.Create(8, 8));
    t.engine.mark.Set(WaitMark::kFixed, 100, 100, 0);
    t.engine.text.message_window_shown = shown;
    EXPECT_EQ(SetUpClickWait(t.engine, State::kTextWaitSetup), State::kTextWait);
    EXPECT_EQ(NextMarkChange(t.engine).has_value(), shown);
    AnimateMark(t.engine);
    EXPECT_EQ(t.engine.mark.visible(), shown);
    EraseMark(t.engine);
    EXPECT_FALSE(t.engine.mark.visible());
  }
}

}  // namespace
}  // namespace adv
