// What the render tests share: a gauge module loaded, driven and drawn as
// panel-host does it, and ways to look at the picture.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "render.h"
#include "session.h"

namespace render_test {

inline std::string module_path(const std::string& gauge) { return std::string(ZAZ_MODULE_DIR) + "/" + gauge + ".so"; }
inline std::string scenario_path(const std::string& name) {
  return std::string(ZAZ_SCENARIO_DIR) + "/" + name + ".toml";
}

inline constexpr const char* eicas = "Zazader_EICAS";
inline constexpr const char* tape = "Zazader_Airspeed";
inline constexpr const char* standby = "Zazader_BckupAirspeed";

using Settings = std::vector<std::pair<uint32_t, double>>;

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool black() const { return r == 0 && g == 0 && b == 0; }
  bool near(Rgb o, int tolerance) const {
    return std::abs(r - o.r) <= tolerance && std::abs(g - o.g) <= tolerance && std::abs(b - o.b) <= tolerance;
  }
};

inline std::ostream& operator<<(std::ostream& o, Rgb c) { return o << "(" << c.r << ", " << c.g << ", " << c.b << ")"; }

// A picture, read pixel by pixel; outside it reads black.
class Picture {
 public:
  explicit Picture(panel_host::SurfacePtr s) : surface_(std::move(s)) { cairo_surface_flush(surface_.get()); }
  int width() const { return cairo_image_surface_get_width(surface_.get()); }
  int height() const { return cairo_image_surface_get_height(surface_.get()); }
  cairo_surface_t* surface() const { return surface_.get(); }

  Rgb at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return {};
    const unsigned char* data = cairo_image_surface_get_data(surface_.get());
    const auto px = *reinterpret_cast<const uint32_t*>(data + static_cast<std::ptrdiff_t>(y) *
                                                                  cairo_image_surface_get_stride(surface_.get()) +
                                                       4 * x);
    return {static_cast<int>((px >> 16) & 0xFF), static_cast<int>((px >> 8) & 0xFF), static_cast<int>(px & 0xFF)};
  }

  // Pixels in [x0, x1) x [y0, y1) that are not black.
  int lit(int x0, int y0, int x1, int y1) const {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += !at(x, y).black();
    return n;
  }
  int lit() const { return lit(0, 0, width(), height()); }

  // Bounding box of the pixels that are not black: x0, y0, x1, y1 inclusive.
  std::optional<std::array<int, 4>> ink() const {
    std::array<int, 4> box{width(), height(), -1, -1};
    for (int y = 0; y < height(); ++y)
      for (int x = 0; x < width(); ++x)
        if (!at(x, y).black()) box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y)};
    if (box[2] < 0) return std::nullopt;
    return box;
  }

 private:
  panel_host::SurfacePtr surface_;
};

// One gauge module, driven with variables and drawn.
class Drawn {
 public:
  explicit Drawn(const std::string& gauge, const Settings& settings = {})
      : session_(module_path(gauge)),
        renderer_(session_.driver, panel_host::resources_from_handle(session_.file.handle()), fonts_) {
    for (const auto& [token, value] : settings) session_.variables.set(token, value);
  }

  void set(uint32_t token, double value) { session_.variables.set(token, value); }
  void cycle(int n = 1) { session_.run(n); }

  // Hides every element but those listed, as if the gauge had hidden them.
  void only(const std::set<std::size_t>& shown) {
    const auto& elements = session_.driver.elements();
    for (std::size_t i = 0; i < elements.size(); ++i)
      if (!shown.contains(i)) elements[i].record->image_flags |= host::image_hidden;
  }

  Picture picture(double scale = 1.0) { return Picture(renderer_.render(scale)); }

  // One update cycle, then the picture of only these elements.
  Picture draw_only(const std::set<std::size_t>& shown) {
    cycle();
    only(shown);
    return picture();
  }

  const panel_host::ElementState& element(std::size_t i) const { return session_.driver.elements().at(i); }
  std::size_t size() const { return session_.driver.elements().size(); }
  panel_host::GaugeRenderer& renderer() { return renderer_; }

 private:
  panel_host::FontBook fonts_;
  panel_host::Session session_;
  panel_host::GaugeRenderer renderer_;
};

}  // namespace render_test
