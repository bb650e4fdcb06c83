// TextLayer: creation, area, line table and the style settings. Layout is in text_layout.cpp.
#include "text/text_layer.h"

#include <climits>

#include "host/font_library.h"
#include "text/layout_math.h"

namespace adv {

TextLayer::TextLayer(FontLibrary& fonts) : fonts_(fonts) {}

TextLayer::~TextLayer() = default;

bool TextLayer::Create(CDrawImage* target, int max_lines, int width, int max_width, int height,
                       int magnification) {
  if (!SetArea(width, max_width, height, magnification)) return false;
  if (!SetMaxLines(max_lines)) return false;
  face_name_ = std::string(kDefaultFaceName);
  weight_ = kDefaultWeight;
  italic_ = underline_ = strike_out_ = false;
  size_ = kDefaultFontSize;
  font_stale_ = true;
  target_ = target;
  return true;
}

bool TextLayer::IsBlank() const {
  return lines_.empty() || (current_line_ == 1 && !lines_[1].HasText());
}

bool TextLayer::SetArea(int width, int max_width, int height, int magnification) {
  if (!IsBlank()) return false;
  if (width <= 0 || max_width < width || height <= 0) return false;
  if (magnification < 1 || magnification > kMaxMagnification) return false;
  if (max_width == max_width_ && height == height_ && magnification == magnification_) {
    // Same surface: only the wrap width changes, and it does take effect.
    width_ = width;
    return true;
  }
  const long long surface_width = static_cast<long long>(max_width) * magnification;
  const long long surface_height = static_cast<long long>(height) * magnification;
  if (surface_width > CDrawImage::kMaxSide || surface_height > CDrawImage::kMaxSide ||
      surface_width * surface_height > CDrawImage::kMaxPixels) {
    return false;
  }
  // A magnification the font could not follow is refused: the layer must not be left with glyphs
  // of the old scale.
  FontRequest request;
  if (magnification != magnification_ && size_ > 0 &&
      !RequestFor(Style(), magnification, request)) {
    return false;
  }
  // The new surface is made when the first character is drawn on it.
  surface_.Release();
  width_ = width;
  max_width_ = max_width;
  if (magnification != magnification_) font_stale_ = true;
  height_ = height;
  magnification_ = magnification;
  return true;
}

bool TextLayer::SetPosition(int x, int y) {
  if (!IsBlank()) return false;
  position_x_ = x;
  position_y_ = y;
  return true;
}

bool TextLayer::SetMaxLines(int n) {
  if (!IsBlank() || n < 1 || n > kMaxLines) return false;
  lines_.resize(static_cast<std::size_t>(n) + 1);
  return true;
}

TextLayer::FontStyle TextLayer::Style() const {
  return FontStyle{face_name_, size_, weight_, italic_, underline_, strike_out_};
}

bool TextLayer::RequestFor(const FontStyle& style, int magnification, FontRequest& request) {
  const long long height = static_cast<long long>(style.size) * magnification;
  if (style.size < 1 || style.size > kMaxFontSize || height > INT_MAX) return false;
  request.face = style.face;
  request.height = static_cast<int>(height);
  request.weight = style.weight;
  request.italic = style.italic;
  request.underline = style.underline;
  request.strike_out = style.strike_out;
  return FontLibrary::Accepts(request);
}

bool TextLayer::ApplyStyle(const FontStyle& style) {
  // Before Create there is no scale to check a font at; the font itself is made at its first use.
  FontRequest request;
  if (magnification_ != 0 && !RequestFor(style, magnification_, request)) return false;
  face_name_ = style.face;
  size_ = style.size;
  weight_ = style.weight;
  italic_ = style.italic;
  underline_ = style.underline;
  strike_out_ = style.strike_out;
  font_stale_ = true;
  return true;
}

Font* TextLayer::CurrentFont() {
  FontRequest request;
  if (font_stale_ && magnification_ != 0) {
    font_stale_ = false;
    // A font that cannot be made leaves the one the layer had.
    if (RequestFor(Style(), magnification_, request)) {
      if (std::shared_ptr<Font> font = fonts_.Open(request)) font_ = std::move(font);
    }
  }
  return font_.get();
}

bool TextLayer::SetFaceName(std::string_view face) {
  if (face == face_name_) return true;
  FontStyle style = Style();
  style.face = std::string(face);
  return ApplyStyle(style);
}

bool TextLayer::SetSize(int size) {
  if (size < 1 || size > kMaxFontSize) return false;
  if (size == size_) return true;
  const int old_size = size_;
  FontStyle style = Style();
  style.size = size;
  if (!ApplyStyle(style)) return false;
  if (CurrentLineHasText()) {
    cursor_y_ = Saturate(static_cast<long long>(cursor_y_) + old_size - size);
  }
  return true;
}

bool TextLayer::SetWeight(int weight) {
  if (weight == weight_) return true;
  if (static_cast<unsigned>(weight) > static_cast<unsigned>(kMaxWeight)) return false;
  FontStyle style = Style();
  style.weight = weight;
  return ApplyStyle(style);
}

bool TextLayer::SetItalic(bool on) {
  if (on == italic_) return true;
  FontStyle style = Style();
  style.italic = on;
  return ApplyStyle(style);
}

bool TextLayer::SetUnderline(bool on) {
  if (on == underline_) return true;
  FontStyle style = Style();
  style.underline = on;
  return ApplyStyle(style);
}

bool TextLayer::SetStrikeOut(bool on) {
  if (on == strike_out_) return true;
  FontStyle style = Style();
  style.strike_out = on;
  return ApplyStyle(style);
}

void TextLayer::SetSpacing(int spacing) {
  if (CurrentLineHasText()) {
    cursor_x_ = Saturate(static_cast<long long>(cursor_x_) + spacing - spacing_);
  }
  spacing_ = spacing;
}

bool TextLayer::SetTransparentColor(Colour colour) {
  if (!IsBlank()) return false;
  transparent_colour_ = colour;
  if (surface_.Is16()) surface_.FillRect(nullptr, colour);
  return true;
}

CDrawImage& TextLayer::Canvas() {
  if (!surface_.Is16() && magnification_ != 0 &&
      surface_.Create(max_width_ * magnification_, height_ * magnification_)) {
    surface_.FillRect(nullptr, transparent_colour_);
  }
  return surface_;
}

bool TextLayer::CurrentLineHasText() const {
  return current_line_ >= 1 && static_cast<std::size_t>(current_line_) < lines_.size() &&
         lines_[current_line_].HasText();
}

Rect TextLayer::PageRect() const {
  Rect page;
  for (int i = 1; i <= current_line_ && static_cast<std::size_t>(i) < lines_.size(); ++i) {
    page = UnionRect(page, lines_[i].rect);
  }
  return page;
}

Rect TextLayer::OnTarget(const Rect& rect) const {
  if (rect.Empty()) return Rect{};
  return Rect{Rect::SaturatedAdd(rect.left, position_x_), Rect::SaturatedAdd(rect.top, position_y_),
              Rect::SaturatedAdd(rect.right, position_x_),
              Rect::SaturatedAdd(rect.bottom, position_y_)};
}

}  // namespace adv
