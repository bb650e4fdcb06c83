#include "support/bmp_writer.h"

namespace adv::test {

namespace {

void Put(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string Header(int width, int height, int bits, std::size_t data_size) {
  std::string s = "BM";
  Put(s, static_cast<std::uint32_t>(54 + data_size), 4);
  Put(s, 0, 4);
  Put(s, 54, 4);
  Put(s, 40, 4);
  Put(s, static_cast<std::uint32_t>(width), 4);
  Put(s, static_cast<std::uint32_t>(height), 4);
  Put(s, 1, 2);
  Put(s, static_cast<std::uint32_t>(bits), 2);
  Put(s, 0, 4);
  Put(s, static_cast<std::uint32_t>(data_size), 4);
  Put(s, 2835, 4);
  Put(s, 2835, 4);
  Put(s, 0, 4);  // colours used
  Put(s, 0, 4);  // important colours
  return s;
}

}  // namespace

std::string Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb) {
  const int row = (width * 3 + 3) / 4 * 4;
  std::string data;
  for (int y = height - 1; y >= 0; --y) {
    std::string line;
    for (int x = 0; x < width; ++x) Put(line, rgb(x, y), 3);
    line.resize(static_cast<std::size_t>(row), '\0');
    data += line;
  }
  return Header(width, height, 24, data.size()) + data;
}

std::string Bmp32(int width, int height, const std::function<std::uint32_t(int, int)>& argb) {
  std::string data;
  for (int y = height - 1; y >= 0; --y) {
    for (int x = 0; x < width; ++x) Put(data, argb(x, y), 4);
  }
  return Header(width, height, 32, data.size()) + data;
}

}  // namespace adv::test
