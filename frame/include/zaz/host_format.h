// The panel host's record formats: what a gauge module exports and what the
// host reads and writes. Shared by the gauge modules and panel-host.
//
// Every layout here is the host's 32-bit format. With 4-byte pointers each
// size and offset is checked below; with 8-byte pointers (the native x86_64
// build) the same fields keep their order and meaning but not their offsets.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define ZAZ_HOSTAPI __stdcall
#else
#define ZAZ_HOSTAPI
#endif

namespace host {

// ---------------------------------------------------------------- constants

inline constexpr uint32_t linkage_module_id = 0x13;
inline constexpr uint32_t linkage_module_version = 0x800;
inline constexpr uint32_t import_table_id = 0x0F;
inline constexpr uint32_t gauge_header_version = 0x320;
inline constexpr uint32_t gauge_default_width_mm = 100;

// Service ids handed to a gauge's service callback.
inline constexpr int32_t service_pre_initialize = 4;
inline constexpr int32_t service_pre_update = 6;
inline constexpr int32_t service_pre_draw = 10;
inline constexpr int32_t service_pre_kill = 12;

// Image flag bits.
inline constexpr uint32_t image_black_transparent = 0x1;
inline constexpr uint32_t image_bright = 0x4;
inline constexpr uint32_t image_hidden = 0x40000000;
inline constexpr uint32_t image_flags_loaded = 0x83;

inline constexpr uint32_t string_bitmap_none = 0xFFFFFFFF;
inline constexpr uint32_t string_character_set = 1;
inline constexpr uint32_t string_word_292 = 0x4240;
inline constexpr uint32_t icon_switch_type = 3;

// Capacity of the text buffer the host gives each string element. Every
// text of the three gauges is at most 147 characters plus one printed
// single-precision value (at most 47 characters), plus the NUL.
inline constexpr std::size_t text_buffer_capacity = 256;

// Host function table: entry 40 refreshes one module-variable record.
inline constexpr int host_function_count = 96;
inline constexpr int refresh_variable_entry = 40;

enum class ElementKind : uint32_t {
  static_image = 0,
  needle = 1,
  string = 2,
  slider = 3,
  icon = 4,
  moving_image = 5,
};

enum class MouseKind : uint32_t {
  end_of_list = 0,
  parent = 1,
  end_of_parent = 3,
  tooltip = 4,
};

// The host packs on 4-byte boundaries (doubles too). With 8-byte pointers
// the records are not the host's format anyway, so they keep natural
// alignment there.
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 4)
#define ZAZ_PACKED_RECORDS 1
#endif

struct ElementHeader;
struct GaugeHeader;

using UpdateCallback = double(ZAZ_HOSTAPI*)(ElementHeader*);
using ServiceCallback = void(ZAZ_HOSTAPI*)(GaugeHeader*, int32_t service_id, uint32_t extra);
using ModuleEntry = void(ZAZ_HOSTAPI*)();

// MODULE_VAR: a simulator variable by token, with the value the host last
// stored in it.
struct ModuleVar {
  uint32_t token;
  void* host_pointer;  // host
  uint32_t host_type;  // host
  double value;        // host
  double previous;     // host
};

struct ModuleVar;
using RefreshVariable = void(ZAZ_HOSTAPI*)(ModuleVar*);
using AnyHostFunction = void(ZAZ_HOSTAPI*)();

// The host's function table (PANELS); the gauges use entry 40 only.
struct HostFunctionTable {
  AnyHostFunction entries[host_function_count];
};

struct ImportTableRecord {
  uint32_t id;                // 0x0F
  HostFunctionTable* panels;  // written by the host before its first call
  uint32_t reserved;
  void* end;
};

struct LinkageRecord {
  uint32_t module_id;
  ModuleEntry module_init;
  ModuleEntry module_deinit;
  uint32_t module_flags;
  uint32_t module_priority;
  uint32_t module_version;
  GaugeHeader* gauges[2];  // one gauge, then null
};

struct FailureRecord {
  uint32_t key;
  uint32_t action;
  void* reserved;
};

// NONLINEARITY: the value at which a needle points at (x, y).
struct NonLinearity {
  int32_t x;
  int32_t y;
  double value;
  double angle;  // host
};

// MOUSERECT.
struct MouseRect {
  MouseKind kind;
  int32_t x, y, width, height;
  int32_t cursor;
  uint32_t help_id;
  uint32_t mouse_flags;
  uint32_t event_id;
  const void* function;
  const void* data;
};

struct GaugeHeader {
  uint32_t version;
  const char* name;
  ElementHeader* const* element_list;  // one pointer: the root element
  void* routines[8];
  uint32_t default_width;
  uint32_t host_48[8];  // host
  const MouseRect* mouse_list;
  ServiceCallback service_callback;
  uint32_t host_88[27];  // host
};

// The first 60 bytes of every element record.
struct ElementHeader {
  ElementKind kind;
  uint32_t bitmap_id;
  int32_t x, y;
  int32_t previous_x, previous_y;  // host
  int32_t offset_x, offset_y;      // needles: the pivot inside the image
  GaugeHeader* gauge;
  ElementHeader* previous;          // host
  ElementHeader* const* next_list;  // two words: next element, null
  FailureRecord* failures;
  uint32_t image_flags;
  uint32_t special_flags;
  uint32_t reserved;
};

// Common start of every kind but the static image: the header, then the
// element's own source-variable record.
struct SourcedElement {
  ElementHeader header;
  ModuleVar source;
};

struct StaticImageElement {
  ElementHeader header;
  uint8_t host_60[36];
};

struct NeedleElement {
  ElementHeader header;
  ModuleVar source;
  uint8_t host_88[24];
  const NonLinearity* table;
  uint32_t table_entries;
  uint8_t host_120[104];
  UpdateCallback update;
  uint8_t host_228[8];
};

struct StringElement {
  ElementHeader header;
  ModuleVar sources[3];
  uint8_t host_144[40];
  char* text;  // host: the text buffer
  uint32_t host_188;
  uint32_t box_width;
  uint32_t box_height;
  uint8_t host_200[8];
  uint32_t text_colour;
  uint32_t background_colour;
  uint32_t highlight_colour;
  uint8_t host_220[28];
  char font_name[32];
  uint32_t font_weight;
  uint32_t character_set;
  uint32_t host_288;
  uint32_t word_292;
  uint8_t host_296[16];
  UpdateCallback update;
  uint8_t host_316[8];
};

struct SliderElement {
  ElementHeader header;
  ModuleVar source_x;
  uint8_t host_88[40];
  double scale_x;
  double scale_y;
  uint8_t host_144[24];
  UpdateCallback update_x;
  UpdateCallback update_y;
  uint8_t host_176[16];
};

struct IconElement {
  ElementHeader header;
  ModuleVar source;
  uint32_t host_88;
  uint32_t switch_type;
  uint8_t host_96[16];
  uint32_t states;
  uint8_t host_116[16];
  UpdateCallback update;
  uint8_t host_136[4];
};

struct MovingImageElement {
  ElementHeader header;
  ModuleVar source_x;
  uint8_t host_88[40];
  double range_x_first;
  double range_x_second;
  double range_y_first;
  double range_y_second;
  uint8_t host_160[84];
  UpdateCallback update_x;
  UpdateCallback update_y;
  uint8_t host_252[16];
};

// Where a module built for POSIX keeps its compiled resources (the bytes of
// a Windows .res file: bitmaps and version record). Exported as `Resources`;
// Windows modules carry a PE resource section instead.
struct ResourceTable {
  const uint8_t* begin;
  const uint8_t* end;
};

#ifdef ZAZ_PACKED_RECORDS
#pragma pack(pop)
#undef ZAZ_PACKED_RECORDS
#endif

// With 4-byte pointers every record is the host's exact format.
#define ZAZ_FIELD_AT(type, field, at) static_assert(offsetof(type, field) == (at), #type "." #field)
#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(ModuleVar) == 28);
ZAZ_FIELD_AT(ModuleVar, value, 12);
ZAZ_FIELD_AT(ModuleVar, previous, 20);
static_assert(sizeof(LinkageRecord) == 32);
static_assert(sizeof(ImportTableRecord) == 16);
static_assert(sizeof(FailureRecord) == 12);
static_assert(sizeof(NonLinearity) == 24);
ZAZ_FIELD_AT(NonLinearity, value, 8);
static_assert(sizeof(MouseRect) == 44);
static_assert(sizeof(GaugeHeader) == 196);
ZAZ_FIELD_AT(GaugeHeader, element_list, 8);
ZAZ_FIELD_AT(GaugeHeader, default_width, 44);
ZAZ_FIELD_AT(GaugeHeader, mouse_list, 80);
ZAZ_FIELD_AT(GaugeHeader, service_callback, 84);
static_assert(sizeof(HostFunctionTable) >= 164);
ZAZ_FIELD_AT(HostFunctionTable, entries[refresh_variable_entry], 160);
static_assert(sizeof(ElementHeader) == 60);
ZAZ_FIELD_AT(ElementHeader, bitmap_id, 4);
ZAZ_FIELD_AT(ElementHeader, x, 8);
ZAZ_FIELD_AT(ElementHeader, previous_x, 16);
ZAZ_FIELD_AT(ElementHeader, offset_x, 24);
ZAZ_FIELD_AT(ElementHeader, gauge, 32);
ZAZ_FIELD_AT(ElementHeader, previous, 36);
ZAZ_FIELD_AT(ElementHeader, next_list, 40);
ZAZ_FIELD_AT(ElementHeader, failures, 44);
ZAZ_FIELD_AT(ElementHeader, image_flags, 48);
ZAZ_FIELD_AT(ElementHeader, special_flags, 52);
ZAZ_FIELD_AT(ElementHeader, reserved, 56);
ZAZ_FIELD_AT(SourcedElement, source.value, 72);
static_assert(sizeof(StaticImageElement) == 96);
static_assert(sizeof(NeedleElement) == 236);
ZAZ_FIELD_AT(NeedleElement, source, 60);
ZAZ_FIELD_AT(NeedleElement, table, 112);
ZAZ_FIELD_AT(NeedleElement, table_entries, 116);
ZAZ_FIELD_AT(NeedleElement, update, 224);
static_assert(sizeof(StringElement) == 324);
ZAZ_FIELD_AT(StringElement, sources, 60);
ZAZ_FIELD_AT(StringElement, text, 184);
ZAZ_FIELD_AT(StringElement, box_width, 192);
ZAZ_FIELD_AT(StringElement, box_height, 196);
ZAZ_FIELD_AT(StringElement, text_colour, 208);
ZAZ_FIELD_AT(StringElement, background_colour, 212);
ZAZ_FIELD_AT(StringElement, highlight_colour, 216);
ZAZ_FIELD_AT(StringElement, font_name, 248);
ZAZ_FIELD_AT(StringElement, font_weight, 280);
ZAZ_FIELD_AT(StringElement, character_set, 284);
ZAZ_FIELD_AT(StringElement, word_292, 292);
ZAZ_FIELD_AT(StringElement, update, 312);
static_assert(sizeof(SliderElement) == 192);
ZAZ_FIELD_AT(SliderElement, source_x, 60);
ZAZ_FIELD_AT(SliderElement, scale_x, 128);
ZAZ_FIELD_AT(SliderElement, scale_y, 136);
ZAZ_FIELD_AT(SliderElement, update_x, 168);
ZAZ_FIELD_AT(SliderElement, update_y, 172);
static_assert(sizeof(IconElement) == 140);
ZAZ_FIELD_AT(IconElement, source, 60);
ZAZ_FIELD_AT(IconElement, switch_type, 92);
ZAZ_FIELD_AT(IconElement, states, 112);
ZAZ_FIELD_AT(IconElement, update, 132);
static_assert(sizeof(MovingImageElement) == 268);
ZAZ_FIELD_AT(MovingImageElement, source_x, 60);
ZAZ_FIELD_AT(MovingImageElement, range_x_first, 128);
ZAZ_FIELD_AT(MovingImageElement, range_x_second, 136);
ZAZ_FIELD_AT(MovingImageElement, range_y_first, 144);
ZAZ_FIELD_AT(MovingImageElement, range_y_second, 152);
ZAZ_FIELD_AT(MovingImageElement, update_x, 244);
ZAZ_FIELD_AT(MovingImageElement, update_y, 248);
#endif
#undef ZAZ_FIELD_AT

// Size of an element record of the given kind, in this build.
constexpr std::size_t element_size(ElementKind kind) {
  switch (kind) {
    case ElementKind::static_image: return sizeof(StaticImageElement);
    case ElementKind::needle: return sizeof(NeedleElement);
    case ElementKind::string: return sizeof(StringElement);
    case ElementKind::slider: return sizeof(SliderElement);
    case ElementKind::icon: return sizeof(IconElement);
    case ElementKind::moving_image: return sizeof(MovingImageElement);
  }
  return 0;
}

}  // namespace host
