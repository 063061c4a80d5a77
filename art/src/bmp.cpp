#include "art/bmp.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace art {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t info_header_size = 40;

int row_stride(int width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  out[at] = v & 0xFF;
  out[at + 1] = (v >> 8) & 0xFF;
}
void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = (v >> (8 * i)) & 0xFF;
}
std::uint32_t get16(const std::vector<std::uint8_t>& in, std::size_t at) {
  return in[at] | (in[at + 1] << 8);
}
std::uint32_t get32(const std::vector<std::uint8_t>& in, std::size_t at) {
  return in[at] | (in[at + 1] << 8) | (in[at + 2] << 16) | (static_cast<std::uint32_t>(in[at + 3]) << 24);
}

void check(const Bitmap& b) {
  if (b.width <= 0 || b.height <= 0) throw BmpError("bitmap has no pixels");
  const std::size_t n = static_cast<std::size_t>(b.width) * b.height;
  if (b.bits_per_pixel == 8) {
    if (b.palette.empty() || b.palette.size() > 256) throw BmpError("palette must hold 1 to 256 colours");
    if (b.pixels.size() != n) throw BmpError("pixel count does not match the size");
    for (auto p : b.pixels)
      if (p >= b.palette.size()) throw BmpError("pixel index past the palette");
  } else if (b.bits_per_pixel == 24) {
    if (b.pixels.size() != 3 * n) throw BmpError("pixel count does not match the size");
  } else {
    throw BmpError("only 8 and 24 bits per pixel are written");
  }
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const Bitmap& b) {
  check(b);
  const int bpp = b.bits_per_pixel;
  const std::size_t palette_bytes = bpp == 8 ? 4 * b.palette.size() : 0;
  const std::size_t data_offset = file_header_size + info_header_size + palette_bytes;
  const std::size_t stride = row_stride(b.width, bpp);
  const std::size_t image_bytes = stride * b.height;
  std::vector<std::uint8_t> out(data_offset + image_bytes, 0);

  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<std::uint32_t>(out.size()));
  put32(out, 10, static_cast<std::uint32_t>(data_offset));

  const std::size_t h = file_header_size;
  put32(out, h + 0, info_header_size);
  put32(out, h + 4, b.width);
  put32(out, h + 8, b.height);  // positive: bottom-up
  put16(out, h + 12, 1);
  put16(out, h + 14, bpp);
  put32(out, h + 16, 0);  // BI_RGB
  put32(out, h + 20, static_cast<std::uint32_t>(image_bytes));
  put32(out, h + 24, 2835);  // 72 dpi
  put32(out, h + 28, 2835);
  put32(out, h + 32, bpp == 8 ? static_cast<std::uint32_t>(b.palette.size()) : 0);
  put32(out, h + 36, 0);

  std::size_t p = h + info_header_size;
  if (bpp == 8) {
    for (const Rgb& c : b.palette) {
      out[p++] = c.b;
      out[p++] = c.g;
      out[p++] = c.r;
      out[p++] = 0;
    }
  }
  for (int y = 0; y < b.height; ++y) {
    std::uint8_t* row = out.data() + data_offset + stride * (b.height - 1 - y);
    const std::size_t src = static_cast<std::size_t>(y) * b.width;
    if (bpp == 8) {
      std::memcpy(row, b.pixels.data() + src, b.width);
    } else {
      for (int x = 0; x < b.width; ++x) {
        const std::uint8_t* s = b.pixels.data() + 3 * (src + x);
        row[3 * x] = s[2];
        row[3 * x + 1] = s[1];
        row[3 * x + 2] = s[0];
      }
    }
  }
  return out;
}

void write_bmp(const Bitmap& bitmap, const std::filesystem::path& path) {
  const auto bytes = encode_bmp(bitmap);
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw BmpError("cannot write " + path.string());
}

Bitmap decode_bmp(const std::vector<std::uint8_t>& in, std::uint32_t id) {
  if (in.size() < file_header_size + info_header_size || in[0] != 'B' || in[1] != 'M')
    throw BmpError("not a BMP file");
  const std::size_t data_offset = get32(in, 10);
  const std::size_t h = file_header_size;
  const std::uint32_t header_size = get32(in, h);
  if (header_size < info_header_size) throw BmpError("unsupported info header");
  const auto width = static_cast<std::int32_t>(get32(in, h + 4));
  const auto raw_height = static_cast<std::int32_t>(get32(in, h + 8));
  const int bpp = static_cast<int>(get16(in, h + 14));
  if (get16(in, h + 12) != 1 || get32(in, h + 16) != 0) throw BmpError("compressed or multi-plane BMP");
  if (bpp != 8 && bpp != 24) throw BmpError("only 8 and 24 bits per pixel are read");
  if (width <= 0 || raw_height == 0 || width > 65536 || raw_height > 65536 || raw_height < -65536)
    throw BmpError("implausible size");
  const bool bottom_up = raw_height > 0;
  const int height = bottom_up ? raw_height : -raw_height;

  Bitmap b;
  b.id = id;
  b.width = width;
  b.height = height;
  b.bits_per_pixel = bpp;
  if (bpp == 8) {
    std::size_t colours = get32(in, h + 32);
    if (colours == 0) colours = 256;
    if (colours > 256) throw BmpError("palette larger than 256");
    const std::size_t p = h + header_size;
    if (p + 4 * colours > in.size() || p + 4 * colours > data_offset) throw BmpError("truncated palette");
    for (std::size_t i = 0; i < colours; ++i)
      b.palette.push_back({in[p + 4 * i + 2], in[p + 4 * i + 1], in[p + 4 * i]});
  }
  const std::size_t stride = row_stride(width, bpp);
  if (data_offset + stride * height > in.size()) throw BmpError("truncated pixel data");
  b.pixels.resize(static_cast<std::size_t>(width) * height * (bpp / 8));
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = in.data() + data_offset + stride * (bottom_up ? height - 1 - y : y);
    const std::size_t dst = static_cast<std::size_t>(y) * width;
    if (bpp == 8) {
      for (int x = 0; x < width; ++x) {
        if (row[x] >= b.palette.size()) throw BmpError("pixel index past the palette");
        b.pixels[dst + x] = row[x];
      }
    } else {
      for (int x = 0; x < width; ++x) {
        b.pixels[3 * (dst + x)] = row[3 * x + 2];
        b.pixels[3 * (dst + x) + 1] = row[3 * x + 1];
        b.pixels[3 * (dst + x) + 2] = row[3 * x];
      }
    }
  }
  return b;
}

Bitmap read_bmp(const std::filesystem::path& path, std::uint32_t id) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw BmpError("cannot open " + path.string());
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  return decode_bmp(bytes, id);
}

}  // namespace art
