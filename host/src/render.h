// Drawing a gauge's element chain as the panel system does, after an update
// cycle: root first, each element over those before it, in the gauge's own
// pixels (origin top left, y down).
#pragma once

#include <cairo.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fonts.h"
#include "gauge_driver.h"
#include "render_bitmap.h"
#include "resources.h"

namespace panel_host {

// Where a needle points for a value: radians clockwise from pointing right
// (y grows downwards), toward the table point whose value it is; between
// neighbouring entries it turns clockwise, linearly in value; past either
// end, and for a value that is not a number, it rests at the end entry
// (the first for NaN). Without a table it points right.
double needle_angle(const host::NonLinearity* table, std::size_t entries, double x, double y, double value);

// How far a moving image is displaced inside its window along one axis:
// 0 at the range's first value, image_size - window_size at its second,
// linear between and held at the ends; NaN and an axis whose two values
// are equal stay at 0.
double moving_image_offset(double value, double first, double second, int image_size, int window_size);

// A needle's table past this length is a broken module, not a gauge.
inline constexpr uint32_t needle_table_limit = 4096;

class GaugeRenderer {
 public:
  // Throws RenderError when the gauge has no size (the root element must
  // be an image the module carries).
  GaugeRenderer(const GaugeDriver& driver, ResourceSet resources, FontBook& fonts);

  int width() const { return width_; }
  int height() const { return height_; }

  // Draws the chain as the elements stand now, at the user-space origin.
  // Throws RenderError on a bitmap that cannot be decoded.
  void draw(cairo_t* cr);

  // A picture `scale` times the gauge's size that starts opaque black.
  SurfacePtr render(double scale = 1.0);

  // What the gauge asked for and could not be drawn, once each.
  const std::vector<std::string>& warnings() const { return warnings_; }

  // The face and box a string element is drawn with.
  const TextFace& face_of(const host::StringElement& s);

 private:
  void draw_element(cairo_t* cr, std::size_t index, const ElementState& state);
  void draw_image(cairo_t* cr, cairo_surface_t* image, double x, double y);
  void draw_needle(cairo_t* cr, std::size_t index, const ElementState& state);
  void draw_moving_image(cairo_t* cr, std::size_t index, const ElementState& state);
  void draw_string(cairo_t* cr, const ElementState& state);
  cairo_surface_t* image_of(std::size_t index, uint32_t id, bool required);
  void warn(std::size_t index, const std::string& what);

  const GaugeDriver& driver_;
  BitmapCache bitmaps_;
  FontBook& fonts_;
  int width_ = 0, height_ = 0;
  std::vector<std::string> warnings_;
  std::set<std::string> warned_;
};

// Writes the surface as a PNG; throws RenderError naming the path.
void write_png(cairo_surface_t* surface, const std::string& path);

}  // namespace panel_host
