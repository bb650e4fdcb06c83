#include "support/bmp_writer.h"

#include <cstdlib>

namespace adv::test {

void PutLe(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::string WithLe(std::string s, std::size_t at, std::uint32_t v, int bytes) {
  std::string field;
  PutLe(field, v, bytes);
  return s.replace(at, static_cast<std::size_t>(bytes), field);
}

std::string InfoHeader(int width, int height, int bits, std::uint32_t compression,
                       std::uint32_t colours_used, std::uint32_t image_size) {
  std::string s;
  for (std::uint32_t v :
       {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)}) {
    PutLe(s, v);
  }
  PutLe(s, 1, 2);
  PutLe(s, static_cast<std::uint32_t>(bits), 2);
  for (std::uint32_t v : {compression, image_size, 2835u, 2835u, colours_used, 0u}) PutLe(s, v);
  return s;
}

std::string DibRows(int width, int height, int bits,
                    const std::function<std::uint32_t(int, int)>& value) {
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  const int rows = std::abs(height);
  std::string out;
  for (int stored = 0; stored < rows; ++stored) {
    const int y = height < 0 ? stored : rows - 1 - stored;
    std::string row;
    for (int x = 0; x < width; ++x) {
      if (bits >= 8) {
        PutLe(row, value(x, y), bits / 8);
        continue;
      }
      if (x * bits % 8 == 0) row.push_back('\0');
      row.back() = static_cast<char>(row.back() | value(x, y) << (8 - bits - x * bits % 8));
    }
    row.resize(stride, '\0');
    out += row;
  }
  return out;
}

std::string BmpFile(int width, int height, int bits, const std::string& pixels,
                    std::uint32_t compression, const std::string& table,
                    std::uint32_t colours_used) {
  const std::string info = InfoHeader(width, height, bits, compression, colours_used,
                                      static_cast<std::uint32_t>(pixels.size())) +
                           table;
  std::string s = "BM";
  PutLe(s, static_cast<std::uint32_t>(14 + info.size() + pixels.size()));
  PutLe(s, 0);
  PutLe(s, static_cast<std::uint32_t>(14 + info.size()));
  return s + info + pixels;
}

std::string Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& rgb) {
  return BmpFile(width, height, 24, DibRows(width, height, 24, rgb));
}

std::string Bmp32(int width, int height, const std::function<std::uint32_t(int, int)>& argb) {
  return BmpFile(width, height, 32, DibRows(width, height, 32, argb));
}

}  // namespace adv::test
