#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/startup.h"
#include "base/path_text.h"
#include "graphics/picture_loader.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// The test plug-ins' format: "TST1", width, height, RGB triplets top row first.
std::string Tst(int width, int height, const std::string& rgb, std::size_t pad_to = 0) {
  std::string s = "TST1";
  test::PutLe(s, width);
  test::PutLe(s, height);
  s += rgb;
  if (s.size() < pad_to) s.resize(pad_to, '\x01');
  return s;
}

// 2 x 2: red, green / blue, (10, 20, 30); and as the swapped plug-in reads it.
const std::string kRgb("\xFF\x00\x00\x00\xFF\x00\x00\x00\xFF\x0A\x14\x1E", 12);
const std::vector<Pixel> kPixels = {0x7C00, 0x03E0, 0x001F, 1 << 10 | 2 << 5 | 3};
const std::vector<Pixel> kSwapped = {0x001F, 0x03E0, 0x7C00, 3 << 10 | 2 << 5 | 1};

class PluginTest : public ::testing::Test {
 protected:
  PluginTest() {
    files_.SetBase(dir_.path());
    dir_.Write("a.tst", Tst(2, 2, kRgb));
  }

  // Copies a built plug-in into a plug-in folder under the given name.
  void Install(const char* built, const std::string& as) {
    std::filesystem::create_directories(std::filesystem::path(dir_.Path(as)).parent_path());
    std::filesystem::copy_file(built, dir_.Path(as));
  }
  // Loads a.tst with the plug-ins of a folder: its pixels row by row, or nothing if refused.
  std::vector<Pixel> Load(const std::string& folder) {
    if (!LoadSusie(surface_, "a.tst", LoadContext{files_, nullptr, dir_.Path(folder)})) return {};
    std::vector<Pixel> pixels;
    for (int y = 0; y < surface_.Height(); ++y) {
      for (int x = 0; x < surface_.Width(); ++x) pixels.push_back(surface_.GetPixel(x, y));
    }
    return pixels;
  }
  bool ListedFirst(const std::string& folder, const std::string& name) const {
    return files_.List(folder, "*.spi").front() == name;
  }

  test::TempDir dir_;
  FileSystem files_;
  CDrawImage surface_;
};

TEST_F(PluginTest, FirstPluginThatAcceptsDecodes) {
  EXPECT_TRUE(Load("spi").empty());  // no plug-ins at all
  Install(ADV_TEST_PLUGIN_REFUSE, "spi/a_refuse.spi");
  EXPECT_TRUE(Load("spi").empty());
  Install(ADV_TEST_PLUGIN_NORMAL, "spi/b_normal.SPI");
  dir_.Write("spi/c_not_a_library.spi", "junk");
  EXPECT_EQ(Load("spi"), kPixels);
  EXPECT_TRUE(LoadPicture(surface_, "a.tst", LoadContext{files_, nullptr, dir_.Path("spi")}));
}

// Plug-ins are programs: a game's own (in its folder, or where its SPIPath points) load only
// from inside a folder the player trusts; otherwise the trusted folder's do.
TEST_F(PluginTest, OnlyFoldersThePlayerTrustsLoad) {
  Install(ADV_TEST_PLUGIN_NORMAL, "game/normal.spi");
  Install(ADV_TEST_PLUGIN_NORMAL, "trusted/spi/normal.spi");
  // A relative GAMEDIR is taken from the current directory, as every other path of it is.
  const std::string game = std::filesystem::relative(dir_.Path("game")).string();
  GameLocation where{game + "/adv.ini", game};
  Settings settings;
  testing::internal::CaptureStderr();
  EXPECT_EQ(ChoosePluginFolder(where, settings, {}), "");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("--plugins " + dir_.Path("game")),
            std::string::npos);
  struct Case {
    std::string spi_path;
    std::vector<std::string> trusted;
    std::string chosen;
  };
  const Case cases[] = {
      {dir_.Path("trusted/spi"), {}, ""},
      {dir_.Path("trusted/spi"), {dir_.Path("trusted")}, dir_.Path("trusted/spi")},
      {"\\..\\Trusted\\SPI", {dir_.Path("trusted")}, dir_.Path("trusted/spi")},
      {"", {dir_.Path("trusted")}, dir_.Path("trusted")},
      {"/usr/lib", {dir_.Path("trusted")}, dir_.Path("trusted")},
      {"", {dir_.Path("game")}, dir_.Path("game")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.spi_path);
    settings.spi_path = c.spi_path;
    EXPECT_EQ(ChoosePluginFolder(where, settings, c.trusted), c.chosen);
  }
}

// Of two plug-ins that accept a file, the one the folder lists first decides, even one that
// cannot decode.
TEST_F(PluginTest, FolderOrderDecidesBetweenTwoThatAccept) {
  Install(ADV_TEST_PLUGIN_NORMAL, "one/normal.spi");
  Install(ADV_TEST_PLUGIN_SWAPPED, "one/swapped.spi");
  EXPECT_EQ(Load("one"), ListedFirst("one", "swapped.spi") ? kSwapped : kPixels);
  Install(ADV_TEST_PLUGIN_NO_GET_PICTURE, "two/broken.spi");
  EXPECT_TRUE(Load("two").empty());
  Install(ADV_TEST_PLUGIN_NORMAL, "two/normal.spi");
  EXPECT_EQ(Load("two").empty(), ListedFirst("two", "broken.spi"));
}

TEST_F(PluginTest, ShortFilesComeWithTwoKilobytesOfZeros) {
  // 100 bytes: a 4 x 7 picture (96 bytes) and 4 bytes more. The plug-in refuses unless the 2048
  // bytes after the file are readable zeros (reading past the buffer would stop the test).
  std::string rgb;
  for (int i = 0; i < 28; ++i)
    rgb += {static_cast<char>(i * 9), static_cast<char>(255 - i), '\x80'};
  Install(ADV_TEST_PLUGIN_NORMAL, "spi/normal.spi");
  dir_.Write("a.tst", Tst(4, 7, rgb, 100));
  const std::vector<Pixel> pixels = Load("spi");
  ASSERT_EQ(pixels.size(), 28u);
  EXPECT_EQ(pixels[27], (27 * 9) >> 3 << 10 | (255 - 27) >> 3 << 5 | 16);
  // A file of exactly 2048 bytes gets no extra zeros, and needs none.
  dir_.Write("a.tst", Tst(4, 7, rgb, 2048));
  EXPECT_EQ(Load("spi"), pixels);
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
