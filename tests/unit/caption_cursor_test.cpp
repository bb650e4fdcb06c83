#include <gtest/gtest.h>

#include "support/test_engine.h"

namespace adv {
namespace {

// A 1 x 1 32-bit cursor with its hotspot at (0, 0).
std::string TinyCursor() {
  std::string c("\0\0\2\0\1\0", 6);
  std::string entry("\1\1\0\0\0\0\0\0", 8);
  std::string dib(40, '\0');
  dib[0] = 40, dib[4] = 1, dib[8] = 2, dib[12] = 1, dib[14] = 32;
  std::string pixels("\x10\x20\x30\xFF", 4);
  std::string mask(4, '\0');
  std::uint32_t size = static_cast<std::uint32_t>(dib.size() + pixels.size() + mask.size());
  std::uint32_t offset = 6 + 16;
  std::string sizes(8, '\0');
  for (int i = 0; i < 4; ++i) {
    sizes[i] = static_cast<char>(size >> (8 * i));
    sizes[4 + i] = static_cast<char>(offset >> (8 * i));
  }
  return c + entry + sizes + dib + pixels + mask;
}

TEST(CursorCommandTest, HideAndShowAreBalanced) {
  test::TestEngine t;
  t.Execute(".cur hide");
  Step(t.engine);  // the deferred handler runs in the next step
  EXPECT_FALSE(t.host.cursor_shown());
  t.Execute(".cur hide");
  Step(t.engine);
  t.Execute(".cur show");
  Step(t.engine);
  EXPECT_TRUE(t.host.cursor_shown());
  EXPECT_EQ(t.engine.interp.state(), State::kReadLine);
}

TEST(CursorCommandTest, FilesGetCurAndFailuresAreReported) {
  test::TestEngine t;
  t.host.CreateMainWindow("ADV", false);
  t.WriteFile("hand.cur", TinyCursor());
  t.Execute(".cur hand");
  Step(t.engine);
  EXPECT_TRUE(t.host.cursor_is_image());
  EXPECT_TRUE(t.boxes().empty());
  t.Execute(".cur normal");
  Step(t.engine);
  EXPECT_FALSE(t.host.cursor_is_image());
  t.WriteFile("bad.cur", "not a cursor");
  t.Execute(".cur bad.cur");
  Step(t.engine);
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_NE(t.boxes()[0].find("カーソルファイルが読み込めませんでした"), std::string::npos);
  EXPECT_EQ(t.engine.window.cursor.kind, WindowCursor::Kind::kNone);
}

TEST(CaptionCommandTest, DeferredToTheNextStep) {
  test::TestEngine t;
  t.host.CreateMainWindow("ADV", false);
  t.Execute(".cap \"A Title\"");
  EXPECT_EQ(t.engine.interp.state(), State::kCapCommand);
  EXPECT_EQ(t.host.title(), "ADV");
  Step(t.engine);
  EXPECT_EQ(t.host.title(), "A Title");
  t.Execute(".cap");
  Step(t.engine);
  EXPECT_EQ(t.host.title(), "");
}

}  // namespace
}  // namespace adv
