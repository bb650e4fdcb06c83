// The backlog: the pages of message text the player has read, kept so they can be read again.
// It watches the message layer, keeps the last pages as text, and draws one of them in the
// layer's own font over a darkened copy of the picture; the game's surfaces stay untouched.
#pragma once

#include <cstddef>
#include <deque>
#include <vector>

#include "graphics/draw_image.h"
#include "text/text_layer.h"

namespace adv {

class FontLibrary;

class Backlog {
 public:
  static constexpr std::size_t kMaxPages = 100;

  explicit Backlog(FontLibrary& fonts) : layer_(fonts) {}

  // Looks at the message layer after anything may have drawn on it: a page that was cleared or
  // replaced joins the pages read.
  void Observe(const TextLayer& layer);

  // The pages there are to show: those read, and the page on the layer now (the newest).
  std::size_t size() const { return pages_.size() + (current_.empty() ? 0 : 1); }
  bool is_open() const { return open_; }
  // Shows the newest page; false, staying closed, when there is no text at all.
  bool Open();
  void Close() { open_ = false; }
  // One page older; stays at the oldest.
  void Older();
  // One page newer; false at the newest, where going on closes the backlog.
  bool Newer();
  // Pages between the one shown and the newest (0: the newest).
  std::size_t back() const { return back_; }

  // Draws the page shown over picture, darkened, into view(), in style's font, colours and
  // layout.
  void Render(const CDrawImage& picture, const TextLayer& style);
  const CDrawImage& view() const { return view_; }

 private:
  using Page = std::vector<TextLine>;
  const Page& Shown() const;

  std::deque<Page> pages_;  // oldest first
  Page current_;
  bool open_ = false;
  std::size_t back_ = 0;
  TextLayer layer_;
  CDrawImage view_;
};

}  // namespace adv
