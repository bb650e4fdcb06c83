// The fonts of one engine: face names resolved through fontconfig, faces opened with FreeType,
// and every font kept under its request, so that a text layer going back to a face, size and
// style it used before finds its glyphs already rasterised.
#pragma once

#include <cstddef>
#include <map>
#include <memory>

#include "host/font.h"

namespace adv {

class FaceMatcher;

class FontLibrary {
 public:
  // Cell heights above this are refused: nothing on a 640 x 480 screen needs more, and a glyph of
  // that size already costs a megapixel to rasterise.
  static constexpr int kMaxHeight = 1000;
  static constexpr int kMaxWeight = 1000;

  FontLibrary();
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;

  // Whether Open would consider the request at all: its height and weight are within the limits.
  // Answered without starting FreeType or fontconfig.
  static bool Accepts(const FontRequest& request);

  // The font asked for, shared with everyone who asked for the same. Null, with nothing
  // allocated, for a height outside 1 to kMaxHeight or a weight outside 0 to kMaxWeight; null
  // also when no face can be found or opened.
  std::shared_ptr<Font> Open(const FontRequest& request);

  // Fonts currently kept.
  std::size_t kept() const { return fonts_.size(); }

 private:
  std::shared_ptr<FreeTypeLibrary> freetype_;
  std::unique_ptr<FaceMatcher> matcher_;
  std::map<FontRequest, std::shared_ptr<Font>> fonts_;
};

}  // namespace adv
