// Building a gauge's static records: the gauge header, the mouse list and
// the element chain, from one row per element.
//
//   extern Chain chain;                       // the element records, in order
//   constexpr host::ElementHeader* order[] = {&chain.bezel.header, ...};
//   constinit frame::ChainLinks<8> links = frame::link(order);
//   constexpr frame::Wiring wire{&gauge_header, links};
//   Chain chain = {.bezel = wire.static_image(0, {...}), ...};
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "zaz/frame.h"
#include "zaz/host_format.h"

namespace frame {

// ----------------------------------------------------------- gauge header

// The tooltip entry's argument list: none.
extern const uint32_t tooltip_no_arguments[1];

using MouseList = std::array<host::MouseRect, 4>;

constexpr MouseList mouse_list(const char* tooltip) {
  using host::MouseKind;
  return {{
      {.kind = MouseKind::parent, .cursor = -1},
      {.kind = MouseKind::tooltip, .cursor = -1, .function = tooltip, .data = tooltip_no_arguments},
      {.kind = MouseKind::end_of_parent, .cursor = -1},
      {.kind = MouseKind::end_of_list, .cursor = -1},
  }};
}

constexpr host::GaugeHeader make_gauge_header(const char* name, host::ElementHeader* const* element_list,
                                              const host::MouseRect* mouse) {
  return {
      .version = host::gauge_header_version,
      .name = name,
      .element_list = element_list,
      .default_width = host::gauge_default_width_mm,
      .mouse_list = mouse,
      .service_callback = gauge_callback,
  };
}

// --------------------------------------------------------------- the chain

template <std::size_t N>
struct ChainLinks {
  host::ElementHeader* next[N][2];       // next element, then null
  host::FailureRecord failures[N][1];    // each element's own, empty
};

template <std::size_t N>
constexpr ChainLinks<N> link(host::ElementHeader* const (&order)[N]) {
  ChainLinks<N> l{};
  for (std::size_t i = 0; i + 1 < N; ++i) l.next[i][0] = order[i + 1];
  return l;
}

struct ImageRow {
  uint32_t bitmap;
  int32_t x, y;
};

struct NeedleRow {
  uint32_t bitmap;
  int32_t x, y;
  int32_t pivot_x, pivot_y;
  std::span<host::NonLinearity> table;
  host::UpdateCallback update;
};

struct StringRow {
  int32_t x, y;
  uint32_t width, height;
  uint32_t colour;
  const char* font;
  uint32_t weight;
  host::UpdateCallback update;
};

struct SliderRow {
  uint32_t bitmap;
  int32_t x, y;
  double scale_x, scale_y;
  host::UpdateCallback update_x, update_y;
};

struct IconRow {
  uint32_t bitmap;
  int32_t x, y;
  uint32_t states;
  host::UpdateCallback update;
};

struct MovingImageRow {
  uint32_t bitmap;
  int32_t x, y;
  double x_first, x_second;
  double y_first, y_second;
  host::UpdateCallback update_x, update_y;
};

template <std::size_t N>
struct Wiring {
  host::GaugeHeader* gauge;
  ChainLinks<N>& links;

  constexpr host::ElementHeader header(std::size_t i, host::ElementKind kind, uint32_t bitmap, int32_t x,
                                       int32_t y, int32_t pivot_x = 0, int32_t pivot_y = 0) const {
    return {
        .kind = kind,
        .bitmap_id = bitmap,
        .x = x,
        .y = y,
        .offset_x = pivot_x,
        .offset_y = pivot_y,
        .gauge = gauge,
        .next_list = i + 1 < N ? links.next[i] : nullptr,
        .failures = links.failures[i],
        .image_flags = host::image_flags_loaded,
    };
  }

  constexpr host::StaticImageElement static_image(std::size_t i, ImageRow r) const {
    return {.header = header(i, host::ElementKind::static_image, r.bitmap, r.x, r.y)};
  }

  constexpr host::NeedleElement needle(std::size_t i, NeedleRow r) const {
    return {
        .header = header(i, host::ElementKind::needle, r.bitmap, r.x, r.y, r.pivot_x, r.pivot_y),
        .table = r.table.data(),
        .table_entries = static_cast<uint32_t>(r.table.size()),
        .update = r.update,
    };
  }

  constexpr host::StringElement string(std::size_t i, StringRow r) const {
    host::StringElement s{
        .header = header(i, host::ElementKind::string, host::string_bitmap_none, r.x, r.y),
        .box_width = r.width,
        .box_height = r.height,
        .text_colour = r.colour,
        .background_colour = 0,
        .highlight_colour = 0,
        .font_weight = r.weight,
        .character_set = host::string_character_set,
        .word_292 = host::string_word_292,
        .update = r.update,
    };
    for (std::size_t c = 0; r.font[c] != '\0' && c + 1 < sizeof s.font_name; ++c) s.font_name[c] = r.font[c];
    return s;
  }

  constexpr host::SliderElement slider(std::size_t i, SliderRow r) const {
    return {
        .header = header(i, host::ElementKind::slider, r.bitmap, r.x, r.y),
        .scale_x = r.scale_x,
        .scale_y = r.scale_y,
        .update_x = r.update_x,
        .update_y = r.update_y,
    };
  }

  constexpr host::IconElement icon(std::size_t i, IconRow r) const {
    return {
        .header = header(i, host::ElementKind::icon, r.bitmap, r.x, r.y),
        .switch_type = host::icon_switch_type,
        .states = r.states,
        .update = r.update,
    };
  }

  constexpr host::MovingImageElement moving_image(std::size_t i, MovingImageRow r) const {
    return {
        .header = header(i, host::ElementKind::moving_image, r.bitmap, r.x, r.y),
        .range_x_first = r.x_first,
        .range_x_second = r.x_second,
        .range_y_first = r.y_first,
        .range_y_second = r.y_second,
        .update_x = r.update_x,
        .update_y = r.update_y,
    };
  }
};

}  // namespace frame
