#include "test_gauge.h"

#include "zaz/frame.h"
#include "zaz/records.h"

namespace test_gauge {

int32_t global_a = 0, global_b = 0;
host::ModuleVar variables[4] = {{.token = power_token}, {.token = speed_token}, {.token = trim_token},
                                {.token = unused_token}};

namespace {

int32_t* const first_draw_globals[] = {&global_a, &global_b};

double degrees(const host::ElementHeader*) { return frame::slot(trim) * 57.29578; }
bool speed_selected() { return frame::slot(speed) > 100.0; }

constexpr frame::Pointer needle_value{.value = frame::slot_value<speed>, .limits = {.low = 0, .high = 700}};
constexpr frame::Pointer gated_value{.value = frame::slot_value<speed>, .condition = speed_selected};
constexpr frame::Readout speed_readout{
    .value = frame::slot_value<speed>, .limits = {.low = 0, .high = 999}, .format = "%03.0f"};
constexpr frame::SignedTwin trim_twin{.value = degrees,
                                      .limits = {.low = -99.98999786376953, .high = 99.99, .high_value = 99.98999786376953},
                                      .positive_format = "+%04.1f",
                                      .negative_format = "%05.1f"};
constexpr char caption_text[] = "M   %1.0f";

host::NonLinearity table[2] = {{0, 0, 0, 0}, {10, 0, 700, 0}};

struct Chain {
  host::StaticImageElement background;
  host::NeedleElement needle;
  host::StringElement readout, caption;
  host::IconElement overlay;
  host::StringElement trim_positive, trim_negative;
  host::SliderElement gated_pointer;
};
extern Chain chain;
constexpr host::ElementHeader* order[] = {
    &chain.background.header, &chain.needle.header,        &chain.readout.header,       &chain.caption.header,
    &chain.overlay.header,    &chain.trim_positive.header, &chain.trim_negative.header, &chain.gated_pointer.header,
};
constinit frame::ChainLinks<std::size(order)> links = frame::link(order);
constexpr frame::Wiring<std::size(order)> wire{&gauge_header, links};

Chain chain = {
    .background = wire.static_image(0, {.bitmap = 0x100}),
    .needle = wire.needle(1, {.bitmap = 0x200, .x = 50, .y = 50, .pivot_x = 5, .pivot_y = 5, .table = table,
                              .update = frame::value_pointer<needle_value>}),
    .readout = wire.string(2, {.x = 10, .y = 10, .width = 50, .height = 20, .colour = 0xFF00, .font = "Quartz",
                               .weight = 400, .update = frame::readout<speed_readout>}),
    .caption = wire.string(3, {.x = 10, .y = 40, .width = 20, .height = 20, .colour = 0xFF871C,
                               .font = "Glass Gauge", .weight = 500, .update = frame::label<caption_text>}),
    .overlay = wire.icon(4, {.bitmap = 0x300, .states = 2, .update = frame::overlay_icon}),
    .trim_positive = wire.string(5, {.x = 60, .y = 10, .width = 40, .height = 20, .colour = 0xFFFFFF,
                                     .font = "Quartz", .weight = 100,
                                     .update = frame::signed_twin<trim_twin, false>}),
    .trim_negative = wire.string(6, {.x = 62, .y = 10, .width = 38, .height = 20, .colour = 0xFFFFFF,
                                     .font = "Quartz", .weight = 400,
                                     .update = frame::signed_twin<trim_twin, true>}),
    .gated_pointer = wire.slider(7, {.bitmap = 0x400, .x = 1, .y = 2, .scale_x = 0, .scale_y = 1.5,
                                     .update_x = frame::own_value, .update_y = frame::value_pointer<gated_value>}),
};

host::ElementHeader* const element_list[] = {&chain.background.header};
constexpr frame::MouseList mouse = frame::mouse_list("Test Gauge");

}  // namespace
}  // namespace test_gauge

host::GaugeHeader gauge_header = frame::make_gauge_header("Test_Gauge", test_gauge::element_list, test_gauge::mouse.data());

const frame::ModuleGauge module_gauge = {
    .variables = test_gauge::variables,
    .power_slot = test_gauge::power,
    .derivation = frame::PowerDerivation::truncate,
    .test = frame::PowerTest::not_zero,
    .cleared_at_first_draw = test_gauge::first_draw_globals,
};
