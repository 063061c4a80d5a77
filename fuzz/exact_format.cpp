#include "exact_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace fuzz {
namespace {

// Little-endian limbs in base 10^9.
using Big = std::vector<uint64_t>;
constexpr uint64_t base = 1000000000;

void multiply(Big& n, uint64_t factor) {
  uint64_t carry = 0;
  for (uint64_t& limb : n) {
    const uint64_t v = limb * factor + carry;
    limb = v % base;
    carry = v / base;
  }
  while (carry != 0) {
    n.push_back(carry % base);
    carry /= base;
  }
}

Big from(uint64_t v) {
  Big n;
  do {
    n.push_back(v % base);
    v /= base;
  } while (v != 0);
  return n;
}

std::string digits(const Big& n) {
  std::string s = std::to_string(n.back());
  for (std::size_t i = n.size() - 1; i-- > 0;) {
    const std::string limb = std::to_string(n[i]);
    s += std::string(9 - limb.size(), '0') + limb;
  }
  return s;
}

// Saturating, so that absurd widths cannot overflow anything.
constexpr std::size_t number_cap = std::size_t{1} << 24;

std::size_t number(const std::string& f, std::size_t& at) {
  std::size_t n = 0;
  while (at < f.size() && f[at] >= '0' && f[at] <= '9') {
    n = std::min(number_cap, n * 10 + static_cast<std::size_t>(f[at] - '0'));
    ++at;
  }
  return n;
}

struct Conversion {
  bool left = false, plus = false, space = false, zero = false;
  std::size_t width = 0, precision = 6;
};

// Appends to `out` without letting it pass `room` characters, while
// counting what the whole text would have taken.
struct Out {
  std::string text;
  std::size_t room;
  std::size_t length = 0;

  void add(const std::string& s) { add(s.data(), s.size()); }
  void add(const char* s, std::size_t n) {
    length = std::min(number_cap, length + n);
    if (text.size() < room) text.append(s, std::min(n, room - text.size()));
  }
  void repeat(char c, std::size_t n) {
    length = std::min(number_cap, length + n);
    if (text.size() < room) text.append(std::min(n, room - text.size()), c);
  }
};

void convert(Out& out, const Conversion& conv, double value, bool& tie) {
  if (!std::isfinite(value)) {
    out.repeat('-', std::max<std::size_t>(conv.width, 3));
    return;
  }
  const Decimal d = exact_decimal(value);
  std::string body = d.whole;
  std::size_t trailing_zeros = 0;
  if (conv.precision >= d.fraction.size()) {
    if (conv.precision > 0) body += "." + d.fraction;
    trailing_zeros = conv.precision - d.fraction.size();
  } else {
    const char next = d.fraction[conv.precision];
    tie = next == '5' && conv.precision + 1 == d.fraction.size();  // nothing follows a final 5
    std::string kept = d.whole + d.fraction.substr(0, conv.precision);
    if (next >= '5') {
      std::size_t i = kept.size();
      while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
      if (i == 0)
        kept.insert(kept.begin(), '1');
      else
        ++kept[i - 1];
    }
    const std::size_t whole = kept.size() - conv.precision;
    body = kept.substr(0, whole);
    if (conv.precision > 0) body += "." + kept.substr(whole);
  }

  std::string sign;
  if (std::signbit(value))
    sign = "-";
  else if (conv.plus)
    sign = "+";
  else if (conv.space)
    sign = " ";
  const std::size_t length = sign.size() + body.size() + trailing_zeros;
  const std::size_t pad = conv.width > length ? conv.width - length : 0;
  if (!conv.left && !conv.zero) out.repeat(' ', pad);
  out.add(sign);
  if (!conv.left && conv.zero) out.repeat('0', pad);
  out.add(body);
  out.repeat('0', trailing_zeros);
  if (conv.left) out.repeat(' ', pad);
}

}  // namespace

Decimal exact_decimal(double value) {
  const uint64_t bits = std::bit_cast<uint64_t>(value) & ~(uint64_t{1} << 63);
  const int biased = static_cast<int>(bits >> 52);
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  int e = -1074;
  if (biased != 0) {
    m |= uint64_t{1} << 52;
    e = biased - 1075;
  }
  Decimal d;
  if (m == 0) {
    d.whole = "0";
    return d;
  }
  Big n = from(m);
  if (e >= 0) {
    for (int left = e; left > 0; left -= std::min(left, 29)) multiply(n, uint64_t{1} << std::min(left, 29));
    d.whole = digits(n);
    return d;
  }
  const std::size_t places = static_cast<std::size_t>(-e);
  for (std::size_t left = places; left > 0; left -= std::min<std::size_t>(left, 12)) {
    uint64_t five = 1;
    for (std::size_t i = 0; i < std::min<std::size_t>(left, 12); ++i) five *= 5;
    multiply(n, five);
  }
  std::string all = digits(n);
  if (all.size() <= places) all.insert(0, places - all.size() + 1, '0');
  d.whole = all.substr(0, all.size() - places);
  d.fraction = all.substr(all.size() - places);
  while (!d.fraction.empty() && d.fraction.back() == '0') d.fraction.pop_back();
  return d;
}

Modelled model_format(const std::string& f, double value, std::size_t limit) {
  Out out{{}, limit};
  Modelled result;
  std::size_t at = 0;
  while (at < f.size()) {
    if (f[at] != '%') {
      out.add(&f[at], 1);
      ++at;
      continue;
    }
    if (at + 1 < f.size() && f[at + 1] == '%') {
      out.add("%", 1);
      at += 2;
      continue;
    }
    std::size_t p = at + 1;
    Conversion conv;
    for (; p < f.size(); ++p) {
      const char c = f[p];
      if (c == '-')
        conv.left = true;
      else if (c == '+')
        conv.plus = true;
      else if (c == ' ')
        conv.space = true;
      else if (c == '0')
        conv.zero = true;
      else
        break;
    }
    conv.width = number(f, p);
    if (p < f.size() && f[p] == '.') {
      ++p;
      conv.precision = number(f, p);
    }
    constexpr std::size_t readable = std::size_t{1} << 20;
    if (!result.converted && p < f.size() && f[p] == 'f') {
      result.huge_numbers = conv.width > readable || conv.precision > readable;
      convert(out, conv, value, result.tie);
      result.converted = true;
      at = p + 1;
    } else {
      out.add("%", 1);
      ++at;
    }
  }
  result.text = std::move(out.text);
  result.full_length = out.length;
  return result;
}

}  // namespace fuzz
