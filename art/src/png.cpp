#include "art/png.h"

#include <cairo.h>

#include <stdexcept>

namespace art {

void write_png(const Bitmap& bitmap, const std::filesystem::path& path) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, bitmap.width, bitmap.height);
  cairo_surface_flush(s);
  unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  for (int y = 0; y < bitmap.height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(data + static_cast<std::size_t>(y) * stride);
    for (int x = 0; x < bitmap.width; ++x) {
      const Rgb c = bitmap.at(x, y);
      row[x] = 0xFF000000u | (c.r << 16) | (c.g << 8) | c.b;
    }
  }
  cairo_surface_mark_dirty(s);
  const auto status = cairo_surface_write_to_png(s, path.c_str());
  cairo_surface_destroy(s);
  if (status != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace art
