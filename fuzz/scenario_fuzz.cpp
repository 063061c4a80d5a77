// Scenario files: any text is either a scenario or a ScenarioError, and a
// scenario can be asked for its values at any time.
#include <cmath>
#include <limits>
#include <string>

#include "readers.h"
#include "scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  fuzz::expect_clean<panel_host::ScenarioError>("parse_scenario", [&] {
    const panel_host::Scenario s = panel_host::parse_scenario(text, "fuzz.toml");
    for (std::size_t i = 1; i < s.timeline.size(); ++i)
      if (!(s.timeline[i - 1].t < s.timeline[i].t)) fuzz::broken("parse_scenario", "a timeline out of order");
    const double d = s.duration();
    for (double t : {-1.0, 0.0, d / 3, d / 2, d, d + 1, std::numeric_limits<double>::quiet_NaN(),
                     std::numeric_limits<double>::infinity()})
      s.values_at(t);
  });
  return 0;
}
