// Uncompressed Windows BMP: BITMAPFILEHEADER + 40-byte BITMAPINFOHEADER,
// bottom-up rows padded to 4 bytes, 8 bpp with palette or 24 bpp.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "art/bitmap.h"

namespace art {

struct BmpError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Throws BmpError if the bitmap is inconsistent (bad depth, pixel count,
// palette larger than 256 or an index past the palette).
std::vector<std::uint8_t> encode_bmp(const Bitmap& bitmap);
void write_bmp(const Bitmap& bitmap, const std::filesystem::path& path);

// Reads 8 bpp (palette) and 24 bpp uncompressed files, bottom-up or top-down.
// The id is not stored in a BMP; the result carries the one given.
Bitmap decode_bmp(const std::vector<std::uint8_t>& bytes, std::uint32_t id = 0);
Bitmap read_bmp(const std::filesystem::path& path, std::uint32_t id = 0);

}  // namespace art
