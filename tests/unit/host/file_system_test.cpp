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

TEST(FileSystemTest, BackslashesAndLetterCase) {
  test::TempDir dir;
  dir.Write("Data/BG/Sky.BMP", "x");
  FileSystem files;
  files.SetBase(dir.path());
  EXPECT_EQ(files.Resolve("data\\bg\\sky.bmp"), dir.Path("Data/BG/Sky.BMP"));
  EXPECT_TRUE(files.Exists("DATA/bg"));
  EXPECT_TRUE(files.Exists("data\\bg\\*.bmp"));
  EXPECT_FALSE(files.Exists("data\\bg\\*.png"));
  EXPECT_FALSE(files.Exists("data\\nosuch.bmp"));
  std::FILE* f = files.Open("DATA\\BG\\SKY.bmp", "rb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  EXPECT_EQ(files.Open("data\\bg", "rb"), nullptr);  // folders are not files
}

TEST(FileSystemTest, ShiftJisNamesFindTheirUtf8Spelling) {
  test::TempDir dir;
  dir.Write("背景/表.txt", "x");  // 表 ends in 0x5C in Shift-JIS
  FileSystem files;
  files.SetBase(dir.path());
  std::string sjis = Utf8ToSjis("背景\\表.txt");
  EXPECT_TRUE(files.Exists(sjis));
  EXPECT_EQ(files.Resolve(sjis), dir.Path("背景/表.txt"));
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

TEST(SjisConvertTest, RoundTripAndInvalidBytes) {
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis("フルスクリーン表示しますか？")), "フルスクリーン表示しますか？");
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");
  std::string out;
  EXPECT_FALSE(TrySjisToUtf8("\xFF\xFF", out));
}

}  // namespace
}  // namespace adv
