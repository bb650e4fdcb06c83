// The per-pixel operations of the composition routines, written once for every vector width (see
// compose_kernels.h). Each operation's Apply<T> maps destination lanes d (and source lanes s) to
// the new destination lanes.
#pragma once

#include <algorithm>

#include "graphics/compose_kernels.h"

namespace adv::compose {

// The source pixel unless it is the key.
struct KeyedCopyOp {
  Pixel key;
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d, const typename T::U& s) const {
    return Select(Equal<T>(s, T::Splat(key)), d, s);
  }
};

// Signed difference a - b of the 5-bit channel at `shift` of each lane. Masked in place, so the
// difference of the shifted channels fits a signed lane, then shifted down arithmetically.
template <class T>
[[gnu::always_inline]] inline typename T::U ChannelDiff(const typename T::U& a,
                                                        const typename T::U& b, int shift) {
  using U = typename T::U;
  using S = typename T::S;
  const std::uint16_t mask = static_cast<std::uint16_t>(31u << shift);
  return reinterpret_cast<U>(reinterpret_cast<S>((a & mask) - (b & mask)) >> shift);
}

// Fill: one pixel everywhere.
template <class T>
[[gnu::always_inline]] inline void FillRows(const Span span, const Pixel pixel) {
  const typename T::U value = T::Splat(pixel);
  for (int row = 0; row < span.height; ++row) {
    Pixel* d = span.dst + row * span.dst_pitch;
    int i = 0;
    for (; i + T::kLanes <= span.width; i += T::kLanes) Store(d + i, value);
    for (; i < span.width; ++i) d[i] = pixel;
  }
}

struct FillJob {
  Span span;
  Pixel pixel;
  template <class T>
  [[gnu::always_inline]] void Run() const {
    FillRows<T>(span, pixel);
  }
};

// d' = s + (d - s) x L / 31 per channel. The products fit 16-bit lanes (|d - s| x L <= 930); the
// signed vector division truncates toward zero as the formula wants (compilers turn a division
// by a constant into a multiply-high sequence). Each channel's signed step is added to the whole
// source pixel: every channel ends between s and d, so no carry crosses a channel boundary.
struct TranslucentOp {
  std::uint16_t level;  // 1 to 30
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d, const typename T::U& s) const {
    using U = typename T::U;
    using S = typename T::S;
    const U l = T::Splat(level);
    U out = s & 0x7FFF;
    for (int shift = 0; shift <= 10; shift += 5) {
      const S step = reinterpret_cast<S>(ChannelDiff<T>(d, s, shift) * l) / 31;
      out += reinterpret_cast<U>(step) << shift;
    }
    return out;
  }
};

// min(d + s, 31) per channel on whole pixels: the carries out of the channels are collected in
// bits 4, 9 and 14 and turned into masks that saturate the channels they came from.
struct AddOp {
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d, const typename T::U& s) const {
    using U = typename T::U;
    const U carry = (((d ^ s) & 0x7BDE) + ((d & s) << 1)) & 0x8420;
    const U mask = carry - (carry >> 5);
    return (d + s - carry) | mask;
  }
};

// max(d - s, 0) per channel on whole pixels, with borrows in place of carries. (~d ^ s) & 0x7BDE
// is written as ((d ^ s) & 0x7BDE) ^ 0x7BDE: GCC turns a lone ~d into an AVX-512 instruction that
// also waits for a stale register, chaining every iteration to the one before (3.5 times slower).
struct SubOp {
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d, const typename T::U& s) const {
    using U = typename T::U;
    const U differ = ((d ^ s) & 0x7BDE) ^ 0x7BDE;
    const U borrow = (differ + ((s & ~d) << 1)) & 0x8420;
    const U mask = borrow - (borrow >> 5);
    return (d | mask) - (s | mask);
  }
};

// d' = (s x F) >> 8 per channel, F = L x 256 / 31.
struct DarkOp {
  std::uint16_t factor;
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U&, const typename T::U& s) const {
    using U = typename T::U;
    const U f = T::Splat(factor);
    U out{};
    for (int shift = 0; shift <= 10; shift += 5) {
      out |= ((Channel(s, shift) * f) >> 8) << shift;
    }
    return out;
  }
};

// d' = 31 - (31 - s) x (31 - L) / 31 per channel.
struct LightOp {
  std::uint16_t remaining;  // 31 - L
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U&, const typename T::U& s) const {
    using U = typename T::U;
    const U r = T::Splat(remaining);
    U out{};
    for (int shift = 0; shift <= 10; shift += 5) {
      out |= (31 - (31 - Channel(s, shift)) * r / 31) << shift;
    }
    return out;
  }
};

// d' = d + (s - d) x A / 255 per channel, truncated toward zero like the translucent blend
// (|s - d| x A <= 7905 fits a 16-bit lane).
template <class T>
[[gnu::always_inline]] inline typename T::U AlphaBlend(const typename T::U& d,
                                                       const typename T::U& s,
                                                       const typename T::U& alpha) {
  using U = typename T::U;
  using S = typename T::S;
  U out = d & 0x7FFF;
  for (int shift = 0; shift <= 10; shift += 5) {
    const S step = reinterpret_cast<S>(ChannelDiff<T>(s, d, shift) * alpha) / 255;
    out += reinterpret_cast<U>(step) << shift;
  }
  return out;
}

// CopyAlpha's rows. The alpha plane has rows of exactly the source width; `alpha` points at the
// entry of the clipped source corner.
template <class T>
[[gnu::always_inline]] inline void AlphaRows(const PairSpan span, const std::uint8_t* alpha,
                                             std::ptrdiff_t alpha_pitch) {
  using U = typename T::U;
  using Bytes = typename T::Bytes;
  constexpr int kLanes = T::kLanes;
  for (int row = 0; row < span.height; ++row) {
    Pixel* d = span.dst + row * span.dst_pitch;
    const Pixel* s = span.src + row * span.src_pitch;
    const std::uint8_t* a = alpha + row * alpha_pitch;
    int i = 0;
    for (; i + kLanes <= span.width; i += kLanes) {
      const U av = __builtin_convertvector(Load<Bytes>(a + i), U);
      Store(d + i, AlphaBlend<T>(Load<U>(d + i), Load<U>(s + i), av));
    }
    if (i < span.width) {
      const int n = span.width - i;
      Pixel td[kLanes] = {};
      Pixel ts[kLanes] = {};
      std::uint8_t ta[kLanes] = {};
      std::memcpy(td, d + i, n * sizeof(Pixel));
      std::memcpy(ts, s + i, n * sizeof(Pixel));
      std::memcpy(ta, a + i, n);
      const U av = __builtin_convertvector(Load<Bytes>(ta), U);
      Store(td, AlphaBlend<T>(Load<U>(td), Load<U>(ts), av));
      std::memcpy(d + i, td, n * sizeof(Pixel));
    }
  }
}

struct AlphaJob {
  PairSpan span;
  const std::uint8_t* alpha;
  std::ptrdiff_t alpha_pitch;
  template <class T>
  [[gnu::always_inline]] void Run() const {
    AlphaRows<T>(span, alpha, alpha_pitch);
  }
};

// The reduced keyed copy after clipping; source coordinates in reduced units.
struct ReducedSpan {
  CDrawImage* dst;
  const CDrawImage* src;
  int x, y, width, height;
  int src_x, src_y;
  int factor;  // 2 to 4
  Pixel key;
};

// A pixel with its channels spread apart so that sums of up to 16 pixels stay separate:
// blue in bits 0-9, red in bits 10-20, green from bit 21.
inline std::uint32_t Spread(Pixel p) {
  return (p | (std::uint32_t{p} << 16)) & 0x03E07C1Fu;
}

inline Pixel BlockMean(std::uint32_t sum, int factor) {
  unsigned blue = sum & 0x3FF;
  unsigned red = (sum >> 10) & 0x7FF;
  unsigned green = sum >> 21;
  if (factor == 3) {
    blue /= 9;
    red /= 9;
    green /= 9;
  } else {
    const int shift = factor == 2 ? 2 : 4;
    blue >>= shift;
    red >>= shift;
    green >>= shift;
  }
  return MakePixel(red, green, blue);
}

// Pixel by pixel, top to bottom and left to right, so that a surface reduced onto itself reads
// exactly what the pixels before it left behind.
inline void ReducePlain(const ReducedSpan& r) {
  const int f = r.factor;
  for (int i = 0; i < r.height; ++i) {
    Pixel* d = r.dst->Row(r.y + i) + r.x;
    for (int j = 0; j < r.width; ++j) {
      const std::uint32_t behind = Spread(d[j]);
      std::uint32_t sum = 0;
      for (int k = 0; k < f; ++k) {
        const Pixel* s = r.src->Row(f * (r.src_y + i) + k) + f * (r.src_x + j);
        for (int m = 0; m < f; ++m) sum += s[m] == r.key ? behind : Spread(s[m]);
      }
      d[j] = BlockMean(sum, f);
    }
  }
}

// Factor 2, a vector of destination pixels at a time. A 32-bit lane holds the two source pixels
// of one destination pixel in one row: red and blue of both rows are summed in place (each fits
// its 16-bit half), green shifted down beside them, then the halves are folded together.
template <class T>
[[gnu::always_inline]] inline typename T::U Halve(const typename T::U& top,
                                                  const typename T::U& bottom) {
  using U = typename T::U;
  using U32 = typename T::U32;
  const U32 a = reinterpret_cast<U32>(top);
  const U32 b = reinterpret_cast<U32>(bottom);
  const U32 rb = (a & 0x7C1F7C1Fu) + (b & 0x7C1F7C1Fu);
  const U32 g = ((a >> 5) & 0x001F001Fu) + ((b >> 5) & 0x001F001Fu);
  const U32 rb_sum = (rb & 0xFFFFu) + (rb >> 16);  // red in bits 10-16, blue in 0-6
  const U32 g_sum = (g & 0xFFFFu) + (g >> 16);
  return reinterpret_cast<U>(((rb_sum >> 2) & 0x7C1Fu) | ((g_sum << 3) & 0x03E0u));
}

// The destination pixel where the source pixel is the key.
template <class T>
[[gnu::always_inline]] inline typename T::U Keyed(const typename T::U& s, const typename T::U& key,
                                                  const typename T::U& behind) {
  return Select(Equal<T>(s, key), behind, s);
}

template <class T>
[[gnu::always_inline]] inline typename T::U Reduce2(const typename T::U& d, const Pixel* top,
                                                    const Pixel* bottom, Pixel key) {
  using U = typename T::U;
  constexpr int kLanes = T::kLanes;
  const U k = T::Splat(key);
  const U behind_low = T::DupLow(d);
  const U behind_high = T::DupHigh(d);
  const U low =
      Halve<T>(Keyed<T>(Load<U>(top), k, behind_low), Keyed<T>(Load<U>(bottom), k, behind_low));
  const U high = Halve<T>(Keyed<T>(Load<U>(top + kLanes), k, behind_high),
                          Keyed<T>(Load<U>(bottom + kLanes), k, behind_high));
  return T::Even(low, high);
}

template <class T>
[[gnu::always_inline]] inline void ReduceByTwo(const ReducedSpan r) {
  using U = typename T::U;
  constexpr int kLanes = T::kLanes;
  for (int i = 0; i < r.height; ++i) {
    Pixel* d = r.dst->Row(r.y + i) + r.x;
    const Pixel* top = r.src->Row(2 * (r.src_y + i)) + 2 * r.src_x;
    const Pixel* bottom = r.src->Row(2 * (r.src_y + i) + 1) + 2 * r.src_x;
    int j = 0;
    for (; j + kLanes <= r.width; j += kLanes) {
      Store(d + j, Reduce2<T>(Load<U>(d + j), top + 2 * j, bottom + 2 * j, r.key));
    }
    if (j < r.width) {
      const int n = r.width - j;
      Pixel td[kLanes] = {};
      Pixel tt[2 * kLanes] = {};
      Pixel tb[2 * kLanes] = {};
      std::memcpy(td, d + j, n * sizeof(Pixel));
      std::memcpy(tt, top + 2 * j, 2 * n * sizeof(Pixel));
      std::memcpy(tb, bottom + 2 * j, 2 * n * sizeof(Pixel));
      Store(td, Reduce2<T>(Load<U>(td), tt, tb, r.key));
      std::memcpy(d + j, td, n * sizeof(Pixel));
    }
  }
}

// Factors 3 and 4, a chunk of a destination row at a time, in three passes over source columns:
// the key replaced by the destination pixel and each channel summed down the F rows (vectors);
// the sums of F neighbouring columns turned into a mean pixel at every column (vectors); then
// every F-th of those kept (plain loop).
template <class T, int F>
[[gnu::always_inline]] inline void ReduceBlocks(const ReducedSpan r) {
  using U = typename T::U;
  constexpr int kLanes = T::kLanes;
  constexpr int kChunk = 32 * kLanes;         // source columns per pass
  constexpr int kPixels = kChunk / F;         // destination pixels per pass
  constexpr int kSize = kChunk + 2 * kLanes;  // room for the neighbours of the last vector
  Pixel behind[kSize] = {};
  Pixel blue[kSize] = {};
  Pixel green[kSize] = {};
  Pixel red[kSize] = {};
  Pixel mean[kSize];
  const U key = T::Splat(r.key);
  for (int i = 0; i < r.height; ++i) {
    Pixel* d = r.dst->Row(r.y + i) + r.x;
    const Pixel* rows[F];
    for (int k = 0; k < F; ++k) rows[k] = r.src->Row(F * (r.src_y + i) + k) + F * r.src_x;
    for (int j0 = 0; j0 < r.width; j0 += kPixels) {
      const int n = std::min(kPixels, r.width - j0);
      const int columns = F * n;
      for (int j = 0; j < n; ++j) {
        for (int m = 0; m < F; ++m) behind[F * j + m] = d[j0 + j];
      }
      for (int c = 0; c < columns; c += kLanes) {
        const int left = std::min(kLanes, columns - c);
        const U b = Load<U>(behind + c);
        U sb{}, sg{}, sr{};
        for (int k = 0; k < F; ++k) {
          const Pixel* s = rows[k] + F * j0 + c;
          U p;
          if (left == kLanes) {
            p = Load<U>(s);
          } else {
            Pixel tail[kLanes] = {};
            std::memcpy(tail, s, left * sizeof(Pixel));
            p = Load<U>(tail);
          }
          p = Select(Equal<T>(p, key), b, p);
          sb += Channel(p, 0);
          sg += Channel(p, 5);
          sr += Channel(p, 10);
        }
        Store(blue + c, sb);
        Store(green + c, sg);
        Store(red + c, sr);
      }
      for (int c = 0; c < columns; c += kLanes) {
        U hb{}, hg{}, hr{};
        for (int m = 0; m < F; ++m) {
          hb += Load<U>(blue + c + m);
          hg += Load<U>(green + c + m);
          hr += Load<U>(red + c + m);
        }
        // Sums up to F x F x 31 = 496; the mean of 9 as the compiler's exact division.
        Store(mean + c, ((hr / (F * F)) << 10) | ((hg / (F * F)) << 5) | (hb / (F * F)));
      }
      for (int j = 0; j < n; ++j) d[j0 + j] = mean[F * j];
    }
  }
}

// The vector reductions by factor (a surface reduced onto itself takes ReducePlain instead).
struct ReduceJob {
  ReducedSpan span;
  template <class T>
  [[gnu::always_inline]] void Run() const {
    switch (span.factor) {
      case 2:
        return ReduceByTwo<T>(span);
      case 3:
        return ReduceBlocks<T, 3>(span);
      default:
        return ReduceBlocks<T, 4>(span);
    }
  }
};

}  // namespace adv::compose
