#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/command_line.h"
#include "app/settings.h"
#include "app/startup.h"
#include "host/headless/input_script.h"
#include "support/test_engine.h"

namespace adv {
namespace {

TEST(SettingsTest, KeysMatchWithoutCaseDefaultsStayAndLongLinesReadWhole) {
  test::TempDir dir;
  dir.Write("adv.ini",
            "[SETTINGS]\nstyle=fullscreen\nSpiPath = \"plug ins\"\nStyle=Window\n"
            "MusicVolume=150\nSoundVolume=-3\nAutoDelay=lots\n"
            "[scenario]\nEXTENSION=.scn\n");
  Settings s;
  ReadSettingsFile(dir.Path("adv.ini"), s);
  EXPECT_EQ(s.style, "fullscreen");  // the first occurrence counts
  EXPECT_EQ(s.spi_path, "plug ins");
  EXPECT_EQ(s.extension, ".scn");
  EXPECT_EQ(s.scenario_path, "\\data");
  // Volumes are brought into 0 to 100; a value that is no number keeps the default.
  EXPECT_EQ(s.music_volume, 100);
  EXPECT_EQ(s.sound_volume, 0);
  EXPECT_EQ(s.auto_delay, 60);
  EXPECT_EQ(s.dialog_text,
            "\x83t\x83\x8B\x83X\x83N\x83\x8A\x81[\x83\x93\x95\\\x8E\xA6\x82\xB5\x82"
            "\xDC\x82\xB7\x82\xA9\x81H");
  Settings missing;
  ReadSettingsFile(dir.Path("nosuch.ini"), missing);
  EXPECT_EQ(missing.style, "Window");
  // A FIFO is not read (nor waited on): the defaults stay.
  ASSERT_EQ(::mkfifo(dir.Path("fifo.ini").c_str(), 0600), 0);
  ReadSettingsFile(dir.Path("fifo.ini"), missing);
  EXPECT_EQ(missing.style, "Window");
  // Lines of any length are read whole; values are cut at 255 bytes.
  const std::string x(300, 'x');
  // 199 bytes, then what would read as a line of its own if the line were cut there.
  const std::string extension = "." + x.substr(0, 188) + "Path=\\elsewhere";
  dir.Write("adv.ini", "[Scenario]\nExtension=" + extension + "\n[Settings]\nStyle=" + x +
                           "\nSPIPath = \"" + x + "\"\n");
  s = Settings{};
  ReadSettingsFile(dir.Path("adv.ini"), s);
  EXPECT_EQ(s.extension, extension);
  EXPECT_EQ(s.scenario_path, "\\data");
  EXPECT_EQ(s.style, x.substr(0, 255));
  EXPECT_EQ(s.spi_path, x.substr(0, 255));
}

TEST(SettingsTest, StyleValues) {
  EXPECT_EQ(ParseStyle("FULLSCREEN"), StyleChoice::kFullScreen);
  EXPECT_EQ(ParseStyle("Full Screen"), StyleChoice::kWindow);
  EXPECT_EQ(ParseStyle("user"), StyleChoice::kUser);
  EXPECT_EQ(ParseStyle("anything"), StyleChoice::kWindow);
}

TEST(SettingsTest, PathsBesideTheExecutable) {
  EXPECT_EQ(SettingsPathForExecutable("/opt/game/adv"), "/opt/game/adv.ini");
  EXPECT_EQ(SettingsPathForExecutable("/home/u/.local/bin/adv.exe"), "/home/u/.local/bin/adv.ini");
  EXPECT_EQ(SettingsPathForExecutable("C:\\game\\adv.exe"), "C:\\game\\adv.ini");
  EXPECT_EQ(ScenarioFolder("\\data", "/opt/game"), "/opt/game\\data");
  EXPECT_EQ(ScenarioFolder("data", "/opt/game"), "/opt/gamedata");
  EXPECT_EQ(ScenarioFolder("", "/opt/game"), "/opt/game");
  EXPECT_EQ(ScenarioFolder("D:\\x", "/opt/game"), "D:\\x");
  EXPECT_EQ(ScenarioFolder("/srv/x", "/opt/game"), "/srv/x");
}

TEST(SettingsTest, UserStyleAsksAndOverridesSkipTheQuestion) {
  test::TestEngine t;
  t.dir.Write("adv.ini", "[Settings]\nStyle=User\n[Scenario]\nPath=\\Data\n");
  t.dir.Write("data/start.txt", "");
  GameLocation where{t.dir.Path("adv.ini"), t.dir.path()};
  ApplySettings(t.app, where, std::nullopt);
  ASSERT_EQ(t.boxes().size(), 1u);
  EXPECT_EQ(t.boxes()[0], "フルスクリーン表示しますか？");
  EXPECT_EQ(t.app.display_mode, DisplayMode::kWindowed);  // headless answers No
  // "\Data" found the folder "data" without regard to case.
  EXPECT_EQ(t.engine.files.Base(), t.dir.Path("data"));
  ApplySettings(t.app, where, DisplayMode::kFullScreen);
  EXPECT_EQ(t.boxes().size(), 1u);
  EXPECT_EQ(t.app.display_mode, DisplayMode::kFullScreen);
  // A scenario folder outside the game's folder finds nothing, not even its start script.
  t.dir.Write("game/adv.ini", "[Scenario]\nPath=" + t.dir.Path("data") + "\n");
  ApplySettings(t.app, {t.dir.Path("game/adv.ini"), t.dir.Path("game")}, DisplayMode::kWindowed);
  EXPECT_EQ(t.engine.files.Base(), t.dir.Path("data"));
  EXPECT_FALSE(t.engine.files.Exists("start.txt"));
}

bool Parse(std::vector<const char*> args, LaunchOptions& options) {
  args.insert(args.begin(), "adv");
  std::string error;
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
}

// The options the scenario runs take are played there; these are the rest.
TEST(CommandLineTest, FullScreenShotWithEqualsAndTheMistakes) {
  LaunchOptions o;
  ASSERT_TRUE(Parse({"--shot=end:b.png", "--fullscreen", "game"}, o));
  ASSERT_EQ(o.shots.size(), 1u);
  EXPECT_FALSE(o.shots[0].ms.has_value());
  EXPECT_EQ(o.shots[0].path, "b.png");
  EXPECT_EQ(o.display, DisplayMode::kFullScreen);
  EXPECT_EQ(o.game_dir, "game");
  for (std::vector<const char*> args :
       std::vector<std::vector<const char*>>{{"--shot", "a.png"},
                                             {"--until", "soon"},
                                             {"--input"},
                                             {"--bogus"},
                                             {"a", "b"},
                                             {"--shot", "-5:a.png"}}) {
    EXPECT_FALSE(Parse(args, o)) << args[0];
  }
}

// What each event word makes is played by the scenarios' input files.
TEST(InputScriptTest, EventsInTimeOrderAndTheMistakes) {
  std::vector<TimedEvent> events;
  std::string error;
  ASSERT_TRUE(ParseInputScript("# clicks\n200 close\r\n100 key enter\n\n", events, error)) << error;
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].ms, 100u);
  EXPECT_EQ(events[2].event.type, HostEvent::Type::kClose);
  for (const char* bad :
       {"x click 1 2\n", "1 down middle 1 2\n", "1 key f5\n", "1 wheel left 1 2\n"}) {
    EXPECT_FALSE(ParseInputScript(bad, events, error)) << bad;
  }
  EXPECT_FALSE(ParseInputScript("10 click 1 2\n20 clack 1 2\n", events, error));
  EXPECT_EQ(error.substr(0, 2), "2:");
}

}  // namespace
}  // namespace adv
