// Module bitmaps are untrusted bytes: decoded exactly when well formed,
// refused with a reason, never read past, when not.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "render_bitmap.h"

namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, std::size_t at, uint32_t v) {
  b[at] = v & 0xFF;
  b[at + 1] = (v >> 8) & 0xFF;
}
void put32(Bytes& b, std::size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (v >> (8 * i)) & 0xFF;
}

// A BITMAPINFOHEADER, its palette (0x00RRGGBB) and its rows as stored.
Bytes dib(int32_t width, int32_t height, uint16_t bits, const std::vector<uint32_t>& palette, const Bytes& rows,
          uint32_t compression = 0, uint32_t header = 40) {
  Bytes b(header + 4 * palette.size(), 0);
  put32(b, 0, header);
  put32(b, 4, static_cast<uint32_t>(width));
  put32(b, 8, static_cast<uint32_t>(height));
  put16(b, 12, 1);
  put16(b, 14, bits);
  put32(b, 16, compression);
  put32(b, 32, static_cast<uint32_t>(palette.size()));
  for (std::size_t i = 0; i < palette.size(); ++i) {
    const uint32_t c = palette[i];
    b[header + 4 * i] = c & 0xFF;
    b[header + 4 * i + 1] = (c >> 8) & 0xFF;
    b[header + 4 * i + 2] = (c >> 16) & 0xFF;
  }
  b.insert(b.end(), rows.begin(), rows.end());
  return b;
}

struct GoodCase {
  const char* what;
  Bytes bytes;
  int width, height;
  std::vector<uint32_t> top_first;  // 0x00RRGGBB
};

void PrintTo(const GoodCase& c, std::ostream* o) { *o << c.what; }

class DecodeBitmap : public testing::TestWithParam<GoodCase> {};

TEST_P(DecodeBitmap, ReadsEveryPixelInPlace) {
  const GoodCase& c = GetParam();
  const panel_host::Pixels p = panel_host::decode_bitmap(c.bytes);
  EXPECT_EQ(p.width, c.width) << c.what;
  EXPECT_EQ(p.height, c.height) << c.what;
  EXPECT_EQ(p.rgb, c.top_first) << c.what;
}

const std::vector<uint32_t> rgb_palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeBitmap,
    testing::Values(
        // Rows bottom-up, each padded to four bytes.
        GoodCase{"8 bits, bottom-up", dib(2, 2, 8, rgb_palette, {1, 2, 0, 0, 3, 0, 0, 0}), 2, 2,
                 {0x0000FF, 0x000000, 0xFF0000, 0x00FF00}},
        GoodCase{"8 bits, an index past the palette reads black", dib(1, 1, 8, {0xFFFFFF, 0x123456}, {200, 0, 0, 0}),
                 1, 1, {0x000000}},
        GoodCase{"4 bits, high nibble first", dib(3, 1, 4, rgb_palette, {0x12, 0x30, 0, 0}), 3, 1,
                 {0xFF0000, 0x00FF00, 0x0000FF}},
        GoodCase{"1 bit, high bit first", dib(3, 1, 1, {0x000000, 0xFFFFFF}, {0xA0, 0, 0, 0}), 3, 1,
                 {0xFFFFFF, 0x000000, 0xFFFFFF}},
        GoodCase{"24 bits, top-down, blue green red", dib(1, -2, 24, {}, {0x01, 0x02, 0x03, 0, 0x10, 0x20, 0x30, 0}), 1,
                 2, {0x030201, 0x302010}},
        GoodCase{"16 bits, five bits a channel", dib(1, 1, 16, {}, {0x1F, 0x7C, 0, 0}), 1, 1, {0xFF00FF}},
        GoodCase{"32 bits, the fourth byte unused", dib(1, 1, 32, {}, {0x01, 0x02, 0x03, 0x99}), 1, 1, {0x030201}}));

struct BadCase {
  const char* what;
  Bytes bytes;
  const char* reason;
};

void PrintTo(const BadCase& c, std::ostream* o) { *o << c.what; }

class RefuseBitmap : public testing::TestWithParam<BadCase> {};

TEST_P(RefuseBitmap, SaysWhy) {
  const BadCase& c = GetParam();
  try {
    panel_host::decode_bitmap(c.bytes);
    FAIL() << c.what << ": decoded";
  } catch (const panel_host::RenderError& e) {
    EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.what << ": " << e.what();
  }
}

Bytes truncated(Bytes b, std::size_t by) {
  b.resize(b.size() - by);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefuseBitmap,
    testing::Values(BadCase{"a few bytes", Bytes(10, 0), "not a bitmap"},
                    BadCase{"an unknown header", dib(1, 1, 8, rgb_palette, {0, 0, 0, 0}, 0, 20), "header size 20"},
                    BadCase{"a header longer than the bytes", truncated(dib(1, 1, 24, {}, {}), 10), "header runs past"},
                    BadCase{"run-length compressed", dib(1, 1, 8, rgb_palette, {0, 0, 0, 0}, 1), "compress"},
                    BadCase{"2 bits per pixel", dib(1, 1, 2, rgb_palette, {0, 0, 0, 0}), "2 bits per pixel"},
                    BadCase{"no columns", dib(0, 1, 24, {}, {0, 0, 0, 0}), "empty"},
                    BadCase{"no rows", dib(1, 0, 24, {}, {}), "empty"},
                    BadCase{"wider than a surface can be", dib(40000, 1, 8, rgb_palette, Bytes(40000, 0)), "too large"},
                    BadCase{"more colours than 8 bits index", dib(1, 1, 8, std::vector<uint32_t>(300, 0), {0, 0, 0, 0}),
                            "palette of 300"},
                    BadCase{"pixels cut one byte short", truncated(dib(2, 2, 24, {}, Bytes(16, 7)), 1), "end before"},
                    BadCase{"far more rows claimed than carried", dib(4, 30000, 24, {}, Bytes(16, 7)), "end before"}));

}  // namespace
