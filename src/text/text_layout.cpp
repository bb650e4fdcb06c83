// TextLayer: laying characters out, drawing them, clearing lines and composing them.
#include <algorithm>
#include <array>
#include <cstdint>

#include "base/sjis_string.h"
#include "host/font.h"
#include "text/glyph_painter.h"
#include "text/layout_math.h"
#include "text/text_layer.h"

namespace adv {

namespace {

// 、。？！ー）」』☆♪ぁぃぅぇぉっゃゅょァィゥェォッャュョ as Shift-JIS codes, sorted.
constexpr std::array<std::uint16_t, 28> kHangingChars = {
    0x8141, 0x8142, 0x8148, 0x8149, 0x815B, 0x816A, 0x8176, 0x8178, 0x8199, 0x81F4,
    0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1, 0x82E1, 0x82E3, 0x82E5, 0x8340,
    0x8342, 0x8344, 0x8346, 0x8348, 0x8362, 0x8383, 0x8385, 0x8387};

// A rectangle from 64-bit edges, clamped into int.
Rect MakeRect(long long left, long long top, long long right, long long bottom) {
  return Rect{Saturate(left), Saturate(top), Saturate(right), Saturate(bottom)};
}

long long FloorDiv(long long a, long long b) {
  return a >= 0 ? a / b : -((-a + b - 1) / b);
}

long long CeilDiv(long long a, long long b) {
  return -FloorDiv(-a, b);
}

}  // namespace

std::size_t TextLayer::CharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  return text.size() >= 2 && IsSjisLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1;
}

bool TextLayer::IsHangingChar(std::string_view character) {
  if (character.size() < 2 || !IsSjisLeadByte(static_cast<unsigned char>(character[0]))) {
    return false;
  }
  const auto code = static_cast<std::uint16_t>(static_cast<unsigned char>(character[0]) << 8 |
                                               static_cast<unsigned char>(character[1]));
  return std::binary_search(kHangingChars.begin(), kHangingChars.end(), code);
}

int TextLayer::CellWidth(std::string_view character) {
  Font* font = CurrentFont();
  if (font == nullptr) return static_cast<int>(character.size()) * std::max(1, size_ / 2);
  const int extent = font->CellWidth(character);
  return (extent + magnification_ - 1) / magnification_;
}

bool TextLayer::PutChar(std::string_view text, bool compose_now, Rect* rect) {
  Rect drawn;
  bool ok = true;
  if (!text.empty()) {
    ok = text[0] == '\n' ? NewLine()
                         : LayOut(text.substr(0, CharacterLength(text)), drawn, nullptr, false);
  }
  if (compose_now) ComposeRect(drawn);
  if (rect != nullptr) *rect = drawn;
  return ok;
}

bool TextLayer::LayOut(std::string_view character, Rect& rect, Rect* flush, bool compose) {
  rect = Rect{};
  if (lines_.empty()) return false;
  const long long cell = CellWidth(character);
  const long long o = shadow_offset_;
  long long x = cursor_x_;
  long long y = cursor_y_;
  // The cell, grown by the shadow, and by the edge where the shadow does not already cover it.
  long long left, top, right, bottom;
  if (o > 0) {
    left = x, top = y, right = x + o + cell, bottom = y + o + size_;
  } else {
    left = x + o, top = y + o, right = x + cell, bottom = y + size_;
  }
  if (edge_) {
    if (o >= 0) --left, --top;
    if (o <= 0) ++right, ++bottom;
  }

  const int limit = IsHangingChar(character) ? max_width_ : width_;
  if (right > limit) {
    if (flush != nullptr && compose) {
      ComposeRect(*flush);
      *flush = Rect{};
    }
    if (!NewLine()) return false;
    const long long dx = cursor_x_ - x;
    const long long dy = cursor_y_ - y;
    left += dx, right += dx, top += dy, bottom += dy;
    x = cursor_x_;
    y = cursor_y_;
  }

  TextLine& line = lines_[current_line_];
  if (!line.HasText()) {
    line.start_x = cursor_x_;
    line.start_y = cursor_y_;
  }
  line.text.append(character);
  // Only the part on the surface is kept: nothing is drawn outside it, so nothing there needs
  // composing or clearing, and the rectangles stay small enough for any arithmetic.
  rect = IntersectRect(MakeRect(left, top, right, bottom), Rect{0, 0, max_width_, height_});
  line.rect = UnionRect(line.rect, rect);
  line.ink = UnionRect(line.ink, DrawCharacter(character, cursor_x_, cursor_y_));

  cursor_x_ = Saturate(x + cell + spacing_);
  last_x_ = cursor_x_;
  last_y_ = cursor_y_;
  return true;
}

Rect TextLayer::DrawCharacter(std::string_view character, int x, int y) {
  Font* font = CurrentFont();
  if (font == nullptr) return Rect{};
  const long long m = magnification_;
  // The whole glyph goes onto the layer, even ink that reaches past its cell (the top of an
  // italic, a proportional face's overhang): the screen shows it where composed rectangles reach.
  CDrawImage& canvas = Canvas();
  const Rect surface{0, 0, canvas.Width(), canvas.Height()};
  const Glyph& glyph = font->GlyphOf(character);
  Rect ink;
  const auto paint = [&](long long dx, long long dy, Pixel pixel) {
    const long long left = (x + dx) * m, top = (y + dy) * m;
    PaintGlyph(canvas, glyph, left, top, pixel, surface);
    if (glyph.ink.Empty()) return;
    // Logical pixels that hold any of this ink, so that clearing the line clears all of it.
    ink = UnionRect(
        ink, MakeRect(FloorDiv(left + glyph.ink.left, m), FloorDiv(top + glyph.ink.top, m),
                      CeilDiv(left + glyph.ink.right, m), CeilDiv(top + glyph.ink.bottom, m)));
  };
  const Pixel shadow = ColorToPixel(shadow_colour_);
  const long long o = shadow_offset_;
  paint(o, o, shadow);
  if (edge_) {
    constexpr int kAround[4][2] = {{0, -1}, {-1, 0}, {1, 0}, {0, 1}};
    for (const auto& d : kAround) paint(d[0], d[1], shadow);
  }
  paint(0, 0, ColorToPixel(text_colour_));
  return IntersectRect(ink, Rect{0, 0, max_width_, height_});
}

bool TextLayer::DrawString(std::string_view text, bool compose_now) {
  Rect gathered;
  std::size_t i = 0;
  bool ok = true;
  while (ok && i < text.size()) {
    if (text[i] == '\n') {
      if (compose_now) ComposeRect(gathered);
      gathered = Rect{};
      ok = NewLine();
      ++i;
      continue;
    }
    const std::size_t length = CharacterLength(text.substr(i));
    Rect rect;
    ok = LayOut(text.substr(i, length), rect, &gathered, compose_now);
    gathered = UnionRect(gathered, rect);
    i += length;
  }
  if (compose_now) ComposeRect(gathered);
  return ok;
}

bool TextLayer::NewLine() {
  if (lines_.empty() || current_line_ >= max_lines()) return false;
  ++current_line_;
  cursor_x_ = 0;
  cursor_y_ = Saturate(static_cast<long long>(cursor_y_) + size_ + leading_);
  return true;
}

bool TextLayer::MoveTo(int x, int y) {
  if (x == cursor_x_ && y == cursor_y_) return true;
  if (CurrentLineHasText() && !NewLine()) return false;
  cursor_x_ = x;
  cursor_y_ = y;
  return true;
}

bool TextLayer::MoveBy(int dx, int dy) {
  if (dx == 0 && dy == 0) return true;
  const long long x = cursor_x_;
  const long long y = cursor_y_;
  if (CurrentLineHasText() && !NewLine()) return false;
  cursor_x_ = Saturate(x + dx);
  cursor_y_ = Saturate(y + dy);
  return true;
}

bool TextLayer::MoveAfterLast(int dx, int dy) {
  if (CurrentLineHasText() && !NewLine()) return false;
  cursor_x_ = Saturate(static_cast<long long>(last_x_) + dx);
  cursor_y_ = Saturate(static_cast<long long>(last_y_) + dy);
  return true;
}

int TextLayer::MeasureLine(std::string_view text) {
  const std::string_view line = text.substr(0, text.find('\n'));
  long long width = 0;
  bool any = false;
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = CharacterLength(line.substr(i));
    width += CellWidth(line.substr(i, length)) + static_cast<long long>(spacing_);
    any = true;
    i += length;
  }
  return any ? Saturate(width - spacing_) : 0;
}

void TextLayer::ClearLine(int i) {
  if (i < 1 || static_cast<std::size_t>(i) >= lines_.size()) return;
  TextLine& line = lines_[i];
  const Rect r = UnionRect(line.rect, line.ink);
  // Without a surface yet nothing was drawn: there is nothing to clear.
  if (!r.Empty() && surface_.Is16()) {
    const int m = magnification_;
    surface_.Fill(r.left * m, r.top * m, r.Width() * m, r.Height() * m, transparent_colour_);
  }
  line = TextLine{};
}

void TextLayer::ClearAll() {
  for (int i = 1; i <= current_line_; ++i) ClearLine(i);
  current_line_ = 1;
  cursor_x_ = cursor_y_ = 0;
  last_x_ = last_y_ = 0;
}

bool TextLayer::GetLine(TextLine* out, int i) const {
  if (out == nullptr || i <= 0 || static_cast<std::size_t>(i) >= lines_.size()) return false;
  out->text = lines_[i].text;
  out->rect = lines_[i].rect;
  return true;
}

void TextLayer::ComposeRect(const Rect& rect) {
  // Without a surface yet nothing was drawn: there is nothing to compose.
  if (target_ == nullptr || rect.Empty() || !surface_.Is16()) return;
  for (int i = 1; i <= current_line_ && static_cast<std::size_t>(i) < lines_.size(); ++i) {
    const Rect r = IntersectRect(lines_[i].rect, rect);
    if (r.Empty()) continue;
    const Rect on_target = OnTarget(r);
    target_->CopyReducedKeyed(on_target.left, on_target.top, r.Width(), r.Height(), surface_,
                              r.left, r.top, transparent_colour_, magnification_);
  }
}

void TextLayer::ComposeLine(int i) {
  if (i < 1 || static_cast<std::size_t>(i) >= lines_.size()) return;
  ComposeRect(lines_[i].rect);
}

void TextLayer::ComposeAll() {
  for (int i = 1; i <= current_line_; ++i) ComposeLine(i);
}

bool TextLayer::RedrawLine(int i, bool compose_now) {
  if (i < 1 || i > current_line_ || static_cast<std::size_t>(i) >= lines_.size()) return false;
  const int saved_line = current_line_;
  const int saved_x = cursor_x_;
  const int saved_y = cursor_y_;
  current_line_ = i;
  cursor_x_ = lines_[i].start_x;
  cursor_y_ = lines_[i].start_y;
  const std::string text = lines_[i].text;
  ClearLine(i);
  const bool ok = DrawString(text, compose_now);
  // A line drawn again in a narrower area may wrap past the page's last line; the page then ends
  // there, so that no line after the current one holds text.
  if (current_line_ <= saved_line) {
    current_line_ = saved_line;
    cursor_x_ = saved_x;
    cursor_y_ = saved_y;
  }
  return ok;
}

}  // namespace adv
