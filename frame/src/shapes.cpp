// The callback shapes that need no per-element parameters.
#include "zaz/frame.h"
#include "zaz/records.h"

namespace frame {

const uint32_t tooltip_no_arguments[1] = {0};

void print(host::ElementHeader* e, const char* format, double value) {
  char* text = reinterpret_cast<host::StringElement*>(e)->text;
  if (text != nullptr) format_value(text, host::text_buffer_capacity, format, value);
}

double ZAZ_HOSTAPI own_value(host::ElementHeader* e) {
  apply_power_rule(e);
  return own_source_value(e);
}

double ZAZ_HOSTAPI overlay_icon(host::ElementHeader* e) {
  e->image_flags |= host::image_bright;
  return power_on == 1 ? 0.0 : 1.0;
}

}  // namespace frame
