#include "render_bitmap.h"

#include <cstdio>

namespace panel_host {

namespace {

uint32_t le16(std::span<const uint8_t> b, std::size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t le32(std::span<const uint8_t> b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

[[noreturn]] void fail(const std::string& why) { throw RenderError(why); }

// Cairo's own limit on a surface side.
constexpr int64_t max_side = 32767;

}  // namespace

Pixels decode_bitmap(std::span<const uint8_t> dib) {
  if (dib.size() < 16) fail("not a bitmap: " + std::to_string(dib.size()) + " bytes");
  const uint32_t header = le32(dib, 0);
  int64_t width = 0, height = 0;
  uint32_t bits = 0, compression = 0, colours_used = 0, entry = 4;
  if (header == 12) {
    width = le16(dib, 4);
    height = le16(dib, 6);
    bits = le16(dib, 10);
    entry = 3;
  } else if (header == 40 || header == 52 || header == 56 || header == 108 || header == 124) {
    if (dib.size() < header) fail("not a bitmap: its header runs past its bytes");
    width = static_cast<int32_t>(le32(dib, 4));
    height = static_cast<int32_t>(le32(dib, 8));
    bits = le16(dib, 14);
    compression = le32(dib, 16);
    colours_used = le32(dib, 32);
  } else {
    fail("not a bitmap: unknown header size " + std::to_string(header));
  }
  if (compression != 0) fail("compressed bitmap (compression " + std::to_string(compression) + "), which is not drawn");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    fail(std::to_string(bits) + " bits per pixel, which is not drawn");
  const bool top_down = height < 0;
  const int64_t rows = top_down ? -height : height;
  if (width <= 0 || rows <= 0) fail("empty bitmap (" + std::to_string(width) + " x " + std::to_string(rows) + ")");
  if (width > max_side || rows > max_side)
    fail("bitmap too large to draw (" + std::to_string(width) + " x " + std::to_string(rows) + ")");

  uint64_t colours = colours_used;
  if (bits <= 8) {
    if (colours > (uint64_t{1} << bits)) fail("palette of " + std::to_string(colours) + " colours for " +
                                              std::to_string(bits) + " bits per pixel");
    if (colours == 0) colours = uint64_t{1} << bits;
  }
  const uint64_t palette_at = header;
  const uint64_t pixels_at = palette_at + colours * entry;
  const uint64_t stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
  if (colours > dib.size() || pixels_at + stride * static_cast<uint64_t>(rows) > dib.size())
    fail("bitmap bytes end before its pixels do");

  std::vector<uint32_t> palette;
  if (bits <= 8) {
    palette.resize(uint64_t{1} << bits, 0);  // indices past the palette read black
    for (uint64_t i = 0; i < colours; ++i) {
      const std::size_t at = palette_at + i * entry;
      palette[i] = (dib[at + 2] << 16) | (dib[at + 1] << 8) | dib[at];
    }
  }

  Pixels out;
  out.width = static_cast<int>(width);
  out.height = static_cast<int>(rows);
  out.rgb.resize(static_cast<std::size_t>(width * rows));
  for (int64_t y = 0; y < rows; ++y) {
    const std::size_t row = pixels_at + stride * static_cast<uint64_t>(top_down ? y : rows - 1 - y);
    uint32_t* dst = out.rgb.data() + y * width;
    for (int64_t x = 0; x < width; ++x) {
      uint32_t c = 0;
      switch (bits) {
        case 1: c = palette[(dib[row + x / 8] >> (7 - x % 8)) & 1]; break;
        case 4: c = palette[(dib[row + x / 2] >> (x % 2 ? 0 : 4)) & 0xF]; break;
        case 8: c = palette[dib[row + x]]; break;
        case 16: {
          const uint32_t v = le16(dib, row + 2 * x);
          const uint32_t r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
          c = ((r << 3 | r >> 2) << 16) | ((g << 3 | g >> 2) << 8) | (b << 3 | b >> 2);
          break;
        }
        case 24: {
          const std::size_t at = row + 3 * x;
          c = (dib[at + 2] << 16) | (dib[at + 1] << 8) | dib[at];
          break;
        }
        case 32: {
          const std::size_t at = row + 4 * x;
          c = (dib[at + 2] << 16) | (dib[at + 1] << 8) | dib[at];
          break;
        }
      }
      dst[x] = c;
    }
  }
  return out;
}

const Pixels* BitmapCache::pixels(uint32_t id) {
  auto it = decoded_.find(id);
  if (it == decoded_.end()) {
    const Resource* r = resources_.find(rt_bitmap, id);
    std::optional<Pixels> p;
    if (r != nullptr) {
      try {
        p = decode_bitmap(r->data);
      } catch (const RenderError& e) {
        char name[16];
        std::snprintf(name, sizeof name, "0x%04X", id);
        throw RenderError(std::string("bitmap ") + name + ": " + e.what());
      }
    }
    it = decoded_.emplace(id, std::move(p)).first;
  }
  return it->second ? &*it->second : nullptr;
}

std::optional<std::pair<int, int>> BitmapCache::size(uint32_t id) {
  const Pixels* p = pixels(id);
  if (p == nullptr) return std::nullopt;
  return std::pair{p->width, p->height};
}

cairo_surface_t* BitmapCache::image(uint32_t id, bool black_transparent) {
  const auto key = std::pair{id, black_transparent ? 1 : 0};
  if (auto it = surfaces_.find(key); it != surfaces_.end()) return it->second.get();
  const Pixels* p = pixels(id);
  if (p == nullptr) return nullptr;
  SurfacePtr s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, p->width, p->height));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) throw RenderError("out of memory for a bitmap");
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < p->height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
    for (int x = 0; x < p->width; ++x) {
      const uint32_t c = p->rgb[static_cast<std::size_t>(y) * p->width + x];
      row[x] = c == 0 && black_transparent ? 0 : 0xFF000000u | c;  // premultiplied: clear is all zero
    }
  }
  cairo_surface_mark_dirty(s.get());
  return surfaces_.emplace(key, std::move(s)).first->second.get();
}

cairo_surface_t* BitmapCache::window(uint32_t id) {
  const auto key = std::pair{id, 2};
  if (auto it = surfaces_.find(key); it != surfaces_.end()) return it->second.get();
  const Pixels* p = pixels(id);
  if (p == nullptr) return nullptr;
  SurfacePtr s(cairo_image_surface_create(CAIRO_FORMAT_A8, p->width, p->height));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) throw RenderError("out of memory for a bitmap");
  cairo_surface_flush(s.get());
  unsigned char* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < p->height; ++y)
    for (int x = 0; x < p->width; ++x)
      data[static_cast<std::ptrdiff_t>(y) * stride + x] = p->rgb[static_cast<std::size_t>(y) * p->width + x] ? 0xFF : 0;
  cairo_surface_mark_dirty(s.get());
  return surfaces_.emplace(key, std::move(s)).first->second.get();
}

}  // namespace panel_host
