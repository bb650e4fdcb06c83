#include <gtest/gtest.h>

#include "engine/commands/config_script.h"
#include "support/bmp_writer.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// Executes a deferred command: its handler runs in the step after the line is read.
void RunDeferred(test::TestEngine& t, std::string_view line) {
  t.Execute(line);
  Step(t.engine);
}

TEST(CursorCommandTest, HideAndShowAreBalancedFilesGetCurAndFailuresAreReported) {
  test::TestEngine t;
  RunDeferred(t, ".cur hide");
  EXPECT_FALSE(t.host.cursor_shown());
  RunDeferred(t, ".cur hide");
  RunDeferred(t, ".cur show");
  EXPECT_TRUE(t.host.cursor_shown());
  EXPECT_EQ(t.engine.interp.state(), State::kReadLine);
  ASSERT_TRUE(t.host.CreateMainWindow("ADV", false));
  // A 1 x 1 32-bit cursor with its hotspot at (0, 0): directory, picture, AND mask.
  const std::string image = test::InfoHeader(1, 2, 32) + "\x10\x20\x30\xFF" + std::string(4, '\0');
  std::string cur("\0\0\2\0\1\0\1\1\0\0\0\0\0\0", 14);
  test::PutLe(cur, static_cast<std::uint32_t>(image.size()));
  test::PutLe(cur, 22);
  t.WriteFile("hand.cur", cur + image);
  RunDeferred(t, ".cur hand");
  EXPECT_TRUE(t.host.cursor_is_image());
  EXPECT_TRUE(t.boxes().empty());
  RunDeferred(t, ".cur normal");
  EXPECT_FALSE(t.host.cursor_is_image());
  t.WriteFile("bad.cur", "not a cursor");
  RunDeferred(t, ".cur bad.cur");
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_NE(t.boxes()[0].find("カーソルファイルが読み込めませんでした"), std::string::npos);
  EXPECT_EQ(t.engine.window.cursor.kind, WindowCursor::Kind::kNone);
}

TEST(CaptionCommandTest, DeferredToTheNextStep) {
  test::TestEngine t;
  ASSERT_TRUE(t.host.CreateMainWindow("ADV", false));
  t.Execute(".cap \"A Title\"");
  EXPECT_EQ(t.host.title(), "ADV");
  Step(t.engine);
  EXPECT_EQ(t.host.title(), "A Title");
  RunDeferred(t, ".cap");
  EXPECT_EQ(t.host.title(), "");
}

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
