// Where needles point and how far moving images travel, from the gauges'
// own tables and the directions their layout gives.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "render.h"

namespace {

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

// The standby dial's scale about (171, 171).
const std::vector<host::NonLinearity> standby_scale = {
    {170, 47, 0, 0}, {171, 47, 60, 0}, {285, 106, 100, 0}, {243, 289, 160, 0},
    {162, 308, 200, 0}, {74, 257, 300, 0}, {119, 58, 700, 0},
};
// The left N1 dial about (74, 77).
const std::vector<host::NonLinearity> n1_scale = {{128, 101, 0, 0}, {74, 22, 120, 0}};

struct NeedleCase {
  const char* what;
  const std::vector<host::NonLinearity>* table;
  double x, y, value;
  double degrees_from_up;  // clockwise
  double tolerance;
};

void PrintTo(const NeedleCase& c, std::ostream* o) { *o << c.what; }

class NeedleAngle : public testing::TestWithParam<NeedleCase> {};

TEST_P(NeedleAngle, PointsWhereTheScaleSays) {
  const NeedleCase& c = GetParam();
  const double screen = panel_host::needle_angle(c.table->data(), c.table->size(), c.x, c.y, c.value);
  double from_up = std::fmod(screen * 180 / std::numbers::pi + 90, 360);
  if (from_up < 0) from_up += 360;
  // 359.9 and 0.1 are 0.2 apart.
  const double off = std::remainder(from_up - c.degrees_from_up, 360);
  EXPECT_NEAR(off, 0, c.tolerance) << c.what << ": points " << from_up << " degrees from up";
}

INSTANTIATE_TEST_SUITE_P(
    Tables, NeedleAngle,
    testing::Values(
        NeedleCase{"standby 60 kt: straight up", &standby_scale, 171, 171, 60, 0, 0.01},
        NeedleCase{"standby 0 kt: its entry", &standby_scale, 171, 171, 0, 359.54, 0.01},
        NeedleCase{"standby 30 kt: the half-degree to 60, clockwise", &standby_scale, 171, 171, 30, 359.77, 0.01},
        NeedleCase{"standby 80 kt", &standby_scale, 171, 171, 80, 30, 0.5},
        NeedleCase{"standby 120 kt", &standby_scale, 171, 171, 120, 90, 0.5},
        NeedleCase{"standby 160 kt: its entry", &standby_scale, 171, 171, 160, 148.61, 0.01},
        NeedleCase{"standby 300 kt: its entry", &standby_scale, 171, 171, 300, 228.44, 0.01},
        NeedleCase{"standby 400 kt: the long step to 700 turns clockwise", &standby_scale, 171, 171, 400, 255, 0.5},
        NeedleCase{"standby 700 kt: its entry", &standby_scale, 171, 171, 700, 335.29, 0.01},
        NeedleCase{"standby -20 kt: held at the first entry", &standby_scale, 171, 171, -20, 359.54, 0.01},
        NeedleCase{"standby 750 kt: held at the last entry", &standby_scale, 171, 171, 750, 335.29, 0.01},
        NeedleCase{"standby inf: held at the last entry", &standby_scale, 171, 171, inf, 335.29, 0.01},
        NeedleCase{"standby NaN: rests at the first entry", &standby_scale, 171, 171, nan, 359.54, 0.01},
        NeedleCase{"N1 0: down the right, 23.96 below level", &n1_scale, 74, 77, 0, 113.96, 0.01},
        NeedleCase{"N1 60: half the 246.04-degree sweep", &n1_scale, 74, 77, 60, 236.98, 0.01},
        NeedleCase{"N1 120: straight up", &n1_scale, 74, 77, 120, 0, 0.01},
        NeedleCase{"N1 130: held at 120", &n1_scale, 74, 77, 130, 0, 0.01},
        NeedleCase{"N1 -3: held at 0", &n1_scale, 74, 77, -3, 113.96, 0.01}));

TEST(NeedleAngle, WithoutATablePointsRight) {
  EXPECT_EQ(panel_host::needle_angle(nullptr, 0, 10, 10, 55), 0.0);
  const host::NonLinearity one{10, 0, 5, 0};
  EXPECT_NEAR(panel_host::needle_angle(&one, 1, 10, 10, 99), -std::numbers::pi / 2, 1e-12) << "one entry: always it";
}

struct TravelCase {
  const char* what;
  double value, first, second;
  int image, window;
  double displacement;
};

void PrintTo(const TravelCase& c, std::ostream* o) { *o << c.what; }

class MovingImageTravel : public testing::TestWithParam<TravelCase> {};

TEST_P(MovingImageTravel, ShowsTheRightPart) {
  const TravelCase& c = GetParam();
  EXPECT_NEAR(panel_host::moving_image_offset(c.value, c.first, c.second, c.image, c.window), c.displacement, 1e-6)
      << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, MovingImageTravel,
    testing::Values(
        TravelCase{"tape at 2678: its top rows", 2678, 2678, -8, 7151, 310, 0},
        TravelCase{"tape at -8: its bottom rows", -8, 2678, -8, 7151, 310, 6841},
        TravelCase{"tape at 250 kt", 250, 2678, -8, 7151, 310, (2678.0 - 250) / 2686 * 6841},
        TravelCase{"tape at 2700: held at the range's first value", 2700, 2678, -8, 7151, 310, 0},
        TravelCase{"tape below its range: held at the second value", -100, 2678, -8, 7151, 310, 6841},
        TravelCase{"tape at NaN: held at the first value", nan, 2678, -8, 7151, 310, 0},
        TravelCase{"fuel-flow bar half full", 25000, 0, 50000, 148, 74, 37},
        TravelCase{"fuel-flow bar past full", inf, 0, 50000, 148, 74, 74},
        TravelCase{"flap bar, a range running down, at 20", 20, 40, 0, 148, 74, 37},
        TravelCase{"flap bar at -5: held at 0", -5, 40, 0, 148, 74, 74},
        TravelCase{"an axis whose values are equal does not move", 5, 0, 0, 148, 74, 0},
        TravelCase{"nor for an infinite value", inf, 0, 0, 148, 74, 0}));

}  // namespace
