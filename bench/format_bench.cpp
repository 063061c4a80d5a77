// Our formatter against the C library's snprintf on the formats the gauges
// print every frame. Each family is registered twice under the same name,
// once as format_value/NAME and once as snprintf/NAME, so the two times
// divide into the speed-up.
#include "zaz/format.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdio>
#include <span>

namespace {

constexpr double headings[] = {0.0, 3.4, 45.5, 89.9, 90.0, 135.2, 179.5, 180.0,
                               224.7, 270.0, 299.5, 315.25, 344.9, 359.4, 359.6, 12.0};
constexpr double readings[] = {0.0, 1.0, 2.5, 7.0, 12.4, 99.5, 120.0, 850.0,
                               1013.0, 2400.0, 3.5, 0.4, 17.5, 65.0, 5.0, 31.0};
constexpr double tenths[] = {0.0, -3.2, 5.0, 12.35, 29.9, 2.5, -0.05, 99.95,
                             7.25, 14.7, -12.5, 0.45, 3.14159, 18.0, -7.6, 45.55};
constexpr double hundredths[] = {29.92, 30.01, 99.98999786376953, 0.125, 2.675, 12.345, 1.005, 4.5,
                                 28.5, 31.0, 0.0, 7.777, 15.1, 3.3333, 25.25, 99.995};
constexpr double temperatures[] = {-12.0, 0.0, 15.0, 42.5, 68.0, 87.5, 95.4, 110.0,
                                   120.0, 23.6, 77.7, 101.5, 55.0, 88.8, 99.0, 130.5};

#define OIL_CAPTION                                                                            \
  "OIL \xB0" "C                                                                                " \
  "                                        %.0f"

struct Family {
  const char* format;
  std::span<const double> values;
};

template <typename Format>
void run(benchmark::State& state, const Family& family, Format print) {
  char out[256];
  std::size_t i = 0;
  const std::size_t count = family.values.size();
  for (auto _ : state) {
    const double v = family.values[i];
    i = i + 1 == count ? 0 : i + 1;
    benchmark::DoNotOptimize(print(out, family.format, v));
    benchmark::ClobberMemory();
  }
}

void bm_format_value(benchmark::State& state, Family family) {
  run(state, family, [](char* out, const char* fmt, double v) {
    return frame::format_value(out, 256, fmt, v);
  });
}

void bm_snprintf(benchmark::State& state, Family family) {
  run(state, family, [](char* out, const char* fmt, double v) { return std::snprintf(out, 256, fmt, v); });
}

#define FAMILY(name, fmt, values)                                             \
  BENCHMARK_CAPTURE(bm_format_value, name, Family{fmt, values})->Name("format_value/" #name); \
  BENCHMARK_CAPTURE(bm_snprintf, name, Family{fmt, values})->Name("snprintf/" #name)

FAMILY(heading_03_0, "%03.0f", headings);
FAMILY(integer_1_0, "%1.0f", readings);
FAMILY(integer_0, "%.0f", readings);
FAMILY(zero_pad_05_0, "%05.0f", readings);
FAMILY(tenths_04_1, "%04.1f", tenths);
FAMILY(tenths_5_1, "%5.1f", tenths);
FAMILY(signed_caption, "+%04.1f", tenths);
FAMILY(hundredths_05_2, "%05.2f", hundredths);
FAMILY(hundredths_04_2, "%04.2f", hundredths);
FAMILY(caption_m, "M                   %1.0f", readings);
FAMILY(caption_oil, OIL_CAPTION, temperatures);

}  // namespace
