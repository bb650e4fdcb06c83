#include <gtest/gtest.h>

#include <string>

#include "support/test_engine.h"

namespace adv {
namespace {

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
