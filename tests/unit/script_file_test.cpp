#include <gtest/gtest.h>

#include "host/file_system.h"
#include "script/script_file.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

std::vector<std::string> ReadAll(std::string_view bytes, int* final_line = nullptr) {
  test::TempDir dir;
  dir.Write("s.txt", bytes);
  FileSystem files;
  files.SetBase(dir.path());
  ScriptFile script;
  EXPECT_TRUE(script.Open(files, "s.txt"));
  std::vector<std::string> lines;
  std::string line;
  while (script.ReadLine(line)) lines.push_back(line);
  EXPECT_FALSE(script.ReadLine(line));
  if (final_line != nullptr) *final_line = script.line_number();
  return lines;
}

TEST(ScriptFileTest, CrLfAndLoneCrGiveTheSameLinesAsLf) {
  std::vector<std::string> expected{"ab\n", "cd\n", ""};
  EXPECT_EQ(ReadAll("ab\ncd\n"), expected);
  EXPECT_EQ(ReadAll("ab\r\ncd\r\n"), expected);
  EXPECT_EQ(ReadAll("a\rb\ncd\n"), expected);
}

TEST(ScriptFileTest, LeadingTabsAreSkippedButNotBlanks) {
  EXPECT_EQ(ReadAll("\t\t.wat 1\n \t.wat\n"),
            (std::vector<std::string>{".wat 1\n", " \t.wat\n", ""}));
}

TEST(ScriptFileTest, ControlZSplitsALineAndBothCount) {
  int lines = 0;
  EXPECT_EQ(ReadAll("ab\x1A"
                    "cd\nef",
                    &lines),
            (std::vector<std::string>{"ab", "cd\n", "ef"}));
  EXPECT_EQ(lines, 3);
}

TEST(ScriptFileTest, FinalLineFeedYieldsOneMoreEmptyLine) {
  int lines = 0;
  EXPECT_EQ(ReadAll("x\n", &lines), (std::vector<std::string>{"x\n", ""}));
  EXPECT_EQ(lines, 2);
  EXPECT_EQ(ReadAll("x", &lines), (std::vector<std::string>{"x"}));
  EXPECT_EQ(lines, 1);
  EXPECT_EQ(ReadAll("", &lines), (std::vector<std::string>{""}));
}

TEST(ScriptFileTest, NulBytesAndLongLinesAreKept) {
  std::string big(3 << 20, 'a');
  auto lines = ReadAll(big + "\n" + std::string("a\0b\n", 4));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), big.size() + 1);
  EXPECT_EQ(lines[1], std::string("a\0b\n", 4));
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
  // The second byte of a two-byte character is not a dot (0x2E is not a valid second byte, but
  // a lead byte right before a "." must not hide it either).
  EXPECT_EQ(AddDefaultExtension("\x82\xA0.x", ".txt"), "\x82\xA0.x");
}

}  // namespace
}  // namespace adv
