// The faces the gauges' text is drawn in. A font the gauge names is looked
// up through fontconfig and used as it is when installed; otherwise a free
// stand-in takes its place: a seven-segment face for "Quartz", a clean
// condensed sans for "Glass Gauge" and anything else. Characters a face
// lacks (DSEG7 has no plus sign) come from the condensed sans.
#pragma once

#include <cairo.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace panel_host {

struct FontChoice {
  std::string requested;  // as the gauge names it
  uint32_t weight = 400;
  std::string family;  // the face drawn
  std::string style;
  std::string file;
  bool installed = false;  // the requested font itself, not a stand-in

  // One line for `panel-host info`.
  std::string describe() const;
};

// Pixel size of the text in a box of the given height. Seven-segment
// digits fill their em, so they get less of the box than a sans does;
// both are chosen so every readout fits beside its neighbours and a label
// font's space is at least 6 pixels wide.
double font_size_for_box(const std::string& font_name, double box_height);

// One face at one size, ready for code page 1252 text.
class TextFace {
 public:
  ~TextFace();
  TextFace(const TextFace&) = delete;
  TextFace& operator=(const TextFace&) = delete;

  double size() const { return size_; }
  // Baseline below the top of the text's box.
  double ascent() const { return ascent_; }
  double descent() const { return descent_; }

  // Pen position of each byte of `text` from an origin at 0; text ends at
  // its NUL or after `length` bytes.
  std::vector<double> pen_positions(const char* text, std::size_t length) const;
  double advance(const char* text, std::size_t length) const;

  // Draws the text with its first pen position at x on the baseline,
  // leaving out glyphs that start an em or more past `right`.
  void draw(cairo_t* cr, const char* text, std::size_t length, double x, double baseline, double right) const;

 private:
  friend class FontBook;
  TextFace() = default;

  struct Glyph {
    unsigned long index = 0;
    double advance = 0;
    uint8_t font = 0;  // 0 the chosen face, 1 the stand-in for missing characters
    bool drawn = false;
  };
  double size_ = 0, ascent_ = 0, descent_ = 0;
  std::array<cairo_scaled_font_t*, 2> fonts_{};
  std::array<Glyph, 256> glyphs_{};
  mutable std::vector<cairo_glyph_t> scratch_;
};

class FontBook {
 public:
  FontBook();
  ~FontBook();
  FontBook(const FontBook&) = delete;
  FontBook& operator=(const FontBook&) = delete;

  const FontChoice& choice(const std::string& name, uint32_t weight);
  const TextFace& face(const std::string& name, uint32_t weight, double size);

 private:
  struct Loaded;
  Loaded& loaded(const std::string& name, uint32_t weight);

  std::map<std::pair<std::string, uint32_t>, std::unique_ptr<Loaded>> loaded_;
  std::map<std::tuple<std::string, uint32_t, double>, std::unique_ptr<TextFace>> faces_;
  cairo_font_options_t* options_;
};

}  // namespace panel_host
