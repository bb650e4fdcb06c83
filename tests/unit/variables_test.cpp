#include <gtest/gtest.h>

#include "flow/variables.h"
#include "support/test_engine.h"

namespace adv {
namespace {

class LetTest : public ::testing::Test {
 protected:
  void SetUp() override { t.RunConfig(".int n k a b\n.str s k\n"); }
  test::TestEngine t;
};

TEST_F(LetTest, IntegerAndStringAssignment) {
  t.Execute(".let n = 1 + 2 * 3");
  EXPECT_EQ(t.engine.vars.ints["n"], 9);
  t.Execute(".let s = \"two words\" more");
  EXPECT_EQ(t.engine.vars.strings["s"], "two words");
  t.Execute(".let s = abc def");
  EXPECT_EQ(t.engine.vars.strings["s"], "abc");
  t.Execute(".let s = [n]");
  EXPECT_EQ(t.engine.vars.strings["s"], "9");
  t.Execute(".let s = n");
  EXPECT_EQ(t.engine.vars.strings["s"], "n");
  EXPECT_TRUE(t.boxes().empty());
}

TEST_F(LetTest, IntegerWinsOverStringOfTheSameName) {
  t.engine.vars.strings["k"] = "keep";
  t.Execute(".let k = 3");
  EXPECT_EQ(t.engine.vars.ints["k"], 3);
  EXPECT_EQ(t.engine.vars.strings["k"], "keep");
}

TEST_F(LetTest, UndeclaredAndSystemNamesCannotBeAssigned) {
  t.Execute(".let undeclared = 1");
  t.Execute(".let CurLine = 5");
  ASSERT_EQ(t.boxes().size(), 2u);
  EXPECT_NE(t.boxes()[1].find("存在しない変数に代入しようとしました"), std::string::npos);
  EXPECT_EQ(t.engine.vars.ints.count("undeclared"), 0u);
}

TEST_F(LetTest, DeclaredSystemNameIsAssignedButReadsTheSystemValue) {
  DeclareVariable(t.engine.vars, VariableKind::kInt, "CurLine");
  t.OpenScript("s.txt", "a\nb\nc\n");
  std::string line;
  for (int i = 0; i < 3; ++i) t.engine.script.ReadLine(line);
  t.engine.interp.line.Set("CurLine = 77");
  EXPECT_TRUE(AssignVariable(t.engine));
  EXPECT_EQ(t.engine.vars.ints["CurLine"], 77);
  EXPECT_EQ(LookupIntVariable(t.engine, "CurLine"), 3);
}

TEST_F(LetTest, ArrayElementsAreNamedByReferences) {
  t.RunConfig(".int i a[3]\n");
  t.engine.vars.ints["i"] = 2;
  t.Execute(".let a[i] = 7");
  EXPECT_EQ(t.engine.vars.ints["a2"], 7);
}

TEST(SystemVariablesTest, ReadTheEngine) {
  test::TestEngine t;
  t.engine.shell.click_x = 12;
  t.host.SetCursorPos(100, 200);
  EXPECT_EQ(LookupIntVariable(t.engine, "ClickX"), 12);
  EXPECT_EQ(LookupIntVariable(t.engine, "CursorY"), 200);
  EXPECT_EQ(LookupIntVariable(t.engine, "LastLine"), 0);
  EXPECT_EQ(LookupStringVariable(t.engine, "LastFile"), "");
  t.engine.flow.call_stack.push_back({"caller.txt", 40, false, ""});
  EXPECT_EQ(LookupIntVariable(t.engine, "LastLine"), 40);
  EXPECT_EQ(LookupStringVariable(t.engine, "LastFile"), "caller.txt");
  t.engine.message_layer.lines = {"X\\Y", "Z"};
  EXPECT_EQ(LookupStringVariable(t.engine, "CurText"), "X\\\\Y\\NZ");
  EXPECT_FALSE(LookupIntVariable(t.engine, "curline").has_value());
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
