// A bounds-checked reader over bytes read from a file. Every binary format the engine reads
// (BMP, K16, packed files, cursors, plug-in DIBs, MIDI) goes through it, so a size or offset
// taken from a file can never make us read outside the buffer: a read past the end yields 0 and
// marks the reader failed, and the parser checks ok() where it matters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace adv {

class ByteReader {
 public:
  ByteReader() = default;
  explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  std::size_t pos() const { return pos_; }
  std::size_t remaining() const { return pos_ < bytes_.size() ? bytes_.size() - pos_ : 0; }
  bool AtEnd() const { return pos_ >= bytes_.size(); }
  // False once any read, skip or seek has gone past the end.
  bool ok() const { return !failed_; }
  std::span<const std::uint8_t> bytes() const { return bytes_; }

  // Sequential reads from the cursor.
  std::uint8_t U8();
  std::uint16_t U16Le();
  std::uint32_t U32Le();
  std::int32_t I32Le() { return static_cast<std::int32_t>(U32Le()); }
  std::uint16_t U16Be();
  std::uint32_t U24Be();
  std::uint32_t U32Be();
  // The next n bytes; empty (and failed) when fewer remain.
  std::span<const std::uint8_t> Take(std::size_t n);
  bool Skip(std::size_t n);
  bool Seek(std::size_t pos);

  // Reads at an absolute offset without moving the cursor; 0 (and failed) past the end.
  std::uint8_t U8At(std::size_t at);
  std::uint16_t U16LeAt(std::size_t at);
  std::uint32_t U32LeAt(std::size_t at);
  std::int32_t I32LeAt(std::size_t at) { return static_cast<std::int32_t>(U32LeAt(at)); }
  std::uint32_t U32BeAt(std::size_t at);
  // Whether n bytes starting at `at` lie inside the buffer (no overflow for huge values).
  bool Has(std::size_t at, std::size_t n) const {
    return at <= bytes_.size() && n <= bytes_.size() - at;
  }

 private:
  const std::uint8_t* Window(std::size_t at, std::size_t n);
  const std::uint8_t* Next(std::size_t n);

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  bool failed_ = false;
};

}  // namespace adv
