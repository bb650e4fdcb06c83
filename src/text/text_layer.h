// TextLayer: a surface of its own onto which characters are laid out and drawn at an integer
// magnification, a font and style, and the table of the lines it holds. It composes its lines
// onto a target surface through the keyed, reducing copy, so at magnification 2 to 4 glyph edges
// are smoothed against the picture beneath. Every coordinate outside is logical (unmagnified)
// and relative to the layer; the layer's position places it on the target.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/pixel.h"
#include "base/rect.h"
#include "graphics/draw_image.h"

namespace adv {

class Font;
class FontLibrary;
struct FontRequest;

// One run of characters drawn from one start point.
struct TextLine {
  std::string text;  // the characters drawn, in order (Shift-JIS)
  Rect rect;         // union of their rectangles; empty when the line is empty
  Rect ink;          // where their glyphs left ink, which may reach past the rectangles
  int start_x = 0;   // cursor position of the line's first character
  int start_y = 0;
  bool HasText() const { return !text.empty(); }
};

// The arguments of Create that make one of the engine's layers.
struct TextLayerShape {
  int max_lines = 0;
  int width = 0;
  int max_width = 0;
  int height = 0;
  int magnification = 0;
};

// "ＭＳ ゴシック" in Shift-JIS: the face every layer starts with.
inline constexpr std::string_view kDefaultFaceName =
    "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
inline constexpr int kDefaultFontSize = 32;
inline constexpr int kDefaultWeight = 400;
// Limits beyond which a setting is refused: no page needs more lines, and no screen a bigger font.
inline constexpr int kMaxLines = 1000;
inline constexpr int kMaxFontSize = 1000;
inline constexpr int kMaxWeight = 1000;
inline constexpr int kMaxMagnification = 4;

class TextLayer {
 public:
  explicit TextLayer(FontLibrary& fonts);
  ~TextLayer();
  TextLayer(const TextLayer&) = delete;
  TextLayer& operator=(const TextLayer&) = delete;

  // --- Set-up and style ---------------------------------------------------------------------

  // SetArea and SetMaxLines, then the default face, size 32 and weight 400, and the target. Fails
  // when the area or line count is refused. The font itself is made when the layer first needs
  // it (a character to measure or draw); when none can be made the layer draws nothing.
  [[nodiscard]] bool Create(CDrawImage* target, int max_lines, int width, int max_width, int height,
                            int magnification);
  [[nodiscard]] bool Create(CDrawImage* target, const TextLayerShape& shape) {
    return Create(target, shape.max_lines, shape.width, shape.max_width, shape.height,
                  shape.magnification);
  }

  // No line table yet, or line 1 is current and empty. The settings marked "blank only" are
  // refused, changing nothing, on a page with text.
  bool IsBlank() const;
  // Blank only. Needs max_width >= width > 0, height > 0, 1 <= magnification <= 4, and a surface
  // of (max_width x magnification) by (height x magnification) within CDrawImage's limits. When
  // the surface size changes, a new surface filled with the transparent colour and the font at
  // the new magnification are made when first needed; on any failure nothing changes.
  bool SetArea(int width, int max_width, int height, int magnification);
  bool SetPosition(int x, int y);  // blank only
  // Blank only; 1 to kMaxLines lines.
  bool SetMaxLines(int n);
  // The font setters keep everything as it was when the font library would refuse the new font
  // (FontLibrary::Accepts); the font is made at its first use, and when it cannot be made the
  // layer keeps drawing with the one it had. SetSize refuses sizes outside 1 to kMaxFontSize; on
  // a line with text it moves the cursor up or down by the change, so characters of both sizes
  // share their bottom edge.
  bool SetFaceName(std::string_view face);
  bool SetSize(int size);
  bool SetWeight(int weight);  // 0 to kMaxWeight
  bool SetItalic(bool on);
  bool SetUnderline(bool on);
  bool SetStrikeOut(bool on);
  // On a line with text the cursor already holds the old gap after the last character; it takes
  // the difference.
  void SetSpacing(int spacing);
  void SetLeading(int leading) { leading_ = leading; }
  bool SetTransparentColor(Colour colour);  // blank only; fills the surface

  // Plain settings the commands write directly.
  void SetTarget(CDrawImage* target) { target_ = target; }
  void SetTextColour(Colour c) { text_colour_ = c; }
  void SetShadowColour(Colour c) { shadow_colour_ = c; }
  void SetShadowOffset(int offset) { shadow_offset_ = offset; }
  void SetEdge(bool on) { edge_ = on; }

  // --- Layout -------------------------------------------------------------------------------

  // Lays out and draws the first character of text (one byte, or two when the first is a lead
  // byte). Empty text: an empty rectangle and success. A leading line feed: an empty rectangle
  // and NewLine's result. Fails, with an empty rectangle, when the character must wrap below the
  // last line. rect (may be null) receives the character's rectangle; with compose_now it is
  // composed onto the target at once.
  bool PutChar(std::string_view text, bool compose_now, Rect* rect);
  // Every character of text, line feeds included; false when a line break fails.
  bool DrawString(std::string_view text, bool compose_now);
  // Fails on the last line; otherwise the next line, cursor at x 0 and size + leading lower.
  bool NewLine();
  // The three cursor moves start a new line first when the current one has text.
  bool MoveTo(int x, int y);
  bool MoveBy(int dx, int dy);
  bool MoveAfterLast(int dx, int dy);
  // Width of text up to its first line feed: cells plus spacing between them.
  int MeasureLine(std::string_view text);
  // The 28 characters that may stand out up to the maximum width.
  static bool IsHangingChar(std::string_view character);
  // Bytes of the character at the start of text, as PutChar takes them: two when the first is a
  // lead byte and a second follows, else one (0 for empty text).
  static std::size_t CharacterLength(std::string_view text);
  void ClearLine(int i);
  // Clears lines 1 to the current one; line 1 becomes current, cursor and last position (0, 0).
  void ClearAll();
  // Line i's rectangle and text; false for i outside the table or a null out.
  bool GetLine(TextLine* out, int i) const;
  // Composes the lines' parts inside rect (layer coordinates) onto the target.
  void ComposeRect(const Rect& rect);
  void ComposeLine(int i);
  void ComposeAll();
  // Draws line i again in the current colours from its start point, leaving the current line
  // and cursor where they were (choices repaint themselves this way).
  bool RedrawLine(int i, bool compose_now);

  // --- State --------------------------------------------------------------------------------

  CDrawImage* target() const { return target_; }
  // The layer's surface, made now if no character has been drawn since its size last changed.
  const CDrawImage& surface() { return Canvas(); }
  int magnification() const { return magnification_; }
  int cursor_x() const { return cursor_x_; }
  int cursor_y() const { return cursor_y_; }
  int last_x() const { return last_x_; }
  int last_y() const { return last_y_; }
  int position_x() const { return position_x_; }
  int position_y() const { return position_y_; }
  int width() const { return width_; }
  int max_width() const { return max_width_; }
  int height() const { return height_; }
  int max_lines() const { return lines_.empty() ? 0 : static_cast<int>(lines_.size()) - 1; }
  int current_line() const { return current_line_; }
  const std::string& face_name() const { return face_name_; }
  int size() const { return size_; }
  int weight() const { return weight_; }
  bool italic() const { return italic_; }
  bool underline() const { return underline_; }
  bool strike_out() const { return strike_out_; }
  int spacing() const { return spacing_; }
  int leading() const { return leading_; }
  int shadow_offset() const { return shadow_offset_; }
  bool edge() const { return edge_; }
  Colour text_colour() const { return text_colour_; }
  Colour shadow_colour() const { return shadow_colour_; }
  Colour transparent_colour() const { return transparent_colour_; }
  // The font of the current style and magnification, made now if it has not been; null when
  // none can be made.
  const Font* font() { return CurrentFont(); }
  // Union of the rectangles of lines 1 to the current one, in layer coordinates.
  Rect PageRect() const;
  // A rectangle in layer coordinates moved to the target's (by the layer position).
  Rect OnTarget(const Rect& rect) const;

 private:
  struct FontStyle {
    std::string face;
    int size;
    int weight;
    bool italic, underline, strike_out;
  };
  FontStyle Style() const;
  // What the font library is asked for a style at a magnification; false for a size outside 1 to
  // kMaxFontSize or a request the library refuses.
  static bool RequestFor(const FontStyle& style, int magnification, FontRequest& request);
  bool ApplyStyle(const FontStyle& style);
  // Fonts are made at their first use: a game that shows no text never starts the font machinery.
  Font* CurrentFont();
  // The surface, likewise made (filled with the transparent colour) at its first use: a layer
  // that never shows text takes no memory for pixels.
  CDrawImage& Canvas();
  bool CurrentLineHasText() const;
  int CellWidth(std::string_view character);
  // PutChar without composing. flush, when given, is composed and emptied before a wrap.
  bool LayOut(std::string_view character, Rect& rect, Rect* flush, bool compose);
  // Draws the character with its shadow and edge; returns the bounds of its ink on the layer.
  Rect DrawCharacter(std::string_view character, int x, int y);

  FontLibrary& fonts_;
  CDrawImage surface_;
  CDrawImage* target_ = nullptr;
  int magnification_ = 0;
  int cursor_x_ = 0, cursor_y_ = 0;
  int last_x_ = 0, last_y_ = 0;
  std::vector<TextLine> lines_;
  int position_x_ = 0, position_y_ = 0;
  int width_ = 0;
  int height_ = 0;
  int max_width_ = 0;
  std::shared_ptr<Font> font_;
  bool font_stale_ = false;  // font_ is not yet the font of the current style and magnification
  std::string face_name_;
  int size_ = 0;
  int shadow_offset_ = 0;
  int spacing_ = 0;
  int leading_ = 0;
  int current_line_ = 1;
  Colour text_colour_ = 0xFFFFFF;
  Colour shadow_colour_ = 0;
  Colour transparent_colour_ = 0xFF00FF;
  int weight_ = 0;
  bool italic_ = false;
  bool underline_ = false;
  bool strike_out_ = false;
  bool edge_ = false;
};

// The engine's two layers. The message layer targets the back buffer; the parts layer, which
// .tpr prints with, targets the base surface or an offscreen.
inline constexpr TextLayerShape kMessageLayerShape{20, 600, 640, 480, 1};
inline constexpr TextLayerShape kPartsLayerShape{20, 640, 640, 480, 1};

}  // namespace adv
