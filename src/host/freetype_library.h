// The FreeType library instance the fonts of one FontLibrary share. Host-internal: only the font
// sources include it. Fonts hold it shared, so a font outliving its FontLibrary stays usable.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

namespace adv {

class FreeTypeLibrary {
 public:
  FreeTypeLibrary() {
    if (FT_Init_FreeType(&handle_) != 0) handle_ = nullptr;
  }
  ~FreeTypeLibrary() {
    if (handle_ != nullptr) FT_Done_FreeType(handle_);
  }
  FreeTypeLibrary(const FreeTypeLibrary&) = delete;
  FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

  FT_Library handle() const { return handle_; }

 private:
  FT_Library handle_ = nullptr;
};

}  // namespace adv
