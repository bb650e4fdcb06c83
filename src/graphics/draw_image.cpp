#include "graphics/draw_image.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "graphics/compose_kernels.h"

namespace adv {

namespace {

constexpr std::size_t kAlignment = 64;

// Zeroed and aligned for the vector kernels, from calloc: a large surface gets fresh pages from
// the system, which are zero already and take no memory until something is drawn on them. The
// byte before the aligned start says how far it lies from what calloc gave.
void* AllocateZeroed(std::size_t bytes) {
  auto* base = static_cast<std::uint8_t*>(std::calloc(bytes + kAlignment, 1));
  if (base == nullptr) return nullptr;
  const std::size_t offset = kAlignment - reinterpret_cast<std::uintptr_t>(base) % kAlignment;
  base[offset - 1] = static_cast<std::uint8_t>(offset);
  return base + offset;
}

}  // namespace

void CDrawImage::FreeDeleter::operator()(void* p) const {
  auto* aligned = static_cast<std::uint8_t*>(p);
  std::free(aligned - aligned[-1]);
}

bool CDrawImage::Create(int width, int height) {
  if (width == 0) return height == 0;
  if (width < 0 || height <= 0) return false;
  if (width > kMaxSide || height > kMaxSide ||
      static_cast<std::int64_t>(width) * height > kMaxPixels) {
    return false;
  }
  int stride = ((width * 16 + 31) / 32) * 4;
  auto* bits = static_cast<Pixel*>(AllocateZeroed(static_cast<std::size_t>(stride) * height));
  if (bits == nullptr) return false;
  pixels_.reset(bits);
  alpha_.reset();
  width_ = width;
  height_ = height;
  bits_per_pixel_ = 16;
  stride_ = stride;
  return true;
}

void CDrawImage::Release() {
  pixels_.reset();
  alpha_.reset();
  width_ = height_ = bits_per_pixel_ = stride_ = 0;
}

std::uint8_t* CDrawImage::AllocateAlpha() {
  if (!Is16()) return nullptr;
  alpha_.reset(
      static_cast<std::uint8_t*>(AllocateZeroed(static_cast<std::size_t>(width_) * height_)));
  return alpha_.get();
}

bool CDrawImage::Swap(CDrawImage& other) {
  if (width_ != other.width_ || height_ != other.height_ ||
      bits_per_pixel_ != other.bits_per_pixel_) {
    return false;
  }
  std::swap(pixels_, other.pixels_);
  return true;
}

Pixel CDrawImage::GetPixel(int x, int y) const {
  if (!Is16() || x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return Row(y)[x];
}

bool CDrawImage::FillRect(const Rect* rect, Colour colour) {
  if (rect == nullptr) return Fill(0, 0, width_, height_, colour);
  return Fill(rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, colour);
}

bool CDrawImage::Fill(int x, int y, int width, int height, Colour colour) {
  if (!Is16()) return false;
  compose::Span span;
  if (!compose::PrepareColour(*this, x, y, width, height, span)) return false;
  compose::FillPixels(span, ColorToPixel(colour));
  return true;
}

bool CDrawImage::Blt(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                     int src_y) {
  return Copy(x, y, width, height, src, src_x, src_y);
}

bool CDrawImage::Copy(int x, int y, int width, int height, const CDrawImage& src, int src_x,
                      int src_y) {
  if (!Is16() || !src.Is16()) return false;
  if (!ClipRectPair(width, height, x, y, width_, height_, src_x, src_y, src.width_, src.height_)) {
    return false;
  }
  const std::size_t bytes = static_cast<std::size_t>(width) * sizeof(Pixel);
  if (width == PitchPixels() && width == src.PitchPixels()) {
    // Whole rows lying one after another: a single move (memmove also gets overlaps right).
    std::memmove(Row(y), src.Row(src_y), bytes * height);
    return true;
  }
  if (&src == this && src_y < y) {
    // Source above the destination on the same surface: copy from the bottom row up.
    for (int row = height - 1; row >= 0; --row) {
      std::memmove(Row(y + row) + x, src.Row(src_y + row) + src_x, bytes);
    }
  } else {
    for (int row = 0; row < height; ++row) {
      std::memmove(Row(y + row) + x, src.Row(src_y + row) + src_x, bytes);
    }
  }
  return true;
}

bool ClipRect(int& w, int& h, int& x, int& y, int sw, int sh) {
  if (w <= 0 || h <= 0) return false;
  if (x >= sw || y >= sh) return false;
  // 64-bit sums: a script may pass coordinates near the ends of the int range.
  if (x < 0) {
    if (static_cast<long long>(x) + w < 1) return false;
    w = w + x;
    x = 0;
    w = std::min(w, sw);
  } else if (static_cast<long long>(x) + w > sw) {
    w = sw - x;
  }
  if (y < 0) {
    if (static_cast<long long>(y) + h < 1) return false;
    h = h + y;
    y = 0;
    h = std::min(h, sh);
  } else if (static_cast<long long>(y) + h > sh) {
    h = sh - y;
  }
  return true;
}

namespace {

// One axis of ClipRectPair: clips length n against the side at position a (size A), moving the
// other side's position b by the same amount.
bool ClipAxis(int& n, int& a, int& b, int size) {
  if (a < 0) {
    if (static_cast<long long>(n) + a < 1) return false;
    n = n + a;
    b = static_cast<int>(static_cast<long long>(b) - a);
    a = 0;
    n = std::min(n, size);
  } else if (static_cast<long long>(a) + n > size) {
    n = size - a;
  }
  return true;
}

}  // namespace

bool ClipRectPair(int& w, int& h, int& dx, int& dy, int dw, int dh, int& sx, int& sy, int sw,
                  int sh) {
  if (w <= 0 || h <= 0) return false;
  if (sx >= sw || sy >= sh) return false;
  if (!ClipAxis(w, sx, dx, sw)) return false;
  if (!ClipAxis(h, sy, dy, sh)) return false;
  if (dx >= dw || dy >= dh) return false;
  if (!ClipAxis(w, dx, sx, dw)) return false;
  if (!ClipAxis(h, dy, sy, dh)) return false;
  return w > 0 && h > 0;
}

}  // namespace adv
