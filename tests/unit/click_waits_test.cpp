// Setting up a click wait: the modes of the two buttons, held buttons, waits that pass at once,
// the page they clear, and what a wait leaves for the clicks.
#include <gtest/gtest.h>

#include "engine/click_waits.h"
#include "support/started_engine.h"

namespace adv {
namespace {

struct SetupCase {
  State setup;
  int left, right;   // wait modes: the command's arguments, or the .def modes of the escape
  const char* held;  // buttons down as the wait begins
  State next;
  const char* accepted;  // buttons whose click ends the wait afterwards; both start refused
  bool cleared;          // the page was cleared
};

const SetupCase kSetups[] = {
    {State::kTextWaitSetup, 0, 0, "", State::kTextWait, "LR", false},
    {State::kTextClearWaitSetup, 2, 0, "", State::kTextClearWait, "R", false},
    {State::kClkCommand, 1, 0, "L", State::kReadLine, "", false},  // held: passes
    {State::kClkCommand, 1, 0, "R", State::kClkWait, "LR", false},
    {State::kClkCommand, 0, 1, "R", State::kReadLine, "", false},
    {State::kClkCommand, 2, 2, "LR", State::kClkWait, "", false},  // only a label leaves it
    {State::kTclCommand, 3, 0, "", State::kReadLine, "", true},
    {State::kTclCommand, 0, 3, "", State::kReadLine, "", true},
    {State::kTextClearWaitSetup, 3, 3, "", State::kText, "", true},
    {State::kTextWaitSetup, 0, 1, "R", State::kText, "", false},
    {State::kTclCommand, 7, -1, "", State::kTclWait, "", false},  // acceptance kept as it was
};

TEST(ClickWaitTest, SetUpByModesAndHeldButtons) {
  for (const SetupCase& c : kSetups) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.setup) << ": " << c.left << " " << c.right
                                    << " held " << c.held);
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    TextState& text = t.engine.text;
    text.left_click_accepted = text.right_click_accepted = false;
    text.instant = true;
    text.text_wait_modes = text.text_clear_wait_modes = {static_cast<WaitMode>(c.left),
                                                         static_cast<WaitMode>(c.right)};
    t.SetLine(std::to_string(c.left) + " " + std::to_string(c.right));
    const std::string held = c.held;
    t.engine.mouse.left_down = held.find('L') != std::string::npos;
    t.engine.mouse.right_down = held.find('R') != std::string::npos;
    ASSERT_TRUE(t.engine.message_layer.PutChar("A", false, nullptr));

    EXPECT_EQ(SetUpClickWait(t.engine, c.setup), c.next);
    const std::string accepted = c.accepted;
    EXPECT_EQ(text.left_click_accepted, accepted.find('L') != std::string::npos);
    EXPECT_EQ(text.right_click_accepted, accepted.find('R') != std::string::npos);
    EXPECT_EQ(t.engine.message_layer.IsBlank(), c.cleared);
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
