// Scenario files: simulator variables by token, and an optional timeline of
// keyframes that panel-host interpolates, written in TOML:
//
//   title = "Cruise at FL350"
//   [variables]
//   0x301 = 1.0        # power
//   0x3D = 250.0       # indicated airspeed, knots
//   [[timeline]]
//   t = 0.0
//   0x3D = 250.0
//   [[timeline]]
//   t = 10.0
//   0x3D = 280.0
//
// A timeline names the tokens it animates; each is linear between the
// keyframes that give it, holds its value past the last one, and until its
// first keyframe keeps its [variables] value (or, without one, that first
// keyframe's value). A step to or from a value that is not finite happens
// at the later keyframe.
#pragma once

#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace panel_host {

// A scenario the host refuses. The message names the file, the line where
// there is one, and the problem.
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Keyframe {
  double t = 0.0;  // seconds
  std::map<uint32_t, double> values;
};

struct Scenario {
  std::string title;
  std::string description;
  std::map<uint32_t, double> variables;
  std::vector<Keyframe> timeline;  // ascending t

  bool animated() const { return !timeline.empty(); }
  double duration() const { return timeline.empty() ? 0.0 : timeline.back().t; }

  // Every token the scenario gives, with its value at time t.
  std::map<uint32_t, double> values_at(double t) const;
};

// `name` is what messages call the file.
Scenario parse_scenario(const std::string& text, const std::string& name);
Scenario load_scenario(const std::string& path);

}  // namespace panel_host
