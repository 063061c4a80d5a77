// BITMAP resources (device-independent bitmaps without a file header).
#include "resource_contents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::read_bitmap(std::span<const uint8_t>(data, size));
  return 0;
}
