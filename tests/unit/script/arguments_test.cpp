#include <gtest/gtest.h>

#include <climits>

#include "script/arguments.h"
#include "script/line_buffer.h"
#include "support/test_engine.h"

namespace adv {
namespace {

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

TEST(ExpressionTest, LeftToRightWithDefinedOverflowAndUnknownNames) {
  // An unknown operator and its operand are ignored; literals beyond 32 bits saturate.
  // clang-format off
  const std::pair<const char*, std::int32_t> cases[] = {
      {"1 + 2 * 3", 9}, {"10 / 3", 3}, {"-7 % 3", -1}, {"-7 / 2", -3}, {"2 - 5 * 2", -6},
      {"5 +", 5}, {"5 ? 7 + 1", 6}, {"7 / 0", 0}, {"7 % 0", 0}, {"-2147483648 / -1", INT_MIN},
      {"-2147483648 % -1", 0}, {"2147483647 + 1", INT_MIN}, {"65536 * 65536", 0},
      {"99999999999999999999", INT_MAX}, {"-99999999999999999999", INT_MIN}};
  // clang-format on
  test::TestEngine t;
  for (const auto& [text, value] : cases) {
    t.SetLine(text);
    EXPECT_EQ(ReadIntExpr(t.engine.script), value) << text;
  }
  EXPECT_TRUE(t.boxes().empty());
  // Unknown names are reported and count as 0; "1+2" is one word, and no variable.
  t.SetLine("3 + nosuch");
  EXPECT_EQ(ReadIntExpr(t.engine.script), 3);
  t.SetLine("1+2");
  EXPECT_EQ(ReadIntExpr(t.engine.script), 0);
  ASSERT_EQ(t.boxes().size(), 2u);
  EXPECT_NE(t.boxes()[0].find("存在しない変数を指定しました"), std::string::npos);
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
