#include <gtest/gtest.h>

#include "engine/commands/config_script.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// Declarations past the total number of variables are refused and end their line; declaring
// names that exist again still works.
TEST(ConfigScriptTest, NoMoreVariablesThanTheLimit) {
  test::TestEngine t;
  t.RunConfig(".int p[65536]\n.str p[65535] z\n.int q[1] r\n.str y\n.int p[9] p0\n.str z\n");
  EXPECT_EQ(t.engine.script.vars.ints.size(), 65536u);
  EXPECT_EQ(t.engine.script.vars.strings.size(), 65536u);
  EXPECT_FALSE(t.engine.script.vars.strings.contains("y"));
  ASSERT_EQ(t.boxes().size(), 2u);
  EXPECT_NE(t.boxes()[0].find("LINE : 3\n\n変数の数が多すぎます"), std::string::npos);
  EXPECT_NE(t.boxes()[1].find("LINE : 4\n"), std::string::npos);
}

TEST(ConfigScriptTest, CaptionAndMissingOrUnreadableFile) {
  test::TestEngine t;
  EXPECT_TRUE(RunConfigScript(t.engine));  // no config file: nothing happens
  t.RunConfig(".cap \"My Game\"\n");
  EXPECT_EQ(t.engine.window.caption, "My Game");
  EXPECT_TRUE(t.boxes().empty());
  test::TestEngine folder;
  folder.dir.Write("config.txt/inner", "x");  // a folder cannot be opened as a script
  EXPECT_FALSE(RunConfigScript(folder.engine));
  ASSERT_EQ(folder.boxes().size(), 1u);
  EXPECT_EQ(folder.boxes()[0], "configファイルが開けません");
}

}  // namespace
}  // namespace adv
