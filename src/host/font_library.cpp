#include "host/font_library.h"

#include <iterator>

#include "host/face_matcher.h"
#include "host/freetype_library.h"
#include "host/sjis_convert.h"

namespace adv {

namespace {

// Fonts no layer uses any more are let go once more than this many are kept.
constexpr std::size_t kKeptFonts = 16;

// Where characters come from that a face lacks (a Latin face named by a script, say): the
// system's Japanese sans-serif face, so a Japanese line never shows empty boxes.
constexpr const char* kFallbackFamily = "sans-serif";

}  // namespace

// Nothing starts here: FreeType and fontconfig come up with the first font a game asks for, so a
// game that shows no text never pays for them.
FontLibrary::FontLibrary() : matcher_(std::make_unique<FaceMatcher>()) {}

FontLibrary::~FontLibrary() = default;

bool FontLibrary::Accepts(const FontRequest& request) {
  return request.height > 0 && request.height <= kMaxHeight && request.weight >= 0 &&
         request.weight <= kMaxWeight;
}

std::shared_ptr<Font> FontLibrary::Open(const FontRequest& request) {
  if (!Accepts(request)) return nullptr;
  if (auto it = fonts_.find(request); it != fonts_.end()) return it->second;

  const auto file = matcher_->Match(SjisToUtf8(request.face), request.weight, request.italic);
  if (!file) return nullptr;
  if (freetype_ == nullptr) freetype_ = std::make_shared<FreeTypeLibrary>();
  std::shared_ptr<Font> font =
      Font::Open(freetype_, *file, request, matcher_->Match(kFallbackFamily, 0, false));
  if (font == nullptr) return nullptr;

  if (fonts_.size() >= kKeptFonts) {
    for (auto it = fonts_.begin(); it != fonts_.end();) {
      it = it->second.use_count() == 1 ? fonts_.erase(it) : std::next(it);
    }
  }
  fonts_.emplace(request, font);
  return font;
}

}  // namespace adv
