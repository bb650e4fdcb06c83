#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "check/game_check.h"
#include "host/file_system.h"
#include "host/sjis_convert.h"
#include "script/script_file.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// How a game's name reaches a file (so names that work only through case folding or Shift-JIS
// conversion can be pointed out), and that Exists and Open find the same.
TEST(FileSystemTest, NamesFoldCaseAndShiftJisFindsTheUtf8Spelling) {
  test::TempDir dir;
  dir.Write("Data/bg/sky.bmp", "x");
  dir.Write("背景/表.bmp", "x");  // 表 ends in 0x5C in Shift-JIS
  FileSystem files;
  files.SetBase(dir.path());
  const struct {
    std::string name;
    NameMatch match;
    std::string on_disk;
  } cases[] = {
      {"Data\\bg\\sky.bmp", NameMatch::kExact, "Data/bg/sky.bmp"},
      {"data\\bg\\sky.bmp", NameMatch::kCaseFolded, "Data/bg/sky.bmp"},
      {"Data/BG/SKY.BMP", NameMatch::kCaseFolded, "Data/bg/sky.bmp"},
      {Utf8ToSjis("背景\\表.BMP"), NameMatch::kConverted, "背景/表.bmp"},
      {"背景/表.bmp", NameMatch::kExact, "背景/表.bmp"},
      {"data\\nosuch.bmp", NameMatch::kMissing, ""},
      {"nosuch\\sky.bmp", NameMatch::kMissing, ""},
      {"", NameMatch::kMissing, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NameLookup found = files.Lookup(c.name);
    EXPECT_EQ(found.match, c.match);
    EXPECT_EQ(found.on_disk, c.on_disk);
    EXPECT_EQ(c.match != NameMatch::kMissing, files.Exists(c.name));
    std::FILE* f = files.Open(c.name, "rb");
    EXPECT_EQ(f != nullptr, c.match != NameMatch::kMissing);
    if (f != nullptr) std::fclose(f);
  }
  EXPECT_TRUE(files.Exists("data\\bg\\*.bmp"));
  EXPECT_FALSE(files.Exists("data\\bg\\*.png"));
  EXPECT_EQ(files.Open("data\\bg", "rb"), nullptr);  // folders are not files
  // A new file with a Shift-JIS name is created under its UTF-8 spelling.
  EXPECT_EQ(files.Resolve(Utf8ToSjis("新.txt")), dir.Path("新.txt"));
}

std::string ReadAll(const FileSystem& files, const std::string& name) {
  std::FILE* f = files.Open(name, "rb");
  if (f == nullptr) return {};
  char buffer[16] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof(buffer), f);
  std::fclose(f);
  return std::string(buffer, n);
}

// The game's folder game/ and its scenario folder game/data: names stay inside game/, and ".."
// is taken by the name's text, so a link inside is followed but never climbed out of.
TEST(FileSystemTest, NamesStayInsideTheGameFolder) {
  test::TempDir dir;
  dir.Write("secret.txt", "s");
  dir.Write("elsewhere/x.mid", "m");
  dir.Write("game/data/a.txt", "a");
  dir.Write("game/bgm/x.mid", "b");
  ASSERT_EQ(::symlink(dir.Path("elsewhere").c_str(), dir.Path("game/data/linked").c_str()), 0);
  FileSystem files;
  files.SetRoot(dir.Path("game"));
  files.SetBase(dir.Path("game/data"));
  const std::pair<std::string, std::string> cases[] = {
      {"a.txt", "a"},
      {"..\\bgm\\x.mid", "b"},
      {"..\\DATA\\..\\Bgm\\X.MID", "b"},
      {"linked\\x.mid", "m"},
      {"..\\..\\secret.txt", ""},
      {"..\\data\\..\\..\\secret.txt", ""},
      {"linked\\..\\..\\secret.txt", ""},
      {"linked\\..\\secret.txt", ""},  // on disk, elsewhere/.. holds secret.txt
      {dir.Path("secret.txt"), ""},
      {"\\secret.txt", ""},
      {"C:\\secret.txt", ""},
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(ReadAll(files, name), content);
    EXPECT_EQ(files.Exists(name), !content.empty());
  }
  // A scenario folder outside the game's folder ("Path=/abs") opens nothing.
  files.SetBase(dir.path());
  EXPECT_EQ(ReadAll(files, "secret.txt"), "");
}

// A FIFO, a device or an oversized file fails at once, as a missing file does; --check too.
TEST(FileSystemTest, OnlyRegularFilesWithinTheirLimit) {
  test::TempDir dir;
  dir.Write("five.bmp", "12345");
  ASSERT_EQ(::mkfifo(dir.Path("start.txt").c_str(), 0600), 0);
  ASSERT_EQ(::symlink("/dev/urandom", dir.Path("config.txt").c_str()), 0);
  ASSERT_EQ(::symlink("/dev/zero", dir.Path("zero.txt").c_str()), 0);
  dir.Write("huge.txt", "");
  ASSERT_EQ(::truncate(dir.Path("huge.txt").c_str(), (std::int64_t{64} << 20) + 1), 0);
  FileSystem files;
  files.SetBase(dir.path());
  ScriptFile script;
  for (const char* name : {"start.txt", "config.txt", "zero.txt", "huge.txt"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(script.Open(files, name));
  }
  for (const char* name : {"start.txt", "config.txt"}) {
    EXPECT_FALSE(files.Exists(name));
    EXPECT_EQ(files.ResolveFile(name), "");
  }
  EXPECT_EQ(files.Open("five.bmp", "rb", 4), nullptr);
  EXPECT_EQ(ReadAll(files, "five.bmp"), "12345");
  const CheckResult checked = CheckGame(CheckOptions{dir.path(), ".txt", dir.path()});
  EXPECT_EQ(checked.errors, 1);
}

TEST(SjisConvertTest, InvalidBytesShowAsReplacementCharacters) {
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");
}

}  // namespace
}  // namespace adv
