// Conversion between the engine's Shift-JIS (code page 932) and UTF-8 at the host boundary.
#pragma once

#include <string>
#include <string_view>

namespace adv {

// Bytes that are not valid Shift-JIS become U+FFFD; never fails.
std::string SjisToUtf8(std::string_view sjis);
// Characters without a Shift-JIS form become "?"; never fails.
std::string Utf8ToSjis(std::string_view utf8);
// Converts when every byte is valid Shift-JIS; otherwise false.
[[nodiscard]] bool TrySjisToUtf8(std::string_view sjis, std::string& utf8);

}  // namespace adv
