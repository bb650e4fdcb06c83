// The composition routines against a plain per-channel reference written from the formulas:
// every channel pair and level exhaustively, random rectangles with clipping at every edge, the
// same-surface rules, and the vector kernels on each vector unit the machine has (the public
// routines only run on the widest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "graphics/compose_ops.h"
#include "graphics/draw_image.h"

namespace adv {
namespace {

// --- Reference --------------------------------------------------------------------------------

struct Picture {
  int w = 0;
  int h = 0;
  std::vector<Pixel> px;
  std::vector<std::uint8_t> alpha;
  Pixel& At(int x, int y) { return px[y * w + x]; }
  Pixel At(int x, int y) const { return px[y * w + x]; }
  bool Inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  bool operator==(const Picture&) const = default;
};

Picture Snapshot(const CDrawImage& image) {
  Picture p{image.Width(), image.Height(), {}, {}};
  for (int y = 0; y < p.h; ++y) {
    for (int x = 0; x < p.w; ++x) p.px.push_back(image.Row(y)[x]);
  }
  if (image.Alpha() != nullptr) p.alpha.assign(image.Alpha(), image.Alpha() + p.w * p.h);
  return p;
}

int Ch(Pixel p, int c) {
  return (p >> (5 * c)) & 31;
}  // 0 blue, 1 green, 2 red
Pixel FromCh(const int (&c)[3]) {
  return static_cast<Pixel>(c[2] << 10 | c[1] << 5 | c[0]);
}

template <class F>
Pixel PerChannel(F f) {
  int c[3];
  for (int i = 0; i < 3; ++i) c[i] = f(i);
  return FromCh(c);
}

Pixel RefTranslucent(Pixel d, Pixel s, int l) {
  return PerChannel([&](int c) { return Ch(s, c) + (Ch(d, c) - Ch(s, c)) * l / 31; });
}
Pixel RefDark(Pixel s, int l) {
  return PerChannel([&](int c) { return (Ch(s, c) * (l * 256 / 31)) >> 8; });
}
Pixel RefLight(Pixel s, int l) {
  return PerChannel([&](int c) { return 31 - (31 - Ch(s, c)) * (31 - l) / 31; });
}
Pixel RefAdd(Pixel d, Pixel s) {
  return PerChannel([&](int c) { return std::min(Ch(d, c) + Ch(s, c), 31); });
}
Pixel RefSub(Pixel d, Pixel s) {
  return PerChannel([&](int c) { return std::max(Ch(d, c) - Ch(s, c), 0); });
}
Pixel RefAlpha(Pixel d, Pixel s, int a) {
  return PerChannel([&](int c) { return Ch(d, c) + (Ch(s, c) - Ch(d, c)) * a / 255; });
}
Colour ScaleColour(Colour v, const std::function<unsigned(unsigned)>& f) {
  return MakeColour(f(ColourRed(v)), f(ColourGreen(v)), f(ColourBlue(v)));
}

struct Args {
  int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
  int level = 0;
  Pixel key = 0;
  Colour colour = 0;
  int factor = 1;
};

// Only the low 16 bits of a level count: 0, 1 to 30, or "other".
enum class Range { kZero, kPartial, kOther };
Range RangeOf(int level) {
  const auto low = static_cast<std::uint16_t>(level);
  return low == 0 ? Range::kZero : low <= 30 ? Range::kPartial : Range::kOther;
}

using PairFn = std::function<Pixel(Pixel d, Pixel s, int src_x, int src_y)>;

// fn at every pixel of the unclipped rectangle that lies inside both pictures.
bool RefPair(Picture& d, const Picture& s, const Args& a, const PairFn& fn) {
  bool any = false;
  for (int i = 0; i < a.h; ++i) {
    for (int j = 0; j < a.w; ++j) {
      const long long dx = 1LL * a.x + j, dy = 1LL * a.y + i;
      const long long px = 1LL * a.sx + j, py = 1LL * a.sy + i;
      if (!d.Inside(dx, dy) || !s.Inside(px, py)) continue;
      d.At(dx, dy) = fn(d.At(dx, dy), s.At(px, py), px, py);
      any = true;
    }
  }
  return any;
}

bool RefFill(Picture& d, const Args& a, const std::function<Pixel(Pixel)>& fn) {
  bool any = false;
  for (int i = 0; i < a.h; ++i) {
    for (int j = 0; j < a.w; ++j) {
      if (!d.Inside(1LL * a.x + j, 1LL * a.y + i)) continue;
      d.At(a.x + j, a.y + i) = fn(d.At(a.x + j, a.y + i));
      any = true;
    }
  }
  return any;
}

bool Overlaps(bool same, const Args& a) {
  return same && std::llabs(1LL * a.sx - a.x) < a.w && std::llabs(1LL * a.sy - a.y) < a.h;
}

bool RefCopy(Picture& d, const Picture& s, const Args& a) {
  return RefPair(d, s, a, [](Pixel, Pixel sp, int, int) { return sp; });
}
// A blending routine: refused on overlapping same-surface rectangles, the key skipped if given.
bool RefBlend(Picture& d, const Picture& s, bool same, const Args& a, bool keyed,
              const std::function<Pixel(Pixel, Pixel)>& fn) {
  if (Overlaps(same, a)) return false;
  return RefPair(d, s, a, [&](Pixel dp, Pixel sp, int, int) {
    return keyed && sp == a.key ? dp : fn(dp, sp);
  });
}
bool RefFillWith(Picture& d, const Args& a, Colour colour) {
  return RefFill(d, a, [&](Pixel) { return ColorToPixel(colour); });
}
bool RefCopyKeyed(Picture& d, const Picture& s, bool same, const Args& a) {
  return RefBlend(d, s, same, a, true, [](Pixel, Pixel sp) { return sp; });
}

const Colour kWhite = MakeColour(255, 255, 255);

// Reduced keyed copy, pixel by pixel in place (so a picture reduced onto itself reads what the
// pixels before left behind).
bool RefReduced(Picture& d, const Picture* s_other, const Args& a) {
  const Pixel key = ColorToPixel(a.colour);
  const int f = a.factor;
  if (f == 1) {
    Args k = a;
    k.key = key;
    return RefCopyKeyed(d, s_other ? *s_other : d, s_other == nullptr, k);
  }
  if (f < 2 || f > 4) return false;
  bool any = false;
  for (int i = 0; i < a.h; ++i) {
    for (int j = 0; j < a.w; ++j) {
      const Picture& s = s_other ? *s_other : d;
      const long long dx = 1LL * a.x + j, dy = 1LL * a.y + i;
      const long long bx = 1LL * a.sx + j, by = 1LL * a.sy + i;
      if (!d.Inside(dx, dy) || bx < 0 || by < 0 || bx >= s.w / f || by >= s.h / f) continue;
      const Pixel under = d.At(dx, dy);
      int sum[3] = {0, 0, 0};
      for (int k = 0; k < f * f; ++k) {
        const Pixel p = s.At(f * bx + k % f, f * by + k / f);
        for (int c = 0; c < 3; ++c) sum[c] += Ch(p == key ? under : p, c);
      }
      d.At(dx, dy) = PerChannel([&](int c) { return sum[c] / (f * f); });
      any = true;
    }
  }
  return any;
}

// --- The routines, side by side with their references ----------------------------------------

using Ref = std::function<bool(Picture& d, const Picture& s, bool same, const Args& a)>;
using Run = std::function<bool(CDrawImage& d, const CDrawImage& s, const Args& a)>;

struct Routine {
  std::string name;
  Run run;
  Ref ref;
};

// Reference building blocks, as the table of routines names them.
const Ref kCopy = [](Picture& d, const Picture& s, bool, const Args& a) {
  return RefCopy(d, s, a);
};
const Ref kCopyKeyed = RefCopyKeyed;
const Ref kNothing = [](Picture&, const Picture&, bool, const Args&) { return true; };
Ref FillWith(const std::function<Colour(const Args&)>& colour) {
  return [colour](Picture& d, const Picture&, bool, const Args& a) {
    return RefFillWith(d, a, colour(a));
  };
}
const Ref kBlack = FillWith([](const Args&) { return Colour{0}; });
const Ref kWhiteFill = FillWith([](const Args&) { return kWhite; });
const Ref kColourFill = FillWith([](const Args& a) { return a.colour; });
int Level(const Args& a) {
  return a.level & 0xFFFF;
}
// fn(d, s, level) on the source, or on the colour's pixel when colour is set.
Ref Blend(bool keyed, const std::function<Pixel(Pixel, Pixel, int)>& fn, bool colour = false) {
  return [=](Picture& d, const Picture& s, bool same, const Args& a) {
    if (colour) {
      return RefFill(d, a, [&](Pixel dp) { return fn(dp, ColorToPixel(a.colour), Level(a)); });
    }
    return RefBlend(d, s, same, a, keyed, [&](Pixel dp, Pixel sp) { return fn(dp, sp, Level(a)); });
  };
}
Ref ByLevel(Ref zero, Ref partial, Ref other) {
  return [=](Picture& d, const Picture& s, bool same, const Args& a) {
    const Range r = RangeOf(a.level);
    return (r == Range::kZero ? zero : r == Range::kOther ? other : partial)(d, s, same, a);
  };
}

Pixel Translucent(Pixel d, Pixel s, int l) {
  return RefTranslucent(d, s, l);
}
Pixel Dark(Pixel, Pixel s, int l) {
  return RefDark(s, l);
}
Pixel Light(Pixel, Pixel s, int l) {
  return RefLight(s, l);
}
Pixel Add(Pixel d, Pixel s, int) {
  return RefAdd(d, s);
}
Pixel Sub(Pixel d, Pixel s, int) {
  return RefSub(d, s);
}
Ref FillScaled(unsigned (*scale)(unsigned v, unsigned l)) {
  return FillWith([scale](const Args& a) {
    return ScaleColour(a.colour, [&](unsigned v) { return scale(v, Level(a)); });
  });
}

std::vector<Routine> Routines() {
  const Ref alpha = [](Picture& d, const Picture& s, bool same, const Args& a) {
    if (s.alpha.empty()) return RefCopy(d, s, a);
    if (Overlaps(same, a)) return false;
    return RefPair(d, s, a, [&s](Pixel dp, Pixel sp, int px, int py) {
      return RefAlpha(dp, sp, s.alpha[py * s.w + px]);
    });
  };
  const Ref reduced = [](Picture& d, const Picture& s, bool same, const Args& a) {
    return RefReduced(d, same ? nullptr : &s, a);
  };
  auto dark = [](unsigned v, unsigned l) { return v * l / 31; };
  auto light = [](unsigned v, unsigned l) { return 255 - (255 - v) * (31 - l) / 31; };
  // The member called with the arguments (RECT, SRC: the rectangle and the source corner).
#define ROUTINE(name, args, ref)                                                   \
  Routine{#name,                                                                   \
          [](CDrawImage& d, [[maybe_unused]] const CDrawImage& s, const Args& a) { \
            return d.name args;                                                    \
          },                                                                       \
          ref}
#define RECT a.x, a.y, a.w, a.h
#define SRC s, a.sx, a.sy
  std::vector<Routine> all = {
      ROUTINE(Copy, (RECT, SRC), kCopy),
      ROUTINE(Fill, (RECT, a.colour), kColourFill),
      ROUTINE(CopyKeyed, (RECT, SRC, a.key), kCopyKeyed),
      ROUTINE(CopyTranslucent, (RECT, SRC, a.level),
              ByLevel(kCopy, Blend(false, Translucent), kNothing)),
      ROUTINE(FillTranslucent, (RECT, a.colour, a.level),
              ByLevel(kColourFill, Blend(false, Translucent, true), kNothing)),
      ROUTINE(CopyTranslucentKeyed, (RECT, SRC, a.key, a.level),
              ByLevel(kCopyKeyed, Blend(true, Translucent), kNothing)),
      ROUTINE(CopyAdd, (RECT, SRC), Blend(false, Add)),
      ROUTINE(FillAdd, (RECT, a.colour), Blend(false, Add, true)),
      ROUTINE(CopySub, (RECT, SRC), Blend(false, Sub)),
      ROUTINE(FillSub, (RECT, a.colour), Blend(false, Sub, true)),
      ROUTINE(CopyDark, (RECT, SRC, a.level), ByLevel(kBlack, Blend(false, Dark), kCopy)),
      ROUTINE(FillDark, (RECT, a.colour, a.level), ByLevel(kBlack, FillScaled(dark), kColourFill)),
      ROUTINE(CopyDarkKeyed, (RECT, SRC, a.key, a.level),
              ByLevel(kBlack, Blend(true, Dark), kCopyKeyed)),
      ROUTINE(CopyLight, (RECT, SRC, a.level), ByLevel(kCopy, Blend(false, Light), kWhiteFill)),
      ROUTINE(FillLight, (RECT, a.colour, a.level),
              ByLevel(kColourFill, FillScaled(light), kWhiteFill)),
      ROUTINE(CopyLightKeyed, (RECT, SRC, a.key, a.level),
              ByLevel(kCopyKeyed, Blend(true, Light), kWhiteFill)),
      ROUTINE(CopyAlpha, (RECT, SRC), alpha),
      ROUTINE(CopyReducedKeyed, (RECT, SRC, a.colour, a.factor), reduced),
  };
#undef ROUTINE
#undef RECT
#undef SRC
  return all;
}

Routine Find(const std::string& name) {
  for (Routine& r : Routines()) {
    if (r.name == name) return r;
  }
  ADD_FAILURE() << name;
  return {};
}

const int kLevels[] = {0,   1,  2,   7,     15,    16,    29,    30,     31,    32,
                       100, -1, -31, 65535, 65536, 65537, 65566, 0x7FFF, 0x8000};

void FillPicture(CDrawImage& image, std::mt19937& rng, Pixel key) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.Row(y)[x] = rng() % 4 == 0 ? key : static_cast<Pixel>(rng() & 0x7FFF);
    }
  }
  if (image.Alpha() != nullptr) {
    for (int i = 0; i < image.Width() * image.Height(); ++i) {
      // Plenty of the two ends, where the formula must give the copy and the untouched pixel.
      const unsigned r = rng() % 8;
      image.Alpha()[i] = r == 0 ? 0 : r == 1 ? 255 : static_cast<std::uint8_t>(rng());
    }
  }
}

// Runs a routine on the surfaces and its reference on snapshots; same-surface when src == dst.
void ExpectMatches(const Routine& r, CDrawImage& dst, const CDrawImage& src, const Args& a) {
  const bool same = &dst == &src;
  Picture expected = Snapshot(dst);
  const Picture source = Snapshot(src);
  const bool want = r.ref(expected, source, same, a);
  const bool got = r.run(dst, src, a);
  const std::string where = r.name + " x=" + std::to_string(a.x) + " y=" + std::to_string(a.y) +
                            " w=" + std::to_string(a.w) + " h=" + std::to_string(a.h) +
                            " sx=" + std::to_string(a.sx) + " sy=" + std::to_string(a.sy) +
                            " level=" + std::to_string(a.level) +
                            " factor=" + std::to_string(a.factor) + (same ? " same" : "");
  EXPECT_EQ(got, want) << where;
  ASSERT_TRUE(Snapshot(dst) == expected) << where;
}

// --- Exhaustive channels ----------------------------------------------------------------------

// Pixel k carries, channel by channel, every pair of source and destination values once:
// blue (a, b), green (b, a), red (a + b, a + 2b).
Pixel PairSource(int k) {
  return MakePixel((k + k / 32) % 32, k / 32 % 32, k % 32);
}
Pixel PairDest(int k) {
  return MakePixel((k + 2 * (k / 32)) % 32, k % 32, k / 32 % 32);
}

TEST(ComposeTest, EveryChannelPairAtEveryLevel) {
  // 45 x 23 covers the 1024 pairs; the odd width leaves a tail in each row.
  CDrawImage src, dst;
  ASSERT_TRUE(src.Create(45, 23));
  ASSERT_TRUE(dst.Create(45, 23));
  for (int k = 0; k < 45 * 23; ++k) src.Row(k / 45)[k % 45] = PairSource(k);
  for (const Routine& r : Routines()) {
    if (r.name == "CopyReducedKeyed" || r.name == "CopyAlpha") continue;  // below
    for (int level : kLevels) {
      for (int k = 0; k < 45 * 23; ++k) dst.Row(k / 45)[k % 45] = PairDest(k);
      Args a{0, 0, 45, 23, 0, 0, level, PairSource(77), MakeColour(200, 100, 37), 1};
      ExpectMatches(r, dst, src, a);
    }
  }
}

TEST(ComposeTest, FillsOfEveryChannelValue) {
  CDrawImage dst;
  ASSERT_TRUE(dst.Create(33, 1));  // each destination channel value, odd width
  const std::vector<Routine> all = Routines();
  for (unsigned v = 0; v < 256; ++v) {
    const Colour colour = MakeColour(v, 255 - v, v * 37 % 256);
    for (const Routine& r : all) {
      if (r.name.rfind("Fill", 0) != 0) continue;
      for (int level : {0, 1, 13, 30, 31, -5, 65536}) {
        for (int k = 0; k < 33; ++k) dst.Row(0)[k] = MakePixel(k % 32, 31 - k % 32, k * 7 % 32);
        ExpectMatches(r, dst, dst, Args{0, 0, 33, 1, 0, 0, level, 0, colour, 1});
      }
    }
  }
}

TEST(ComposeTest, AlphaOfEveryChannelPairAndOpacity) {
  CDrawImage src, dst;
  ASSERT_TRUE(src.Create(256, 1024));
  ASSERT_TRUE(dst.Create(256, 1024));
  std::uint8_t* alpha = src.AllocateAlpha();
  for (int y = 0; y < 1024; ++y) {
    for (int x = 0; x < 256; ++x) {
      src.Row(y)[x] = PairSource(y);
      dst.Row(y)[x] = PairDest(y);
      alpha[y * 256 + x] = static_cast<std::uint8_t>(x);
    }
  }
  ExpectMatches(Find("CopyAlpha"), dst, src, Args{0, 0, 256, 1024, 0, 0, 0, 0, 0, 1});
}

// --- Random rectangles ------------------------------------------------------------------------

TEST(ComposeTest, RandomRectanglesClipAtEveryEdge) {
  std::mt19937 rng(20240607);
  const std::vector<Routine> all = Routines();
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  for (int round = 0; round < 150; ++round) {
    CDrawImage dst, src;
    ASSERT_TRUE(dst.Create(pick(1, 53), pick(1, 29)));
    ASSERT_TRUE(src.Create(pick(1, 61), pick(1, 33)));
    if (round % 2 == 0) src.AllocateAlpha();
    const Pixel key = static_cast<Pixel>(rng() & 0x7FFF);
    for (const Routine& r : all) {
      std::mt19937 fill(rng());
      FillPicture(dst, fill, key);
      FillPicture(src, fill, key);
      Args a;
      a.w = pick(-2, 70);
      a.h = pick(-2, 40);
      a.x = pick(-a.w - 3, dst.Width() + 2);
      a.y = pick(-a.h - 3, dst.Height() + 2);
      a.factor = pick(0, 5);
      const int reduce =
          a.factor >= 1 && a.factor <= 4 && r.name == "CopyReducedKeyed" ? a.factor : 1;
      a.sx = pick(-a.w - 3, src.Width() / reduce + 2);
      a.sy = pick(-a.h - 3, src.Height() / reduce + 2);
      a.level = kLevels[rng() % std::size(kLevels)];
      a.key = key;
      a.colour = rng() % 2
                     ? MakeColour(PixelRed(key) << 3, PixelGreen(key) << 3, PixelBlue(key) << 3)
                     : static_cast<Colour>(rng() & 0xFFFFFF);
      ExpectMatches(r, dst, src, a);
    }
  }
}

// On one surface: overlapping rectangles are refused by everything but Copy, which moves them
// as if through a buffer; disjoint rectangles are drawn.
TEST(ComposeTest, SameSurface) {
  std::mt19937 rng(77);
  const std::vector<Routine> all = Routines();
  CDrawImage image;
  ASSERT_TRUE(image.Create(37, 26));
  image.AllocateAlpha();
  for (const Routine& r : all) {
    // Overlapping, shifted by up to three pixels each way; at level 0 and 31 the fall-backs
    // decide (Copy moves, the fills fill, nothing is refused).
    for (int level : {0, 9, 31}) {
      for (int dy = -3; dy <= 3; ++dy) {
        for (int dx = -3; dx <= 3; ++dx) {
          FillPicture(image, rng, 0x1234);
          ExpectMatches(r, image, image,
                        Args{10, 8, 12, 9, 10 + dx, 8 + dy, level, 0x1234, 0x2468AC, 2});
        }
      }
    }
    // Touching edges do not overlap; one pixel more does.
    for (int d : {-12, -11, 11, 12}) {
      FillPicture(image, rng, 0x1234);
      ExpectMatches(r, image, image, Args{12, 0, 12, 9, 12 + d, 2, 9, 0x1234, 0x2468AC, 2});
    }
    for (int d : {-9, -8, 8, 9}) {
      FillPicture(image, rng, 0x1234);
      ExpectMatches(r, image, image, Args{2, 9, 12, 9, 4, 9 + d, 9, 0x1234, 0x2468AC, 2});
    }
    // The unclipped rectangles decide: these overlap though the clipped parts would not.
    FillPicture(image, rng, 0x1234);
    ExpectMatches(r, image, image, Args{-8, 0, 12, 9, 0, 0, 9, 0x1234, 0, 2});
  }
}

TEST(ComposeTest, OverlappingCopiesInEveryDirection) {
  std::mt19937 rng(5);
  const Routine copy = Find("Copy");
  CDrawImage image;
  ASSERT_TRUE(image.Create(40, 30));  // even width: whole-row moves too
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      FillPicture(image, rng, 0);
      ExpectMatches(copy, image, image, Args{5, 5, 20, 15, 5 + dx, 5 + dy});
      FillPicture(image, rng, 0);
      ExpectMatches(copy, image, image, Args{0, 0, 40, 30, 0, dy});
    }
  }
}

TEST(ComposeTest, SurfacesWithoutPixelsRefuse) {
  CDrawImage empty, image;
  ASSERT_TRUE(image.Create(8, 8));
  for (const Routine& r : Routines()) {
    Args a{0, 0, 8, 8, 0, 0, 10, 0, 0, 2};
    EXPECT_FALSE(r.run(empty, image, a)) << r.name;
    if (r.name.rfind("Fill", 0) != 0) {
      EXPECT_FALSE(r.run(image, empty, a)) << r.name;
    }
  }
}

// --- Worked examples --------------------------------------------------------------------------

struct Pair {
  CDrawImage dst, src;
  Pair(Pixel d, Pixel s) {
    dst.Create(3, 1);
    src.Create(3, 1);
    for (int x = 0; x < 3; ++x) {
      dst.Row(0)[x] = d;
      src.Row(0)[x] = s;
    }
  }
  Pixel Result() const { return dst.Row(0)[1]; }
};

TEST(ComposeTest, WorkedExamples) {
  Pair add(0x4210, 0x7C00);
  EXPECT_TRUE(add.dst.CopyAdd(0, 0, 3, 1, add.src, 0, 0));
  EXPECT_EQ(add.Result(), 0x7E10);  // red saturates at 31, green and blue stay 16
  Pair sub(0x2108, 0x4210);
  EXPECT_TRUE(sub.dst.CopySub(0, 0, 3, 1, sub.src, 0, 0));
  EXPECT_EQ(sub.Result(), 0);
  // Darkening factors 8, 123 and 247: a channel of 31 becomes 0, 14 and 29.
  for (auto [level, out] : {std::pair{1, 0}, {15, 14}, {30, 29}}) {
    Pair dark(0, 0x7FFF);
    EXPECT_TRUE(dark.dst.CopyDark(0, 0, 3, 1, dark.src, 0, 0, level));
    EXPECT_EQ(dark.Result(), MakePixel(out, out, out)) << level;
  }
  // Translucent at level 30 keeps 30/31 of the destination: 0 + (31 - 0) x 30 / 31 = 30, and
  // from 31 towards 0: 31 + (0 - 31) x 30 / 31 = 1.
  Pair up(0x7FFF, 0), down(0, 0x7FFF);
  up.dst.CopyTranslucent(0, 0, 3, 1, up.src, 0, 0, 30);
  down.dst.CopyTranslucent(0, 0, 3, 1, down.src, 0, 0, 30);
  EXPECT_EQ(up.Result(), MakePixel(30, 30, 30));
  EXPECT_EQ(down.Result(), MakePixel(1, 1, 1));
  // Truncation toward zero: 10 + (0 - 10) x 2 / 31 = 10 + (-20 / 31) = 10, not 9.
  Pair neg(0, MakePixel(10, 10, 10));
  neg.dst.CopyTranslucent(0, 0, 3, 1, neg.src, 0, 0, 2);
  EXPECT_EQ(neg.Result(), MakePixel(10, 10, 10));
  // Whitening 0 by level 15: 31 - 31 x 16 / 31 = 15.
  Pair light(0, 0);
  light.dst.CopyLight(0, 0, 3, 1, light.src, 0, 0, 15);
  EXPECT_EQ(light.Result(), MakePixel(15, 15, 15));
}

TEST(ComposeTest, LevelFallBacks) {
  Pair t(0x1111, 0x2222);
  EXPECT_TRUE(t.dst.CopyTranslucent(0, 0, 3, 1, t.src, 0, 0, 31));  // nothing drawn
  EXPECT_EQ(t.Result(), 0x1111);
  EXPECT_TRUE(t.dst.CopyTranslucent(0, 0, 3, 1, t.src, 0, 0, 65536));  // low bits 0: copy
  EXPECT_EQ(t.Result(), 0x2222);
  // Level 0 darkening paints transparent pixels black too; level 31 whitening paints white.
  Pair dk(0x1111, 0x0C63);
  EXPECT_TRUE(dk.dst.CopyDarkKeyed(0, 0, 3, 1, dk.src, 0, 0, 0x0C63, 0));
  EXPECT_EQ(dk.Result(), 0);
  Pair lk(0x1111, 0x0C63);
  EXPECT_TRUE(lk.dst.CopyLightKeyed(0, 0, 3, 1, lk.src, 0, 0, 0x0C63, 31));
  EXPECT_EQ(lk.Result(), 0x7FFF);
}

TEST(ComposeTest, AlphaPlane) {
  CDrawImage src, dst, copy;
  for (CDrawImage* s : {&src, &dst, &copy}) ASSERT_TRUE(s->Create(30, 20));
  std::mt19937 rng(3);
  FillPicture(src, rng, 0);
  FillPicture(dst, rng, 0);
  copy.Copy(0, 0, 30, 20, dst, 0, 0);
  // Without a plane: a copy.
  dst.CopyAlpha(2, 3, 15, 10, src, 10, 10);
  copy.Copy(2, 3, 15, 10, src, 10, 10);
  EXPECT_TRUE(Snapshot(dst) == Snapshot(copy));
  // All opaque: a copy; all transparent: nothing changes.
  std::uint8_t* alpha = src.AllocateAlpha();
  std::fill(alpha, alpha + 600, 255);
  FillPicture(dst, rng, 0);
  copy.Copy(0, 0, 30, 20, dst, 0, 0);
  dst.CopyAlpha(2, 3, 15, 10, src, 10, 10);
  copy.Copy(2, 3, 15, 10, src, 10, 10);
  EXPECT_TRUE(Snapshot(dst) == Snapshot(copy));
  std::fill(alpha, alpha + 600, 0);
  const Picture before = Snapshot(dst);
  EXPECT_TRUE(dst.CopyAlpha(2, 3, 15, 10, src, 10, 10));
  EXPECT_TRUE(Snapshot(dst) == before);
  // Opaque exactly where the copied source pixels are: the rectangle from (10, 10) is copied.
  for (int y = 10; y < 20; ++y) std::fill(alpha + y * 30 + 10, alpha + y * 30 + 25, 255);
  dst.CopyAlpha(2, 3, 15, 10, src, 10, 10);
  copy.Copy(2, 3, 15, 10, src, 10, 10);
  EXPECT_TRUE(Snapshot(dst) == Snapshot(copy));
}

TEST(ComposeTest, ReducedBlockWithOneTransparentPixel) {
  CDrawImage glyphs, dst;
  ASSERT_TRUE(glyphs.Create(2, 2));
  ASSERT_TRUE(dst.Create(1, 1));
  const Colour key = MakeColour(0, 248, 0);  // pixel 0x03E0
  glyphs.Row(0)[0] = 0x03E0;
  glyphs.Row(0)[1] = MakePixel(31, 0, 3);
  glyphs.Row(1)[0] = MakePixel(20, 10, 5);
  glyphs.Row(1)[1] = MakePixel(1, 2, 30);
  dst.Row(0)[0] = MakePixel(4, 8, 12);
  EXPECT_TRUE(dst.CopyReducedKeyed(0, 0, 1, 1, glyphs, 0, 0, key, 2));
  // (31 + 20 + 1 + 4) / 4 = 14, (0 + 10 + 2 + 8) / 4 = 5, (3 + 5 + 30 + 12) / 4 = 12.
  EXPECT_EQ(dst.Row(0)[0], MakePixel(14, 5, 12));
  EXPECT_FALSE(dst.CopyReducedKeyed(0, 0, 1, 1, glyphs, 0, 0, key, 5));
  EXPECT_EQ(dst.Row(0)[0], MakePixel(14, 5, 12));
}

TEST(ComposeTest, ReducedByEachFactor) {
  std::mt19937 rng(11);
  const Routine reduced = Find("CopyReducedKeyed");
  for (int factor = 0; factor <= 5; ++factor) {
    CDrawImage dst, glyphs;
    ASSERT_TRUE(dst.Create(71, 13));
    ASSERT_TRUE(glyphs.Create(71 * 4 + 3, 13 * 4 + 1));
    FillPicture(dst, rng, 0x0421);
    FillPicture(glyphs, rng, 0x0421);
    const Colour key = MakeColour(8, 8, 8);  // pixel 0x0421
    ExpectMatches(reduced, dst, glyphs, Args{0, 0, 71, 13, 0, 0, 0, 0, key, factor});
    ExpectMatches(reduced, dst, glyphs, Args{-3, 2, 80, 20, 1, -1, 0, 0, key, factor});
    // Reduced onto itself: no overlap test, and pixels read after the ones written before them
    // in drawing order (the first rows' blocks lie to the left of the pixels they make).
    ExpectMatches(reduced, glyphs, glyphs, Args{10, 0, 60, 12, 0, 0, 0, 0, key, factor});
  }
}

// --- Every vector unit -----------------------------------------------------------------------

// The public routines run on the widest unit present; the kernels are run here on each one.
std::vector<compose::Isa> AvailableIsas() {
  std::vector<compose::Isa> isas;
  for (auto isa : {compose::Isa::kBase, compose::Isa::kAvx2, compose::Isa::kAvx512}) {
    if (compose::Supports(isa)) isas.push_back(isa);
  }
  return isas;
}

// The compiler turns vector divisions by constants into multiply-high sequences; compare them
// with scalar division over every 16-bit value.
struct DivisionJob {
  template <class T>
  [[gnu::always_inline]] void Run() const {
    using S = typename T::S;
    using U = typename T::U;
    for (int start = -32768; start < 32768; start += T::kLanes) {
      S v;
      U u;
      for (int i = 0; i < T::kLanes; ++i) {
        v[i] = static_cast<std::int16_t>(start + i);
        u[i] = static_cast<std::uint16_t>(start + i);
      }
      const S q31 = v / 31, q255 = v / 255;
      const U u31 = u / 31, u9 = u / 9, u16 = u / 16;
      for (int i = 0; i < T::kLanes; ++i) {
        ASSERT_EQ(q31[i], v[i] / 31) << v[i];
        ASSERT_EQ(q255[i], v[i] / 255) << v[i];
        ASSERT_EQ(u31[i], u[i] / 31) << u[i];
        ASSERT_EQ(u9[i], u[i] / 9) << u[i];
        ASSERT_EQ(u16[i], u[i] / 16) << u[i];
      }
    }
  }
};

TEST(ComposeTest, VectorDivisionsOverEveryValue) {
  for (compose::Isa isa : AvailableIsas()) compose::RunOn(isa, DivisionJob{});
}

TEST(ComposeTest, KernelsOnEveryVectorUnit) {
  CDrawImage src, dst;
  ASSERT_TRUE(src.Create(45, 23));
  ASSERT_TRUE(dst.Create(45, 23));
  for (int k = 0; k < 45 * 23; ++k) src.Row(k / 45)[k % 45] = PairSource(k);
  std::uint8_t* alpha = src.AllocateAlpha();
  for (int k = 0; k < 45 * 23; ++k) alpha[k] = static_cast<std::uint8_t>(k * 97);
  const Pixel key = PairSource(300);
  using compose::PairJob;
  for (compose::Isa isa : AvailableIsas()) {
    SCOPED_TRACE(static_cast<int>(isa));
    // Runs a kernel on columns 1 to 44 from source columns 0 to 43.
    auto check = [&](const char* name, auto run, auto ref) {
      for (int k = 0; k < 45 * 23; ++k) dst.Row(k / 45)[k % 45] = PairDest(k);
      compose::PairSpan span;
      ASSERT_TRUE(compose::PreparePair(dst, src, 1, 0, 44, 23, 0, 0, span));
      run(span);
      for (int k = 0; k < 45 * 23; ++k) {
        const int x = k % 45, y = k / 45;
        const Pixel want =
            x == 0 ? PairDest(k) : ref(PairDest(k), src.Row(y)[x - 1], alpha[y * 45 + x - 1]);
        ASSERT_EQ(dst.Row(y)[x], want) << name << " at " << x << "," << y;
      }
    };
    for (int l = 1; l <= 30; ++l) {
      const auto level = static_cast<std::uint16_t>(l);
      check(
          "translucent",
          [&](auto s) {
            RunOn(isa, PairJob<compose::TranslucentOp>{s, {level}});
          },
          [l](Pixel d, Pixel s, int) { return RefTranslucent(d, s, l); });
      check(
          "dark",
          [&](auto s) {
            RunOn(isa, PairJob<compose::DarkOp>{s, {static_cast<std::uint16_t>(l * 256 / 31)}});
          },
          [l](Pixel, Pixel s, int) { return RefDark(s, l); });
      check(
          "light keyed",
          [&](auto s) {
            using Op = compose::KeyedOp<compose::LightOp>;
            RunOn(isa, PairJob<Op>{s, Op{{static_cast<std::uint16_t>(31 - l)}, key}});
          },
          [l, key](Pixel d, Pixel s, int) { return s == key ? d : RefLight(s, l); });
    }
    check(
        "add",
        [&](auto s) {
          RunOn(isa, PairJob<compose::AddOp>{s, {}});
        },
        [](Pixel d, Pixel s, int) { return RefAdd(d, s); });
    check(
        "sub",
        [&](auto s) {
          RunOn(isa, PairJob<compose::SubOp>{s, {}});
        },
        [](Pixel d, Pixel s, int) { return RefSub(d, s); });
    check(
        "keyed",
        [&](auto s) {
          RunOn(isa, PairJob<compose::KeyedCopyOp>{s, {key}});
        },
        [key](Pixel d, Pixel s, int) { return s == key ? d : s; });
    check(
        "alpha",
        [&](auto s) {
          RunOn(isa, compose::AlphaJob{s, src.Alpha(), 45});
        },
        [](Pixel d, Pixel s, int a) { return RefAlpha(d, s, a); });
    compose::Span span;
    ASSERT_TRUE(compose::PrepareColour(dst, 0, 0, 45, 23, span));
    for (int k = 0; k < 45 * 23; ++k) dst.Row(k / 45)[k % 45] = PairDest(k);
    using Tinted = compose::WithColourOp<compose::TranslucentOp>;
    RunOn(isa, compose::ColourJob<Tinted>{span, Tinted{{9}, 0x5A5A}});
    for (int k = 0; k < 45 * 23; ++k) {
      ASSERT_EQ(dst.Row(k / 45)[k % 45], RefTranslucent(PairDest(k), 0x5A5A, 9)) << k;
    }
    RunOn(isa, compose::FillJob{span, 0x1357});
    for (int k = 0; k < 45 * 23; ++k) ASSERT_EQ(dst.Row(k / 45)[k % 45], 0x1357);
  }
}

TEST(ComposeTest, ReductionOnEveryVectorUnit) {
  std::mt19937 rng(99);
  for (compose::Isa isa : AvailableIsas()) {
    for (int factor = 2; factor <= 4; ++factor) {
      CDrawImage dst, glyphs;
      // Wider than one pass of the factor 3 and 4 kernels, and a ragged end.
      ASSERT_TRUE(dst.Create(1100, 5));
      ASSERT_TRUE(glyphs.Create(1100 * factor, 5 * factor));
      FillPicture(dst, rng, 0x0421);
      FillPicture(glyphs, rng, 0x0421);
      Picture expected = Snapshot(dst);
      const Picture source = Snapshot(glyphs);
      RefReduced(expected, &source, Args{0, 0, 1099, 5, 0, 0, 0, 0, MakeColour(8, 8, 8), factor});
      RunOn(isa, compose::ReduceJob{{&dst, &glyphs, 0, 0, 1099, 5, 0, 0, factor, 0x0421}});
      EXPECT_TRUE(Snapshot(dst) == expected) << factor << " on " << static_cast<int>(isa);
    }
  }
}

}  // namespace
}  // namespace adv
