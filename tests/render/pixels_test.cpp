// The drawing rules, checked on the pictures: what power off leaves, where
// needles point, what windows hide, where moving images, sliders and icons
// land, and that a hidden element leaves no trace.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "render_support.h"
#include "scenario.h"

namespace {

using namespace render_test;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

Settings cruise_with(Settings extra) {
  const auto values = panel_host::load_scenario(scenario_path("cruise")).values_at(0);
  Settings s(values.begin(), values.end());
  s.insert(s.end(), extra.begin(), extra.end());
  return s;
}

// ---------------------------------------------------------------- power off

struct PowerCase {
  const char* gauge;
  double power;
};

void PrintTo(const PowerCase& c, std::ostream* o) { *o << c.gauge << " power " << c.power; }

class PowerOff : public testing::TestWithParam<PowerCase> {};

TEST_P(PowerOff, LeavesOnlyWhatNeedsNoPower) {
  const PowerCase& c = GetParam();
  Drawn d(c.gauge, cruise_with({{0x301, c.power}}));
  d.cycle();
  const Picture all = d.picture();
  if (std::string(c.gauge) == standby) {
    // The bezel needs no power: the picture is the root alone.
    d.only({0});
    const Picture bezel = d.picture();
    ASSERT_GT(bezel.lit(), 0);
    for (int y = 0; y < all.height(); ++y)
      for (int x = 0; x < all.width(); ++x) ASSERT_TRUE(all.at(x, y).near(bezel.at(x, y), 0)) << x << "," << y;
  } else {
    EXPECT_EQ(all.lit(), 0) << c.gauge << " with power " << c.power << " is not all black";
  }
}

INSTANTIATE_TEST_SUITE_P(Gauges, PowerOff,
                         testing::Values(PowerCase{eicas, 0.0}, PowerCase{eicas, 0.5}, PowerCase{eicas, 1.0001},
                                         PowerCase{eicas, nan}, PowerCase{tape, 0.0}, PowerCase{tape, 2.0},
                                         PowerCase{tape, -1.0}, PowerCase{standby, 0.0}, PowerCase{standby, 0.7}));

// ---------------------------------------------------------------- needles

struct NeedleCase {
  const char* gauge;
  std::size_t element;
  std::size_t entry;
  Settings settings;
  std::vector<double> radii;  // distances from the pivot along the needle
  double half_width;          // how far across the line to look
};

void PrintTo(const NeedleCase& c, std::ostream* o) { *o << c.gauge << " element " << c.element << " entry " << c.entry; }

class NeedleAtEntry : public testing::TestWithParam<NeedleCase> {};

TEST_P(NeedleAtEntry, PointsAtTheEntrysPoint) {
  const NeedleCase& c = GetParam();
  Settings s = c.settings;
  s.push_back({0x301, 1.0});
  Drawn d(c.gauge, s);
  const Picture p = d.draw_only({c.element});
  const auto& n = *reinterpret_cast<const host::NeedleElement*>(d.element(c.element).record);
  ASSERT_LT(c.entry, n.table_entries);
  const double x = n.header.x, y = n.header.y;
  const double towards = std::atan2(n.table[c.entry].y - y, n.table[c.entry].x - x);

  // Lit somewhere across the line at angle a and radius r.
  const auto lit_across = [&](double a, double r) {
    for (double t = -c.half_width; t <= c.half_width; t += 0.5) {
      const double px = x + r * std::cos(a) - t * std::sin(a), py = y + r * std::sin(a) + t * std::cos(a);
      if (!p.at(static_cast<int>(std::floor(px + 0.5)), static_cast<int>(std::floor(py + 0.5))).black()) return true;
    }
    return false;
  };
  const double aside = 30 * std::numbers::pi / 180;
  for (double r : c.radii) {
    EXPECT_TRUE(lit_across(towards, r)) << "nothing at radius " << r << " toward entry " << c.entry;
    EXPECT_FALSE(lit_across(towards + aside, r)) << "needle 30 degrees clockwise of entry " << c.entry;
    EXPECT_FALSE(lit_across(towards - aside, r)) << "needle 30 degrees anticlockwise of entry " << c.entry;
  }
}

// Rankine for a Celsius reading: the gauges show ((R - 459.7) - 32) x 0.5556.
double rankine(double celsius) { return celsius / 0.5556 + 491.7; }

const std::vector<double> bar_radii = {20, 35, 50};   // EICAS needles: 9 to 55 out
const std::vector<double> lever_radii = {60, 64};     // lever pointers: 57 to 67
const std::vector<double> arrow_radii = {70, 100, 125};  // standby pointer: 58 to 129

INSTANTIATE_TEST_SUITE_P(
    Tables, NeedleAtEntry,
    testing::Values(NeedleCase{eicas, 4, 0, {{0x272, 0}}, bar_radii, 2},
                    NeedleCase{eicas, 4, 1, {{0x272, 120}}, bar_radii, 2},
                    NeedleCase{eicas, 5, 0, {{0x285, 0}}, bar_radii, 2},
                    NeedleCase{eicas, 5, 1, {{0x285, 120}}, bar_radii, 2},
                    NeedleCase{eicas, 6, 0, {{0x80, 0}}, lever_radii, 3},
                    NeedleCase{eicas, 6, 1, {{0x80, 16384}}, lever_radii, 3},
                    NeedleCase{eicas, 10, 0, {{0x277, rankine(0)}}, bar_radii, 2},
                    NeedleCase{eicas, 10, 1, {{0x277, rankine(1000)}}, bar_radii, 2},
                    NeedleCase{eicas, 11, 1, {{0x28A, rankine(1000)}}, bar_radii, 2},
                    NeedleCase{standby, 4, 0, {{0x3D, 0}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 1, {{0x3D, 60}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 2, {{0x3D, 100}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 3, {{0x3D, 160}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 4, {{0x3D, 200}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 5, {{0x3D, 300}}, arrow_radii, 6},
                    NeedleCase{standby, 4, 6, {{0x3D, 700}}, arrow_radii, 6}));

// ---------------------------------------------------------------- windows

const Rgb tape_ground{31, 37, 95};

int tape_pixels(const Picture& p, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += p.at(x, y).near(tape_ground, 2);
  return n;
}

TEST(TapeWindow, NotchHidesTheTapeBehindTheReadoutFrame) {
  Drawn d(tape, {{0x301, 1}, {0x3D, 250}});
  const Picture tape_alone = d.draw_only({1});
  // The window sits at x 34; its notch spans rows 134..176, at least 43
  // columns from its left edge.
  EXPECT_EQ(tape_alone.lit(34, 134, 34 + 43, 177), 0);
  EXPECT_EQ(tape_alone.lit(34, 153, 34 + 61, 158), 0) << "the notch's point, 61 columns wide";
  EXPECT_EQ(tape_alone.lit(0, 0, 101, 37), 0) << "above the window";
  EXPECT_EQ(tape_alone.lit(0, 273, 101, 330), 0) << "below the window";
  EXPECT_GT(tape_pixels(tape_alone, 34, 100, 100, 130), 0) << "the open window shows the tape";

  Drawn whole(tape, {{0x301, 1}, {0x3D, 250}});
  whole.cycle();
  EXPECT_EQ(tape_pixels(whole.picture(), 34, 134, 34 + 43, 177), 0) << "tape shows through the frame";
}

// ---------------------------------------------------------------- hidden

struct HiddenCase {
  const char* gauge;
  std::size_t element;
};

void PrintTo(const HiddenCase& c, std::ostream* o) { *o << c.gauge << " element " << c.element; }

class HiddenElement : public testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenElement, DrawsNothing) {
  const HiddenCase& c = GetParam();
  Drawn d(c.gauge, cruise_with({{0x301, 1}}));
  d.cycle();
  d.only({c.element});
  ASSERT_GT(d.picture().lit(), 0) << "element " << c.element << " draws nothing even when shown";
  d.element(c.element).record->image_flags |= host::image_hidden;
  EXPECT_EQ(d.picture().lit(), 0) << "hidden element " << c.element << " still drew";
}

INSTANTIATE_TEST_SUITE_P(Kinds, HiddenElement,
                         testing::Values(HiddenCase{standby, 0},   // static image
                                         HiddenCase{eicas, 1},     // icon
                                         HiddenCase{eicas, 4},     // needle
                                         HiddenCase{eicas, 26},    // string
                                         HiddenCase{eicas, 28},    // moving image
                                         HiddenCase{eicas, 40},    // slider
                                         HiddenCase{tape, 1}));    // moving image in a notched window

TEST(HiddenElement, SelectedSpeedMarkerGoesWithItsFlag) {
  const Rgb magenta{235, 32, 210};
  for (double flag : {1.0, 0.0, 0.5}) {
    Drawn d(tape, {{0x301, 1}, {0x3D, 250}, {0x74, 255}, {0x73, flag}});
    const Picture p = d.draw_only({3});
    int marker = 0;
    for (int y = 0; y < p.height(); ++y)
      for (int x = 80; x < 101; ++x) marker += p.at(x, y).near(magenta, 4);
    if (flag == 1.0)
      EXPECT_GT(marker, 0) << "flag 1 shows the marker";
    else
      EXPECT_EQ(marker, 0) << "flag " << flag << " hides the marker";
  }
}

// ---------------------------------------------------------------- moving images

struct BarCase {
  const char* what;
  std::size_t element;
  Settings settings;
  int column, top, rows;  // the window on the background
  int lit_rows;
  bool from_top;  // the lit part grows down from the top, not up from the bottom
};

void PrintTo(const BarCase& c, std::ostream* o) { *o << c.what; }

class Bar : public testing::TestWithParam<BarCase> {};

TEST_P(Bar, LightsTheRowsItsRangeGives) {
  const BarCase& c = GetParam();
  Settings s = c.settings;
  s.push_back({0x301, 1});
  Drawn d(eicas, s);
  const Picture p = d.draw_only({c.element});
  const Rgb white{255, 255, 255};
  int lit = 0;
  for (int r = 0; r < c.rows; ++r) {
    const bool on = p.at(c.column, c.top + r).near(white, 0);
    lit += on;
    const bool should = c.from_top ? r < c.lit_rows : r >= c.rows - c.lit_rows;
    EXPECT_EQ(on, should) << c.what << ": window row " << r;
  }
  EXPECT_EQ(lit, c.lit_rows) << c.what;
  EXPECT_EQ(p.lit(0, 0, p.width(), c.top), 0) << c.what << ": drawn above its window";
  EXPECT_EQ(p.lit(0, c.top + c.rows, p.width(), p.height()), 0) << c.what << ": drawn below its window";
}

INSTANTIATE_TEST_SUITE_P(
    Eicas, Bar,
    testing::Values(BarCase{"fuel flow 0", 28, {{0x27E, 0}}, 352, 56, 74, 0, false},
                    BarCase{"fuel flow 25000", 28, {{0x27E, 25000}}, 352, 56, 74, 37, false},
                    BarCase{"fuel flow 50000", 28, {{0x27E, 50000}}, 352, 56, 74, 74, false},
                    BarCase{"tank 750 of 1500", 36, {{0x130, 750}}, 368, 356, 110, 55, false},
                    BarCase{"flap angle 20 of 40, from the top", 46, {{0x38B, 20}}, 611, 56, 74, 37, true},
                    BarCase{"flap angle 40", 46, {{0x38B, 40}}, 611, 56, 74, 74, true},
                    BarCase{"right spoiler at 9, its range's start", 43, {{0x147, 9}}, 566, 56, 74, 0, false},
                    BarCase{"right spoiler full", 43, {{0x147, 16384}}, 566, 56, 74, 74, false}));

struct TickCase {
  const char* what;
  double airspeed;
  int row;  // background row where the tick in the tape's tick columns is centred
};

void PrintTo(const TickCase& c, std::ostream* o) { *o << c.what; }

class TapeTick : public testing::TestWithParam<TickCase> {};

TEST_P(TapeTick, StandsWhereTheRangePutsIt) {
  const TickCase& c = GetParam();
  Drawn d(tape, {{0x301, 1}, {0x3D, c.airspeed}});
  const Picture p = d.draw_only({1});
  const Rgb white{255, 255, 255};
  // Tick columns 56..65 of the tape: background x 90..99.
  for (int dy = -1; dy <= 1; ++dy) EXPECT_TRUE(p.at(95, c.row + dy).near(white, 0)) << c.what << " row " << c.row + dy;
  EXPECT_FALSE(p.at(95, c.row - 3).near(white, 0)) << c.what;
  EXPECT_FALSE(p.at(95, c.row + 3).near(white, 0)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Tape, TapeTick,
                         testing::Values(TickCase{"0 kt: the zero tick level with the pointer", 0, 153},
                                         TickCase{"NaN: held at the range's first value, 2700 tick at its row", nan,
                                                  90}));

// ---------------------------------------------------------------- sliders

struct SliderCase {
  const char* what;
  std::size_t element;
  Settings settings;
  int top;  // first row of the pointer: fractional positions floored
};

void PrintTo(const SliderCase& c, std::ostream* o) { *o << c.what; }

class Slider : public testing::TestWithParam<SliderCase> {};

TEST_P(Slider, MovesByValueTimesScale) {
  const SliderCase& c = GetParam();
  Settings s = c.settings;
  s.push_back({0x301, 1});
  Drawn d(eicas, s);
  const auto ink = d.draw_only({c.element}).ink();
  ASSERT_TRUE(ink) << c.what;
  EXPECT_EQ((*ink)[1], c.top) << c.what;
  EXPECT_EQ((*ink)[3], c.top + 12) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Eicas, Slider,
    testing::Values(SliderCase{"flap up", 45, {{0x148, 0}}, 50},
                    SliderCase{"flap 10: 18.25 down", 45, {{0x148, 4096}}, 68},
                    SliderCase{"flap 40: 73 down", 45, {{0x148, 16384}}, 123},
                    SliderCase{"spoiler lever 0", 40, {{0x145, 0}}, 123},
                    SliderCase{"spoiler lever 4096: 18.25 up", 40, {{0x145, 4096}}, 104},
                    SliderCase{"spoiler lever 8192: 36.5 up", 42, {{0x145, 8192}}, 86},
                    SliderCase{"spoiler lever full", 42, {{0x145, 16384}}, 50}));

// ---------------------------------------------------------------- icons

struct IconCase {
  double state;
  const char* shows;  // "white", "yellow" or "nothing"
};

void PrintTo(const IconCase& c, std::ostream* o) { *o << "state " << c.state; }

class AbLegend : public testing::TestWithParam<IconCase> {};

TEST_P(AbLegend, ShowsTheBitmapOfItsTruncatedIndex) {
  const IconCase& c = GetParam();
  Drawn d(eicas, {{0x301, 1}, {0x278, c.state}});
  const Picture p = d.draw_only({81});
  int white = 0, yellow = 0;
  for (int y = 0; y < p.height(); ++y)
    for (int x = 0; x < p.width(); ++x) {
      const Rgb px = p.at(x, y);
      white += px.r > 200 && px.g > 200 && px.b > 200;
      yellow += px.r > 200 && px.g > 200 && px.b < 120;
    }
  const std::string shows = c.shows;
  EXPECT_EQ(white > 0, shows == "white") << "state " << c.state;
  EXPECT_EQ(yellow > 0, shows == "yellow") << "state " << c.state;
  if (shows == "nothing") EXPECT_EQ(p.lit(), 0) << "state " << c.state;
}

INSTANTIATE_TEST_SUITE_P(States, AbLegend,
                         testing::Values(IconCase{0, "white"}, IconCase{1, "yellow"}, IconCase{0.9, "white"},
                                         IconCase{1.99, "yellow"}, IconCase{2, "nothing"}, IconCase{-1, "nothing"},
                                         IconCase{nan, "nothing"}, IconCase{1e12, "nothing"}));

}  // namespace
