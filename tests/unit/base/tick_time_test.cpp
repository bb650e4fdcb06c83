#include <gtest/gtest.h>

#include "base/tick_time.h"

namespace adv {
namespace {

TEST(TickTimeTest, ComparesAcrossTheWrap) {
  struct Row {
    std::uint32_t now, t;
    std::int32_t diff;
    bool reached;
    std::uint32_t until;
  };
  const Row rows[] = {
      {1000, 1000, 0, true, 0},
      {999, 1000, -1, false, 1},
      {1010, 1000, 10, true, 0},
      // t just past the wrap, the clock just before it: 15 ms to go, not long overdue.
      {0xFFFFFFF6u, 5, -15, false, 15},
      {5, 0xFFFFFFF6u, 15, true, 0},
      // A time almost half the clock ahead is still ahead.
      {0, 0x7FFFFFFFu, -0x7FFFFFFF, false, 0x7FFFFFFFu},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.now << " vs " << r.t);
    EXPECT_EQ(TickDiff(r.now, r.t), r.diff);
    EXPECT_EQ(TickReached(r.now, r.t), r.reached);
    EXPECT_EQ(TicksUntil(r.now, r.t), r.until);
  }
}

}  // namespace
}  // namespace adv
