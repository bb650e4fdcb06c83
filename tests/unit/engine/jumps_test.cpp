#include <gtest/gtest.h>

#include "base/messages.h"
#include "engine/jumps.h"
#include "support/script_run.h"

namespace adv {
namespace {

using Kind = JumpTarget::Kind;

struct TargetCase {
  const char* word;
  Kind kind;
  const char* file;
  const char* written;  // the file part as the word gives it
  const char* where;
};

const TargetCase kTargets[] = {
    {"other", Kind::kStart, "other.txt", "other", ""},
    {"other.dat", Kind::kStart, "other.dat", "other.dat", ""},
    {"", Kind::kStart, ".txt", "", ""},
    {"f:lab;el", Kind::kLabel, "f.txt", "f", ":lab;el"},
    {"f;12", Kind::kLine, "f.txt", "f", "12"},
    {"a;3:x", Kind::kLabel, "a;3.txt", "a;3", ":x"},  // ":" is looked for first
    {":top", Kind::kLabel, "cur.txt", "cur.txt", ":top"},
    {";n", Kind::kLine, "cur.txt", "cur.txt", "n"},
    {"\x83:x:y", Kind::kLabel, "\x83:x.txt", "\x83:x", ":y"},  // 0x83 0x3A is one character
    {"\x83;;5", Kind::kLine, "\x83;.txt", "\x83;", "5"},
    {"\x82.", Kind::kStart, "\x82..txt", "\x82.", ""},  // a second byte is no dot
    {"d.d\\f:l", Kind::kLabel, "d.d\\f", "d.d\\f", ":l"},
};

TEST(ParseJumpTargetTest, AllFormsAndShiftJisDelimiters) {
  for (const TargetCase& c : kTargets) {
    SCOPED_TRACE(c.word);
    const JumpTarget target = ParseJumpTarget(c.word, "cur.txt", ".txt");
    EXPECT_EQ(target.kind, c.kind);
    EXPECT_EQ(target.file, c.file);
    EXPECT_EQ(target.file_written, c.written);
    EXPECT_EQ(target.where, c.where);
  }
}

// Each game has other.dat ("@D") beside start.txt and, when given, other.txt. The failures a
// flow-failures scenario shows end to end (no file, no line, .sub exit outside or failing) and
// the return at a called file's end (flow-jumps) are not repeated here.
struct FlowCase {
  const char* start;
  const char* other;
  const char* trace;
  test::ScriptError error;
};

const FlowCase kFlows[] = {
    // The first line whose first word is the label; blanks, quotes and tabs as the word reader.
    {".jmp :top\n@X\n:topx\n@A\n:top more words\n@B\n", "", "B", {}},
    {".jmp \":my label\"\n@X\n\t:\"my label\" x\n@B\n", "", "B", {}},
    {".jmp other\n@X\n", "@O\n.jmp other.dat\n", "OD", {}},
    {".let n = 1\n.jmp other;n\n@X\n", "@1\n@2\n.jmp ;4\n@3\n@4\n", "24", {}},
    {".let n = n + 1\n@R\n.cas n\n.< 2\n.jmp ;0\n.\n", "", "RR", {}},
    {".jmp other;2\n", "@1\n", "", {}},  // the empty line after the last line feed counts
    {".jmp other;-1\n", "@1\n@2\n", "", {"other.txt", 3, kMsgBadLineNumber}},
    {".jmp :nolabel\n:nolabelx\n", "", "", {"start.txt", 3, kMsgLabelNotFound}},
    // Inside a subroutine a jump stays in the file, which it names as opened or not at all.
    {".sub :s\n@R\n.end\n:s\n.jmp start.txt:x\n@X\n:x\n@Y\n.jmp :y\n:y\n.sub exit\n", "", "YR", {}},
    {".sub :s\n.end\n:s\n.jmp start:x\n:x\n@X\n", "", "", {"start.txt", 4, kMsgSubJumpOtherFile}},
    // After .sub delete the file goes on at top level, and its end ends the script.
    {".sub other\n@X\n",
     ".let t = \"[t][LastLine]\"\n.sub delete\n.let t = \"[t][LastLine]\"\n",
     "10",
     {}},
};

TEST(JumpTest, JumpsCallsAndReturnsThroughTheInterpreter) {
  for (const FlowCase& c : kFlows) {
    SCOPED_TRACE(c.start);
    test::TestEngine t;
    test::RunConfigText(t, ".str t\n.int n\n");
    test::WriteScript(t, "other.dat", "@D\n");
    if (*c.other != '\0') test::WriteScript(t, "other.txt", c.other);
    ASSERT_TRUE(test::RunScript(t, c.start));
    EXPECT_EQ(t.String("t"), c.trace);
    test::ExpectOnlyError(t, c.error);
  }
}

// .lcl delete empties the label and keeps its any-state flag; .rcl sets the right button's own.
TEST(JumpTest, ClickLabelDeleteKeepsTheFlag) {
  test::TestEngine t;
  ASSERT_TRUE(test::RunScript(t, ".lcl menu:open 1\n.rcl :r 0\n.lcl delete\n"));
  EXPECT_EQ(t.engine.flow.left_click.label, "");
  EXPECT_TRUE(t.engine.flow.left_click.any_state);
  EXPECT_EQ(t.engine.flow.right_click.label, ":r");
  EXPECT_FALSE(t.engine.flow.right_click.any_state);
}

// A return to a caller's line (line 2 of c.txt); a text hook's call goes on with the rest of
// its text line. A failing return, with no frame or a caller too short, is run above.
struct ReturnCase {
  ReturnFrame frame;
  State state;
  test::ScriptError error;  // reported in s.txt, the file that returns
};

const ReturnCase kReturns[] = {
    {{"c.txt", 2, false, "ignored"}, State::kReadLine, {}},
    {{"c.txt", 2, true, "rest"}, State::kText, {}},
    {{"c.txt", 2, true, ""}, State::kReadLine, {}},
    {{"gone.txt", 1, false, ""}, State::kEnd, {"s.txt", 1, kMsgSubCallerOpen}},
};

TEST(ReturnFromSubroutineTest, ResumesTheCallerOrReports) {
  for (const ReturnCase& c : kReturns) {
    SCOPED_TRACE(c.frame.file + " " + c.frame.text);
    test::TestEngine t;
    t.WriteFile("c.txt", "a\nb\nc\n");
    t.OpenScript("s.txt", "x\n");
    ASSERT_TRUE(t.engine.script.file.SkipLine());
    t.engine.flow.call_stack.push_back(c.frame);
    EXPECT_EQ(ReturnFromSubroutine(t.engine), c.state);
    test::ExpectOnlyError(t, c.error);
    if (c.error.file != nullptr) continue;
    EXPECT_TRUE(t.engine.flow.call_stack.empty());
    EXPECT_EQ(
        t.engine.script.file.name() + ":" + std::to_string(t.engine.script.file.line_number()),
        "c.txt:2");
    EXPECT_EQ(t.engine.script.line.Rest(), c.state == State::kText ? "rest" : "");
  }
}

}  // namespace
}  // namespace adv
