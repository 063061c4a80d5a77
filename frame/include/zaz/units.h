// The simulator's units turned into what the instruments show, in the
// evaluation order the readouts rely on.
#pragma once

namespace frame {

// The Mach token is Mach x 20480: (value x 3.2) x 1/65536.
constexpr double mach_from_token(double value) { return (value * 3.2) * (1.0 / 65536.0); }

// Metres per second to knots.
constexpr double knots_from_metres_per_second(double value) { return value * 1.943844; }

}  // namespace frame
