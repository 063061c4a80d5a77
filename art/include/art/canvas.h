// A Cairo drawing surface with the shapes instruments are made of.
// Coordinates are Cairo's: pixel (x, y) covers the square x..x+1, y..y+1,
// so a 1-pixel line along row y runs through y + 0.5.
#pragma once

#include <cairo.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "art/bitmap.h"

namespace art {

struct Pt {
  double x = 0, y = 0;
};

// Instrument angles: degrees clockwise from straight up.
Pt polar(Pt centre, double radius, double degrees);

struct Font {
  std::string family = "DejaVu Sans";  // any fontconfig family
  double size = 12;                    // pixels (em size)
  bool bold = false;
};

enum class HAlign { left, centre, right };
enum class VAlign { top, middle, bottom, baseline };

// Ink box of a text, relative to the point where it is drawn (baseline origin).
struct TextInk {
  double x = 0, y = 0, width = 0, height = 0, advance = 0;
};

// A linear shade from one point to another through colour stops (0..1).
struct Gradient {
  Pt from, to;
  std::vector<std::pair<double, Rgb>> stops;
};

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;  // not premultiplied
};

class Canvas {
 public:
  // Fully transparent to begin with.
  Canvas(int width, int height);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Canvas(Canvas&& other) noexcept;
  Canvas& operator=(Canvas&& other) noexcept;

  int width() const { return width_; }
  int height() const { return height_; }
  // For anything the helpers below lack; leave the context as you found it
  // (cairo_save / cairo_restore).
  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }

  // Anti-aliasing of shapes (text keeps grey anti-aliasing). On by default.
  void set_antialias(bool on);

  // Exact pixel cells, columns x0..x1 and rows y0..y1 inclusive, never
  // anti-aliased; Rgba alpha 255.
  void fill_cells(int x0, int y0, int x1, int y1, Rgb colour);
  // Makes the cells fully transparent again.
  void clear_cells(int x0, int y0, int x1, int y1);

  void fill_rect(double x, double y, double w, double h, Rgb colour);
  void fill_rounded_rect(double x, double y, double w, double h, double radius, Rgb colour);
  void fill_rounded_rect(double x, double y, double w, double h, double radius, const Gradient& shade);
  // The stroke is centred on the rectangle's outline.
  void stroke_rounded_rect(double x, double y, double w, double h, double radius,
                           double line_width, Rgb colour);
  void fill_polygon(const std::vector<Pt>& points, Rgb colour);
  void stroke_polygon(const std::vector<Pt>& points, double line_width, Rgb colour);  // closed
  // Outline kept wholly inside the polygon, so its outer edge is the polygon's.
  void stroke_polygon_inside(const std::vector<Pt>& points, double line_width, Rgb colour);
  void polyline(const std::vector<Pt>& points, double line_width, Rgb colour);        // open, butt ends
  void line(Pt a, Pt b, double line_width, Rgb colour);                               // butt ends
  // Crisp diagonal stripes clipped to cells x0..x1, y0..y1: one `stripe`
  // wide (measured along a row) every `period` columns, rising to the right.
  void hatch(int x0, int y0, int x1, int y1, double period, double stripe, Rgb colour);
  void fill_circle(Pt centre, double radius, Rgb colour);
  void stroke_circle(Pt centre, double radius, double line_width, Rgb colour);
  // Arc from one instrument angle clockwise to another, stroke centred on radius.
  void arc(Pt centre, double radius, double from_deg, double to_deg, double line_width, Rgb colour);
  // Filled ring sector between two radii, from_deg clockwise to to_deg.
  void fill_sector(Pt centre, double inner, double outer, double from_deg, double to_deg, Rgb colour);
  // A radial tick from inner to outer radius at an instrument angle.
  void tick(Pt centre, double inner, double outer, double degrees, double line_width, Rgb colour);

  // Text placed by its ink box (not its advance), so figures sit where they
  // look centred: `at` is the reference point picked by the alignments.
  void text(const std::string& utf8, Pt at, const Font& font, Rgb colour,
            HAlign h = HAlign::centre, VAlign v = VAlign::middle);
  // The same text with a `halo` of the given width round every stroke, to
  // keep figures legible where they cross other markings.
  void text_with_halo(const std::string& utf8, Pt at, const Font& font, Rgb colour, Rgb halo,
                      double halo_width, HAlign h = HAlign::centre, VAlign v = VAlign::middle);
  TextInk measure(const std::string& utf8, const Font& font) const;

  Rgba pixel(int x, int y) const;
  void write_png(const std::filesystem::path& path) const;

 private:
  void set_source(Rgb colour) const;
  void set_font(const Font& font) const;
  Pt text_origin(const std::string& utf8, Pt at, const Font& font, HAlign h, VAlign v) const;
  int width_ = 0, height_ = 0;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
};

}  // namespace art
