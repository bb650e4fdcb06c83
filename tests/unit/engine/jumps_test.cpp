#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "engine/jumps.h"
#include "support/test_engine.h"

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

// A text hook's call whose line had nothing left after it resumes the caller's next line; a
// caller whose file cannot be opened again is reported. The other returns are played in the
// flow, jumps and text_hook scenarios.
TEST(ReturnFromSubroutineTest, ResumesTheCallerOrReports) {
  for (const char* caller : {"c.txt", "gone.txt"}) {
    test::TestEngine t;
    t.WriteFile("c.txt", "a\nb\nc\n");
    t.OpenScript("s.txt", "x\n");
    ASSERT_TRUE(t.engine.script.file.SkipLine());
    t.engine.flow.call_stack.push_back({caller, 2, true, ""});
    const bool gone = caller == std::string("gone.txt");
    EXPECT_EQ(ReturnFromSubroutine(t.engine), gone ? State::kEnd : State::kReadLine);
    test::ExpectOnlyError(
        t, gone ? test::ScriptError{"s.txt", 1, kMsgSubCallerOpen} : test::ScriptError{});
    EXPECT_EQ(t.engine.script.file.line_number(), gone ? 1 : 2);
  }
}

// Runs start with n set beforehand.
void RunWithN(test::TestEngine& t, int n, const std::string& start) {
  t.RunConfig(".str t\n.int n\n");
  t.engine.script.vars.ints["n"] = n;
  ASSERT_TRUE(test::RunScript(t, start));
}

// Every case word and the blocks around them are run in the blocks scenario; this one is too
// big for a file.
TEST(CasTest, DeepNestingIsSkippedWithoutRecursion) {
  constexpr int kDepth = 100000;
  std::string start = "@A\n.cas n\n.== 1\n";
  for (int i = 0; i < kDepth; ++i) start += ".cas n\n.els\n";
  for (int i = 0; i < kDepth; ++i) start += ".\n";
  start += ".\n@E\n";
  test::TestEngine t;
  RunWithN(t, 0, start);
  EXPECT_EQ(t.String("t"), "AE");
  test::ExpectOnlyError(t, {});
}

}  // namespace
}  // namespace adv
