// Bitmap resources: their size and depth, and the .bmp files made of them.
#include <optional>

#include "support.h"

namespace {

using namespace panel_host;
using fixture::Bytes;
using fixture::DibSpec;

struct DibCase {
  const char* name;
  DibSpec spec;
  std::optional<BitmapInfo> info;
  uint32_t pixels_at = 0;  // bfOffBits of the .bmp file, when readable
};
void PrintTo(const DibCase& c, std::ostream* os) { *os << c.name; }

DibSpec spec(uint16_t bits, int32_t width, int32_t height, size_t tail) {
  DibSpec s;
  s.bits = bits;
  s.width = width;
  s.height = height;
  s.tail = tail;
  return s;
}

template <class Change>
DibSpec with(DibSpec s, Change change) {
  change(s);
  return s;
}

std::vector<DibCase> dib_cases() {
  using I = BitmapInfo;
  const DibSpec eight = spec(8, 3, 2, 1024 + 8);  // full palette, rows of 4
  const DibSpec true_colour = spec(24, 2, 3, 24);  // rows of 6 padded to 8
  return {
      {"palette_of_256", eight, I{3, 2, 8}, 14 + 40 + 1024},
      {"palette_of_4", with(spec(8, 3, 2, 16 + 8), [](DibSpec& s) { s.colours_used = 4; }), I{3, 2, 8}, 14 + 40 + 16},
      {"true_colour", true_colour, I{2, 3, 24}, 14 + 40},
      {"top_down", with(true_colour, [](DibSpec& s) { s.height = -3; }), I{2, 3, 24}, 14 + 40},
      {"one_bit", spec(1, 9, 1, 8 + 4), I{9, 1, 1}, 14 + 40 + 8},
      {"four_bit", spec(4, 9, 2, 64 + 16), I{9, 2, 4}, 14 + 40 + 64},
      {"true_colour_with_palette", with(spec(24, 1, 1, 8 + 4), [](DibSpec& s) { s.colours_used = 2; }), I{1, 1, 24},
       14 + 40 + 8},
      {"bit_fields", with(spec(32, 2, 2, 12 + 16), [](DibSpec& s) { s.compression = 3; }), I{2, 2, 32}, 14 + 40 + 12},
      {"v5_header", with(spec(24, 2, 2, 16), [](DibSpec& s) { s.header_size = 124; }), I{2, 2, 24}, 14 + 124},
      {"core_header", with(spec(8, 4, 1, 768 + 4), [](DibSpec& s) { s.header_size = 12; }), I{4, 1, 8},
       14 + 12 + 768},
      {"run_length", with(spec(8, 4, 4, 1024 + 10), [](DibSpec& s) {
         s.compression = 1;
         s.image_size = 10;
       }),
       I{4, 4, 8}, 14 + 40 + 1024},

      {"pixels_one_byte_short", with(eight, [](DibSpec& s) { s.tail -= 1; }), std::nullopt},
      {"palette_cut", spec(8, 1, 1, 1000), std::nullopt},
      {"no_pixels", spec(24, 1, 1, 0), std::nullopt},
      {"two_planes", with(true_colour, [](DibSpec& s) { s.planes = 2; }), std::nullopt},
      {"seven_bits", with(true_colour, [](DibSpec& s) { s.bits = 7; }), std::nullopt},
      {"zero_width", with(true_colour, [](DibSpec& s) { s.width = 0; }), std::nullopt},
      {"negative_width", with(true_colour, [](DibSpec& s) { s.width = -2; }), std::nullopt},
      {"zero_height", with(true_colour, [](DibSpec& s) { s.height = 0; }), std::nullopt},
      {"lowest_height", with(true_colour, [](DibSpec& s) { s.height = INT32_MIN; }), std::nullopt},
      {"huge", with(true_colour, [](DibSpec& s) { s.width = s.height = INT32_MAX; }), std::nullopt},
      {"too_many_colours", with(eight, [](DibSpec& s) { s.colours_used = 257; }), std::nullopt},
      {"colour_count_beyond_data", with(true_colour, [](DibSpec& s) { s.colours_used = 0xFFFFFFFF; }),
       std::nullopt},
      {"unknown_header_size", with(true_colour, [](DibSpec& s) { s.header_size = 20; }), std::nullopt},
      {"jpeg", with(true_colour, [](DibSpec& s) { s.compression = 4; }), std::nullopt},
      {"bit_fields_on_24_bits", with(true_colour, [](DibSpec& s) { s.compression = 3; }), std::nullopt},
      {"run_length_top_down", with(spec(8, 4, -4, 1024 + 10), [](DibSpec& s) {
         s.compression = 1;
         s.image_size = 10;
       }),
       std::nullopt},
      {"run_length_without_size", with(spec(8, 4, 4, 1024 + 10), [](DibSpec& s) { s.compression = 1; }),
       std::nullopt},
      {"run_length_past_data", with(spec(8, 4, 4, 1024 + 10), [](DibSpec& s) {
         s.compression = 1;
         s.image_size = 11;
       }),
       std::nullopt},
  };
}

class Dib : public ::testing::TestWithParam<DibCase> {};

TEST_P(Dib, InfoAndFile) {
  const DibCase& c = GetParam();
  const Bytes bytes = fixture::dib(c.spec);
  const auto info = bitmap_info(bytes);
  ASSERT_EQ(info.has_value(), c.info.has_value());
  if (!info) {
    EXPECT_THROW(bmp_file_bytes(bytes), FormatError);
    return;
  }
  EXPECT_EQ(info->width, c.info->width);
  EXPECT_EQ(info->height, c.info->height);
  EXPECT_EQ(info->bits, c.info->bits);

  const Bytes file = bmp_file_bytes(bytes);
  ASSERT_EQ(file.size(), bytes.size() + 14);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(fixture::get32(file, 2), file.size());
  EXPECT_EQ(fixture::get32(file, 6), 0u);
  EXPECT_EQ(fixture::get32(file, 10), c.pixels_at);
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file.begin() + 14));
}

INSTANTIATE_TEST_SUITE_P(Written, Dib, ::testing::ValuesIn(dib_cases()),
                         [](const auto& info) { return std::string(info.param.name); });

struct FixtureBitmap {
  const char* name;
  uint32_t id;
  const std::string* bmp;
  BitmapInfo info;
};
void PrintTo(const FixtureBitmap& c, std::ostream* os) { *os << c.name; }

class FixtureBitmaps : public ::testing::TestWithParam<FixtureBitmap> {};

// windres keeps the file's bytes after its 14-byte header; putting a
// header back must give the file we drew.
TEST_P(FixtureBitmaps, RoundTripToTheDrawnFile) {
  SKIP_WITHOUT(fixture::res);
  const ResourceSet set = parse_res(fixture::read(fixture::res));
  const Resource* r = set.find(rt_bitmap, GetParam().id);
  ASSERT_NE(r, nullptr);
  const auto info = bitmap_info(r->data);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->width, GetParam().info.width);
  EXPECT_EQ(info->height, GetParam().info.height);
  EXPECT_EQ(info->bits, GetParam().info.bits);
  EXPECT_EQ(bmp_file_bytes(r->data), fixture::read(*GetParam().bmp));
}

TEST_P(FixtureBitmaps, EveryShorterPrefixIsUnreadable) {
  SKIP_WITHOUT(fixture::res);
  const ResourceSet set = parse_res(fixture::read(fixture::res));
  const Resource* r = set.find(rt_bitmap, GetParam().id);
  ASSERT_NE(r, nullptr);
  for (size_t n = 0; n < r->data.size(); ++n) {
    EXPECT_FALSE(bitmap_info(std::span(r->data.data(), n))) << n;
    EXPECT_THROW(bmp_file_bytes(std::span(r->data.data(), n)), FormatError) << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Fixture, FixtureBitmaps,
                         ::testing::Values(FixtureBitmap{"eight_bit", 0x2300, &fixture::bmp8, {3, 2, 8}},
                                           FixtureBitmap{"true_colour", 0x2301, &fixture::bmp24, {2, 3, 24}}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
