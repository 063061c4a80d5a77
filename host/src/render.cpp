#include "render.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

namespace panel_host {

namespace {

// Far enough past any gauge to draw nothing, near enough for Cairo's fixed
// point coordinates.
constexpr double coordinate_limit = 1 << 20;

bool drawable(double x, double y) {
  return std::isfinite(x) && std::isfinite(y) && std::abs(x) < coordinate_limit && std::abs(y) < coordinate_limit;
}

std::string hex_id(uint32_t id) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", id);
  return text;
}

double entry_angle(const host::NonLinearity& e, double x, double y) { return std::atan2(e.y - y, e.x - x); }

}  // namespace

double needle_angle(const host::NonLinearity* table, std::size_t entries, double x, double y, double value) {
  if (table == nullptr || entries == 0) return 0.0;
  if (std::isnan(value) || value <= table[0].value) return entry_angle(table[0], x, y);
  for (std::size_t i = 0; i + 1 < entries; ++i) {
    const double v0 = table[i].value, v1 = table[i + 1].value;
    if (!(value <= v1)) continue;
    const double a0 = entry_angle(table[i], x, y), a1 = entry_angle(table[i + 1], x, y);
    if (!(v1 > v0)) return a1;
    double sweep = std::fmod(a1 - a0, 2 * std::numbers::pi);
    if (sweep < 0) sweep += 2 * std::numbers::pi;
    return a0 + (value - v0) / (v1 - v0) * sweep;
  }
  return entry_angle(table[entries - 1], x, y);
}

double moving_image_offset(double value, double first, double second, int image_size, int window_size) {
  if (std::isnan(value) || !std::isfinite(first) || !std::isfinite(second) || first == second) return 0.0;
  const double t = std::clamp((value - first) / (second - first), 0.0, 1.0);
  return t * (image_size - window_size);
}

GaugeRenderer::GaugeRenderer(const GaugeDriver& driver, ResourceSet resources, FontBook& fonts)
    : driver_(driver), bitmaps_(std::move(resources)), fonts_(fonts) {
  const host::ElementHeader& root = *driver_.elements().at(0).record;
  const auto size = root.kind == host::ElementKind::string ? std::nullopt : bitmaps_.size(root.bitmap_id);
  if (!size)
    throw RenderError("the gauge has no size: its root element shows no bitmap the module carries (it names " +
                      hex_id(root.bitmap_id) + ")");
  width_ = size->first;
  height_ = size->second;
}

void GaugeRenderer::warn(std::size_t index, const std::string& what) {
  const std::string w = "element " + std::to_string(index) + " (" + kind_name(driver_.elements()[index].record->kind) +
                        "): " + what;
  if (warned_.insert(w).second) warnings_.push_back(w);
}

cairo_surface_t* GaugeRenderer::image_of(std::size_t index, uint32_t id, bool required) {
  const bool keyed = (driver_.elements()[index].record->image_flags & host::image_black_transparent) != 0;
  cairo_surface_t* s = bitmaps_.image(id, keyed);
  if (s == nullptr && required) warn(index, "the module carries no bitmap " + hex_id(id) + "; not drawn");
  return s;
}

void GaugeRenderer::draw_image(cairo_t* cr, cairo_surface_t* image, double x, double y) {
  x = std::floor(x);
  y = std::floor(y);
  if (!drawable(x, y)) return;
  cairo_set_source_surface(cr, image, x, y);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_rectangle(cr, x, y, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image));
  cairo_fill(cr);
}

void GaugeRenderer::draw_needle(cairo_t* cr, std::size_t index, const ElementState& state) {
  const auto& n = reinterpret_cast<const host::NeedleElement&>(*state.record);
  cairo_surface_t* image = image_of(index, n.header.bitmap_id, true);
  if (image == nullptr || !drawable(n.header.x, n.header.y)) return;
  const std::size_t entries = n.table != nullptr ? n.table_entries : 0;
  if (entries > needle_table_limit)
    throw RenderError("element " + std::to_string(index) + ": a needle table of " + std::to_string(entries) +
                      " entries (more than " + std::to_string(needle_table_limit) + ")");
  const double angle = needle_angle(n.table, entries, n.header.x, n.header.y, state.value);
  cairo_save(cr);
  // The pivot pixel's centre turns about the position pixel's centre.
  cairo_translate(cr, n.header.x + 0.5, n.header.y + 0.5);
  cairo_rotate(cr, angle);
  cairo_translate(cr, -n.header.offset_x - 0.5, -n.header.offset_y - 0.5);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
  cairo_rectangle(cr, 0, 0, cairo_image_surface_get_width(image), cairo_image_surface_get_height(image));
  cairo_fill(cr);
  cairo_restore(cr);
}

void GaugeRenderer::draw_moving_image(cairo_t* cr, std::size_t index, const ElementState& state) {
  const auto& m = reinterpret_cast<const host::MovingImageElement&>(*state.record);
  const uint32_t id = m.header.bitmap_id;
  cairo_surface_t* image = image_of(index, id, true);
  if (image == nullptr) return;
  cairo_surface_t* window = bitmaps_.window(id + 1);
  if (window == nullptr) {
    warn(index, "the module carries no window bitmap " + hex_id(id + 1) + "; not drawn");
    return;
  }
  const int iw = cairo_image_surface_get_width(image), ih = cairo_image_surface_get_height(image);
  const int ww = cairo_image_surface_get_width(window), wh = cairo_image_surface_get_height(window);
  const double x = m.header.x, y = m.header.y;
  const double ix = std::floor(x - moving_image_offset(state.value_x, m.range_x_first, m.range_x_second, iw, ww));
  const double iy = std::floor(y - moving_image_offset(state.value_y, m.range_y_first, m.range_y_second, ih, wh));
  if (!drawable(x, y) || !drawable(ix, iy)) return;

  cairo_save(cr);
  cairo_rectangle(cr, x, y, ww, wh);
  cairo_clip(cr);
  cairo_set_source_surface(cr, image, ix, iy);
  cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
  cairo_pattern_t* mask = cairo_pattern_create_for_surface(window);
  cairo_pattern_set_filter(mask, CAIRO_FILTER_NEAREST);
  cairo_matrix_t at;
  cairo_matrix_init_translate(&at, -x, -y);
  cairo_pattern_set_matrix(mask, &at);
  cairo_mask(cr, mask);
  cairo_pattern_destroy(mask);
  cairo_restore(cr);
}

const TextFace& GaugeRenderer::face_of(const host::StringElement& s) {
  const std::string name(s.font_name, strnlen(s.font_name, sizeof s.font_name));
  const double box_height = std::min<uint32_t>(s.box_height, 4096);
  return fonts_.face(name, s.font_weight, font_size_for_box(name, box_height));
}

void GaugeRenderer::draw_string(cairo_t* cr, const ElementState& state) {
  const auto& s = reinterpret_cast<const host::StringElement&>(*state.record);
  if (state.text == nullptr || s.box_width == 0 || s.box_height == 0) return;
  const double x = s.header.x, y = s.header.y;
  if (!drawable(x, y)) return;
  const double w = std::min<uint32_t>(s.box_width, 1 << 16), h = std::min<uint32_t>(s.box_height, 1 << 16);
  const std::size_t length = strnlen(state.text, host::text_buffer_capacity);
  if (length == 0) return;
  const TextFace& face = face_of(s);
  const uint32_t c = s.text_colour;  // 0x00BBGGRR
  cairo_save(cr);
  // Clipped at the box's sides only: the box height sizes the text.
  cairo_rectangle(cr, x, y - h, w, 3 * h);
  cairo_clip(cr);
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
  face.draw(cr, state.text, length, x, y + face.ascent(), x + w);
  cairo_restore(cr);
}

void GaugeRenderer::draw_element(cairo_t* cr, std::size_t index, const ElementState& state) {
  const host::ElementHeader& e = *state.record;
  if ((e.image_flags & host::image_hidden) != 0) return;
  switch (e.kind) {
    case host::ElementKind::static_image:
      if (auto* image = image_of(index, e.bitmap_id, true)) draw_image(cr, image, e.x, e.y);
      break;
    case host::ElementKind::icon: {
      const double v = std::trunc(state.value);
      if (!(v >= 0) || v > static_cast<double>(0xFFFFFFFFu - e.bitmap_id)) break;
      if (auto* image = image_of(index, e.bitmap_id + static_cast<uint32_t>(v), false)) draw_image(cr, image, e.x, e.y);
      break;
    }
    case host::ElementKind::slider: {
      const auto& s = reinterpret_cast<const host::SliderElement&>(e);
      if (auto* image = image_of(index, e.bitmap_id, true))
        draw_image(cr, image, e.x + state.value_x * s.scale_x, e.y + state.value_y * s.scale_y);
      break;
    }
    case host::ElementKind::needle: draw_needle(cr, index, state); break;
    case host::ElementKind::moving_image: draw_moving_image(cr, index, state); break;
    case host::ElementKind::string: draw_string(cr, state); break;
  }
}

void GaugeRenderer::draw(cairo_t* cr) {
  const auto& elements = driver_.elements();
  for (std::size_t i = 0; i < elements.size(); ++i) draw_element(cr, i, elements[i]);
}

SurfacePtr GaugeRenderer::render(double scale) {
  const int w = static_cast<int>(std::ceil(width_ * scale)), h = static_cast<int>(std::ceil(height_ * scale));
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h));
  if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
    throw RenderError("cannot make a " + std::to_string(w) + " x " + std::to_string(h) + " picture");
  cairo_t* cr = cairo_create(surface.get());
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  cairo_scale(cr, scale, scale);
  try {
    draw(cr);
  } catch (...) {
    cairo_destroy(cr);
    throw;
  }
  cairo_destroy(cr);
  cairo_surface_flush(surface.get());
  return surface;
}

void write_png(cairo_surface_t* surface, const std::string& path) {
  const cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
  if (status != CAIRO_STATUS_SUCCESS)
    throw RenderError(path + ": cannot write the picture (" + cairo_status_to_string(status) + ")");
}

}  // namespace panel_host
