#include <gtest/gtest.h>

#include <string>

#include "base/messages.h"
#include "support/script_run.h"

namespace adv {
namespace {

// Runs start with n set beforehand.
void RunWithN(test::TestEngine& t, int n, const std::string& start) {
  test::RunConfigText(t, ".str t\n.int n\n");
  t.engine.script.vars.ints["n"] = n;
  ASSERT_TRUE(test::RunScript(t, start));
}

struct CaseWordCase {
  const char* selector;
  const char* case_line;
  int n;
  bool holds;
};

const CaseWordCase kCaseWords[] = {
    {"n", ".== 3", 3, true},    {"n", ".== 3", 2, false},    {"n", ".= 3", 3, true},
    {"n", ".= 3", 4, false},    {"n", ".< 3", 2, true},      {"n", ".< 3", 3, false},
    {"n", ".< 3", -5, true},    {"n", ".> 3", 4, true},      {"n", ".> 3", 3, false},
    {"n", ".<= 3", 3, true},    {"n", ".<= 3", 4, false},    {"n", ".>= 3", 3, true},
    {"n", ".>= 3", 2, false},   {"n", ".!= 3", 2, true},     {"n", ".!= 3", 3, false},
    {"n", ".<> 3", 2, true},    {"n", ".<> 3", 3, false},    {"n + 1", ".== 3", 2, true},
    {"n", ".> n - 1", 5, true}, {"n", ".== [n]", 7, true},   {"n", ".==3", 3, false},
    {"n", " .== 3", 3, false},  {"n", "\t\t.== 3", 3, true},
};

TEST(CasTest, EveryCaseWord) {
  for (const CaseWordCase& c : kCaseWords) {
    SCOPED_TRACE(std::string(c.selector) + " | " + c.case_line + " | n = " + std::to_string(c.n));
    test::TestEngine t;
    RunWithN(t, c.n,
             std::string(".cas ") + c.selector + "\n" + c.case_line +
                 "\n@Y\n.skp\n.els\n@N\n.skp\n.\n@E\n");
    EXPECT_EQ(t.String("t"), c.holds ? "YE" : "NE");
    test::ExpectOnlyError(t, {});
  }
}

constexpr const char* kNested =
    ".cas n\n.== 1\n.cas n\n.els\n@I\n.skp\n.== 2\n.\n.skp\n.== 2\n@2\n.skp\n.\n@E\n";

// The branches of the reference's example (docs-blocks) and the blocks a file ends inside
// (flow-failures) are run end to end; these are the cases around them.
struct BlockCase {
  int n;
  const char* script;
  const char* trace;
  test::ScriptError error;
};

const BlockCase kBlocks[] = {
    {0, ".cas n\n.== 1\n@1\n.skp\n.\n@E\n", "E", {}},  // nothing holds, no .els
    // .els ends the scan: the case after it is never evaluated (nosuch would be reported).
    {0, ".cas n\n.els\n@L\n.skp\n.== nosuch\n@X\n.skp\n.\n@E\n", "LE", {}},
    {0, ".cas n\n.== nosuch\n@Z\n.skp\n.\n", "Z", {"start.txt", 2, kMsgNoVariable}},
    {2, kNested, "2E", {}},  // the inner block is skipped whole, its .els included
    {1, kNested, "IE", {}},
    // A branch that runs into the closing "." meets an unknown command.
    {1, ".cas n\n.== 1\n@1\n.\n@E\n", "1E", {"start.txt", 4, kMsgNoCommand}},
    // .skp goes past the "." that closes its block, over nested blocks.
    {0, "@A\n.skp\n@X\n.els\n.cas n\n.\n@X\n.\n@B\n", "AB", {}},
    {0, ".cas n\n.cas 1\n.== 1\n", "", {"start.txt", 4, kMsgSkpEof}},  // one report only
};

TEST(CasTest, ScansSkipsAndReports) {
  for (const BlockCase& c : kBlocks) {
    SCOPED_TRACE(std::string(c.script) + " | n = " + std::to_string(c.n));
    test::TestEngine t;
    RunWithN(t, c.n, c.script);
    EXPECT_EQ(t.String("t"), c.trace);
    test::ExpectOnlyError(t, c.error);
  }
}

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
