#include <gtest/gtest.h>

#include "app/command_line.h"
#include "host/headless/input_script.h"

namespace adv {
namespace {

bool Parse(std::vector<const char*> args, LaunchOptions& options) {
  args.insert(args.begin(), "adv");
  std::string error;
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(CommandLineTest, EveryOptionAndTheMistakes) {
  LaunchOptions o;
  ASSERT_TRUE(Parse(
      {"--headless", "--input", "in.txt", "--shot", "1500:a.png", "--shot=end:b.png", "--vars",
       "v.txt", "--seen", "s.txt", "--until", "9000", "--fullscreen", "--debug", "game"},
      o));
  EXPECT_TRUE(o.headless && o.debug);
  EXPECT_EQ(o.input_file, "in.txt");
  ASSERT_EQ(o.shots.size(), 2u);
  EXPECT_EQ(o.shots[0].ms, 1500u);
  EXPECT_EQ(o.shots[0].path, "a.png");
  EXPECT_FALSE(o.shots[1].ms.has_value());
  EXPECT_EQ(o.vars_file, "v.txt");
  EXPECT_EQ(o.seen_file, "s.txt");
  EXPECT_EQ(o.until, 9000u);
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

TEST(InputScriptTest, EventsInTimeOrderWithTheirParts) {
  std::vector<TimedEvent> events;
  std::string error;
  ASSERT_TRUE(
      ParseInputScript("# clicks\n200 click 10 20\r\n100 key enter\n\n300 keydown esc\n300 close\n"
                       "400 wheel down 3 4\n400 keyup pagedown\n",
                       events, error))
      << error;
  using Type = HostEvent::Type;
  std::vector<Type> types;
  for (const TimedEvent& e : events) types.push_back(e.event.type);
  EXPECT_EQ(types, (std::vector<Type>{Type::kKeyDown, Type::kKeyUp, Type::kMouseMove,
                                      Type::kMouseDown, Type::kMouseUp, Type::kKeyDown,
                                      Type::kClose, Type::kMouseMove, Type::kWheel, Type::kKeyUp}));
  EXPECT_EQ(events[0].ms, 100u);
  EXPECT_EQ(events[3].event.x, 10);
  EXPECT_EQ(events[5].event.key, HostKey::kEscape);
  EXPECT_EQ(events[8].event.wheel, -1);
  EXPECT_EQ(events[9].event.key, HostKey::kPageDown);
  for (const char* bad :
       {"x click 1 2\n", "1 down middle 1 2\n", "1 key f5\n", "1 wheel left 1 2\n"}) {
    EXPECT_FALSE(ParseInputScript(bad, events, error)) << bad;
  }
  EXPECT_FALSE(ParseInputScript("10 click 1 2\n20 clack 1 2\n", events, error));
  EXPECT_EQ(error.substr(0, 2), "2:");
}

}  // namespace
}  // namespace adv
