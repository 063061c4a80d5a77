// VS_VERSIONINFO records on their own.
#include "readers.h"
#include "resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::expect_clean<panel_host::FormatError>(
      "parse_version", [&] { panel_host::parse_version(std::span<const uint8_t>(data, size)); });
  return 0;
}
