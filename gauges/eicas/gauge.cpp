// Zazader_EICAS: the engine indication and systems display.
#include <cmath>
#include <utility>

#include "zaz/frame.h"
#include "zaz/records.h"
#include "zaz/units.h"

// Written by the flap pointer's callbacks, cleared by the first pre-draw.
int32_t flap_degrees = 0;
int32_t flap_detent = 0;

namespace {

// ------------------------------------------------------------ variables

enum Slot : std::size_t {
  itt_left = 0,
  itt_right = 1,
  oil_temp_left = 2,
  oil_temp_right = 3,
  egt_left = 4,
  egt_right = 5,
  oil_pressure_left = 6,
  oil_pressure_right = 7,
  fuel_total = 8,
  flow_left = 9,
  flow_right = 10,
  flap_lever = 12,
  power = 15,
  n1_left = 18,
  n1_right = 19,
  lever_left = 20,
  lever_right = 21,
  n2_left = 22,
  n2_right = 23,
  tank_left = 28,
  tank_middle = 29,
  tank_right = 30,
  battery_volts = 31,
  battery_amps = 32,
  flap_angle = 33,
  spoiler_left = 34,
  spoiler_lever = 35,
  spoiler_right = 36,
  trim_elevator = 39,
  trim_rudder = 40,
  trim_aileron = 41,
  gear_nose = 42,
  gear_left = 43,
  gear_right = 44,
  hydraulic_right = 45,
  amps_right = 46,
  volts_right = 47,
  volts_left = 48,
  hydraulic_left = 49,
  amps_left = 50,
  ground_speed = 51,
  afterburner = 53,
};

// Slots no element reads are refreshed all the same.
host::ModuleVar module_var_table[] = {
    {.token = 0x277},  //  0 left ITT, Rankine
    {.token = 0x28A},  //  1 right ITT, Rankine
    {.token = 0x231},  //  2 left oil temperature, Rankine
    {.token = 0x23B},  //  3 right oil temperature, Rankine
    {.token = 0x237},  //  4 left EGT, Rankine
    {.token = 0x241},  //  5 right EGT, Rankine
    {.token = 0x232},  //  6 left oil pressure, psf
    {.token = 0x23C},  //  7 right oil pressure, psf
    {.token = 0x317},  //  8 total fuel
    {.token = 0x27E},  //  9 left fuel flow, pph
    {.token = 0x291},  // 10 right fuel flow, pph
    {.token = 0x3D},   // 11
    {.token = 0x148},  // 12 flap lever, 0..16384
    {.token = 0x149},  // 13
    {.token = 0x160},  // 14
    {.token = 0x301},  // 15 power
    {.token = 0x0},    // 16
    {.token = 0x2EE},  // 17
    {.token = 0x272},  // 18 left N1, percent
    {.token = 0x285},  // 19 right N1, percent
    {.token = 0x80},   // 20 left lever, 0..16384
    {.token = 0xA3},   // 21 right lever, 0..16384
    {.token = 0x273},  // 22 left N2, percent
    {.token = 0x286},  // 23 right N2, percent
    {.token = 0x270},  // 24
    {.token = 0x283},  // 25
    {.token = 0x284},  // 26
    {.token = 0x282},  // 27
    {.token = 0x130},  // 28 left tank, gallons
    {.token = 0x131},  // 29 middle tank, gallons
    {.token = 0x12F},  // 30 right tank, gallons
    {.token = 0x2F0},  // 31 battery volts
    {.token = 0x2EF},  // 32 battery amps
    {.token = 0x38B},  // 33 flap angle, degrees
    {.token = 0x146},  // 34 left spoiler, 0..16384
    {.token = 0x145},  // 35 spoiler lever, 0..16384
    {.token = 0x147},  // 36 right spoiler, 0..16384
    {.token = 0x15E},  // 37
    {.token = 0x320},  // 38
    {.token = 0x30F},  // 39 elevator trim, radians
    {.token = 0x313},  // 40 rudder trim, radians
    {.token = 0x311},  // 41 aileron trim, radians
    {.token = 0x14C},  // 42 nose gear, 0 up..16384 down
    {.token = 0x14D},  // 43 left main gear
    {.token = 0x14E},  // 44 right main gear
    {.token = 0x2DE},  // 45 right hydraulic pressure, psf
    {.token = 0x2FC},  // 46 right generator amps
    {.token = 0x2FB},  // 47 right generator volts
    {.token = 0x2F9},  // 48 left generator volts
    {.token = 0x2DC},  // 49 left hydraulic pressure, psf
    {.token = 0x2FA},  // 50 left generator amps
    {.token = 0x340},  // 51 ground speed, m/s
    {.token = 0x387},  // 52
    {.token = 0x278},  // 53 both AB legends
};
static_assert(std::size(module_var_table) == 54);

// ---------------------------------------------------------- conversions

double rankine_to_celsius(double v) { return ((v - 459.7) - 32.0) * 0.5556; }

template <Slot S>
double celsius(const host::ElementHeader*) {
  return rankine_to_celsius(frame::slot(S));
}

// Pounds per square foot to pounds per square inch.
template <Slot S>
double psi(const host::ElementHeader*) {
  return frame::slot(S) * 0.00694;
}

// --------------------------------------------------------- engine dials

// N1 and N2, in percent.
template <Slot S>
constexpr frame::Readout percent_text{
    .value = frame::slot_value<S>, .limits = {.low = 0, .high = 110}, .format = "%03.0f"};
template <Slot S>
constexpr frame::Pointer n1_needle{.value = frame::slot_value<S>};
template <Slot S>
constexpr frame::Pointer lever_needle{.value = frame::slot_value<S>, .limits = {.low = 0}};
template <Slot S>
constexpr frame::Readout itt_text{.value = celsius<S>, .limits = {.low = 0, .high = 1100}, .format = "%03.0f"};
template <Slot S>
constexpr frame::Pointer itt_needle{.value = celsius<S>};

// Each needle owns its table: the host writes the angle fields.
struct NeedleTables {
  host::NonLinearity n1_left[2], n1_right[2], lever_left[2], lever_right[2], itt_left[2], itt_right[2];
};
NeedleTables tables = {
    .n1_left = {{128, 101, 0, 0}, {74, 22, 120, 0}},
    .n1_right = {{257, 101, 0, 0}, {203, 21, 120, 0}},
    .lever_left = {{128, 101, 0, 0}, {40, 36, 16384, 0}},
    .lever_right = {{257, 101, 0, 0}, {168, 36, 16384, 0}},
    .itt_left = {{129, 242, 0, 0}, {73, 164, 1000, 0}},
    .itt_right = {{257, 242, 0, 0}, {202, 165, 1000, 0}},
};

// ------------------------------------------------ engine and system rows

template <Slot S>
constexpr frame::Readout egt_text{.value = celsius<S>, .limits = {.low = 0, .high = 999}, .format = "%03.0f"};
template <Slot S>
constexpr frame::Readout oil_temp_text{.value = celsius<S>, .limits = {.low = 0, .high = 99}, .format = "%02.0f"};
template <Slot S>
constexpr frame::Readout oil_pressure_text{.value = psi<S>, .limits = {.low = 0, .high = 99}, .format = "%02.0f"};
template <Slot S>
constexpr frame::Readout generator_text{.value = frame::slot_value<S>, .format = "%04.1f"};
template <Slot S>
constexpr frame::Readout hydraulic_text{.value = psi<S>, .format = "%04.0f"};

// ----------------------------------------------------------------- fuel

double endurance_hours() { return frame::slot(fuel_total) / (frame::slot(flow_left) + frame::slot(flow_right)); }

// Distance per hour of endurance comes from the ground speed in knots
// (nautical miles per hour); kilometres are nautical miles over
// 0.5399568, the nautical miles in one kilometre.
double ground_speed_knots() { return frame::knots_from_metres_per_second(frame::slot(ground_speed)); }

double endurance(const host::ElementHeader*) { return endurance_hours(); }
double range_km(const host::ElementHeader*) { return endurance_hours() * (ground_speed_knots() / 0.5399568); }
double range_nm(const host::ElementHeader*) { return endurance_hours() * ground_speed_knots(); }

template <Slot S>
constexpr frame::Readout flow_text{
    .value = frame::slot_value<S>, .limits = {.low = 0, .high = 99999}, .format = "%05.0f"};
template <Slot S>
constexpr frame::Pointer flow_bar{.value = frame::slot_value<S>, .limits = {.low = 0, .high = 50000}};

constexpr frame::Readout endurance_text{
    .value = endurance,
    .limits = {.low = 0, .high = 99.99, .high_value = frame::to_single(99.99)},  // 99.98999786376953
    .format = "%05.2f"};
constexpr frame::Readout range_km_text{.value = range_km, .limits = {.low = 0, .high = 99999}, .format = "%05.0f"};
constexpr frame::Readout range_nm_text{.value = range_nm, .limits = {.low = 0, .high = 99999}, .format = "%05.0f"};

template <Slot S>
constexpr frame::Readout tank_text{
    .value = frame::slot_value<S>, .limits = {.low = 0, .high = 1500}, .format = "%04.0f"};
template <Slot S>
constexpr frame::Pointer tank_bar{.value = frame::slot_value<S>, .limits = {.low = 0, .high = 1500}};

// ---------------------------------------------- spoilers, flaps, trims

// The lever moves 409.6 units a degree; the readout rounds where the
// pointer truncates, so 4000 reads 10 with the pointer still at 0.
double flap_lever_degrees(const host::ElementHeader*) { return frame::slot(flap_lever) / 409.6; }
// About 273 units a degree, 60 degrees at full travel.
double spoiler_degrees(const host::ElementHeader*) { return frame::slot(spoiler_right) / 273.0; }

constexpr frame::Readout flap_text{.value = flap_lever_degrees, .format = "%02.0f"};
constexpr frame::Readout spoiler_text{.value = spoiler_degrees, .format = "%02.0f"};

template <Slot S>
constexpr frame::Pointer travel{.value = frame::slot_value<S>, .limits = {.low = 0, .high = 16384}};
constexpr frame::Pointer flap_bar{.value = frame::slot_value<flap_angle>, .limits = {.low = 0, .high = 40}};

// The pointer steps between the five marks of the flap scale.
int32_t detent_of(int32_t degrees) {
  if (degrees >= 40) return 40;
  if (degrees >= 30) return 30;
  if (degrees >= 20) return 20;
  if (degrees >= 10) return 10;
  return 0;
}

void update_flap_state() {
  flap_degrees = frame::truncate_to_int32(frame::slot(flap_lever) / 409.6);
  flap_detent = detent_of(flap_degrees);
}

double ZAZ_HOSTAPI flap_pointer_x(host::ElementHeader* e) {
  update_flap_state();
  frame::apply_power_rule(e);
  return frame::own_source_value(e);
}

double ZAZ_HOSTAPI flap_pointer_y(host::ElementHeader* e) {
  update_flap_state();
  frame::apply_power_rule(e);
  return flap_detent;
}

template <Slot S>
double trim_degrees(const host::ElementHeader*) {
  return frame::slot(S) * 57.29578;
}

// A bound past +-99.99 (+-99.9 for the aileron) becomes its single-precision
// neighbour. The lower bound is that single outright: the value compared is
// single precision already, and no single lies between the double bound
// and its nearest single.
constexpr frame::Limits trim_limits{
    .low = frame::to_single(-99.99), .high = 99.99, .high_value = frame::to_single(99.99)};
constexpr frame::Limits aileron_limits{
    .low = frame::to_single(-99.9), .high = 99.9, .high_value = frame::to_single(99.9)};

template <Slot S, const frame::Limits& L>
constexpr frame::SignedTwin trim_text{
    .value = trim_degrees<S>, .limits = L, .positive_format = "+%04.1f", .negative_format = "%05.1f"};
constexpr const frame::SignedTwin& elevator_trim = trim_text<trim_elevator, trim_limits>;
constexpr const frame::SignedTwin& rudder_trim = trim_text<trim_rudder, trim_limits>;
constexpr const frame::SignedTwin& aileron_trim = trim_text<trim_aileron, aileron_limits>;
constexpr bool zero_or_positive = false, negative = true;

// ----------------------------------------------------- gear and battery

enum GearLegend { down = 0, in_transit = 1, up = 2 };

// Up or down only within the last 10 units of travel. A reading that is
// not a number claims neither.
template <Slot S>
double gear_legend(const host::ElementHeader*) {
  const double v = frame::slot(S);
  if (std::isnan(v)) return in_transit;
  if (v <= 9) return up;
  if (v <= 16374) return in_transit;
  return down;
}

template <Slot S>
constexpr frame::Readout battery_text{.value = frame::slot_value<S>, .format = "%5.1f"};

// --------------------------------------------------------------- labels

// A caption's format: its text, a run of spaces and "%.0f", so that the
// printed 0 lands past the box's right edge. caption<"N1", 130> is "N1",
// 130 spaces and "%.0f", as one array of static storage.
template <std::size_t N>
struct Literal {
  char chars[N];
  constexpr Literal(const char (&text)[N]) {
    for (std::size_t i = 0; i < N; ++i) chars[i] = text[i];
  }
};

template <Literal Text, std::size_t Spaces>
constexpr char caption_char(std::size_t i) {
  constexpr std::size_t length = sizeof Text.chars - 1;
  constexpr char conversion[] = "%.0f";
  if (i < length) return Text.chars[i];
  if (i < length + Spaces) return ' ';
  return conversion[i - length - Spaces];
}

template <Literal Text, std::size_t Spaces, std::size_t... I>
constexpr char caption_chars[] = {caption_char<Text, Spaces>(I)...};

template <Literal Text, std::size_t Spaces, std::size_t... I>
constexpr auto& spell_caption(std::index_sequence<I...>) {
  return caption_chars<Text, Spaces, I...>;
}

template <Literal Text, std::size_t Spaces>
constexpr auto& caption = spell_caption<Text, Spaces>(std::make_index_sequence<sizeof Text.chars - 1 + Spaces + 5>{});

// ----------------------------------------------------------------- text

constexpr uint32_t white = 0x00FFFFFF, light_blue = 0x00FF871C;
constexpr int32_t text_edge = 662;  // every box ends two pixels past the display

constexpr frame::StringRow value_text(int32_t x, int32_t y, host::UpdateCallback update, uint32_t weight = 400) {
  return {.x = x, .y = y, .width = static_cast<uint32_t>(text_edge - x), .height = 36, .colour = white,
          .font = "Quartz", .weight = weight, .update = update};
}

constexpr frame::StringRow label_text(int32_t x, int32_t y, host::UpdateCallback update) {
  return {.x = x, .y = y, .width = static_cast<uint32_t>(text_edge - x), .height = 32, .colour = light_blue,
          .font = "Glass Gauge", .weight = 400, .update = update};
}

// ---------------------------------------------------------------- chain

struct Chain {
  host::StaticImageElement background;
  host::IconElement overlay;
  host::StringElement n1_left_text, n1_right_text;
  host::NeedleElement n1_left_needle, n1_right_needle;
  host::NeedleElement lever_left_pointer, lever_right_pointer;
  host::StringElement itt_left_text, itt_right_text;
  host::NeedleElement itt_left_needle, itt_right_needle;
  host::StringElement n2_left_text, n2_right_text;
  host::StringElement egt_left_text, egt_right_text;
  host::StringElement oil_temp_left_text, oil_temp_right_text;
  host::StringElement oil_pressure_left_text, oil_pressure_right_text;
  host::StringElement volts_left_text, volts_right_text;
  host::StringElement amps_left_text, amps_right_text;
  host::StringElement hydraulic_left_text, hydraulic_right_text;
  host::StringElement flow_left_text, flow_right_text;
  host::MovingImageElement flow_left_bar, flow_right_bar;
  host::StringElement endurance_text, range_km_text, range_nm_text;
  host::StringElement tank_left_text, tank_middle_text, tank_right_text;
  host::MovingImageElement tank_left_bar, tank_middle_bar, tank_right_bar;
  host::StringElement spoiler_text;
  host::SliderElement spoiler_left_pointer;
  host::MovingImageElement spoiler_left_bar;
  host::SliderElement spoiler_right_pointer;
  host::MovingImageElement spoiler_right_bar;
  host::StringElement flap_text;
  host::SliderElement flap_pointer;
  host::MovingImageElement flap_bar;
  host::StringElement elevator_trim_text, elevator_trim_negative_text;
  host::StringElement rudder_trim_text, rudder_trim_negative_text;
  host::StringElement aileron_trim_text, aileron_trim_negative_text;
  host::IconElement gear_left_legend, gear_nose_legend, gear_right_legend;
  host::StringElement battery_volts_text, battery_amps_text;
  host::StringElement n1_label, itt_label, n2_label, egt_label, oil_temp_label, oil_pressure_label;
  host::StringElement gen_volts_label, gen_amps_label, hydraulic_label;
  host::StringElement fuel_flow_label, range_label, hr_label, km_label, nm_label, quantity_label;
  host::StringElement spoiler_flaps_label, trim_label, elevator_label, rudder_label, aileron_label;
  host::StringElement gear_label, battery_volts_label, battery_load_label;
  host::IconElement ab_left_legend, ab_right_legend;
};
extern Chain chain;

constexpr host::ElementHeader* order[] = {
    &chain.background.header,              // 0
    &chain.overlay.header,                 // 1
    &chain.n1_left_text.header,            // 2
    &chain.n1_right_text.header,           // 3
    &chain.n1_left_needle.header,          // 4
    &chain.n1_right_needle.header,         // 5
    &chain.lever_left_pointer.header,      // 6
    &chain.lever_right_pointer.header,     // 7
    &chain.itt_left_text.header,           // 8
    &chain.itt_right_text.header,          // 9
    &chain.itt_left_needle.header,         // 10
    &chain.itt_right_needle.header,        // 11
    &chain.n2_left_text.header,            // 12
    &chain.n2_right_text.header,           // 13
    &chain.egt_left_text.header,           // 14
    &chain.egt_right_text.header,          // 15
    &chain.oil_temp_left_text.header,      // 16
    &chain.oil_temp_right_text.header,     // 17
    &chain.oil_pressure_left_text.header,  // 18
    &chain.oil_pressure_right_text.header, // 19
    &chain.volts_left_text.header,         // 20
    &chain.volts_right_text.header,        // 21
    &chain.amps_left_text.header,          // 22
    &chain.amps_right_text.header,         // 23
    &chain.hydraulic_left_text.header,     // 24
    &chain.hydraulic_right_text.header,    // 25
    &chain.flow_left_text.header,          // 26
    &chain.flow_right_text.header,         // 27
    &chain.flow_left_bar.header,           // 28
    &chain.flow_right_bar.header,          // 29
    &chain.endurance_text.header,          // 30
    &chain.range_km_text.header,           // 31
    &chain.range_nm_text.header,           // 32
    &chain.tank_left_text.header,          // 33
    &chain.tank_middle_text.header,        // 34
    &chain.tank_right_text.header,         // 35
    &chain.tank_left_bar.header,           // 36
    &chain.tank_middle_bar.header,         // 37
    &chain.tank_right_bar.header,          // 38
    &chain.spoiler_text.header,            // 39
    &chain.spoiler_left_pointer.header,    // 40
    &chain.spoiler_left_bar.header,        // 41
    &chain.spoiler_right_pointer.header,   // 42
    &chain.spoiler_right_bar.header,       // 43
    &chain.flap_text.header,               // 44
    &chain.flap_pointer.header,            // 45
    &chain.flap_bar.header,                // 46
    &chain.elevator_trim_text.header,      // 47
    &chain.elevator_trim_negative_text.header,  // 48
    &chain.rudder_trim_text.header,        // 49
    &chain.rudder_trim_negative_text.header,    // 50
    &chain.aileron_trim_text.header,       // 51
    &chain.aileron_trim_negative_text.header,   // 52
    &chain.gear_left_legend.header,        // 53
    &chain.gear_nose_legend.header,        // 54
    &chain.gear_right_legend.header,       // 55
    &chain.battery_volts_text.header,      // 56
    &chain.battery_amps_text.header,       // 57
    &chain.n1_label.header,                // 58
    &chain.itt_label.header,               // 59
    &chain.n2_label.header,                // 60
    &chain.egt_label.header,               // 61
    &chain.oil_temp_label.header,          // 62
    &chain.oil_pressure_label.header,      // 63
    &chain.gen_volts_label.header,         // 64
    &chain.gen_amps_label.header,          // 65
    &chain.hydraulic_label.header,         // 66
    &chain.fuel_flow_label.header,         // 67
    &chain.range_label.header,             // 68
    &chain.hr_label.header,                // 69
    &chain.km_label.header,                // 70
    &chain.nm_label.header,                // 71
    &chain.quantity_label.header,          // 72
    &chain.spoiler_flaps_label.header,     // 73
    &chain.trim_label.header,              // 74
    &chain.elevator_label.header,          // 75
    &chain.rudder_label.header,            // 76
    &chain.aileron_label.header,           // 77
    &chain.gear_label.header,              // 78
    &chain.battery_volts_label.header,     // 79
    &chain.battery_load_label.header,      // 80
    &chain.ab_left_legend.header,          // 81
    &chain.ab_right_legend.header,         // 82
};
static_assert(std::size(order) == 83);
constinit frame::ChainLinks<std::size(order)> links = frame::link(order);
constexpr frame::Wiring<std::size(order)> wire{&gauge_header, links};

using frame::label;
using frame::own_value;
using frame::readout;
using frame::signed_twin;
using frame::value_pointer;

constexpr double spoiler_scale = -73.0 / 16384.0;  // 73 pixels up at full travel
constexpr double flap_scale = 1.825;               // 73 pixels down at detent 40

Chain chain = {
    .background = wire.static_image(0, {.bitmap = 0x3800, .x = 0, .y = 0}),
    .overlay = wire.icon(1, {.bitmap = 0x4900, .x = 0, .y = 0, .states = 2, .update = frame::overlay_icon}),

    // Engine dials
    .n1_left_text = wire.string(2, value_text(90, 25, readout<percent_text<n1_left>>)),
    .n1_right_text = wire.string(3, value_text(218, 25, readout<percent_text<n1_right>>)),
    .n1_left_needle = wire.needle(4, {.bitmap = 0x6100, .x = 74, .y = 77, .pivot_x = 5, .pivot_y = 5,
                                      .table = tables.n1_left, .update = value_pointer<n1_needle<n1_left>>}),
    .n1_right_needle = wire.needle(5, {.bitmap = 0x1400, .x = 203, .y = 77, .pivot_x = 5, .pivot_y = 5,
                                       .table = tables.n1_right, .update = value_pointer<n1_needle<n1_right>>}),
    .lever_left_pointer = wire.needle(6, {.bitmap = 0x1600, .x = 74, .y = 77, .pivot_x = 5, .pivot_y = 5,
                                          .table = tables.lever_left,
                                          .update = value_pointer<lever_needle<lever_left>>}),
    .lever_right_pointer = wire.needle(7, {.bitmap = 0x1700, .x = 203, .y = 77, .pivot_x = 5, .pivot_y = 5,
                                           .table = tables.lever_right,
                                           .update = value_pointer<lever_needle<lever_right>>}),
    .itt_left_text = wire.string(8, value_text(90, 168, readout<itt_text<itt_left>>)),
    .itt_right_text = wire.string(9, value_text(216, 168, readout<itt_text<itt_right>>)),
    .itt_left_needle = wire.needle(10, {.bitmap = 0x1800, .x = 73, .y = 216, .pivot_x = 5, .pivot_y = 5,
                                        .table = tables.itt_left, .update = value_pointer<itt_needle<itt_left>>}),
    .itt_right_needle = wire.needle(11, {.bitmap = 0x1900, .x = 202, .y = 216, .pivot_x = 5, .pivot_y = 5,
                                         .table = tables.itt_right, .update = value_pointer<itt_needle<itt_right>>}),

    // Engine and system rows
    .n2_left_text = wire.string(12, value_text(38, 299, readout<percent_text<n2_left>>)),
    .n2_right_text = wire.string(13, value_text(220, 299, readout<percent_text<n2_right>>)),
    .egt_left_text = wire.string(14, value_text(38, 324, readout<egt_text<egt_left>>)),
    .egt_right_text = wire.string(15, value_text(220, 324, readout<egt_text<egt_right>>)),
    .oil_temp_left_text = wire.string(16, value_text(50, 349, readout<oil_temp_text<oil_temp_left>>)),
    .oil_temp_right_text = wire.string(17, value_text(220, 349, readout<oil_temp_text<oil_temp_right>>)),
    .oil_pressure_left_text = wire.string(18, value_text(50, 374, readout<oil_pressure_text<oil_pressure_left>>)),
    .oil_pressure_right_text = wire.string(19, value_text(220, 374, readout<oil_pressure_text<oil_pressure_right>>)),
    .volts_left_text = wire.string(20, value_text(27, 399, readout<generator_text<volts_left>>)),
    .volts_right_text = wire.string(21, value_text(220, 399, readout<generator_text<volts_right>>)),
    .amps_left_text = wire.string(22, value_text(27, 424, readout<generator_text<amps_left>>)),
    .amps_right_text = wire.string(23, value_text(220, 424, readout<generator_text<amps_right>>)),
    .hydraulic_left_text = wire.string(24, value_text(29, 449, readout<hydraulic_text<hydraulic_left>>)),
    .hydraulic_right_text = wire.string(25, value_text(220, 449, readout<hydraulic_text<hydraulic_right>>)),

    // Fuel
    .flow_left_text = wire.string(26, value_text(316, 25, readout<flow_text<flow_left>>)),
    .flow_right_text = wire.string(27, value_text(390, 25, readout<flow_text<flow_right>>)),
    .flow_left_bar = wire.moving_image(28, {.bitmap = 0x4200, .x = 349, .y = 56, .y_second = 50000,
                                            .update_x = own_value, .update_y = value_pointer<flow_bar<flow_left>>}),
    .flow_right_bar = wire.moving_image(29, {.bitmap = 0x2800, .x = 403, .y = 56, .y_second = 50000,
                                             .update_x = own_value, .update_y = value_pointer<flow_bar<flow_right>>}),
    .endurance_text = wire.string(30, value_text(369, 174, readout<endurance_text>)),
    .range_km_text = wire.string(31, value_text(369, 199, readout<range_km_text>)),
    .range_nm_text = wire.string(32, value_text(369, 224, readout<range_nm_text>)),
    .tank_left_text = wire.string(33, value_text(315, 324, readout<tank_text<tank_left>>)),
    .tank_middle_text = wire.string(34, value_text(356, 299, readout<tank_text<tank_middle>>)),
    .tank_right_text = wire.string(35, value_text(400, 324, readout<tank_text<tank_right>>)),
    .tank_left_bar = wire.moving_image(36, {.bitmap = 0x3600, .x = 365, .y = 356, .y_second = 1500,
                                            .update_x = own_value, .update_y = value_pointer<tank_bar<tank_left>>}),
    .tank_middle_bar = wire.moving_image(37, {.bitmap = 0x2000, .x = 375, .y = 356, .y_second = 1500,
                                              .update_x = own_value, .update_y = value_pointer<tank_bar<tank_middle>>}),
    .tank_right_bar = wire.moving_image(38, {.bitmap = 0x2200, .x = 385, .y = 356, .y_second = 1500,
                                             .update_x = own_value, .update_y = value_pointer<tank_bar<tank_right>>}),

    // Spoilers, flaps and trims
    .spoiler_text = wire.string(39, value_text(529, 25, readout<spoiler_text>)),
    .spoiler_left_pointer = wire.slider(40, {.bitmap = 0x3400, .x = 497, .y = 123, .scale_x = 0,
                                             .scale_y = spoiler_scale, .update_x = own_value,
                                             .update_y = value_pointer<travel<spoiler_lever>>}),
    .spoiler_left_bar = wire.moving_image(41, {.bitmap = 0x1200, .x = 512, .y = 56, .y_second = 16384,
                                               .update_x = own_value, .update_y = value_pointer<travel<spoiler_left>>}),
    .spoiler_right_pointer = wire.slider(42, {.bitmap = 0x3500, .x = 571, .y = 123, .scale_x = 0,
                                              .scale_y = spoiler_scale, .update_x = own_value,
                                              .update_y = value_pointer<travel<spoiler_lever>>}),
    // Starts at 9: the right bar stays dark over the first 9 units.
    .spoiler_right_bar = wire.moving_image(43, {.bitmap = 0x2600, .x = 563, .y = 56, .y_first = 9, .y_second = 16384,
                                                .update_x = own_value,
                                                .update_y = value_pointer<travel<spoiler_right>>}),
    .flap_text = wire.string(44, value_text(607, 25, readout<flap_text>)),
    .flap_pointer = wire.slider(45, {.bitmap = 0x3200, .x = 594, .y = 50, .scale_x = 0, .scale_y = flap_scale,
                                     .update_x = flap_pointer_x, .update_y = flap_pointer_y}),
    // Runs downward: the flap bar fills from the top.
    .flap_bar = wire.moving_image(46, {.bitmap = 0x2400, .x = 608, .y = 56, .y_first = 40, .y_second = 0,
                                       .update_x = own_value, .update_y = value_pointer<flap_bar>}),
    .elevator_trim_text = wire.string(47, value_text(590, 174, signed_twin<elevator_trim, zero_or_positive>, 100)),
    .elevator_trim_negative_text = wire.string(48, value_text(592, 174, signed_twin<elevator_trim, negative>)),
    .rudder_trim_text = wire.string(49, value_text(590, 199, signed_twin<rudder_trim, zero_or_positive>)),
    .rudder_trim_negative_text = wire.string(50, value_text(592, 199, signed_twin<rudder_trim, negative>)),
    .aileron_trim_text = wire.string(51, value_text(590, 224, signed_twin<aileron_trim, zero_or_positive>)),
    .aileron_trim_negative_text = wire.string(52, value_text(592, 224, signed_twin<aileron_trim, negative>)),

    // Gear and battery
    .gear_left_legend = wire.icon(53, {.bitmap = 0x6500, .x = 497, .y = 341, .states = 3,
                                       .update = frame::icon_state<gear_legend<gear_left>>}),
    .gear_nose_legend = wire.icon(54, {.bitmap = 0x6400, .x = 538, .y = 307, .states = 3,
                                       .update = frame::icon_state<gear_legend<gear_nose>>}),
    .gear_right_legend = wire.icon(55, {.bitmap = 0x6600, .x = 580, .y = 341, .states = 3,
                                        .update = frame::icon_state<gear_legend<gear_right>>}),
    .battery_volts_text = wire.string(56, value_text(590, 424, readout<battery_text<battery_volts>>)),
    .battery_amps_text = wire.string(57, value_text(590, 449, readout<battery_text<battery_amps>>)),

    // Labels; 0xB0 is the degree sign of code page 1252
    .n1_label = wire.string(58, label_text(134, 0, label<caption<"N1", 130>>)),
    .itt_label = wire.string(59, label_text(130, 143, label<caption<"ITT", 117>>)),
    .n2_label = wire.string(60, label_text(134, 299, label<caption<"N2", 123>>)),
    .egt_label = wire.string(61, label_text(130, 324, label<caption<"EGT", 124>>)),
    .oil_temp_label = wire.string(62, label_text(118, 349, label<caption<"OIL \xB0" "C", 120>>)),
    .oil_pressure_label = wire.string(63, label_text(116, 374, label<caption<"OIL PR", 112>>)),
    .gen_volts_label = wire.string(64, label_text(102, 399, label<caption<"GEN VOLT", 105>>)),
    .gen_amps_label = wire.string(65, label_text(100, 424, label<caption<"GEN AMPS", 123>>)),
    .hydraulic_label = wire.string(66, label_text(103, 449, label<caption<"HYDR. PR", 139>>)),
    .fuel_flow_label = wire.string(67, label_text(335, 0, label<caption<"FUEL PPH", 69>>)),
    .range_label = wire.string(68, label_text(349, 149, label<caption<"RANGE", 61>>)),
    .hr_label = wire.string(69, label_text(329, 174, label<caption<"HR", 70>>)),
    .km_label = wire.string(70, label_text(329, 199, label<caption<"KM", 74>>)),
    .nm_label = wire.string(71, label_text(329, 224, label<caption<"NM", 81>>)),
    .quantity_label = wire.string(72, label_text(324, 274, label<caption<"QUANT. GAL", 75>>)),
    .spoiler_flaps_label = wire.string(73, label_text(497, 0, label<caption<"SPOILER  FLAPS", 15>>)),
    .trim_label = wire.string(74, label_text(551, 149, label<caption<"TRIM", 31>>)),
    .elevator_label = wire.string(75, label_text(497, 174, label<caption<"ELEV.\xB0", 38>>)),
    .rudder_label = wire.string(76, label_text(497, 199, label<caption<"RUDD.\xB0", 35>>)),
    .aileron_label = wire.string(77, label_text(497, 224, label<caption<"AILER.\xB0", 38>>)),
    .gear_label = wire.string(78, label_text(549, 274, label<caption<"GEAR", 40>>)),
    .battery_volts_label = wire.string(79, label_text(497, 424, label<caption<"BATT V.", 34>>)),
    .battery_load_label = wire.string(80, label_text(497, 449, label<caption<"LOAD A.", 26>>)),

    // AB legends, drawn last
    .ab_left_legend = wire.icon(81, {.bitmap = 0x4000, .x = 87, .y = 50, .states = 2,
                                     .update = frame::icon_state<frame::slot_value<afterburner>>}),
    .ab_right_legend = wire.icon(82, {.bitmap = 0x3100, .x = 215, .y = 50, .states = 2,
                                      .update = frame::icon_state<frame::slot_value<afterburner>>}),
};

host::ElementHeader* const element_list[] = {&chain.background.header};
constexpr frame::MouseList mouse = frame::mouse_list("EICAS");

int32_t* const first_draw_globals[] = {&flap_degrees, &flap_detent};

}  // namespace

host::GaugeHeader gauge_header = frame::make_gauge_header("Zazader_EICAS", element_list, mouse.data());

const frame::ModuleGauge module_gauge = {
    .variables = module_var_table,
    .power_slot = power,
    .derivation = frame::PowerDerivation::exactly_one,
    .test = frame::PowerTest::equals_one,
    .cleared_at_first_draw = first_draw_globals,
};
