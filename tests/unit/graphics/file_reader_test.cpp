#include "files/file_reader.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

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

std::string ReadRest(CFileReader& r) {
  std::string s(static_cast<std::size_t>(r.GetLength()), '\0');
  s.resize(r.Read(s.data(), s.size()));
  return s;
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
  EXPECT_EQ(PackedTwinName("a.b\\c.d.e"), "a.b\\c.d.dpa");
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
    bool packed;
    std::string name;
    std::string content;
  } cases[] = {
      {"bg.bmp", "plain bytes", "bg.bmp", false, "bg.bmp", "plain bytes"},  // beside bg.dpa
      {"a.dat", no_magic, "a.dat", false, "a.dat", no_magic},
      {"c.dpa", Packed("stored.bmp"), "c.bmp", true, "stored.bmp", "abcabcabcabc"},
      {"d.dpa", long_info, "d", true, "bg.bmp", "abcabcabcabc"},
      {"sub/music.dpa", std::string(packed.begin(), packed.end()), "sub\\music.mid", true,
       "music.mid", std::string(music.begin(), music.end())},
  };
  dir_.Write("bg.dpa", Packed());
  for (const auto& c : cases) {
    dir_.Write(c.file, c.bytes);
    CFileReader r;
    ASSERT_TRUE(r.Open(files_, c.open)) << c.open;
    EXPECT_EQ(r.IsPacked(), c.packed) << c.open;
    EXPECT_EQ(r.Name(), c.name) << c.open;
    std::vector<std::uint8_t> all;
    ASSERT_TRUE(r.ReadAll(all, 1 << 20)) << c.open;
    EXPECT_EQ(std::string(all.begin(), all.end()), c.content) << c.open;
  }
}

TEST_F(FileReaderTest, PackedFileSeeksAndReads) {
  dir_.Write("bg.dpa", Packed());
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "bg.bmp"));
  EXPECT_EQ(r.GetLength(), 12);
  EXPECT_EQ(r.Seek(0, 2), 1);
  EXPECT_EQ(r.Tell(), 12);
  r.Seek(-4, 2);
  char tail[10];
  EXPECT_EQ(r.Read(tail, sizeof(tail)), 4u);  // only what remains
  EXPECT_EQ(std::string(tail, 4), "cabc");
  EXPECT_EQ(r.Read(tail, 1), 0u);
  r.Seek(-100, 1);  // before the start: ignored
  EXPECT_EQ(r.Tell(), 12);
  r.Seek(2, 0);
  r.Seek(3, 1);
  EXPECT_EQ(r.Tell(), 5);
  EXPECT_EQ(r.Write("x", 1), 0u);
  EXPECT_EQ(ReadRest(r), "cabcabc");
  EXPECT_FALSE(r.Open(files_, "nothing.bmp"));
  EXPECT_FALSE(r.IsOpen());
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

}  // namespace
}  // namespace adv
