#include <gtest/gtest.h>

#include "engine/commands/config_script.h"
#include "support/test_engine.h"

namespace adv {
namespace {

TEST(ConfigScriptTest, DeclarationsArraysAndRedeclaration) {
  test::TestEngine t;
  t.RunConfig(".int x flag[3] \"q r\"\n.str name x\n.let x = 5\n.int x\n");
  const auto& ints = t.engine.script.vars.ints;
  EXPECT_EQ(ints.size(), 5u);
  EXPECT_EQ(ints.at("x"), 0);
  EXPECT_TRUE(ints.count("flag0") && ints.count("flag2") && !ints.count("flag3"));
  EXPECT_TRUE(ints.count("q r"));
  EXPECT_EQ(t.engine.script.vars.strings.size(), 2u);
  EXPECT_TRUE(t.boxes().empty());
}

TEST(ConfigScriptTest, ArrayCountsFromVariables) {
  test::TestEngine t;
  t.RunConfig(".int n\n.int a[n]\n.int b[zz]\n.int c[2]x\n");
  // n is 0 when a is declared; zz and "2]x"-style counts are not numbers.
  EXPECT_EQ(t.engine.script.vars.ints.size(), 1u);
  ASSERT_EQ(t.boxes().size(), 2u);
  EXPECT_NE(t.boxes()[0].find("FILE : config.txt\nLINE : 3\n\n"), std::string::npos);
  EXPECT_NE(t.boxes()[1].find("LINE : 4"), std::string::npos);
}

TEST(ConfigScriptTest, OffscreensBackgroundAndIgnoredLines) {
  test::TestEngine t;
  t.RunConfig("# comment\n  .scr 3\n.scr 1\n.bgc #102030\n.pic screen #FFFFFF\ntext\n.wat 5\n");
  EXPECT_EQ(t.engine.surfaces.offscreens.size(), 1u);
  EXPECT_EQ(t.engine.surfaces.background, 0x302010u);
  EXPECT_TRUE(t.boxes().empty());
  t.RunConfig(".bgc 102030\n");
  EXPECT_EQ(t.engine.surfaces.background, 0u);
}

// Negative and huge counts would be allocated as huge ones: each is refused and reported. So
// are declarations past the total number of variables, which end their line; declaring names
// that exist again still works.
TEST(ConfigScriptTest, BadOffscreenCountsAndHugeArraysAreRefused) {
  test::TestEngine t;
  t.RunConfig(".scr 2\n.scr -1\n.scr 100000\n.int a[2000000000]\n");
  EXPECT_EQ(t.engine.surfaces.offscreens.size(), 2u);
  EXPECT_TRUE(t.engine.script.vars.ints.empty());
  EXPECT_EQ(t.boxes().size(), 3u);
  t.RunConfig(".int p[65536]\n.str p[65535] z\n.int q[1] r\n.str y\n.int p[9] p0\n.str z\n");
  EXPECT_EQ(t.engine.script.vars.ints.size(), 65536u);
  EXPECT_EQ(t.engine.script.vars.strings.size(), 65536u);
  EXPECT_FALSE(t.engine.script.vars.strings.contains("y"));
  ASSERT_EQ(t.boxes().size(), 5u);
  EXPECT_NE(t.boxes()[3].find("LINE : 3\n\n変数の数が多すぎます"), std::string::npos);
  EXPECT_NE(t.boxes()[4].find("LINE : 4\n"), std::string::npos);
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
