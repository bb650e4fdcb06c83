// Building blocks shared by the composition routines (compose_*.cpp): the common frame (level
// ranges, the same-surface overlap refusal, clipping) and the row drivers that run a per-pixel
// operation over a clipped rectangle, 8, 16 or 32 pixels at a time.
//
// The operations are written once with GCC/Clang vector extensions and instantiated three times:
// with 16-byte vectors for the SSE2 baseline, and with 32- and 64-byte vectors inside functions
// compiled for AVX2 and AVX-512BW, chosen at run time. Lane arithmetic is unsigned (wrapping);
// signed lanes serve comparisons, arithmetic shifts and the divisions that must truncate toward
// zero. Row tails go through a small buffer so they take the same vector path.
#pragma once

// The vector helpers here and in the files that include this header return vectors from
// always-inline functions; they never cross an ABI boundary, so GCC's notes about the AVX calling
// convention do not apply. Left off for the rest of each including file on purpose.
#pragma GCC diagnostic ignored "-Wpsabi"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/pixel.h"
#include "graphics/draw_image.h"

namespace adv::compose {

// --- Levels -----------------------------------------------------------------------------------

// Only the low 16 bits of a level count. 0 and "other" (31 and above, negative) fall back to
// simpler routines; 1 to 30 work in 31ths.
enum class LevelRange { kZero, kPartial, kOther };

inline LevelRange RangeOf(int level) {
  const int low = level & 0xFFFF;
  if (low == 0) return LevelRange::kZero;
  return low <= 30 ? LevelRange::kPartial : LevelRange::kOther;
}
// The level as used by the formulas (1 to 30 when RangeOf gives kPartial).
inline int LevelValue(int level) {
  return level & 0xFFFF;
}

// --- Frame ------------------------------------------------------------------------------------

// A clipped source/destination pair of rectangles, ready for the row drivers.
struct PairSpan {
  Pixel* dst = nullptr;
  std::ptrdiff_t dst_pitch = 0;
  const Pixel* src = nullptr;
  std::ptrdiff_t src_pitch = 0;
  int width = 0;
  int height = 0;
  int src_x = 0;  // after clipping, for the alpha plane
  int src_y = 0;
};

// A clipped destination rectangle for the colour routines.
struct Span {
  Pixel* dst = nullptr;
  std::ptrdiff_t dst_pitch = 0;
  int width = 0;
  int height = 0;
};

// Same surface and the unclipped rectangles overlap. 64-bit differences: scripts may pass any
// integer.
inline bool OverlapsItself(const CDrawImage& dst, const CDrawImage& src, int x, int y, int width,
                           int height, int src_x, int src_y) {
  return &dst == &src && std::llabs(static_cast<long long>(src_x) - x) < width &&
         std::llabs(static_cast<long long>(src_y) - y) < height;
}

// The start shared by the routines with a source: refuses overlapping rectangles on one surface,
// then clips.
inline bool PreparePair(CDrawImage& dst, const CDrawImage& src, int x, int y, int width, int height,
                        int src_x, int src_y, PairSpan& out) {
  if (OverlapsItself(dst, src, x, y, width, height, src_x, src_y)) return false;
  if (!ClipRectPair(width, height, x, y, dst.Width(), dst.Height(), src_x, src_y, src.Width(),
                    src.Height())) {
    return false;
  }
  out.dst = dst.Row(y) + x;
  out.dst_pitch = dst.PitchPixels();
  out.src = src.Row(src_y) + src_x;
  out.src_pitch = src.PitchPixels();
  out.width = width;
  out.height = height;
  out.src_x = src_x;
  out.src_y = src_y;
  return true;
}

inline bool PrepareColour(CDrawImage& dst, int x, int y, int width, int height, Span& out) {
  if (!ClipRect(width, height, x, y, dst.Width(), dst.Height())) return false;
  out.dst = dst.Row(y) + x;
  out.dst_pitch = dst.PitchPixels();
  out.width = width;
  out.height = height;
  return true;
}

// Fills every row of a span with one pixel (defined in compose_copy.cpp).
void FillPixels(const Span& span, Pixel pixel);

// --- Vectors ----------------------------------------------------------------------------------

template <int kBytes>
struct Vec;

// SSE2 baseline: 8 pixels.
template <>
struct Vec<16> {
  typedef std::uint16_t U __attribute__((vector_size(16)));
  typedef std::int16_t S __attribute__((vector_size(16)));
  typedef std::uint32_t U32 __attribute__((vector_size(16)));
  typedef std::uint8_t Bytes __attribute__((vector_size(8)));
  static constexpr int kLanes = 8;

  // Every lane the same value. As a shuffle GCC emits one broadcast and hoists it out of loops,
  // which it does not do for `U{} + value` at -O3. Runtime scalars therefore go through here
  // rather than into vector arithmetic directly.
  [[gnu::always_inline]] static U Splat(std::uint16_t value) {
    const U v = {value};
    return __builtin_shufflevector(v, v, 0, 0, 0, 0, 0, 0, 0, 0);
  }

  // Lanes 0, 2, 4, ... of the concatenation a:b.
  [[gnu::always_inline]] static U Even(const U& a, const U& b) {
    return __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14);
  }
  // Each lane of the low (high) half twice.
  [[gnu::always_inline]] static U DupLow(const U& a) {
    return __builtin_shufflevector(a, a, 0, 0, 1, 1, 2, 2, 3, 3);
  }
  [[gnu::always_inline]] static U DupHigh(const U& a) {
    return __builtin_shufflevector(a, a, 4, 4, 5, 5, 6, 6, 7, 7);
  }
};

// AVX2: 16 pixels.
template <>
struct Vec<32> {
  typedef std::uint16_t U __attribute__((vector_size(32)));
  typedef std::int16_t S __attribute__((vector_size(32)));
  typedef std::uint32_t U32 __attribute__((vector_size(32)));
  typedef std::uint8_t Bytes __attribute__((vector_size(16)));
  static constexpr int kLanes = 16;

  [[gnu::always_inline]] static U Splat(std::uint16_t value) {
    const U v = {value};
    return __builtin_shufflevector(v, v, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }

  [[gnu::always_inline]] static U Even(const U& a, const U& b) {
    return __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30);
  }
  [[gnu::always_inline]] static U DupLow(const U& a) {
    return __builtin_shufflevector(a, a, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7);
  }
  [[gnu::always_inline]] static U DupHigh(const U& a) {
    return __builtin_shufflevector(a, a, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15,
                                   15);
  }
};

// AVX-512BW: 32 pixels.
template <>
struct Vec<64> {
  typedef std::uint16_t U __attribute__((vector_size(64)));
  typedef std::int16_t S __attribute__((vector_size(64)));
  typedef std::uint32_t U32 __attribute__((vector_size(64)));
  typedef std::uint8_t Bytes __attribute__((vector_size(32)));
  static constexpr int kLanes = 32;

  [[gnu::always_inline]] static U Splat(std::uint16_t value) {
    const U v = {value};
    return __builtin_shufflevector(v, v, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                   0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  [[gnu::always_inline]] static U Even(const U& a, const U& b) {
    return __builtin_shufflevector(a, b, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30,
                                   32, 34, 36, 38, 40, 42, 44, 46, 48, 50, 52, 54, 56, 58, 60, 62);
  }
  [[gnu::always_inline]] static U DupLow(const U& a) {
    return __builtin_shufflevector(a, a, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9,
                                   10, 10, 11, 11, 12, 12, 13, 13, 14, 14, 15, 15);
  }
  [[gnu::always_inline]] static U DupHigh(const U& a) {
    return __builtin_shufflevector(a, a, 16, 16, 17, 17, 18, 18, 19, 19, 20, 20, 21, 21, 22, 22, 23,
                                   23, 24, 24, 25, 25, 26, 26, 27, 27, 28, 28, 29, 29, 30, 30, 31,
                                   31);
  }
};

template <class V>
[[gnu::always_inline]] inline V Load(const void* p) {
  V v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

template <class V>
[[gnu::always_inline]] inline void Store(void* p, const V& v) {
  std::memcpy(p, &v, sizeof v);
}

template <class T>
[[gnu::always_inline]] inline typename T::U Equal(const typename T::U& a, const typename T::U& b) {
  using S = typename T::S;
  return reinterpret_cast<typename T::U>(reinterpret_cast<S>(a) == reinterpret_cast<S>(b));
}

// mask ? a : b, lane by lane (mask lanes all ones or all zeros).
template <class U>
[[gnu::always_inline]] inline U Select(const U& mask, const U& a, const U& b) {
  return (a & mask) | (b & ~mask);
}

// One 5-bit channel of each lane.
template <class U>
[[gnu::always_inline]] inline U Channel(const U& p, int shift) {
  return (p >> shift) & 31;
}

// --- Row drivers ------------------------------------------------------------------------------

// op(d, s) -> new destination lanes, over every row of a pair span.
// The span and the operation come by value: as locals the compiler knows the pixel stores cannot
// change them, and keeps them (and the vectors built from them) in registers.
template <class T, class Op>
[[gnu::always_inline]] inline void PairRows(const PairSpan span, const Op op) {
  using U = typename T::U;
  constexpr int kLanes = T::kLanes;
  for (int row = 0; row < span.height; ++row) {
    Pixel* d = span.dst + row * span.dst_pitch;
    const Pixel* s = span.src + row * span.src_pitch;
    int i = 0;
    for (; i + kLanes <= span.width; i += kLanes) {
      Store(d + i, op.template Apply<T>(Load<U>(d + i), Load<U>(s + i)));
    }
    if (i < span.width) {
      const std::size_t bytes = static_cast<std::size_t>(span.width - i) * sizeof(Pixel);
      Pixel td[kLanes] = {};
      Pixel ts[kLanes] = {};
      std::memcpy(td, d + i, bytes);
      std::memcpy(ts, s + i, bytes);
      Store(td, op.template Apply<T>(Load<U>(td), Load<U>(ts)));
      std::memcpy(d + i, td, bytes);
    }
  }
}

// op(d) -> new destination lanes, over every row of a colour span.
template <class T, class Op>
[[gnu::always_inline]] inline void ColourRows(const Span span, const Op op) {
  using U = typename T::U;
  constexpr int kLanes = T::kLanes;
  for (int row = 0; row < span.height; ++row) {
    Pixel* d = span.dst + row * span.dst_pitch;
    int i = 0;
    for (; i + kLanes <= span.width; i += kLanes) {
      Store(d + i, op.template Apply<T>(Load<U>(d + i)));
    }
    if (i < span.width) {
      const std::size_t bytes = static_cast<std::size_t>(span.width - i) * sizeof(Pixel);
      Pixel td[kLanes] = {};
      std::memcpy(td, d + i, bytes);
      Store(td, op.template Apply<T>(Load<U>(td)));
      std::memcpy(d + i, td, bytes);
    }
  }
}

// --- Dispatch ---------------------------------------------------------------------------------

// The vector units a job can be compiled for; the widest one the processor (and the operating
// system) supports is chosen at run time.
enum class Isa { kBase, kAvx2, kAvx512 };

inline bool Supports(Isa isa) {
  switch (isa) {
    case Isa::kAvx512:
      return __builtin_cpu_supports("avx512bw");
    case Isa::kAvx2:
      return __builtin_cpu_supports("avx2");
    case Isa::kBase:
      break;
  }
  return true;
}

inline Isa BestIsa() {
  if (Supports(Isa::kAvx512)) return Isa::kAvx512;
  return Supports(Isa::kAvx2) ? Isa::kAvx2 : Isa::kBase;
}

// A job is a struct with an always-inline `template <class T> void Run() const`; these compile
// its body once per vector unit.
template <class Job>
[[gnu::target("avx512bw")]] void RunAvx512(const Job& job) {
  job.template Run<Vec<64>>();
}
template <class Job>
[[gnu::target("avx2")]] void RunAvx2(const Job& job) {
  job.template Run<Vec<32>>();
}
template <class Job>
void RunBase(const Job& job) {
  job.template Run<Vec<16>>();
}

template <class Job>
void RunOn(Isa isa, const Job& job) {
  switch (isa) {
    case Isa::kAvx512:
      return RunAvx512(job);
    case Isa::kAvx2:
      return RunAvx2(job);
    case Isa::kBase:
      break;
  }
  RunBase(job);
}

template <class Job>
void Dispatch(const Job& job) {
  RunOn(BestIsa(), job);
}

template <class Op>
struct PairJob {
  PairSpan span;
  Op op;
  template <class T>
  [[gnu::always_inline]] void Run() const {
    PairRows<T>(span, op);
  }
};

template <class Op>
struct ColourJob {
  Span span;
  Op op;
  template <class T>
  [[gnu::always_inline]] void Run() const {
    ColourRows<T>(span, op);
  }
};

template <class Op>
void RunPairs(const PairSpan& span, const Op& op) {
  Dispatch(PairJob<Op>{span, op});
}

template <class Op>
void RunColour(const Span& span, const Op& op) {
  Dispatch(ColourJob<Op>{span, op});
}

// A pair operation that leaves the destination alone where the source pixel is the key.
template <class Op>
struct KeyedOp {
  Op op;
  Pixel key;
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d, const typename T::U& s) const {
    return Select(Equal<T>(s, T::Splat(key)), d, op.template Apply<T>(d, s));
  }
};

// A pair operation used with a fixed source pixel (the colour routines).
template <class Op>
struct WithColourOp {
  Op op;
  Pixel pixel;
  template <class T>
  [[gnu::always_inline]] typename T::U Apply(const typename T::U& d) const {
    return op.template Apply<T>(d, T::Splat(pixel));
  }
};

}  // namespace adv::compose
