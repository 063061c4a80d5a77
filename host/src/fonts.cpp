#include "fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "render_bitmap.h"
#include "text.h"

namespace panel_host {

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// Free faces from Debian packages that stand in for fonts not installed.
constexpr const char* seven_segment = "DSEG7 Classic";    // fonts-dseg
constexpr const char* condensed_sans = "DejaVu Sans Condensed";  // fonts-dejavu-extra

constexpr double display_leading = 1.35;

const char* stand_in_for(const std::string& name) {
  return lower(name) == "quartz" ? seven_segment : condensed_sans;
}

struct PatternDeleter {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

PatternPtr match(const std::string& family, uint32_t weight) {
  PatternPtr p(FcPatternCreate());
  FcPatternAddString(p.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  const double w = std::clamp<double>(weight == 0 ? 400 : weight, 1, 1000);
  FcPatternAddDouble(p.get(), FC_WEIGHT, FcWeightFromOpenTypeDouble(w));
  FcPatternAddInteger(p.get(), FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, p.get(), FcMatchPattern);
  FcDefaultSubstitute(p.get());
  FcResult result;
  PatternPtr m(FcFontMatch(nullptr, p.get(), &result));
  if (m) {
    // How glyphs are smoothed is this host's choice, not the machine's
    // font settings: renders then match from one machine to the next.
    for (const char* o : {FC_ANTIALIAS, FC_HINTING, FC_HINT_STYLE, FC_AUTOHINT, FC_RGBA, FC_LCD_FILTER, FC_EMBOLDEN})
      FcPatternDel(m.get(), o);
  }
  return m;
}

std::string string_of(FcPattern* p, const char* object) {
  FcChar8* s = nullptr;
  return FcPatternGetString(p, object, 0, &s) == FcResultMatch ? reinterpret_cast<const char*>(s) : "";
}

bool names_family(FcPattern* p, const std::string& family) {
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(s, reinterpret_cast<const FcChar8*>(family.c_str())) == 0) return true;
  return false;
}

// The family name as the matched face gives it for the name asked for.
std::string family_shown(FcPattern* p, const std::string& asked) {
  FcChar8* s = nullptr;
  for (int i = 0; FcPatternGetString(p, FC_FAMILY, i, &s) == FcResultMatch; ++i)
    if (FcStrCmpIgnoreCase(s, reinterpret_cast<const FcChar8*>(asked.c_str())) == 0)
      return reinterpret_cast<const char*>(s);
  return string_of(p, FC_FAMILY);
}

uint32_t decode_utf8(const std::string& s) {
  const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (s.empty()) return 0;
  if (b(0) < 0x80) return b(0);
  if (b(0) < 0xE0 && s.size() >= 2) return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
  if (s.size() >= 3) return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
  return 0xFFFD;
}

}  // namespace

std::string FontChoice::describe() const {
  std::string s = "\"" + requested + "\" " + std::to_string(weight) + ": " + family;
  if (!style.empty() && lower(family).find(lower(style)) == std::string::npos) s += " " + style;
  s += installed ? " (installed" : " (stand-in";
  if (!file.empty()) s += ", " + file;
  return s + ")";
}

double font_size_for_box(const std::string& font_name, double box_height) {
  return box_height * (lower(font_name) == "quartz" ? 0.40 : 0.66);
}

struct FontBook::Loaded {
  FontChoice choice;
  // DSEG7 stands in for a display face: its digits fill its ascent, where
  // a display face has leading above them, and its space is narrow, where
  // a display's blank is a digit wide (so "%5.1f" readouts line up).
  bool seven_segment = false;
  std::array<cairo_font_face_t*, 2> faces{};
  std::array<FcCharSet*, 2> coverage{};
  ~Loaded() {
    for (auto* f : faces)
      if (f) cairo_font_face_destroy(f);
    for (auto* c : coverage)
      if (c) FcCharSetDestroy(c);
  }
};

FontBook::FontBook() : options_(cairo_font_options_create()) {
  FcInit();
  cairo_font_options_set_antialias(options_, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options_, CAIRO_HINT_STYLE_SLIGHT);
  // Unhinted advances lay text out the same at every scale.
  cairo_font_options_set_hint_metrics(options_, CAIRO_HINT_METRICS_OFF);
}

FontBook::~FontBook() {
  faces_.clear();
  loaded_.clear();
  cairo_font_options_destroy(options_);
}

FontBook::Loaded& FontBook::loaded(const std::string& name, uint32_t weight) {
  const auto key = std::pair{name, weight};
  if (auto it = loaded_.find(key); it != loaded_.end()) return *it->second;

  auto l = std::make_unique<Loaded>();
  l->choice.requested = name;
  l->choice.weight = weight;
  PatternPtr primary = name.empty() ? nullptr : match(name, weight);
  if (primary && names_family(primary.get(), name)) {
    l->choice.installed = true;
    l->choice.family = family_shown(primary.get(), name);
  } else {
    primary = match(stand_in_for(name), weight);
    if (!primary) throw RenderError("no font to draw \"" + name + "\" with: fontconfig finds none");
    l->choice.family = family_shown(primary.get(), stand_in_for(name));
    l->seven_segment = names_family(primary.get(), seven_segment);
  }
  l->choice.style = string_of(primary.get(), FC_STYLE);
  l->choice.file = string_of(primary.get(), FC_FILE);

  PatternPtr fallback = match(condensed_sans, weight);
  PatternPtr* patterns[2] = {&primary, &fallback};
  for (int i = 0; i < 2; ++i) {
    FcPattern* p = patterns[i]->get();
    if (p == nullptr) continue;
    l->faces[i] = cairo_ft_font_face_create_for_pattern(p);
    FcCharSet* cs = nullptr;
    if (FcPatternGetCharSet(p, FC_CHARSET, 0, &cs) == FcResultMatch) l->coverage[i] = FcCharSetCopy(cs);
  }
  return *loaded_.emplace(key, std::move(l)).first->second;
}

const FontChoice& FontBook::choice(const std::string& name, uint32_t weight) { return loaded(name, weight).choice; }

const TextFace& FontBook::face(const std::string& name, uint32_t weight, double size) {
  const auto key = std::tuple{name, weight, size};
  if (auto it = faces_.find(key); it != faces_.end()) return *it->second;
  Loaded& l = loaded(name, weight);

  std::unique_ptr<TextFace> t(new TextFace);
  t->size_ = size;
  cairo_matrix_t font_matrix, ctm;
  cairo_matrix_init_scale(&font_matrix, size, size);
  cairo_matrix_init_identity(&ctm);
  for (int i = 0; i < 2; ++i) {
    if (l.faces[i] == nullptr) continue;
    t->fonts_[i] = cairo_scaled_font_create(l.faces[i], &font_matrix, &ctm, options_);
    if (cairo_scaled_font_status(t->fonts_[i]) != CAIRO_STATUS_SUCCESS)
      throw RenderError("cannot use the font " + l.choice.file + " for \"" + name + "\"");
  }
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(t->fonts_[0], &fe);
  t->ascent_ = fe.ascent;
  t->descent_ = fe.descent;

  for (int b = 0x20; b < 0x100; ++b) {
    if (b == 0x7F) continue;
    const std::string utf8 = cp1252_to_utf8(std::string(1, static_cast<char>(b)));
    const uint32_t cp = decode_utf8(utf8);
    int which = 0;
    if (l.coverage[0] && !FcCharSetHasChar(l.coverage[0], cp) && t->fonts_[1] && l.coverage[1] &&
        FcCharSetHasChar(l.coverage[1], cp))
      which = 1;
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(t->fonts_[which], 0, 0, utf8.data(), static_cast<int>(utf8.size()), &glyphs,
                                         &count, nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
        count >= 1) {
      cairo_text_extents_t e;
      cairo_scaled_font_glyph_extents(t->fonts_[which], glyphs, 1, &e);
      t->glyphs_[b] = {glyphs[0].index, e.x_advance, static_cast<uint8_t>(which), cp != ' '};
    }
    cairo_glyph_free(glyphs);
  }
  if (l.seven_segment) {
    t->glyphs_[' '].advance = t->glyphs_['0'].advance;
    t->glyphs_['O'] = t->glyphs_['0'];  // DSEG7's O is a small o: "OFF" would read "oFF"
    // Leading of a third of a digit's height above the digits: labels and
    // readouts of one row then share a baseline, and a readout stands in
    // the middle of its frame.
    cairo_glyph_t g{t->glyphs_['0'].index, 0, 0};
    cairo_text_extents_t e;
    cairo_scaled_font_glyph_extents(t->fonts_[0], &g, 1, &e);
    if (e.height > 0) t->ascent_ = -e.y_bearing * display_leading;
  }
  return *faces_.emplace(key, std::move(t)).first->second;
}

TextFace::~TextFace() {
  for (auto* f : fonts_)
    if (f) cairo_scaled_font_destroy(f);
}

std::vector<double> TextFace::pen_positions(const char* text, std::size_t length) const {
  std::vector<double> out;
  double x = 0;
  for (std::size_t i = 0; i < length && text[i] != '\0'; ++i) {
    out.push_back(x);
    x += glyphs_[static_cast<unsigned char>(text[i])].advance;
  }
  return out;
}

double TextFace::advance(const char* text, std::size_t length) const {
  double x = 0;
  for (std::size_t i = 0; i < length && text[i] != '\0'; ++i) x += glyphs_[static_cast<unsigned char>(text[i])].advance;
  return x;
}

void TextFace::draw(cairo_t* cr, const char* text, std::size_t length, double x, double baseline,
                    double right) const {
  for (int which = 0; which < 2; ++which) {
    if (fonts_[which] == nullptr) continue;
    scratch_.clear();
    double pen = x;
    for (std::size_t i = 0; i < length && text[i] != '\0' && pen < right + size_; ++i) {
      const Glyph& g = glyphs_[static_cast<unsigned char>(text[i])];
      if (g.drawn && g.font == which) scratch_.push_back({g.index, pen, baseline});
      pen += g.advance;
    }
    if (scratch_.empty()) continue;
    cairo_set_scaled_font(cr, fonts_[which]);
    cairo_show_glyphs(cr, scratch_.data(), static_cast<int>(scratch_.size()));
  }
}

}  // namespace panel_host
