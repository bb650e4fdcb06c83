#include "graphics/dib_convert.h"

#include <algorithm>
#include <array>
#include <bit>

#include "base/byte_reader.h"

namespace adv {

namespace {

constexpr std::size_t kMaskOffset = 40;
constexpr std::size_t kMaskEnd = 52;

bool IsDrawable(const DibHeader& h) {
  switch (h.compression) {
    case kDibRgb:
      return h.bits == 1 || h.bits == 4 || h.bits == 8 || h.bits == 16 || h.bits == 24 ||
             h.bits == 32;
    case kDibRle8:
      return h.bits == 8;
    case kDibRle4:
      return h.bits == 4;
    case kDibBitFields:
      return h.bits == 16 || h.bits == 32;
    default:
      return false;
  }
}

std::uint64_t TableOffset(const DibHeader& h) {
  // The masks sit at offset 40 either way: after a 40-byte header, or inside a longer one.
  return h.compression == kDibBitFields ? std::max<std::uint64_t>(h.header_size, kMaskEnd)
                                        : h.header_size;
}

std::uint32_t TableEntries(const DibHeader& h) {
  if (h.bits > 8) return 0;
  const std::uint32_t full = 1u << h.bits;
  return h.colours_used == 0 ? full : std::min(h.colours_used, full);
}

// One colour channel of a bit-field pixel, reduced (or widened by repeating its bits) to five.
struct Channel {
  int shift = 0;
  int width = 0;

  explicit Channel(std::uint32_t mask) {
    if (mask == 0) return;
    shift = std::countr_zero(mask);
    width = std::bit_width(mask >> shift);
  }

  unsigned To5(std::uint32_t pixel) const {
    if (width == 0) return 0;
    std::uint32_t v =
        (pixel >> shift) & static_cast<std::uint32_t>((std::uint64_t{1} << width) - 1);
    if (width >= 5) return v >> (width - 5);
    std::uint32_t r = 0;
    int filled = 0;
    while (filled < 5) {
      r = (r << width) | v;
      filled += width;
    }
    return r >> (filled - 5);
  }
};

class Converter {
 public:
  Converter(CDrawImage& dst, const DibHeader& h, std::span<const std::uint8_t> info,
            std::span<const std::uint8_t> bits)
      : dst_(dst), h_(h), bits_(bits) {
    rows_ = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
    draw_width_ = std::min(dst.Width(), h.width);
    const auto table =
        ReadDibColourTable(info, static_cast<std::size_t>(TableOffset(h)), TableEntries(h));
    for (std::size_t i = 0; i < table.size(); ++i) palette_[i] = ColorToPixel(table[i]);
    std::uint32_t masks[3];
    if (h.compression == kDibBitFields) {
      ByteReader reader(info);
      for (int i = 0; i < 3; ++i) masks[i] = reader.U32LeAt(kMaskOffset + 4 * i);
    } else if (h.bits == 16) {
      masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else {
      masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }
    red_ = Channel(masks[0]);
    green_ = Channel(masks[1]);
    blue_ = Channel(masks[2]);
    plain555_ = h.bits == 16 && masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F;
  }

  // Surface row of a stored row, or -1 when it falls outside the surface.
  int TargetRow(std::int64_t stored) const {
    if (stored < 0 || stored >= rows_) return -1;
    std::int64_t y = h_.height < 0 ? stored : dst_.Height() - 1 - stored;
    return (y >= 0 && y < dst_.Height()) ? static_cast<int>(y) : -1;
  }

  int CoveredRows() const {
    int n = 0;
    for (std::int64_t r = 0; r < rows_; ++r) n += TargetRow(r) >= 0 ? 1 : 0;
    return n;
  }

  void DrawUncompressed() {
    const std::uint64_t row_bytes = DibRowBytes(h_);
    for (std::int64_t r = 0; r < rows_; ++r) {
      int y = TargetRow(r);
      if (y < 0) continue;
      ConvertRow(bits_.data() + static_cast<std::size_t>(r * row_bytes), dst_.Row(y));
    }
  }

  void DrawRle() {
    const bool four = h_.compression == kDibRle4;
    std::int64_t x = 0;
    std::int64_t r = 0;
    auto put = [&](unsigned index) {
      if (x < draw_width_) {
        int y = TargetRow(r);
        if (y >= 0) dst_.Row(y)[x] = palette_[index];
      }
      ++x;
    };
    std::size_t k = 0;
    while (k + 1 < bits_.size() && r < rows_) {
      const unsigned count = bits_[k];
      const unsigned value = bits_[k + 1];
      k += 2;
      if (count > 0) {
        for (unsigned i = 0; i < count; ++i)
          put(four ? ((i & 1) ? value & 15 : value >> 4) : value);
        continue;
      }
      if (value == 0) {  // end of line
        x = 0;
        ++r;
      } else if (value == 1) {  // end of bitmap
        break;
      } else if (value == 2) {  // delta: right and up
        if (k + 1 >= bits_.size()) break;
        x += bits_[k];
        r += bits_[k + 1];
        k += 2;
      } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
        const std::size_t bytes = four ? (value + 1) / 2 : value;
        if (bytes > bits_.size() - k) break;
        for (unsigned i = 0; i < value; ++i) {
          const unsigned b = bits_[k + (four ? i / 2 : i)];
          put(four ? ((i & 1) ? b & 15 : b >> 4) : b);
        }
        k += bytes + (bytes & 1);
      }
    }
  }

 private:
  void ConvertRow(const std::uint8_t* s, Pixel* d) const {
    const int w = draw_width_;
    switch (h_.bits) {
      case 1:
        for (int x = 0; x < w; ++x) d[x] = palette_[(s[x >> 3] >> (7 - (x & 7))) & 1];
        break;
      case 4:
        for (int x = 0; x < w; ++x) d[x] = palette_[(x & 1) ? s[x >> 1] & 15 : s[x >> 1] >> 4];
        break;
      case 8:
        for (int x = 0; x < w; ++x) d[x] = palette_[s[x]];
        break;
      case 16:
        for (int x = 0; x < w; ++x) {
          std::uint32_t p = s[2 * x] | (std::uint32_t{s[2 * x + 1]} << 8);
          d[x] = plain555_ ? static_cast<Pixel>(p & 0x7FFF) : MaskedPixel(p);
        }
        break;
      case 24:
        for (int x = 0; x < w; ++x) {
          const std::uint8_t* p = s + 3 * x;
          d[x] = ColorToPixel(MakeColour(p[2], p[1], p[0]));
        }
        break;
      case 32:
        for (int x = 0; x < w; ++x) {
          const std::uint8_t* p = s + 4 * x;
          d[x] = MaskedPixel(p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                             (std::uint32_t{p[3]} << 24));
        }
        break;
      default:
        break;
    }
  }

  Pixel MaskedPixel(std::uint32_t p) const {
    return MakePixel(red_.To5(p), green_.To5(p), blue_.To5(p));
  }

  CDrawImage& dst_;
  const DibHeader& h_;
  std::span<const std::uint8_t> bits_;
  std::int64_t rows_ = 0;
  int draw_width_ = 0;
  std::array<Pixel, 256> palette_{};  // entries past the table stay black
  Channel red_{0}, green_{0}, blue_{0};
  bool plain555_ = false;
};

}  // namespace

bool ReadDibHeader(std::span<const std::uint8_t> info, DibHeader& out) {
  if (info.size() < kDibMinHeaderSize) return false;
  ByteReader reader(info);
  DibHeader h;
  h.header_size = reader.U32LeAt(0);
  if (h.header_size < kDibMinHeaderSize || h.header_size > info.size()) return false;
  h.width = reader.I32LeAt(4);
  h.height = reader.I32LeAt(8);
  h.bits = reader.U16LeAt(14);
  h.compression = reader.U32LeAt(16);
  h.image_size = reader.U32LeAt(20);
  h.colours_used = reader.U32LeAt(32);
  out = h;
  return true;
}

std::uint64_t DibRowBytes(const DibHeader& h) {
  return (static_cast<std::uint64_t>(h.width) * h.bits + 31) / 32 * 4;
}

std::array<Colour, 256> ReadDibColourTable(std::span<const std::uint8_t> info, std::size_t offset,
                                           std::uint32_t count) {
  std::array<Colour, 256> table{};
  ByteReader reader(info);
  for (std::uint32_t i = 0; i < count && i < table.size(); ++i) {
    // Stored blue, green, red, reserved.
    const std::size_t at = offset + 4 * std::size_t{i};
    if (!reader.Has(at, 4)) break;
    table[i] = MakeColour(reader.U8At(at + 2), reader.U8At(at + 1), reader.U8At(at));
  }
  return table;
}

std::optional<std::uint64_t> DibInfoSize(const DibHeader& h) {
  if (!IsDrawable(h)) return std::nullopt;
  return TableOffset(h) + 4ull * TableEntries(h);
}

std::optional<std::uint64_t> DibBitsSize(const DibHeader& h) {
  if (!IsDrawable(h) || h.width <= 0 || h.height == 0) return std::nullopt;
  if (h.compression == kDibRle8 || h.compression == kDibRle4) return h.image_size;
  const std::uint64_t rows = h.height < 0 ? -static_cast<std::int64_t>(h.height) : h.height;
  return DibRowBytes(h) * rows;
}

int DrawDib(CDrawImage& dst, std::span<const std::uint8_t> info,
            std::span<const std::uint8_t> bits) {
  DibHeader h;
  if (!dst.Is16() || !ReadDibHeader(info, h)) return 0;
  if (h.width <= 0 || h.height == 0 || h.width > CDrawImage::kMaxSide ||
      h.height < -CDrawImage::kMaxSide || h.height > CDrawImage::kMaxSide) {
    return 0;
  }
  const auto info_size = DibInfoSize(h);
  const auto bits_size = DibBitsSize(h);
  if (!info_size || !bits_size || *info_size > info.size()) return 0;
  const bool rle = h.compression == kDibRle8 || h.compression == kDibRle4;
  if (rle && h.height < 0) return 0;
  if (!rle && *bits_size > bits.size()) return 0;
  Converter converter(dst, h, info, bits);
  if (rle) {
    converter.DrawRle();
  } else {
    converter.DrawUncompressed();
  }
  return converter.CoveredRows();
}

}  // namespace adv
