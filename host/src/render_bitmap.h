// The module's bitmaps as the renderer draws them: decoded from the
// resource bytes (untrusted: every read is checked) into Cairo surfaces.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "resources.h"

namespace panel_host {

// A picture the host cannot draw: the message says which and why.
class RenderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> rgb;  // 0x00RRGGBB, top row first
};

// A BITMAP resource (a DIB without its file header): 1, 4, 8 bits with a
// palette, 16 (5-5-5), 24 or 32 bits, uncompressed, either row order.
// Throws RenderError when it is none of those or its bytes fall short.
Pixels decode_bitmap(std::span<const uint8_t> dib);

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

class BitmapCache {
 public:
  explicit BitmapCache(ResourceSet resources) : resources_(std::move(resources)) {}

  // The bitmap as an ARGB32 surface, its pure black transparent when asked;
  // null when the module carries no such bitmap. Throws RenderError.
  cairo_surface_t* image(uint32_t id, bool black_transparent);

  // The bitmap as an A8 mask: pure black hides, any other colour shows.
  cairo_surface_t* window(uint32_t id);

  // Width and height, or nothing when the module carries no such bitmap.
  std::optional<std::pair<int, int>> size(uint32_t id);

 private:
  const Pixels* pixels(uint32_t id);

  ResourceSet resources_;
  std::map<uint32_t, std::optional<Pixels>> decoded_;
  std::map<std::pair<uint32_t, int>, SurfacePtr> surfaces_;  // kind: 0 opaque, 1 keyed, 2 mask
};

}  // namespace panel_host
