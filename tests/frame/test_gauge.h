// A small gauge that uses every callback shape of the frame.
#pragma once

#include <cstdint>

#include "zaz/host_format.h"

namespace test_gauge {

enum Slot : unsigned { power = 0, speed = 1, trim = 2, unused = 3 };
inline constexpr uint32_t power_token = 0x301, speed_token = 0x3D, trim_token = 0x30F, unused_token = 0;

enum Element : unsigned {
  background, needle, readout, caption, overlay, trim_positive, trim_negative, gated_pointer, element_count
};

extern int32_t global_a, global_b;
extern host::ModuleVar variables[4];

}  // namespace test_gauge
