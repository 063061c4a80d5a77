#include "text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace panel_host {

namespace {
// 0x80..0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t cp1252_high[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

void append_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}
}  // namespace

std::string cp1252_to_utf8(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (unsigned char b : text) {
    uint32_t c = b;
    if (b >= 0x80 && b < 0xA0) c = cp1252_high[b - 0x80] != 0 ? cp1252_high[b - 0x80] : 0xFFFD;
    append_utf8(out, c);
  }
  return out;
}

std::optional<uint32_t> parse_token(const std::string& text) {
  if (text.empty() || text[0] == '-' || text[0] == '+') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const unsigned long long v = std::strtoull(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || end == text.c_str() || *end != '\0' || v > 0xFFFFFFFFull) return std::nullopt;
  return static_cast<uint32_t>(v);
}

std::optional<double> parse_double(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0') return std::nullopt;
  return v;
}

std::optional<std::pair<uint32_t, double>> parse_assignment(const std::string& text) {
  const auto eq = text.find('=');
  if (eq == std::string::npos) return std::nullopt;
  const auto token = parse_token(text.substr(0, eq));
  const auto value = parse_double(text.substr(eq + 1));
  if (!token || !value) return std::nullopt;
  return std::pair{*token, *value};
}

}  // namespace panel_host
