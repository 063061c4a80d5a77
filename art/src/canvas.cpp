#include "art/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <stdexcept>
#include <utility>

namespace art {

namespace {
// Cairo measures angles from +x, turning toward +y (clockwise on screen).
double cairo_angle(double degrees) { return (degrees - 90.0) * std::numbers::pi / 180.0; }
}  // namespace

Pt polar(Pt centre, double radius, double degrees) {
  const double a = cairo_angle(degrees);
  return {centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("canvas needs a positive size");
  surface_ = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
  cr_ = cairo_create(surface_);
  if (cairo_status(cr_) != CAIRO_STATUS_SUCCESS) throw std::runtime_error("cairo could not make a surface");
  // Unhinted outlines keep figures where the geometry puts them.
  cairo_font_options_t* fo = cairo_font_options_create();
  cairo_font_options_set_antialias(fo, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(fo, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(fo, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr_, fo);
  cairo_font_options_destroy(fo);
}

Canvas::~Canvas() {
  if (cr_) cairo_destroy(cr_);
  if (surface_) cairo_surface_destroy(surface_);
}

Canvas::Canvas(Canvas&& o) noexcept
    : width_(o.width_), height_(o.height_), surface_(std::exchange(o.surface_, nullptr)),
      cr_(std::exchange(o.cr_, nullptr)) {}

Canvas& Canvas::operator=(Canvas&& o) noexcept {
  if (this != &o) {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    width_ = o.width_;
    height_ = o.height_;
    surface_ = std::exchange(o.surface_, nullptr);
    cr_ = std::exchange(o.cr_, nullptr);
  }
  return *this;
}

void Canvas::set_source(Rgb c) const { cairo_set_source_rgb(cr_, c.r / 255.0, c.g / 255.0, c.b / 255.0); }

void Canvas::set_font(const Font& f) const {
  cairo_select_font_face(cr_, f.family.c_str(), CAIRO_FONT_SLANT_NORMAL,
                         f.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr_, f.size);
}

void Canvas::set_antialias(bool on) {
  cairo_set_antialias(cr_, on ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void Canvas::fill_cells(int x0, int y0, int x1, int y1, Rgb c) {
  if (x1 < x0 || y1 < y0) return;
  cairo_save(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  set_source(c);
  cairo_rectangle(cr_, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Canvas::clear_cells(int x0, int y0, int x1, int y1) {
  if (x1 < x0 || y1 < y0) return;
  cairo_save(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr_, CAIRO_OPERATOR_CLEAR);
  cairo_rectangle(cr_, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Canvas::fill_rect(double x, double y, double w, double h, Rgb c) {
  set_source(c);
  cairo_rectangle(cr_, x, y, w, h);
  cairo_fill(cr_);
}

namespace {
void rounded_rect_path(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min({r, w / 2, h / 2});
  const double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
  cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
  cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
  cairo_close_path(cr);
}
void poly_path(cairo_t* cr, const std::vector<Pt>& pts) {
  cairo_new_path(cr);
  for (const Pt& p : pts) cairo_line_to(cr, p.x, p.y);
}
}  // namespace

void Canvas::fill_rounded_rect(double x, double y, double w, double h, double radius, Rgb c) {
  set_source(c);
  rounded_rect_path(cr_, x, y, w, h, radius);
  cairo_fill(cr_);
}

void Canvas::fill_rounded_rect(double x, double y, double w, double h, double radius, const Gradient& shade) {
  cairo_pattern_t* p = cairo_pattern_create_linear(shade.from.x, shade.from.y, shade.to.x, shade.to.y);
  for (const auto& [at, c] : shade.stops) cairo_pattern_add_color_stop_rgb(p, at, c.r / 255.0, c.g / 255.0, c.b / 255.0);
  cairo_save(cr_);
  cairo_set_source(cr_, p);
  rounded_rect_path(cr_, x, y, w, h, radius);
  cairo_fill(cr_);
  cairo_restore(cr_);
  cairo_pattern_destroy(p);
}

void Canvas::stroke_rounded_rect(double x, double y, double w, double h, double radius, double lw, Rgb c) {
  set_source(c);
  rounded_rect_path(cr_, x, y, w, h, radius);
  cairo_set_line_width(cr_, lw);
  cairo_stroke(cr_);
}

void Canvas::fill_polygon(const std::vector<Pt>& pts, Rgb c) {
  set_source(c);
  poly_path(cr_, pts);
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

void Canvas::stroke_polygon(const std::vector<Pt>& pts, double lw, Rgb c) {
  cairo_save(cr_);
  set_source(c);
  poly_path(cr_, pts);
  cairo_close_path(cr_);
  cairo_set_line_width(cr_, lw);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void Canvas::stroke_polygon_inside(const std::vector<Pt>& pts, double lw, Rgb c) {
  cairo_save(cr_);
  poly_path(cr_, pts);
  cairo_close_path(cr_);
  cairo_clip_preserve(cr_);
  set_source(c);
  cairo_set_line_width(cr_, 2 * lw);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
  cairo_set_miter_limit(cr_, 20);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void Canvas::polyline(const std::vector<Pt>& pts, double lw, Rgb c) {
  cairo_save(cr_);
  set_source(c);
  poly_path(cr_, pts);
  cairo_set_line_width(cr_, lw);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void Canvas::line(Pt a, Pt b, double lw, Rgb c) { polyline({a, b}, lw, c); }

void Canvas::hatch(int x0, int y0, int x1, int y1, double period, double stripe, Rgb c) {
  if (x1 < x0 || y1 < y0 || period <= 0) return;
  cairo_save(cr_);
  cairo_set_antialias(cr_, CAIRO_ANTIALIAS_NONE);
  cairo_new_path(cr_);
  cairo_rectangle(cr_, x0, y0, x1 - x0 + 1, y1 - y0 + 1);
  cairo_clip(cr_);
  set_source(c);
  const double h = y1 + 1 - y0;
  // A quarter-pixel offset keeps the edges off pixel centres, so each row is the last shifted by one.
  for (double t = x0 - h - period + 0.25; t <= x1 + 1; t += period) {
    cairo_move_to(cr_, t, y1 + 1);
    cairo_line_to(cr_, t + stripe, y1 + 1);
    cairo_line_to(cr_, t + stripe + h, y0);
    cairo_line_to(cr_, t + h, y0);
    cairo_close_path(cr_);
    // One fill per stripe: the mono rasteriser miscounts some pixels when
    // many stripes share a path.
    cairo_fill(cr_);
  }
  cairo_restore(cr_);
}

void Canvas::fill_circle(Pt centre, double radius, Rgb c) {
  set_source(c);
  cairo_new_path(cr_);
  cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * std::numbers::pi);
  cairo_fill(cr_);
}

void Canvas::stroke_circle(Pt centre, double radius, double lw, Rgb c) {
  set_source(c);
  cairo_new_path(cr_);
  cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * std::numbers::pi);
  cairo_set_line_width(cr_, lw);
  cairo_stroke(cr_);
}

void Canvas::arc(Pt centre, double radius, double from_deg, double to_deg, double lw, Rgb c) {
  cairo_save(cr_);
  set_source(c);
  cairo_new_path(cr_);
  cairo_arc(cr_, centre.x, centre.y, radius, cairo_angle(from_deg), cairo_angle(to_deg));
  cairo_set_line_width(cr_, lw);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  cairo_stroke(cr_);
  cairo_restore(cr_);
}

void Canvas::fill_sector(Pt centre, double inner, double outer, double from_deg, double to_deg, Rgb c) {
  set_source(c);
  cairo_new_path(cr_);
  cairo_arc(cr_, centre.x, centre.y, outer, cairo_angle(from_deg), cairo_angle(to_deg));
  cairo_arc_negative(cr_, centre.x, centre.y, inner, cairo_angle(to_deg), cairo_angle(from_deg));
  cairo_close_path(cr_);
  cairo_fill(cr_);
}

void Canvas::tick(Pt centre, double inner, double outer, double degrees, double lw, Rgb c) {
  line(polar(centre, inner, degrees), polar(centre, outer, degrees), lw, c);
}

TextInk Canvas::measure(const std::string& utf8, const Font& font) const {
  cairo_save(cr_);
  set_font(font);
  cairo_text_extents_t e;
  cairo_text_extents(cr_, utf8.c_str(), &e);
  cairo_restore(cr_);
  return {e.x_bearing, e.y_bearing, e.width, e.height, e.x_advance};
}

Pt Canvas::text_origin(const std::string& utf8, Pt at, const Font& font, HAlign h, VAlign v) const {
  const TextInk ink = measure(utf8, font);
  double x = at.x, y = at.y;
  switch (h) {
    case HAlign::left: x -= ink.x; break;
    case HAlign::centre: x -= ink.x + ink.width / 2; break;
    case HAlign::right: x -= ink.x + ink.width; break;
  }
  switch (v) {
    case VAlign::top: y -= ink.y; break;
    case VAlign::middle: y -= ink.y + ink.height / 2; break;
    case VAlign::bottom: y -= ink.y + ink.height; break;
    case VAlign::baseline: break;
  }
  return {x, y};
}

void Canvas::text(const std::string& utf8, Pt at, const Font& font, Rgb c, HAlign h, VAlign v) {
  const Pt o = text_origin(utf8, at, font, h, v);
  // Filled as outlines: glyph masks would snap to whole pixels and miss the ink box.
  cairo_save(cr_);
  set_font(font);
  set_source(c);
  cairo_new_path(cr_);
  cairo_move_to(cr_, o.x, o.y);
  cairo_text_path(cr_, utf8.c_str());
  cairo_fill(cr_);
  cairo_restore(cr_);
}

void Canvas::text_with_halo(const std::string& utf8, Pt at, const Font& font, Rgb c, Rgb halo,
                            double halo_width, HAlign h, VAlign v) {
  const Pt o = text_origin(utf8, at, font, h, v);
  cairo_save(cr_);
  set_font(font);
  cairo_new_path(cr_);
  cairo_move_to(cr_, o.x, o.y);
  cairo_text_path(cr_, utf8.c_str());
  set_source(halo);
  cairo_set_line_width(cr_, 2 * halo_width);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke_preserve(cr_);
  set_source(c);
  cairo_fill(cr_);
  cairo_restore(cr_);
}

Rgba Canvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) throw std::out_of_range("pixel outside the canvas");
  cairo_surface_flush(surface_);
  const unsigned char* data = cairo_image_surface_get_data(surface_);
  const int stride = cairo_image_surface_get_stride(surface_);
  std::uint32_t v;
  std::memcpy(&v, data + static_cast<std::size_t>(y) * stride + 4 * x, 4);
  const std::uint8_t a = v >> 24;
  if (a == 0) return {};
  auto un = [a](std::uint32_t c) { return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (c * 255 + a / 2) / a)); };
  return {un((v >> 16) & 0xFF), un((v >> 8) & 0xFF), un(v & 0xFF), a};
}

void Canvas::write_png(const std::filesystem::path& path) const {
  cairo_surface_flush(surface_);
  if (cairo_surface_write_to_png(surface_, path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + path.string());
}

}  // namespace art
