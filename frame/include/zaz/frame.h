// The gauge module frame: module state, the service callback, the power
// visibility rule, number handling, the update-callback shapes and the
// chain functions. A gauge is data: it defines `gauge_header`,
// `module_var_table` and `module_gauge`, and instantiates the shapes below
// per element.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>

#include "zaz/format.h"
#include "zaz/host_format.h"
#include "zaz/kernel.h"

extern "C" {
extern host::LinkageRecord Linkage;
extern host::ImportTableRecord ImportTable;
}

namespace frame {

// ------------------------------------------------------------ module state
// One set per module, shared by every instance of its gauge.

extern HMODULE sound_module;
extern FARPROC play_sound_fn;
extern FARPROC stop_sound_fn;
extern FARPROC terminate_sounds_fn;
extern host::ElementHeader* root_element;
extern int32_t power_on;
extern int32_t first_draw_done;
// Whether sound_module is a reference this module took with LoadLibraryA
// (one found through GetModuleHandleA belongs to someone else).
extern bool sound_module_loaded;

// --------------------------------------------------------- per-gauge data

enum class PowerDerivation {
  exactly_one,  // 1 if the power value is exactly 1.0, else 0
  truncate,     // the power value truncated toward zero
};

enum class PowerTest {
  equals_one,  // shown while power_on == 1
  not_zero,    // shown while power_on != 0
};

struct ModuleGauge {
  std::span<host::ModuleVar> variables;
  std::size_t power_slot;
  PowerDerivation derivation;
  PowerTest test;
  std::span<int32_t* const> cleared_at_first_draw;  // in this order
};

}  // namespace frame

// Defined by each gauge.
extern host::GaugeHeader gauge_header;
extern const frame::ModuleGauge module_gauge;

namespace frame {

void ZAZ_HOSTAPI module_init();
void ZAZ_HOSTAPI module_deinit();
void ZAZ_HOSTAPI gauge_callback(host::GaugeHeader* gauge, int32_t service_id, uint32_t extra);

// The service callback with its per-gauge data passed in; gauge_callback is
// service(module_gauge, ...).
void service(const ModuleGauge& gauge_data, host::GaugeHeader* gauge, int32_t service_id);

// ---------------------------------------------------------- number rules

// Truncation toward zero; not a number or outside the signed 32-bit range
// gives the smallest signed 32-bit integer.
constexpr int32_t truncate_to_int32(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t derive_power(PowerDerivation derivation, double value);
bool power_test_passes(PowerTest test, int32_t power);

// Rounded to the nearest single-precision value and widened back.
constexpr double to_single(double v) { return static_cast<double>(static_cast<float>(v)); }

inline constexpr double no_limit = std::numeric_limits<double>::infinity();

// Upper bound first, then lower; a value that is not a number passes both.
// A value above `high` becomes `high_value` (the bound itself unless a
// single-precision replacement is given).
struct Limits {
  double low = -no_limit;
  double high = no_limit;
  double high_value = std::numeric_limits<double>::quiet_NaN();
};

constexpr double limit(double v, const Limits& l) {
  if (v > l.high) v = (l.high_value != l.high_value) ? l.high : l.high_value;
  if (v < l.low) v = l.low;
  if (l.low == 0.0 && v == 0.0) v = 0.0;  // a lower limit of 0 never leaves -0.0
  return v;
}

// ------------------------------------------------------------- accessors

inline double slot(std::size_t n) { return module_gauge.variables[n].value; }

template <std::size_t N>
double slot_value(const host::ElementHeader*) {
  return slot(N);
}

// The value field of the element's own source-variable record.
inline double own_source_value(const host::ElementHeader* e) {
  return reinterpret_cast<const host::SourcedElement*>(e)->source.value;
}

// --------------------------------------------------------- visibility

inline bool powered() { return power_test_passes(module_gauge.test, power_on); }

inline void show_if(host::ElementHeader* e, bool shown) {
  if (shown)
    e->image_flags &= ~host::image_hidden;
  else
    e->image_flags |= host::image_hidden;
  e->image_flags |= host::image_bright;
}

inline void apply_power_rule(host::ElementHeader* e) { show_if(e, powered()); }

// Formats one value into a string element's host buffer.
void print(host::ElementHeader* e, const char* format, double value);

// ---------------------------------------------------------------- shapes

using Value = double (*)(const host::ElementHeader*);
using Condition = bool (*)();

// Needle, slider or moving-image axis: a value, limited, in double precision.
struct Pointer {
  Value value;
  Limits limits{};
  Condition condition = nullptr;  // added to the power test when set
};

template <const Pointer& P>
double ZAZ_HOSTAPI value_pointer(host::ElementHeader* e) {
  const double v = limit(P.value(e), P.limits);
  show_if(e, powered() && (P.condition == nullptr || P.condition()));
  return v;
}

template <double V>
double ZAZ_HOSTAPI constant_pointer(host::ElementHeader* e) {
  apply_power_rule(e);
  return V;
}

double ZAZ_HOSTAPI own_value(host::ElementHeader* e);

// Own value, shown under an added condition (the airspeed tape's marker).
template <Condition C>
double ZAZ_HOSTAPI own_value_if(host::ElementHeader* e) {
  show_if(e, powered() && C());
  return own_source_value(e);
}

// Icon: a state index computed from a module variable or the own value.
template <Value Index>
double ZAZ_HOSTAPI icon_state(host::ElementHeader* e) {
  const double index = Index(e);
  apply_power_rule(e);
  return index;
}

// 0 while powered, else 1; sets the bright bit only.
double ZAZ_HOSTAPI overlay_icon(host::ElementHeader* e);

// String: a value in single precision, limited, printed with a format.
struct Readout {
  Value value;
  Limits limits{};
  const char* format;
  Condition condition = nullptr;  // added to the power test when set
};

template <const Readout& R>
double ZAZ_HOSTAPI readout(host::ElementHeader* e) {
  const double v = limit(to_single(R.value(e)), R.limits);
  show_if(e, powered() && (R.condition == nullptr || R.condition()));
  print(e, R.format, v);
  return 0.0;
}

// Caption: the text, a run of spaces and a conversion of the own value, so
// the printed number falls outside the text box.
template <const char* Caption>
double ZAZ_HOSTAPI label(host::ElementHeader* e) {
  apply_power_rule(e);
  print(e, Caption, to_single(own_source_value(e)));
  return 0.0;
}

// Two strings for one value: one shown for values >= 0, one for < 0.
struct SignedTwin {
  Value value;
  Limits limits;
  const char* positive_format;
  const char* negative_format;
};

template <const SignedTwin& T, bool Negative>
double ZAZ_HOSTAPI signed_twin(host::ElementHeader* e) {
  double v = limit(to_single(T.value(e)), T.limits);
  show_if(e, powered() && (Negative ? v < 0.0 : v >= 0.0));
  if (!Negative && v == 0.0) v = 0.0;  // -0.0 prints as +00.0, not +-0.0
  print(e, Negative ? T.negative_format : T.positive_format, v);
  return 0.0;
}

// --------------------------------------------------------- chain functions

host::ElementHeader* element_at(host::ElementHeader* start, uint32_t n);
void element_set_flags(host::ElementHeader* start, uint32_t n, uint32_t mask);
void element_clear_flags(host::ElementHeader* start, uint32_t n, uint32_t mask);

}  // namespace frame
