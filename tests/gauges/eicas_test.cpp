// Zazader_EICAS through its module.
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "gauge_under_test.h"

#ifndef ZAZ_MODULE_DIR
// Linked in: the module's own globals are within reach.
extern int32_t flap_degrees;
extern int32_t flap_detent;
#endif

namespace {

constexpr const char* module_name = "Zazader_EICAS";
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Tokens of the variables the elements read.
enum Token : uint32_t {
  power = 0x301,
  itt_left = 0x277,
  itt_right = 0x28A,
  oil_temp_left = 0x231,
  oil_temp_right = 0x23B,
  egt_left = 0x237,
  egt_right = 0x241,
  oil_pressure_left = 0x232,
  oil_pressure_right = 0x23C,
  fuel_total = 0x317,
  flow_left = 0x27E,
  flow_right = 0x291,
  flap_lever = 0x148,
  n1_left = 0x272,
  n1_right = 0x285,
  lever_left = 0x80,
  lever_right = 0xA3,
  n2_left = 0x273,
  n2_right = 0x286,
  tank_left = 0x130,
  tank_middle = 0x131,
  tank_right = 0x12F,
  battery_volts = 0x2F0,
  battery_amps = 0x2EF,
  flap_angle = 0x38B,
  spoiler_left = 0x146,
  spoiler_lever = 0x145,
  spoiler_right = 0x147,
  trim_elevator = 0x30F,
  trim_rudder = 0x313,
  trim_aileron = 0x311,
  gear_nose = 0x14C,
  gear_left = 0x14D,
  gear_right = 0x14E,
  hydraulic_right = 0x2DE,
  amps_right = 0x2FC,
  volts_right = 0x2FB,
  volts_left = 0x2F9,
  hydraulic_left = 0x2DC,
  amps_left = 0x2FA,
  ground_speed = 0x340,
  afterburner = 0x278,
};

constexpr std::size_t element_count = 83;
constexpr uint32_t shown_flags = 0x87, hidden_flags = 0x40000087;

bool is_negative_trim(std::size_t i) { return i == 48 || i == 50 || i == 52; }

// ------------------------------------------------------------------ power

struct PowerCase {
  const char* name;
  double power;
  bool on;
};

class EicasPower : public ::testing::TestWithParam<PowerCase> {};

TEST_P(EicasPower, ShowsOrDarkensTheDisplay) {
  const PowerCase& c = GetParam();
  GaugeUnderTest g(module_name);
  g.set(power, c.power);
  g.set(n1_left, 50);
  g.cycle();
  ASSERT_EQ(g.size(), element_count);
#ifndef ZAZ_MODULE_DIR
  EXPECT_EQ(frame::power_on, c.on ? 1 : 0);
#endif
  EXPECT_EQ(g.flags(0), 0x83u);          // the background has no callback
  EXPECT_EQ(g.flags(1), shown_flags);    // the overlay is never hidden...
  EXPECT_EQ(g.value(1), c.on ? 0 : 1);   // ...it swaps to its black image
  for (std::size_t i = 2; i < element_count; ++i) {
    // With every trim at 0 only the zero-or-positive text of each pair shows.
    const bool shown = c.on && !is_negative_trim(i);
    EXPECT_EQ(g.flags(i), shown ? shown_flags : hidden_flags) << "element " << i;
  }
  EXPECT_EQ(g.text(2), "050");  // printed whether shown or not
}

INSTANTIATE_TEST_SUITE_P(eicas, EicasPower,
                         ::testing::Values(PowerCase{"exactly_1", 1.0, true}, PowerCase{"zero", 0.0, false},
                                           PowerCase{"half", 0.5, false}, PowerCase{"just_below_1", 0.999, false},
                                           PowerCase{"just_above_1", 1.0001, false}, PowerCase{"two", 2.0, false},
                                           PowerCase{"minus_1", -1.0, false},
                                           PowerCase{"not_a_number", nan_value, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------- what the elements show, by area

enum class Field { text, value, x, y, flags };

struct Expect {
  std::size_t element;
  Field field;
  const char* text = nullptr;
  double number = 0;
};

Expect text(std::size_t e, const char* t) { return {e, Field::text, t}; }
Expect value(std::size_t e, double v) { return {e, Field::value, nullptr, v}; }
Expect x(std::size_t e, double v) { return {e, Field::x, nullptr, v}; }
Expect y(std::size_t e, double v) { return {e, Field::y, nullptr, v}; }
Expect shown(std::size_t e) { return {e, Field::flags, nullptr, shown_flags}; }
Expect hidden(std::size_t e) { return {e, Field::flags, nullptr, hidden_flags}; }

struct Input {
  uint32_t token;
  double value;
};

// Power on, the inputs set, one cycle; every other variable reads 0.
struct Case {
  const char* name;
  std::vector<Input> inputs;
  std::vector<Expect> expects;
};

void expect_number(double actual, double expected) {
  if (std::isnan(expected))
    EXPECT_TRUE(std::isnan(actual)) << actual;
  else
    EXPECT_EQ(actual, expected);
}

class EicasShows : public ::testing::TestWithParam<Case> {};

TEST_P(EicasShows, TheCase) {
  const Case& c = GetParam();
  GaugeUnderTest g(module_name);
  g.set(power, 1.0);
  for (const Input& in : c.inputs) g.set(in.token, in.value);
  g.cycle();
  for (const Expect& e : c.expects) {
    SCOPED_TRACE("element " + std::to_string(e.element));
    switch (e.field) {
      case Field::text: EXPECT_EQ(g.text(e.element), e.text); break;
      case Field::value: expect_number(g.value(e.element), e.number); break;
      case Field::x: expect_number(g.value_x(e.element), e.number); break;
      case Field::y: expect_number(g.value_y(e.element), e.number); break;
      case Field::flags: EXPECT_EQ(g.flags(e.element), static_cast<uint32_t>(e.number)); break;
    }
  }
}

std::string case_name(const ::testing::TestParamInfo<Case>& info) { return info.param.name; }

// Left and right take different values, so crossed slots show.
const Case dial_cases[] = {
    {"n1_115_limits_the_readout_only", {{n1_left, 115}, {n1_right, 57}},
     {text(2, "110"), value(4, 115), text(3, "057"), value(5, 57)}},
    {"n1_minus_3_reads_000", {{n1_left, -3}, {n1_right, 5.4}},
     {text(2, "000"), value(4, -3), text(3, "005"), value(5, 5.4)}},
    {"n1_99_6_reads_100", {{n1_left, 99.6}, {n1_right, 110.4}}, {text(2, "100"), text(3, "110")}},
    {"n1_not_a_number", {{n1_left, nan_value}}, {text(2, "---"), value(4, nan_value)}},
    // Needle values are ((v - 459.7) - 32.0) x 0.5556, left to right.
    {"itt_1500_reads_560", {{itt_left, 1500}, {itt_right, 491.7}},
     {text(8, "560"), value(10, 560.2114799999999), text(9, "000"), value(11, 0.0)}},
    {"itt_400_below_zero", {{itt_left, 400}, {itt_right, 2500}},
     {text(8, "000"), value(10, -50.948519999999995), text(9, "1100"), value(11, 1115.8114799999998)}},
    {"lever_minus_5_held_at_0", {{lever_left, -5}, {lever_right, 20000}}, {value(6, 0), value(7, 20000)}},
    {"lever_in_range", {{lever_left, 8192.5}, {lever_right, 0}}, {value(6, 8192.5), value(7, 0)}},
    {"ab_lit", {{afterburner, 1}}, {value(81, 1), value(82, 1)}},
    {"ab_dark", {{afterburner, 0}}, {value(81, 0), value(82, 0)}},
    {"ab_index_passes_unchanged", {{afterburner, 2.5}}, {value(81, 2.5), value(82, 2.5)}},
};
INSTANTIATE_TEST_SUITE_P(eicas_dials, EicasShows, ::testing::ValuesIn(dial_cases), case_name);

const Case row_cases[] = {
    {"n2", {{n2_left, 112}, {n2_right, -1}}, {text(12, "110"), text(13, "000")}},
    {"n2_57_3", {{n2_left, 57.3}, {n2_right, 110}}, {text(12, "057"), text(13, "110")}},
    {"egt_limits_at_999", {{egt_left, 2400}, {egt_right, 1500}}, {text(14, "999"), text(15, "560")}},
    {"egt_1200", {{egt_left, 1200}, {egt_right, 400}}, {text(14, "394"), text(15, "000")}},
    {"oil_temperature", {{oil_temp_left, 640}, {oil_temp_right, 700}}, {text(16, "82"), text(17, "99")}},
    {"oil_temperature_low", {{oil_temp_left, 480}, {oil_temp_right, 500}}, {text(16, "00"), text(17, "05")}},
    {"oil_pressure", {{oil_pressure_left, 8640}, {oil_pressure_right, 20000}}, {text(18, "60"), text(19, "99")}},
    {"oil_pressure_low", {{oil_pressure_left, -50}, {oil_pressure_right, 500}}, {text(18, "00"), text(19, "03")}},
    {"generator_volts", {{volts_left, 28}, {volts_right, 5}}, {text(20, "28.0"), text(21, "05.0")}},
    {"generator_volts_unlimited", {{volts_left, 123.4}, {volts_right, -3.2}}, {text(20, "123.4"), text(21, "-3.2")}},
    {"generator_amps", {{amps_left, 123.4}, {amps_right, 28}}, {text(22, "123.4"), text(23, "28.0")}},
    {"generator_amps_negative", {{amps_left, -3.2}, {amps_right, 5}}, {text(22, "-3.2"), text(23, "05.0")}},
    {"hydraulic", {{hydraulic_left, 432000}, {hydraulic_right, -144}}, {text(24, "2998"), text(25, "-001")}},
    {"hydraulic_unlimited", {{hydraulic_left, 100}, {hydraulic_right, 1000000}}, {text(24, "0001"), text(25, "6940")}},
};
INSTANTIATE_TEST_SUITE_P(eicas_rows, EicasShows, ::testing::ValuesIn(row_cases), case_name);

// RANGE: E = Q / (FL + FR) hours; the ground speed (m/s) counts in knots,
// so NM = E x knots and KM = E x (knots / 0.5399568).
const Case fuel_cases[] = {
    {"flows", {{flow_left, 1234.4}, {flow_right, 150000}},
     {text(26, "01234"), y(28, 1234.4), x(28, 0), text(27, "99999"), y(29, 50000), x(29, 0)}},
    {"flows_negative", {{flow_left, -20}, {flow_right, 25000}},
     {text(26, "00000"), y(28, 0), text(27, "25000"), y(29, 25000)}},
    {"tanks", {{tank_left, 812.6}, {tank_middle, 2000}, {tank_right, -3}},
     {text(33, "0813"), y(36, 812.6), text(34, "1500"), y(37, 1500), text(35, "0000"), y(38, 0)}},
    {"tanks_in_range", {{tank_left, 750}, {tank_middle, 0}, {tank_right, 1499.5}},
     {text(33, "0750"), y(36, 750), text(34, "0000"), y(37, 0), text(35, "1500"), y(38, 1499.5), x(37, 0)}},
    {"range_rows", {{fuel_total, 10000}, {flow_left, 2000}, {flow_right, 2000}, {ground_speed, 200}},
     {text(30, "02.50"), text(31, "01800"), text(32, "00972")}},
    {"endurance_of_500_hours_limits", {{fuel_total, 10000}, {flow_left, 10}, {flow_right, 10}, {ground_speed, 1}},
     {text(30, "99.99"), text(31, "01800"), text(32, "00972")}},
    {"range_limits", {{fuel_total, 100000}, {flow_left, 1}, {flow_right, 1}, {ground_speed, 300}},
     {text(30, "99.99"), text(31, "99999"), text(32, "99999")}},
    {"no_fuel", {{fuel_total, 0}, {flow_left, 100}, {flow_right, 100}, {ground_speed, 100}},
     {text(30, "00.00"), text(31, "00000"), text(32, "00000")}},
    {"no_flow_endless", {{fuel_total, 5000}, {flow_left, 0}, {flow_right, 0}, {ground_speed, 100}},
     {text(30, "99.99"), text(31, "99999"), text(32, "99999")}},
    {"no_flow_standing_still", {{fuel_total, 5000}, {flow_left, 0}, {flow_right, 0}, {ground_speed, 0}},
     {text(30, "99.99"), text(31, "-----"), text(32, "-----")}},
    {"no_fuel_over_no_flow", {{fuel_total, 0}, {flow_left, 0}, {flow_right, 0}, {ground_speed, 100}},
     {text(30, "-----"), text(31, "-----"), text(32, "-----")}},
    {"flows_cancelling_backwards", {{fuel_total, 5000}, {flow_left, 10}, {flow_right, -20}, {ground_speed, 100}},
     {text(30, "00.00"), text(31, "00000"), text(32, "00000")}},
};
INSTANTIATE_TEST_SUITE_P(eicas_fuel, EicasShows, ::testing::ValuesIn(fuel_cases), case_name);

const Case control_cases[] = {
    {"spoilers_full", {{spoiler_lever, 16384}, {spoiler_left, 16384}, {spoiler_right, 16384}},
     {y(40, 16384), y(42, 16384), y(41, 16384), y(43, 16384), text(39, "60"), x(40, 0), x(41, 0), x(42, 0), x(43, 0)}},
    {"spoilers_past_full", {{spoiler_lever, 20000}, {spoiler_left, 20000}, {spoiler_right, 20000}},
     {y(40, 16384), y(42, 16384), y(41, 16384), y(43, 16384), text(39, "73")}},
    {"spoilers_below_zero", {{spoiler_lever, -100}, {spoiler_left, -5}, {spoiler_right, -273}},
     {y(40, 0), y(42, 0), y(41, 0), y(43, 0), text(39, "-1")}},
    {"spoilers_apart", {{spoiler_lever, 4096}, {spoiler_left, 8000.5}, {spoiler_right, 9}},
     {y(40, 4096), y(42, 4096), y(41, 8000.5), y(43, 9), text(39, "00")}},
    {"flap_bar_full", {{flap_angle, 50}}, {y(46, 40), x(46, 0)}},
    {"flap_bar_dark", {{flap_angle, -5}}, {y(46, 0)}},
    {"flap_bar_between", {{flap_angle, 25.5}}, {y(46, 25.5)}},
    {"trims_past_the_limits", {{trim_elevator, 2}, {trim_rudder, -2}, {trim_aileron, 2}},
     {text(47, "+100.0"), shown(47), hidden(48), text(50, "-100.0"), shown(50), hidden(49), text(51, "+99.9"),
      shown(51), hidden(52)}},
    {"trims_past_the_limits_the_other_way", {{trim_elevator, -2}, {trim_rudder, 2}, {trim_aileron, -2}},
     {text(48, "-100.0"), shown(48), hidden(47), text(49, "+100.0"), text(52, "-99.9"), shown(52), hidden(51)}},
    {"trims_small_negative", {{trim_elevator, -0.0001}, {trim_rudder, -0.0001}, {trim_aileron, -0.0001}},
     {text(48, "-00.0"), shown(48), hidden(47), text(50, "-00.0"), hidden(49), text(52, "-00.0"), hidden(51)}},
    {"trims_zero", {{trim_elevator, 0}, {trim_rudder, 0}, {trim_aileron, 0}},
     {text(47, "+00.0"), shown(47), hidden(48), text(49, "+00.0"), hidden(50), text(51, "+00.0"), hidden(52)}},
    {"trims_negative_zero_print_plus", {{trim_elevator, -0.0}, {trim_rudder, -0.0}, {trim_aileron, -0.0}},
     {text(47, "+00.0"), shown(47), hidden(48), text(49, "+00.0"), shown(49), text(51, "+00.0"), shown(51)}},
    {"trims_2_5_degrees", {{trim_elevator, 0.0436332}, {trim_rudder, -0.0436332}, {trim_aileron, 0.0436332}},
     {text(47, "+02.5"), text(50, "-02.5"), shown(50), text(51, "+02.5")}},
    // Lands on 2.25 (printed rounding away) only with 57.29578, not 180/pi.
    {"trim_factor", {{trim_rudder, 0.039269905930082644}}, {text(49, "+02.3")}},
    {"trims_not_a_number_show_neither", {{trim_elevator, nan_value}},
     {hidden(47), hidden(48), text(48, "-----")}},
};
INSTANTIATE_TEST_SUITE_P(eicas_controls, EicasShows, ::testing::ValuesIn(control_cases), case_name);

const Case battery_cases[] = {
    {"one_leading_space", {{battery_volts, 24.3}, {battery_amps, 5}}, {text(56, " 24.3"), text(57, "  5.0")}},
    {"five_characters_exactly", {{battery_volts, 123.4}, {battery_amps, -3.2}}, {text(56, "123.4"), text(57, " -3.2")}},
    {"wider_than_five", {{battery_volts, 1000}, {battery_amps, -12.25}}, {text(56, "1000.0"), text(57, "-12.3")}},
    {"gears_apart", {{gear_nose, 16384}, {gear_left, 0}, {gear_right, 8000}},
     {value(54, 0), value(53, 2), value(55, 1)}},
};
INSTANTIATE_TEST_SUITE_P(eicas_gear_and_battery, EicasShows, ::testing::ValuesIn(battery_cases), case_name);

// ------------------------------------------------------------------- gear

struct GearCase {
  const char* name;
  double extension;
  double legend;  // 0 DOWN, 1 TRNST, 2 UP
};

class EicasGear : public ::testing::TestWithParam<GearCase> {};

TEST_P(EicasGear, LegendOfEveryGear) {
  const GearCase& c = GetParam();
  GaugeUnderTest g(module_name);
  g.set(power, 1.0);
  for (uint32_t token : {gear_left, gear_nose, gear_right}) g.set(token, c.extension);
  g.cycle();
  for (std::size_t i : {53u, 54u, 55u}) {
    EXPECT_EQ(g.value(i), c.legend) << "element " << i;
    EXPECT_EQ(g.flags(i), shown_flags) << "element " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    eicas, EicasGear,
    ::testing::Values(GearCase{"up_at_0", 0, 2}, GearCase{"up_at_9", 9, 2}, GearCase{"up_below_0", -100, 2},
                      GearCase{"transit_at_9_5", 9.5, 1}, GearCase{"transit_at_10", 10, 1},
                      GearCase{"transit_at_16374", 16374, 1}, GearCase{"down_at_16374_5", 16374.5, 0},
                      GearCase{"down_at_16384", 16384, 0}, GearCase{"down_past_16384", 20000, 0},
                      GearCase{"not_a_number_is_in_transit", nan_value, 1},
                      GearCase{"minus_infinity_up", -infinity, 2}, GearCase{"infinity_down", infinity, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------ flaps

struct FlapCase {
  const char* name;
  double lever;
  int32_t degrees;
  int32_t detent;
  const char* readout;
};

class EicasFlaps : public ::testing::TestWithParam<FlapCase> {};

TEST_P(EicasFlaps, PointerStepsAndReadoutRounds) {
  const FlapCase& c = GetParam();
  GaugeUnderTest g(module_name);
  g.set(power, 1.0);
  g.set(flap_lever, c.lever);
  g.cycle();
  EXPECT_EQ(g.value_y(45), c.detent);
  EXPECT_EQ(g.value_x(45), 0.0);
  EXPECT_EQ(g.flags(45), shown_flags);
  EXPECT_EQ(g.text(44), c.readout);
#ifndef ZAZ_MODULE_DIR
  EXPECT_EQ(flap_degrees, c.degrees);
  EXPECT_EQ(flap_detent, c.detent);
  // The horizontal callback alone writes them too.
  flap_degrees = flap_detent = -7;
  reinterpret_cast<host::SliderElement*>(g.at(45).record)->update_x(g.at(45).record);
  EXPECT_EQ(flap_degrees, c.degrees);
  EXPECT_EQ(flap_detent, c.detent);
#endif
}

INSTANTIATE_TEST_SUITE_P(
    eicas, EicasFlaps,
    ::testing::Values(FlapCase{"up", 0, 0, 0, "00"}, FlapCase{"just_short_of_10", 4095, 9, 0, "10"},
                      FlapCase{"short_of_10_by_less_than_a_single_step", 4095.9999, 9, 0, "10"},
                      FlapCase{"reads_10_points_at_0", 4000, 9, 0, "10"}, FlapCase{"exactly_10", 4096, 10, 10, "10"},
                      FlapCase{"exactly_20", 8192, 20, 20, "20"}, FlapCase{"exactly_30", 12288, 30, 30, "30"},
                      FlapCase{"exactly_40", 16384, 40, 40, "40"}, FlapCase{"past_full", 20000, 48, 40, "49"},
                      FlapCase{"below_up", -500, -1, 0, "-1"},
                      FlapCase{"not_a_number", nan_value, std::numeric_limits<int32_t>::min(), 0, "---"}),
    [](const auto& info) { return std::string(info.param.name); });

// --------------------------------------------------- the gauge as a whole

#ifndef ZAZ_MODULE_DIR
// Only the module's globals show this: the flap pointer rewrites them
// before it reads them back.
TEST(EicasGauge, FirstDrawClearsTheFlapGlobalsOnce) {
  GaugeUnderTest g(module_name);
  g.set(power, 1.0);
  g.set(flap_lever, 8192);
  frame::first_draw_done = 0;  // as at load
  g.cycle();
  EXPECT_EQ(g.value_y(45), 20.0);  // set by this cycle's update...
  EXPECT_EQ(flap_degrees, 0);      // ...and cleared by its draw
  EXPECT_EQ(flap_detent, 0);
  EXPECT_EQ(frame::power_on, 0);
  g.cycle();
  EXPECT_EQ(flap_degrees, 20);
  EXPECT_EQ(flap_detent, 20);
  EXPECT_EQ(frame::power_on, 1);
}

// Slots nobody reads are refreshed too, so only the table shows them.
TEST(EicasGauge, EverySlotRefreshedByItsToken) {
  constexpr uint32_t tokens[] = {
      0x277, 0x28A, 0x231, 0x23B, 0x237, 0x241, 0x232, 0x23C, 0x317, 0x27E, 0x291, 0x3D,  0x148, 0x149,
      0x160, 0x301, 0x0,   0x2EE, 0x272, 0x285, 0x80,  0xA3,  0x273, 0x286, 0x270, 0x283, 0x284, 0x282,
      0x130, 0x131, 0x12F, 0x2F0, 0x2EF, 0x38B, 0x146, 0x145, 0x147, 0x15E, 0x320, 0x30F, 0x313, 0x311,
      0x14C, 0x14D, 0x14E, 0x2DE, 0x2FC, 0x2FB, 0x2F9, 0x2DC, 0x2FA, 0x340, 0x387, 0x278,
  };
  ASSERT_EQ(module_gauge.variables.size(), std::size(tokens));
  GaugeUnderTest g(module_name);
  for (uint32_t t : tokens) g.set(t, 1000.0 + t);
  g.cycle();
  for (std::size_t i = 0; i < std::size(tokens); ++i) {
    EXPECT_EQ(module_gauge.variables[i].token, tokens[i]) << "slot " << i;
    EXPECT_EQ(module_gauge.variables[i].value, 1000.0 + tokens[i]) << "slot " << i;
  }
  EXPECT_EQ(module_gauge.power_slot, 15u);
}
#endif

// ----------------------------------------------------------------- labels

TEST(EicasGauge, CaptionsPushTheirNumberOutOfTheBox) {
  struct Label {
    std::size_t element;
    const char* text;
    std::size_t spaces;
  };
  const Label labels[] = {
      {58, "N1", 130},        {59, "ITT", 117},       {60, "N2", 123},         {61, "EGT", 124},
      {62, "OIL \xB0" "C", 120}, {63, "OIL PR", 112}, {64, "GEN VOLT", 105},   {65, "GEN AMPS", 123},
      {66, "HYDR. PR", 139},  {67, "FUEL PPH", 69},   {68, "RANGE", 61},       {69, "HR", 70},
      {70, "KM", 74},         {71, "NM", 81},         {72, "QUANT. GAL", 75},  {73, "SPOILER  FLAPS", 15},
      {74, "TRIM", 31},       {75, "ELEV.\xB0", 38},  {76, "RUDD.\xB0", 35},   {77, "AILER.\xB0", 38},
      {78, "GEAR", 40},       {79, "BATT V.", 34},    {80, "LOAD A.", 26},
  };
  GaugeUnderTest g(module_name);
  g.set(power, 1.0);
  g.cycle();
  for (const Label& l : labels) {
    EXPECT_EQ(g.text(l.element), std::string(l.text) + std::string(l.spaces, ' ') + "0") << "element " << l.element;
    EXPECT_EQ(g.flags(l.element), shown_flags) << "element " << l.element;
  }
}

// ----------------------------------------------------------------- layout

TEST(EicasGauge, NameAndTooltip) {
  GaugeUnderTest g(module_name);
  EXPECT_EQ(g.driver().name(), "Zazader_EICAS");
  EXPECT_EQ(g.driver().tooltip(), "EICAS");
  EXPECT_EQ(g.size(), element_count);
}

using host::ElementKind;

struct Place {
  ElementKind kind;
  uint32_t bitmap;
  int32_t x, y;
};

constexpr ElementKind image = ElementKind::static_image, icon = ElementKind::icon, needle = ElementKind::needle,
                      string = ElementKind::string, slider = ElementKind::slider,
                      moving = ElementKind::moving_image;
constexpr uint32_t no_bitmap = 0xFFFFFFFF;

// The chain in drawing order.
constexpr Place chain[element_count] = {
    {image, 0x3800, 0, 0},          {icon, 0x4900, 0, 0},           {string, no_bitmap, 90, 25},
    {string, no_bitmap, 218, 25},   {needle, 0x6100, 74, 77},       {needle, 0x1400, 203, 77},
    {needle, 0x1600, 74, 77},       {needle, 0x1700, 203, 77},      {string, no_bitmap, 90, 168},
    {string, no_bitmap, 216, 168},  {needle, 0x1800, 73, 216},      {needle, 0x1900, 202, 216},
    {string, no_bitmap, 38, 299},   {string, no_bitmap, 220, 299},  {string, no_bitmap, 38, 324},   // 12-14
    {string, no_bitmap, 220, 324},  {string, no_bitmap, 50, 349},   {string, no_bitmap, 220, 349},
    {string, no_bitmap, 50, 374},   {string, no_bitmap, 220, 374},  {string, no_bitmap, 27, 399},   // 18-20
    {string, no_bitmap, 220, 399},  {string, no_bitmap, 27, 424},   {string, no_bitmap, 220, 424},
    {string, no_bitmap, 29, 449},   {string, no_bitmap, 220, 449},  {string, no_bitmap, 316, 25},   // 24-26
    {string, no_bitmap, 390, 25},   {moving, 0x4200, 349, 56},      {moving, 0x2800, 403, 56},
    {string, no_bitmap, 369, 174},  {string, no_bitmap, 369, 199},  {string, no_bitmap, 369, 224},  // 30-32
    {string, no_bitmap, 315, 324},  {string, no_bitmap, 356, 299},  {string, no_bitmap, 400, 324},
    {moving, 0x3600, 365, 356},     {moving, 0x2000, 375, 356},     {moving, 0x2200, 385, 356},     // 36-38
    {string, no_bitmap, 529, 25},   {slider, 0x3400, 497, 123},     {moving, 0x1200, 512, 56},
    {slider, 0x3500, 571, 123},     {moving, 0x2600, 563, 56},      {string, no_bitmap, 607, 25},   // 42-44
    {slider, 0x3200, 594, 50},      {moving, 0x2400, 608, 56},      {string, no_bitmap, 590, 174},
    {string, no_bitmap, 592, 174},  {string, no_bitmap, 590, 199},  {string, no_bitmap, 592, 199},  // 48-50
    {string, no_bitmap, 590, 224},  {string, no_bitmap, 592, 224},  {icon, 0x6500, 497, 341},
    {icon, 0x6400, 538, 307},       {icon, 0x6600, 580, 341},       {string, no_bitmap, 590, 424},  // 54-56
    {string, no_bitmap, 590, 449},  {string, no_bitmap, 134, 0},    {string, no_bitmap, 130, 143},
    {string, no_bitmap, 134, 299},  {string, no_bitmap, 130, 324},  {string, no_bitmap, 118, 349},  // 60-62
    {string, no_bitmap, 116, 374},  {string, no_bitmap, 102, 399},  {string, no_bitmap, 100, 424},
    {string, no_bitmap, 103, 449},  {string, no_bitmap, 335, 0},    {string, no_bitmap, 349, 149},  // 66-68
    {string, no_bitmap, 329, 174},  {string, no_bitmap, 329, 199},  {string, no_bitmap, 329, 224},
    {string, no_bitmap, 324, 274},  {string, no_bitmap, 497, 0},    {string, no_bitmap, 551, 149},  // 72-74
    {string, no_bitmap, 497, 174},  {string, no_bitmap, 497, 199},  {string, no_bitmap, 497, 224},
    {string, no_bitmap, 549, 274},  {string, no_bitmap, 497, 424},  {string, no_bitmap, 497, 449},  // 78-80
    {icon, 0x4000, 87, 50},         {icon, 0x3100, 215, 50},
};

TEST(EicasGauge, ChainInDrawingOrder) {
  GaugeUnderTest g(module_name);
  ASSERT_EQ(g.size(), element_count);
  for (std::size_t i = 0; i < element_count; ++i) {
    SCOPED_TRACE("element " + std::to_string(i));
    const host::ElementHeader* e = g.at(i).record;
    EXPECT_EQ(e->kind, chain[i].kind);
    EXPECT_EQ(e->bitmap_id, chain[i].bitmap);
    EXPECT_EQ(e->x, chain[i].x);
    EXPECT_EQ(e->y, chain[i].y);
    if (e->kind != string) continue;
    // Every box reaches x = 662; labels are the light-blue captions 58 to 80.
    const auto* s = reinterpret_cast<const host::StringElement*>(e);
    const bool caption = i >= 58 && i <= 80;
    EXPECT_EQ(s->box_width, static_cast<uint32_t>(662 - e->x));
    EXPECT_EQ(s->box_height, caption ? 32u : 36u);
    EXPECT_STREQ(s->font_name, caption ? "Glass Gauge" : "Quartz");
    EXPECT_EQ(s->text_colour, caption ? 0x00FF871Cu : 0x00FFFFFFu);
    EXPECT_EQ(s->font_weight, i == 47 ? 100u : 400u);
  }
}

TEST(EicasGauge, NeedleTablesAndPivots) {
  struct Entry {
    int32_t x, y;
    double value;
  };
  struct NeedleTable {
    std::size_t element;
    Entry first, second;
  };
  const NeedleTable needles[] = {
      {4, {128, 101, 0}, {74, 22, 120}},    {5, {257, 101, 0}, {203, 21, 120}},
      {6, {128, 101, 0}, {40, 36, 16384}},  {7, {257, 101, 0}, {168, 36, 16384}},
      {10, {129, 242, 0}, {73, 164, 1000}}, {11, {257, 242, 0}, {202, 165, 1000}},
  };
  GaugeUnderTest g(module_name);
  std::set<const host::NonLinearity*> tables;
  for (const NeedleTable& n : needles) {
    SCOPED_TRACE("element " + std::to_string(n.element));
    const auto* e = reinterpret_cast<const host::NeedleElement*>(g.at(n.element).record);
    EXPECT_EQ(e->header.offset_x, 5);
    EXPECT_EQ(e->header.offset_y, 5);
    ASSERT_EQ(e->table_entries, 2u);
    EXPECT_TRUE(tables.insert(e->table).second) << "shares a table";  // the host writes the angles
    const Entry* expected[] = {&n.first, &n.second};
    for (int k = 0; k < 2; ++k) {
      EXPECT_EQ(e->table[k].x, expected[k]->x);
      EXPECT_EQ(e->table[k].y, expected[k]->y);
      EXPECT_EQ(e->table[k].value, expected[k]->value);
      EXPECT_EQ(e->table[k].angle, 0.0);
    }
  }
}

TEST(EicasGauge, SliderScalesRangesAndIconStates) {
  struct Scale {
    std::size_t element;
    double y;
  };
  const Scale sliders[] = {{40, -0.00445556640625}, {42, -0.00445556640625}, {45, 1.825}};
  struct Range {
    std::size_t element;
    double first, second;
  };
  const Range ranges[] = {{28, 0, 50000}, {29, 0, 50000}, {36, 0, 1500}, {37, 0, 1500}, {38, 0, 1500},
                          {41, 0, 16384}, {43, 9, 16384}, {46, 40, 0}};
  struct States {
    std::size_t element;
    uint32_t states;
  };
  const States icons[] = {{1, 2}, {53, 3}, {54, 3}, {55, 3}, {81, 2}, {82, 2}};

  GaugeUnderTest g(module_name);
  for (const Scale& s : sliders) {
    const auto* e = reinterpret_cast<const host::SliderElement*>(g.at(s.element).record);
    EXPECT_EQ(e->scale_x, 0.0) << "element " << s.element;
    EXPECT_EQ(e->scale_y, s.y) << "element " << s.element;
  }
  for (const Range& r : ranges) {
    const auto* e = reinterpret_cast<const host::MovingImageElement*>(g.at(r.element).record);
    EXPECT_EQ(e->range_x_first, 0.0) << "element " << r.element;
    EXPECT_EQ(e->range_x_second, 0.0) << "element " << r.element;
    EXPECT_EQ(e->range_y_first, r.first) << "element " << r.element;
    EXPECT_EQ(e->range_y_second, r.second) << "element " << r.element;
  }
  for (const States& s : icons)
    EXPECT_EQ(reinterpret_cast<const host::IconElement*>(g.at(s.element).record)->states, s.states)
        << "element " << s.element;
}

}  // namespace
