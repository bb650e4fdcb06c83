#include "script/line_buffer.h"

namespace adv {

void LineBuffer::Set(std::string_view text) {
  std::size_t nul = text.find('\0');
  text_.assign(text.substr(0, nul));
  pos_ = 0;
}

}  // namespace adv
