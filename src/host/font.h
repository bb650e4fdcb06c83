// One font: a face at one cell height and style, with the cache of the glyphs it has rasterised.
// Glyphs are monochrome (no anti-aliasing): a text layer draws onto a keyed surface, where grey
// edge pixels would show as a fringe; the layer's magnification does the smoothing instead.
#pragma once

#include <array>
#include <bitset>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/glyph.h"

namespace adv {

// What a text layer asks for: the face name as the script wrote it
// (Shift-JIS), the cell height in pixels (ascent + descent), the weight
// (0 to 1000, 0 meaning normal), and the three attributes.
struct FontRequest {
  std::string face;
  int height = 0;
  int weight = 0;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
  auto operator<=>(const FontRequest&) const = default;
};

// The face file a face name resolved to, and (once opened) which styles are synthesised because
// the face has no such style.
struct FaceFile {
  std::string path;
  int index = 0;
  std::string family;  // UTF-8, as the file names itself
  bool synthetic_bold = false;
  bool synthetic_italic = false;
};

class FreeTypeLibrary;

class Font {
 public:
  // Opens the face at the request's height; null when the file cannot be read or is not scalable.
  // Characters the face lacks are taken from the fallback face, when one is given, opened the
  // first time it is needed.
  static std::unique_ptr<Font> Open(std::shared_ptr<FreeTypeLibrary> library, const FaceFile& file,
                                    const FontRequest& request,
                                    std::optional<FaceFile> fallback = std::nullopt);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;

  const FontRequest& request() const { return request_; }
  const FaceFile& face_file() const { return file_; }
  int height() const { return request_.height; }
  // Baseline distance from the top of the cell.
  int ascent() const { return ascent_; }
  // Cell width of one byte of a character the face cannot show.
  int byte_width() const { return byte_width_; }

  // The glyph of the Shift-JIS character at the start of text: two bytes when the first is a lead
  // byte and a second follows, else one. Rasterised on first use, then served from the cache. The
  // reference stays valid until the next GlyphOf call on this font (a cache over its memory
  // budget is emptied before it grows).
  const Glyph& GlyphOf(std::string_view text);
  int CellWidth(std::string_view text) { return GlyphOf(text).advance; }

  // Glyphs rasterised since the font was opened: what the cache could not serve.
  std::size_t rasterised() const { return rasterised_; }

 private:
  struct Face;
  struct Page {
    std::array<Glyph, 256> glyphs;
    std::bitset<256> ready;
  };

  Font(std::shared_ptr<FreeTypeLibrary> library, const FaceFile& file, const FontRequest& request);
  Glyph Rasterise(std::string_view character);
  // The fallback face's glyph for a character this face lacks, moved onto this face's baseline.
  std::optional<Glyph> FromFallback(std::string_view character);
  void AddBars(Glyph& glyph) const;

  std::shared_ptr<FreeTypeLibrary> library_;
  std::unique_ptr<Face> face_;
  FaceFile file_;
  FontRequest request_;
  std::optional<FaceFile> fallback_file_;
  std::unique_ptr<Font> fallback_;
  int ascent_ = 0;
  int byte_width_ = 0;
  int underline_top_ = 0, underline_rows_ = 0;
  int strike_top_ = 0, strike_rows_ = 0;
  // Indexed by the lead byte (0 for one-byte characters), then by the last byte.
  std::array<std::unique_ptr<Page>, 256> pages_;
  std::size_t cache_bytes_ = 0;
  std::size_t rasterised_ = 0;
};

}  // namespace adv
