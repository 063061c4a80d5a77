// Zazader_Airspeed through its module.
#include <cmath>
#include <iomanip>
#include <limits>
#include <sstream>

#include "gauge_under_test.h"

namespace {

constexpr uint32_t airspeed_token = 0x3D, power_token = 0x301, mach_token = 0x40, ground_speed_token = 0x340,
                   selected_token = 0x74, speed_flag_token = 0x73, selected_mach_token = 0x76,
                   mach_flag_token = 0x75, maximum_token = 0x3F;
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

enum : std::size_t {
  background,
  tape,
  band,
  marker,
  readout_frame,
  airspeed_text,
  mach_text,
  mach_label,
  ground_speed_text,
  ground_speed_label,
  selected_speed_text,
  selected_mach_text,
  off_text,
  element_count
};

// What stands at the top of the tape.
enum Top : unsigned { nothing = 0, speed = 1, mach = 2, both = speed | mach, off = 4 };

// The defaults are a powered gauge at 250 knots with 240 as the maximum and
// 230 selected; each case names what it changes and what that changes.
struct Case {
  const char* name;
  double power = 1.0, airspeed = 250, maximum = 30720, selected = 230, speed_flag = 1, selected_mach = 0.65,
         mach_flag = 0, mach_slot = 16384, ground_speed = 100;
  bool powered = true;
  unsigned top = speed;
  double tape_y = 250, band_y = 56, marker_y = 66;
  const char* airspeed_text = "0250";
  const char* mach_text = "0.80";
  const char* ground_speed_text = "194";
  const char* selected_text = "230";
  const char* selected_mach_text = "0.65";
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// Bit-exact apart from NaN payloads: a NaN must come back a NaN, -0 is not 0.
::testing::AssertionResult same(const char* actual_expr, const char*, double actual, double expected) {
  const bool ok = std::isnan(expected) ? std::isnan(actual)
                                       : actual == expected && std::signbit(actual) == std::signbit(expected);
  if (ok) return ::testing::AssertionSuccess();
  std::ostringstream s;
  s << std::setprecision(17) << actual_expr << " is " << actual << ", expected " << expected;
  return ::testing::AssertionFailure() << s.str();
}

class Airspeed : public ::testing::TestWithParam<Case> {};

TEST_P(Airspeed, ShowsTheCase) {
  const Case& c = GetParam();
  GaugeUnderTest g("Zazader_Airspeed");
  g.set(power_token, c.power);
  g.set(airspeed_token, c.airspeed);
  g.set(maximum_token, c.maximum);
  g.set(selected_token, c.selected);
  g.set(speed_flag_token, c.speed_flag);
  g.set(selected_mach_token, c.selected_mach);
  g.set(mach_flag_token, c.mach_flag);
  g.set(mach_token, c.mach_slot);
  g.set(ground_speed_token, c.ground_speed);
  g.cycle();
  ASSERT_EQ(g.size(), std::size_t{element_count});

  EXPECT_EQ(g.flags(background), 0x83u);
  EXPECT_EQ(g.flags(readout_frame), 0x87u);  // lit, never hidden: the image choice blanks it
  EXPECT_EQ(g.value(readout_frame), c.powered ? 0.0 : 1.0);

  const auto shown = [&c](std::size_t i) {
    switch (i) {
      case marker:
      case selected_speed_text: return (c.top & speed) != 0;
      case selected_mach_text: return (c.top & mach) != 0;
      case off_text: return (c.top & off) != 0;
      default: return c.powered;
    }
  };
  for (std::size_t i = tape; i < element_count; ++i) {
    if (i == readout_frame) continue;
    EXPECT_EQ(g.flags(i), shown(i) ? 0x87u : 0x40000087u) << "element " << i;
  }

  // The host runs x before y, so y's visibility is what gets drawn; the x
  // callback on its own must agree.
  for (std::size_t i : {tape, band, marker}) {
    auto* m = reinterpret_cast<host::MovingImageElement*>(g.at(i).record);
    m->header.image_flags ^= host::image_hidden;
    EXPECT_PRED_FORMAT2(same, m->update_x(&m->header), 0.0) << "element " << i;
    EXPECT_EQ(m->header.image_flags, shown(i) ? 0x87u : 0x40000087u) << "x callback of element " << i;
  }
  EXPECT_PRED_FORMAT2(same, g.value_y(tape), c.tape_y);
  EXPECT_PRED_FORMAT2(same, g.value_y(band), c.band_y);
  EXPECT_PRED_FORMAT2(same, g.value_y(marker), c.marker_y);

  // Every text is written whether or not it is shown.
  EXPECT_EQ(g.text(airspeed_text), c.airspeed_text);
  EXPECT_EQ(g.text(mach_text), c.mach_text);
  EXPECT_EQ(g.text(mach_label), "M                  0");
  EXPECT_EQ(g.text(ground_speed_text), c.ground_speed_text);
  EXPECT_EQ(g.text(ground_speed_label), "GS                   0");
  EXPECT_EQ(g.text(selected_speed_text), c.selected_text);
  EXPECT_EQ(g.text(selected_mach_text), c.selected_mach_text);
  EXPECT_EQ(g.text(off_text), "OFF            0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Airspeed,
    ::testing::Values(
        Case{.name = "selected_speed_at_the_top"},

        // power_on is the power value truncated, and only 1 shows
        Case{.name = "power_0_hides_but_still_formats", .power = 0, .powered = false, .top = nothing},
        Case{.name = "power_0_99_hides", .power = 0.99, .powered = false, .top = nothing},
        Case{.name = "power_1_5_shows", .power = 1.5},
        Case{.name = "power_2_hides", .power = 2.0, .powered = false, .top = nothing},
        Case{.name = "power_minus_1_hides", .power = -1.0, .powered = false, .top = nothing},
        Case{.name = "power_nan_hides", .power = nan_value, .powered = false, .top = nothing},

        // tape and airspeed digits
        Case{.name = "airspeed_3000_holds_tape_at_2700", .airspeed = 3000, .tape_y = 2700, .band_y = 92,
             .marker_y = 92, .airspeed_text = "3000"},
        Case{.name = "airspeed_2690_passes_the_first_bound", .airspeed = 2690, .tape_y = 2690, .band_y = 92,
             .marker_y = 92, .airspeed_text = "2690"},
        Case{.name = "airspeed_minus_5_holds_tape_at_0", .airspeed = -5, .tape_y = 0, .band_y = 0, .marker_y = 0,
             .airspeed_text = "-005"},
        Case{.name = "airspeed_minus_3_digits_unlimited", .airspeed = -3, .tape_y = 0, .band_y = 0, .marker_y = 0,
             .airspeed_text = "-003"},
        Case{.name = "airspeed_nan_passes_through", .airspeed = nan_value, .tape_y = nan_value,
             .band_y = nan_value, .marker_y = nan_value, .airspeed_text = "----"},
        // the band's sum in its own order: (250.4 - 240) + 46, not (250.4 + 46) - 240
        Case{.name = "airspeed_250_4", .airspeed = 250.4, .tape_y = 250.4, .band_y = 56.400000000000006,
             .marker_y = 66.4, .airspeed_text = "0250"},
        Case{.name = "airspeed_99_6_rounds_up", .airspeed = 99.6, .tape_y = 99.6, .band_y = 0, .marker_y = 0,
             .airspeed_text = "0100"},
        Case{.name = "airspeed_12345_all_digits", .airspeed = 12345, .tape_y = 2700, .band_y = 92,
             .marker_y = 92, .airspeed_text = "12345"},
        // single precision turns it into the halfway 250.5 before printing;
        // the returned numbers keep double precision
        Case{.name = "airspeed_printed_in_single_precision", .airspeed = 250.49999999, .tape_y = 250.49999999,
             .band_y = 56.49999998999999, .marker_y = 66.49999998999999, .airspeed_text = "0251"},

        // overspeed band: 46 knots either side of the maximum
        Case{.name = "band_at_the_maximum", .maximum = 32000, .band_y = 46},
        Case{.name = "band_54_below_the_maximum", .airspeed = 200, .maximum = 38400, .tape_y = 200, .band_y = 0,
             .marker_y = 16, .airspeed_text = "0200"},
        Case{.name = "band_50_above_the_maximum", .airspeed = 300, .maximum = 32000, .tape_y = 300, .band_y = 92,
             .marker_y = 92, .airspeed_text = "0300"},
        Case{.name = "band_maximum_nan", .maximum = nan_value, .band_y = nan_value},

        // selected-speed marker
        Case{.name = "marker_selected_180", .airspeed = 200, .selected = 180, .tape_y = 200, .band_y = 6,
             .marker_y = 66, .airspeed_text = "0200", .selected_text = "180"},
        Case{.name = "marker_selected_300_held_at_top", .airspeed = 200, .selected = 300, .tape_y = 200,
             .band_y = 6, .marker_y = 0, .airspeed_text = "0200", .selected_text = "300"},
        Case{.name = "marker_selected_100_held_at_bottom", .airspeed = 200, .selected = 100, .tape_y = 200,
             .band_y = 6, .marker_y = 92, .airspeed_text = "0200", .selected_text = "100"},
        Case{.name = "selected_85_three_digits", .selected = 85, .marker_y = 92, .selected_text = "085"},

        // the two flags and the top of the tape
        Case{.name = "selected_mach_at_the_top", .speed_flag = 0, .selected_mach = 0.8, .mach_flag = 1,
             .top = mach, .selected_mach_text = "0.80"},
        Case{.name = "neither_selected_shows_off", .speed_flag = 0, .mach_flag = 0, .top = off},
        Case{.name = "negative_zero_flags_count_as_0", .speed_flag = -0.0, .mach_flag = -0.0, .top = off},
        Case{.name = "both_selected_show_together", .speed_flag = 1, .mach_flag = 1, .top = both},
        Case{.name = "speed_flag_0_5_shows_nothing", .speed_flag = 0.5, .top = nothing},
        Case{.name = "speed_flag_2_shows_nothing", .speed_flag = 2, .top = nothing},
        Case{.name = "speed_flag_nan_shows_nothing", .speed_flag = nan_value, .top = nothing},
        Case{.name = "mach_flag_0_5_shows_nothing", .speed_flag = 0, .mach_flag = 0.5, .top = nothing},
        Case{.name = "mach_flag_2_shows_nothing", .speed_flag = 0, .mach_flag = 2, .top = nothing},
        Case{.name = "mach_flag_nan_shows_nothing", .speed_flag = 0, .mach_flag = nan_value, .top = nothing},
        Case{.name = "mach_flag_nan_keeps_selected_speed", .speed_flag = 1, .mach_flag = nan_value},
        Case{.name = "off_needs_power", .power = 0, .speed_flag = 0, .mach_flag = 0, .powered = false,
             .top = nothing},

        // Mach and ground speed, never below zero
        Case{.name = "mach_1", .mach_slot = 20480, .mach_text = "1.00"},
        Case{.name = "mach_negative", .mach_slot = -500, .mach_text = "0.00"},
        Case{.name = "mach_negative_below_single_range", .mach_slot = -1e-300, .mach_text = "0.00"},
        Case{.name = "mach_nan", .mach_slot = nan_value, .mach_text = "----"},
        Case{.name = "ground_speed_minus_1", .ground_speed = -1, .ground_speed_text = "000"},
        Case{.name = "ground_speed_negative_below_single_range", .ground_speed = -1e-300,
             .ground_speed_text = "000"},
        Case{.name = "ground_speed_nan", .ground_speed = nan_value, .ground_speed_text = "---"}),
    [](const auto& info) { return std::string(info.param.name); });

// The records as the host reads them: where each element sits and what it draws.
TEST(AirspeedGauge, Records) {
  GaugeUnderTest g("Zazader_Airspeed");
  EXPECT_EQ(g.driver().name(), "Zazader_Airspeed");
  EXPECT_EQ(g.driver().tooltip(), "Airspeed");
  ASSERT_EQ(g.size(), std::size_t{element_count});

  using K = host::ElementKind;
  struct Placed {
    K kind;
    uint32_t bitmap;
    int32_t x, y;
  };
  const Placed placed[element_count] = {
      {K::static_image, 0x0100, 0, 0}, {K::moving_image, 0x1400, 34, 0}, {K::moving_image, 0x1600, 34, 38},
      {K::moving_image, 0x1800, 80, 39}, {K::icon, 0x1200, 1, 0},       {K::string, 0xFFFFFFFF, 5, 138},
      {K::string, 0xFFFFFFFF, 40, 275},  {K::string, 0xFFFFFFFF, 17, 278}, {K::string, 0xFFFFFFFF, 51, 303},
      {K::string, 0xFFFFFFFF, 17, 303},  {K::string, 0xFFFFFFFF, 51, 6},  {K::string, 0xFFFFFFFF, 46, 6},
      {K::string, 0xFFFFFFFF, 50, 6},
  };
  for (std::size_t i = 0; i < element_count; ++i) {
    const host::ElementHeader* e = g.at(i).record;
    EXPECT_EQ(e->kind, placed[i].kind) << "element " << i;
    EXPECT_EQ(e->bitmap_id, placed[i].bitmap) << "element " << i;
    EXPECT_EQ(e->x, placed[i].x) << "element " << i;
    EXPECT_EQ(e->y, placed[i].y) << "element " << i;
  }

  struct Range {
    std::size_t element;
    double y_first, y_second;
  };
  for (const Range& r : {Range{tape, 2678, -8}, Range{band, 92, 0}, Range{marker, 92, 0}}) {
    const auto* m = reinterpret_cast<const host::MovingImageElement*>(g.at(r.element).record);
    EXPECT_EQ(m->range_x_first, 0.0) << "element " << r.element;
    EXPECT_EQ(m->range_x_second, 0.0) << "element " << r.element;
    EXPECT_EQ(m->range_y_first, r.y_first) << "element " << r.element;
    EXPECT_EQ(m->range_y_second, r.y_second) << "element " << r.element;
  }

  EXPECT_EQ(reinterpret_cast<const host::IconElement*>(g.at(readout_frame).record)->states, 2u);

  constexpr uint32_t green = 0x0000FF00, light_blue = 0x00FF871C, white = 0x00FFFFFF, magenta = 0x00FF00FF;
  struct Text {
    std::size_t element;
    uint32_t width, height, colour;
    const char* font;
  };
  const Text texts[] = {
      {airspeed_text, 98, 50, green, "Quartz"},          {mach_text, 63, 44, green, "Quartz"},
      {mach_label, 86, 32, light_blue, "Glass Gauge"},   {ground_speed_text, 52, 36, white, "Quartz"},
      {ground_speed_label, 86, 32, light_blue, "Glass Gauge"}, {selected_speed_text, 52, 36, magenta, "Quartz"},
      {selected_mach_text, 57, 36, magenta, "Quartz"},   {off_text, 53, 36, magenta, "Quartz"},
  };
  for (const Text& t : texts) {
    const auto* s = reinterpret_cast<const host::StringElement*>(g.at(t.element).record);
    EXPECT_EQ(s->box_width, t.width) << "element " << t.element;
    EXPECT_EQ(s->box_height, t.height) << "element " << t.element;
    EXPECT_EQ(s->text_colour, t.colour) << "element " << t.element;
    EXPECT_EQ(s->background_colour | s->highlight_colour, 0u) << "element " << t.element;
    EXPECT_STREQ(s->font_name, t.font) << "element " << t.element;
    EXPECT_EQ(s->font_weight, 400u) << "element " << t.element;
    EXPECT_EQ(s->character_set, 1u) << "element " << t.element;
  }
}

}  // namespace
