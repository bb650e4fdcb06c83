#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>

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

TEST(RandomGeneratorTest, MatchesTheStandardTwistAndTemperingAndSeedsItselfWith4357) {
  for (std::uint32_t seed : {0u, 1u, 4357u, 0xDEADBEEFu}) {
    RandomGenerator generator;
    generator.Seed(seed);
    std::mt19937 reference = ReferenceSeededWith(seed);
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(generator.Next(), reference()) << seed << " " << i;
  }
  RandomGenerator unseeded;  // seeds itself with 4357
  std::mt19937 reference = ReferenceSeededWith(4357);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(unseeded.Next(), reference());
}

// Bounds given either way round; the widest range neither overflows nor loses a sign.
TEST(RandomCommandTest, EverySideOfADieComesUpAndStringsTakeTheNumber) {
  test::TestEngine t;
  t.RunConfig(".int d\n.str s\n");
  std::set<int> seen, signs;
  for (int i = 0; i < 200; ++i) {
    t.Execute(i % 2 ? ".rnd d x 1 y 6" : ".rnd d x 6 y 1");
    seen.insert(t.Int("d"));
    t.Execute(".rnd d = -2147483648 to 2147483647");
    signs.insert(t.Int("d") < 0);
  }
  EXPECT_EQ(seen, (std::set<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(signs.size(), 2u);
  t.Execute(".rnd s = 5 to 5");
  EXPECT_EQ(t.String("s"), "5");
  EXPECT_TRUE(t.boxes().empty());
}

// Headless runs begin on Saturday, 1 January 2000, and follow the virtual clock.
TEST(NowCommandTest, FieldsOfTheVirtualClock) {
  test::TestEngine t;
  t.RunConfig(".int v\n.str m\n");
  t.host.Sleep(30u * 86400000u + 86399999u);
  const std::pair<const char*, int> fields[] = {
      {"year", 2000}, {"month", 1},         {"day", 31},
      {"weekday", 1}, {"hour", 23},         {"minute", 59},
      {"second", 59}, {"millisecond", 999}, {"systemtime", static_cast<int>(2678399999u)},
      {"hours", 0}};
  for (const auto& [field, value] : fields) {
    t.Execute(std::string(".now v = ") + field);
    EXPECT_EQ(t.Int("v"), value) << field;
  }
  t.host.Sleep(1);  // into February, a Tuesday
  t.Execute(".now m = month");
  EXPECT_EQ(t.String("m"), "2");
  t.Execute(".now v = weekday");
  EXPECT_EQ(t.Int("v"), 2);
  EXPECT_TRUE(t.boxes().empty());
}

}  // namespace
}  // namespace adv
