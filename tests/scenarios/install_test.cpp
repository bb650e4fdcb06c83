// make package's files installed, and the installed programs running.
#include <gtest/gtest.h>

#include <filesystem>

#include "support/run_adv.h"
#include "support/temp_dir.h"

namespace adv::test {
namespace {

// The .deb names what adv needs at run time, holds what make install puts in place, installs
// with dpkg into a scratch root, and the programs it installed run: adv plays the demo.
TEST(InstallScenario, DebianPackageInstallsAndPlays) {
  TempDir out, root;
  const std::string cpack = std::filesystem::path(ADV_CMAKE).replace_filename("cpack").string();
  RunResult pack =
      RunProgram(cpack, {"--config", ADV_BINARY_DIR "/CPackConfig.cmake", "-B", out.path()});
  ASSERT_EQ(pack.status, 0) << pack.out << pack.err;
  std::string deb;
  for (const auto& entry : std::filesystem::directory_iterator(out.path())) {
    if (entry.path().extension() == ".deb") deb = entry.path().string();
  }
  ASSERT_FALSE(deb.empty()) << pack.out;
  const RunResult info = RunProgram("/usr/bin/dpkg-deb", {"-f", deb, "Depends"});
  for (const char* needed :
       {"libsdl2-2", "libsdl2-image", "libfreetype", "fontconfig", "fonts-ipafont-gothic",
        "fonts-ipafont-mincho", "libfluidsynth", "libavcodec", "libavformat", "libswscale",
        "libswresample", "fluid-soundfont-gm"}) {
    EXPECT_NE(info.out.find(needed), std::string::npos) << needed << " in " << info.out;
  }
  for (const char* dir : {"var/lib/dpkg/info", "var/lib/dpkg/updates"}) {
    std::filesystem::create_directories(root.Path(dir));
  }
  root.Write("var/lib/dpkg/status", "");
  const RunResult install =
      RunProgram("/usr/bin/dpkg", {"--root=" + root.path(), "--force-depends", "--force-not-root",
                                   "--force-script-chrootless", "--log=/dev/null", "-i", deb});
  ASSERT_EQ(install.status, 0) << install.out << install.err;
  for (const char* file :
       {"usr/bin/adv", "usr/bin/adv-dpa", "usr/lib/adv/libadv-codecs.so",
        "usr/share/man/man1/adv.1", "usr/share/applications/adv.desktop",
        "usr/share/icons/hicolor/scalable/apps/adv.svg", "usr/share/metainfo/adv.metainfo.xml"}) {
    EXPECT_TRUE(root.Exists(file)) << file;
  }
  const RunResult version = RunProgram(root.Path("usr/bin/adv"), {"--version"});
  EXPECT_EQ(version.out.rfind("adv ", 0), 0u) << version.out << version.err;
  const RunResult help = RunProgram(root.Path("usr/bin/adv-dpa"), {"--help"});
  EXPECT_NE(help.out.find("usage: adv-dpa pack"), std::string::npos) << help.out << help.err;
  const std::string demo_dir = ScenarioDir("../../demo");
  const RunResult demo = RunProgram(
      root.Path("usr/bin/adv"),
      {"--headless", "--input", demo_dir + "/click-through.txt", "--until", "3000", demo_dir});
  EXPECT_EQ(demo.status, 0) << demo.err;
  EXPECT_NE(demo.err.find("end at 3000 ms"), std::string::npos) << demo.err;
}

// Without the codecs module beside it a game still plays, silently, and says so once.
TEST(InstallScenario, WithoutTheCodecsModuleTheGamePlaysSilently) {
  TempDir bin;
  std::filesystem::copy_file(ADV_BINARY, bin.Path("adv"));
  std::filesystem::permissions(bin.Path("adv"), std::filesystem::perms::owner_all);
  TempDir game;
  game.Write("data/start.txt", ".wav se 0\n.mid nothere 1\n.wat 100\n.end\n");
  game.Write("data/se.wav", "RIFF");  // a file, so that the codecs are asked for
  RunResult r = RunProgram(bin.Path("adv"), {"--headless", "--debug", game.path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("libadv-codecs.so cannot be loaded"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("end at 10"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace adv::test
