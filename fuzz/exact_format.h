// A slow, obviously exact model of the gauges' text formatting, to hold
// frame::format_value against. Digits come from big-integer arithmetic on
// the double's binary value (m * 2^e is m * 5^-e / 10^-e), so nothing is
// rounded until the conversion's precision, where a half goes away from
// zero.
#pragma once

#include <cstddef>
#include <string>

namespace fuzz {

struct Modelled {
  std::string text;  // at most `limit` characters
  std::size_t full_length = 0;  // what the text would take with no limit (capped at 1 << 24)
  bool tie = false;  // the converted value lay exactly halfway between two printable ones
  bool converted = false;
  // A width or precision past 2^20: the formatter stops reading such
  // numbers at some point of its own, so only the safety rules apply.
  bool huge_numbers = false;
};

// Literal text, %% and at most one %f conversion (flags - + space 0,
// width, precision); any other '%' prints as itself.
Modelled model_format(const std::string& format, double value, std::size_t limit);

// The exact decimal expansion of a finite |value|: integer digits, then
// every fraction digit up to the last non-zero one.
struct Decimal {
  std::string whole;
  std::string fraction;
};
Decimal exact_decimal(double value);

}  // namespace fuzz
