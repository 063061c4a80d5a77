// `panel-host render` and `panel-host panel`: run gauges through their
// update cycles, with a scenario's variables and the command line's, and
// draw them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render_bitmap.h"

namespace panel_host {

struct RenderRequest {
  std::vector<std::string> modules;  // render: one; panel: side by side, in order
  std::optional<std::string> scenario;
  std::vector<std::pair<uint32_t, double>> assignments;  // over the scenario's values
  int cycles = 1;                                        // per frame
  double scale = 1.0;
  // One frame at `time`; otherwise a timeline, or --fps or --duration,
  // makes a contact sheet of frames from 0 to the duration.
  std::optional<double> time;
  std::optional<double> fps;
  std::optional<double> duration;
  bool panel = false;  // name each gauge under it
};

inline constexpr double default_fps = 1.0;
inline constexpr int frame_limit = 400;
inline constexpr double pixel_limit = 150e6;  // all frames together, about 600 MB

struct RenderResult {
  SurfacePtr picture;
  std::vector<std::string> warnings;  // "MODULE: element ...", once each
};

// Throws LoadError, ScenarioError, RenderError or FormatError with a
// message that names what let it down.
RenderResult render_request(const RenderRequest& request);

// Writes the picture to `output`; exit status 0, or 2 after saying why.
int run_render(const RenderRequest& request, const std::string& output, std::ostream& err);

// The modules beside panel-host: ../modules from the executable.
std::string default_module_dir();
std::vector<std::string> default_panel_modules();

}  // namespace panel_host
