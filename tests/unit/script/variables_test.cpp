#include <gtest/gtest.h>

#include "script/variables.h"
#include "support/test_engine.h"

namespace adv {
namespace {

class LetTest : public ::testing::Test {
 protected:
  void SetUp() override { t.RunConfig(".int n k a b\n.str s k\n"); }
  test::TestEngine t;
};

// The rest of .let is played in the expressions, words and variables scenarios.
TEST_F(LetTest, DeclaredSystemNameIsAssignedButReadsTheSystemValue) {
  DeclareVariable(t.engine.script.vars, VariableKind::kInt, "CurLine");
  t.OpenScript("s.txt", "a\nb\nc\n");
  std::string line;
  for (int i = 0; i < 3; ++i) t.engine.script.file.ReadLine(line);
  t.SetLine("CurLine = 77");
  EXPECT_TRUE(AssignVariable(t.engine.script));
  EXPECT_EQ(t.Int("CurLine"), 77);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CurLine"), 3);
}

TEST(SystemVariablesTest, ReadTheEngine) {
  test::TestEngine t;
  t.engine.mouse.click_x = 12;
  t.host.SetCursorPos(100, 200);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "ClickX"), 12);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CursorY"), 200);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "LastLine"), 0);
  EXPECT_EQ(LookupStringVariable(t.engine.script, "LastFile"), "");
  t.engine.flow.call_stack.push_back({"caller.txt", 40, false, ""});
  EXPECT_EQ(LookupIntVariable(t.engine.script, "LastLine"), 40);
  EXPECT_EQ(LookupStringVariable(t.engine.script, "LastFile"), "caller.txt");
  t.engine.surfaces.CreateFilled(t.engine.surfaces.back);
  TextLayer& layer = t.engine.message_layer;
  ASSERT_TRUE(layer.Create(&t.engine.surfaces.back, kMessageLayerShape));
  ASSERT_TRUE(layer.SetPosition(10, 20));
  // 表 ends in a backslash byte: doubling it would make "表1" the hook escape "\1".
  layer.DrawString(
      "X\\\x95\x5C"
      "1\nZ",
      false);
  EXPECT_EQ(LookupStringVariable(t.engine.script, "CurText"),
            "X\\\\\x95\x5C"
            "1\\NZ");
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CurTextLine"), 2);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CurTextX"), 10 + layer.cursor_x());
  EXPECT_EQ(LookupIntVariable(t.engine.script, "LastTextY"), 20 + 32);
  EXPECT_FALSE(LookupIntVariable(t.engine.script, "curline").has_value());
}

TEST(SerializeVariablesTest, IntegersFirstEachInByteOrder) {
  VariableTables tables;
  DeclareVariable(tables, VariableKind::kInt, "b");
  DeclareVariable(tables, VariableKind::kInt, "a");
  DeclareVariable(tables, VariableKind::kInt, "\x82\xA0");  // sorts after ASCII as unsigned
  DeclareVariable(tables, VariableKind::kString, "s");
  tables.ints["a"] = -1;
  tables.ints["b"] = 2;
  tables.strings["s"] = "x y";
  EXPECT_EQ(SerializeVariables(tables),
            ".let a = -1\r\n.let b = 2\r\n.let \x82\xA0 = 0\r\n.let s = \"x y\"\r\n");
  EXPECT_EQ(SerializeVariables(VariableTables{}), "");
}

}  // namespace
}  // namespace adv
