#include "render_compose.h"

#include <algorithm>
#include <cmath>

namespace panel_host {

namespace {

constexpr double margin = 16;
constexpr double caption_height = 24;
constexpr double caption_size = 14;
constexpr const char* caption_font = "DejaVu Sans";

}  // namespace

int sheet_columns(int n, int tile_width, int tile_height) {
  if (n <= 1 || tile_width <= 0) return 1;
  const double c = std::sqrt(static_cast<double>(n) * tile_height / tile_width);
  return std::clamp(static_cast<int>(std::lround(c)), 1, n);
}

SurfacePtr compose_grid(const std::vector<Tile>& tiles, int columns, double scale, double ground, FontBook& fonts) {
  columns = std::max(1, std::min<int>(columns, static_cast<int>(tiles.size())));
  const int rows = (static_cast<int>(tiles.size()) + columns - 1) / columns;
  const TextFace& face = fonts.face(caption_font, 400, caption_size * scale);
  std::vector<double> widths(columns, 0), heights(rows, 0);
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const double caption = std::ceil(face.advance(tiles[i].caption.c_str(), tiles[i].caption.size()));
    widths[i % columns] = std::max<double>({widths[i % columns], caption,
                                            static_cast<double>(cairo_image_surface_get_width(tiles[i].picture))});
    heights[i / columns] = std::max<double>(heights[i / columns], cairo_image_surface_get_height(tiles[i].picture));
  }
  const double m = margin * scale, ch = caption_height * scale;
  double total_w = m, total_h = m;
  for (double w : widths) total_w += w + m;
  for (double h : heights) total_h += h + ch + m;

  const int W = static_cast<int>(std::ceil(total_w)), H = static_cast<int>(std::ceil(total_h));
  SurfacePtr out(cairo_image_surface_create(CAIRO_FORMAT_RGB24, W, H));
  if (cairo_surface_status(out.get()) != CAIRO_STATUS_SUCCESS)
    throw RenderError("cannot make a " + std::to_string(W) + " x " + std::to_string(H) + " picture");
  cairo_t* cr = cairo_create(out.get());
  cairo_set_source_rgb(cr, ground, ground, ground * 1.05);
  cairo_paint(cr);

  double y = m;
  for (int r = 0; r < rows; ++r) {
    double x = m;
    for (int c = 0; c < columns; ++c) {
      const std::size_t i = static_cast<std::size_t>(r) * columns + c;
      if (i >= tiles.size()) break;
      cairo_surface_t* p = tiles[i].picture;
      const double pw = cairo_image_surface_get_width(p), ph = cairo_image_surface_get_height(p);
      const double px = std::floor(x + (widths[c] - pw) / 2), py = std::floor(y + (heights[r] - ph) / 2);
      cairo_set_source_surface(cr, p, px, py);
      cairo_rectangle(cr, px, py, pw, ph);
      cairo_fill(cr);

      const std::string& text = tiles[i].caption;
      const double tw = face.advance(text.c_str(), text.size());
      const double tx = std::floor(x + (widths[c] - tw) / 2);
      const double baseline = std::round(y + heights[r] + (ch + face.ascent() - face.descent()) / 2);
      cairo_set_source_rgb(cr, 0.85, 0.85, 0.85);
      face.draw(cr, text.c_str(), text.size(), tx, baseline, tx + tw);
      x += widths[c] + m;
    }
    y += heights[r] + ch + m;
  }
  cairo_destroy(cr);
  cairo_surface_flush(out.get());
  return out;
}

}  // namespace panel_host
