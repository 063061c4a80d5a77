// One gauge, linked in, driven by a host that does whatever the input says:
// simulator variables and the host-owned element values set to anything,
// service ids in any order (unknown ones too), single callbacks or whole
// cycles, the sound library present, missing or held by someone else.
// After every step the gauge must have left its records sane.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fake_kernel.h"
#include "gauge_driver.h"
#include "values.h"
#include "zaz/frame.h"

namespace {

using host::ElementKind;

[[noreturn]] void fail(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::fputs("gauge invariant broken: ", stderr);
  std::vfprintf(stderr, format, args);
  std::fputc('\n', stderr);
  va_end(args);
  std::abort();
}

// What the host gets back from one element's callbacks: a returned value,
// or the number a readout printed.
enum class Axis { value, x, y, text };

// A returned value the gauge promises to keep in bounds. `allowed` lists
// the only values it may take; otherwise [low, high], with NaN let through
// because a limit passes a value that is not a number.
struct Bound {
  std::size_t element;
  ElementKind kind;
  Axis axis;
  double low, high;
  std::vector<double> allowed = {};
};

constexpr double any = std::numeric_limits<double>::infinity();

struct GaugeBounds {
  const char* name;
  std::size_t elements;
  std::vector<Bound> bounds;
};

const GaugeBounds known[] = {
    {"Zazader_BckupAirspeed", 8,
     {
         {2, ElementKind::needle, Axis::value, 0, 0, {120.0}},  // red marker
         {3, ElementKind::needle, Axis::value, 0, 0, {175.0}},  // blue marker
         {4, ElementKind::needle, Axis::value, 0, 700},         // pointer
         {5, ElementKind::string, Axis::text, 0, 999},          // airspeed
         {6, ElementKind::string, Axis::text, 0, any},          // Mach
     }},
    {"Zazader_Airspeed", 13,
     {
         {1, ElementKind::moving_image, Axis::y, 0, 2700},  // tape
         {2, ElementKind::moving_image, Axis::y, 0, 92},    // overspeed band
         {3, ElementKind::moving_image, Axis::y, 0, 92},    // selected-speed marker
         {4, ElementKind::icon, Axis::value, 0, 0, {0.0, 1.0}},  // readout frame overlay
         {6, ElementKind::string, Axis::text, 0, any},           // Mach
         {8, ElementKind::string, Axis::text, 0, any},           // ground speed
     }},
    {"Zazader_EICAS", 83,
     {
         {1, ElementKind::icon, Axis::value, 0, 0, {0.0, 1.0}},  // overlay
         {6, ElementKind::needle, Axis::value, 0, any},          // lever pointers
         {7, ElementKind::needle, Axis::value, 0, any},
         {28, ElementKind::moving_image, Axis::y, 0, 50000},  // fuel flow bars
         {29, ElementKind::moving_image, Axis::y, 0, 50000},
         {36, ElementKind::moving_image, Axis::y, 0, 1500},  // tank bars
         {37, ElementKind::moving_image, Axis::y, 0, 1500},
         {38, ElementKind::moving_image, Axis::y, 0, 1500},
         {40, ElementKind::slider, Axis::y, 0, 16384},  // spoiler pointers and bars
         {41, ElementKind::moving_image, Axis::y, 0, 16384},
         {42, ElementKind::slider, Axis::y, 0, 16384},
         {43, ElementKind::moving_image, Axis::y, 0, 16384},
         {45, ElementKind::slider, Axis::y, 0, 0, {0.0, 10.0, 20.0, 30.0, 40.0}},  // flap pointer detent
         {46, ElementKind::moving_image, Axis::y, 0, 40},                         // flap bar
         {53, ElementKind::icon, Axis::value, 0, 0, {0.0, 1.0, 2.0}},  // gear legends
         {54, ElementKind::icon, Axis::value, 0, 0, {0.0, 1.0, 2.0}},
         {55, ElementKind::icon, Axis::value, 0, 0, {0.0, 1.0, 2.0}},
         {2, ElementKind::string, Axis::text, 0, 110},  // N1
         {3, ElementKind::string, Axis::text, 0, 110},
         {8, ElementKind::string, Axis::text, 0, 1100},  // ITT
         {9, ElementKind::string, Axis::text, 0, 1100},
         {12, ElementKind::string, Axis::text, 0, 110},  // N2
         {13, ElementKind::string, Axis::text, 0, 110},
         {14, ElementKind::string, Axis::text, 0, 999},  // EGT
         {15, ElementKind::string, Axis::text, 0, 999},
         {16, ElementKind::string, Axis::text, 0, 99},  // oil temperature and pressure
         {17, ElementKind::string, Axis::text, 0, 99},
         {18, ElementKind::string, Axis::text, 0, 99},
         {19, ElementKind::string, Axis::text, 0, 99},
         {26, ElementKind::string, Axis::text, 0, 99999},  // fuel flow
         {27, ElementKind::string, Axis::text, 0, 99999},
         {30, ElementKind::string, Axis::text, 0, 99.99},  // endurance, range
         {31, ElementKind::string, Axis::text, 0, 99999},
         {32, ElementKind::string, Axis::text, 0, 99999},
         {33, ElementKind::string, Axis::text, 0, 1500},  // tanks
         {34, ElementKind::string, Axis::text, 0, 1500},
         {35, ElementKind::string, Axis::text, 0, 1500},
         {47, ElementKind::string, Axis::text, -99.99, 99.99},  // trims, both twins
         {48, ElementKind::string, Axis::text, -99.99, 99.99},
         {49, ElementKind::string, Axis::text, -99.99, 99.99},
         {50, ElementKind::string, Axis::text, -99.99, 99.99},
         {51, ElementKind::string, Axis::text, -99.9, 99.9},
         {52, ElementKind::string, Axis::text, -99.9, 99.9},
     }},
};

constexpr uint32_t changeable = host::image_hidden | host::image_bright;
constexpr char untouched = '\x7E';  // what a text buffer holds before a callback writes it

struct Returned {
  double value = 0, x = 0, y = 0;
};

struct Host {
  panel_host::VariableStore store;
  panel_host::GaugeDriver driver{&Linkage, &ImportTable, store};
  host::GaugeHeader& header = driver.header();
  std::vector<host::ElementHeader*> elements;
  std::vector<char*> texts;  // one exact-size block per string element, so overruns are seen
  std::vector<Returned> returned;
  std::vector<std::vector<const Bound*>> bounds;

  Host() {
    const GaugeBounds* mine = nullptr;
    for (const GaugeBounds& g : known)
      if (driver.name() == g.name) mine = &g;
    if (mine == nullptr) fail("no bounds for gauge %s", driver.name().c_str());
    for (const panel_host::ElementState& s : driver.elements()) elements.push_back(s.record);
    if (elements.size() != mine->elements)
      fail("%s has %zu elements, the bounds expect %zu", mine->name, elements.size(), mine->elements);
    returned.resize(elements.size());
    bounds.resize(elements.size());
    for (const Bound& b : mine->bounds) {
      if (elements[b.element]->kind != b.kind) fail("%s element %zu is not the kind its bound expects", mine->name, b.element);
      bounds[b.element].push_back(&b);
    }
    texts.resize(elements.size(), nullptr);
    for (std::size_t i = 0; i < elements.size(); ++i) {
      if (elements[i]->kind != ElementKind::string) continue;
      texts[i] = new char[host::text_buffer_capacity];
      reinterpret_cast<host::StringElement*>(elements[i])->text = texts[i];
    }
  }

  // As a freshly loaded module: nothing carried over from the last input.
  void reset() {
    fake_kernel.reset();
    frame::power_on = 0;
    frame::first_draw_done = 0;
    frame::root_element = nullptr;
    for (host::ModuleVar& v : module_gauge.variables) {
      v.value = v.previous = 0.0;
      store.set(v.token, 0.0);
    }
    for (std::size_t i = 0; i < elements.size(); ++i) {
      elements[i]->image_flags = host::image_flags_loaded;
      if (elements[i]->kind != ElementKind::static_image)
        reinterpret_cast<host::SourcedElement*>(elements[i])->source.value = 0.0;
      if (texts[i] != nullptr) std::memset(texts[i], 0, host::text_buffer_capacity);
      returned[i] = {};
    }
  }

  void service(int32_t id) {
    header.service_callback(&header, id, 0);
    for (std::size_t i = 0; i < elements.size(); ++i) check_flags(i);
    if (fake_kernel.references > 1) fail("the module holds %d references to the sound library", fake_kernel.references);
    if (id == host::service_pre_kill && fake_kernel.references != 0)
      fail("after pre-kill the module still holds %d references to the sound library", fake_kernel.references);
  }

  void call(std::size_t i) {
    host::ElementHeader* e = elements[i];
    Returned& r = returned[i];
    switch (e->kind) {
      case ElementKind::static_image: break;
      case ElementKind::needle: r.value = reinterpret_cast<host::NeedleElement*>(e)->update(e); break;
      case ElementKind::icon: r.value = reinterpret_cast<host::IconElement*>(e)->update(e); break;
      case ElementKind::string:
        std::memset(texts[i], untouched, host::text_buffer_capacity);
        reinterpret_cast<host::StringElement*>(e)->update(e);
        break;
      case ElementKind::slider: {
        auto* s = reinterpret_cast<host::SliderElement*>(e);
        r.x = s->update_x(e);
        r.y = s->update_y(e);
        break;
      }
      case ElementKind::moving_image: {
        auto* m = reinterpret_cast<host::MovingImageElement*>(e);
        r.x = m->update_x(e);
        r.y = m->update_y(e);
        break;
      }
    }
    check(i);
  }

  void check_printed(std::size_t i, const Bound& b) const;

  void check_flags(std::size_t i) const {
    const uint32_t flags = elements[i]->image_flags;
    if ((flags & ~changeable) != (host::image_flags_loaded & ~changeable))
      fail("element %zu's image flags are 0x%08x", i, flags);
  }

  void check(std::size_t i) const {
    check_flags(i);
    if (texts[i] != nullptr && std::memchr(texts[i], '\0', host::text_buffer_capacity) == nullptr)
      fail("element %zu's text has no NUL inside its %zu-byte buffer", i, host::text_buffer_capacity);
    for (const Bound* b : bounds[i]) {
      if (b->axis == Axis::text) {
        check_printed(i, *b);
        continue;
      }
      const Returned& r = returned[i];
      const double v = b->axis == Axis::value ? r.value : b->axis == Axis::x ? r.x : r.y;
      bool ok = false;
      if (!b->allowed.empty()) {
        for (double a : b->allowed) ok = ok || v == a;
      } else {
        ok = std::isnan(v) || (v >= b->low && v <= b->high);
      }
      if (!ok) fail("element %zu returned %.17g, outside its limits", i, v);
    }
  }
};

// Dashes stand for a value that is not a number; anything else must read
// back as a number inside the limits, give or take the printed rounding.
void Host::check_printed(std::size_t i, const Bound& b) const {
  const char* text = texts[i];
  const char* number = text[0] == '+' ? text + 1 : text;  // the positive twin's sign is literal text
  if (std::strspn(number, "-") >= 3 && number[std::strspn(number, "-")] == '\0') return;
  char* end = nullptr;
  const double v = std::strtod(number, &end);
  if (end == number || *end != '\0') fail("element %zu printed \"%s\", which is not a number", i, text);
  const char* point = std::strchr(number, '.');
  const double half_step = 0.5 * std::pow(10.0, point == nullptr ? 0.0 : -static_cast<double>(std::strlen(point + 1)));
  if (!(v >= b.low - half_step && v <= b.high + half_step))
    fail("element %zu printed \"%s\", outside its limits [%g, %g]", i, text, b.low, b.high);
}

Host* the_host = nullptr;

int32_t service_id(FuzzedDataProvider& in) {
  constexpr int32_t ids[] = {host::service_pre_initialize, host::service_pre_update, host::service_pre_draw,
                             host::service_pre_kill};
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) return in.ConsumeIntegral<int32_t>();
  return ids[in.ConsumeIntegralInRange<int>(0, 3)];
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  the_host = new Host;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Host& h = *the_host;
  h.reset();
  FuzzedDataProvider in(data, size);
  const auto& vars = module_gauge.variables;
  for (int step = 0; step < 1000 && in.remaining_bytes() != 0; ++step) {
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
      case 0:
      case 1:
      case 2: {
        const auto& v = vars[in.ConsumeIntegralInRange<std::size_t>(0, vars.size() - 1)];
        h.store.set(v.token, fuzz::value(in));
        break;
      }
      case 3: {  // a value the host keeps in the element's own record
        const std::size_t i = in.ConsumeIntegralInRange<std::size_t>(0, h.elements.size() - 1);
        if (h.elements[i]->kind != ElementKind::static_image)
          reinterpret_cast<host::SourcedElement*>(h.elements[i])->source.value = fuzz::value(in);
        break;
      }
      case 4:
      case 5: h.service(service_id(in)); break;
      case 6: h.call(in.ConsumeIntegralInRange<std::size_t>(0, h.elements.size() - 1)); break;
      case 7:
      case 8:
        h.service(host::service_pre_update);
        for (std::size_t i = 0; i < h.elements.size(); ++i) h.call(i);
        h.service(host::service_pre_draw);
        break;
      default:
        switch (in.ConsumeIntegralInRange<int>(0, 2)) {
          case 0: fake_kernel.library_exists = !fake_kernel.library_exists; break;
          case 1: fake_kernel.foreign_references = fake_kernel.foreign_references == 0 ? 1 : 0; break;
          default:
            if (fake_kernel.missing_entries.erase("TerminateSounds") == 0)
              fake_kernel.missing_entries.insert("TerminateSounds");
            break;
        }
        break;
    }
    // Only the start of the call log is ever of interest here.
    if (fake_kernel.calls.size() > 4096) fake_kernel.calls.clear();
  }
  h.service(host::service_pre_kill);
  return 0;
}
