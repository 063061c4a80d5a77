// Zazader_BckupAirspeed: the round standby airspeed dial.
#include "zaz/frame.h"
#include "zaz/records.h"
#include "zaz/units.h"

namespace {

// ------------------------------------------------------------ variables

enum Slot : std::size_t { power = 0, airspeed = 1, mach = 6 };

host::ModuleVar module_var_table[] = {
    {.token = 0x301},  // 0 power
    {.token = 0x3D},   // 1 airspeed, knots
    {.token = 0x331},  // 2
    {.token = 0x73},   // 3
    {.token = 0x74},   // 4
    {.token = 0x3F},   // 5
    {.token = 0x40},   // 6 Mach x 20480
    {.token = 0x76},   // 7
    {.token = 0x75},   // 8
    {.token = 0x340},  // 9
};

// --------------------------------------------------------- scale table

// Points on the dial for 0..700 knots; each needle owns a copy because the
// host writes the angle fields.
constexpr host::NonLinearity scale[] = {
    {170, 47, 0, 0},   {171, 47, 60, 0},  {285, 106, 100, 0}, {243, 289, 160, 0},
    {162, 308, 200, 0}, {74, 257, 300, 0}, {119, 58, 700, 0},
};
constexpr std::size_t scale_entries = std::size(scale);

struct NeedleTables {
  host::NonLinearity red[scale_entries], blue[scale_entries], pointer[scale_entries];
};
NeedleTables tables = {
    {scale[0], scale[1], scale[2], scale[3], scale[4], scale[5], scale[6]},
    {scale[0], scale[1], scale[2], scale[3], scale[4], scale[5], scale[6]},
    {scale[0], scale[1], scale[2], scale[3], scale[4], scale[5], scale[6]},
};

// ----------------------------------------------------------- callbacks

double mach_number(const host::ElementHeader*) { return frame::mach_from_token(frame::slot(mach)); }

constexpr frame::Pointer pointer_airspeed{.value = frame::slot_value<airspeed>, .limits = {.low = 0, .high = 700}};
constexpr frame::Readout airspeed_readout{
    .value = frame::slot_value<airspeed>, .limits = {.low = 0, .high = 999}, .format = "%03.0f"};
constexpr frame::Readout mach_readout{.value = mach_number, .limits = {.low = 0}, .format = "%04.2f"};
constexpr char mach_caption[] = "M                   %1.0f";

constexpr uint32_t green = 0x0000FF00, white = 0x00FFFFFF, light_blue = 0x00FF871C;
constexpr int32_t text_right = 344;  // every text box ends two pixels past the dial

// ---------------------------------------------------------------- chain

struct Chain {
  host::StaticImageElement bezel;
  host::IconElement dial_face;
  host::NeedleElement red_marker;
  host::NeedleElement blue_marker;
  host::NeedleElement pointer;
  host::StringElement airspeed_text;
  host::StringElement mach_text;
  host::StringElement mach_label;
};
extern Chain chain;

constexpr host::ElementHeader* order[] = {
    &chain.bezel.header,   &chain.dial_face.header,     &chain.red_marker.header, &chain.blue_marker.header,
    &chain.pointer.header, &chain.airspeed_text.header, &chain.mach_text.header,  &chain.mach_label.header,
};
constinit frame::ChainLinks<std::size(order)> links = frame::link(order);
constexpr frame::Wiring<std::size(order)> wire{&gauge_header, links};

Chain chain = {
    .bezel = wire.static_image(0, {.bitmap = 0x2300, .x = 0, .y = 0}),
    .dial_face = wire.icon(1, {.bitmap = 0x1800, .x = 0, .y = 0, .states = 2, .update = frame::own_value}),
    .red_marker = wire.needle(2, {.bitmap = 0x1700, .x = 171, .y = 171, .pivot_x = 0, .pivot_y = 6,
                                  .table = tables.red, .update = frame::constant_pointer<120.0>}),
    .blue_marker = wire.needle(3, {.bitmap = 0x1900, .x = 171, .y = 171, .pivot_x = 0, .pivot_y = 6,
                                   .table = tables.blue, .update = frame::constant_pointer<175.0>}),
    .pointer = wire.needle(4, {.bitmap = 0x2400, .x = 171, .y = 171, .pivot_x = 5, .pivot_y = 15,
                               .table = tables.pointer, .update = frame::value_pointer<pointer_airspeed>}),
    .airspeed_text = wire.string(5, {.x = 137, .y = 147, .width = text_right - 137, .height = 66, .colour = green,
                                     .font = "Quartz", .weight = 400, .update = frame::readout<airspeed_readout>}),
    .mach_text = wire.string(6, {.x = 265, .y = 295, .width = text_right - 265, .height = 36, .colour = white,
                                 .font = "Quartz", .weight = 400, .update = frame::readout<mach_readout>}),
    .mach_label = wire.string(7, {.x = 296, .y = 267, .width = text_right - 296, .height = 36,
                                  .colour = light_blue, .font = "Glass Gauge", .weight = 500,
                                  .update = frame::label<mach_caption>}),
};

host::ElementHeader* const element_list[] = {&chain.bezel.header};
constexpr frame::MouseList mouse = frame::mouse_list("Backup Airspeed");

}  // namespace

host::GaugeHeader gauge_header = frame::make_gauge_header("Zazader_BckupAirspeed", element_list, mouse.data());

const frame::ModuleGauge module_gauge = {
    .variables = module_var_table,
    .power_slot = power,
    .derivation = frame::PowerDerivation::truncate,
    .test = frame::PowerTest::not_zero,
};
