// Pictures made of pictures: the panel (instruments side by side, each
// named under it) and the contact sheet of a timeline's frames.
#pragma once

#include <string>
#include <vector>

#include "fonts.h"
#include "render_bitmap.h"

namespace panel_host {

struct Tile {
  cairo_surface_t* picture;
  std::string caption;
};

// The tiles in a grid of `columns`, row by row on a grey ground (0 black,
// 1 white), each centred in its cell with its caption under it. Columns
// are as wide as their widest tile or caption, rows as tall as their
// tallest tile; `scale` sizes the margins and captions to match tiles
// drawn at that scale.
SurfacePtr compose_grid(const std::vector<Tile>& tiles, int columns, double scale, double ground, FontBook& fonts);

// Grounds: a panel's, and the darker sheet its frames lie on.
inline constexpr double panel_ground = 0.16;
inline constexpr double sheet_ground = 0.07;

// Columns that make a sheet of n tiles of this shape roughly square.
int sheet_columns(int n, int tile_width, int tile_height);

}  // namespace panel_host
