// One step of the message display per escape: which bytes it takes from the line, where it
// goes next, and what lands on the page.
#include <gtest/gtest.h>

#include <string>

#include "engine/message_display.h"
#include "host/sjis_convert.h"
#include "support/started_engine.h"

namespace adv {
namespace {

struct EscapeCase {
  const char* line;
  State next;
  const char* rest;        // what the step leaves in the line buffer
  int current_line;        // the page's current line afterwards
  std::string drawn = "";  // the text of line 1 afterwards
};

const EscapeCase kEscapes[] = {
    {"AB\n", State::kText, "B\n", 1, "A"},
    {"\n", State::kText, "", 2},
    {"", State::kReadLine, "", 1},
    {"\\", State::kReadLine, "", 1},
    {"\\d rest\n", State::kReadLine, "", 1},
    {"\\D\n", State::kReadLine, "", 1},
    {"\\nX", State::kText, "X", 2},
    {"\\\nX", State::kText, "X", 2},
    {"\\N\nX", State::kText, "X", 2},
    {"\\NX", State::kText, "X", 2},
    {"\\c\nX", State::kTextWaitSetup, "\nX", 1},
    {"\\C\nX", State::kTextWaitSetup, "X", 1},
    {"\\t\nX", State::kTextClearWaitSetup, "\nX", 1},
    {"\\T\nX", State::kTextClearWaitSetup, "X", 1},
    {"\\TX", State::kTextClearWaitSetup, "X", 1},
    // An escape we do not know draws its character once and takes it with the backslash.
    {"\\xY", State::kText, "Y", 1, "x"},
    {"\\\x82\xA0Y", State::kText, "Y", 1, "\x82\xA0"},
    {"\x82\xA0Y", State::kText, "Y", 1, "\x82\xA0"},
};

TEST(MessageDisplayTest, EachEscapeTakesItsBytes) {
  for (const EscapeCase& c : kEscapes) {
    SCOPED_TRACE(c.line);
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    t.SetLine(c.line);
    EXPECT_EQ(MessageDisplayStep(t.engine), c.next);
    EXPECT_EQ(t.engine.script.line.Rest(), c.rest);
    EXPECT_EQ(t.engine.message_layer.current_line(), c.current_line);
    TextLine line;
    ASSERT_TRUE(t.engine.message_layer.GetLine(&line, 1));
    EXPECT_EQ(line.text, c.drawn);
  }
}

TEST(MessageDisplayTest, TextHookKeepsTheRestOfTheLineForTheReturn) {
  const struct {
    const char* line;
    const char* kept;
  } cases[] = {{"\\3CD\n", "CD\n"}, {"\\3\nCD", "CD"}, {"\\3", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    test::StartedEngine t;
    ASSERT_TRUE(t.started);
    t.WriteFile("h.txt", "skipped\n:x\nhook\n");
    t.engine.text.hook_targets[3] = "h:x";
    t.SetLine(c.line);
    EXPECT_EQ(MessageDisplayStep(t.engine), State::kReadLine);
    ASSERT_EQ(t.engine.flow.call_stack.size(), 1u);
    const ReturnFrame& frame = t.engine.flow.call_stack.back();
    EXPECT_EQ(frame.file, "start.txt");
    EXPECT_TRUE(frame.from_text);
    EXPECT_EQ(frame.text, c.kept);
    EXPECT_EQ(t.engine.script.file.name(), "h.txt");
    EXPECT_EQ(t.engine.script.file.line_number(), 2);  // the label line counts as read
  }
}

TEST(MessageDisplayTest, TextSpeedZeroMakesTheTextInstant) {
  test::StartedEngine t;
  ASSERT_TRUE(t.started);
  t.engine.text.text_speed = 0;
  t.engine.text.message_window_shown = true;
  t.SetLine("AB");
  MessageDisplayStep(t.engine);
  EXPECT_TRUE(t.engine.text.instant);
  // Laid out, not presented: it waits in the pending rectangle for the next flush.
  EXPECT_FALSE(t.engine.text.pending.Empty());
  EXPECT_TRUE(t.engine.frame.dirty.Empty());
  FlushPendingText(t.engine);
  EXPECT_TRUE(t.engine.text.pending.Empty());
  EXPECT_FALSE(t.engine.frame.dirty.Empty());
}

}  // namespace
}  // namespace adv
