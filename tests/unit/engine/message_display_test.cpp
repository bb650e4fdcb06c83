// One step of the message display for the escapes the text scenario tests do not show on screen:
// which bytes it takes from the line, where it goes next, and what lands on the page.
#include <gtest/gtest.h>

#include <string>

#include "engine/message_display.h"
#include "support/test_engine.h"

namespace adv {
namespace {

TEST(MessageDisplayTest, EachEscapeTakesItsBytes) {
  const struct {
    const char* line;
    State next;
    const char* rest;        // what the step leaves in the line buffer
    std::string drawn = "";  // the text of the page's only line afterwards
  } cases[] = {
      {"\\", State::kReadLine, ""},  // a backslash at the very end of the script
      {"\\t\nX", State::kTextClearWaitSetup, "\nX"},
      {"\\TX", State::kTextClearWaitSetup, "X"},
      {"\\\x82\xA0Y", State::kText, "Y", "\x82\xA0"},
      {"\x82\xA0Y", State::kText, "Y", "\x82\xA0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    test::StartedEngine t;
    t.SetLine(c.line);
    EXPECT_EQ(MessageDisplayStep(t.engine), c.next);
    EXPECT_EQ(t.engine.script.line.Rest(), c.rest);
    TextLine line;
    ASSERT_TRUE(t.engine.message_layer.GetLine(&line, 1));
    EXPECT_EQ(line.text, c.drawn);
  }
}

}  // namespace
}  // namespace adv
