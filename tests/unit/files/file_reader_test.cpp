#include "files/file_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "files/lz77.h"
#include "files/packed_file.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

using test::WithLe;

// A packed file of "abcabcabcabc". Its header: info block length at 12, then the stored name's,
// flags' and packed data's lengths at 20, 24 and 28, the unpacked length at 32.
std::string Packed(std::string_view stored_name = "bg.bmp") {
  const std::string data = "abcabcabcabc";
  const auto packed = PackFile(
      stored_name, std::span(reinterpret_cast<const std::uint8_t*>(data.data()), data.size()));
  return std::string(packed.begin(), packed.end());
}

class FileReaderTest : public ::testing::Test {
 protected:
  FileReaderTest() { files_.SetBase(dir_.path()); }
  test::TempDir dir_;
  FileSystem files_;
};

TEST(PackedTwinName, CutsAtTheLastDotAnywhere) {
  EXPECT_EQ(PackedTwinName("bg.bmp"), "bg.dpa");
  EXPECT_EQ(PackedTwinName("data\\music"), "data\\music.dpa");
  EXPECT_EQ(PackedTwinName("..\\data\\bg"), "..dpa");
  // A lead byte as the last byte of a name does not hide anything.
  EXPECT_EQ(PackedTwinName("\x83\x41.bmp"), "\x83\x41.dpa");
}

TEST_F(FileReaderTest, PlainFilesAndPackedTwins) {
  std::vector<std::uint8_t> music(70000);
  for (std::size_t i = 0; i < music.size(); ++i) music[i] = static_cast<std::uint8_t>(i * i % 251);
  const std::vector<std::uint8_t> packed = PackFile("music.mid", music);
  std::string no_magic = Packed();
  no_magic[4] = 'X';  // the magic needs its zero byte
  // A longer info block is skipped over.
  const std::string long_info = WithLe(Packed(), 12, 32).insert(36, std::string(12, '\x55'));
  const struct {
    const char* file;
    std::string bytes;
    const char* open;
    std::string content;
  } cases[] = {
      {"bg.bmp", "plain bytes", "bg.bmp", "plain bytes"},  // beside bg.dpa
      {"a.dat", no_magic, "a.dat", no_magic},
      {"c.dpa", Packed("stored.bmp"), "c.bmp", "abcabcabcabc"},
      {"d.dpa", long_info, "d", "abcabcabcabc"},
      {"sub/music.dpa", std::string(packed.begin(), packed.end()), "sub\\music.mid",
       std::string(music.begin(), music.end())},
  };
  dir_.Write("bg.dpa", Packed());
  for (const auto& c : cases) {
    dir_.Write(c.file, c.bytes);
    CFileReader r;
    ASSERT_TRUE(r.Open(files_, c.open)) << c.open;
    std::vector<std::uint8_t> all;
    ASSERT_TRUE(r.ReadAll(all, 1 << 20)) << c.open;
    EXPECT_EQ(std::string(all.begin(), all.end()), c.content) << c.open;
  }
}

// The unpacked bytes read like a file's: length, seek and a read cut short at the end.
TEST_F(FileReaderTest, PackedFileSeeksAndReads) {
  dir_.Write("bg.dpa", Packed());
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "bg.bmp"));
  EXPECT_EQ(r.GetLength(), 12);
  r.Seek(-4, 2);
  char got[16];
  EXPECT_EQ(std::string(got, r.Read(got, sizeof(got))), "cabc");
  r.Seek(2, 0);
  EXPECT_EQ(std::string(got, r.Read(got, sizeof(got))), "cabcabcabc");
  EXPECT_FALSE(r.Open(files_, "nothing.bmp") || r.IsOpen());
}

TEST_F(FileReaderTest, CorruptPackedFilesFailTheOpen) {
  const std::string good = Packed();
  const std::pair<const char*, std::string> cases[] = {
      {"header only", std::string("GPLP\0\0\0\0", 8)},
      {"info block too short", WithLe(good, 12, 19)},
      {"info block past the end", WithLe(good, 12, 0xFFFFFFF0u)},
      {"name past the end", WithLe(good, 20, 0xFFFFFFFFu)},
      {"data one byte past the end", WithLe(good, 28, static_cast<std::uint8_t>(good[28]) + 1u)},
      {"output short of U (the decoder's refusals)", WithLe(good, 32, 13)},
      {"U more than the data can give", WithLe(good, 32, 0x7FFFFFFFu)},
  };
  for (const auto& [what, bytes] : cases) {
    dir_.Write("bad.bmp", bytes);
    CFileReader r;
    EXPECT_FALSE(r.Open(files_, "bad.bmp")) << what;
  }
}

using Bytes = std::vector<std::uint8_t>;

// Streams written by hand as flag bytes (bit t set: token t is a literal) and token bytes.
TEST(Lz77Decode, HandWrittenStreams) {
  std::string prefix;
  for (int i = 0; i < 4098; ++i) prefix.push_back(static_cast<char>('A' + i % 26 + (i / 26) % 3));
  using namespace std::string_literals;
  const struct {
    const char* what;
    std::string flags, data;
    std::size_t size;
    std::optional<std::string> out;  // none: refused
  } cases[] = {
      {"w = 0: three bytes from three back", "\x07", "abc\0\0"s, 6, "abcabc"},
      {"w = 6: distance 3, length 9", "\x07", "xyz\x06\0"s, 12, "xyzxyzxyzxyz"},
      {"w = 0xFFFF: 18 bytes from 4098 back", std::string(512, '\xFF') + "\x03",
       prefix + "\xFF\xFF", 4098 + 18, prefix + prefix.substr(0, 18)},
      {"nothing", "", "", 0, ""},
      {"distance 3 with 2 bytes written", "\x03", "ab\0\0"s, 5, {}},
      {"would write 6 of 5", "\x07", "abc\0\0"s, 5, {}},
      {"produces 6 of 7", "\x07", "abc\0\0"s, 7, {}},
      {"half a back-reference", "\x07", "abc\0"s, 6, {}},
      {"nine tokens, one flag byte", "\xFF", "abcdefghi", 9, {}},
  };
  auto of = [](std::string_view s) { return Bytes(s.begin(), s.end()); };
  for (const auto& c : cases) {
    Bytes out;
    std::optional<std::string> got;
    if (Lz77Decode(of(c.flags), of(c.data), c.size, out)) got.emplace(out.begin(), out.end());
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
