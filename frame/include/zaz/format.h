// The text formatter every gauge prints with: literal text plus one %f
// conversion (flags + - space 0, width, precision) and %%. It prints the
// exact decimal value of the double, rounding a value exactly halfway
// between two printable values away from zero, the same on every platform.
// A value that is not a number, or infinite, prints as dashes filling the
// conversion's width (at least three).
#pragma once

#include <cstddef>

namespace frame {

// Writes at most `capacity` bytes into `out`, the last of them a NUL (when
// capacity > 0); returns the length of the text written, without the NUL.
std::size_t format_value(char* out, std::size_t capacity, const char* format, double value) noexcept;

}  // namespace frame
