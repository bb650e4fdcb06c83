#include "host/font.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/sjis_string.h"
#include "host/freetype_library.h"
#include "host/sjis_convert.h"

namespace adv {

namespace {

// Glyph caches above this many bytes are emptied before they grow: a script may show thousands of
// distinct characters at a huge size.
constexpr std::size_t kCacheBudget = std::size_t{32} << 20;

// The slant of a synthesised italic, as FreeType's own oblique uses (about 12 degrees).
constexpr FT_Fixed kObliqueShear = 0x0366A;

// The one Unicode character a Shift-JIS character stands for, or 0 when it stands for none.
char32_t ToUnicode(std::string_view character) {
  std::string utf8;
  if (!TrySjisToUtf8(character, utf8) || utf8.empty()) return 0;
  const auto* u = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t n = utf8.size();
  if (u[0] < 0x80) return n == 1 ? u[0] : 0;
  if ((u[0] & 0xE0) == 0xC0 && n == 2) return ((u[0] & 0x1F) << 6) | (u[1] & 0x3F);
  if ((u[0] & 0xF0) == 0xE0 && n == 3) {
    return ((u[0] & 0x0F) << 12) | ((u[1] & 0x3F) << 6) | (u[2] & 0x3F);
  }
  if ((u[0] & 0xF8) == 0xF0 && n == 4) {
    return ((u[0] & 0x07) << 18) | ((u[1] & 0x3F) << 12) | ((u[2] & 0x3F) << 6) | (u[3] & 0x3F);
  }
  return 0;
}

int CharacterLength(std::string_view text) {
  if (text.empty()) return 0;
  return text.size() >= 2 && IsSjisLeadByte(static_cast<unsigned char>(text[0])) ? 2 : 1;
}

// Ink of a rendered bitmap as rows of bools, widened by one pixel to the right when the bold is
// synthesised (the synthetic bold draws each glyph twice, one pixel apart).
std::vector<std::vector<bool>> InkRows(const FT_Bitmap& bitmap, bool widen) {
  const int width = static_cast<int>(bitmap.width);
  std::vector<std::vector<bool>> rows(bitmap.rows, std::vector<bool>(width + (widen ? 1 : 0)));
  const int pitch = bitmap.pitch;
  for (unsigned r = 0; r < bitmap.rows; ++r) {
    const unsigned char* src = bitmap.buffer + static_cast<std::ptrdiff_t>(r) * pitch;
    auto& row = rows[r];
    for (int x = 0; x < width; ++x) {
      switch (bitmap.pixel_mode) {
        case FT_PIXEL_MODE_MONO:
          row[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
          break;
        case FT_PIXEL_MODE_GRAY:
          row[x] = src[x] >= 128;
          break;
        default:
          break;
      }
    }
    if (widen) {
      for (int x = width; x > 0; --x) row[x] = row[x] || row[x - 1];
    }
  }
  return rows;
}

std::int16_t Clamp16(long v) {
  return static_cast<std::int16_t>(std::clamp<long>(v, INT16_MIN, INT16_MAX));
}

void AddRun(Glyph& glyph, long x, long y, long length) {
  if (length <= 0) return;
  GlyphRun run{Clamp16(x), Clamp16(y), Clamp16(length)};
  glyph.runs.push_back(run);
  glyph.ink = UnionRect(glyph.ink, Rect{run.x, run.y, run.x + run.length, run.y + 1});
}

}  // namespace

struct Font::Face {
  FT_Face face = nullptr;
  ~Face() {
    if (face != nullptr) FT_Done_Face(face);
  }
};

Font::Font(std::shared_ptr<FreeTypeLibrary> library, const FaceFile& file,
           const FontRequest& request)
    : library_(std::move(library)),
      face_(std::make_unique<Face>()),
      file_(file),
      request_(request) {}

Font::~Font() {
  face_.reset();  // before the library it came from
}

std::unique_ptr<Font> Font::Open(std::shared_ptr<FreeTypeLibrary> library, const FaceFile& file,
                                 const FontRequest& request, std::optional<FaceFile> fallback) {
  if (library == nullptr || library->handle() == nullptr || request.height <= 0) return nullptr;
  std::unique_ptr<Font> font(new Font(library, file, request));
  if (fallback && (fallback->path != file.path || fallback->index != file.index)) {
    font->fallback_file_ = std::move(fallback);
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library->handle(), file.path.c_str(), file.index, &face) != 0) return nullptr;
  font->face_->face = face;
  if (!FT_IS_SCALABLE(face) || face->ascender - face->descender <= 0) return nullptr;
  FT_Select_Charmap(face, FT_ENCODING_UNICODE);
  // Styles the face lacks are drawn by us. Asked of the face itself: fontconfig's
  // answer already carries the style that was asked for.
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const bool face_bold = (face->style_flags & FT_STYLE_FLAG_BOLD) != 0 ||
                         (os2 != nullptr && os2->version != 0xFFFF && os2->usWeightClass >= 600);
  font->file_.synthetic_bold = request.weight >= 600 && !face_bold;
  font->file_.synthetic_italic = request.italic && (face->style_flags & FT_STYLE_FLAG_ITALIC) == 0;

  // The cell height is ascender + descender, the height scripts give; the classic faces'
  // IPA equivalents have exactly one em there, so a 32-pixel cell is a 32-pixel em.
  FT_Size_RequestRec size_request{};
  size_request.type = FT_SIZE_REQUEST_TYPE_REAL_DIM;
  size_request.height = static_cast<FT_Long>(request.height) * 64;
  if (FT_Request_Size(face, &size_request) != 0) return nullptr;

  const double scale = static_cast<double>(request.height) / (face->ascender - face->descender);
  font->ascent_ = static_cast<int>(std::lround(face->ascender * scale));
  const double em = face->units_per_EM * scale;
  font->byte_width_ = std::max(1, static_cast<int>(std::lround(em / 2)));

  // Underline and strike-out bars from the face's own tables.
  const auto bar_rows = [&](long thickness) {
    return std::max(1, static_cast<int>(std::lround(thickness * scale)));
  };
  font->underline_rows_ = bar_rows(face->underline_thickness);
  font->underline_top_ =
      font->ascent_ - static_cast<int>(std::lround(face->underline_position * scale));
  font->underline_top_ = std::min(font->underline_top_, request.height - font->underline_rows_);
  if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    font->strike_rows_ = bar_rows(os2->yStrikeoutSize);
    font->strike_top_ =
        font->ascent_ - static_cast<int>(std::lround(os2->yStrikeoutPosition * scale));
  } else {
    font->strike_rows_ = font->underline_rows_;
    font->strike_top_ = font->ascent_ - static_cast<int>(std::lround(em / 4));
  }
  return font;
}

const Glyph& Font::GlyphOf(std::string_view text) {
  const int length = CharacterLength(text);
  const unsigned first = length > 0 ? static_cast<unsigned char>(text[0]) : 0;
  const unsigned page_index = length == 2 ? first : 0;
  const unsigned slot = length == 2 ? static_cast<unsigned char>(text[1]) : first;
  auto& page = pages_[page_index];
  if (page != nullptr && page->ready[slot]) return page->glyphs[slot];

  Glyph glyph = Rasterise(text.substr(0, length));
  const std::size_t bytes = sizeof(Glyph) + glyph.runs.size() * sizeof(GlyphRun);
  if (cache_bytes_ + bytes > kCacheBudget) {
    for (auto& p : pages_) p.reset();
    cache_bytes_ = 0;
  }
  if (page == nullptr) page = std::make_unique<Page>();
  cache_bytes_ += bytes;
  page->glyphs[slot] = std::move(glyph);
  page->ready[slot] = true;
  return page->glyphs[slot];
}

Glyph Font::Rasterise(std::string_view character) {
  ++rasterised_;
  Glyph glyph;
  FT_Face face = face_->face;
  const char32_t code = character.empty() ? 0 : ToUnicode(character);
  const FT_UInt index = code != 0 ? FT_Get_Char_Index(face, code) : 0;
  if (index == 0 && code != 0) {
    if (auto borrowed = FromFallback(character)) {
      AddBars(*borrowed);
      return std::move(*borrowed);
    }
  }
  glyph.missing = index == 0;

  FT_Int32 flags = FT_LOAD_TARGET_MONO;
  if (file_.synthetic_italic) flags |= FT_LOAD_NO_BITMAP;  // only outlines can be slanted
  if (FT_Load_Glyph(face, index, flags) == 0) {
    FT_GlyphSlot slot = face->glyph;
    if (slot->format == FT_GLYPH_FORMAT_OUTLINE && file_.synthetic_italic) {
      FT_Matrix shear{0x10000, kObliqueShear, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    const bool bold = file_.synthetic_bold;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6) + (bold ? 1 : 0);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) == 0) {
      const auto rows = InkRows(slot->bitmap, bold);
      const long left = slot->bitmap_left;
      const long top = ascent_ - slot->bitmap_top;
      for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[r];
        const int width = static_cast<int>(row.size());
        for (int x = 0; x < width;) {
          if (!row[x]) {
            ++x;
            continue;
          }
          int end = x;
          while (end < width && row[end]) ++end;
          AddRun(glyph, left + x, top + static_cast<long>(r), end - x);
          x = end;
        }
      }
    }
  } else {
    glyph.missing = true;
  }
  // A character the face cannot show keeps the cell its bytes would take.
  if (glyph.missing) glyph.advance = static_cast<int>(character.size()) * byte_width_;
  AddBars(glyph);
  return glyph;
}

std::optional<Glyph> Font::FromFallback(std::string_view character) {
  if (!fallback_file_) return std::nullopt;
  if (fallback_ == nullptr) {
    // Bars are drawn by this font across its own cells.
    FontRequest plain = request_;
    plain.underline = plain.strike_out = false;
    fallback_ = Open(library_, *fallback_file_, plain);
    if (fallback_ == nullptr) {
      fallback_file_.reset();
      return std::nullopt;
    }
  }
  Glyph glyph = fallback_->GlyphOf(character);
  if (glyph.missing) return std::nullopt;
  const int shift = ascent_ - fallback_->ascent();
  glyph.ink = Rect{};
  for (GlyphRun& run : glyph.runs) {
    run.y = Clamp16(run.y + shift);
    glyph.ink = UnionRect(glyph.ink, Rect{run.x, run.y, run.x + run.length, run.y + 1});
  }
  return glyph;
}

void Font::AddBars(Glyph& glyph) const {
  if (request_.underline) {
    for (int i = 0; i < underline_rows_; ++i) AddRun(glyph, 0, underline_top_ + i, glyph.advance);
  }
  if (request_.strike_out) {
    for (int i = 0; i < strike_rows_; ++i) AddRun(glyph, 0, strike_top_ + i, glyph.advance);
  }
}

}  // namespace adv
