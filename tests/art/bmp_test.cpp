#include "art/bmp.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace {

using art::Bitmap;
using art::Rgb;

std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t u16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// Every pixel different, so a swapped row or column shows.
Bitmap pattern(int w, int h, int bpp, int colours) {
  Bitmap b;
  b.id = 0x1234;
  b.width = w;
  b.height = h;
  b.bits_per_pixel = bpp;
  if (bpp == 8) {
    for (int i = 0; i < colours; ++i)
      b.palette.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 7)});
    for (int i = 0; i < w * h; ++i) b.pixels.push_back(static_cast<std::uint8_t>((i * 5 + 1) % colours));
  } else {
    for (int i = 0; i < w * h; ++i) {
      b.pixels.push_back(static_cast<std::uint8_t>(i));
      b.pixels.push_back(static_cast<std::uint8_t>(100 + i));
      b.pixels.push_back(static_cast<std::uint8_t>(200 + i));
    }
  }
  return b;
}

struct Layout {
  int width, height, bpp, colours;
  std::size_t stride;  // bytes per stored row, worked out by hand
};
std::ostream& operator<<(std::ostream& o, const Layout& l) {
  return o << l.width << "x" << l.height << " " << l.bpp << " bpp";
}

class BmpLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(BmpLayout, HeadersDescribeTheFile) {
  const Layout l = GetParam();
  const Bitmap b = pattern(l.width, l.height, l.bpp, l.colours);
  const auto f = art::encode_bmp(b);
  const std::size_t palette_bytes = l.bpp == 8 ? 4u * l.colours : 0u;
  const std::size_t offset = 14 + 40 + palette_bytes;

  ASSERT_EQ(f.size(), offset + l.stride * l.height);
  EXPECT_EQ(f[0], 'B');
  EXPECT_EQ(f[1], 'M');
  EXPECT_EQ(u32(f, 2), f.size());
  EXPECT_EQ(u32(f, 10), offset);
  EXPECT_EQ(u32(f, 14), 40u);
  EXPECT_EQ(static_cast<std::int32_t>(u32(f, 18)), l.width);
  EXPECT_EQ(static_cast<std::int32_t>(u32(f, 22)), l.height);  // positive: bottom-up
  EXPECT_EQ(u16(f, 26), 1);
  EXPECT_EQ(u16(f, 28), l.bpp);
  EXPECT_EQ(u32(f, 30), 0u);  // uncompressed
  EXPECT_EQ(u32(f, 34), l.stride * l.height);
  EXPECT_EQ(u32(f, 46), l.bpp == 8 ? static_cast<std::uint32_t>(l.colours) : 0u);
}

TEST_P(BmpLayout, RowsAreStoredBottomUpInPaddedRows) {
  const Layout l = GetParam();
  const Bitmap b = pattern(l.width, l.height, l.bpp, l.colours);
  const auto f = art::encode_bmp(b);
  const std::size_t offset = u32(f, 10);
  for (int y = 0; y < l.height; ++y) {
    const std::size_t row = offset + l.stride * (l.height - 1 - y);
    for (int x = 0; x < l.width; ++x) {
      if (l.bpp == 8) {
        EXPECT_EQ(f[row + x], b.index_at(x, y)) << x << "," << y;
      } else {
        const Rgb c = b.at(x, y);  // stored blue, green, red
        EXPECT_EQ(f[row + 3 * x], c.b) << x << "," << y;
        EXPECT_EQ(f[row + 3 * x + 1], c.g);
        EXPECT_EQ(f[row + 3 * x + 2], c.r);
      }
    }
    for (std::size_t p = static_cast<std::size_t>(l.width) * l.bpp / 8; p < l.stride; ++p)
      EXPECT_EQ(f[row + p], 0) << "padding byte " << p << " of row " << y;
  }
  if (l.bpp == 8) {
    for (int i = 0; i < l.colours; ++i) {  // palette entries are blue, green, red, 0
      EXPECT_EQ(f[54 + 4 * i], b.palette[i].b);
      EXPECT_EQ(f[54 + 4 * i + 1], b.palette[i].g);
      EXPECT_EQ(f[54 + 4 * i + 2], b.palette[i].r);
      EXPECT_EQ(f[54 + 4 * i + 3], 0);
    }
  }
}

TEST_P(BmpLayout, ReadsBackWhatWasWritten) {
  const Layout l = GetParam();
  const Bitmap b = pattern(l.width, l.height, l.bpp, l.colours);
  const Bitmap r = art::decode_bmp(art::encode_bmp(b), b.id);
  EXPECT_EQ(r.id, b.id);
  EXPECT_EQ(r.width, b.width);
  EXPECT_EQ(r.height, b.height);
  EXPECT_EQ(r.bits_per_pixel, b.bits_per_pixel);
  EXPECT_EQ(r.palette, b.palette);
  EXPECT_EQ(r.pixels, b.pixels);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BmpLayout,
                         ::testing::Values(Layout{1, 1, 8, 1, 4}, Layout{3, 2, 8, 5, 4}, Layout{4, 3, 8, 12, 4},
                                           Layout{5, 7, 8, 256, 8}, Layout{1, 1, 24, 0, 4}, Layout{2, 3, 24, 0, 8},
                                           Layout{3, 2, 24, 0, 12}, Layout{4, 2, 24, 0, 12}, Layout{5, 4, 24, 0, 16}));

TEST(Bmp, ReadsTopDownFiles) {
  const Bitmap b = pattern(3, 4, 8, 6);
  auto f = art::encode_bmp(b);
  // Flip the stored rows and negate the height: the same picture, top-down.
  const std::size_t offset = u32(f, 10), stride = 4;
  std::vector<std::uint8_t> flipped(f.begin(), f.begin() + offset);
  for (int y = 3; y >= 0; --y)
    flipped.insert(flipped.end(), f.begin() + offset + stride * y, f.begin() + offset + stride * (y + 1));
  const std::int32_t h = -4;
  for (int i = 0; i < 4; ++i) flipped[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(h) >> (8 * i));
  EXPECT_EQ(art::decode_bmp(flipped).pixels, b.pixels);
}

TEST(Bmp, FileRoundTrip) {
  const auto path = std::filesystem::path(::testing::TempDir()) / "art_bmp_round_trip.bmp";
  const Bitmap b = pattern(7, 5, 24, 0);
  art::write_bmp(b, path);
  EXPECT_EQ(std::filesystem::file_size(path), 14u + 40u + 24u * 5u);
  EXPECT_EQ(art::read_bmp(path).pixels, b.pixels);
  std::filesystem::remove(path);
}

struct BadBitmap {
  const char* what;
  void (*spoil)(Bitmap&);
};
std::ostream& operator<<(std::ostream& o, const BadBitmap& b) { return o << b.what; }

class BmpRefusesToWrite : public ::testing::TestWithParam<BadBitmap> {};

TEST_P(BmpRefusesToWrite, Throws) {
  Bitmap b = pattern(4, 4, 8, 16);
  GetParam().spoil(b);
  EXPECT_THROW(art::encode_bmp(b), art::BmpError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpRefusesToWrite,
    ::testing::Values(BadBitmap{"16 bpp", [](Bitmap& b) { b.bits_per_pixel = 16; }},
                      BadBitmap{"257 colours", [](Bitmap& b) { b.palette.resize(257); }},
                      BadBitmap{"no palette", [](Bitmap& b) { b.palette.clear(); }},
                      BadBitmap{"index past palette", [](Bitmap& b) { b.pixels[5] = 16; }},
                      BadBitmap{"short pixels", [](Bitmap& b) { b.pixels.pop_back(); }},
                      BadBitmap{"zero width", [](Bitmap& b) { b.width = 0; }}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

struct BadFile {
  const char* what;
  void (*spoil)(std::vector<std::uint8_t>&);
};
std::ostream& operator<<(std::ostream& o, const BadFile& b) { return o << b.what; }

class BmpRefusesToRead : public ::testing::TestWithParam<BadFile> {};

TEST_P(BmpRefusesToRead, Throws) {
  auto f = art::encode_bmp(pattern(4, 4, 8, 16));
  GetParam().spoil(f);
  EXPECT_THROW(art::decode_bmp(f), art::BmpError);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BmpRefusesToRead,
    ::testing::Values(BadFile{"not BM", [](std::vector<std::uint8_t>& f) { f[0] = 'X'; }},
                      BadFile{"truncated pixels", [](std::vector<std::uint8_t>& f) { f.resize(f.size() - 1); }},
                      BadFile{"truncated header", [](std::vector<std::uint8_t>& f) { f.resize(30); }},
                      BadFile{"RLE compressed", [](std::vector<std::uint8_t>& f) { f[30] = 1; }},
                      BadFile{"4 bpp", [](std::vector<std::uint8_t>& f) { f[28] = 4; }},
                      BadFile{"index past palette", [](std::vector<std::uint8_t>& f) { f[14 + 40 + 64] = 16; }}),
    [](const auto& info) {
      std::string n = info.param.what;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

}  // namespace
