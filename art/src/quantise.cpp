#include "art/quantise.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace art {

namespace {

std::uint32_t key(Rgb c) { return (c.r << 16) | (c.g << 8) | c.b; }
Rgb unkey(std::uint32_t k) { return {static_cast<std::uint8_t>(k >> 16), static_cast<std::uint8_t>(k >> 8), static_cast<std::uint8_t>(k)}; }

// A pixel composited over black, or marked empty (left to the host as transparent).
struct Sample {
  Rgb colour;
  bool empty;
};

std::vector<Sample> samples(const Canvas& canvas, int empty_alpha) {
  cairo_surface_t* s = canvas.surface();
  cairo_surface_flush(s);
  const unsigned char* data = cairo_image_surface_get_data(s);
  const int stride = cairo_image_surface_get_stride(s);
  std::vector<Sample> out;
  out.reserve(static_cast<std::size_t>(canvas.width()) * canvas.height());
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      std::uint32_t v;
      std::memcpy(&v, data + static_cast<std::size_t>(y) * stride + 4 * x, 4);
      const int a = v >> 24;
      if (a <= empty_alpha) {
        out.push_back({black, true});
        continue;
      }
      // Premultiplied channels are the colour composited over black.
      Rgb c{static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
      // A faint edge must stay drawn: pure black would turn it into a hole.
      if (c == black) c = near_black;
      out.push_back({c, false});
    }
  }
  return out;
}

struct Weighted {
  Rgb c;
  std::size_t n;
};

int channel(const Rgb& c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

// Median cut: splits the colour set into at most `slots` boxes, returns their means.
std::vector<Rgb> median_cut(std::vector<Weighted> colours, std::size_t slots) {
  struct Box {
    std::size_t begin, end;
  };
  std::vector<Box> boxes{{0, colours.size()}};
  auto spread = [&](const Box& b, int& axis) {
    int best = -1;
    for (int a = 0; a < 3; ++a) {
      int lo = 255, hi = 0;
      for (std::size_t i = b.begin; i < b.end; ++i) {
        lo = std::min(lo, channel(colours[i].c, a));
        hi = std::max(hi, channel(colours[i].c, a));
      }
      if (hi - lo > best) {
        best = hi - lo;
        axis = a;
      }
    }
    return best;
  };
  while (boxes.size() < slots) {
    std::size_t pick = boxes.size();
    int pick_axis = 0;
    double pick_score = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].end - boxes[i].begin < 2) continue;
      int axis = 0;
      const int s = spread(boxes[i], axis);
      std::size_t weight = 0;
      for (std::size_t j = boxes[i].begin; j < boxes[i].end; ++j) weight += colours[j].n;
      const double score = static_cast<double>(s) * static_cast<double>(weight);
      if (s > 0 && score > pick_score) {
        pick_score = score;
        pick = i;
        pick_axis = axis;
      }
    }
    if (pick == boxes.size()) break;
    Box b = boxes[pick];
    std::sort(colours.begin() + b.begin, colours.begin() + b.end,
              [pick_axis](const Weighted& l, const Weighted& r) { return channel(l.c, pick_axis) < channel(r.c, pick_axis); });
    std::size_t total = 0;
    for (std::size_t j = b.begin; j < b.end; ++j) total += colours[j].n;
    std::size_t run = 0, cut = b.begin + 1;
    for (std::size_t j = b.begin; j < b.end - 1; ++j) {
      run += colours[j].n;
      cut = j + 1;
      if (2 * run >= total) break;
    }
    boxes[pick] = {b.begin, cut};
    boxes.push_back({cut, b.end});
  }
  std::vector<Rgb> means;
  for (const Box& b : boxes) {
    double r = 0, g = 0, bl = 0, n = 0;
    for (std::size_t j = b.begin; j < b.end; ++j) {
      r += colours[j].c.r * static_cast<double>(colours[j].n);
      g += colours[j].c.g * static_cast<double>(colours[j].n);
      bl += colours[j].c.b * static_cast<double>(colours[j].n);
      n += static_cast<double>(colours[j].n);
    }
    Rgb m{static_cast<std::uint8_t>(r / n + 0.5), static_cast<std::uint8_t>(g / n + 0.5), static_cast<std::uint8_t>(bl / n + 0.5)};
    if (m == black) m = near_black;
    means.push_back(m);
  }
  return means;
}

int distance(Rgb a, Rgb b) {
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

}  // namespace

Bitmap to_indexed(const Canvas& canvas, std::uint32_t id, const std::vector<Rgb>& exact, int empty_alpha) {
  const std::vector<Sample> px = samples(canvas, empty_alpha);

  std::vector<Rgb> palette{black};
  std::unordered_map<std::uint32_t, std::uint8_t> index_of;
  for (const Rgb& c : exact) {
    if (c == black || index_of.count(key(c))) continue;
    if (palette.size() == 256) throw std::invalid_argument("more than 255 exact colours");
    index_of[key(c)] = static_cast<std::uint8_t>(palette.size());
    palette.push_back(c);
  }

  std::unordered_map<std::uint32_t, std::size_t> others;
  for (const Sample& s : px)
    if (!s.empty && !index_of.count(key(s.colour))) ++others[key(s.colour)];

  const std::size_t room = 256 - palette.size();
  std::vector<Rgb> extra;
  if (others.size() <= room) {
    for (const auto& [k, n] : others) extra.push_back(unkey(k));
    std::sort(extra.begin(), extra.end(), [](Rgb a, Rgb b) { return key(a) < key(b); });
  } else if (room > 0) {
    std::vector<Weighted> w;
    for (const auto& [k, n] : others) w.push_back({unkey(k), n});
    std::sort(w.begin(), w.end(), [](const Weighted& a, const Weighted& b) { return key(a.c) < key(b.c); });
    extra = median_cut(std::move(w), room);
  }
  for (const Rgb& c : extra) {
    if (index_of.count(key(c))) continue;
    index_of[key(c)] = static_cast<std::uint8_t>(palette.size());
    palette.push_back(c);
  }

  // Nearest entry for every colour drawn; entry 0 stays reserved for empty pixels.
  std::unordered_map<std::uint32_t, std::uint8_t> map;
  auto lookup = [&](Rgb c) {
    const auto k = key(c);
    if (auto it = map.find(k); it != map.end()) return it->second;
    std::uint8_t best = 1;
    int best_d = distance(c, palette[1]);
    for (std::size_t i = 2; i < palette.size(); ++i) {
      const int d = distance(c, palette[i]);
      if (d < best_d) {
        best_d = d;
        best = static_cast<std::uint8_t>(i);
      }
    }
    map[k] = best;
    return best;
  };
  bool any_drawn = false;
  for (const Sample& s : px) any_drawn |= !s.empty;
  if (any_drawn && palette.size() == 1) palette.push_back(near_black);

  Bitmap b;
  b.id = id;
  b.width = canvas.width();
  b.height = canvas.height();
  b.bits_per_pixel = 8;
  b.pixels.reserve(px.size());
  for (const Sample& s : px) b.pixels.push_back(s.empty ? 0 : lookup(s.colour));
  b.palette = std::move(palette);
  return b;
}

Bitmap to_rgb24(const Canvas& canvas, std::uint32_t id, int empty_alpha) {
  const std::vector<Sample> px = samples(canvas, empty_alpha);
  Bitmap b;
  b.id = id;
  b.width = canvas.width();
  b.height = canvas.height();
  b.bits_per_pixel = 24;
  b.pixels.reserve(3 * px.size());
  for (const Sample& s : px) {
    b.pixels.push_back(s.colour.r);
    b.pixels.push_back(s.colour.g);
    b.pixels.push_back(s.colour.b);
  }
  return b;
}

}  // namespace art
