#include <gtest/gtest.h>

#include "host/file_system.h"
#include "host/sjis_convert.h"
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

TEST(SjisConvertTest, RoundTripAndInvalidBytes) {
  EXPECT_EQ(SjisToUtf8(Utf8ToSjis("フルスクリーン表示しますか？")), "フルスクリーン表示しますか？");
  EXPECT_EQ(SjisToUtf8("a\x82"), "a\xEF\xBF\xBD");
  std::string out;
  EXPECT_FALSE(TrySjisToUtf8("\xFF\xFF", out));
}

}  // namespace
}  // namespace adv
