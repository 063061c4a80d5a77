// The EICAS bitmaps against the pixel facts the gauge's elements rely on:
// where the bars, pointers and needles land, the overlay must meet them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <numbers>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "art/gauges.h"
#include "art_test_util.h"

namespace {

using art::Bitmap;
using art::Rgb;

constexpr Rgb black{0, 0, 0};
constexpr Rgb white{255, 255, 255};
constexpr Rgb bar_dark{0, 0, 1};
constexpr Rgb window{1, 1, 1};
constexpr Rgb grey{175, 175, 175};
constexpr Rgb green{6, 159, 34};
constexpr Rgb yellow{254, 241, 37};
constexpr Rgb red{182, 17, 19};
constexpr Rgb gear_green{0, 212, 0};
constexpr Rgb gear_yellow{255, 236, 0};
constexpr Rgb gear_dark{16, 15, 0};

using art_test::hex_id;

const std::vector<Bitmap>& all_bitmaps() {
  static const std::vector<Bitmap> all = eicas_bitmaps();
  return all;
}

// Pixel facts are asked of the bitmaps as the module carries them: written
// to BMP and read back.
const Bitmap& find(std::uint32_t id) {
  static const std::map<std::uint32_t, Bitmap> stored = art_test::through_bmp(all_bitmaps());
  const auto it = stored.find(id);
  if (it == stored.end()) throw std::runtime_error("no bitmap " + hex_id(id));
  return it->second;
}

int brightness(Rgb c) { return c.r + c.g + c.b; }

// Every pixel of columns x0..x1, rows y0..y1 that fails `ok`, as text.
std::string pixels_failing(const Bitmap& b, int x0, int y0, int x1, int y1, const std::function<bool(Rgb)>& ok) {
  std::string out;
  int shown = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (const Rgb c = b.at(x, y); !ok(c) && shown++ < 8)
        out += "(" + std::to_string(x) + "," + std::to_string(y) + ")=" + std::to_string(c.r) + "/" +
               std::to_string(c.g) + "/" + std::to_string(c.b) + " ";
  return out;
}

std::function<bool(Rgb)> is(Rgb want) {
  return [want](Rgb c) { return c == want; };
}

// ------------------------------------------------------------ the set

struct Size {
  std::uint32_t id;
  int width, height;
};

const Size sizes[] = {
    {0x3800, 660, 484}, {0x4900, 660, 484}, {0x4901, 6, 6},    {0x6100, 62, 11},  {0x1400, 62, 11},
    {0x1800, 62, 11},   {0x1900, 62, 11},   {0x1600, 74, 11},  {0x1700, 74, 11},  {0x4000, 37, 27},
    {0x4001, 37, 27},   {0x3100, 37, 27},   {0x3101, 37, 27},  {0x4200, 8, 148},  {0x4201, 8, 74},
    {0x2800, 8, 148},   {0x2801, 8, 74},    {0x3600, 8, 220},  {0x3601, 8, 110},  {0x2000, 8, 220},
    {0x2001, 8, 110},   {0x2200, 8, 220},   {0x2201, 8, 110},  {0x3400, 14, 13},  {0x3200, 14, 13},
    {0x3500, 14, 13},   {0x1200, 8, 148},   {0x1201, 8, 74},   {0x2600, 8, 148},  {0x2601, 8, 74},
    {0x2400, 8, 148},   {0x2401, 8, 74},    {0x6400, 67, 27},  {0x6401, 67, 27},  {0x6402, 67, 27},
    {0x6500, 67, 27},   {0x6501, 67, 27},   {0x6502, 67, 27},  {0x6600, 67, 27},  {0x6601, 67, 27},
    {0x6602, 67, 27},
};

TEST(EicasBitmapSet, HoldsEveryIdOnceAndNothingElse) {
  std::multiset<std::uint32_t> got;
  for (const Bitmap& b : all_bitmaps()) got.insert(b.id);
  std::multiset<std::uint32_t> want;
  for (const Size& s : sizes) want.insert(s.id);
  EXPECT_EQ(got, want);
}

class EicasSize : public ::testing::TestWithParam<Size> {};

TEST_P(EicasSize, IsIndexedAtItsSize) {
  const Size s = GetParam();
  const Bitmap& b = find(s.id);
  EXPECT_EQ(b.width, s.width);
  EXPECT_EQ(b.height, s.height);
  EXPECT_EQ(b.bits_per_pixel, 8);
  ASSERT_FALSE(b.palette.empty());
  ASSERT_LE(b.palette.size(), 256u);
  ASSERT_EQ(b.pixels.size(), static_cast<std::size_t>(s.width) * s.height);
  for (std::uint8_t i : b.pixels) ASSERT_LT(i, b.palette.size());
}

INSTANTIATE_TEST_SUITE_P(All, EicasSize, ::testing::ValuesIn(sizes),
                         [](const auto& info) { return hex_id(info.param.id); });

// Elements that show the same picture under different ids.
struct Twin {
  std::uint32_t id, same_as;
};

class EicasTwin : public ::testing::TestWithParam<Twin> {};

TEST_P(EicasTwin, ShowsTheSamePicture) {
  const Bitmap& a = find(GetParam().id);
  const Bitmap& b = find(GetParam().same_as);
  ASSERT_EQ(a.width, b.width);
  ASSERT_EQ(a.height, b.height);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) ASSERT_EQ(a.at(x, y), b.at(x, y)) << "at (" << x << ", " << y << ")";
}

INSTANTIATE_TEST_SUITE_P(All, EicasTwin,
                         ::testing::Values(Twin{0x1400, 0x6100}, Twin{0x1800, 0x6100}, Twin{0x1900, 0x6100},
                                           Twin{0x1700, 0x1600}, Twin{0x3100, 0x4000}, Twin{0x3101, 0x4001},
                                           Twin{0x3200, 0x3400}, Twin{0x2800, 0x4200}, Twin{0x1200, 0x4200},
                                           Twin{0x2600, 0x4200}, Twin{0x2000, 0x3600}, Twin{0x2200, 0x3600},
                                           Twin{0x6500, 0x6400}, Twin{0x6600, 0x6400}, Twin{0x6501, 0x6401},
                                           Twin{0x6601, 0x6401}, Twin{0x6502, 0x6402}, Twin{0x6602, 0x6402}),
                         [](const auto& info) { return hex_id(info.param.id) + "_as_" + hex_id(info.param.same_as); });

// ------------------------------------------------------------ plain pictures

struct Solid {
  std::uint32_t id;
  Rgb colour;
};

class EicasSolid : public ::testing::TestWithParam<Solid> {};

TEST_P(EicasSolid, IsOneColourAllOver) {
  const Bitmap& b = find(GetParam().id);
  EXPECT_EQ(pixels_failing(b, 0, 0, b.width - 1, b.height - 1, is(GetParam().colour)), "");
}

// The background and the unpowered overlay are empty; the windows are opaque
// everywhere so the whole strip shows the bar.
INSTANTIATE_TEST_SUITE_P(All, EicasSolid,
                         ::testing::Values(Solid{0x3800, black}, Solid{0x4901, black}, Solid{0x4201, window},
                                           Solid{0x2801, window}, Solid{0x3601, window}, Solid{0x2001, window},
                                           Solid{0x2201, window}, Solid{0x1201, window}, Solid{0x2601, window},
                                           Solid{0x2401, window}),
                         [](const auto& info) { return hex_id(info.param.id); });

struct Bar {
  std::uint32_t id;
  bool lit_below;  // white lower half: the lit part rises from the bottom
};

class EicasBar : public ::testing::TestWithParam<Bar> {};

TEST_P(EicasBar, HasADarkAndAWhiteHalf) {
  const Bitmap& b = find(GetParam().id);
  const int half = b.height / 2;
  const Rgb upper = GetParam().lit_below ? bar_dark : white;
  const Rgb lower = GetParam().lit_below ? white : bar_dark;
  EXPECT_EQ(pixels_failing(b, 0, 0, 7, half - 1, is(upper)), "");
  EXPECT_EQ(pixels_failing(b, 0, half, 7, b.height - 1, is(lower)), "");
}

INSTANTIATE_TEST_SUITE_P(All, EicasBar,
                         ::testing::Values(Bar{0x4200, true}, Bar{0x2800, true}, Bar{0x3600, true}, Bar{0x2000, true},
                                           Bar{0x2200, true}, Bar{0x1200, true}, Bar{0x2600, true},
                                           Bar{0x2400, false}),
                         [](const auto& info) { return hex_id(info.param.id); });

struct Slider {
  std::uint32_t id;
  bool points_left;
};

class EicasSlider : public ::testing::TestWithParam<Slider> {};

// Row r is white over columns 0 .. 2 * (6 - |r - 6|) + 1 from the flat side,
// so the tip, row 6, is where the pointer's y + 6 lands on the scale.
TEST_P(EicasSlider, RowsFollowTheTriangle) {
  const Bitmap& b = find(GetParam().id);
  for (int r = 0; r < 13; ++r) {
    const int last = 2 * (6 - std::abs(r - 6)) + 1;
    for (int c = 0; c < 14; ++c) {
      const int from_flat = GetParam().points_left ? 13 - c : c;
      EXPECT_EQ(b.at(c, r), from_flat <= last ? white : black) << "row " << r << " column " << c;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(All, EicasSlider,
                         ::testing::Values(Slider{0x3400, false}, Slider{0x3200, false}, Slider{0x3500, true}),
                         [](const auto& info) { return hex_id(info.param.id); });

// ------------------------------------------------------------ needles

// The host turns both pictures about (5, 5): the needle bar must run along
// row 5, 9 to 55 pixels out, the lever triangle 57 to 67 pixels out.
TEST(EicasNeedle, IsAFivePixelBarAlongTheMiddleRowToATipAtColumn60) {
  const Bitmap& b = find(0x6100);
  EXPECT_EQ(pixels_failing(b, 14, 3, 45, 7, is(white)), "");
  EXPECT_EQ(pixels_failing(b, 0, 0, 61, 2, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 0, 8, 61, 10, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 0, 0, 13, 10, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 61, 0, 61, 10, is(black)), "");
  EXPECT_GT(brightness(b.at(60, 5)), 0);
}

TEST(EicasLeverPointer, IsATriangleOnTheRimPointingBackToThePivot) {
  const Bitmap& b = find(0x1600);
  EXPECT_EQ(pixels_failing(b, 72, 1, 72, 9, is(white)), "");
  EXPECT_EQ(pixels_failing(b, 0, 0, 61, 10, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 0, 0, 73, 0, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 0, 10, 73, 10, is(black)), "");
  EXPECT_EQ(pixels_failing(b, 73, 0, 73, 10, is(black)), "");
  EXPECT_GT(brightness(b.at(62, 5)), 0);
  // Narrowing toward the tip: fewer lit rows in each column nearer the pivot.
  auto lit_rows = [&b](int x) {
    int n = 0;
    for (int y = 0; y < 11; ++y) n += b.at(x, y) != black;
    return n;
  };
  for (int x = 63; x <= 72; ++x) EXPECT_GE(lit_rows(x), lit_rows(x - 1)) << "column " << x;
  // Mirror rows about the middle row, give or take the rasteriser's sampling.
  for (int x = 62; x <= 72; ++x)
    for (int k = 1; k <= 5; ++k)
      EXPECT_NEAR(brightness(b.at(x, 5 - k)), brightness(b.at(x, 5 + k)), 48) << "column " << x << ", rows 5 +- " << k;
}

// ------------------------------------------------------------ legends

struct Legend {
  std::uint32_t id;
  Rgb colour;
  bool outlined;
};

class EicasGearLegend : public ::testing::TestWithParam<Legend> {
 protected:
  const Bitmap& b() const { return find(GetParam().id); }
  // Inside the frame's inner edge and its outline: the word's own space.
  static constexpr int in_x0 = 5, in_x1 = 61, in_y0 = 5, in_y1 = 21;
  // Letter ink: anything lighter than the dark outline.
  static bool ink(Rgb c) { return brightness(c) > brightness(gear_dark); }
};

TEST_P(EicasGearLegend, FrameIsTwoPixelsThickFromTwoTwoToSixtyFourTwentyFour) {
  const Rgb c = GetParam().colour;
  for (int y : {2, 3, 23, 24}) EXPECT_EQ(pixels_failing(b(), 2, y, 64, y, is(c)), "") << "row " << y;
  for (int x : {2, 3, 63, 64}) EXPECT_EQ(pixels_failing(b(), x, 2, x, 24, is(c)), "") << "column " << x;
  EXPECT_EQ(pixels_failing(b(), 0, 0, 66, 0, is(black)), "");
  EXPECT_EQ(pixels_failing(b(), 0, 26, 66, 26, is(black)), "");
  EXPECT_EQ(pixels_failing(b(), 0, 0, 0, 26, is(black)), "");
  EXPECT_EQ(pixels_failing(b(), 66, 0, 66, 26, is(black)), "");
}

TEST_P(EicasGearLegend, FrameHasADarkRimExactlyWhenOutlined) {
  const Rgb rim = GetParam().outlined ? gear_dark : black;
  // The rings just outside and just inside the frame.
  for (int y : {1, 25}) EXPECT_EQ(pixels_failing(b(), 1, y, 65, y, is(rim)), "") << "row " << y;
  for (int x : {1, 65}) EXPECT_EQ(pixels_failing(b(), x, 1, x, 25, is(rim)), "") << "column " << x;
  for (int y : {4, 22}) EXPECT_EQ(pixels_failing(b(), 4, y, 62, y, is(rim)), "") << "row " << y;
  for (int x : {4, 62}) EXPECT_EQ(pixels_failing(b(), x, 4, x, 22, is(rim)), "") << "column " << x;
}

TEST_P(EicasGearLegend, WordIsConfinedToRowsSevenToNineteen) {
  for (int y = in_y0; y <= in_y1; ++y) {
    if (y >= 7 && y <= 19) continue;
    EXPECT_EQ(pixels_failing(b(), in_x0, y, in_x1, y, [](Rgb c) { return !ink(c); }), "") << "row " << y;
  }
  // The dark rim hugs the letters: one pixel out, rows 6 and 20 at most.
  for (int y : {5, 21}) EXPECT_EQ(pixels_failing(b(), in_x0, y, in_x1, y, is(black)), "") << "row " << y;
  if (!GetParam().outlined) {
    for (int y : {6, 20}) EXPECT_EQ(pixels_failing(b(), in_x0, y, in_x1, y, is(black)), "") << "row " << y;
  }
}

TEST_P(EicasGearLegend, WordFillsItsRowsCentredInTheFrame) {
  int x0 = 99, x1 = -1, y0 = 99, y1 = -1;
  for (int y = in_y0; y <= in_y1; ++y)
    for (int x = in_x0; x <= in_x1; ++x)
      if (b().at(x, y) == GetParam().colour) {
        x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
      }
  EXPECT_EQ(y0, 7);
  EXPECT_EQ(y1, 19);
  // Frame interior 4..62 has its middle at 33.5.
  EXPECT_NEAR((x0 + x1 + 1) / 2.0, 33.5, 1.0) << "ink columns " << x0 << ".." << x1;
}

TEST_P(EicasGearLegend, LetterEdgesAreSmoothed) {
  const Rgb c = GetParam().colour;
  int blends = 0;
  for (int y = 7; y <= 19; ++y)
    for (int x = in_x0; x <= in_x1; ++x)
      if (const Rgb p = b().at(x, y); ink(p) && p != c) ++blends;
  EXPECT_GT(blends, 10);
}

INSTANTIATE_TEST_SUITE_P(All, EicasGearLegend,
                         ::testing::Values(Legend{0x6400, gear_green, false}, Legend{0x6401, gear_yellow, true},
                                           Legend{0x6402, white, false}),
                         [](const auto& info) { return hex_id(info.param.id); });

// The transit legend's dark rim: no yellow pixel, of frame or letter, meets
// the empty background directly.
TEST(EicasTransitLegend, YellowNeverTouchesBlack) {
  const Bitmap& b = find(0x6401);
  for (int y = 1; y < 26; ++y)
    for (int x = 1; x < 66; ++x) {
      if (b.at(x, y) != gear_yellow) continue;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        EXPECT_NE(b.at(x + dx, y + dy), black) << "yellow at (" << x << ", " << y << ") meets black";
    }
}

// The AB legend lights from white to yellow without moving a pixel.
TEST(EicasAbLegend, LitPictureIsTheUnlitOneInYellow) {
  const Bitmap& off = find(0x4000);
  const Bitmap& on = find(0x4001);
  int lit = 0;
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 37; ++x) {
      ASSERT_EQ(off.at(x, y) == black, on.at(x, y) == black) << "at (" << x << ", " << y << ")";
      const Rgb p = on.at(x, y);
      if (p == black) continue;
      ++lit;
      EXPECT_GE(p.r, p.b);
      EXPECT_EQ(off.at(x, y).r, off.at(x, y).b) << "unlit picture not neutral at (" << x << ", " << y << ")";
    }
  EXPECT_GT(lit, 150);
  EXPECT_EQ(off.at(2, 2), white);
  const Rgb frame = on.at(2, 2);
  EXPECT_TRUE(frame.r > 200 && frame.g > 200 && frame.b < 60);
}

// ------------------------------------------------------------ overlay: straight scales

struct Box {
  const char* what;
  int x0, y0, x1, y1;
};

class EicasOverlayGrey : public ::testing::TestWithParam<Box> {};

TEST_P(EicasOverlayGrey, IsLightGrey) {
  const Box b = GetParam();
  EXPECT_EQ(pixels_failing(find(0x4900), b.x0, b.y0, b.x1, b.y1, is(grey)), "");
}

// Walls, lines and ticks that the bars and pointers are laid out to meet. The
// bracket lines are broken for their figures, so only the ends near the walls
// are listed.
INSTANTIATE_TEST_SUITE_P(
    All, EicasOverlayGrey,
    ::testing::Values(Box{"spoiler_left_wall", 521, 56, 522, 129}, Box{"spoiler_right_wall", 558, 56, 559, 129},
                      Box{"spoiler_top_left", 521, 56, 527, 57}, Box{"spoiler_top_right", 553, 56, 559, 57},
                      Box{"spoiler_bottom_left", 521, 128, 529, 129}, Box{"spoiler_bottom_right", 551, 128, 559, 129},
                      Box{"fuel_left_wall", 359, 56, 360, 129}, Box{"fuel_right_wall", 399, 56, 400, 129},
                      Box{"fuel_top_left", 359, 56, 366, 57}, Box{"fuel_top_right", 393, 56, 400, 57},
                      Box{"fuel_middle_left", 361, 92, 363, 93}, Box{"fuel_middle_right", 396, 92, 398, 93},
                      Box{"fuel_bottom_left", 359, 128, 368, 129}, Box{"fuel_bottom_right", 391, 128, 400, 129},
                      Box{"flap_line", 618, 56, 619, 129}, Box{"flap_tick_0", 620, 56, 622, 57},
                      Box{"flap_tick_10", 620, 74, 622, 75}, Box{"flap_tick_20", 620, 92, 622, 93},
                      Box{"flap_tick_30", 620, 110, 622, 111}, Box{"flap_tick_40", 620, 128, 622, 129}),
    [](const auto& info) { return std::string(info.param.what); });

class EicasOverlayClear : public ::testing::TestWithParam<Box> {};

TEST_P(EicasOverlayClear, IsEmpty) {
  const Box b = GetParam();
  EXPECT_EQ(pixels_failing(find(0x4900), b.x0, b.y0, b.x1, b.y1, is(black)), "");
}

// Where pointers travel, legends stand and the flap ticks leave gaps, the
// overlay must not show through.
INSTANTIATE_TEST_SUITE_P(
    All, EicasOverlayClear,
    ::testing::Values(Box{"left_spoiler_pointer_lane", 497, 50, 519, 135},
                      Box{"right_spoiler_pointer_lane", 561, 50, 584, 135}, Box{"flap_pointer_lane", 594, 50, 617, 135},
                      Box{"left_flow_bar", 349, 50, 357, 135}, Box{"right_flow_bar", 402, 50, 410, 135},
                      Box{"spoiler_bracket_inside", 525, 62, 554, 123}, Box{"fuel_bracket_inside", 363, 62, 396, 87},
                      Box{"flap_gap_0_10", 620, 58, 623, 73}, Box{"flap_gap_10_20", 620, 76, 623, 91},
                      Box{"flap_gap_20_30", 620, 94, 623, 109}, Box{"flap_gap_30_40", 620, 112, 623, 127},
                      Box{"tank_bars", 363, 300, 394, 483}, Box{"left_ab_legend", 87, 50, 123, 76},
                      Box{"right_ab_legend", 215, 50, 251, 76}, Box{"gear_legends", 497, 300, 659, 370},
                      Box{"readout_rows", 0, 290, 300, 483}),
    [](const auto& info) { return std::string(info.param.what); });

// Figures in grey beside their marks.
class EicasOverlayFigure : public ::testing::TestWithParam<Box> {};

TEST_P(EicasOverlayFigure, IsPrinted) {
  const Box b = GetParam();
  const Bitmap& o = find(0x4900);
  int n = 0;
  for (int y = b.y0; y <= b.y1; ++y)
    for (int x = b.x0; x <= b.x1; ++x) n += o.at(x, y) == grey;
  EXPECT_GE(n, 6);
}

INSTANTIATE_TEST_SUITE_P(
    All, EicasOverlayFigure,
    ::testing::Values(Box{"fuel_50", 370, 52, 390, 61}, Box{"fuel_25", 370, 88, 390, 97},
                      Box{"fuel_0", 374, 124, 386, 133}, Box{"spoiler_60", 530, 52, 551, 61},
                      Box{"spoiler_0", 534, 124, 547, 133}, Box{"flap_0", 624, 52, 644, 61},
                      Box{"flap_10", 624, 70, 644, 79}, Box{"flap_20", 624, 88, 644, 97},
                      Box{"flap_30", 624, 106, 644, 115}, Box{"flap_40", 624, 124, 644, 133},
                      Box{"left_tank_100", 310, 356, 347, 370}, Box{"left_tank_50", 310, 405, 347, 417},
                      Box{"left_tank_0", 310, 452, 347, 465}, Box{"right_tank_100", 410, 356, 450, 370},
                      Box{"right_tank_50", 410, 405, 450, 417}, Box{"right_tank_0", 410, 452, 450, 465}),
    [](const auto& info) { return std::string(info.param.what); });

// The upper right of the display holds only the three scales, within the
// boxes the readouts and labels were placed around.
TEST(EicasOverlay, UpperScalesStayInTheirBoxes) {
  const Box boxes[] = {{"fuel", 359, 52, 400, 133}, {"spoiler", 521, 52, 559, 133}, {"flap", 618, 52, 644, 133}};
  const Bitmap& o = find(0x4900);
  for (int y = 0; y < 300; ++y)
    for (int x = 300; x < 660; ++x) {
      if (o.at(x, y) == black) continue;
      bool inside = false;
      for (const Box& b : boxes) inside |= x >= b.x0 && x <= b.x1 && y >= b.y0 && y <= b.y1;
      EXPECT_TRUE(inside) << "stray pixel at (" << x << ", " << y << ")";
      if (!inside) return;
    }
}

TEST(EicasOverlay, TankScalesSpanTheTankBarsRows) {
  const Bitmap& o = find(0x4900);
  for (int y = 300; y < 484; ++y) {
    if (y < 356 || y > 465) {
      EXPECT_EQ(pixels_failing(o, 300, y, 480, y, is(black)), "") << "row " << y;
    }
  }
  // Green up the strip beside the bars, red at its foot.
  for (int x : {360, 397}) {
    EXPECT_EQ(o.at(x, 357), green) << "top of the strip at column " << x;
    EXPECT_EQ(o.at(x, 420), green) << "middle of the strip at column " << x;
    EXPECT_EQ(o.at(x, 465), red) << "bottom of the strip at column " << x;
  }
}

// ------------------------------------------------------------ overlay: dials

// A needle's two-entry value table: toward `first` at v0, toward `second` at
// v1, clockwise between.
struct Dial {
  const char* name;
  int px, py, x0, y0;
  double v0;
  int x1, y1;
  double v1;
  double step, major;
  double green_from, yellow_from, red_from;  // each band ends where the next begins, the last at v1
};

const Dial dials[] = {
    {"left_N1", 74, 77, 128, 101, 0, 74, 22, 120, 5, 10, 20, 100, 105},
    {"right_N1", 203, 77, 257, 101, 0, 203, 21, 120, 5, 10, 20, 100, 105},
    {"left_ITT", 73, 216, 129, 242, 0, 73, 164, 1000, 50, 100, 400, 800, 900},
    {"right_ITT", 202, 216, 257, 242, 0, 202, 165, 1000, 50, 100, 400, 800, 900},
};

double heading(double dx, double dy) {
  const double a = std::atan2(dx, -dy) * 180 / std::numbers::pi;
  return a < 0 ? a + 360 : a;
}

double angle_at(const Dial& d, double v) {
  const double a0 = heading(d.x0 - d.px, d.y0 - d.py);
  const double sweep = std::fmod(heading(d.x1 - d.px, d.y1 - d.py) - a0 + 360, 360);
  return a0 + sweep * (v - d.v0) / (d.v1 - d.v0);
}

// Pixel under the point `radius` out from the pivot pixel's centre.
std::pair<int, int> cell(const Dial& d, double radius, double degrees) {
  const double a = degrees * std::numbers::pi / 180;
  return {static_cast<int>(std::floor(d.px + 0.5 + radius * std::sin(a))),
          static_cast<int>(std::floor(d.py + 0.5 - radius * std::cos(a)))};
}

Rgb at_polar(const Dial& d, double radius, double degrees) {
  const auto [x, y] = cell(d, radius, degrees);
  return find(0x4900).at(x, y);
}

// The dials stand closer than twice their radius, so a point off one dial's
// scale may lie on its neighbour's.
bool on_another_dial(const Dial& d, double radius, double degrees);

// Whether any pixel of the 3 x 3 around the point is exactly `c`: a thin
// slanted tick need not cover the one pixel under its centre line.
bool near_polar(const Dial& d, double radius, double degrees, Rgb c) {
  const auto [x, y] = cell(d, radius, degrees);
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (find(0x4900).at(x + dx, y + dy) == c) return true;
  return false;
}

class EicasDial : public ::testing::TestWithParam<Dial> {};

TEST_P(EicasDial, ValueTableMatchesTheSweepItWasLaidOutFor) {
  const Dial d = GetParam();
  const double sweep = angle_at(d, d.v1) - angle_at(d, d.v0);
  EXPECT_GT(sweep, 244);
  EXPECT_LT(sweep, 247);
}

// Between each pair of ticks, across the band from just inside its inner
// edge to just inside its outer one, the band's colour; below the green band,
// nothing. A dial off its needles' pivot misses one of the edges.
TEST_P(EicasDial, BandsLieWhereTheNeedlePointsForTheirValues) {
  const Dial d = GetParam();
  for (double v = d.v0; v + d.step <= d.v1 + 1e-9; v += d.step) {
    const double mid = v + d.step / 2;
    const Rgb want = mid < d.green_from ? black : mid < d.yellow_from ? green : mid < d.red_from ? yellow : red;
    for (double r : {53.5, 57.0, 60.5})
      EXPECT_EQ(at_polar(d, r, angle_at(d, mid)), want) << "between " << v << " and " << v + d.step << ", " << r << " px out";
  }
}

TEST_P(EicasDial, LongTicksAtMajorValuesShortOnesBetween) {
  const Dial d = GetParam();
  for (double v = d.v0; v <= d.v1 + 1e-9; v += d.step) {
    const double a = angle_at(d, v);
    const bool major = std::fmod(v + 1e-9, d.major) < 1e-6;
    EXPECT_TRUE(near_polar(d, 58, a, white)) << "no tick across the band at " << v;
    EXPECT_TRUE(near_polar(d, 61.5, a, white)) << "tick at " << v << " stops inside the band";
    EXPECT_EQ(near_polar(d, 67, a, white), major) << "tick length at " << v;
    if (!on_another_dial(d, 72, a)) {
      EXPECT_EQ(at_polar(d, 72, a), black) << "tick at " << v << " runs past the rim";
    }
  }
  // Halfway between ticks, past the band, only black.
  for (double v = d.v0 + d.step / 2; v < d.v1; v += d.step) {
    if (!on_another_dial(d, 66, angle_at(d, v))) {
      EXPECT_EQ(at_polar(d, 66, angle_at(d, v)), black) << "between ticks at " << v;
    }
  }
}

// The quadrant past the top of the scale and before its zero holds the
// readout and the AB legend; the needle never points there in range.
TEST_P(EicasDial, OpenQuadrantIsEmpty) {
  const Dial d = GetParam();
  const double zero = angle_at(d, d.v0);
  for (double a = 8; a < zero - 8; a += 2)
    for (double r : {20.0, 40.0, 57.0, 66.0}) {
      if (!on_another_dial(d, r, a)) {
        EXPECT_EQ(at_polar(d, r, a), black) << "at " << a << " deg, " << r << " px";
      }
    }
}

bool on_another_dial(const Dial& d, double radius, double degrees) {
  const auto [x, y] = cell(d, radius, degrees);
  for (const Dial& other : dials)
    if (other.px != d.px || other.py != d.py)
      if (std::hypot(x - other.px, y - other.py) <= 71) return true;
  return false;
}

INSTANTIATE_TEST_SUITE_P(All, EicasDial, ::testing::ValuesIn(dials),
                         [](const auto& info) { return std::string(info.param.name); });

// Everything in the engine column lies on one of the four dials.
TEST(EicasOverlay, EngineColumnHoldsOnlyTheDials) {
  const Bitmap& o = find(0x4900);
  for (int y = 0; y < 484; ++y)
    for (int x = 0; x < 300; ++x) {
      if (o.at(x, y) == black) continue;
      bool on_a_dial = false;
      for (const Dial& d : dials) {
        const double r = std::hypot(x + 0.5 - (d.px + 0.5), y + 0.5 - (d.py + 0.5));
        on_a_dial |= r >= 48 && r <= 71;
      }
      EXPECT_TRUE(on_a_dial) << "stray pixel at (" << x << ", " << y << ")";
      if (!on_a_dial) return;
    }
}

}  // namespace
