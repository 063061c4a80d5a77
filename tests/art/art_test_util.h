// Shared by the artwork tests: bitmaps as they come back out of their BMP
// files, and small ways of asking about their pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <stdexcept>
#include <vector>

#include "art/bitmap.h"
#include "art/bmp.h"

namespace art_test {

// Each bitmap written to BMP and read back, keyed by id.
inline std::map<std::uint32_t, art::Bitmap> through_bmp(const std::vector<art::Bitmap>& bitmaps) {
  std::map<std::uint32_t, art::Bitmap> out;
  for (const art::Bitmap& b : bitmaps) {
    if (!out.emplace(b.id, art::decode_bmp(art::encode_bmp(b), b.id)).second)
      throw std::logic_error("bitmap id given twice");
  }
  return out;
}

struct Box {
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  bool empty() const { return x1 < 0; }
};

// Smallest box holding every pixel that is not pure black.
inline Box drawn_box(const art::Bitmap& b) {
  Box box;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x)
      if (!(b.at(x, y) == art::black)) {
        box.x0 = std::min(box.x0, x);
        box.y0 = std::min(box.y0, y);
        box.x1 = std::max(box.x1, x);
        box.y1 = std::max(box.y1, y);
      }
  return box;
}

inline int count_if(const art::Bitmap& b, int x0, int y0, int x1, int y1, const std::function<bool(art::Rgb)>& pred) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += pred(b.at(x, y)) ? 1 : 0;
  return n;
}

inline bool in_palette(const art::Bitmap& b, art::Rgb c) {
  for (const art::Rgb& p : b.palette)
    if (p == c) return true;
  return false;
}

inline std::string str(art::Rgb c) {
  return "(" + std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b) + ")";
}

inline std::string hex_id(std::uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04x", static_cast<unsigned>(id));
  return buf;
}

}  // namespace art_test
