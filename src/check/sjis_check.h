// Bytes that are not Shift-JIS (code page 932): text from a file saved in another encoding, or
// cut in the middle of a character.
#pragma once

#include <string>
#include <string_view>

namespace adv {

bool IsValidSjis(std::string_view text);
// The bytes of the first character of line that is not valid Shift-JIS, written "0xE3 0x81";
// "" when every character is.
std::string FirstInvalidSjis(std::string_view line);
// Whether a line is UTF-8 with Japanese in it (three-byte sequences). Such bytes mostly pass as
// Shift-JIS too (and show as other characters), while Shift-JIS text with kana is never valid
// UTF-8.
bool LooksLikeUtf8(std::string_view line);

}  // namespace adv
