// From a drawn canvas to a resource bitmap. A pixel whose alpha is at most
// `empty_alpha` is empty and becomes pure black (transparent to the host);
// every other pixel is its colour over black, and never pure black.
#pragma once

#include <cstdint>
#include <vector>

#include "art/bitmap.h"
#include "art/canvas.h"

namespace art {

// 8 bpp. Palette entry 0 is pure black; each of `exact` is an entry of its
// own, and pixels of exactly those colours keep them. The remaining entries
// (up to 256 in all) approximate the anti-aliased in-between colours.
Bitmap to_indexed(const Canvas& canvas, std::uint32_t id, const std::vector<Rgb>& exact,
                  int empty_alpha = 0);

// 24 bpp with the same rule for empty pixels.
Bitmap to_rgb24(const Canvas& canvas, std::uint32_t id, int empty_alpha = 0);

}  // namespace art
