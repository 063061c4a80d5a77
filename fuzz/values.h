// Doubles drawn from fuzz input: mostly the values that break arithmetic
// (NaN, infinities, signed zeros, subnormals, huge magnitudes, the edges of
// the gauges' limits), the rest ordinary readings or raw bit patterns.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>

namespace fuzz {

// Where the gauges' limits, detents and formats change behaviour.
inline constexpr double edges[] = {
    0.0,    1.0,    2.0,     9.0,     10.0,    20.0,    30.0,     40.0,   46.0,   92.0,
    99.0,   99.5,   99.9,    99.95,   99.99,   99.995,  110.0,    409.6,  459.7,  491.7,
    700.0,  999.0,  999.5,   1100.0,  1500.0,  2700.0,  9999.5,   16374., 16375., 16384.,
    20480., 50000., 99999.,  99999.5, 2147483647.0, 2147483648.0, 4294967296.0, 1e15, 9007199254740993.0,
};

inline double extreme(FuzzedDataProvider& in) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  switch (in.ConsumeIntegralInRange<int>(0, 11)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return -std::numeric_limits<double>::quiet_NaN();
    case 2: return std::bit_cast<double>(uint64_t{0x7FF0000000000001});  // signalling
    case 3: return inf;
    case 4: return -inf;
    case 5: return 0.0;
    case 6: return -0.0;
    case 7: return std::numeric_limits<double>::denorm_min();
    case 8: return -std::numeric_limits<double>::min() / 3.0;  // a negative subnormal
    case 9: return 1e308;
    case 10: return -1e308;
    default: return std::numeric_limits<double>::max();
  }
}

inline double value(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 7)) {
    case 0:
    case 1: return extreme(in);
    case 2: {  // a limit's edge, a neighbour of it, or its negative
      double v = edges[in.ConsumeIntegralInRange<std::size_t>(0, std::size(edges) - 1)];
      switch (in.ConsumeIntegralInRange<int>(0, 3)) {
        case 1: v = std::nextafter(v, std::numeric_limits<double>::infinity()); break;
        case 2: v = std::nextafter(v, -std::numeric_limits<double>::infinity()); break;
        case 3: v = -v; break;
        default: break;
      }
      return v;
    }
    case 3: return std::bit_cast<double>(in.ConsumeIntegral<uint64_t>());
    case 4: return static_cast<double>(std::bit_cast<float>(in.ConsumeIntegral<uint32_t>()));
    case 5: return static_cast<double>(in.ConsumeIntegralInRange<int32_t>(-20000, 70000));
    default: return in.ConsumeFloatingPointInRange<double>(-3000.0, 3000.0);
  }
}

}  // namespace fuzz
