#include "backlog/backlog.h"

#include <algorithm>

namespace adv {

namespace {

// Whether now is page grown by more text: every line as it was, the last one perhaps longer,
// perhaps more lines after it.
bool Continues(const std::vector<TextLine>& now, const std::vector<TextLine>& page) {
  if (now.size() < page.size()) return false;
  for (std::size_t i = 0; i < page.size(); ++i) {
    const TextLine& a = now[i];
    const TextLine& b = page[i];
    if (a.start_x != b.start_x || a.start_y != b.start_y) return false;
    if (i + 1 < page.size() ? a.text != b.text : a.text.compare(0, b.text.size(), b.text) != 0) {
      return false;
    }
  }
  return true;
}

// Each 5-bit channel halved, so text reads clearly over any picture.
void Darken(CDrawImage& image) {
  for (int y = 0; y < image.Height(); ++y) {
    Pixel* row = image.Row(y);
    for (int x = 0; x < image.Width(); ++x) row[x] = static_cast<Pixel>((row[x] >> 1) & 0x3DEF);
  }
}

}  // namespace

void Backlog::Observe(const TextLayer& layer) {
  Page now;
  TextLine line;
  for (int i = 1; i <= layer.current_line() && layer.GetLine(&line, i); ++i) {
    if (line.HasText()) now.push_back(line);
  }
  if (Continues(now, current_)) {
    if (now.size() != current_.size() || (!now.empty() && now.back().text != current_.back().text))
      current_ = std::move(now);
    return;
  }
  if (!current_.empty()) {
    pages_.push_back(std::move(current_));
    // With the page being read, kMaxPages in all.
    if (pages_.size() >= kMaxPages) pages_.pop_front();
    // The page shown stays the same while pages move under it.
    if (open_ && back_ + 1 < size()) ++back_;
  }
  current_ = std::move(now);
}

bool Backlog::Open() {
  if (size() == 0) return false;
  open_ = true;
  back_ = 0;
  return true;
}

void Backlog::Older() {
  if (back_ + 1 < size()) ++back_;
}

bool Backlog::Newer() {
  if (back_ == 0) return false;
  --back_;
  return true;
}

const Backlog::Page& Backlog::Shown() const {
  const std::size_t index = size() - 1 - back_;
  return index < pages_.size() ? pages_[index] : current_;
}

void Backlog::Render(const CDrawImage& picture, const TextLayer& style) {
  if (view_.Width() != picture.Width() || view_.Height() != picture.Height()) {
    // Without memory for it the view stays empty, and nothing of another size is shown.
    if (!view_.Create(picture.Width(), picture.Height())) {
      view_.Release();
      return;
    }
  }
  view_.Copy(0, 0, picture.Width(), picture.Height(), picture, 0, 0);
  Darken(view_);
  if (size() == 0) return;
  // A fresh layer of the message layer's shape each time: its settings apply to blank layers.
  layer_.ClearAll();
  // A layer that cannot be made (no memory for its surface) leaves the darkened picture without
  // text.
  if (!layer_.Create(&view_, std::max(style.max_lines(), 1), style.width(), style.max_width(),
                     style.height(), style.magnification())) {
    return;
  }
  layer_.SetPosition(style.position_x(), style.position_y());
  layer_.SetTransparentColor(style.transparent_colour());
  layer_.SetFaceName(style.face_name());
  layer_.SetSize(style.size());
  layer_.SetWeight(style.weight());
  layer_.SetItalic(style.italic());
  layer_.SetUnderline(style.underline());
  layer_.SetStrikeOut(style.strike_out());
  layer_.SetSpacing(style.spacing());
  layer_.SetLeading(style.leading());
  layer_.SetTextColour(style.text_colour());
  layer_.SetShadowColour(style.shadow_colour());
  layer_.SetShadowOffset(style.shadow_offset());
  layer_.SetEdge(style.edge());
  for (const TextLine& line : Shown()) {
    layer_.MoveTo(line.start_x, line.start_y);
    layer_.DrawString(line.text, true);
  }
}

}  // namespace adv
