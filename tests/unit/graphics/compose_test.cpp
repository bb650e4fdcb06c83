// The composition routines against a plain per-channel reference written from the formulas:
// every channel pair and level, random rectangles clipped at every edge, the same-surface rules,
// and the vector kernels on each vector unit the machine has (the routines use the widest).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <random>
#include <string>
#include <type_traits>
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
  Pixel& At(long long x, long long y) { return px[y * w + x]; }
  bool Inside(long long x, long long y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  bool operator==(const Picture&) const = default;
};

Picture Snapshot(const CDrawImage& image) {
  Picture p{image.Width(), image.Height(), {}, {}};
  for (int y = 0; y < p.h; ++y) p.px.insert(p.px.end(), image.Row(y), image.Row(y) + p.w);
  if (image.Alpha() != nullptr) p.alpha.assign(image.Alpha(), image.Alpha() + p.w * p.h);
  return p;
}

int Ch(Pixel p, int c) {  // 0 blue, 1 green, 2 red
  return (p >> (5 * c)) & 31;
}
template <class F>
Pixel PerChannel(F f) {
  return static_cast<Pixel>(f(2) << 10 | f(1) << 5 | f(0));
}

// The formulas on one 5-bit channel: d destination, s source, l the level (1 to 30) or alpha.
using Op = int (*)(int d, int s, int l);
constexpr Op kSource = [](int, int s, int) { return s; };
constexpr Op kTranslucent = [](int d, int s, int l) { return s + (d - s) * l / 31; };
constexpr Op kDark = [](int, int s, int l) { return (s * (l * 256 / 31)) >> 8; };
constexpr Op kLight = [](int, int s, int l) { return 31 - (31 - s) * (31 - l) / 31; };
constexpr Op kAdd = [](int d, int s, int) { return std::min(d + s, 31); };
constexpr Op kSub = [](int d, int s, int) { return std::max(d - s, 0); };
constexpr Op kAlpha = [](int d, int s, int a) { return d + (s - d) * a / 255; };
Pixel Per(Op op, Pixel d, Pixel s, int l) {
  return PerChannel([&](int c) { return op(Ch(d, c), Ch(s, c), l); });
}

// What a routine does with given arguments. kPair reads the source (refusing overlapping
// rectangles on one surface when `refuse`, leaving key pixels alone when `keyed`); kFill uses
// `pixel` as the source everywhere.
struct Plan {
  enum Frame { kNothing, kFill, kPair, kByAlpha, kReduced } frame = kNothing;
  Op op = kSource;
  int level = 0;
  Pixel pixel = 0;
  bool refuse = false;
  bool keyed = false;
  static Plan Move() { return {kPair}; }
  static Plan Keyed() { return {kPair, kSource, 0, 0, true, true}; }
  static Plan Blend(Op op, int l = 0, bool keyed = false) { return {kPair, op, l, 0, true, keyed}; }
  static Plan Fill(Pixel pixel, Op op = kSource, int l = 0) { return {kFill, op, l, pixel}; }
};

struct Args {
  int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
  int level = 0;
  Pixel key = 0;
  Colour colour = 0;
  int factor = 1;
  // Only the low 16 bits of a level count: 0, 1 to 30 (the formula), or anything else.
  int L() const { return level & 0xFFFF; }
  Plan ByLevel(Plan zero, Plan partial, Plan other) const {
    return L() == 0 ? zero : L() <= 30 ? partial : other;
  }
  Pixel C() const { return ColorToPixel(colour); }
  // The colour forms of darkening and whitening scale the 8-bit channels, then fill.
  Pixel Scaled(bool light) const {
    auto f = [&](unsigned v) { return light ? 255 - (255 - v) * (31 - L()) / 31 : v * L() / 31; };
    return ColorToPixel(
        MakeColour(f(ColourRed(colour)), f(ColourGreen(colour)), f(ColourBlue(colour))));
  }
};
std::ostream& operator<<(std::ostream& o, const Args& a) {
  return o << "x=" << a.x << " y=" << a.y << " w=" << a.w << " h=" << a.h << " sx=" << a.sx
           << " sy=" << a.sy << " level=" << a.level << " factor=" << a.factor;
}

// Reduced keyed copy, pixel by pixel in place (so a picture reduced onto itself reads what the
// pixels before left behind).
bool Reduce(Picture& d, const Picture* other, const Args& a) {
  const Picture& s = other ? *other : d;
  const Pixel key = a.C();
  const int f = a.factor;
  bool any = false;
  for (int i = 0; i < a.h; ++i) {
    for (int j = 0; j < a.w; ++j) {
      const long long dx = 1LL * a.x + j, dy = 1LL * a.y + i;
      const long long bx = 1LL * a.sx + j, by = 1LL * a.sy + i;
      if (!d.Inside(dx, dy) || bx < 0 || by < 0 || bx >= s.w / f || by >= s.h / f) continue;
      const Pixel under = d.At(dx, dy);
      int sum[3] = {0, 0, 0};
      for (int k = 0; k < f * f; ++k) {
        const Pixel p = s.px[(f * by + k / f) * s.w + f * bx + k % f];
        for (int c = 0; c < 3; ++c) sum[c] += Ch(p == key ? under : p, c);
      }
      d.At(dx, dy) = PerChannel([&](int c) { return sum[c] / (f * f); });
      any = true;
    }
  }
  return any;
}

// Carries out a plan on snapshots; returns what the routine should return.
bool Apply(Plan p, Picture& d, const Picture& s, bool same, const Args& a) {
  if (p.frame == Plan::kNothing) return true;
  if (p.frame == Plan::kReduced && a.factor == 1) {
    Args keyed = a;
    keyed.key = a.C();
    return Apply(Plan::Keyed(), d, s, same, keyed);
  }
  if (p.frame == Plan::kReduced) {
    return a.factor >= 2 && a.factor <= 4 && Reduce(d, same ? nullptr : &s, a);
  }
  if (p.frame == Plan::kByAlpha)
    p = s.alpha.empty() ? Plan::Move() : Plan{Plan::kByAlpha, kAlpha, 0, 0, true};
  if (p.refuse && same && std::llabs(1LL * a.sx - a.x) < a.w && std::llabs(1LL * a.sy - a.y) < a.h)
    return false;
  bool any = false;
  for (int i = 0; i < a.h; ++i) {
    for (int j = 0; j < a.w; ++j) {
      const long long dx = 1LL * a.x + j, dy = 1LL * a.y + i;
      const long long sx = 1LL * a.sx + j, sy = 1LL * a.sy + i;
      const bool fill = p.frame == Plan::kFill;
      if (!d.Inside(dx, dy) || (!fill && !s.Inside(sx, sy))) continue;
      any = true;
      const Pixel sp = fill ? p.pixel : s.px[sy * s.w + sx];
      if (p.keyed && sp == a.key) continue;
      const int level = p.frame == Plan::kByAlpha ? s.alpha[sy * s.w + sx] : p.level;
      d.At(dx, dy) = Per(p.op, d.At(dx, dy), sp, level);
    }
  }
  return any;
}

// --- The routines, side by side with their references ----------------------------------------

struct Routine {
  const char* name;
  bool (*run)(CDrawImage& d, const CDrawImage& s, const Args& a);
  Plan (*plan)(const Args& a);
};

// The member called with its arguments (RECT, SRC: the rectangle and the source corner), and
// the plan the reference carries out.
// clang-format off
#define ROUTINE(name, args, plan)                                              \
  Routine{#name,                                                               \
          [](CDrawImage& d, [[maybe_unused]] const CDrawImage& s, const Args& a) { \
            return d.name args;                                                \
          },                                                                   \
          []([[maybe_unused]] const Args& a) -> Plan { return plan; }}
// clang-format on
#define RECT a.x, a.y, a.w, a.h
#define SRC s, a.sx, a.sy
using P = Plan;
const Routine kRoutines[] = {
    ROUTINE(Copy, (RECT, SRC), P::Move()),
    ROUTINE(Fill, (RECT, a.colour), P::Fill(a.C())),
    ROUTINE(CopyKeyed, (RECT, SRC, a.key), P::Keyed()),
    ROUTINE(CopyTranslucent, (RECT, SRC, a.level),
            a.ByLevel(P::Move(), P::Blend(kTranslucent, a.L()), {})),
    ROUTINE(FillTranslucent, (RECT, a.colour, a.level),
            a.ByLevel(P::Fill(a.C()), P::Fill(a.C(), kTranslucent, a.L()), {})),
    ROUTINE(CopyTranslucentKeyed, (RECT, SRC, a.key, a.level),
            a.ByLevel(P::Keyed(), P::Blend(kTranslucent, a.L(), true), {})),
    ROUTINE(CopyAdd, (RECT, SRC), P::Blend(kAdd)),
    ROUTINE(FillAdd, (RECT, a.colour), P::Fill(a.C(), kAdd)),
    ROUTINE(CopySub, (RECT, SRC), P::Blend(kSub)),
    ROUTINE(FillSub, (RECT, a.colour), P::Fill(a.C(), kSub)),
    ROUTINE(CopyDark, (RECT, SRC, a.level),
            a.ByLevel(P::Fill(0), P::Blend(kDark, a.L()), P::Move())),
    ROUTINE(FillDark, (RECT, a.colour, a.level),
            a.ByLevel(P::Fill(0), P::Fill(a.Scaled(false)), P::Fill(a.C()))),
    ROUTINE(CopyDarkKeyed, (RECT, SRC, a.key, a.level),
            a.ByLevel(P::Fill(0), P::Blend(kDark, a.L(), true), P::Keyed())),
    ROUTINE(CopyLight, (RECT, SRC, a.level),
            a.ByLevel(P::Move(), P::Blend(kLight, a.L()), P::Fill(0x7FFF))),
    ROUTINE(FillLight, (RECT, a.colour, a.level),
            a.ByLevel(P::Fill(a.C()), P::Fill(a.Scaled(true)), P::Fill(0x7FFF))),
    ROUTINE(CopyLightKeyed, (RECT, SRC, a.key, a.level),
            a.ByLevel(P::Keyed(), P::Blend(kLight, a.L(), true), P::Fill(0x7FFF))),
    ROUTINE(CopyAlpha, (RECT, SRC), P{P::kByAlpha}),
    ROUTINE(CopyReducedKeyed, (RECT, SRC, a.colour, a.factor), P{P::kReduced}),
};
#undef ROUTINE
#undef RECT
#undef SRC

const int kLevels[] = {0,   1,  2,   7,     15,    16,    29,    30,     31,    32,
                       100, -1, -31, 65535, 65536, 65537, 65566, 0x7FFF, 0x8000};

void FillPicture(CDrawImage& image, std::mt19937& rng, Pixel key) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.Row(y)[x] = rng() % 4 == 0 ? key : static_cast<Pixel>(rng() & 0x7FFF);
    }
  }
  for (int i = 0; image.Alpha() != nullptr && i < image.Width() * image.Height(); ++i) {
    // Plenty of the two ends, where the formula must give the copy and the untouched pixel.
    const unsigned r = rng() % 8;
    image.Alpha()[i] = r == 0 ? 0 : r == 1 ? 255 : static_cast<std::uint8_t>(rng());
  }
}

// Runs a routine on the surfaces and its reference on snapshots; same-surface when src == dst.
void ExpectMatches(const Routine& r, CDrawImage& dst, const CDrawImage& src, const Args& a) {
  const bool same = &dst == &src;
  Picture expected = Snapshot(dst);
  const bool want = Apply(r.plan(a), expected, Snapshot(src), same, a);
  EXPECT_EQ(r.run(dst, src, a), want) << r.name << " " << a << (same ? " same" : "");
  ASSERT_TRUE(Snapshot(dst) == expected) << r.name << " " << a << (same ? " same" : "");
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
void FillPairs(CDrawImage& image, Pixel (*pair)(int)) {
  for (int k = 0; k < image.Width() * image.Height(); ++k) {
    image.Row(k / image.Width())[k % image.Width()] = pair(k);
  }
}

TEST(ComposeTest, EveryChannelPairAtEveryLevel) {
  // 45 x 23 covers the 1024 pairs; the odd width leaves a tail in each row.
  CDrawImage src, dst;
  ASSERT_TRUE(src.Create(45, 23) && dst.Create(45, 23));
  FillPairs(src, PairSource);
  for (const Routine& r : kRoutines) {
    for (int level : kLevels) {
      FillPairs(dst, PairDest);
      ExpectMatches(r, dst, src, {0, 0, 45, 23, 0, 0, level, PairSource(77), 0x2564C8, 1});
    }
  }
}

// --- Random rectangles and one surface --------------------------------------------------------

TEST(ComposeTest, RandomRectanglesClipAtEveryEdge) {
  std::mt19937 rng(20240607);
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  for (int round = 0; round < 150; ++round) {
    CDrawImage dst, src;
    ASSERT_TRUE(dst.Create(pick(1, 53), pick(1, 29)) && src.Create(pick(1, 61), pick(1, 33)));
    if (round % 2 == 0) src.AllocateAlpha();
    const Pixel key = static_cast<Pixel>(rng() & 0x7FFF);
    for (const Routine& r : kRoutines) {
      std::mt19937 fill(rng());
      FillPicture(dst, fill, key);
      FillPicture(src, fill, key);
      Args a;
      a.w = pick(-2, 70);
      a.h = pick(-2, 40);
      a.x = pick(-a.w - 3, dst.Width() + 2);
      a.y = pick(-a.h - 3, dst.Height() + 2);
      a.factor = pick(0, 5);
      const bool reduce = a.factor >= 1 && a.factor <= 4 && r.plan(a).frame == Plan::kReduced;
      a.sx = pick(-a.w - 3, src.Width() / (reduce ? a.factor : 1) + 2);
      a.sy = pick(-a.h - 3, src.Height() / (reduce ? a.factor : 1) + 2);
      a.level = kLevels[rng() % std::size(kLevels)];
      a.key = key;
      a.colour = rng() % 2
                     ? MakeColour(PixelRed(key) << 3, PixelGreen(key) << 3, PixelBlue(key) << 3)
                     : static_cast<Colour>(rng() & 0xFFFFFF);
      ExpectMatches(r, dst, src, a);
    }
  }
}

// On one surface: overlapping rectangles are refused by the blends; Copy moves them as if
// through a buffer (whole rows too), the fills fill, and the reduced copy reads in drawing order.
TEST(ComposeTest, SameSurface) {
  std::mt19937 rng(77);
  CDrawImage image;
  ASSERT_TRUE(image.Create(38, 26));  // even width: whole-row moves too
  image.AllocateAlpha();
  const Colour key = MakeColour(4 << 3, 17 << 3, 20 << 3);  // pixel 0x1234
  // Shifted by up to three pixels; edges touching (no overlap) and one pixel more.
  std::vector<std::pair<int, int>> shifts;
  for (int dy = -3; dy <= 3; ++dy) {
    for (int dx = -3; dx <= 3; ++dx) shifts.emplace_back(dx, dy);
  }
  for (int d : {-12, -11, 11, 12}) shifts.emplace_back(d, 2);
  for (int d : {-9, -8, 8, 9}) shifts.emplace_back(2, d);
  for (const Routine& r : kRoutines) {
    auto check = [&](const Args& a) {
      FillPicture(image, rng, 0x1234);
      ExpectMatches(r, image, image, a);
    };
    // At level 0 and 31 the fall-backs decide.
    for (auto [level, factor] : {std::pair{0, 2}, {9, 3}, {31, 4}}) {
      for (auto [dx, dy] : shifts)
        check({13, 9, 12, 9, 13 + dx, 9 + dy, level, 0x1234, key, factor});
      // The reduced copy's first blocks lie left of the pixels they make: it reads what it wrote.
      check({10, 0, 20, 8, 0, 0, level, 0x1234, key, factor});
    }
    // The unclipped rectangles decide: these overlap though the clipped parts would not.
    check({-8, 0, 12, 9, 0, 0, 9, 0x1234, key, 2});
    for (int dy = -2; dy <= 2; ++dy) check({0, 0, 38, 26, 0, dy, 9, 0x1234, key, 2});
  }
}

TEST(ComposeTest, SurfacesWithoutPixelsRefuse) {
  CDrawImage empty, image;
  ASSERT_TRUE(image.Create(8, 8));
  for (const Routine& r : kRoutines) {
    const Args a{0, 0, 8, 8, 0, 0, 10, 0, 0, 2};
    EXPECT_FALSE(r.run(empty, image, a)) << r.name;
    EXPECT_EQ(r.run(image, empty, a), r.plan(a).frame == Plan::kFill) << r.name;
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

TEST(ComposeTest, KernelsOnEveryVectorUnit) {
  using namespace compose;
  CDrawImage src, dst;
  ASSERT_TRUE(src.Create(45, 23) && dst.Create(45, 23));
  FillPairs(src, PairSource);
  std::uint8_t* alpha = src.AllocateAlpha();
  for (int k = 0; k < 45 * 23; ++k) alpha[k] = static_cast<std::uint8_t>(k * 97);
  const Pixel key = PairSource(300);
  // Columns 1 to 44 from source columns 0 to 43 (the source is not aligned); ref(d, s, alpha).
  auto check = [&](const char* name, auto op, auto ref) {
    for (Isa isa : AvailableIsas()) {
      FillPairs(dst, PairDest);
      PairSpan span;
      ASSERT_TRUE(PreparePair(dst, src, 1, 0, 44, 23, 0, 0, span));
      if constexpr (std::is_same_v<decltype(op), AlphaJob>) {
        RunOn(isa, AlphaJob{span, src.Alpha(), 45});
      } else {
        RunOn(isa, PairJob<decltype(op)>{span, op});
      }
      for (int k = 0; k < 45 * 23; ++k) {
        const int x = k % 45;
        const Pixel want =
            x == 0 ? PairDest(k) : ref(PairDest(k), src.Row(k / 45)[x - 1], alpha[k - 1]);
        ASSERT_EQ(dst.Row(k / 45)[x], want)
            << name << " at " << k << " on " << static_cast<int>(isa);
      }
    }
  };
  auto with = [](Op op, int l) { return [=](Pixel d, Pixel s, int) { return Per(op, d, s, l); }; };
  auto keyed = [key](auto ref) {
    return [=](Pixel d, Pixel s, int a) { return s == key ? d : ref(d, s, a); };
  };
  check("add", AddOp{}, with(kAdd, 0));
  check("sub", SubOp{}, with(kSub, 0));
  check("keyed", KeyedCopyOp{key}, keyed(with(kSource, 0)));
  check("alpha", AlphaJob{}, [](Pixel d, Pixel s, int a) { return Per(kAlpha, d, s, a); });
  for (int l = 1; l <= 30; ++l) {
    SCOPED_TRACE(l);
    auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    check("translucent", TranslucentOp{u16(l)}, with(kTranslucent, l));
    check("dark", DarkOp{u16(l * 256 / 31)}, with(kDark, l));
    check("light keyed", KeyedOp<LightOp>{{u16(31 - l)}, key}, keyed(with(kLight, l)));
  }
  for (Isa isa : AvailableIsas()) {
    Span span;
    ASSERT_TRUE(PrepareColour(dst, 0, 0, 45, 23, span));
    FillPairs(dst, PairDest);
    using Tinted = WithColourOp<TranslucentOp>;
    RunOn(isa, ColourJob<Tinted>{span, Tinted{{9}, 0x5A5A}});
    for (int k = 0; k < 45 * 23; ++k) {
      ASSERT_EQ(dst.Row(k / 45)[k % 45], Per(kTranslucent, PairDest(k), 0x5A5A, 9)) << k;
    }
    RunOn(isa, FillJob{span, 0x1357});
    for (int k = 0; k < 45 * 23; ++k) ASSERT_EQ(dst.Row(k / 45)[k % 45], 0x1357);
  }
}

TEST(ComposeTest, ReductionOnEveryVectorUnit) {
  std::mt19937 rng(99);
  for (compose::Isa isa : AvailableIsas()) {
    for (int factor = 2; factor <= 4; ++factor) {
      CDrawImage dst, glyphs;
      // Wider than one pass of the factor 3 and 4 kernels, and a ragged end.
      ASSERT_TRUE(dst.Create(1100, 5) && glyphs.Create(1100 * factor, 5 * factor));
      FillPicture(dst, rng, 0x0421);
      FillPicture(glyphs, rng, 0x0421);
      Picture expected = Snapshot(dst);
      const Picture source = Snapshot(glyphs);
      Reduce(expected, &source, {0, 0, 1099, 5, 0, 0, 0, 0, MakeColour(8, 8, 8), factor});
      RunOn(isa, compose::ReduceJob{{&dst, &glyphs, 0, 0, 1099, 5, 0, 0, factor, 0x0421}});
      EXPECT_TRUE(Snapshot(dst) == expected) << factor << " on " << static_cast<int>(isa);
    }
  }
}

}  // namespace
}  // namespace adv
