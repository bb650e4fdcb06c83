// Byte-string searches that step over two-byte Shift-JIS characters, so that the second byte of
// a character is never taken for an ASCII character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace adv {

// First byte of a two-byte character: 0x80-0x9F or 0xE0-0xFF.
inline bool IsSjisLeadByte(unsigned char c) {
  return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

// Position of the first single-byte character c at or after from, or npos.
std::size_t SjisFind(std::string_view s, char c, std::size_t from = 0);

// Position of the last single-byte character c before end (whole string by default), or npos.
std::size_t SjisFindLast(std::string_view s, char c, std::size_t end = std::string_view::npos);

// Position of the first occurrence of needle that starts on a character boundary, or npos.
std::size_t SjisFindSeq(std::string_view s, std::string_view needle);

// True when name contains a "." (Shift-JIS-aware).
inline bool SjisHasDot(std::string_view s) {
  return SjisFind(s, '.') != std::string_view::npos;
}

}  // namespace adv
