#include <gtest/gtest.h>

#include <climits>

#include "script/arguments.h"
#include "script/line_buffer.h"
#include "support/test_engine.h"

namespace adv {
namespace {

std::vector<std::string> Words(std::string_view line) {
  LineBuffer buffer;
  buffer.Set(line);
  std::vector<std::string> words;
  std::string word;
  for (int i = 0; i < 8; ++i) {
    ReadWordFrom(buffer, word);
    words.push_back(word);
    if (buffer.Rest().find_first_not_of(" \t\n") == std::string_view::npos) break;
  }
  return words;
}

TEST(ReadWordTest, BlanksTabsAndQuotes) {
  EXPECT_EQ(Words("  .wat\t 500\n"), (std::vector<std::string>{".wat", "500"}));
  EXPECT_EQ(Words("\"MS Gothic\" x"), (std::vector<std::string>{"MS Gothic", "x"}));
  EXPECT_EQ(Words("a\"b c\"d e"), (std::vector<std::string>{"ab cd", "e"}));
  EXPECT_EQ(Words("\"\" x"), (std::vector<std::string>{"", "x"}));
  // A TAB ends a word even inside quotes.
  EXPECT_EQ(Words("\"a\tb\""), (std::vector<std::string>{"a", "b"}));
}

TEST(ReadWordTest, TwoByteCharactersAreTakenWhole) {
  // The second byte may be anything, a blank or a line feed included.
  EXPECT_EQ(Words("\x82\x20\x82\x0A x"), (std::vector<std::string>{"\x82\x20\x82\x0A", "x"}));
  // A lead byte as the last byte of the line stays alone in the word.
  EXPECT_EQ(Words("ab\x82"), (std::vector<std::string>{"ab\x82"}));
}

TEST(ReadWordTest, NulEndsTheLine) {
  LineBuffer buffer;
  buffer.Set(std::string_view("a b\0c d", 7));
  EXPECT_EQ(buffer.Rest(), "a b");
}

class ExpressionTest : public ::testing::Test {
 protected:
  int Eval(std::string_view text) {
    t.SetLine(text);
    return ReadIntExpr(t.engine.script);
  }
  test::TestEngine t;
};

TEST_F(ExpressionTest, LeftToRightWithoutPrecedence) {
  EXPECT_EQ(Eval("1 + 2 * 3"), 9);
  EXPECT_EQ(Eval("10 / 3"), 3);
  EXPECT_EQ(Eval("-7 % 3"), -1);
  EXPECT_EQ(Eval("-7 / 2"), -3);
  EXPECT_EQ(Eval("2 - 5 * 2"), -6);
  EXPECT_EQ(Eval("5 +"), 5);
  EXPECT_EQ(Eval("5 ? 7 + 1"), 6);  // an unknown operator and its operand are ignored
  EXPECT_TRUE(t.boxes().empty());
}

TEST_F(ExpressionTest, DivisionByZeroAndOverflowAreDefined) {
  EXPECT_EQ(Eval("7 / 0"), 0);
  EXPECT_EQ(Eval("7 % 0"), 0);
  EXPECT_EQ(Eval("-2147483648 / -1"), INT_MIN);
  EXPECT_EQ(Eval("-2147483648 % -1"), 0);
  EXPECT_EQ(Eval("2147483647 + 1"), INT_MIN);
  EXPECT_EQ(Eval("65536 * 65536"), 0);
  // Literals beyond the 32-bit range saturate.
  EXPECT_EQ(Eval("99999999999999999999"), INT_MAX);
  EXPECT_EQ(Eval("-99999999999999999999"), INT_MIN);
}

TEST_F(ExpressionTest, UnknownNamesReportAndCountAsZero) {
  EXPECT_EQ(Eval("3 + nosuch"), 3);
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_NE(t.boxes()[0].find("存在しない変数を指定しました"), std::string::npos);
  EXPECT_EQ(Eval("1+2"), 0);  // one word: neither a literal nor a variable
}

TEST(ParseColourTest, HexPairsAndFallbacks) {
  EXPECT_EQ(ParseColour("#FF8000"), 0x0080FFu);
  EXPECT_EQ(ParseColour("#ff8000"), 0x0080FFu);
  EXPECT_EQ(ParseColour("#1"), 0x000001u);
  EXPECT_EQ(ParseColour("#1G2233"), 0x332201u);  // "1G" reads as far as it is hexadecimal
  EXPECT_EQ(ParseColour("#GG0000"), 0u);
  EXPECT_EQ(ParseColour("FF8000"), 0u);
  EXPECT_EQ(ParseColour(""), 0u);
}

class ExpandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t.RunConfig(".int n i flag3 m\n.str s\n");
    auto& vars = t.engine.script.vars;
    vars.ints["n"] = 5;
    vars.ints["i"] = 3;
    vars.ints["flag3"] = 42;
    vars.ints["m"] = -5;
    vars.strings["s"] = "[i";
  }
  std::string Expand(std::string s) {
    ExpandVariables(t.engine.script, s);
    return s;
  }
  test::TestEngine t;
};

TEST_F(ExpandTest, ReferencesAndWidths) {
  EXPECT_EQ(Expand("a[n]b"), "a5b");
  EXPECT_EQ(Expand("[n^000]"), "005");
  EXPECT_EQ(Expand("[n^0]"), "5");
  EXPECT_EQ(Expand("[n^xyz]"), "005");
  EXPECT_EQ(Expand("[m^000]"), "00-5");
  EXPECT_EQ(Expand("[+007]"), "7");
  EXPECT_EQ(Expand("[nosuch]"), "nosuch");
  EXPECT_TRUE(t.boxes().empty());
  EXPECT_EQ(Expand("[nosuch^00]"), "00");
  EXPECT_EQ(t.boxes().size(), 1u);
}

TEST_F(ExpandTest, NestedReferencesAndLoneBrackets) {
  EXPECT_EQ(Expand("[flag[i]]"), "42");
  EXPECT_EQ(Expand("x]y[z"), "x]y[z");
  EXPECT_EQ(Expand("[[n]"), "[5");
  // A "[" produced by a replacement can be completed by a later "]".
  EXPECT_EQ(Expand("[s]]"), "3");
  // The second byte of a two-byte character is never a bracket: 0x5B and 0x5D can be one.
  EXPECT_EQ(Expand("\x81[n]"), "\x81[n]");
  EXPECT_EQ(Expand("\x81"
                   "a[n]"),
            "\x81"
            "a5");
}

TEST_F(ExpandTest, GrowthIsBounded) {
  t.engine.script.vars.strings["s"] = std::string(1 << 19, 'x');
  std::string text;
  for (int k = 0; k < 8; ++k) text += "[s]";
  EXPECT_LE(Expand(text).size(), std::size_t{1} << 20);
}

}  // namespace
}  // namespace adv
