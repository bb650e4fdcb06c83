#include "base/sjis_string.h"

namespace adv {

std::size_t SjisFind(std::string_view s, char c, std::size_t from) {
  for (std::size_t i = 0; i < s.size();) {
    if (i >= from && s[i] == c) return i;
    // A lead byte as the very last byte has no second byte: it stands alone.
    i += IsSjisLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

std::size_t SjisFindLast(std::string_view s, char c, std::size_t end) {
  if (end > s.size()) end = s.size();
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < end;) {
    if (s[i] == c) found = i;
    i += IsSjisLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
  }
  return found;
}

std::size_t SjisFindSeq(std::string_view s, std::string_view needle) {
  if (needle.empty()) return 0;
  for (std::size_t i = 0; i + needle.size() <= s.size();) {
    if (s.compare(i, needle.size(), needle) == 0) return i;
    i += IsSjisLeadByte(static_cast<unsigned char>(s[i])) ? 2 : 1;
  }
  return std::string_view::npos;
}

}  // namespace adv
