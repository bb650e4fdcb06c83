#include <gtest/gtest.h>

#include "host/file_system.h"
#include "script/script_file.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using Lines = std::vector<std::string>;

// Every line of a script of those bytes, and the line number after the last.
std::pair<Lines, int> ReadAll(std::string_view bytes) {
  test::TempDir dir;
  dir.Write("s.txt", bytes);
  FileSystem files;
  files.SetBase(dir.path());
  ScriptFile script;
  EXPECT_TRUE(script.Open(files, "s.txt"));
  Lines lines;
  for (std::string line; script.ReadLine(line);) lines.push_back(line);
  return {lines, script.line_number()};
}

// CR LF and a lone CR read as LF; leading tabs are skipped but not blanks; Ctrl-Z splits a line
// and both parts count; a final line feed yields one more empty line.
TEST(ScriptFileTest, LinesAndTheirNumbers) {
  const std::pair<std::string_view, std::pair<Lines, int>> cases[] = {
      {"ab\ncd\n", {{"ab\n", "cd\n", ""}, 3}},
      {"ab\r\ncd\r\n", {{"ab\n", "cd\n", ""}, 3}},
      {"a\rb\ncd\n", {{"ab\n", "cd\n", ""}, 3}},
      {"\t\t.wat 1\n \t.wat\n", {{".wat 1\n", " \t.wat\n", ""}, 3}},
      {"ab\x1A"
       "cd\nef",
       {{"ab", "cd\n", "ef"}, 3}},
      {"x", {{"x"}, 1}},
      {"", {{""}, 1}},
      {std::string_view("a\0b\n", 4), {{std::string("a\0b\n", 4), ""}, 2}},
  };
  for (const auto& [bytes, expected] : cases) EXPECT_EQ(ReadAll(bytes), expected) << bytes;
  const std::string big(3 << 20, 'a');
  EXPECT_EQ(ReadAll(big + "\n").first[0].size(), big.size() + 1);
}

TEST(ScriptFileTest, FailedOpenKeepsNameAndClosesTheFile) {
  test::TempDir dir;
  dir.Write("a.txt", "1\n2\n");
  FileSystem files;
  files.SetBase(dir.path());
  ScriptFile script;
  std::string line;
  ASSERT_TRUE(script.Open(files, "a.txt"));
  ASSERT_TRUE(script.ReadLine(line));
  EXPECT_FALSE(script.Open(files, "missing.txt"));
  EXPECT_EQ(script.name(), "a.txt");
  EXPECT_EQ(script.line_number(), 1);
  EXPECT_FALSE(script.ReadLine(line));
}

TEST(ScriptFileTest, DefaultExtensionOnlyWithoutAnyDot) {
  EXPECT_EQ(AddDefaultExtension("start", ".txt"), "start.txt");
  EXPECT_EQ(AddDefaultExtension("a.b\\c", ".txt"), "a.b\\c");
  EXPECT_EQ(AddDefaultExtension("bg.", ".bmp"), "bg.");
  // A lead byte right before a "." must not hide it.
  EXPECT_EQ(AddDefaultExtension("\x82\xA0.x", ".txt"), "\x82\xA0.x");
}

}  // namespace
}  // namespace adv
