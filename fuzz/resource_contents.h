// Reading what a resource set holds, as the resources command does.
#pragma once

#include <cstring>

#include "readers.h"
#include "resources.h"

namespace fuzz {

inline uint32_t le32(const std::vector<uint8_t>& b, std::size_t at) {
  uint32_t v = 0;
  std::memcpy(&v, b.data() + at, 4);
  return v;
}

// A bitmap the header check accepts must make a .bmp whose header agrees
// with its bytes; one it refuses must be refused by the writer too.
inline void read_bitmap(std::span<const uint8_t> dib) {
  const auto info = panel_host::bitmap_info(dib);
  if (!info) {
    bool refused = false;
    try {
      panel_host::bmp_file_bytes(dib);
    } catch (const panel_host::FormatError&) {
      refused = true;
    }
    if (!refused) broken("bmp_file_bytes", "wrote a bitmap that bitmap_info refuses");
    return;
  }
  if (info->width <= 0 || info->height <= 0) broken("bitmap_info", "accepted an empty bitmap");
  const std::vector<uint8_t> bmp = panel_host::bmp_file_bytes(dib);
  if (bmp.size() != dib.size() + 14 || bmp[0] != 'B' || bmp[1] != 'M') broken("bmp_file_bytes", "bad file header");
  if (le32(bmp, 2) != bmp.size()) broken("bmp_file_bytes", "the file size field is wrong");
  if (le32(bmp, 10) < 14 || le32(bmp, 10) > bmp.size()) broken("bmp_file_bytes", "the pixel offset lies outside the file");
}

inline void read_contents(const panel_host::ResourceSet& set) {
  for (const panel_host::Resource& r : set.items) {
    if (r.type == panel_host::rt_bitmap) read_bitmap(r.data);
    if (r.type == panel_host::rt_version)
      expect_clean<panel_host::FormatError>("parse_version", [&] { panel_host::parse_version(r.data); });
  }
}

}  // namespace fuzz
