// The gauge formatter: printf's %f, except that exact halves round away from
// zero, NaN and infinity print as dashes, and output never passes capacity.
#include "zaz/format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double inf_value = std::numeric_limits<double>::infinity();
constexpr double max_value = std::numeric_limits<double>::max();
constexpr double min_normal = std::numeric_limits<double>::min();
constexpr double min_subnormal = std::numeric_limits<double>::denorm_min();

// The format is copied to a block of exactly its size, so AddressSanitizer
// sees any read past its NUL; the output gets a guard zone after capacity.
struct Formatted {
  std::string text;
  std::size_t returned;
  bool guard_intact;
};

Formatted run(const std::string& format, double value, std::size_t capacity) {
  auto exact_format = std::make_unique<char[]>(format.size() + 1);
  std::memcpy(exact_format.get(), format.c_str(), format.size() + 1);

  constexpr std::size_t guard = 32;
  constexpr char sentinel = '\x7E';
  std::vector<char> out(capacity + guard, sentinel);
  const std::size_t n = frame::format_value(out.data(), capacity, exact_format.get(), value);

  bool intact = true;
  for (std::size_t i = capacity; i < out.size(); ++i) intact = intact && out[i] == sentinel;
  std::string text = capacity > 0 ? std::string(out.data(), strnlen(out.data(), capacity)) : std::string();
  return {text, n, intact};
}

std::string format(const std::string& fmt, double value) {
  const Formatted f = run(fmt, value, 4096);
  EXPECT_TRUE(f.guard_intact);
  EXPECT_EQ(f.returned, f.text.size());
  return f.text;
}

std::string escaped(const std::string& s) {
  std::string r;
  for (unsigned char c : s) {
    if (c >= 0x20 && c < 0x7F) {
      r += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      r += hex;
    }
  }
  return r;
}

// ------------------------------------------------------------ fixed cases

struct Case {
  std::string format;
  double value;
  std::string expected;
};

std::ostream& operator<<(std::ostream& os, const Case& c) {
  char value[64];
  std::snprintf(value, sizeof value, "%.17g", c.value);
  return os << '"' << escaped(c.format) << "\" " << value << " -> \"" << escaped(c.expected) << '"';
}

class FormatCase : public ::testing::TestWithParam<Case> {};

TEST_P(FormatCase, PrintsExpectedText) {
  const Case& c = GetParam();
  EXPECT_EQ(format(c.format, c.value), c.expected);
}

// Exact halves round away from zero, whatever the digit before them.
INSTANTIATE_TEST_SUITE_P(Ties, FormatCase, ::testing::Values(
    Case{"%.0f", 0.5, "1"},
    Case{"%.0f", 1.5, "2"},
    Case{"%.0f", 2.5, "3"},
    Case{"%.0f", -2.5, "-3"},
    Case{"%.0f", -0.5, "-1"},
    Case{"%03.0f", 250.5, "251"},
    Case{"%.0f", 9.5, "10"},
    Case{"%03.0f", 99.5, "100"},
    Case{"%.0f", -999.5, "-1000"},
    Case{"%.f", 2.5, "3"},
    Case{"%.1f", 0.25, "0.3"},
    Case{"%.1f", -0.25, "-0.3"},
    Case{"%.2f", 0.125, "0.13"},
    Case{"%.2f", -0.125, "-0.13"},
    Case{"%.3f", 9.9375, "9.938"},
    Case{"%f", 0.0078125, "0.007813"},
    Case{"%.9f", 0.0009765625, "0.000976563"},
    Case{"%.7f", 0.00390625, "0.0039063"},
    Case{"%.8f", 0.001953125, "0.00195313"},
    Case{"%.60f", 0x1p-61, "0.000000000000000000433680868994201773602981120347976684570313"},
    Case{"%.2f", 1000000000000000.125, "1000000000000000.13"},
    Case{"%.0f", 4503599627370495.5, "4503599627370496"},
    Case{"+%04.1f", 2.5, "+02.5"},
    Case{"%+06.2f", 0.125, "+00.13"},
    Case{"%-6.1f|", -0.25, "-0.3  |"}));

// Values stored a hair off the half round by what is really stored.
INSTANTIATE_TEST_SUITE_P(NearTies, FormatCase, ::testing::Values(
    Case{"%.2f", 2.675, "2.67"},
    Case{"%.2f", 1.005, "1.00"},
    Case{"%.1f", 0.35, "0.3"},
    Case{"%.1f", 0.45, "0.5"},
    Case{"%.0f", 0.49999999999999994, "0"},
    Case{"%.0f", 2.5000000000000004, "3"},
    Case{"%05.2f", 99.98999786376953, "99.99"},
    Case{"%.3f", 1.0005, "1.000"}));

INSTANTIATE_TEST_SUITE_P(Padding, FormatCase, ::testing::Values(
    Case{"%5.1f", 5, "  5.0"},
    Case{"%04.1f", -3.2, "-3.2"},
    Case{"%06.1f", -3.2, "-003.2"},
    Case{"%6.1f", -3.2, "  -3.2"},
    Case{"%04.0f", 12345, "12345"},
    Case{"%2.1f", 123.25, "123.3"},
    Case{"%03.0f", 7, "007"},
    Case{"%03.0f", -0.0, "-00"},
    Case{"%.0f", -0.0, "-0"},
    Case{"%.1f", -0.0, "-0.0"},
    Case{"%.1f", -0.04, "-0.0"},
    Case{"%.0f", -min_subnormal, "-0"},
    Case{"%+.1f", 3, "+3.0"},
    Case{"%+.1f", 0.0, "+0.0"},
    Case{"% .1f", 3, " 3.0"},
    Case{"% .1f", -3, "-3.0"},
    Case{"% +.1f", 3, "+3.0"},
    Case{"%+06.1f", 3, "+003.0"},
    Case{"% 06.1f", 3, " 003.0"},
    Case{"%-6.1f|", 3, "3.0   |"},
    Case{"%-06.1f|", -3, "-3.0  |"},
    Case{"%0-6.1f|", 3, "3.0   |"},
    Case{"%+-7.1f|", 3, "+3.0   |"},
    Case{"%00+0+5.0f", 7, "+0007"},
    Case{"%f", 1, "1.000000"},
    Case{"%.0f", 1e15, "1000000000000000"},
    Case{"%0.0f", 0.4, "0"},
    Case{"%1.0f", 3.7, "4"}));

INSTANTIATE_TEST_SUITE_P(NotANumber, FormatCase, ::testing::Values(
    Case{"%05.0f", nan_value, "-----"},
    Case{"%.0f", inf_value, "---"},
    Case{"%.0f", -inf_value, "---"},
    Case{"%1.0f", nan_value, "---"},
    Case{"%+2.0f", inf_value, "---"},
    Case{"%010.3f", -nan_value, "----------"},
    Case{"%-5.1f|", nan_value, "-----|"},
    Case{"ALT %05.0f ft", nan_value, "ALT ----- ft"}));

// Text around the conversion, in code page 1252, passes through untouched.
INSTANTIATE_TEST_SUITE_P(Literals, FormatCase, ::testing::Values(
    Case{"", 1, ""},
    Case{"NAV", 1, "NAV"},
    Case{"%%", 1, "%"},
    Case{"%.0f%%", 42.4, "42%"},
    Case{"100%% %.0f", 1, "100% 1"},
    Case{"M" + std::string(19, ' ') + "%1.0f", 3, "M" + std::string(19, ' ') + "3"},
    Case{"OIL \xB0" "C" + std::string(120, ' ') + "%.0f", 87.5, "OIL \xB0" "C" + std::string(120, ' ') + "88"},
    Case{"\xFF%.1f\x80", 1.25, "\xFF" "1.3\x80"}));

// Anything that is not the one %f conversion prints as it stands.
INSTANTIATE_TEST_SUITE_P(Malformed, FormatCase, ::testing::Values(
    Case{"%", 1, "%"},
    Case{"ab%", 1, "ab%"},
    Case{"%.0f%", 3, "3%"},
    Case{"%d", 1, "%d"},
    Case{"%s", 1, "%s"},
    Case{"%n", 1, "%n"},
    Case{"%F", 1, "%F"},
    Case{"%lf", 1, "%lf"},
    Case{"%5.1x", 1, "%5.1x"},
    Case{"%-", 1, "%-"},
    Case{"%5.", 1, "%5."},
    Case{"%%f", 1, "%f"},
    Case{"%5%.0f", 7, "%57"},
    Case{"%.0f %.1f", 2, "2 %.1f"},
    Case{"%.0f %%", 2, "2 %"}));

// These check against the C library, which must print exact decimals as
// glibc does; other runtimes (msvcrt) stop after 17 significant digits.
#if defined(__GLIBC__)

// ------------------------------------------------------- long conversions

TEST(FormatLong, HugeAndTinyValuesPrintEveryDigit) {
  struct Long {
    const char* format;
    double value;
  };
  // None of these is a tie, so the C library's exact printing must agree.
  const Long cases[] = {
      {"%.2f", 1e308},          {"%.0f", -max_value},     {"%.1100f", min_subnormal},
      {"%.1074f", min_normal},  {"%.60f", 0.1},           {"%.2000f", 1},
      {"%+030.20f", -1.0 / 3},  {"%.17f", 123456.789},
  };
  for (const Long& c : cases) {
    std::vector<char> expected(4096);
    std::snprintf(expected.data(), expected.size(), c.format, c.value);
    EXPECT_EQ(format(c.format, c.value), expected.data()) << c.format;
  }
}

TEST(FormatLong, SmallestSubnormalTiesAtItsLastDigit) {
  // 2^-1074 has 1074 fraction digits ending in ...5625; to 1073 places that
  // is an exact half and goes up to ...563.
  std::vector<char> exact(2048);
  std::snprintf(exact.data(), exact.size(), "%.1074f", min_subnormal);
  std::string expected(exact.data());
  ASSERT_EQ(expected.substr(expected.size() - 4), "5625");
  expected = expected.substr(0, expected.size() - 2) + "3";
  EXPECT_EQ(format("%.1073f", min_subnormal), expected);
}

#endif  // __GLIBC__

// --------------------------------------------------------------- capacity

struct CapacityCase {
  std::string format;
  double value;
  std::size_t capacity;
  std::string expected;
};

std::ostream& operator<<(std::ostream& os, const CapacityCase& c) {
  return os << '"' << escaped(c.format) << "\" cap " << c.capacity << " -> \"" << escaped(c.expected) << '"';
}

class FormatCapacity : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(FormatCapacity, TruncatesAndTerminates) {
  const CapacityCase& c = GetParam();
  const Formatted f = run(c.format, c.value, c.capacity);
  EXPECT_TRUE(f.guard_intact);
  EXPECT_EQ(f.text, c.expected);
  EXPECT_EQ(f.returned, c.expected.size());

  // Once more into a block of exactly `capacity` bytes, for the sanitizer.
  if (c.capacity > 0) {
    auto exact = std::make_unique<char[]>(c.capacity);
    EXPECT_EQ(frame::format_value(exact.get(), c.capacity, c.format.c_str(), c.value), c.expected.size());
    EXPECT_EQ(exact[c.expected.size()], '\0');
  }
}

INSTANTIATE_TEST_SUITE_P(Edges, FormatCapacity, ::testing::Values(
    CapacityCase{"%.0f", 123, 0, ""},
    CapacityCase{"%.0f", 123, 1, ""},
    CapacityCase{"%.0f", 123, 2, "1"},
    CapacityCase{"%.0f", 123, 3, "12"},
    CapacityCase{"%.0f", 123, 4, "123"},
    CapacityCase{"%.0f", 123, 5, "123"},
    CapacityCase{"+%04.1f", 2.5, 3, "+0"},
    CapacityCase{"%-6.1f|", 3, 5, "3.0 "},
    CapacityCase{"%05.0f", nan_value, 3, "--"},
    CapacityCase{"%05.0f", nan_value, 6, "-----"},
    CapacityCase{"abc%%", 4, 4, "abc"},
    CapacityCase{"%%%.0f", 4, 2, "%"},
    CapacityCase{"%.0f", 9.5, 2, "1"},
    CapacityCase{"%.0f", 9.5, 3, "10"},
    CapacityCase{"%99999999999999999999.1f", 1, 32, std::string(31, ' ')},
    CapacityCase{"%.99999999999999999999f", 1, 32, "1." + std::string(29, '0')},
    CapacityCase{"%.2f", 1e308, 8, "1000000"},
    CapacityCase{"%.0f", -max_value, 5, "-179"},
    CapacityCase{"OIL \xB0" "C" + std::string(120, ' ') + "%.0f", 87, 64,
                 "OIL \xB0" "C" + std::string(57, ' ')}));

#if defined(__GLIBC__)

// A 309-digit value cut at every interesting length.
TEST(FormatCapacityLarge, AgreesWithCLibraryTruncation) {
  for (std::size_t capacity : {1u, 2u, 63u, 64u, 309u, 310u, 311u, 312u, 313u, 400u}) {
    std::vector<char> expected(capacity);
    std::snprintf(expected.data(), capacity, "%.2f", 1e308);
    const Formatted f = run("%.2f", 1e308, capacity);
    EXPECT_TRUE(f.guard_intact) << capacity;
    EXPECT_EQ(f.text, expected.data()) << capacity;
  }
}

// --------------------------------------------- against the C library's %f

// The C library prints the exact decimal too, rounding halves to even; our
// result must match it wherever the value is not a half, and where it is,
// match it for a value one step further from zero. The reference decides
// what is a half from the C library's own exact expansion.
class Reference {
 public:
  explicit Reference(double value) : value_(value) {
    std::vector<char> exact(2048);
    std::snprintf(exact.data(), exact.size(), "%.1100f", std::fabs(value));
    exact_ = exact.data();
    point_ = exact_.find('.');
  }

  bool is_tie(int precision) const {
    const std::size_t next = point_ + 1 + static_cast<std::size_t>(precision);
    if (exact_[next] != '5') return false;
    return exact_.find_first_not_of('0', next + 1) == std::string::npos;
  }

  // Empty when the step away from zero is too coarse to stand in for the
  // half (it would move past the next printable value).
  std::string expected(const char* fmt, int precision) const {
    double v = value_;
    if (std::isfinite(v) && is_tie(precision)) {
      const double away = std::nextafter(v, std::copysign(inf_value, v));
      if (std::fabs(away - v) * std::pow(10.0, precision) >= 0.25) return {};
      v = away;
    }
    std::vector<char> out(2048);
    std::snprintf(out.data(), out.size(), fmt, v);
    return out.data();
  }

 private:
  double value_;
  std::string exact_;
  std::size_t point_;
};

struct Family {
  const char* format;
  int precision;
};

// The gauges' formats plus every flag combination.
constexpr Family families[] = {
    {"%03.0f", 0},  {"%04.2f", 2}, {"%1.0f", 0},   {"%0.0f", 0},     {"%.0f", 0},
    {"%05.1f", 1},  {"%5.1f", 1},  {"%04.0f", 0},  {"%05.0f", 0},    {"%05.2f", 2},
    {"%02.0f", 0},  {"%04.1f", 1}, {"%f", 6},      {"%.3f", 3},      {"%.7f", 7},
    {"%.9f", 9},    {"%+08.3f", 3}, {"% 7.2f", 2}, {"%-9.1f|", 1},   {"%+-9.4f|", 4},
    {"%+ 012.5f", 5},
};

void expect_matches_reference(double value) {
  const Reference ref(value);
  for (const Family& f : families) {
    const std::string expected = ref.expected(f.format, f.precision);
    if (expected.empty()) continue;
    ASSERT_EQ(format(f.format, value), expected) << f.format << " of " << std::hexfloat << value;
  }
}

TEST(FormatReference, GaugeReadings) {
  const double readings[] = {
      0,       1,         -1,        0.1,      -0.1,       3.14159265358979, 29.92,
      1013.25, -273.15,   359.99,    359.999,  0.005,      0.015,            0.045,
      99.995,  1e-7,      123456.7,  -45.05,   7.0e10,     1.0 / 3,          2.0 / 3,
      0.95,    -0.95,     9.995,     1e17,     123.456789, 0.0005,           65535.99,
      // Either side of 2^-8, 2^32 and 2^64, where the digits are made differently.
      0x1p-8, 0x1.fffffffffffffp-9, 0x1.0000000000001p-8, 4294967295.5, 4294967296.5,
      0x1.fffffffffffffp+63, 0x1p64,
  };
  for (double v : readings) expect_matches_reference(v);
}

TEST(FormatReference, RandomValues) {
  std::mt19937_64 rng(20040101);
  std::uniform_int_distribution<int> exponent(-40, 70);  // binary, around gauge scales
  for (int i = 0; i < 4000; ++i) {
    const std::uint64_t mantissa = rng() >> 11;  // 53 random bits
    const double magnitude = std::ldexp(static_cast<double>(mantissa), exponent(rng) - 52);
    expect_matches_reference((i & 1) ? -magnitude : magnitude);
  }
}

TEST(FormatReference, RandomHalves) {
  // Short odd mantissas scaled by 2^-(p+1) are halves at precision p (and
  // often near-halves at the others), which is where rounding goes wrong.
  std::mt19937_64 rng(1252);
  for (int i = 0; i < 4000; ++i) {
    const int bits = 1 + static_cast<int>(rng() % 24);
    const std::uint64_t odd = (rng() >> (64 - bits)) | 1;
    const int precision = static_cast<int>(rng() % 10);
    const double magnitude = std::ldexp(static_cast<double>(odd), -(precision + 1));
    expect_matches_reference((i & 1) ? -magnitude : magnitude);
  }
}

#endif  // __GLIBC__

}  // namespace
