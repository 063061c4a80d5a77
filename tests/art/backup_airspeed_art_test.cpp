#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include "art/gauges.h"
#include "art_test_util.h"

namespace {

using art::Bitmap;
using art::Rgb;
using art_test::drawn_box;

const std::map<std::uint32_t, Bitmap>& bitmaps() {
  static const auto all = art_test::through_bmp(backup_airspeed_bitmaps());
  return all;
}
const Bitmap& bitmap(std::uint32_t id) { return bitmaps().at(id); }

// The needles' scale: value and direction (degrees clockwise from up) of
// each table entry, turning clockwise and linear in value between them.
double direction(double knots) {
  struct Entry {
    double knots, degrees;
  };
  static const Entry table[] = {{0, -0.46}, {60, 0}, {100, 60.31}, {160, 148.61}, {200, 183.76}, {300, 228.44}, {700, 335.29}};
  for (std::size_t i = 0; i + 1 < std::size(table); ++i)
    if (knots <= table[i + 1].knots)
      return table[i].degrees +
             (table[i + 1].degrees - table[i].degrees) * (knots - table[i].knots) / (table[i + 1].knots - table[i].knots);
  return table[std::size(table) - 1].degrees;
}

constexpr double cx = 171.5, cy = 171.5;  // centre of pixel (171, 171)

Rgb at_polar(const Bitmap& b, double radius, double degrees) {
  const double a = degrees * std::numbers::pi / 180.0;
  return b.at(static_cast<int>(std::floor(cx + radius * std::sin(a))), static_cast<int>(std::floor(cy - radius * std::cos(a))));
}

bool white_ish(Rgb c) { return c.r >= 200 && c.g >= 200 && c.b >= 200; }

struct Shape {
  std::uint32_t id;
  int width, height, bits;
};
std::ostream& operator<<(std::ostream& o, const Shape& s) {
  return o << art_test::hex_id(s.id) << " " << s.width << "x" << s.height;
}

class BackupBitmapShape : public ::testing::TestWithParam<Shape> {};

TEST_P(BackupBitmapShape, SizeAndDepth) {
  const Shape s = GetParam();
  const Bitmap& b = bitmap(s.id);
  EXPECT_EQ(b.width, s.width);
  EXPECT_EQ(b.height, s.height);
  EXPECT_EQ(b.bits_per_pixel, s.bits);
}

INSTANTIATE_TEST_SUITE_P(All, BackupBitmapShape,
                         ::testing::Values(Shape{0x2300, 342, 345, 8}, Shape{0x1800, 342, 342, 24}, Shape{0x1700, 147, 13, 8},
                                           Shape{0x1900, 147, 13, 8}, Shape{0x2400, 136, 31, 8}));

TEST(BackupArt, CarriesExactlyTheGaugesBitmaps) {
  std::set<std::uint32_t> ids;
  for (const auto& [id, b] : bitmaps()) ids.insert(id);
  EXPECT_EQ(ids, (std::set<std::uint32_t>{0x1700, 0x1800, 0x1900, 0x2300, 0x2400}));
}

// --- bezel -------------------------------------------------------------------

TEST(BackupBezel, InteriorIsOpaqueNearBlack) {
  const Bitmap& b = bitmap(0x2300);
  EXPECT_EQ(art_test::count_if(b, 14, 14, 326, 327, [](Rgb c) { return !(c == Rgb{2, 2, 2}); }), 0);
  // The rows and columns just outside belong to the frame.
  for (auto [x, y] : {std::pair{13, 171}, {327, 171}, {171, 13}, {171, 328}}) EXPECT_FALSE(b.at(x, y) == (Rgb{2, 2, 2}));
}

TEST(BackupBezel, PureBlackOnlyInTheRoundedCorners) {
  const Bitmap& b = bitmap(0x2300);
  constexpr int corner = 30;  // the corner rounding stays inside this square
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      if (!(b.at(x, y) == art::black)) continue;
      const bool in_corner = (x < corner || x >= b.width - corner) && (y < corner || y >= b.height - corner);
      ASSERT_TRUE(in_corner) << "black at " << x << "," << y;
      // and only beyond the rounding, not inside the frame's body
      const int dx = std::min(x, b.width - 1 - x), dy = std::min(y, b.height - 1 - y);
      ASSERT_LT(dx + dy, corner) << "black at " << x << "," << y;
    }
  for (auto [x, y] : {std::pair{0, 0}, {341, 0}, {0, 344}, {341, 344}}) EXPECT_EQ(b.at(x, y), art::black);
}

TEST(BackupBezel, FrameIsGreyAllRound) {
  const Bitmap& b = bitmap(0x2300);
  // Along each side, away from the corners: every frame pixel a visible neutral grey.
  auto grey = [](Rgb c) {
    const int hi = std::max({c.r, c.g, c.b}), lo = std::min({c.r, c.g, c.b});
    return hi >= 30 && hi - lo <= 12;
  };
  EXPECT_EQ(art_test::count_if(b, 0, 40, 13, 300, [&](Rgb c) { return !grey(c); }), 0);    // left, 14 wide
  EXPECT_EQ(art_test::count_if(b, 327, 40, 341, 300, [&](Rgb c) { return !grey(c); }), 0); // right, 15 wide
  EXPECT_EQ(art_test::count_if(b, 40, 0, 300, 13, [&](Rgb c) { return !grey(c); }), 0);    // top, 14 high
  EXPECT_EQ(art_test::count_if(b, 40, 328, 300, 344, [&](Rgb c) { return !grey(c); }), 0); // bottom, 17 high
}

// --- dial face ---------------------------------------------------------------

TEST(BackupFace, WhiteAndGreyOnPureBlack) {
  const Bitmap& b = bitmap(0x1800);
  EXPECT_EQ(art_test::count_if(b, 0, 0, 341, 341, [](Rgb c) { return c.r != c.g || c.g != c.b; }), 0);
  // The corners, where the Mach readout sits, are left empty.
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (std::hypot(x + 0.5 - cx, y + 0.5 - cy) > 152) {
        ASSERT_EQ(b.at(x, y), art::black) << x << "," << y;
      }
}

TEST(BackupFace, GreyDotAtTheCentre) {
  const Bitmap& b = bitmap(0x1800);
  const Rgb c = b.at(171, 171);
  EXPECT_EQ(c.r, c.g);
  EXPECT_EQ(c.g, c.b);
  EXPECT_GE(c.r, 80);
  EXPECT_LE(c.r, 180);
  EXPECT_EQ(b.at(171, 160), art::black);  // small: gone 11 pixels out
}

class BackupFaceNumber : public ::testing::TestWithParam<int> {};

// The ink of each number sits in the direction its value has on the scale,
// about 80 to 120 pixels out.
TEST_P(BackupFaceNumber, StandsInItsScaleDirection) {
  const Bitmap& b = bitmap(0x1800);
  const double want = direction(GetParam());
  double sx = 0, sy = 0, n = 0, nearest = 1e9, farthest = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const double dx = x + 0.5 - cx, dy = y + 0.5 - cy, r = std::hypot(dx, dy);
      if (r < 70 || r > 124 || b.at(x, y).r < 128) continue;
      double off = std::atan2(dx, -dy) * 180 / std::numbers::pi - want;
      off = std::remainder(off, 360.0);
      if (std::abs(off) * std::numbers::pi / 180 * r > 20) continue;  // another number's ink
      sx += dx, sy += dy, n += 1;
      nearest = std::min(nearest, r);
      farthest = std::max(farthest, r);
    }
  ASSERT_GT(n, 50) << "no number near " << want << " degrees";
  const double got = std::atan2(sx, -sy) * 180 / std::numbers::pi;
  EXPECT_NEAR(std::remainder(got - want, 360.0), 0.0, 2.5);
  EXPECT_GE(nearest, 74);
  EXPECT_LE(farthest, 124);
}

INSTANTIATE_TEST_SUITE_P(Figures, BackupFaceNumber, ::testing::Values(60, 80, 100, 120, 140, 160, 200, 300, 400, 500, 600, 700));

struct TickCase {
  double knots;
  bool tick;  // a tick there, or a gap between two
};
std::ostream& operator<<(std::ostream& o, const TickCase& t) { return o << t.knots << (t.tick ? " kt tick" : " kt gap"); }

class BackupFaceTick : public ::testing::TestWithParam<TickCase> {};

TEST_P(BackupFaceTick, MarksTheScale) {
  const Bitmap& b = bitmap(0x1800);
  const TickCase t = GetParam();
  for (double r : {136.0, 140.0}) EXPECT_EQ(white_ish(at_polar(b, r, direction(t.knots))), t.tick) << "radius " << r;
  if (t.tick) {
    EXPECT_EQ(at_polar(b, 123, direction(t.knots)), art::black) << "ticks start beyond 123";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Scale, BackupFaceTick,
    ::testing::Values(TickCase{60, true}, TickCase{65, true}, TickCase{70, true}, TickCase{80, true}, TickCase{100, true},
                      TickCase{120, true}, TickCase{150, true}, TickCase{160, true}, TickCase{180, true},
                      TickCase{200, true}, TickCase{250, true}, TickCase{300, true}, TickCase{350, true},
                      TickCase{400, true}, TickCase{500, true}, TickCase{700, true}, TickCase{62.5, false},
                      TickCase{87.5, false}, TickCase{132.5, false}, TickCase{255, false}, TickCase{387.5, false},
                      TickCase{650 + 12.5, false}));

TEST(BackupFace, NoScaleBetween700And60) {
  const Bitmap& b = bitmap(0x1800);
  for (double d = direction(700) + 3; d < 357; d += 0.5)
    for (double r = 124; r <= 150; r += 1) ASSERT_EQ(at_polar(b, r, d), art::black) << d << " degrees, radius " << r;
}

TEST(BackupFace, WhiteArcFromThe120MarkTo290Knots) {
  const Bitmap& b = bitmap(0x1800);
  double first = -1, last = -1;
  for (double d = 60; d <= 260; d += 0.25) {
    if (white_ish(at_polar(b, 146, d))) {
      if (first < 0) first = d;
      last = d;
    } else if (first >= 0) {
      EXPECT_GT(d, 222) << "gap in the arc at " << d;
      if (d <= 222) break;
    }
  }
  EXPECT_NEAR(first, 90, 1.0);
  EXPECT_NEAR(last, 224, 1.5);
}

// --- markers and pointer -------------------------------------------------------

struct Marker {
  std::uint32_t id;
  Rgb colour;
};
std::ostream& operator<<(std::ostream& o, const Marker& m) { return o << art_test::hex_id(m.id); }

class BackupMarker : public ::testing::TestWithParam<Marker> {};

TEST_P(BackupMarker, RoundedBarInColumns119To145Rows1To11) {
  const Bitmap& b = bitmap(GetParam().id);
  const art_test::Box box = drawn_box(b);
  EXPECT_EQ(box.x0, 119);
  EXPECT_EQ(box.x1, 145);
  EXPECT_EQ(box.y0, 1);
  EXPECT_EQ(box.y1, 11);
  EXPECT_TRUE(art_test::in_palette(b, GetParam().colour));
  EXPECT_EQ(b.at(132, 6), GetParam().colour);
  EXPECT_EQ(b.at(120, 6), GetParam().colour);
  // Rounded: the very corners are left out.
  EXPECT_EQ(b.at(119, 1), art::black);
  EXPECT_EQ(b.at(145, 11), art::black);
  // Centred on the pivot row 6.
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 147; ++x) ASSERT_EQ(b.at(x, y) == art::black, b.at(x, 12 - y) == art::black) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Both, BackupMarker,
                         ::testing::Values(Marker{0x1700, Rgb{255, 0, 0}}, Marker{0x1900, Rgb{2, 122, 235}}));

TEST(BackupPointer, GreenOutlinedArrowPointingRight) {
  const Bitmap& b = bitmap(0x2400);
  constexpr Rgb green{0, 212, 0};
  const art_test::Box box = drawn_box(b);
  EXPECT_EQ(box.x0, 63);
  EXPECT_EQ(box.x1, 134);
  EXPECT_EQ(box.y0, 1);
  EXPECT_EQ(box.y1, 29);
  EXPECT_TRUE(art_test::in_palette(b, green));
  EXPECT_EQ(b.at(64, 15), green);
  // The tip: the last column is drawn on the middle row, and near it only.
  EXPECT_FALSE(b.at(134, 15) == art::black);
  for (int y = 0; y < 31; ++y)
    if (y < 14 || y > 16) {
      EXPECT_EQ(b.at(134, y), art::black) << "row " << y;
    }
  // Outlined: hollow in the shaft and in the head.
  EXPECT_EQ(b.at(80, 15), art::black);
  EXPECT_EQ(b.at(112, 15), art::black);
  // Symmetric about the pivot row 15, so it turns true.
  for (int y = 0; y < 31; ++y)
    for (int x = 0; x < 136; ++x) ASSERT_EQ(b.at(x, y) == art::black, b.at(x, 30 - y) == art::black) << x << "," << y;
  // Only green and its darker edge shades.
  EXPECT_EQ(art_test::count_if(b, 0, 0, 135, 30, [](Rgb c) { return c.r != 0 || c.b != 0; }), 0);
}

}  // namespace
