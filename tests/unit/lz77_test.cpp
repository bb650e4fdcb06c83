#include "graphics/lz77.h"

#include <gtest/gtest.h>

#include <optional>
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

TEST(Lz77Decode, HandWrittenStreams) {
  std::string prefix;
  for (int i = 0; i < 4098; ++i) prefix.push_back(static_cast<char>('A' + i % 26 + (i / 26) % 3));
  Stream cut = Stream().Lit("abc").Ref(0);
  cut.data.pop_back();  // half a back-reference
  Stream no_flags = Stream().Lit("abcdefghi");
  no_flags.flags.pop_back();  // nine tokens need two flag bytes
  const struct {
    const char* what;
    Stream stream;
    std::size_t size;
    std::optional<std::string> out;  // none: refused
  } cases[] = {
      {"w = 0: three bytes from three back", Stream().Lit("abc").Ref(0), 6, "abcabc"},
      {"distance 3, length 9", Stream().Lit("xyz").Ref(9 - 3), 12, "xyzxyzxyzxyz"},
      {"w = 0xFFFF: 18 bytes from 4098 back", Stream().Lit(prefix).Ref(0xFFFF), 4098 + 18,
       prefix + prefix.substr(0, 18)},
      {"nothing", Stream(), 0, ""},
      {"distance 3 with 2 bytes written", Stream().Lit("ab").Ref(0), 5, {}},
      {"would write 6 of 5", Stream().Lit("abc").Ref(0), 5, {}},
      {"produces 6 of 7", Stream().Lit("abc").Ref(0), 7, {}},
      {"half a back-reference", cut, 6, {}},
      {"flag bytes missing", no_flags, 9, {}},
  };
  for (const auto& c : cases) {
    Bytes out;
    std::optional<std::string> got;
    if (Lz77Decode(c.stream.flags, c.stream.data, c.size, out)) got.emplace(out.begin(), out.end());
    EXPECT_EQ(got, c.out) << c.what;
  }
}

Bytes RoundTrip(const Bytes& input) {
  Lz77Stream packed = Lz77Encode(input);
  Bytes out;
  EXPECT_TRUE(Lz77Decode(packed.flags, packed.data, input.size(), out));
  return out;
}

TEST(Lz77Encode, RoundTripsRandomAndRepetitiveData) {
  std::mt19937 rng(1234);
  // Few symbols: many short matches at all distances.
  for (std::size_t size : {0u, 1u, 2u, 3u, 17u, 4099u, 100000u}) {
    for (unsigned symbols : {256u, 3u}) {
      Bytes input(size);
      for (auto& b : input) b = static_cast<std::uint8_t>(rng() % symbols);
      EXPECT_EQ(RoundTrip(input), input) << size << " bytes of " << symbols << " symbols";
    }
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
