#include "graphics/file_reader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "graphics/packed_file.h"
#include "support/bmp_writer.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

// A packed file assembled field by field; the lengths may lie.
struct Packed {
  std::string name = "bg.bmp";
  // "abc" as literals, then w = 6 (distance 3, length 9): "abcabcabcabc".
  std::string flags = "\x07";
  std::string data = std::string("abc\x06\x00", 5);
  std::uint32_t unpacked = 12;
  std::uint32_t info = 20;
  std::int64_t name_len = -1, data_len = -1;  // -1: the true length

  std::string Bytes() const {
    std::string s("GPLP\0\0\0\0\0\0\0\0", 12);
    auto len = [](std::int64_t given, std::uint64_t real) {
      return given < 0 ? real : static_cast<std::uint64_t>(given);
    };
    for (std::uint64_t v : {std::uint64_t{info}, std::uint64_t{0}, len(name_len, name.size() + 1),
                            flags.size(), len(data_len, data.size()), std::uint64_t{unpacked}}) {
      test::PutLe(s, static_cast<std::uint32_t>(v));
    }
    s.append(info >= 20 && info < 4096 ? info - 20 : 0, '\x55');
    return s + name + '\0' + flags + data;
  }
};

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
  Packed stored, long_info;
  stored.name = "stored.bmp";
  long_info.info = 32;  // a longer info block is skipped over
  const std::vector<std::uint8_t> packed = PackFile("music.mid", music);
  std::string no_magic = Packed().Bytes();
  no_magic[4] = 'X';  // the magic needs its zero byte
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
      {"c.dpa", stored.Bytes(), "c.bmp", true, "stored.bmp", "abcabcabcabc"},
      {"d.dpa", long_info.Bytes(), "d", true, "bg.bmp", "abcabcabcabc"},
      {"sub/music.dpa", std::string(packed.begin(), packed.end()), "sub\\music.mid", true,
       "music.mid", std::string(music.begin(), music.end())},
  };
  dir_.Write("bg.dpa", Packed().Bytes());
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
  dir_.Write("bg.dpa", Packed().Bytes());
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
  const std::pair<const char*, std::function<void(Packed&)>> cases[] = {
      {"info block too short", [](Packed& p) { p.info = 19; }},
      {"info block past the end", [](Packed& p) { p.info = 0xFFFFFFF0u; }},
      {"data shorter than the header says", [](Packed& p) { p.data_len = 6; }},
      {"name past the end", [](Packed& p) { p.name_len = 0xFFFFFFFFu; }},
      {"output short of U (the decoder's refusals)", [](Packed& p) { p.unpacked = 13; }},
      {"U more than the data can give", [](Packed& p) { p.unpacked = 0x7FFFFFFFu; }},
  };
  dir_.Write("header.bmp", std::string("GPLP\0\0\0\0", 8));
  CFileReader r;
  EXPECT_FALSE(r.Open(files_, "header.bmp"));
  for (const auto& [what, change] : cases) {
    Packed p;
    change(p);
    dir_.Write("bad.bmp", p.Bytes());
    EXPECT_FALSE(r.Open(files_, "bad.bmp")) << what;
  }
}

}  // namespace
}  // namespace adv
