#include "art/bitmap.h"

#include <cstddef>
#include <stdexcept>

namespace art {

namespace {
std::size_t offset(const Bitmap& b, int x, int y) {
  if (x < 0 || y < 0 || x >= b.width || y >= b.height) throw std::out_of_range("pixel outside the bitmap");
  return static_cast<std::size_t>(y) * b.width + x;
}
}  // namespace

Rgb Bitmap::at(int x, int y) const {
  const std::size_t i = offset(*this, x, y);
  if (bits_per_pixel == 24) return {pixels.at(3 * i), pixels.at(3 * i + 1), pixels.at(3 * i + 2)};
  return palette.at(pixels.at(i));
}

std::uint8_t Bitmap::index_at(int x, int y) const {
  if (bits_per_pixel != 8) throw std::logic_error("palette index of a 24 bpp bitmap");
  return pixels.at(offset(*this, x, y));
}

Bitmap solid_bitmap(std::uint32_t id, int width, int height, Rgb fill) {
  Bitmap b;
  b.id = id;
  b.width = width;
  b.height = height;
  b.bits_per_pixel = 8;
  b.palette = {fill};
  b.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  return b;
}

}  // namespace art
