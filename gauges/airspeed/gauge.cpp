// Zazader_Airspeed: the vertical airspeed tape with its overspeed band,
// selected-speed marker and readouts.
#include "zaz/frame.h"
#include "zaz/records.h"
#include "zaz/units.h"

namespace {

// ------------------------------------------------------------ variables

enum Slot : std::size_t {
  airspeed = 0,
  power = 1,
  mach = 2,
  ground_speed = 3,
  selected_speed = 4,
  selected_speed_flag = 5,
  selected_mach = 6,
  selected_mach_flag = 7,
  maximum_speed = 8,
};

host::ModuleVar module_var_table[] = {
    {.token = 0x3D},   // 0 airspeed, knots
    {.token = 0x301},  // 1 power
    {.token = 0x40},   // 2 Mach x 20480
    {.token = 0x340},  // 3 ground speed, m/s
    {.token = 0x74},   // 4 selected speed, knots
    {.token = 0x73},   // 5 selected speed in use at exactly 1
    {.token = 0x76},   // 6 selected Mach
    {.token = 0x75},   // 7 selected Mach in use at exactly 1
    {.token = 0x3F},   // 8 maximum speed, 1/128 knot
};

// ----------------------------------------------------------- callbacks

// The flags are doubles from the host; only an exact 1 (or, for OFF, two
// exact 0s) counts, so a flag that is not a number shows nothing.
bool selected_speed_on() { return frame::slot(selected_speed_flag) == 1.0; }
bool selected_mach_on() { return frame::slot(selected_mach_flag) == 1.0; }
bool nothing_selected() { return frame::slot(selected_mach_flag) == 0.0 && frame::slot(selected_speed_flag) == 0.0; }

// The band and the marker windows show 46 knots either side of the pointer.
constexpr double half_window_knots = 46.0;

double overspeed_offset(const host::ElementHeader*) {
  return (frame::slot(airspeed) - frame::slot(maximum_speed) * 0.0078125) + half_window_knots;
}
double selected_speed_offset(const host::ElementHeader*) {
  return (frame::slot(airspeed) - frame::slot(selected_speed)) + half_window_knots;
}
double mach_number(const host::ElementHeader*) { return frame::mach_from_token(frame::slot(mach)); }
double ground_speed_knots(const host::ElementHeader*) {
  return frame::knots_from_metres_per_second(frame::slot(ground_speed));
}

constexpr frame::Limits window_offset{.low = 0, .high = 2 * half_window_knots};

constexpr frame::Pointer tape_airspeed{.value = frame::slot_value<airspeed>, .limits = {.low = 0, .high = 2700}};
constexpr frame::Pointer band_offset{.value = overspeed_offset, .limits = window_offset};
constexpr frame::Pointer marker_offset{
    .value = selected_speed_offset, .limits = window_offset, .condition = selected_speed_on};

constexpr frame::Readout airspeed_readout{.value = frame::slot_value<airspeed>, .format = "%04.0f"};
constexpr frame::Readout mach_readout{.value = mach_number, .limits = {.low = 0}, .format = "%04.2f"};
constexpr frame::Readout ground_speed_readout{.value = ground_speed_knots, .limits = {.low = 0}, .format = "%03.0f"};
constexpr frame::Readout selected_speed_readout{
    .value = frame::slot_value<selected_speed>, .format = "%03.0f", .condition = selected_speed_on};
constexpr frame::Readout selected_mach_readout{
    .value = frame::slot_value<selected_mach>, .format = "%04.2f", .condition = selected_mach_on};
// A caption like the other two, but shown only while nothing is selected.
constexpr frame::Readout off_caption{
    .value = frame::own_source_value, .format = "OFF            %0.0f", .condition = nothing_selected};
constexpr char mach_caption[] = "M                  %0.0f";
constexpr char ground_speed_caption[] = "GS                   %0.0f";

constexpr uint32_t green = 0x0000FF00, white = 0x00FFFFFF, light_blue = 0x00FF871C, magenta = 0x00FF00FF;
constexpr int32_t text_right = 103;  // every text box ends two pixels past the background

// ---------------------------------------------------------------- chain

struct Chain {
  host::StaticImageElement background;
  host::MovingImageElement tape;
  host::MovingImageElement overspeed_band;
  host::MovingImageElement selected_marker;
  host::IconElement readout_frame;
  host::StringElement airspeed_text;
  host::StringElement mach_text;
  host::StringElement mach_label;
  host::StringElement ground_speed_text;
  host::StringElement ground_speed_label;
  host::StringElement selected_speed_text;
  host::StringElement selected_mach_text;
  host::StringElement off_text;
};
extern Chain chain;

constexpr host::ElementHeader* order[] = {
    &chain.background.header,         &chain.tape.header,
    &chain.overspeed_band.header,     &chain.selected_marker.header,
    &chain.readout_frame.header,      &chain.airspeed_text.header,
    &chain.mach_text.header,          &chain.mach_label.header,
    &chain.ground_speed_text.header,  &chain.ground_speed_label.header,
    &chain.selected_speed_text.header, &chain.selected_mach_text.header,
    &chain.off_text.header,
};
constinit frame::ChainLinks<std::size(order)> links = frame::link(order);
constexpr frame::Wiring<std::size(order)> wire{&gauge_header, links};

Chain chain = {
    .background = wire.static_image(0, {.bitmap = 0x0100, .x = 0, .y = 0}),
    .tape = wire.moving_image(1, {.bitmap = 0x1400, .x = 34, .y = 0, .x_first = 0, .x_second = 0,
                                  .y_first = 2678, .y_second = -8, .update_x = frame::own_value,
                                  .update_y = frame::value_pointer<tape_airspeed>}),
    .overspeed_band = wire.moving_image(2, {.bitmap = 0x1600, .x = 34, .y = 38, .x_first = 0, .x_second = 0,
                                            .y_first = 92, .y_second = 0, .update_x = frame::own_value,
                                            .update_y = frame::value_pointer<band_offset>}),
    .selected_marker = wire.moving_image(3, {.bitmap = 0x1800, .x = 80, .y = 39, .x_first = 0, .x_second = 0,
                                             .y_first = 92, .y_second = 0,
                                             .update_x = frame::own_value_if<selected_speed_on>,
                                             .update_y = frame::value_pointer<marker_offset>}),
    .readout_frame = wire.icon(4, {.bitmap = 0x1200, .x = 1, .y = 0, .states = 2, .update = frame::overlay_icon}),
    .airspeed_text = wire.string(5, {.x = 5, .y = 138, .width = text_right - 5, .height = 50, .colour = green,
                                     .font = "Quartz", .weight = 400, .update = frame::readout<airspeed_readout>}),
    .mach_text = wire.string(6, {.x = 40, .y = 275, .width = text_right - 40, .height = 44, .colour = green,
                                 .font = "Quartz", .weight = 400, .update = frame::readout<mach_readout>}),
    .mach_label = wire.string(7, {.x = 17, .y = 278, .width = text_right - 17, .height = 32, .colour = light_blue,
                                  .font = "Glass Gauge", .weight = 400, .update = frame::label<mach_caption>}),
    .ground_speed_text = wire.string(8, {.x = 51, .y = 303, .width = text_right - 51, .height = 36,
                                         .colour = white, .font = "Quartz", .weight = 400,
                                         .update = frame::readout<ground_speed_readout>}),
    .ground_speed_label = wire.string(9, {.x = 17, .y = 303, .width = text_right - 17, .height = 32,
                                          .colour = light_blue, .font = "Glass Gauge", .weight = 400,
                                          .update = frame::label<ground_speed_caption>}),
    .selected_speed_text = wire.string(10, {.x = 51, .y = 6, .width = text_right - 51, .height = 36,
                                            .colour = magenta, .font = "Quartz", .weight = 400,
                                            .update = frame::readout<selected_speed_readout>}),
    .selected_mach_text = wire.string(11, {.x = 46, .y = 6, .width = text_right - 46, .height = 36,
                                           .colour = magenta, .font = "Quartz", .weight = 400,
                                           .update = frame::readout<selected_mach_readout>}),
    .off_text = wire.string(12, {.x = 50, .y = 6, .width = text_right - 50, .height = 36, .colour = magenta,
                                 .font = "Quartz", .weight = 400, .update = frame::readout<off_caption>}),
};

host::ElementHeader* const element_list[] = {&chain.background.header};
constexpr frame::MouseList mouse = frame::mouse_list("Airspeed");

}  // namespace

host::GaugeHeader gauge_header = frame::make_gauge_header("Zazader_Airspeed", element_list, mouse.data());

const frame::ModuleGauge module_gauge = {
    .variables = module_var_table,
    .power_slot = power,
    .derivation = frame::PowerDerivation::truncate,
    .test = frame::PowerTest::equals_one,
};
