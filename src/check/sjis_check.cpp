#include "check/sjis_check.h"

#include <cstdio>

#include "base/sjis_string.h"
#include "host/sjis_convert.h"

namespace adv {

bool IsValidSjis(std::string_view text) {
  std::string utf8;
  return TrySjisToUtf8(text, utf8);
}

std::string FirstInvalidSjis(std::string_view line) {
  for (std::size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    const std::size_t length = IsSjisLeadByte(c) ? 2 : 1;
    const std::string_view character = line.substr(i, length);
    // The converter is the judge, so that unassigned codes count as invalid too; only the
    // characters of a line already known to be invalid are asked one by one.
    if (c >= 0x80 && (character.size() < length || !IsValidSjis(character))) {
      std::string bytes;
      for (unsigned char b : character) {
        char hex[8];
        std::snprintf(hex, sizeof(hex), "%s0x%02X", bytes.empty() ? "" : " ", b);
        bytes += hex;
      }
      return bytes;
    }
    i += length;
  }
  return {};
}

bool LooksLikeUtf8(std::string_view line) {
  bool japanese = false;
  for (std::size_t i = 0; i < line.size();) {
    const unsigned char c = static_cast<unsigned char>(line[i]);
    std::size_t length = 1;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
    } else if (c >= 0x80) {
      return false;
    }
    if (i + length > line.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(line[i + k]) & 0xC0) != 0x80) return false;
    }
    // Japanese in UTF-8 is three-byte sequences; two-byte ones alone could be half-width kana.
    japanese = japanese || length > 2;
    i += length;
  }
  return japanese;
}

}  // namespace adv
