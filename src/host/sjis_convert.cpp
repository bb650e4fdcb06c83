#include "host/sjis_convert.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace adv {

namespace {

// Runs iconv over input. Invalid or unconvertible input is replaced by replacement (skipping
// skip_bytes input bytes), or stops the conversion when replacement is null.
bool Convert(const char* to, const char* from, std::string_view input, const char* replacement,
             std::string& out) {
  out.clear();
  // ASCII reads the same in code page 932 and UTF-8: most titles and names convert without
  // loading a converter at all.
  if (std::all_of(input.begin(), input.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    out.assign(input);
    return true;
  }
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char buffer[1024];
  bool ok = true;
  while (in_left > 0) {
    char* o = buffer;
    std::size_t o_left = sizeof(buffer);
    std::size_t r = iconv(cd, &in, &in_left, &o, &o_left);
    out.append(buffer, o - buffer);
    if (r == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      if (replacement == nullptr) {
        ok = false;
        break;
      }
      out += replacement;
      // Skip one byte (or a whole two-byte Shift-JIS character when it is complete).
      std::size_t skip = 1;
      unsigned char c = static_cast<unsigned char>(*in);
      if (std::string_view(from) == "CP932" && in_left >= 2 &&
          ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC))) {
        skip = 2;
      }
      if (std::string_view(from) == "UTF-8") {
        // Skip a whole UTF-8 sequence.
        while (skip < in_left && (static_cast<unsigned char>(in[skip]) & 0xC0) == 0x80) ++skip;
      }
      in += skip;
      in_left -= skip;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
  }
  iconv_close(cd);
  return ok;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) {
  std::string out;
  Convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", out);
  return out;
}

std::string Utf8ToSjis(std::string_view utf8) {
  std::string out;
  Convert("CP932", "UTF-8", utf8, "?", out);
  return out;
}

bool TrySjisToUtf8(std::string_view sjis, std::string& utf8) {
  return Convert("UTF-8", "CP932", sjis, nullptr, utf8);
}

}  // namespace adv
