#include <gtest/gtest.h>

#include "base/messages.h"
#include "host/sjis_convert.h"
#include "support/message_texts.h"

namespace adv {
namespace {

// The escaped Shift-JIS bytes must say exactly the readable text they were made from.
TEST(MessagesTest, ShiftJisBytesSayTheirText) {
  for (const auto& [sjis, utf8] : test::kMessageTexts) {
    std::string converted;
    ASSERT_TRUE(TrySjisToUtf8(sjis, converted)) << utf8;
    EXPECT_EQ(converted, utf8);
  }
}

}  // namespace
}  // namespace adv
