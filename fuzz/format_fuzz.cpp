// frame::format_value against the exact model, on the formats the gauges
// print with, on formats put together from flags, widths and precisions,
// and on arbitrary bytes; into buffers of every capacity. Where the value
// is not a tie, glibc's printf (exact too, only halves go to even) must
// agree with both.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "exact_format.h"
#include "values.h"
#include "zaz/format.h"
#include "zaz/host_format.h"

namespace {

std::string caption(const char* text, std::size_t spaces) { return text + std::string(spaces, ' ') + "%.0f"; }

// Every format the three gauges print with.
const std::string gauge_formats[] = {
    "%03.0f", "%04.2f", "%04.0f", "%02.0f", "%04.1f", "%05.0f", "%05.2f", "+%04.1f", "%05.1f", "%5.1f",
    "M                   %1.0f", "M                  %0.0f", "GS                   %0.0f", "OFF            %0.0f",
    caption("HYDR. PR", 139), caption("N1", 130), caption("OIL \xB0" "C", 120),
};

[[noreturn]] void fail(const std::string& format, double value, std::size_t capacity, const std::string& what,
                       const std::string& got, const std::string& expected) {
  std::fprintf(stderr, "format_value(\"%s\", %.17g [%a], capacity %zu): %s\n  got      \"%s\"\n  expected \"%s\"\n",
               format.c_str(), value, value, capacity, what.c_str(), got.c_str(), expected.c_str());
  std::abort();
}

// Into a block of exactly `capacity` bytes, from a format of exactly its
// own size, so AddressSanitizer sees a write or read past either.
std::string run(const std::string& format, double value, std::size_t capacity, std::size_t& returned) {
  auto f = std::make_unique<char[]>(format.size() + 1);
  std::memcpy(f.get(), format.c_str(), format.size() + 1);
  auto out = std::make_unique<char[]>(capacity == 0 ? 1 : capacity);
  if (capacity == 0) out[0] = '\x7E';
  returned = frame::format_value(out.get(), capacity, f.get(), value);
  if (capacity == 0) {
    if (returned != 0 || out[0] != '\x7E') fail(format, value, capacity, "wrote into an empty buffer", "", "");
    return {};
  }
  const void* nul = std::memchr(out.get(), '\0', capacity);
  if (nul == nullptr) fail(format, value, capacity, "no NUL inside the buffer", std::string(out.get(), capacity), "");
  return std::string(out.get(), static_cast<std::size_t>(static_cast<const char*>(nul) - out.get()));
}

// A value exactly halfway between two numbers printed with `precision`
// places: an odd multiple of 2^-(precision + 1).
double tie(FuzzedDataProvider& in, std::size_t precision) {
  const uint64_t odd = (in.ConsumeIntegral<uint64_t>() >> 11) | 1;
  double v = std::ldexp(static_cast<double>(odd), -static_cast<int>(std::min<std::size_t>(precision, 1100)) - 1);
  if (in.ConsumeBool()) v = -v;
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 1: return std::nextafter(v, INFINITY);
    case 2: return std::nextafter(v, -INFINITY);
    default: return v;
  }
}

std::string literal(FuzzedDataProvider& in) {
  std::string s = in.ConsumeRandomLengthString(24);
  std::string out;
  for (char c : s) {
    if (c == '\0') continue;
    out += c;
    if (c == '%') out += '%';
  }
  return out;
}

// The conversion's precision, as the format gives it (6 when it gives none).
std::size_t precision_of(const std::string& format) {
  const std::size_t dot = format.find('.', format.find('%'));
  if (dot == std::string::npos || format.find('f') < dot) return 6;
  return std::strtoul(format.c_str() + dot + 1, nullptr, 10);
}

void check(const std::string& format, double value, std::size_t capacity, bool compare_printf, bool must_fit) {
  const std::size_t limit = capacity == 0 ? 0 : capacity - 1;
  const fuzz::Modelled model = fuzz::model_format(format, value, limit);
  std::size_t returned = 0;
  const std::string got = run(format, value, capacity, returned);
  if (got != model.text && !model.huge_numbers)
    fail(format, value, capacity, "differs from the exact model", got, model.text);
  if (returned != got.size()) fail(format, value, capacity, "returned " + std::to_string(returned), got, model.text);
  if (must_fit && model.full_length > limit)
    fail(format, value, capacity, "a gauge's text does not fit the host's buffer", got, model.text);

  if (compare_printf && std::isfinite(value) && !model.tie && capacity > 0) {
    std::string c(capacity, '\0');
    std::snprintf(c.data(), capacity, format.c_str(), value);
    c.resize(std::strlen(c.c_str()));
    if (got != c) fail(format, value, capacity, "differs from glibc's printf", got, c);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t gauge_count = std::size(gauge_formats);
  const std::size_t mode = in.ConsumeIntegralInRange<std::size_t>(0, gauge_count + 1);

  if (mode < gauge_count) {
    // As a gauge prints: a single-precision value into the host's buffer.
    const std::string& format = gauge_formats[mode];
    double value = in.ConsumeBool() ? tie(in, precision_of(format)) : fuzz::value(in);
    const bool single = in.ConsumeBool();
    if (single) value = static_cast<double>(static_cast<float>(value));
    check(format, value, host::text_buffer_capacity, true, single);
    check(format, value, in.ConsumeIntegralInRange<std::size_t>(0, host::text_buffer_capacity), false, false);
    return 0;
  }

  if (mode == gauge_count) {
    // One conversion with any flags, width and precision, among literal text.
    std::string conv = "%";
    const auto flags = in.ConsumeIntegral<uint8_t>();
    for (int i = 0; i < 8; ++i)
      if (flags & (1u << i)) conv += "-+ 0"[i % 4];
    if (in.ConsumeBool()) conv += std::to_string(in.ConsumeIntegralInRange<int>(0, 400));
    std::size_t precision = 6;
    if (in.ConsumeBool()) {
      conv += '.';
      precision = 0;
      if (in.ConsumeBool()) {
        precision = in.ConsumeIntegralInRange<std::size_t>(0, 1200);
        conv += std::to_string(precision);
      }
    }
    const std::string format = literal(in) + conv + "f" + literal(in);
    const double value = in.ConsumeBool() ? tie(in, precision) : fuzz::value(in);
    check(format, value, 4096, true, false);
    check(format, value, in.ConsumeIntegralInRange<std::size_t>(0, 4096), false, false);
    return 0;
  }

  // Any bytes at all as the format.
  const auto capacity = in.ConsumeIntegralInRange<std::size_t>(0, 600);
  const double value = fuzz::value(in);
  std::string format = in.ConsumeRemainingBytesAsString();
  format.resize(std::strlen(format.c_str()));
  check(format, value, capacity, false, false);
  return 0;
}
