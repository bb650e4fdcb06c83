#include "graphics/lz77.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace adv {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A token stream written by hand: literals and back-references (w values) in order.
struct Stream {
  Bytes flags;
  Bytes data;
  std::size_t tokens = 0;

  void Flag(bool literal) {
    if (tokens % 8 == 0) flags.push_back(0);
    if (literal) flags.back() |= static_cast<std::uint8_t>(1 << (tokens % 8));
    ++tokens;
  }
  Stream& Lit(std::string_view s) {
    for (char c : s) {
      Flag(true);
      data.push_back(static_cast<std::uint8_t>(c));
    }
    return *this;
  }
  Stream& Ref(unsigned w) {
    Flag(false);
    data.push_back(static_cast<std::uint8_t>(w & 0xFF));
    data.push_back(static_cast<std::uint8_t>(w >> 8));
    return *this;
  }
};

std::string AsString(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

TEST(Lz77Decode, BackReferencesCopyFromTheOutput) {
  Bytes out;
  // w = 0: three bytes from three back.
  Stream a;
  a.Lit("abc").Ref(0);
  ASSERT_TRUE(Lz77Decode(a.flags, a.data, 6, out));
  EXPECT_EQ(AsString(out), "abcabc");

  // Distance 3, length 9: the last three bytes three times over.
  Stream b;
  b.Lit("xyz").Ref(9 - 3);
  ASSERT_TRUE(Lz77Decode(b.flags, b.data, 12, out));
  EXPECT_EQ(AsString(out), "xyzxyzxyzxyz");

  // w = 0xFFFF: eighteen bytes from 4098 back.
  std::string prefix;
  for (int i = 0; i < 4098; ++i) prefix.push_back(static_cast<char>('A' + i % 26 + (i / 26) % 3));
  Stream c;
  c.Lit(prefix).Ref(0xFFFF);
  ASSERT_TRUE(Lz77Decode(c.flags, c.data, 4098 + 18, out));
  EXPECT_EQ(AsString(out), prefix + prefix.substr(0, 18));
}

TEST(Lz77Decode, CorruptStreamsAreRefused) {
  Bytes out;
  Stream before_start;
  before_start.Lit("ab").Ref(0);  // distance 3 with only 2 bytes written
  EXPECT_FALSE(Lz77Decode(before_start.flags, before_start.data, 5, out));

  Stream too_long;
  too_long.Lit("abc").Ref(0);
  EXPECT_FALSE(Lz77Decode(too_long.flags, too_long.data, 5, out));  // would write 6 of 5
  EXPECT_FALSE(Lz77Decode(too_long.flags, too_long.data, 7, out));  // produces 6 of 7

  Stream cut;
  cut.Lit("abc").Ref(0);
  cut.data.pop_back();  // half a back-reference
  EXPECT_FALSE(Lz77Decode(cut.flags, cut.data, 6, out));

  Stream no_flags;
  no_flags.Lit("abcdefghi");  // nine tokens need two flag bytes
  no_flags.flags.pop_back();
  EXPECT_FALSE(Lz77Decode(no_flags.flags, no_flags.data, 9, out));

  EXPECT_TRUE(Lz77Decode({}, {}, 0, out));
  EXPECT_TRUE(out.empty());
}

Bytes RoundTrip(const Bytes& input) {
  Lz77Stream packed = Lz77Encode(input);
  Bytes out;
  EXPECT_TRUE(Lz77Decode(packed.flags, packed.data, input.size(), out));
  return out;
}

TEST(Lz77Encode, RoundTripsRandomAndRepetitiveData) {
  std::mt19937 rng(1234);
  for (std::size_t size : {0u, 1u, 2u, 3u, 17u, 4099u, 100000u}) {
    Bytes random(size);
    for (auto& b : random) b = static_cast<std::uint8_t>(rng());
    EXPECT_EQ(RoundTrip(random), random) << size;
    // Few symbols: many short matches at all distances.
    Bytes narrow(size);
    for (auto& b : narrow) b = static_cast<std::uint8_t>(rng() % 3);
    EXPECT_EQ(RoundTrip(narrow), narrow) << size;
  }
  // Repeats whose period is longer than the window, shorter than the minimum distance, and
  // exactly at the window's edge.
  for (std::size_t period : {1u, 2u, 3u, 4098u, 4099u, 5000u}) {
    Bytes block(period);
    for (auto& b : block) b = static_cast<std::uint8_t>(rng());
    Bytes input;
    while (input.size() < 30000) input.insert(input.end(), block.begin(), block.end());
    EXPECT_EQ(RoundTrip(input), input) << period;
  }
}

TEST(Lz77Encode, CompressesRuns) {
  Bytes zeros(180000, 0);
  Lz77Stream packed = Lz77Encode(zeros);
  // Best possible: 18 bytes per two-byte token plus a flag bit, about 8.5 : 1.
  EXPECT_LT(packed.data.size() + packed.flags.size(), zeros.size() / 8);
}

}  // namespace
}  // namespace adv
