#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "art/gauges.h"
#include "art_test_util.h"

namespace {

using art::Bitmap;
using art::Rgb;
using art_test::count_if;
using art_test::drawn_box;

const std::map<std::uint32_t, Bitmap>& bitmaps() {
  static const auto all = art_test::through_bmp(airspeed_bitmaps());
  return all;
}
const Bitmap& bitmap(std::uint32_t id) { return bitmaps().at(id); }

constexpr Rgb ground{31, 37, 95};
constexpr Rgb white{255, 255, 255};
constexpr Rgb red{214, 2, 2};
constexpr Rgb flap_tag{91, 147, 135};
constexpr Rgb approach_tag{2, 112, 228};
constexpr Rgb ap_limit{231, 36, 217};
constexpr Rgb bug{235, 32, 210};
constexpr Rgb frame_blue{28, 135, 255};
constexpr Rgb open{1, 1, 1};

// 0 knots on row 6974, 2700 on row 90.
int tick_row(int knots) { return static_cast<int>(std::lround(6974 - knots * 6884.0 / 2700.0)); }

bool ink(Rgb c) { return c.r + c.g + c.b >= 500; }  // white, or nearly

struct Shape {
  std::uint32_t id;
  int width, height;
};
std::ostream& operator<<(std::ostream& o, const Shape& s) {
  return o << art_test::hex_id(s.id) << " " << s.width << "x" << s.height;
}

class AirspeedBitmapShape : public ::testing::TestWithParam<Shape> {};

TEST_P(AirspeedBitmapShape, SizeAndDepth) {
  const Bitmap& b = bitmap(GetParam().id);
  EXPECT_EQ(b.width, GetParam().width);
  EXPECT_EQ(b.height, GetParam().height);
  EXPECT_EQ(b.bits_per_pixel, 8);
  EXPECT_LE(b.palette.size(), 256u);
}

INSTANTIATE_TEST_SUITE_P(All, AirspeedBitmapShape,
                         ::testing::Values(Shape{0x0100, 101, 330}, Shape{0x1400, 66, 7151}, Shape{0x1401, 66, 310},
                                           Shape{0x1600, 66, 474}, Shape{0x1601, 66, 236}, Shape{0x1800, 21, 474},
                                           Shape{0x1801, 21, 236}, Shape{0x1200, 97, 310}, Shape{0x1201, 3, 4}));

TEST(AirspeedArt, CarriesExactlyTheGaugesBitmaps) {
  std::set<std::uint32_t> ids;
  for (const auto& [id, b] : bitmaps()) ids.insert(id);
  EXPECT_EQ(ids, (std::set<std::uint32_t>{0x0100, 0x1200, 0x1201, 0x1400, 0x1401, 0x1600, 0x1601, 0x1800, 0x1801}));
}

class AirspeedBlank : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(AirspeedBlank, EveryPixelPureBlack) {
  const Bitmap& b = bitmap(GetParam());
  EXPECT_TRUE(drawn_box(b).empty());
}

INSTANTIATE_TEST_SUITE_P(BackgroundAndFrameOff, AirspeedBlank, ::testing::Values(0x0100u, 0x1201u));

// --- the tape ------------------------------------------------------------------

TEST(AirspeedTape, ExactColoursInThePalette) {
  const Bitmap& b = bitmap(0x1400);
  for (Rgb c : {ground, white, red, flap_tag, approach_tag, ap_limit}) EXPECT_TRUE(art_test::in_palette(b, c)) << art_test::str(c);
}

TEST(AirspeedTape, OpaqueEverywhere) {
  const Bitmap& b = bitmap(0x1400);
  EXPECT_EQ(count_if(b, 0, 0, 65, 7150, [](Rgb c) { return c == art::black; }), 0);
}

struct Row {
  int knots, row;
};
std::ostream& operator<<(std::ostream& o, const Row& r) { return o << r.knots << " kt on row " << r.row; }

class AirspeedTickRow : public ::testing::TestWithParam<Row> {};

// The scale's anchor rows, worked out by hand.
TEST_P(AirspeedTickRow, TickCentredOnItsRow) {
  EXPECT_EQ(tick_row(GetParam().knots), GetParam().row);
  const Bitmap& b = bitmap(0x1400);
  const int r = GetParam().row;
  for (int y = r - 1; y <= r + 1; ++y) EXPECT_EQ(b.at(58, y), white) << "row " << y;
  EXPECT_FALSE(b.at(58, r - 2) == white);
  EXPECT_FALSE(b.at(58, r + 2) == white);
}

INSTANTIATE_TEST_SUITE_P(Anchors, AirspeedTickRow,
                         ::testing::Values(Row{0, 6974}, Row{10, 6949}, Row{120, 6668}, Row{280, 6260}, Row{1000, 4424},
                                           Row{2000, 1875}, Row{2690, 115}, Row{2700, 90}));

TEST(AirspeedTape, TicksTenColumnsByThreeRowsEveryTenKnots) {
  const Bitmap& b = bitmap(0x1400);
  for (int v = 0; v <= 2700; v += 10) {
    const int r = tick_row(v);
    for (int y = r - 1; y <= r + 1; ++y)
      for (int x = 56; x <= 65; ++x) ASSERT_EQ(b.at(x, y), white) << v << " knots at " << x << "," << y;
    ASSERT_FALSE(b.at(55, r) == white) << v << " knots: tick starts at column 56";
    // Only three rows thick (outside the white band, which is white anyway).
    for (int x : {56, 60}) {
      ASSERT_FALSE(b.at(x, r - 2) == white) << v;
      ASSERT_FALSE(b.at(x, r + 2) == white) << v;
    }
  }
}

TEST(AirspeedTape, NumeralsRightAlignedOnEverySecondTick) {
  const Bitmap& b = bitmap(0x1400);
  for (int v = 0; v <= 2700; v += 10) {
    const int r = tick_row(v);
    int right = -1, top = 1 << 30, bottom = -1;
    for (int y = r - 11; y <= r + 11; ++y)
      for (int x = 0; x <= 55; ++x)
        if (ink(b.at(x, y))) {
          right = std::max(right, x);
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    if (v % 20 != 0) {
      ASSERT_EQ(right, -1) << "no figure at " << v;
      continue;
    }
    ASSERT_EQ(right, 46) << "figure " << v;
    ASSERT_NEAR((top + bottom) / 2.0, r, 1.0) << "figure " << v;
    ASSERT_GE(bottom - top, 9) << "figure " << v;
    // as many digits as the number has: wider figures reach further left
    int left = 99;
    for (int y = top; y <= bottom; ++y)
      for (int x = 0; x <= 46; ++x)
        if (ink(b.at(x, y))) left = std::min(left, x);
    const int digits = static_cast<int>(std::to_string(v).size());
    ASSERT_LE(47 - left, digits * 12) << "figure " << v;
    ASSERT_GE(47 - left, digits * 6) << "figure " << v;
  }
}

TEST(AirspeedTape, PlainGroundBeyondTheFigures) {
  const Bitmap& b = bitmap(0x1400);
  EXPECT_EQ(count_if(b, 0, 0, 65, 78, [](Rgb c) { return !(c == ground); }), 0);
  EXPECT_EQ(count_if(b, 0, 6987, 65, 7150, [](Rgb c) { return !(c == ground); }), 0);
}

TEST(AirspeedTape, RedBandFrom0To120Knots) {
  const Bitmap& b = bitmap(0x1400);
  // Red under the ticks, nothing else.
  EXPECT_EQ(count_if(b, 56, 6673, 65, 6970, [](Rgb c) { return !(c == red) && !(c == white); }), 0);
  EXPECT_GT(count_if(b, 56, 6673, 65, 6970, [](Rgb c) { return c == red; }), 2500);
  for (int y : {6672, 6971}) EXPECT_EQ(count_if(b, 56, y, 65, y, [](Rgb c) { return c == red; }), 0) << "row " << y;
  EXPECT_EQ(count_if(b, 0, 6673, 55, 6970, [](Rgb c) { return c == red; }), 0);
  EXPECT_EQ(count_if(b, 0, 0, 65, 6672, [](Rgb c) { return c == red; }), 0);
}

TEST(AirspeedTape, WhiteBandFrom120To280Knots) {
  const Bitmap& b = bitmap(0x1400);
  EXPECT_EQ(count_if(b, 61, 6265, 65, 6664, [](Rgb c) { return !(c == white); }), 0);
  for (int y : {6264, 6665}) EXPECT_EQ(b.at(63, y), ground) << "row " << y;
  EXPECT_EQ(b.at(58, 6400), ground);  // only five columns wide
  EXPECT_EQ(b.at(60, 6400), ground);
}

struct TagCase {
  int knots;
  Rgb colour;
  bool figure;
};
std::ostream& operator<<(std::ostream& o, const TagCase& t) { return o << t.knots << " kt"; }

class AirspeedTag : public ::testing::TestWithParam<TagCase> {};

TEST_P(AirspeedTag, PointsRightAtTheScale) {
  const Bitmap& b = bitmap(0x1400);
  const TagCase t = GetParam();
  const int r = tick_row(t.knots);
  const auto is = [&](Rgb c) { return c == t.colour; };
  EXPECT_EQ(b.at(48, r), t.colour);
  // Its point: narrow next to the ticks, tall further left.
  EXPECT_TRUE(is(b.at(54, r)));
  EXPECT_FALSE(is(b.at(54, r - 3)));
  EXPECT_FALSE(is(b.at(54, r + 3)));
  EXPECT_TRUE(is(b.at(48, r - 3)));
  EXPECT_TRUE(is(b.at(48, r + 3)));
  EXPECT_EQ(count_if(b, 56, r - 8, 65, r + 8, is), 0);
  // Figures are cut out of the tag in ground colour; nothing white in it.
  const int cut_out = count_if(b, 30, r - 4, 50, r + 4, [](Rgb c) { return c.r + c.g + c.b < 200; });
  if (t.figure) {
    EXPECT_GT(cut_out, 12);
  } else {
    EXPECT_EQ(count_if(b, 44, r - 3, 50, r + 3, [](Rgb c) { return c.r + c.g + c.b < 200; }), 0);
  }
  EXPECT_EQ(count_if(b, 30, r - 4, 55, r + 4, [](Rgb c) { return c == white; }), 0);
}

INSTANTIATE_TEST_SUITE_P(FlapsAndApproach, AirspeedTag,
                         ::testing::Values(TagCase{265, flap_tag, true}, TagCase{215, flap_tag, true},
                                           TagCase{185, flap_tag, true}, TagCase{145, flap_tag, true},
                                           TagCase{175, approach_tag, false}));

TEST(AirspeedTape, TagColoursOnlyAtTheTags) {
  const Bitmap& b = bitmap(0x1400);
  const auto tagged = [](Rgb c) { return c == flap_tag || c == approach_tag; };
  EXPECT_EQ(count_if(b, 0, 0, 65, tick_row(265) - 8, tagged), 0);
  EXPECT_EQ(count_if(b, 0, tick_row(145) + 8, 65, 7150, tagged), 0);
}

TEST(AirspeedTape, ApLimitLineAcrossTheWidthAt1000Knots) {
  const Bitmap& b = bitmap(0x1400);
  const auto mag = [](Rgb c) { return c == ap_limit; };
  for (int y = 4410; y <= 4426; ++y) {
    EXPECT_GT(count_if(b, 0, y, 10, y, mag), 0) << "row " << y;
    EXPECT_GT(count_if(b, 55, y, 65, y, mag), 0) << "row " << y;
  }
  // Hatched, not solid, between its edges.
  EXPECT_GT(count_if(b, 0, 4414, 10, 4414, [](Rgb c) { return c == ground; }), 0);
  EXPECT_EQ(count_if(b, 0, 4409, 65, 4409, mag), 0);
  EXPECT_EQ(count_if(b, 0, 4427, 10, 4427, mag), 0);
  EXPECT_EQ(count_if(b, 0, 4427, 65, 4500, mag), 0);
  // The words above it, left of the ticks.
  EXPECT_GT(count_if(b, 0, 4395, 55, 4408, mag), 60);
  EXPECT_EQ(count_if(b, 56, 4380, 65, 4409, mag), 0);
  EXPECT_EQ(count_if(b, 0, 0, 65, 4380, mag), 0);
}

// --- windows ----------------------------------------------------------------

struct WindowCase {
  std::uint32_t id;
  int first_open, last_open;  // rows that show the image
  int notch_first, notch_last;
  int narrow, wide;  // hidden columns at the notch's ends and at its widest
  int wide_first, wide_last;
};
std::ostream& operator<<(std::ostream& o, const WindowCase& w) { return o << art_test::hex_id(w.id); }

class AirspeedWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(AirspeedWindow, OpenRowsWithTheFramesNotch) {
  const WindowCase w = GetParam();
  const Bitmap& b = bitmap(w.id);
  int previous = 0;
  for (int y = 0; y < b.height; ++y) {
    // Each row: a run of hidden columns from the left, then open ones.
    int hidden = 0;
    while (hidden < b.width && b.at(hidden, y) == art::black) ++hidden;
    for (int x = hidden; x < b.width; ++x) ASSERT_EQ(b.at(x, y), open) << x << "," << y;
    if (y < w.first_open || y > w.last_open) {
      ASSERT_EQ(hidden, b.width) << "row " << y << " should be hidden";
    } else if (y < w.notch_first || y > w.notch_last) {
      ASSERT_EQ(hidden, 0) << "row " << y << " should be open";
    } else if (y == w.notch_first || y == w.notch_last) {
      ASSERT_EQ(hidden, w.narrow) << "row " << y;
    } else if (y >= w.wide_first && y <= w.wide_last) {
      ASSERT_EQ(hidden, w.wide) << "row " << y;
    } else {
      ASSERT_GT(hidden, w.narrow) << "row " << y;
      ASSERT_LT(hidden, w.wide) << "row " << y;
      // widening toward the middle, narrowing after
      if (y < w.wide_first)
        ASSERT_GE(hidden, previous) << "row " << y;
      else
        ASSERT_LE(hidden, previous) << "row " << y;
    }
    previous = hidden;
  }
}

INSTANTIATE_TEST_SUITE_P(All, AirspeedWindow,
                         ::testing::Values(WindowCase{0x1401, 37, 272, 134, 176, 43, 61, 153, 157},
                                           WindowCase{0x1601, 0, 235, 97, 139, 41, 59, 116, 120},
                                           WindowCase{0x1801, 0, 235, 104, 132, 2, 15, 117, 119}));

// --- overspeed band ---------------------------------------------------------

TEST(AirspeedOverspeedBand, StripeHatchingAndClosingLine) {
  const Bitmap& b = bitmap(0x1600);
  const auto is_red = [](Rgb c) { return c == red; };
  const auto is_black = [](Rgb c) { return c == art::black; };
  EXPECT_EQ(count_if(b, 0, 0, 65, 473, [](Rgb c) { return !(c == red) && !(c == art::black); }), 0);
  EXPECT_EQ(count_if(b, 61, 0, 65, 235, [&](Rgb c) { return !is_red(c); }), 0);  // the stripe
  EXPECT_EQ(count_if(b, 0, 0, 60, 218, is_red), 0);
  for (int y = 219; y <= 230; ++y) {
    EXPECT_GT(count_if(b, 0, y, 60, y, is_red), 10) << "row " << y;
    EXPECT_GT(count_if(b, 0, y, 60, y, is_black), 10) << "row " << y;
  }
  EXPECT_EQ(count_if(b, 0, 231, 65, 235, [&](Rgb c) { return !is_red(c); }), 0);
  EXPECT_EQ(count_if(b, 0, 236, 65, 473, is_red), 0);
}

TEST(AirspeedOverspeedBand, HatchingRunsDiagonally) {
  const Bitmap& b = bitmap(0x1600);
  bool rising = true, falling = true;
  for (int y = 219; y < 230; ++y)
    for (int x = 0; x < 60; ++x) {
      rising &= b.at(x + 1, y) == b.at(x, y + 1);
      falling &= b.at(x, y) == b.at(x + 1, y + 1);
    }
  EXPECT_TRUE(rising || falling);
}

// --- selected-speed bug -------------------------------------------------------

TEST(AirspeedSelectedBug, OutlineWithVNotchCentredOnRow237) {
  const Bitmap& b = bitmap(0x1800);
  const art_test::Box box = drawn_box(b);
  EXPECT_EQ(box.y0, 217);
  EXPECT_EQ(box.y1, 257);
  EXPECT_EQ(box.x0, 1);
  EXPECT_EQ(box.x1, 20);
  EXPECT_TRUE(art_test::in_palette(b, bug));
  EXPECT_EQ(count_if(b, 19, 217, 20, 257, [](Rgb c) { return !(c == bug); }), 0);  // solid right side
  for (int x = 1; x <= 20; ++x) {
    EXPECT_EQ(b.at(x, 217), bug) << "top, column " << x;
    EXPECT_EQ(b.at(x, 257), bug) << "bottom, column " << x;
  }
  // The V's point fills column 17 at rows 236..238 and leaves column 18 open.
  for (int y = 236; y <= 238; ++y) {
    EXPECT_EQ(b.at(17, y), bug) << "row " << y;
    EXPECT_EQ(b.at(18, y), art::black) << "row " << y;
  }
  for (int y : {230, 244}) EXPECT_EQ(b.at(17, y), art::black) << "row " << y;
  // Outlined: hollow inside the box, on both sides of the V.
  EXPECT_EQ(b.at(4, 237), art::black);
  EXPECT_EQ(b.at(17, 222), art::black);
  // Mirror image about row 237.
  for (int y = 200; y <= 274; ++y)
    for (int x = 0; x < 21; ++x) ASSERT_EQ(b.at(x, y) == art::black, b.at(x, 474 - y) == art::black) << x << "," << y;
}

// --- readout frame --------------------------------------------------------------

TEST(AirspeedReadoutFrame, BlueFrameOpenOnTheLeft) {
  const Bitmap& b = bitmap(0x1200);
  const auto not_blue = [](Rgb c) { return !(c == frame_blue); };
  EXPECT_EQ(count_if(b, 1, 134, 76, 137, not_blue), 0);
  EXPECT_EQ(count_if(b, 1, 173, 76, 176, not_blue), 0);
  EXPECT_EQ(count_if(b, 72, 134, 76, 176, not_blue), 0);
  EXPECT_EQ(count_if(b, 0, 0, 0, 309, [](Rgb c) { return !(c == art::black); }), 0);
  EXPECT_TRUE(drawn_box(b).empty() == false);
  EXPECT_EQ(count_if(b, 1, 138, 71, 172, [](Rgb c) { return !(c == art::black); }), 0);  // the inside
  EXPECT_EQ(count_if(b, 0, 0, 96, 133, [](Rgb c) { return !(c == art::black); }), 0);
  EXPECT_EQ(count_if(b, 0, 177, 96, 309, [](Rgb c) { return !(c == art::black); }), 0);
}

TEST(AirspeedReadoutFrame, WhitePointerTipAtColumn92Row155) {
  const Bitmap& b = bitmap(0x1200);
  EXPECT_EQ(drawn_box(b).x1, 92);
  double rows = 0, n = 0;
  for (int y = 0; y < b.height; ++y)
    if (!(b.at(92, y) == art::black)) rows += y, n += 1;
  ASSERT_GT(n, 0);
  EXPECT_NEAR(rows / n, 155, 0.5);
  EXPECT_EQ(b.at(84, 155), white);
  EXPECT_EQ(b.at(80, 145), white);
  EXPECT_EQ(b.at(80, 165), white);
  // Edged with grey: along its slanted sides the pixels are neutral and not white.
  int grey = 0;
  for (int x = 79; x <= 90; ++x) {
    int y = 138;
    while (b.at(x, y) == art::black) ++y;
    const Rgb c = b.at(x, y);
    if (c.r == c.g && c.g == c.b && c.r < 230 && c.r > 60) ++grey;
  }
  EXPECT_GE(grey, 8);
  EXPECT_EQ(count_if(b, 77, 138, 92, 172, [](Rgb c) { return c.r != c.g || c.g != c.b; }), 0);
}

}  // namespace
