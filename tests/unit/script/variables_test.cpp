#include <gtest/gtest.h>

#include "script/arguments.h"
#include "script/line_buffer.h"
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
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(t.engine.script.file.ReadLine(line));
  t.SetLine("CurLine = 77");
  EXPECT_TRUE(AssignVariable(t.engine.script));
  EXPECT_EQ(t.Int("CurLine"), 77);
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CurLine"), 3);
}

// The text variables (the mouse's and the call stack's are played in the scenarios).
TEST(SystemVariablesTest, ReadTheEngine) {
  test::TestEngine t;
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
  EXPECT_EQ(LookupIntVariable(t.engine.script, "CurTextX"), 10 + 16);  // after the Z of line 2
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

using Words = std::vector<std::string>;

Words ReadWords(std::string_view line) {
  LineBuffer buffer;
  buffer.Set(line);
  Words words;
  do {
    words.emplace_back();
    ReadWordFrom(buffer, words.back());
  } while (buffer.Rest().find_first_not_of(" \t\n") != std::string_view::npos);
  return words;
}

TEST(ReadWordTest, BlanksTabsQuotesAndTwoByteCharacters) {
  const std::pair<std::string_view, Words> cases[] = {
      {"  .wat\t 500\n", {".wat", "500"}},
      {"\"MS Gothic\" x", {"MS Gothic", "x"}},
      {"a\"b c\"d e", {"ab cd", "e"}},
      {"\"\" x", {"", "x"}},
      {"\"a\tb\"", {"a", "b"}},  // a TAB ends a word even inside quotes
      // The second byte may be anything, a blank or a line feed included; a lead byte as the
      // last byte of the line stays alone in the word.
      {"\x82\x20\x82\x0A x", {"\x82\x20\x82\x0A", "x"}},
      {"ab\x82", {"ab\x82"}},
      {std::string_view("a b\0c d", 7), {"a", "b"}},  // NUL ends the line
  };
  for (const auto& [line, words] : cases) EXPECT_EQ(ReadWords(line), words) << line;
}

TEST(ParseColourTest, HexPairsAndFallbacks) {
  // "#1G2233": "1G" reads as far as it is hexadecimal.
  const std::pair<const char*, std::uint32_t> cases[] = {
      {"#FF8000", 0x0080FF}, {"#ff8000", 0x0080FF}, {"#1", 0x000001}, {"#1G2233", 0x332201},
      {"#GG0000", 0},        {"FF8000", 0},         {"", 0}};
  for (const auto& [text, bgr] : cases) EXPECT_EQ(ParseColour(text), bgr) << text;
}

TEST(ExpandTest, ReferencesWidthsNestingAndBounds) {
  test::TestEngine t;
  t.RunConfig(".int n i flag3 m\n.str s\n");
  auto& vars = t.engine.script.vars;
  vars.ints = {{"n", 5}, {"i", 3}, {"flag3", 42}, {"m", -5}};
  vars.strings["s"] = "[i";
  // A "[" produced by a replacement can be completed by a later "]"; the second byte of a
  // two-byte character is never a bracket (0x5B and 0x5D can be one).
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {
      {"a[n]b", "a5b"}, {"[n^000]", "005"}, {"[n^0]", "5"}, {"[n^xyz]", "005"},
      {"[m^000]", "00-5"}, {"[+007]", "7"}, {"[nosuch]", "nosuch"}, {"[flag[i]]", "42"},
      {"x]y[z", "x]y[z"}, {"[[n]", "[5"}, {"[s]]", "3"}, {"\x81[n]", "\x81[n]"},
      {"\x81" "a[n]", "\x81" "a5"}};
  // clang-format on
  for (const auto& [text, expanded] : cases) {
    std::string s = text;
    ExpandVariables(t.engine.script, s);
    EXPECT_EQ(s, expanded) << text;
  }
  EXPECT_TRUE(t.boxes().empty());
  std::string width = "[nosuch^00]";  // a width asks for a number: reported
  ExpandVariables(t.engine.script, width);
  EXPECT_EQ(width, "00");
  EXPECT_EQ(t.boxes().size(), 1u);
  vars.strings["s"] = std::string(1 << 19, 'x');
  std::string doubling = "[s][s][s][s][s][s][s][s]";
  ExpandVariables(t.engine.script, doubling);
  EXPECT_LE(doubling.size(), std::size_t{1} << 20);
  // Deep nesting takes one pass; a name that stands for itself grows level by level only until
  // the line's budget is spent (without it this line would make tens of gigabytes).
  const std::size_t deep = 100000;
  std::string nested = std::string(deep, '[') + "n" + std::string(deep, ']');
  ExpandVariables(t.engine.script, nested);
  EXPECT_EQ(nested, "5");
  std::string growing = std::string(deep, '[') + "a";
  for (std::size_t i = 0; i < deep; ++i) growing += "]b";
  ExpandVariables(t.engine.script, growing);
  EXPECT_LE(growing.size(), std::size_t{1} << 20);
  EXPECT_EQ(t.boxes().size(), 1u);
}

}  // namespace
}  // namespace adv
