// The checker knows exactly the engine's commands, in the engine's order: a command added to the
// engine without a check would be reported as unknown by adv --check.
#include <gtest/gtest.h>

#include "check/command_checks.h"
#include "engine/command_table.h"

namespace adv {
namespace {

TEST(CheckCommandsTest, OneCheckForEveryCommandOfTheEngine) {
  const auto engine = CommandTable();
  const auto checks = CommandChecks();
  ASSERT_EQ(checks.size(), engine.size());
  for (std::size_t i = 0; i < engine.size(); ++i) {
    EXPECT_EQ(checks[i].name, engine[i].name);
    EXPECT_NE(checks[i].check, nullptr) << checks[i].name;
    EXPECT_EQ(FindCommandCheck(engine[i].name), &checks[i]);
  }
  EXPECT_EQ(FindCommandCheck(".WAT"), nullptr);
  EXPECT_EQ(FindCommandCheck("."), nullptr);
}

}  // namespace
}  // namespace adv
