// Every EICAS bitmap: the scale overlay that the needles, bars and pointers
// are laid out against, and the pictures of the moving parts.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "art/art.h"
#include "art/gauges.h"

namespace {

using art::Bitmap;
using art::Canvas;
using art::Pt;
using art::Rgb;

constexpr int gauge_width = 660;
constexpr int gauge_height = 484;

constexpr Rgb scale_grey{175, 175, 175};
constexpr Rgb band_green{6, 159, 34};
constexpr Rgb band_yellow{254, 241, 37};
constexpr Rgb band_red{182, 17, 19};
constexpr Rgb gear_green{0, 212, 0};
constexpr Rgb legend_yellow{255, 236, 0};
constexpr Rgb gear_dark{16, 15, 0};
// Opaque, so a bar's dark half hides what lies under its window.
constexpr Rgb bar_dark{0, 0, 1};

// ---------------------------------------------------------------- dials

// A needle's two-entry value table, as the host reads it: the needle points
// from the pivot toward `first` at v0 and toward `second` at v1, turning
// clockwise and linearly in between.
struct DialTable {
  int pivot_x, pivot_y;
  int first_x, first_y;
  double v0;
  int second_x, second_y;
  double v1;
};

struct Band {
  double from, to;
  Rgb colour;
};

struct DialScale {
  DialTable table;
  double step, major_step;
  std::vector<Band> bands;
};

// Instrument angle (clockwise from up) of a table point seen from the pivot.
double bearing(int dx, int dy) {
  const double a = std::atan2(static_cast<double>(dx), static_cast<double>(-dy)) * 180.0 / std::numbers::pi;
  return a < 0 ? a + 360.0 : a;
}

double dial_angle(const DialTable& t, double value) {
  const double a0 = bearing(t.first_x - t.pivot_x, t.first_y - t.pivot_y);
  const double a1 = bearing(t.second_x - t.pivot_x, t.second_y - t.pivot_y);
  double sweep = std::fmod(a1 - a0 + 360.0, 360.0);
  if (sweep == 0) sweep = 360.0;
  return a0 + sweep * (value - t.v0) / (t.v1 - t.v0);
}

// The host turns a needle about the centre of its pivot pixel.
Pt pivot_centre(const DialTable& t) { return {t.pivot_x + 0.5, t.pivot_y + 0.5}; }

constexpr double band_inner = 52, band_outer = 62;
constexpr double tick_inner = 51, minor_outer = 64, major_outer = 69;

std::vector<DialScale> dial_scales() {
  const std::vector<Band> n1{{20, 100, band_green}, {100, 105, band_yellow}, {105, 120, band_red}};
  const std::vector<Band> itt{{400, 800, band_green}, {800, 900, band_yellow}, {900, 1000, band_red}};
  return {
      {{74, 77, 128, 101, 0, 74, 22, 120}, 5, 10, n1},
      {{203, 77, 257, 101, 0, 203, 21, 120}, 5, 10, n1},
      {{73, 216, 129, 242, 0, 73, 164, 1000}, 50, 100, itt},
      {{202, 216, 257, 242, 0, 202, 165, 1000}, 50, 100, itt},
  };
}

void draw_dial(Canvas& c, const DialScale& d) {
  const Pt centre = pivot_centre(d.table);
  // A thin rim along the whole travel, so the unbanded low end still reads
  // as part of the dial.
  c.arc(centre, tick_inner, dial_angle(d.table, d.table.v0), dial_angle(d.table, d.table.v1), 1.5, scale_grey);
  for (const Band& b : d.bands)
    c.fill_sector(centre, band_inner, band_outer, dial_angle(d.table, b.from), dial_angle(d.table, b.to), b.colour);
  // Whole steps counted, so no tick is lost to rounding of the last one.
  const int steps = static_cast<int>(std::lround((d.table.v1 - d.table.v0) / d.step));
  const int per_major = static_cast<int>(std::lround(d.major_step / d.step));
  for (int i = 0; i <= steps; ++i) {
    const bool major = i % per_major == 0;
    const double a = dial_angle(d.table, d.table.v0 + i * d.step);
    c.tick(centre, tick_inner, major ? major_outer : minor_outer, a, major ? 2.6 : 2.0, art::white);
  }
}

// ---------------------------------------------------------------- overlay

// Digits ten pixels tall, so a figure centred on a two-pixel line fills
// whole rows: 52..61 around the line on rows 56..57.
constexpr int digit_rows = 10;

const art::Font& figure_font() {
  static const art::Font font = [] {
    art::Font f{"DejaVu Sans Condensed", 100, true};
    f.size = 100 * digit_rows / Canvas(1, 1).measure("1", f).height;
    return f;
  }();
  return font;
}

// A scale figure with its digits' middle at `centre_y`, on a whole-pixel
// baseline. Round digits overshoot their rows by a fraction of a pixel; the
// clip trims that, so nothing faint spills beside the marks.
void figure(Canvas& c, const std::string& text, double x, double centre_y, art::HAlign h) {
  const double baseline = std::round(centre_y + digit_rows / 2.0);
  cairo_t* cr = c.cr();
  cairo_save(cr);
  cairo_rectangle(cr, 0, baseline - digit_rows, c.width(), digit_rows);
  cairo_clip(cr);
  c.text(text, {x, baseline}, figure_font(), scale_grey, h, art::VAlign::baseline);
  cairo_restore(cr);
}

// A two-pixel horizontal line over rows y..y+1, broken around the figure
// centred on it.
void bracket_line(Canvas& c, int x0, int x1, int y, const std::string& label) {
  const double mid = (x0 + x1 + 1) / 2.0;
  const double half = c.measure(label, figure_font()).width / 2;
  const int gap = 3;
  c.fill_cells(x0, y, static_cast<int>(std::floor(mid - half)) - gap, y + 1, scale_grey);
  c.fill_cells(static_cast<int>(std::ceil(mid + half)) + gap, y, x1, y + 1, scale_grey);
  figure(c, label, mid, y + 1.0, art::HAlign::centre);
}

struct BracketMark {
  int y;  // top row of the two-pixel line
  std::string label;
  bool full;  // right across, or only short arms off the walls
};

// "[ ]" scale between two bars: walls over the bars' whole height, lines and
// figures at the marked rows.
void bracket(Canvas& c, int left_wall, int right_wall, int top, int bottom, const std::vector<BracketMark>& marks) {
  c.fill_cells(left_wall, top, left_wall + 1, bottom, scale_grey);
  c.fill_cells(right_wall, top, right_wall + 1, bottom, scale_grey);
  for (const BracketMark& m : marks) {
    if (m.full) {
      bracket_line(c, left_wall, right_wall + 1, m.y, m.label);
    } else {
      const double mid = (left_wall + right_wall + 2) / 2.0;
      c.fill_cells(left_wall + 2, m.y, left_wall + 5, m.y + 1, scale_grey);
      c.fill_cells(right_wall - 4, m.y, right_wall - 1, m.y + 1, scale_grey);
      figure(c, m.label, mid, m.y + 1.0, art::HAlign::centre);
    }
  }
}

void flap_scale(Canvas& c) {
  c.fill_cells(618, 56, 619, 129, scale_grey);
  const char* labels[] = {"0", "10", "20", "30", "40"};
  for (int i = 0; i < 5; ++i) {
    const int y = 56 + 18 * i;
    c.fill_cells(620, y, 623, y + 1, scale_grey);
    figure(c, labels[i], 626, y + 1.0, art::HAlign::left);
  }
}

// The coloured strip beside the tank bars, with its marks on the outer side.
// Figures stay within the bars' rows, clear of the readouts above.
void tank_scale(Canvas& c, int strip_x0, bool marks_left) {
  constexpr int top = 356, bottom = 465;
  constexpr int red_rows = 11;  // the last tenth of the travel
  c.fill_cells(strip_x0, top, strip_x0 + 4, bottom - red_rows, band_green);
  c.fill_cells(strip_x0, bottom - red_rows + 1, strip_x0 + 4, bottom, band_red);
  const int tick_x0 = marks_left ? strip_x0 - 10 : strip_x0 + 5;
  struct Mark {
    int y;
    const char* label;
  };
  // Two-row marks at the top, about the middle and at the foot.
  for (const Mark m : {Mark{top, "100"}, Mark{(top + bottom + 1) / 2 - 1, "50"}, Mark{bottom - 1, "0"}}) {
    c.fill_cells(tick_x0, m.y, tick_x0 + 9, m.y + 1, scale_grey);
    const double half = digit_rows / 2.0;
    const double centre = std::clamp(m.y + 1.0, top + half, bottom + 1 - half);
    if (marks_left)
      figure(c, m.label, tick_x0 - 3.0, centre, art::HAlign::right);
    else
      figure(c, m.label, tick_x0 + 13.0, centre, art::HAlign::left);
  }
}

Bitmap scale_overlay() {
  Canvas c(gauge_width, gauge_height);
  for (const DialScale& d : dial_scales()) draw_dial(c, d);
  // Fuel flow in thousands of pounds per hour, between the flow bars.
  bracket(c, 359, 399, 56, 129, {{56, "50", true}, {92, "25", false}, {128, "0", true}});
  // Spoiler degrees, between the spoiler bars.
  bracket(c, 521, 558, 56, 129, {{56, "60", true}, {128, "0", true}});
  flap_scale(c);
  tank_scale(c, 358, true);
  tank_scale(c, 395, false);
  return art::to_indexed(c, 0x4900, {scale_grey, art::white, band_green, band_yellow, band_red});
}

// ---------------------------------------------------------------- needles

// Pivot at (5, 5); the bar runs along row 5, 9 to 55 pixels out.
Bitmap needle(std::uint32_t id) {
  Canvas c(62, 11);
  c.fill_cells(14, 3, 50, 7, art::white);
  c.fill_polygon({{51, 3}, {61, 5.5}, {51, 8}}, art::white);
  return art::to_indexed(c, id, {art::white});
}

// A triangle on the dial's rim, 57 to 67 pixels out, tip toward the pivot.
Bitmap lever_pointer(std::uint32_t id) {
  Canvas c(74, 11);
  c.fill_polygon({{62, 5.5}, {72, 1}, {72, 10}}, art::white);
  c.fill_cells(72, 1, 72, 9, art::white);
  return art::to_indexed(c, id, {art::white});
}

// ---------------------------------------------------------------- legends

// Legend words: bold capitals squeezed to fit, cap height 13 pixels on rows
// 7..19; the rows are clipped so curved letters overshoot nowhere.
constexpr double word_squeeze = 0.78;
constexpr double cap_top = 7, cap_bottom = 20;

void word_path(cairo_t* cr, const std::string& word, double centre_x) {
  cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
  cairo_set_font_size(cr, 100);
  cairo_text_extents_t h;
  cairo_text_extents(cr, "H", &h);
  const double size = 100 * (cap_bottom - cap_top) / h.height;
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, size * word_squeeze, size);
  cairo_set_font_matrix(cr, &m);
  cairo_text_extents_t e;
  cairo_text_extents(cr, word.c_str(), &e);
  cairo_new_path(cr);
  cairo_move_to(cr, centre_x - e.x_bearing - e.width / 2, cap_bottom);
  cairo_text_path(cr, word.c_str());
}

void clip_rows(cairo_t* cr, double top, double bottom, int width) {
  cairo_new_path(cr);
  cairo_rectangle(cr, 0, top, width, bottom - top);
  cairo_clip(cr);
}

void set_rgb(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

// A framed word; the frame's outer edge is (2, 2) to (width - 3, 24), two
// pixels thick. With `outline` frame and letters get a one-pixel dark rim
// that keeps them legible over anything lighter.
Bitmap legend(std::uint32_t id, int width, const std::string& word, Rgb colour, bool outline) {
  Canvas c(width, 27);
  const int r = width - 3;
  auto frame = [&](int inset, Rgb col) {
    const int x0 = 2 + inset, y0 = 2 + inset, x1 = r - inset, y1 = 24 - inset;
    c.fill_cells(x0, y0, x1, y0, col);
    c.fill_cells(x0, y1, x1, y1, col);
    c.fill_cells(x0, y0, x0, y1, col);
    c.fill_cells(x1, y0, x1, y1, col);
  };
  if (outline) {
    frame(-1, gear_dark);
    frame(2, gear_dark);
  }
  frame(0, colour);
  frame(1, colour);

  cairo_t* cr = c.cr();
  const double centre_x = width / 2.0;
  if (outline) {
    cairo_save(cr);
    clip_rows(cr, cap_top - 1, cap_bottom + 1, width);
    word_path(cr, word, centre_x);
    set_rgb(cr, gear_dark);
    cairo_set_line_width(cr, 2.0);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
  }
  cairo_save(cr);
  clip_rows(cr, cap_top, cap_bottom, width);
  word_path(cr, word, centre_x);
  set_rgb(cr, colour);
  cairo_fill(cr);
  cairo_restore(cr);

  std::vector<Rgb> exact{colour};
  if (outline) exact.push_back(gear_dark);
  return art::to_indexed(c, id, exact);
}

// ---------------------------------------------------------------- bars

Bitmap indexed(std::uint32_t id, int width, int height, std::vector<Rgb> palette) {
  Bitmap b;
  b.id = id;
  b.width = width;
  b.height = height;
  b.bits_per_pixel = 8;
  b.palette = std::move(palette);
  b.pixels.assign(static_cast<std::size_t>(width) * height, 0);
  return b;
}

// Upper half one colour, lower half the other; the window shows one half's
// worth, so the bar's value slides the boundary through it.
Bitmap bar(std::uint32_t id, int height, bool lit_below) {
  Bitmap b = indexed(id, 8, height, {bar_dark, art::white});
  for (int y = 0; y < height; ++y) {
    const bool lower = y >= height / 2;
    std::fill_n(b.pixels.begin() + static_cast<std::ptrdiff_t>(y) * 8, 8, lower == lit_below ? 1 : 0);
  }
  return b;
}

// Pointer triangles: row r is white over 2 * (6 - |r - 6|) + 2 columns from
// the flat side; the tip is row 6.
Bitmap slider_pointer(std::uint32_t id, bool points_left) {
  constexpr int w = 14, h = 13;
  Bitmap b = indexed(id, w, h, {art::black, art::white});
  for (int y = 0; y < h; ++y) {
    const int last = 2 * (6 - std::abs(y - 6)) + 1;
    for (int x = 0; x <= last; ++x) b.pixels[static_cast<std::size_t>(y) * w + (points_left ? w - 1 - x : x)] = 1;
  }
  return b;
}

}  // namespace

std::vector<art::Bitmap> eicas_bitmaps() {
  std::vector<Bitmap> out;
  out.push_back(art::solid_bitmap(0x3800, gauge_width, gauge_height, art::black));
  out.push_back(scale_overlay());
  out.push_back(art::solid_bitmap(0x4901, 6, 6, art::black));

  for (std::uint32_t id : {0x6100u, 0x1400u, 0x1800u, 0x1900u}) out.push_back(needle(id));
  for (std::uint32_t id : {0x1600u, 0x1700u}) out.push_back(lever_pointer(id));
  for (std::uint32_t id : {0x4000u, 0x3100u}) {
    out.push_back(legend(id, 37, "AB", art::white, false));
    out.push_back(legend(id + 1, 37, "AB", legend_yellow, false));
  }

  // Fuel flow and spoiler bars fill upward, the flap bar downward.
  for (std::uint32_t id : {0x4200u, 0x2800u, 0x1200u, 0x2600u}) out.push_back(bar(id, 148, true));
  out.push_back(bar(0x2400, 148, false));
  for (std::uint32_t id : {0x4201u, 0x2801u, 0x1201u, 0x2601u, 0x2401u})
    out.push_back(art::solid_bitmap(id, 8, 74, art::near_black));
  for (std::uint32_t id : {0x3600u, 0x2000u, 0x2200u}) {
    out.push_back(bar(id, 220, true));
    out.push_back(art::solid_bitmap(id + 1, 8, 110, art::near_black));
  }

  out.push_back(slider_pointer(0x3400, false));
  out.push_back(slider_pointer(0x3200, false));
  out.push_back(slider_pointer(0x3500, true));

  for (std::uint32_t id : {0x6400u, 0x6500u, 0x6600u}) {
    out.push_back(legend(id, 67, "DOWN", gear_green, false));
    out.push_back(legend(id + 1, 67, "TRNST", legend_yellow, true));
    out.push_back(legend(id + 2, 67, "UP", art::white, false));
  }
  return out;
}
