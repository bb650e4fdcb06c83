// CDrawImage: a 16-bit RGB555 drawing surface with an optional alpha plane. The back buffer, the
// spare buffer, the base surface ("screen"), the numbered offscreens, loaded pictures and the
// text layers' glyph surfaces are all CDrawImages.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "base/pixel.h"
#include "base/rect.h"

namespace adv {

class CDrawImage {
 public:
  // Refuse absurd sizes before allocating: a picture header may claim anything.
  static constexpr int kMaxSide = 32767;
  static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 26;

  CDrawImage() = default;
  ~CDrawImage() = default;
  CDrawImage(const CDrawImage&) = delete;
  CDrawImage& operator=(const CDrawImage&) = delete;

  // Gives the surface new pixels of the given size (zeroed). 0 x 0 succeeds and creates nothing.
  // On failure the surface keeps what it had.
  [[nodiscard]] bool Create(int width, int height);
  void Release();

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitsPerPixel() const { return bits_per_pixel_; }
  bool Is16() const { return bits_per_pixel_ == 16; }
  // Bytes per row: the width rounded up to an even number of pixels, times two.
  int Stride() const { return stride_; }
  int PitchPixels() const { return stride_ / 2; }
  Pixel* Pixels() { return pixels_.get(); }
  const Pixel* Pixels() const { return pixels_.get(); }
  Pixel* Row(int y) { return pixels_.get() + static_cast<std::ptrdiff_t>(y) * PitchPixels(); }
  const Pixel* Row(int y) const {
    return pixels_.get() + static_cast<std::ptrdiff_t>(y) * PitchPixels();
  }

  // Alpha plane: width x height bytes, rows of exactly width bytes, or null.
  std::uint8_t* Alpha() { return alpha_.get(); }
  const std::uint8_t* Alpha() const { return alpha_.get(); }
  std::uint8_t* AllocateAlpha();
  void FreeAlpha() { alpha_.reset(); }

  // Plain copy from another surface (or the same one, overlapping allowed), clipped to both.
  bool Blt(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y);
  // Exchanges the pixels of two surfaces of equal size and depth; alpha planes stay.
  bool Swap(CDrawImage& other);
  // The pixel at (x, y); 0 when the surface has no pixels or the point lies outside it (never
  // a read past the pixels).
  Pixel GetPixel(int x, int y) const;
  bool FillRect(const Rect* rect, Colour colour);
  bool Fill(int x, int y, int width, int height, Colour colour);

  // Composition methods (compose_*.cpp).
  bool Copy(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y);
  bool CopyKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y,
                 Pixel key);
  bool CopyTranslucent(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                       int src_y, int level);
  bool FillTranslucent(int x, int y, int width, int height, Colour colour, int level);
  bool CopyTranslucentKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                            int src_y, Pixel key, int level);
  bool CopyAdd(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y);
  bool FillAdd(int x, int y, int width, int height, Colour colour);
  bool CopySub(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y);
  bool FillSub(int x, int y, int width, int height, Colour colour);
  bool CopyDark(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y,
                int level);
  bool FillDark(int x, int y, int width, int height, Colour colour, int level);
  bool CopyDarkKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                     int src_y, Pixel key, int level);
  bool CopyLight(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y,
                 int level);
  bool FillLight(int x, int y, int width, int height, Colour colour, int level);
  bool CopyLightKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                      int src_y, Pixel key, int level);
  bool CopyAlpha(int x, int y, int width, int height, const CDrawImage& src, int src_x, int src_y);
  bool CopyReducedKeyed(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                        int src_y, Colour key, int factor);

 private:
  struct FreeDeleter {
    void operator()(void* p) const;
  };

  int width_ = 0;
  int height_ = 0;
  int bits_per_pixel_ = 0;
  int stride_ = 0;
  std::unique_ptr<Pixel[], FreeDeleter> pixels_;
  std::unique_ptr<std::uint8_t[], FreeDeleter> alpha_;
};

// Clipping shared by every pixel routine: adjusts the first arguments in place and returns false
// when nothing remains to draw.
bool ClipRect(int& width, int& height, int& x, int& y, int surface_width, int surface_height);
bool ClipRectPair(int& width, int& height, int& dst_x, int& dst_y, int dst_width, int dst_height,
                  int& src_x, int& src_y, int src_width, int src_height);

}  // namespace adv
