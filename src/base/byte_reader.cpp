#include "base/byte_reader.h"

namespace adv {

const std::uint8_t* ByteReader::Window(std::size_t at, std::size_t n) {
  if (!Has(at, n)) {
    failed_ = true;
    return nullptr;
  }
  return bytes_.data() + at;
}

// A read past the end leaves the cursor at the end, so later reads fail too.
const std::uint8_t* ByteReader::Next(std::size_t n) {
  const std::uint8_t* p = Window(pos_, n);
  pos_ = p ? pos_ + n : bytes_.size();
  return p;
}

std::uint8_t ByteReader::U8At(std::size_t at) {
  const std::uint8_t* p = Window(at, 1);
  return p ? p[0] : 0;
}

std::uint16_t ByteReader::U16LeAt(std::size_t at) {
  const std::uint8_t* p = Window(at, 2);
  return p ? static_cast<std::uint16_t>(p[0] | (p[1] << 8)) : 0;
}

std::uint32_t ByteReader::U32LeAt(std::size_t at) {
  const std::uint8_t* p = Window(at, 4);
  if (p == nullptr) return 0;
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

std::uint32_t ByteReader::U32BeAt(std::size_t at) {
  const std::uint8_t* p = Window(at, 4);
  if (p == nullptr) return 0;
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

std::uint8_t ByteReader::U8() {
  const std::uint8_t* p = Next(1);
  return p ? p[0] : 0;
}

std::uint16_t ByteReader::U16Le() {
  const std::uint8_t* p = Next(2);
  return p ? static_cast<std::uint16_t>(p[0] | (p[1] << 8)) : 0;
}

std::uint32_t ByteReader::U32Le() {
  const std::uint8_t* p = Next(4);
  if (p == nullptr) return 0;
  return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

std::uint16_t ByteReader::U16Be() {
  const std::uint8_t* p = Next(2);
  return p ? static_cast<std::uint16_t>((p[0] << 8) | p[1]) : 0;
}

std::uint32_t ByteReader::U24Be() {
  const std::uint8_t* p = Next(3);
  return p ? (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2] : 0;
}

std::uint32_t ByteReader::U32Be() {
  const std::uint8_t* p = Next(4);
  if (p == nullptr) return 0;
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         p[3];
}

std::span<const std::uint8_t> ByteReader::Take(std::size_t n) {
  const std::uint8_t* p = Next(n);
  return p ? std::span<const std::uint8_t>(p, n) : std::span<const std::uint8_t>();
}

bool ByteReader::Skip(std::size_t n) {
  return Take(n).size() == n;
}

bool ByteReader::Seek(std::size_t pos) {
  if (pos > bytes_.size()) {
    failed_ = true;
    pos_ = bytes_.size();
    return false;
  }
  pos_ = pos;
  return true;
}

}  // namespace adv
