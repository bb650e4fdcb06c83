#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "base/messages.h"
#include "engine/jumps.h"
#include "host/sjis_convert.h"
#include "support/script_run.h"

namespace adv {
namespace {

using Kind = JumpTarget::Kind;

struct TargetCase {
  const char* word;
  Kind kind;
  const char* file;
  const char* written;
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

struct FlowCase {
  const char* name;
  std::vector<std::pair<const char*, const char*>> files;  // start.txt first
  const char* trace;
  test::ScriptError error;
};

const FlowCase kFlows[] = {
    {"the first label equal as a word, not a longer one",
     {{"start.txt", ".jmp :top\n@X\n:topx\n@A\n:top more words\n@B\n"}},
     "B",
     {}},
    {"quoted label word, tab-indented label line",
     {{"start.txt", ".jmp \":my label\"\n@X\n\t:\"my label\" x\n@B\n"}},
     "B",
     {}},
    {"other files from their start, extension added only without a dot",
     {{"start.txt", ".jmp other\n@X\n"},
      {"other.txt", "@O\n.jmp other.dat\n"},
      {"other.dat", "@D\n"}},
     "OD",
     {}},
    {"line N continues after it, N from a variable too",
     {{"start.txt", ".let n = 1\n.jmp other;n\n@X\n"}, {"other.txt", "@1\n@2\n.jmp ;4\n@3\n@4\n"}},
     "24",
     {}},
    {";0 restarts the file",
     {{"start.txt", ".let n = n + 1\n@R\n.cas n\n.< 2\n.jmp ;0\n.\n"}},
     "RR",
     {}},
    {"the empty line after the last line feed counts",
     {{"start.txt", ".jmp other;2\n"}, {"other.txt", "@1\n"}},
     "",
     {}},
    {"a line beyond the end",
     {{"start.txt", ".jmp other;3\n"}, {"other.txt", "@1\n"}},
     "",
     {"other.txt", 2, kMsgBadLineNumber}},
    {"a negative line",
     {{"start.txt", ".jmp other;-1\n"}, {"other.txt", "@1\n"}},
     "",
     {"other.txt", 0, kMsgBadLineNumber}},
    {"a missing file",
     {{"start.txt", "@A\n.jmp nosuch\n@X\n"}},
     "A",
     {"start.txt", 2, kMsgCannotOpenFile}},
    {"a missing label",
     {{"start.txt", ".jmp :nolabel\n:nolabelx\n"}},
     "",
     {"start.txt", 3, kMsgLabelNotFound}},
    {"inside a subroutine a jump stays in the file, named as opened",
     {{"start.txt",
       ".sub :s\n@R\n.end\n:s\n.jmp start.txt:x\n@X\n:x\n@Y\n.jmp :y\n:y\n.sub exit\n"}},
     "YR",
     {}},
    {"inside a subroutine a jump to the file named otherwise fails",
     {{"start.txt", ".sub :s\n.end\n:s\n.jmp start:x\n:x\n@X\n"}},
     "",
     {"start.txt", 4, kMsgSubJumpOtherFile}},
    {"a called file returns at its end; LastFile and LastLine name the call",
     {{"start.txt", "@A\n.sub sub:in\n@C\n"},
      {"sub.txt", "@X\n:in\n.let t = \"[t][LastFile]/[LastLine]\"\n"}},
     "Astart.txt/2C",
     {}},
    {".sub exit at top level",
     {{"start.txt", "@A\n.sub exit\n@X\n"}},
     "A",
     {"start.txt", 2, kMsgSubExitInvalid}},
    {".sub delete: the file goes on at top level and its end ends the script",
     {{"start.txt", ".sub sub\n@X\n"},
      {"sub.txt", ".let t = \"[t][LastLine]\"\n.sub delete\n.let t = \"[t][LastLine]\"\n"}},
     "10",
     {}},
    {"a caller saved over with fewer lines",
     {{"start.txt", "\n\n\n\n.sub saver\n@X\n"}, {"saver.txt", ".sav start\n"}},
     "",
     {"start.txt", 3, kMsgSubExitFailed}},
};

TEST(JumpTest, JumpsCallsAndReturnsThroughTheInterpreter) {
  for (const FlowCase& c : kFlows) {
    SCOPED_TRACE(c.name);
    test::TestEngine t;
    test::RunConfigText(t, ".str t\n.int n\n");
    for (std::size_t i = 1; i < c.files.size(); ++i) {
      test::WriteScript(t, c.files[i].first, c.files[i].second);
    }
    ASSERT_TRUE(test::RunScript(t, c.files[0].second));
    EXPECT_EQ(t.String("t"), c.trace);
    test::ExpectOnlyError(t, c.error);
  }
}

struct ReturnCase {
  const char* name;
  bool called;
  ReturnFrame frame;
  State state;
  const char* rest;  // the line put back for a text hook
  std::string_view error;
};

const ReturnCase kReturns[] = {
    {"next line after the call", true, {"c.txt", 2, false, "ignored"}, State::kReadLine, "", {}},
    {"a text hook puts the rest of its line back",
     true,
     {"c.txt", 2, true, "rest"},
     State::kText,
     "rest",
     {}},
    {"a text hook with nothing left goes on reading",
     true,
     {"c.txt", 2, true, ""},
     State::kReadLine,
     "",
     {}},
    {"caller gone", true, {"gone.txt", 1, false, ""}, State::kEnd, "", kMsgSubCallerOpen},
    {"caller shorter than the call line",
     true,
     {"c.txt", 9, false, ""},
     State::kEnd,
     "",
     kMsgSubExitFailed},
    {"nothing called", false, {}, State::kEnd, "", kMsgSubExitInvalid},
};

TEST(ReturnFromSubroutineTest, ResumesTheCallerOrReports) {
  for (const ReturnCase& c : kReturns) {
    SCOPED_TRACE(c.name);
    test::TestEngine t;
    t.WriteFile("c.txt", "a\nb\nc\n");
    t.OpenScript("s.txt", "x\n");
    if (c.called) t.engine.flow.call_stack.push_back(c.frame);
    EXPECT_EQ(ReturnFromSubroutine(t.engine), c.state);
    if (c.error.empty()) {
      EXPECT_TRUE(t.boxes().empty());
      EXPECT_TRUE(t.engine.flow.call_stack.empty());
      EXPECT_EQ(t.engine.script.file.name(), "c.txt");
      EXPECT_EQ(t.engine.script.file.line_number(), 2);
      if (c.state == State::kText) {
        EXPECT_EQ(t.engine.script.line.Rest(), c.rest);
      }
    } else {
      ASSERT_EQ(t.boxes().size(), 1u);
      EXPECT_TRUE(t.boxes()[0].ends_with(SjisToUtf8(c.error)));
    }
  }
}

}  // namespace
}  // namespace adv
