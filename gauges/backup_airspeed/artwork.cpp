// The standby airspeed dial: bezel, face, the two speed bugs and the pointer.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "art/art.h"
#include "art/gauges.h"

namespace {

using art::Canvas;
using art::Pt;
using art::Rgb;

constexpr Pt centre{171.5, 171.5};  // centre of pixel (171, 171), where the needles turn

// The needles' scale as the host reads it: table points about the centre,
// turning clockwise and linear in value between neighbours.
struct ScalePoint {
  int x, y;
  double knots;
};
constexpr ScalePoint scale[] = {
    {170, 47, 0}, {171, 47, 60}, {285, 106, 100}, {243, 289, 160}, {162, 308, 200}, {74, 257, 300}, {119, 58, 700},
};

double bearing(int x, int y) {
  const double d = std::atan2(x - 171.0, 171.0 - y) * 180.0 / std::numbers::pi;
  return d < 0 ? d + 360.0 : d;
}

// Where the pointer stands at `knots`, in degrees clockwise from up.
double direction(double knots) {
  constexpr int n = sizeof scale / sizeof scale[0];
  if (knots <= scale[0].knots) return bearing(scale[0].x, scale[0].y);
  for (int i = 0; i + 1 < n; ++i) {
    if (knots <= scale[i + 1].knots) {
      const double a = bearing(scale[i].x, scale[i].y);
      double turn = bearing(scale[i + 1].x, scale[i + 1].y) - a;
      if (turn < 0) turn += 360.0;
      const double d = a + turn * (knots - scale[i].knots) / (scale[i + 1].knots - scale[i].knots);
      return std::fmod(d, 360.0);
    }
  }
  return bearing(scale[n - 1].x, scale[n - 1].y);
}

art::Bitmap bezel() {
  constexpr int w = 342, h = 345;
  constexpr Rgb interior{2, 2, 2};
  Canvas c(w, h);
  // Brushed grey, lit from the top left; the rounded corners leave the only black.
  constexpr double r = 22;
  c.fill_rounded_rect(0, 0, w, h, r,
                      art::Gradient{{0, 0}, {w, h}, {{0.0, {158, 161, 166}}, {0.5, {115, 117, 122}}, {1.0, {71, 74, 77}}}});

  // A bevel: a light lip round the outside and a dark one at the opening.
  c.stroke_rounded_rect(1.5, 1.5, w - 3, h - 3, r - 1.5, 1.5, Rgb{176, 178, 182});
  // The opening is x 14..327, y 14..328 in surface units; the shadow sits just outside.
  c.stroke_rounded_rect(13, 13, 315, 316, 3, 2, Rgb{40, 41, 44});
  c.stroke_rounded_rect(10.5, 10.5, 320, 321, 5, 1, Rgb{150, 152, 156});

  c.fill_cells(14, 14, 326, 327, interior);
  return art::to_indexed(c, 0x2300, {interior});
}

art::Bitmap dial_face() {
  Canvas c(342, 342);
  const Rgb ink = art::white;

  // The flap range: white arc from the 120 mark to about 290 knots.
  c.arc(centre, 145.5, direction(120), direction(290), 6, ink);

  struct Tick {
    double knots;
    double inner;
    double width;
  };
  std::vector<Tick> ticks;
  auto labelled = [](int v) {
    for (int l : {60, 80, 100, 120, 140, 160, 200, 300, 400, 500, 600, 700})
      if (v == l) return true;
    return false;
  };
  // Finer graduation where the scale is open, coarser where it crowds.
  for (int v = 60; v <= 700;) {
    double inner = 135, width = 2;
    if (labelled(v)) {
      inner = 125, width = 3.5;
    } else if ((v < 200 && v % 10 == 0) || v % 50 == 0) {
      inner = 130, width = 2.5;
    }
    ticks.push_back({static_cast<double>(v), inner, width});
    v += v < 200 ? 5 : v < 300 ? 10 : 25;
  }
  for (const Tick& t : ticks) c.tick(centre, t.inner, 142, direction(t.knots), t.width, ink);

  const art::Font figures{"DejaVu Sans Condensed", 25, true};
  for (int v : {60, 80, 100, 120, 140, 160, 200, 300, 400, 500, 600, 700}) {
    const std::string s = std::to_string(v);
    // Wide figures sit a little further in so none reaches the ticks.
    const double radius = s.size() == 2 ? 103 : 99;
    c.text(s, art::polar(centre, radius, direction(v)), figures, ink);
  }

  c.text("KNOTS", {centre.x, 128.5}, art::Font{"DejaVu Sans", 11, true}, ink);
  c.fill_circle(centre, 4, Rgb{128, 128, 128});
  return art::to_rgb24(c, 0x1800);
}

// A speed bug: rounded bar lying across the tick ring, centred on row 6.
art::Bitmap marker(std::uint32_t id, Rgb colour) {
  Canvas c(147, 13);
  c.fill_rounded_rect(119, 1, 27, 11, 3.5, colour);
  // A darker rim keeps the bug readable where it crosses the white ticks.
  art::Rgb rim{static_cast<std::uint8_t>(colour.r * 0.55), static_cast<std::uint8_t>(colour.g * 0.55),
               static_cast<std::uint8_t>(colour.b * 0.55)};
  rim = rim == art::black ? art::near_black : rim;
  c.stroke_rounded_rect(119.5, 1.5, 26, 10, 3, 1, rim);
  c.fill_rounded_rect(120.5, 2.5, 24, 8, 2.5, colour);
  return art::to_indexed(c, id, {colour}, 24);
}

art::Bitmap pointer() {
  constexpr Rgb green{0, 212, 0};
  Canvas c(136, 31);
  // Shaft rows 11..19, head rows 1..29; the tip is the right edge of column 134.
  const std::vector<Pt> arrow{{63, 11}, {104, 11}, {100, 1}, {135, 15.5}, {100, 30}, {104, 20}, {63, 20}};
  c.stroke_polygon_inside(arrow, 3, green);
  return art::to_indexed(c, 0x2400, {green}, 24);
}

}  // namespace

std::vector<art::Bitmap> backup_airspeed_bitmaps() {
  std::vector<art::Bitmap> out;
  out.push_back(bezel());
  out.push_back(dial_face());
  out.push_back(marker(0x1700, Rgb{255, 0, 0}));
  out.push_back(marker(0x1900, Rgb{2, 122, 235}));
  out.push_back(pointer());
  return out;
}
