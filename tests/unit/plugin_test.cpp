#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/path_text.h"
#include "graphics/picture_loader.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// The test plug-ins' format: "TST1", width, height, RGB triplets top row first.
std::string MakeTst(int width, int height, const std::string& rgb, std::size_t pad_to = 0) {
  std::string s = "TST1";
  Put32(s, static_cast<std::uint32_t>(width));
  Put32(s, static_cast<std::uint32_t>(height));
  s += rgb;
  if (s.size() < pad_to) s.resize(pad_to, '\x01');
  return s;
}

class PluginTest : public ::testing::Test {
 protected:
  PluginTest() { files_.SetBase(dir_.path()); }

  // Copies built plug-ins into the plug-in folder under the given names.
  void Install(const char* built, const std::string& as) {
    std::filesystem::create_directories(dir_.Path("spi"));
    std::filesystem::copy_file(built, dir_.Path("spi/" + as));
  }

  test::TempDir dir_;
  FileSystem files_;
  LoadContext context_{files_, nullptr, "spi"};
  CDrawImage surface_;
};

// 2 x 2: red, green / blue, (10, 20, 30).
const std::string kRgb("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x0A\x14\x1E", 12);

TEST_F(PluginTest, FirstPluginThatAcceptsDecodes) {
  dir_.Write("a.tst", MakeTst(2, 2, kRgb));
  EXPECT_FALSE(LoadSusie(surface_, "a.tst", context_));  // no plug-ins at all

  Install(ADV_TEST_PLUGIN_REFUSE, "a_refuse.spi");
  EXPECT_FALSE(LoadSusie(surface_, "a.tst", context_));
  Install(ADV_TEST_PLUGIN_NORMAL, "b_normal.SPI");
  dir_.Write("spi/c_not_a_library.spi", "junk");
  ASSERT_TRUE(LoadPicture(surface_, "a.tst", context_));
  ASSERT_EQ(surface_.Width(), 2);
  ASSERT_EQ(surface_.Height(), 2);
  EXPECT_EQ(surface_.GetPixel(0, 0), 0x7C00);
  EXPECT_EQ(surface_.GetPixel(1, 0), 0x03E0);
  EXPECT_EQ(surface_.GetPixel(0, 1), 0x001F);
  EXPECT_EQ(surface_.GetPixel(1, 1), (1 << 10) | (2 << 5) | 3);
}

TEST_F(PluginTest, FolderOrderDecidesBetweenTwoThatAccept) {
  dir_.Write("a.tst", MakeTst(2, 2, kRgb));
  Install(ADV_TEST_PLUGIN_NORMAL, "normal.spi");
  Install(ADV_TEST_PLUGIN_SWAPPED, "swapped.spi");
  ASSERT_TRUE(LoadSusie(surface_, "a.tst", context_));
  // The swapped plug-in exchanges red and blue.
  const bool swapped_first = files_.List("spi", "*.spi").front() == "swapped.spi";
  EXPECT_EQ(surface_.GetPixel(0, 0), swapped_first ? 0x001F : 0x7C00);
  EXPECT_EQ(surface_.GetPixel(1, 1),
            swapped_first ? (3 << 10) | (2 << 5) | 1 : (1 << 10) | (2 << 5) | 3);
}

TEST_F(PluginTest, AcceptingPluginWithoutGetPictureEndsTheSearch) {
  dir_.Write("a.tst", MakeTst(2, 2, kRgb));
  Install(ADV_TEST_PLUGIN_NO_GET_PICTURE, "broken.spi");
  EXPECT_FALSE(LoadSusie(surface_, "a.tst", context_));
  // With a working one beside it, the outcome depends on which the folder lists first.
  Install(ADV_TEST_PLUGIN_NORMAL, "normal.spi");
  const bool broken_first = files_.List("spi", "*.spi").front() == "broken.spi";
  EXPECT_EQ(LoadSusie(surface_, "a.tst", context_), !broken_first);
}

TEST_F(PluginTest, ShortFilesComeWithTwoKilobytesOfZeros) {
  // 100 bytes: a 4 x 7 picture (96 bytes) and 4 bytes more. The plug-in refuses unless the 2048
  // bytes after the file are readable zeros (reading past the buffer would stop the test).
  std::string rgb;
  for (int i = 0; i < 28; ++i)
    rgb += {static_cast<char>(i * 9), static_cast<char>(255 - i), '\x80'};
  std::string file = MakeTst(4, 7, rgb, 100);
  ASSERT_EQ(file.size(), 100u);
  dir_.Write("s.tst", file);
  Install(ADV_TEST_PLUGIN_NORMAL, "normal.spi");
  ASSERT_TRUE(LoadSusie(surface_, "s.tst", context_));
  EXPECT_EQ(surface_.GetPixel(3, 6), ((27 * 9) >> 3 << 10) | ((255 - 27) >> 3 << 5) | 16);

  // A file of exactly 2048 bytes gets no extra zeros, and needs none.
  dir_.Write("l.tst", MakeTst(4, 7, rgb, 2048));
  EXPECT_TRUE(LoadSusie(surface_, "l.tst", context_));
}

TEST(PluginFolder, FromSettingAndExecutable) {
  EXPECT_EQ(PluginFolderFromSetting("\\plugin", "C:\\game"), "C:\\game\\plugin");
  EXPECT_EQ(PluginFolderFromSetting("D:\\spi\\", "C:\\game"), "D:\\spi");
  EXPECT_EQ(PluginFolderFromSetting("", "/opt/game"), "/opt/game");
  EXPECT_EQ(PluginFolderFromSetting("/usr/lib/spi/", "/opt/game"), "/usr/lib/spi");
  EXPECT_EQ(PluginFolderFromSetting("\\spi\\", "/opt/game"), "/opt/game\\spi");
  // A trailing second byte 0x5C belongs to its character.
  EXPECT_EQ(PluginFolderFromSetting("\\\x95\\", "/g"), "/g\\\x95\\");
  EXPECT_EQ(ExecutableFolderOf("C:\\game\\adv.exe"), "C:\\game");
  EXPECT_EQ(ExecutableFolderOf("/opt/game/adv"), "/opt/game");
  EXPECT_EQ(ExecutableFolderOf("C:adv.exe"), "C:");
}

}  // namespace
}  // namespace adv
