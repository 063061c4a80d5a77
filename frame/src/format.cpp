// The gauges' %f formatter. Values in the range gauges show get their digits
// from integer arithmetic on the bits; the rest come from std::to_chars,
// which prints the exact decimal value of a double, with exact halves
// pushed away from zero instead of to even. No floating-point arithmetic
// happens here, so the result cannot depend on the FPU mode, the C runtime
// or the locale, and nothing is allocated or shared between threads.
#include "zaz/format.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace frame {
namespace {

// The exact value of a double has at most 1074 fraction digits (the
// smallest subnormal is 2^-1074); any digit asked for past that is a zero.
constexpr int exact_fraction_digits = 1074;
// The integer part of the largest double has 309 digits.
constexpr int max_integer_digits = 309;

// Widths and precisions stop growing here: the output is bounded by the
// caller's buffer anyway, and this keeps the arithmetic from overflowing.
constexpr std::size_t number_limit = 1u << 20;

// Writes into the caller's buffer, silently dropping whatever does not fit
// in front of the terminating NUL.
struct Sink {
  char* next;
  char* end;

  void put(char c) {
    if (next != end) *next++ = c;
  }
  void fill(char c, std::size_t count) {
    count = std::min(count, static_cast<std::size_t>(end - next));
    std::memset(next, c, count);
    next += count;
  }
  void copy(const char* text, std::size_t count) {
    count = std::min(count, static_cast<std::size_t>(end - next));
    std::memcpy(next, text, count);
    next += count;
  }
};

struct Conversion {
  bool left = false;
  bool plus = false;
  bool space = false;
  bool zero = false;
  std::size_t width = 0;
  std::size_t precision = 6;
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

std::size_t read_number(const char*& text) {
  std::size_t n = 0;
  while (is_digit(*text)) {
    if (n < number_limit) n = n * 10 + static_cast<std::size_t>(*text - '0');
    ++text;
  }
  return n;
}

// Reads flags, width, precision and the 'f' that follow a '%'. Returns the
// character after the 'f', or nullptr when this is not a conversion we know
// (the caller then prints the text as it stands).
const char* parse_conversion(const char* text, Conversion& conv) {
  for (;; ++text) {
    switch (*text) {
      case '-': conv.left = true; continue;
      case '+': conv.plus = true; continue;
      case ' ': conv.space = true; continue;
      case '0': conv.zero = true; continue;
      default: break;
    }
    break;
  }
  conv.width = read_number(text);
  if (*text == '.') {
    ++text;
    conv.precision = read_number(text);
  }
  if (*text != 'f') return nullptr;
  return text + 1;
}

// Adds one unit in the last place to the digits in [first, last), which may
// hold a '.'. `first` must have a free byte in front for a carried '1'.
char* increment_digits(char* first, char* last) {
  for (char* p = last; p != first;) {
    --p;
    if (*p == '.') continue;
    if (*p != '9') {
      ++*p;
      return first;
    }
    *p = '0';
  }
  *--first = '1';
  return first;
}

// The digits of m * 2^e, m < 2^53, rounded to `precision` places, straight
// from the bits. Handles 2^-8 <= value < 2^64, which is nearly everything a
// gauge prints. The fraction f / 2^s is multiplied by ten a digit at a time
// (f * 10 fits in 64 bits for s <= 60), so what is left over after the last
// digit is exact, and comparing it with one half rounds halves up.
bool fast_digits(std::uint64_t m, int e, std::size_t precision, char*& first, char*& last) {
  if (e > 11 || e < -60) return false;
  std::uint64_t whole = m;
  std::uint64_t part = 0;
  int s = 0;
  if (e >= 0) {
    whole = m << e;
  } else {
    s = -e;
    whole = m >> s;
    part = m & ((std::uint64_t{1} << s) - 1);
  }

  // The integer digits end at a fixed place, written backwards.
  char* point = first + 20;
  char* p = point;
  if (whole <= 0xFFFFFFFFu) {
    auto w = static_cast<std::uint32_t>(whole);
    do {
      *--p = static_cast<char>('0' + w % 10);
      w /= 10;
    } while (w != 0);
  } else {
    do {
      *--p = static_cast<char>('0' + whole % 10);
      whole /= 10;
    } while (whole != 0);
  }
  first = p;
  if (precision == 0) {
    last = point;
  } else {
    *point = '.';
    last = point + 1;
    const std::uint64_t mask = s != 0 ? (std::uint64_t{1} << s) - 1 : 0;
    std::size_t left = precision;
    for (; left != 0 && part != 0; --left) {
      part *= 10;
      *last++ = static_cast<char>('0' + (part >> s));
      part &= mask;
    }
    std::memset(last, '0', left);
    last += left;
  }
  if (s != 0 && part >= (std::uint64_t{1} << (s - 1))) first = increment_digits(first, last);
  return true;
}

void write_value(Sink& out, const Conversion& conv, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const bool negative = (bits >> 63) != 0;
  const auto biased_exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);

  // Not a number or infinite: a gauge shows dashes rather than "nan"/"inf".
  if (biased_exponent == 0x7FF) {
    out.fill('-', std::max<std::size_t>(conv.width, 3));
    return;
  }

  std::size_t precision = conv.precision;
  std::size_t extra_zeros = 0;
  if (precision > exact_fraction_digits) {
    extra_zeros = precision - exact_fraction_digits;
    precision = exact_fraction_digits;
  }

  // value = mantissa * 2^exponent.
  std::uint64_t mantissa = fraction;
  int exponent = -1074;
  if (biased_exponent != 0) {
    mantissa |= std::uint64_t{1} << 52;
    exponent = biased_exponent - 1075;
  } else if (mantissa == 0) {
    exponent = 0;  // zero is a small integer, not a tiny fraction
  }

  // One spare byte in front for a carry, the digits, '.', the fraction and
  // the extra digit a tie is printed with.
  char digits[1 + max_integer_digits + 1 + exact_fraction_digits + 2];
  char* first = digits + 1;
  char* last = first;
  if (!fast_digits(mantissa, exponent, precision, first, last)) {
    // With the mantissa made odd, value * 10^p = m * 5^p * 2^(e+p) is an
    // odd number of halves exactly when e + p + 1 == 0.
    const int odd_exponent = exponent + std::countr_zero(mantissa);
    const bool tie = odd_exponent == -static_cast<int>(precision) - 1;
    const double magnitude = std::bit_cast<double>(bits & ~(std::uint64_t{1} << 63));
    const int printed_precision = static_cast<int>(precision) + (tie ? 1 : 0);
    last = std::to_chars(first, digits + sizeof digits, magnitude, std::chars_format::fixed,
                         printed_precision)
               .ptr;
    if (tie) {
      // The extra digit is exactly 5 with nothing after it: drop it and
      // round the rest up, away from zero.
      --last;
      if (precision == 0) --last;  // the '.'
      first = increment_digits(first, last);
    }
  }

  const char sign = negative ? '-' : conv.plus ? '+' : conv.space ? ' ' : '\0';
  const std::size_t body = static_cast<std::size_t>(last - first) + extra_zeros;
  const std::size_t length = body + (sign ? 1 : 0);
  const std::size_t pad = conv.width > length ? conv.width - length : 0;

  if (pad != 0 && !conv.left && !conv.zero) out.fill(' ', pad);
  if (sign) out.put(sign);
  if (pad != 0 && !conv.left && conv.zero) out.fill('0', pad);
  out.copy(first, static_cast<std::size_t>(last - first));
  out.fill('0', extra_zeros);
  if (pad != 0 && conv.left) out.fill(' ', pad);
}

}  // namespace

std::size_t format_value(char* out, std::size_t capacity, const char* format, double value) noexcept {
  if (out == nullptr || capacity == 0) return 0;
  Sink sink{out, out + capacity - 1};

  bool converted = false;
  const char* text = format != nullptr ? format : "";
  const char* const end = text + std::strlen(text);
  while (text != end) {
    // Captions run to a hundred spaces and more: let the library scan them.
    const void* found = std::memchr(text, '%', static_cast<std::size_t>(end - text));
    const char* stop = found != nullptr ? static_cast<const char*>(found) : end;
    sink.copy(text, static_cast<std::size_t>(stop - text));
    if (stop == end) break;

    // At a '%'.
    text = stop + 1;
    if (*text == '%') {
      sink.put('%');
      ++text;
      continue;
    }
    Conversion conv;
    const char* after = converted ? nullptr : parse_conversion(text, conv);
    if (after == nullptr) {
      // Not ours (a second conversion, an unknown letter, a lone '%' at the
      // end): the '%' prints as itself and scanning goes on after it.
      sink.put('%');
      continue;
    }
    write_value(sink, conv, value);
    converted = true;
    text = after;
  }

  *sink.next = '\0';
  return static_cast<std::size_t>(sink.next - out);
}

}  // namespace frame
