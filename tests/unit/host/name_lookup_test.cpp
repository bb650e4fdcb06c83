// FileSystem::Lookup: how a game's name reaches a file, so that names which work only through
// case folding or Shift-JIS conversion can be pointed out.
#include <gtest/gtest.h>

#include "host/file_system.h"
#include "host/sjis_convert.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

TEST(NameLookupTest, TellsHowEachNameIsFound) {
  test::TempDir dir;
  dir.Write("Data/bg/sky.bmp", "x");
  dir.Write("背景/表.bmp", "x");
  dir.Write("exact.txt", "x");
  FileSystem files;
  files.SetBase(dir.path());
  struct Case {
    std::string name;
    NameMatch match;
    std::string on_disk;
  };
  const Case cases[] = {
      {"exact.txt", NameMatch::kExact, "exact.txt"},
      {"Data\\bg\\sky.bmp", NameMatch::kExact, "Data/bg/sky.bmp"},
      {"data\\bg\\sky.bmp", NameMatch::kCaseFolded, "Data/bg/sky.bmp"},
      {"Data/BG/SKY.BMP", NameMatch::kCaseFolded, "Data/bg/sky.bmp"},
      {Utf8ToSjis("背景\\表.bmp"), NameMatch::kConverted, "背景/表.bmp"},
      {Utf8ToSjis("背景\\表.BMP"), NameMatch::kConverted, "背景/表.bmp"},
      {"背景/表.bmp", NameMatch::kExact, "背景/表.bmp"},
      {"data\\nosuch.bmp", NameMatch::kMissing, ""},
      {"nosuch\\sky.bmp", NameMatch::kMissing, ""},
      {"", NameMatch::kMissing, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const NameLookup found = files.Lookup(c.name);
    EXPECT_EQ(found.match, c.match);
    if (c.match != NameMatch::kMissing) {
      EXPECT_EQ(found.on_disk, c.on_disk);
    }
    // Lookup finds exactly what Resolve and Exists find.
    EXPECT_EQ(c.match != NameMatch::kMissing, files.Exists(c.name));
  }
}

}  // namespace
}  // namespace adv
