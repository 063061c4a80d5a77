// An image as it goes into a module's resources: what the BMP holds, nothing more.
#pragma once

#include <cstdint>
#include <vector>

namespace art {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb black{0, 0, 0};  // the host leaves these pixels undrawn
inline constexpr Rgb near_black{1, 1, 1};
inline constexpr Rgb white{255, 255, 255};

struct Bitmap {
  std::uint32_t id = 0;
  int width = 0;
  int height = 0;
  int bits_per_pixel = 8;     // 8 (indexed, palette of at most 256) or 24
  std::vector<Rgb> palette;   // 8 bpp only
  // Top-down rows without padding: one palette index per pixel at 8 bpp,
  // r, g, b bytes per pixel at 24 bpp.
  std::vector<std::uint8_t> pixels;

  // The colour shown at (x, y), whatever the depth.
  Rgb at(int x, int y) const;
  // Palette index at (x, y); 8 bpp only.
  std::uint8_t index_at(int x, int y) const;
};

// An 8 bpp bitmap, every pixel palette entry 0, palette {fill}.
Bitmap solid_bitmap(std::uint32_t id, int width, int height, Rgb fill);

}  // namespace art
