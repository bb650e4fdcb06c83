#include "graphics/file_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/packed_file.h"
#include "support/temp_dir.h"

namespace adv {
namespace {

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

// A packed file assembled field by field; the lengths may lie.
struct Packed {
  std::string name = "bg.bmp";
  std::string flags;
  std::string data;
  std::uint32_t unpacked = 0;
  std::uint32_t info = 20;
  std::int64_t name_len = -1, flag_len = -1, data_len = -1;  // -1: the true length

  std::string Bytes() const {
    std::string s("GPLP\0\0\0\0\0\0\0\0", 12);
    Put32(s, info);
    Put32(s, 0);
    Put32(s, static_cast<std::uint32_t>(name_len < 0 ? name.size() + 1 : name_len));
    Put32(s, static_cast<std::uint32_t>(flag_len < 0 ? flags.size() : flag_len));
    Put32(s, static_cast<std::uint32_t>(data_len < 0 ? data.size() : data_len));
    Put32(s, unpacked);
    s.append(info >= 20 && info < 4096 ? info - 20 : 0, '\x55');
    s += name;
    s.push_back('\0');
    return s + flags + data;
  }
};

// "abc" as literals, then w = 6 (distance 3, length 9): "abcabcabcabc".
Packed Abc() {
  Packed p;
  p.flags = "\x07";
  p.data = std::string("abc\x06\x00", 5);
  p.unpacked = 12;
  return p;
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

TEST_F(FileReaderTest, PlainFileWinsOverItsTwin) {
  dir_.Write("bg.bmp", "plain bytes");
  dir_.Write("bg.dpa", Abc().Bytes());
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "bg.bmp"));
  EXPECT_FALSE(r.IsPacked());
  EXPECT_EQ(ReadRest(r), "plain bytes");
}

TEST_F(FileReaderTest, MissingFileIsReadFromItsTwin) {
  Packed p = Abc();
  p.name = "stored.bmp";
  dir_.Write("bg.dpa", p.Bytes());
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "bg.bmp"));
  EXPECT_TRUE(r.IsPacked());
  EXPECT_EQ(r.Name(), "stored.bmp");
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
  r.Seek(0, 0);
  EXPECT_EQ(ReadRest(r), "abcabcabcabc");

  EXPECT_FALSE(r.Open(files_, "nothing.bmp"));
  EXPECT_FALSE(r.IsOpen());
}

TEST_F(FileReaderTest, EncodedFileRoundTrips) {
  std::vector<std::uint8_t> data(70000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * i % 251);
  std::vector<std::uint8_t> packed = PackFile("music.mid", data);
  dir_.Write("sub/music.dpa", packed);
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "sub\\music.mid"));
  std::vector<std::uint8_t> back;
  ASSERT_TRUE(r.ReadAll(back, 1 << 20));
  EXPECT_EQ(back, data);
  EXPECT_EQ(r.Name(), "music.mid");
}

TEST_F(FileReaderTest, MagicNeedsTheZeroByte) {
  std::string bytes = Abc().Bytes();
  bytes[4] = 'X';
  dir_.Write("a.dat", bytes);
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "a.dat"));
  EXPECT_FALSE(r.IsPacked());
  EXPECT_EQ(ReadRest(r), bytes);
}

TEST_F(FileReaderTest, CorruptPackedFilesFailTheOpen) {
  std::vector<std::pair<const char*, std::string>> cases;
  cases.emplace_back("header only", std::string("GPLP\0\0\0\0", 8));
  Packed p = Abc();
  p.info = 19;
  cases.emplace_back("info block too short", p.Bytes());
  p = Abc();
  p.info = 0xFFFFFFF0u;
  cases.emplace_back("info block past the end", p.Bytes());
  p = Abc();
  p.data_len = 6;
  cases.emplace_back("data shorter than the header says", p.Bytes());
  p = Abc();
  p.name_len = 0xFFFFFFFFu;
  cases.emplace_back("name past the end", p.Bytes());
  p = Abc();
  p.unpacked = 11;
  cases.emplace_back("output past U", p.Bytes());
  p = Abc();
  p.unpacked = 13;
  cases.emplace_back("output short of U", p.Bytes());
  p = Abc();
  p.unpacked = 0x7FFFFFFFu;
  cases.emplace_back("U more than the data can give", p.Bytes());
  p = Abc();
  p.data = std::string("ab\x00\x00", 4);
  p.flags = "\x03";
  p.unpacked = 5;
  cases.emplace_back("reference before the start", p.Bytes());
  p = Abc();
  p.flags.clear();
  cases.emplace_back("missing flag bytes", p.Bytes());
  for (const auto& [what, bytes] : cases) {
    dir_.Write("bad.bmp", bytes);
    CFileReader r;
    EXPECT_FALSE(r.Open(files_, "bad.bmp")) << what;
  }
  // A longer info block is skipped over.
  p = Abc();
  p.info = 32;
  dir_.Write("good.dpa", p.Bytes());
  CFileReader r;
  ASSERT_TRUE(r.Open(files_, "good"));
  EXPECT_EQ(ReadRest(r), "abcabcabcabc");
}

}  // namespace
}  // namespace adv
