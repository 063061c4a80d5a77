// PE images: the resource reader panel-host's resources command uses on
// a .gau file, and the full image reader (headers, exports, imports,
// relocations) the .gau tests use.
#include "pe_image.h"
#include "readers.h"
#include "resource_contents.h"
#include "resources.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  fuzz::expect_clean<panel_host::FormatError>("read_pe_resources",
                                              [&] { fuzz::read_contents(panel_host::read_pe_resources(bytes)); });
  fuzz::expect_clean<panel_host::FormatError>("PeImage", [&] {
    const panel_host::PeImage pe(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    // Each table on its own: damage in one must not hide the others.
    fuzz::expect_clean<panel_host::FormatError>("PeImage::export_name", [&] { pe.export_name(); });
    fuzz::expect_clean<panel_host::FormatError>("PeImage::exports", [&] { pe.exports(); });
    fuzz::expect_clean<panel_host::FormatError>("PeImage::imports", [&] { pe.imports(); });
    fuzz::expect_clean<panel_host::FormatError>("PeImage::relocated_rvas", [&] { pe.relocated_rvas(); });
  });
  return 0;
}
