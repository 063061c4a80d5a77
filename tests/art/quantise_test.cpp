#include "art/quantise.h"

#include <gtest/gtest.h>

#include "art/bmp.h"
#include "art_test_util.h"

namespace {

using art::Bitmap;
using art::Canvas;
using art::Rgb;

struct ExactCase {
  Rgb colour;
};
std::ostream& operator<<(std::ostream& o, const ExactCase& e) { return o << art_test::str(e.colour); }

class QuantiseKeeps : public ::testing::TestWithParam<ExactCase> {};

// A stated colour comes out exactly, even beside anti-aliased shapes whose
// edge shades lie close to it.
TEST_P(QuantiseKeeps, StatedColourExactly) {
  const Rgb c = GetParam().colour;
  Canvas canvas(40, 20);
  canvas.fill_cells(0, 0, 19, 19, c);
  canvas.fill_circle({30, 10}, 7.3, art::white);                   // soft edges over nothing
  canvas.fill_circle({10, 10}, 4.6, Rgb{static_cast<std::uint8_t>(c.r ^ 7), c.g, c.b});  // and over the colour
  const Bitmap b = art::decode_bmp(art::encode_bmp(art::to_indexed(canvas, 1, {c})));
  EXPECT_EQ(b.at(0, 0), c);
  EXPECT_EQ(b.at(19, 19), c);
  EXPECT_EQ(b.at(2, 17), c);
}

INSTANTIATE_TEST_SUITE_P(NearBlackAndOthers, QuantiseKeeps,
                         ::testing::Values(ExactCase{{2, 2, 2}}, ExactCase{{1, 1, 1}}, ExactCase{{0, 0, 1}},
                                           ExactCase{{255, 0, 0}}, ExactCase{{91, 147, 135}}, ExactCase{{31, 37, 95}}));

// Pure black means "not drawn" to the host: it must come only from empty
// pixels, never from a faint edge or a drawn near-black.
TEST(Quantise, BlackOnlyWhereNothingWasDrawn) {
  Canvas canvas(64, 64);
  canvas.fill_circle({32, 32}, 20.3, Rgb{40, 40, 40});
  canvas.line({2, 60}, {62, 58}, 0.3, art::white);  // so thin every pixel is faint
  canvas.fill_cells(0, 0, 3, 3, Rgb{0, 0, 1});
  for (int empty_alpha : {0, 24}) {
    const Bitmap b8 = art::to_indexed(canvas, 1, {Rgb{0, 0, 1}}, empty_alpha);
    const Bitmap b24 = art::to_rgb24(canvas, 2, empty_alpha);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        const bool empty = canvas.pixel(x, y).a <= empty_alpha;
        ASSERT_EQ(b8.at(x, y) == art::black, empty) << x << "," << y << " cut " << empty_alpha;
        ASSERT_EQ(b24.at(x, y) == art::black, empty) << x << "," << y << " cut " << empty_alpha;
      }
  }
}

TEST(Quantise, ManyShadesFitThePalette) {
  Canvas canvas(256, 64);
  cairo_t* cr = canvas.cr();
  cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 256, 64);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0, 0);
  cairo_pattern_add_color_stop_rgb(p, 0.5, 0, 1, 0.5);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.2, 0.1, 1);
  cairo_set_source(cr, p);
  cairo_paint(cr);
  cairo_pattern_destroy(p);
  canvas.fill_cells(0, 0, 0, 0, Rgb{2, 2, 2});
  const Bitmap b = art::to_indexed(canvas, 1, {Rgb{2, 2, 2}});
  EXPECT_LE(b.palette.size(), 256u);
  EXPECT_EQ(b.at(0, 0), (Rgb{2, 2, 2}));
  int worst = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 1; x < 256; ++x) {
      const art::Rgba want = canvas.pixel(x, y);
      const Rgb got = b.at(x, y);
      worst = std::max({worst, std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b)});
    }
  EXPECT_LE(worst, 12);
}

TEST(Quantise, EmptyCanvasIsAllEntryZero) {
  Canvas canvas(5, 3);
  const Bitmap b = art::to_indexed(canvas, 0x77, {});
  EXPECT_EQ(b.id, 0x77u);
  ASSERT_EQ(b.palette.size(), 1u);
  EXPECT_EQ(b.palette[0], art::black);
  for (auto p : b.pixels) EXPECT_EQ(p, 0);
}

struct CellCase {
  int x0, y0, x1, y1;
};
std::ostream& operator<<(std::ostream& o, const CellCase& c) {
  return o << c.x0 << "," << c.y0 << ".." << c.x1 << "," << c.y1;
}

class CanvasCells : public ::testing::TestWithParam<CellCase> {};

// Stated pixel extents rely on cells covering exactly the columns and rows named.
TEST_P(CanvasCells, FillExactlyTheNamedPixels) {
  const CellCase c = GetParam();
  Canvas canvas(20, 20);
  canvas.fill_cells(c.x0, c.y0, c.x1, c.y1, art::white);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool inside = x >= c.x0 && x <= c.x1 && y >= c.y0 && y <= c.y1;
      ASSERT_EQ(canvas.pixel(x, y).a, inside ? 255 : 0) << x << "," << y;
    }
  canvas.clear_cells(c.x0, c.y0, c.x1, c.y1);
  EXPECT_TRUE(art_test::drawn_box(art::to_indexed(canvas, 0, {})).empty());
}

INSTANTIATE_TEST_SUITE_P(Boxes, CanvasCells,
                         ::testing::Values(CellCase{0, 0, 0, 0}, CellCase{3, 4, 3, 9}, CellCase{2, 5, 17, 5},
                                           CellCase{0, 0, 19, 19}, CellCase{7, 7, 12, 8}));

struct AlignCase {
  art::HAlign h;
  art::VAlign v;
  int x0, x1, y0, y1;  // where the ink must start and end, -1 for "don't care"
};
std::ostream& operator<<(std::ostream& o, const AlignCase& a) {
  const char* h[] = {"left", "centre", "right"};
  const char* v[] = {"top", "middle", "bottom", "baseline"};
  return o << h[static_cast<int>(a.h)] << " " << v[static_cast<int>(a.v)];
}

class CanvasText : public ::testing::TestWithParam<AlignCase> {};

// Text is placed by its ink: right alignment at x = 47 ends the ink in column 46.
TEST_P(CanvasText, InkLandsWhereAligned) {
  const AlignCase a = GetParam();
  Canvas canvas(100, 60);
  canvas.text("2700", {47, 30}, art::Font{"DejaVu Sans Condensed", 17, true}, art::white, a.h, a.v);
  const art_test::Box box = art_test::drawn_box(art::to_indexed(canvas, 0, {art::white}, 40));
  if (a.x0 >= 0) {
    EXPECT_EQ(box.x0, a.x0);
  }
  if (a.x1 >= 0) {
    EXPECT_EQ(box.x1, a.x1);
  }
  if (a.y0 >= 0) {
    EXPECT_EQ(box.y0, a.y0);
  }
  if (a.y1 >= 0) {
    EXPECT_EQ(box.y1, a.y1);
  }
  if (a.h == art::HAlign::centre) {
    EXPECT_NEAR((box.x0 + box.x1 + 1) / 2.0, 47, 1.0);
  }
  if (a.v == art::VAlign::middle) {
    EXPECT_NEAR((box.y0 + box.y1 + 1) / 2.0, 30, 1.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Alignments, CanvasText,
                         ::testing::Values(AlignCase{art::HAlign::right, art::VAlign::middle, -1, 46, -1, -1},
                                           AlignCase{art::HAlign::left, art::VAlign::top, 47, -1, 30, -1},
                                           AlignCase{art::HAlign::centre, art::VAlign::bottom, -1, -1, -1, 29},
                                           AlignCase{art::HAlign::centre, art::VAlign::middle, -1, -1, -1, -1}));

}  // namespace
