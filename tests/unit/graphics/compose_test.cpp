// The drawing surfaces and their composition routines: hand-worked pixels for every operation and
// level rule, clipping and same-surface rules on small pictures, rectangles near the ends of the
// int range, surface names, and every vector unit's kernels against the routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "engine/surface_name.h"
#include "graphics/compose_ops.h"
#include "graphics/draw_image.h"
#include "graphics/surfaces.h"

namespace adv {
namespace {

struct Args {
  int x = 0, y = 0, w = 0, h = 0, sx = 0, sy = 0;
  int level = 0;
  Pixel key = 0;
  Colour colour = 0;
  int factor = 1;
};

struct Routine {
  const char* name;
  bool (*run)(CDrawImage& d, const CDrawImage& s, const Args& a);
};
// clang-format off
#define ROUTINE(name, args) \
  Routine{#name, [](CDrawImage& d, [[maybe_unused]] const CDrawImage& s, const Args& a) { return d.name args; }}
// clang-format on
#define RECT a.x, a.y, a.w, a.h
#define SRC s, a.sx, a.sy
const Routine kRoutines[] = {
    ROUTINE(Copy, (RECT, SRC)),
    ROUTINE(Fill, (RECT, a.colour)),
    ROUTINE(CopyKeyed, (RECT, SRC, a.key)),
    ROUTINE(CopyTranslucent, (RECT, SRC, a.level)),
    ROUTINE(FillTranslucent, (RECT, a.colour, a.level)),
    ROUTINE(CopyTranslucentKeyed, (RECT, SRC, a.key, a.level)),
    ROUTINE(CopyAdd, (RECT, SRC)),
    ROUTINE(FillAdd, (RECT, a.colour)),
    ROUTINE(CopySub, (RECT, SRC)),
    ROUTINE(FillSub, (RECT, a.colour)),
    ROUTINE(CopyDark, (RECT, SRC, a.level)),
    ROUTINE(FillDark, (RECT, a.colour, a.level)),
    ROUTINE(CopyDarkKeyed, (RECT, SRC, a.key, a.level)),
    ROUTINE(CopyLight, (RECT, SRC, a.level)),
    ROUTINE(FillLight, (RECT, a.colour, a.level)),
    ROUTINE(CopyLightKeyed, (RECT, SRC, a.key, a.level)),
    ROUTINE(CopyAlpha, (RECT, SRC)),
    ROUTINE(CopyReducedKeyed, (RECT, SRC, a.colour, a.factor)),
};
#undef ROUTINE
#undef RECT
#undef SRC

const Routine& Find(const std::string& name) {
  for (const Routine& r : kRoutines) {
    if (name == r.name) return r;
  }
  std::abort();
}

constexpr Pixel P(unsigned r, unsigned g, unsigned b) {
  return MakePixel(r, g, b);
}
constexpr Pixel kKey = P(1, 2, 3);
constexpr Pixel kWhite = P(31, 31, 31);

// One row of 67 equal pixels: the main loop of every vector width and a tail. The colour
// routines take the source pixel as their colour; CopyAlpha takes the level as its alpha. The
// blend's red is 20 - 105 / 31 toward zero: 17, not 16; only a level's low 16 bits count; dark is
// x 82 >> 8 per channel; the colour forms scale the 8-bit channels (248, 128, 8) and (0, 128, 240).
TEST(ComposeTest, KnownPixels) {
  struct Row {
    const char* routine;
    Pixel d, s;
    int level;
    Pixel want;
  };
  const Pixel d = P(5, 0, 17), s = P(20, 9, 3), blend = P(17, 7, 6);  // s + (d - s) x 7 / 31
  // clang-format off
  const Row kRows[] = {
      {"Copy", d, s, 0, s}, {"CopyKeyed", d, s, 0, s}, {"CopyKeyed", d, kKey, 0, d},
      {"CopyTranslucent", d, s, 7, blend}, {"CopyTranslucent", d, s, 0, s},
      {"CopyTranslucent", d, s, 31, d}, {"CopyTranslucent", d, s, 65536 + 7, blend},
      {"CopyTranslucent", d, s, 65536, s}, {"CopyTranslucent", d, s, -1, d},
      {"FillTranslucent", d, s, 7, blend}, {"FillTranslucent", d, s, 0, s},
      {"FillTranslucent", d, s, 31, d}, {"CopyTranslucentKeyed", d, s, 7, blend},
      {"CopyTranslucentKeyed", d, kKey, 7, d}, {"CopyTranslucentKeyed", d, kKey, 0, d},
      {"CopyTranslucentKeyed", d, s, 0, s},
      {"CopyAdd", P(20, 1, 31), P(15, 2, 31), 0, P(31, 3, 31)},
      {"FillAdd", P(20, 1, 31), P(15, 2, 31), 0, P(31, 3, 31)},
      {"CopyAdd", P(0, 0, 31), P(0, 0, 1), 0, P(0, 0, 31)},
      {"CopySub", P(20, 1, 31), P(15, 2, 31), 0, P(5, 0, 0)},
      {"FillSub", P(20, 1, 31), P(15, 2, 31), 0, P(5, 0, 0)},
      {"CopySub", P(0, 31, 0), P(0, 0, 1), 0, P(0, 31, 0)},
      {"CopyDark", d, P(31, 16, 3), 10, P(9, 5, 0)}, {"CopyDark", d, s, 0, 0},
      {"CopyDark", d, s, 31, s}, {"CopyDarkKeyed", d, P(31, 16, 3), 10, P(9, 5, 0)},
      {"CopyDarkKeyed", d, kKey, 10, d}, {"CopyDarkKeyed", d, kKey, 0, 0},
      {"CopyDarkKeyed", d, kKey, 31, d}, {"CopyDarkKeyed", d, s, 31, s},
      {"FillDark", d, P(31, 16, 1), 10, P(10, 5, 0)}, {"FillDark", d, s, 0, 0},
      {"FillDark", d, s, 31, s}, {"CopyLight", d, P(0, 16, 30), 10, P(10, 21, 31)},
      {"CopyLight", d, s, 0, s}, {"CopyLight", d, s, 31, kWhite},
      {"CopyLightKeyed", d, P(0, 16, 30), 10, P(10, 21, 31)}, {"CopyLightKeyed", d, kKey, 10, d},
      {"CopyLightKeyed", d, kKey, 0, d}, {"CopyLightKeyed", d, kKey, 31, kWhite},
      {"FillLight", d, P(0, 16, 30), 10, P(10, 21, 30)}, {"FillLight", d, s, 0, s},
      {"FillLight", d, s, 31, kWhite},
      {"CopyAlpha", P(0, 31, 10), P(31, 0, 10), 128, P(15, 16, 10)}, {"CopyAlpha", d, s, 0, d},
      {"CopyAlpha", d, s, 255, s}};
  // clang-format on
  for (const Row& row : kRows) {
    CDrawImage dst, src;
    ASSERT_TRUE(dst.Create(67, 1) && src.Create(67, 1));
    std::fill_n(dst.Row(0), 67, row.d);
    std::fill_n(src.Row(0), 67, row.s);
    std::fill_n(src.AllocateAlpha(), 67, static_cast<std::uint8_t>(row.level));
    const Colour colour =
        MakeColour(PixelRed(row.s) << 3, PixelGreen(row.s) << 3, PixelBlue(row.s) << 3);
    EXPECT_TRUE(Find(row.routine).run(dst, src, {0, 0, 67, 1, 0, 0, row.level, kKey, colour, 1}));
    for (int x = 0; x < 67; ++x) {
      ASSERT_EQ(dst.Row(0)[x], row.want) << row.routine << " level " << row.level << " at " << x;
    }
  }
}

// Source pixels a to l (4 x 3), destination 4 x 3 of '.', or the source itself when `same`.
std::string Draw(const std::string& routine, const Args& a, bool same, bool* drew) {
  CDrawImage dst, src;
  if (!dst.Create(4, 3) || !src.Create(4, 3)) return "no surface";
  for (int i = 0; i < 12; ++i) {
    src.Row(i / 4)[i % 4] = static_cast<Pixel>(i + 1);
    dst.Row(i / 4)[i % 4] = same ? static_cast<Pixel>(i + 1) : 0;
  }
  *drew = Find(routine).run(dst, same ? dst : src, a);
  std::string out;
  for (int i = 0; i < 12; ++i) {
    const Pixel p = dst.Row(i / 4)[i % 4];
    out += (i > 0 && i % 4 == 0 ? "/" : "") + std::string(1, p == 0 ? '.' : 'a' + p - 1);
  }
  return out;
}

// Copy clips; the other pair routines share its clipping, which the vector-unit test holds them
// to, and CopyReducedKeyed has its own. Blends refuse a source overlapping its destination on
// one surface (the unclipped rectangles decide), Copy moves it as if through a buffer.
TEST(ComposeTest, ClippingAndOneSurface) {
  struct Row {
    const char* routine;
    Args a;
    bool same;
    bool drew;
    const char* want;
  };
  const Row kRows[] = {
      {"Copy", {1, 1, 2, 1, 0, 0}, false, true, "..../.ab./...."},
      {"Copy", {-1, 0, 3, 2, 0, 0}, false, true, "bc../fg../...."},
      {"Copy", {3, 2, 3, 3, 0, 0}, false, true, "..../..../...a"},
      {"Copy", {0, 0, 3, 1, -2, 0}, false, true, "..a./..../...."},
      {"Copy", {0, 0, 1, 3, 0, 2}, false, true, "i.../..../...."},
      {"Copy", {4, 0, 2, 2, 0, 0}, false, false, "..../..../...."},
      {"Copy", {0, 0, 0, 2, 0, 0}, false, false, "..../..../...."},
      {"Copy", {INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN, 0}, false, false, "..../..../...."},
      {"CopyReducedKeyed", {-1, 0, 3, 2, 0, 0, 0, 0, 0, 1}, false, true, "bc../fg../...."},
      {"Copy", {1, 0, 3, 1, 0, 0}, true, true, "aabc/efgh/ijkl"},
      {"Copy", {0, 0, 3, 1, 1, 0}, true, true, "bcdd/efgh/ijkl"},
      {"Copy", {0, 1, 4, 2, 0, 0}, true, true, "abcd/abcd/efgh"},
      {"Copy", {-3, 0, 4, 1, 0, 0}, true, true, "dbcd/efgh/ijkl"},
      {"CopyKeyed", {1, 0, 3, 1, 0, 0, 0, 99}, true, false, "abcd/efgh/ijkl"},
      {"CopyKeyed", {-3, 0, 4, 1, 0, 0, 0, 99}, true, false, "abcd/efgh/ijkl"},
      {"CopyKeyed", {2, 0, 2, 1, 0, 0, 0, 99}, true, true, "abab/efgh/ijkl"},
      {"CopyTranslucent", {0, 1, 4, 2, 0, 0, 9}, true, false, "abcd/efgh/ijkl"},
      {"CopyAlpha", {0, 1, 4, 2, 0, 0}, true, true, "abcd/abcd/efgh"}};
  for (const Row& row : kRows) {
    bool drew = false;
    EXPECT_EQ(Draw(row.routine, row.a, row.same, &drew), row.want) << row.routine << row.want;
    EXPECT_EQ(drew, row.drew) << row.routine << " " << row.want;
  }
}

// Blue-only pictures: each pixel the mean of its block, the key standing for the pixel beneath;
// on one surface the second block reads the pixel the first one wrote.
TEST(ComposeTest, ReducedCopy) {
  CDrawImage dst, src;
  ASSERT_TRUE(dst.Create(3, 1) && src.Create(4, 2));
  const Pixel glyphs[] = {4, 8, 12, 16, 20, 24, 28, 2};
  for (int i = 0; i < 8; ++i) src.Row(i / 4)[i % 4] = glyphs[i];
  src.Row(0)[3] = P(31, 31, 31);  // the key, standing for dst pixel 2
  std::fill_n(dst.Row(0), 3, P(0, 0, 10));
  EXPECT_TRUE(dst.CopyReducedKeyed(0, 0, 3, 1, src, -1, 0, MakeColour(255, 255, 255), 2));
  EXPECT_EQ(dst.Row(0)[0], P(0, 0, 10));  // outside the reduced source
  EXPECT_EQ(dst.Row(0)[1], 14);           // (4 + 8 + 20 + 24) / 4
  EXPECT_EQ(dst.Row(0)[2], 13);           // (12 + 10 + 28 + 2) / 4
  EXPECT_FALSE(dst.CopyReducedKeyed(0, 0, 3, 1, src, 0, 0, 0, 5));
  src.Row(0)[3] = 16;
  EXPECT_TRUE(src.CopyReducedKeyed(2, 0, 2, 1, src, 0, 0, 0, 2));
  EXPECT_EQ(src.Row(0)[2], 14);
  EXPECT_EQ(src.Row(0)[3], 15);  // (14 + 16 + 28 + 2) / 4, not (12 + ...) / 4
}

TEST(ComposeTest, SurfacesWithoutPixelsRefuse) {
  CDrawImage empty, image;
  ASSERT_TRUE(image.Create(8, 8));
  for (const Routine& r : kRoutines) {
    const Args a{0, 0, 8, 8, 0, 0, 10, 0, 0, 2};
    EXPECT_FALSE(r.run(empty, image, a)) << r.name;
    EXPECT_EQ(r.run(image, empty, a), std::string(r.name).starts_with("Fill")) << r.name;
  }
}

TEST(DrawImageTest, CreateFillAndSwap) {
  CDrawImage s;
  EXPECT_TRUE(s.Create(0, 0));
  EXPECT_FALSE(s.Is16());
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-1, 5}, {100000, 100000}, {8193, 8193}}) {
    EXPECT_FALSE(s.Create(w, h)) << w << "x" << h;
  }
  ASSERT_TRUE(s.Create(101, 3));
  EXPECT_FALSE(s.Create(-5, 5));
  EXPECT_EQ(s.Width(), 101);  // a failed Create keeps what was there
  // A row's padding pixel is not part of the picture.
  EXPECT_TRUE(s.Fill(100, 1, 50, 1, 0xFFFFFF));
  EXPECT_EQ(s.Row(1)[100], 0x7FFF);
  EXPECT_EQ(s.Row(1)[101], 0);
  EXPECT_EQ(s.GetPixel(101, 1), 0);
  CDrawImage other;  // the flip to the spare (a scenario matter) only between equal sizes
  EXPECT_FALSE(other.Create(100, 3) && s.Swap(other));
}

// Scripts may pass any integer. Ordinary rectangles are covered by the composition tests; these
// are sums near the ends of the int range.
TEST(ClipTest, RectanglesNearTheEndsOfTheIntRange) {
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  // The clipped length and position on either axis of a 640 x 640 surface; {0, 0}: refused.
  auto clip = [](int length, int at, bool vertical) {
    int side[2][2] = {{5, 0}, {5, 0}};  // length and position of x, then y
    side[vertical][0] = length;
    side[vertical][1] = at;
    const bool ok = ClipRect(side[0][0], side[1][0], side[0][1], side[1][1], 640, 640);
    return ok ? std::pair{side[vertical][0], side[vertical][1]} : std::pair{0, 0};
  };
  const int cases[][4] = {
      {kMax, 5, 635, 5},    {kMax, 639, 1, 639}, {kMax, kMin, 0, 0}, {kMax, -kMax + 10, 10, 0},
      {kMax, -100, 640, 0}, {kMin, 5, 0, 0},     {1, kMax, 0, 0}};
  for (const auto& [length, at, clipped_length, clipped_at] : cases) {
    for (bool vertical : {false, true}) {
      EXPECT_EQ(clip(length, at, vertical), (std::pair{clipped_length, clipped_at}))
          << length << " at " << at << (vertical ? " down" : " across");
    }
  }
  // A pair: clipping the source moves the destination along.
  int w = kMax, h = 5, dx = 5, dy = 0, sx = -10, sy = 0;
  EXPECT_TRUE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 640, 480));
  EXPECT_EQ((std::array{w, dx, sx}), (std::array{625, 15, 0}));
  w = kMax, dx = 0, sx = kMin;
  EXPECT_FALSE(ClipRectPair(w, h, dx, dy, 640, 480, sx, sy, 640, 480));
}

TEST(SurfaceNameTest, ScreenAndOffscreens) {
  Surfaces s;
  CDrawImage* off[] = {s.offscreens.emplace_back(new CDrawImage).get(),
                       s.offscreens.emplace_back(new CDrawImage).get()};
  // clang-format off
  const std::pair<const char*, CDrawImage*> names[] = {
      {"screen", &s.base}, {"off0", off[0]}, {"off", off[0]}, {"Screen", nullptr},
      {"off1abc", off[1]}, {"off +1", off[1]}, {"OFF1", nullptr}, {"off2", nullptr},
      {"off-1", nullptr}, {"off999999999999999999999", nullptr}};
  // clang-format on
  for (auto [name, surface] : names)
    EXPECT_EQ(FindSurface(s, ParseSurfaceName(name)), surface) << name;
}

// --- Every vector unit -----------------------------------------------------------------------

void FillRandom(CDrawImage& image, std::mt19937& rng) {
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      image.Row(y)[x] = rng() % 4 == 0 ? kKey : static_cast<Pixel>(rng() & 0x7FFF);
    }
  }
  for (int i = 0; image.Alpha() != nullptr && i < image.Width() * image.Height(); ++i) {
    image.Alpha()[i] = static_cast<std::uint8_t>(rng() % 3 == 0 ? (rng() % 2) * 255 : rng());
  }
}

// Each kernel, run on one vector unit over the routine's clipped span, against its routine at
// level 9 (which runs on the widest).
using compose::Isa;
template <class Op>
void Pairs(Isa isa, CDrawImage& d, const CDrawImage& s, const Args& a, Op op) {
  compose::PairSpan p;
  if (compose::PreparePair(d, s, a.x, a.y, a.w, a.h, a.sx, a.sy, p)) {
    RunOn(isa, compose::PairJob<Op>{p, op});
  }
}
template <class Job, class Op>
void Colours(Isa isa, CDrawImage& d, const Args& a, Op op) {
  compose::Span span;
  if (compose::PrepareColour(d, a.x, a.y, a.w, a.h, span)) RunOn(isa, Job{span, op});
}
void Alphas(Isa isa, CDrawImage& d, const CDrawImage& s, const Args& a) {
  compose::PairSpan p;
  if (!compose::PreparePair(d, s, a.x, a.y, a.w, a.h, a.sx, a.sy, p)) return;
  RunOn(isa, compose::AlphaJob{p, s.Alpha() + p.src_y * s.Width() + p.src_x, s.Width()});
}

TEST(ComposeTest, EveryVectorUnitAgreesWithTheRoutines) {
  using namespace compose;
  using Kernel = void (*)(Isa, CDrawImage&, const CDrawImage&, const Args&);
  using Tint = WithColourOp<TranslucentOp>;
#define KERNEL(body) \
  [](Isa i, CDrawImage& d, [[maybe_unused]] const CDrawImage& s, const Args& a) { body; }
#define PAIRS(op) KERNEL(Pairs(i, d, s, a, op))
  const std::pair<const char*, Kernel> kKernels[] = {
      {"CopyKeyed", PAIRS(KeyedCopyOp{kKey})},
      {"CopyTranslucent", PAIRS(TranslucentOp{9})},
      {"CopyTranslucentKeyed", PAIRS((KeyedOp<TranslucentOp>{{9}, kKey}))},
      {"CopyAdd", PAIRS(AddOp{})},
      {"CopySub", PAIRS(SubOp{})},
      {"CopyDarkKeyed", PAIRS((KeyedOp<DarkOp>{{74}, kKey}))},  // 9 x 256 / 31
      {"CopyLightKeyed", PAIRS((KeyedOp<LightOp>{{22}, kKey}))},
      {"CopyAlpha", KERNEL(Alphas(i, d, s, a))},
      {"FillTranslucent", KERNEL(Colours<ColourJob<Tint>>(i, d, a, Tint{{9}, P(20, 9, 3)}))},
      {"Fill", KERNEL(Colours<FillJob>(i, d, a, P(20, 9, 3)))}};
#undef PAIRS
#undef KERNEL
  std::mt19937 rng(20240607);
  auto pick = [&rng](int lo, int hi) { return lo + static_cast<int>(rng() % (hi - lo + 1)); };
  for (int round = 0; round < 40; ++round) {
    CDrawImage src, start;
    ASSERT_TRUE(src.Create(pick(1, 140), pick(1, 9)) && start.Create(pick(1, 140), pick(1, 9)));
    src.AllocateAlpha();
    FillRandom(src, rng);
    FillRandom(start, rng);
    Args a{pick(-5, 20), pick(-2, 3), pick(1, 150), pick(1, 10), pick(-5, 20), pick(-2, 3), 9};
    a.key = kKey;
    a.colour = MakeColour(20 << 3, 9 << 3, 3 << 3);
    for (const auto& [name, kernel] : kKernels) {
      CDrawImage drawn, got;
      ASSERT_TRUE(drawn.Create(start.Width(), start.Height()));
      drawn.Copy(0, 0, start.Width(), start.Height(), start, 0, 0);
      Find(name).run(drawn, src, a);
      for (Isa isa : {Isa::kBase, Isa::kAvx2, Isa::kAvx512}) {
        if (!Supports(isa)) continue;
        ASSERT_TRUE(got.Create(start.Width(), start.Height()));
        got.Copy(0, 0, start.Width(), start.Height(), start, 0, 0);
        kernel(isa, got, src, a);
        for (int y = 0; y < got.Height(); ++y) {
          ASSERT_TRUE(std::equal(got.Row(y), got.Row(y) + got.Width(), drawn.Row(y)))
              << name << " on " << static_cast<int>(isa) << " round " << round << " row " << y;
        }
      }
    }
  }
}

TEST(ComposeTest, ReductionOnEveryVectorUnit) {
  std::mt19937 rng(99);
  for (auto isa : {compose::Isa::kBase, compose::Isa::kAvx2, compose::Isa::kAvx512}) {
    if (!compose::Supports(isa)) continue;
    for (int factor = 2; factor <= 4; ++factor) {
      CDrawImage got, want, glyphs;
      // Wider than one pass of the factor 3 and 4 kernels, and a ragged end.
      ASSERT_TRUE(got.Create(1100, 5) && want.Create(1100, 5) &&
                  glyphs.Create(1100 * factor, 5 * factor));
      FillRandom(got, rng);
      want.Copy(0, 0, 1100, 5, got, 0, 0);
      FillRandom(glyphs, rng);
      RunOn(isa, compose::ReduceJob{{&got, &glyphs, 0, 0, 1099, 5, 0, 0, factor, kKey}});
      compose::ReducePlain({&want, &glyphs, 0, 0, 1099, 5, 0, 0, factor, kKey});
      for (int y = 0; y < 5; ++y) {
        ASSERT_TRUE(std::equal(got.Row(y), got.Row(y) + 1100, want.Row(y)))
            << factor << " on " << static_cast<int>(isa) << " row " << y;
      }
    }
  }
}

}  // namespace
}  // namespace adv
