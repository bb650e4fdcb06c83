#include <gtest/gtest.h>

#include "base/rect.h"

namespace adv {
namespace {

TEST(RectTest, UnionIgnoresEmptyRectangles) {
  Rect a{10, 10, 20, 20};
  EXPECT_EQ(UnionRect(Rect{}, a), a);
  EXPECT_EQ(UnionRect(a, Rect{5, 5, 5, 9}), a);
  EXPECT_EQ(UnionRect(a, Rect{0, 15, 12, 30}), (Rect{0, 10, 20, 30}));
}

}  // namespace
}  // namespace adv
