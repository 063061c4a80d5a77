// The airspeed tape gauge: the scrolling tape, the overspeed band and the
// selected-speed bug with their windows, and the readout frame with its pointer.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "art/art.h"
#include "art/gauges.h"

namespace {

using art::Canvas;
using art::Pt;
using art::Rgb;

constexpr Rgb ground{31, 37, 95};
constexpr Rgb red{214, 2, 2};
constexpr Rgb flap_tag{91, 147, 135};
constexpr Rgb approach_tag{2, 112, 228};
constexpr Rgb ap_limit{231, 36, 217};
constexpr Rgb bug{235, 32, 210};
constexpr Rgb frame_blue{28, 135, 255};
constexpr Rgb pointer_edge{140, 140, 140};
constexpr Rgb open = art::near_black;  // window pixels through which the image shows

// 0 knots sits on row 6974 and 2700 on row 90.
constexpr double rows_per_knot = 6884.0 / 2700.0;
int tick_row(int knots) { return static_cast<int>(std::lround(6974.0 - knots * rows_per_knot)); }

constexpr int tick_left = 56, tick_right = 65;  // the graduation's columns
constexpr double numeral_right = 47.0;          // ink ends in column 46

art::Bitmap background() {
  Canvas c(101, 330);
  return art::to_indexed(c, 0x0100, {});
}

// A flag pointing right at the graduation, tip in the column before the ticks.
void tag(Canvas& c, int knots, int left, int half_height, Rgb colour, const std::string& figure) {
  const double y = tick_row(knots) + 0.5;
  const double top = y - half_height - 0.5, bottom = y + half_height + 0.5;
  const double shoulder = tick_left - half_height - 1.0;
  c.fill_polygon({{double(left), top}, {shoulder, top}, {double(tick_left), y}, {shoulder, bottom}, {double(left), bottom}},
                 colour);
  if (!figure.empty())
    c.text(figure, {(left + shoulder) / 2 + 0.5, y}, art::Font{"DejaVu Sans Condensed", 10, true}, ground);
}

art::Bitmap tape() {
  constexpr int w = 66, h = 7151;
  Canvas c(w, h);
  c.fill_cells(0, 0, w - 1, h - 1, ground);

  // Low-speed red from the 0 tick to the 120 tick, flap-range white above it.
  c.fill_cells(tick_left, 6673, tick_right, 6970, red);
  c.fill_cells(61, 6265, tick_right, 6664, art::white);

  // Autopilot limit at 1000 knots: a hatched bar across the tape, closed by solid edges.
  c.fill_cells(0, 4410, w - 1, 4411, ap_limit);
  c.hatch(0, 4412, w - 1, 4421, 7, 3, ap_limit);
  c.fill_cells(0, 4422, w - 1, 4426, ap_limit);
  c.text("AP LIMIT", {27.5, 4408.0}, art::Font{"DejaVu Sans Condensed", 11, true}, ap_limit, art::HAlign::centre,
         art::VAlign::bottom);

  for (int v = 0; v <= 2700; v += 10) {
    const int r = tick_row(v);
    c.fill_cells(tick_left, r - 1, tick_right, r + 1, art::white);
  }
  const art::Font numerals{"DejaVu Sans Condensed", 17, true};
  for (int v = 0; v <= 2700; v += 20) {
    const Pt at{numeral_right, tick_row(v) + 0.5};
    if (v == 1000)  // stands on the limit bar
      c.text_with_halo(std::to_string(v), at, numerals, art::white, ground, 1.5, art::HAlign::right);
    else
      c.text(std::to_string(v), at, numerals, art::white, art::HAlign::right);
  }

  // Flap placard speeds between the figures, and the approach speed.
  tag(c, 265, 31, 5, flap_tag, "10");
  tag(c, 215, 31, 5, flap_tag, "20");
  tag(c, 185, 31, 5, flap_tag, "30");
  tag(c, 145, 31, 5, flap_tag, "40");
  tag(c, 175, 44, 4, approach_tag, "");

  return art::to_indexed(c, 0x1400, {ground, art::white, red, flap_tag, approach_tag, ap_limit});
}

// Open rows with a hidden notch on the left where the readout frame and its
// pointer stand: `narrow` columns at the notch's ends, `wide` at its middle
// five rows, sloping evenly in between.
void notch(Canvas& c, int first, int last, int narrow, int wide) {
  const int mid = (first + last) / 2;
  const int slope_rows = mid - 2 - first;  // rows from an end to the wide part
  for (int r = first; r <= last; ++r) {
    const int d = std::min({r - first, last - r, slope_rows});
    const int width = narrow + static_cast<int>(std::lround(double(wide - narrow) * d / slope_rows));
    c.clear_cells(0, r, width - 1, r);
  }
}

art::Bitmap tape_window() {
  Canvas c(66, 310);
  c.fill_cells(0, 37, 65, 272, open);
  notch(c, 134, 176, 43, 61);
  return art::to_indexed(c, 0x1401, {open});
}

art::Bitmap overspeed_band() {
  constexpr int w = 66;
  Canvas c(w, 474);
  c.fill_cells(61, 0, w - 1, 235, red);
  c.hatch(0, 219, w - 1, 230, 7, 3, red);
  c.fill_cells(0, 231, w - 1, 235, red);
  return art::to_indexed(c, 0x1600, {red});
}

art::Bitmap band_window() {
  Canvas c(66, 236);
  c.fill_cells(0, 0, 65, 235, open);
  notch(c, 97, 139, 41, 59);
  return art::to_indexed(c, 0x1601, {open});
}

art::Bitmap selected_speed_bug() {
  Canvas c(21, 474);
  c.fill_cells(1, 217, 20, 218, bug);
  c.fill_cells(1, 256, 20, 257, bug);
  c.fill_cells(19, 217, 20, 257, bug);
  // The V opens to the left for the pointer; its point fills column 17, rows 236..238.
  c.fill_polygon({{1, 217}, {18, 236}, {18, 239}, {1, 258}, {1, 254.6}, {14.8, 239}, {14.8, 236}, {1, 220.4}}, bug);
  return art::to_indexed(c, 0x1800, {bug}, 24);
}

art::Bitmap bug_window() {
  Canvas c(21, 236);
  c.fill_cells(0, 0, 20, 235, open);
  for (int r = 104; r <= 132; ++r) {
    const int d = std::min({r - 104, 132 - r, 13});
    c.clear_cells(0, r, 2 + d - 1, r);
  }
  return art::to_indexed(c, 0x1801, {open});
}

art::Bitmap readout_frame() {
  Canvas c(97, 310);
  c.fill_cells(1, 134, 76, 137, frame_blue);
  c.fill_cells(1, 173, 76, 176, frame_blue);
  c.fill_cells(72, 134, 76, 176, frame_blue);
  // The pointer: its base fills the frame's inside height, its tip is column 92, row 155.
  const std::vector<Pt> pointer{{77, 138}, {93, 155.5}, {77, 173}};
  c.fill_polygon(pointer, art::white);
  c.stroke_polygon_inside(pointer, 1.2, pointer_edge);
  return art::to_indexed(c, 0x1200, {frame_blue, art::white, pointer_edge}, 24);
}

art::Bitmap frame_off() {
  Canvas c(3, 4);
  return art::to_indexed(c, 0x1201, {});
}

}  // namespace

std::vector<art::Bitmap> airspeed_bitmaps() {
  std::vector<art::Bitmap> out;
  out.push_back(background());
  out.push_back(tape());
  out.push_back(tape_window());
  out.push_back(overspeed_band());
  out.push_back(band_window());
  out.push_back(selected_speed_bug());
  out.push_back(bug_window());
  out.push_back(readout_frame());
  out.push_back(frame_off());
  return out;
}
