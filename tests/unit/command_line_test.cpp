#include <gtest/gtest.h>

#include "app/command_line.h"
#include "host/headless/input_script.h"

namespace adv {
namespace {

bool Parse(std::vector<const char*> args, LaunchOptions& options, std::string& error) {
  args.insert(args.begin(), "adv");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(CommandLineTest, EveryOption) {
  LaunchOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"--headless", "--input", "in.txt", "--shot", "1500:a.png", "--shot=end:b.png",
                     "--vars", "v.txt", "--until", "9000", "--fullscreen", "--debug", "game"},
                    o, error))
      << error;
  EXPECT_TRUE(o.headless && o.debug);
  EXPECT_EQ(o.input_file, "in.txt");
  ASSERT_EQ(o.shots.size(), 2u);
  EXPECT_EQ(o.shots[0].ms, 1500u);
  EXPECT_EQ(o.shots[0].path, "a.png");
  EXPECT_FALSE(o.shots[1].ms.has_value());
  EXPECT_EQ(o.vars_file, "v.txt");
  EXPECT_EQ(o.until, 9000u);
  EXPECT_EQ(o.display, DisplayMode::kFullScreen);
  EXPECT_EQ(o.game_dir, "game");
}

TEST(CommandLineTest, MistakesAreReported) {
  std::string error;
  for (std::vector<const char*> args :
       std::vector<std::vector<const char*>>{{"--shot", "a.png"},
                                             {"--until", "soon"},
                                             {"--input"},
                                             {"--bogus"},
                                             {"a", "b"},
                                             {"--shot", "-5:a.png"}}) {
    LaunchOptions o;
    EXPECT_FALSE(Parse(args, o, error)) << args[0];
  }
}

TEST(InputScriptTest, EventsInTimeOrderWithTheirParts) {
  std::vector<TimedEvent> events;
  std::string error;
  ASSERT_TRUE(
      ParseInputScript("# clicks\n200 click 10 20\r\n100 key enter\n\n300 keydown esc\n"
                       "300 close\n",
                       events, error))
      << error;
  ASSERT_EQ(events.size(), 7u);
  EXPECT_EQ(events[0].ms, 100u);
  EXPECT_EQ(events[0].event.type, HostEvent::Type::kKeyDown);
  EXPECT_EQ(events[1].event.type, HostEvent::Type::kKeyUp);
  EXPECT_EQ(events[2].event.type, HostEvent::Type::kMouseMove);
  EXPECT_EQ(events[3].event.type, HostEvent::Type::kMouseDown);
  EXPECT_EQ(events[3].event.x, 10);
  EXPECT_EQ(events[4].event.type, HostEvent::Type::kMouseUp);
  EXPECT_EQ(events[5].event.key, HostKey::kEscape);
  EXPECT_EQ(events[6].event.type, HostEvent::Type::kClose);
}

TEST(InputScriptTest, BadLinesNameTheirNumber) {
  std::vector<TimedEvent> events;
  std::string error;
  EXPECT_FALSE(ParseInputScript("10 click 1 2\n20 clack 1 2\n", events, error));
  EXPECT_EQ(error.substr(0, 2), "2:");
  EXPECT_FALSE(ParseInputScript("x click 1 2\n", events, error));
  EXPECT_FALSE(ParseInputScript("1 down middle 1 2\n", events, error));
  EXPECT_FALSE(ParseInputScript("1 key f5\n", events, error));
}

}  // namespace
}  // namespace adv
