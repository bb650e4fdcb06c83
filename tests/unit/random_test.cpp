#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

#include "engine/commands/clock_commands.h"
#include "engine/random_generator.h"
#include "support/test_engine.h"

namespace adv {
namespace {

// The 1998 seeding, written out from its description: each state word takes the upper halves of
// two successive values of x <- 69069 x + 1.
std::mt19937 ReferenceSeededWith(std::uint32_t seed) {
  std::ostringstream state;
  std::uint32_t x = seed;
  for (int i = 0; i < 624; ++i) {
    std::uint32_t hi = x & 0xFFFF0000u;
    x = x * 69069u + 1u;
    std::uint32_t lo = (x & 0xFFFF0000u) >> 16;
    x = x * 69069u + 1u;
    state << (hi | lo) << ' ';
  }
  state << 624;  // libstdc++ reads the position after the words
  std::mt19937 reference;
  std::istringstream in(state.str());
  in >> reference;
  return reference;
}

TEST(RandomGeneratorTest, MatchesTheStandardTwistAndTempering) {
  for (std::uint32_t seed : {0u, 1u, 4357u, 0xDEADBEEFu}) {
    RandomGenerator generator;
    generator.Seed(seed);
    std::mt19937 reference = ReferenceSeededWith(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(generator.Next(), reference()) << seed << " " << i;
  }
}

TEST(RandomGeneratorTest, UnseededGeneratorSeedsItselfWith4357) {
  RandomGenerator unseeded;
  RandomGenerator seeded;
  seeded.Seed(4357);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(unseeded.Next(), seeded.Next());
}

TEST(RandomInRangeTest, StaysWithinTheBounds) {
  EXPECT_EQ(RandomInRange(12345, 5, 5), 5);
  EXPECT_EQ(RandomInRange(7, 1, 6), 1 + 7 % 6);
  EXPECT_EQ(RandomInRange(0xFFFFFFFFu, -3, 3), -3 + static_cast<int>(0xFFFFFFFFu % 7));
  // Reversed bounds are exchanged; the whole range takes r itself.
  EXPECT_EQ(RandomInRange(7, 6, 1), 1 + 7 % 6);
  EXPECT_EQ(RandomInRange(0x80000000u, INT32_MIN, INT32_MAX), 0);
}

TEST(RandomCommandTest, EverySideOfADieComesUp) {
  test::TestEngine t;
  t.RunConfig(".int d lo hi\n.str s\n");
  t.engine.random.Seed(1);
  std::set<int> seen;
  for (int i = 0; i < 200; ++i) {
    t.Execute(".rnd d x 1 y 6");
    seen.insert(t.Int("d"));
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6}));
  t.engine.script.vars.ints["lo"] = 10;
  t.engine.script.vars.ints["hi"] = 20;
  t.Execute(".rnd d = lo to hi");
  EXPECT_GE(t.Int("d"), 10);
  EXPECT_LE(t.Int("d"), 20);
  t.Execute(".rnd s = 5 to 5");
  EXPECT_EQ(t.String("s"), "5");
  EXPECT_TRUE(t.boxes().empty());
}

TEST(NowCommandTest, FieldsOfTheVirtualClock) {
  test::TestEngine t;
  t.RunConfig(".int y w h ms st x\n.str m\n");
  // Headless runs begin on Saturday, 1 January 2000; move on by a day, 1 h, 2 min, 3.5 s.
  t.host.Sleep(86400000 + 3600000 + 120000 + 3500);
  t.Execute(".now y = year");
  t.Execute(".now w = weekday");
  t.Execute(".now h = hour");
  t.Execute(".now m = minute");
  t.Execute(".now ms = millisecond");
  t.Execute(".now st = systemtime");
  t.Execute(".now x = hours");
  EXPECT_EQ(t.Int("y"), 2000);
  EXPECT_EQ(t.Int("w"), 0);
  EXPECT_EQ(t.Int("h"), 1);
  EXPECT_EQ(t.String("m"), "2");
  EXPECT_EQ(t.Int("ms"), 500);
  EXPECT_EQ(t.Int("st"), 86400000 + 3600000 + 120000 + 3500);
  EXPECT_EQ(t.Int("x"), 0);
  EXPECT_TRUE(t.boxes().empty());
}

TEST(LocalTimeTest, HeadlessCalendarCrossesMonths) {
  HeadlessHost host;
  host.Sleep(30u * 86400000u + 86399999u);
  LocalTime t = host.GetLocalTime();
  EXPECT_EQ(t.month, 1);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.hour, 23);
  EXPECT_EQ(t.millisecond, 999);
  host.Sleep(1);
  t = host.GetLocalTime();
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(t.weekday, 2);  // 1 February 2000 was a Tuesday
}

}  // namespace
}  // namespace adv
