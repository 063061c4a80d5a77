// .res files as panel-host reads a POSIX module's resources, then each
// resource as the resources command would: bitmaps to .bmp files,
// version records parsed.
#include "readers.h"
#include "resources.h"
#include "resource_contents.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::expect_clean<panel_host::FormatError>("parse_res", [&] {
    fuzz::read_contents(panel_host::parse_res(std::span<const uint8_t>(data, size)));
  });
  return 0;
}
