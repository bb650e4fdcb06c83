// The line being executed. Readers consume it from the front; a read offset keeps that cheap on
// long lines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace adv {

class LineBuffer {
 public:
  // Replaces the content. The line ends at a NUL byte, as a C string would.
  void Set(std::string_view text);
  std::string_view Rest() const { return std::string_view(text_).substr(pos_); }
  bool Exhausted() const { return pos_ >= text_.size(); }
  void Consume(std::size_t n) { pos_ = pos_ + n > text_.size() ? text_.size() : pos_ + n; }
  // The whole rest, for handlers that rewrite it (text expansion).
  std::string TakeRest() const { return std::string(Rest()); }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

}  // namespace adv
