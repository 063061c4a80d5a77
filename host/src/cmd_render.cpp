// `panel-host render` and `panel-host panel`.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <ostream>

#include "render.h"
#include "render_command.h"
#include "render_compose.h"
#include "scenario.h"
#include "session.h"

namespace panel_host {

namespace {

struct Gauge {
  explicit Gauge(const std::string& path, FontBook& fonts)
      : session(std::make_unique<Session>(path)),
        renderer(session->driver, resources_of(path, *session), fonts) {}

  static ResourceSet resources_of(const std::string& path, const Session& s) {
    try {
      return resources_from_handle(s.file.handle());
    } catch (const FormatError& e) {
      throw FormatError(path + ": " + e.what());
    }
  }

  std::unique_ptr<Session> session;
  GaugeRenderer renderer;
};

std::string seconds(double t) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", t);
  std::string s = text;
  if (s.size() > 3 && s.back() == '0') s.pop_back();
  return "t = " + s + " s";
}

void check(const RenderRequest& r) {
  const auto bad = [](const std::string& why) { throw RenderError(why); };
  if (r.modules.empty()) bad("no gauge module to draw");
  if (!(r.scale > 0 && r.scale <= 16)) bad("--scale must be more than 0 and at most 16");
  if (r.cycles < 0) bad("--cycles must be 0 or more");
  if (r.time && !(std::isfinite(*r.time) && *r.time >= 0)) bad("--time must be a time in seconds, 0 or more");
  if (r.fps && !(std::isfinite(*r.fps) && *r.fps > 0)) bad("--fps must be more than 0");
  if (r.duration && !(std::isfinite(*r.duration) && *r.duration >= 0))
    bad("--duration must be a time in seconds, 0 or more");
  if (r.time && (r.fps || r.duration)) bad("--time draws one frame; it does not go with --fps or --duration");
}

}  // namespace

std::string default_module_dir() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "modules";
  return (exe.parent_path().parent_path() / "modules").string();
}

std::vector<std::string> default_panel_modules() {
  const std::string dir = default_module_dir();
  return {dir + "/Zazader_Airspeed.so", dir + "/Zazader_EICAS.so", dir + "/Zazader_BckupAirspeed.so"};
}

RenderResult render_request(const RenderRequest& request) {
  check(request);
  Scenario scenario;
  if (request.scenario) scenario = load_scenario(*request.scenario);

  std::vector<double> times;
  bool sheet = false;
  if (request.time) {
    times.push_back(*request.time);
  } else if (scenario.animated() || request.fps || request.duration) {
    sheet = true;
    const double fps = request.fps.value_or(default_fps);
    const double duration = request.duration.value_or(scenario.duration());
    const double frames = std::floor(duration * fps + 1e-9) + 1;
    if (frames > frame_limit)
      throw RenderError(std::to_string(static_cast<long long>(frames)) + " frames is more than " +
                        std::to_string(frame_limit) + ": lower --fps or --duration");
    for (int i = 0; i < static_cast<int>(frames); ++i) times.push_back(i / fps);
  } else {
    times.push_back(0.0);
  }

  FontBook fonts;
  std::vector<std::unique_ptr<Gauge>> gauges;
  const auto naming = [&](std::size_t i, auto&& work) {
    try {
      work();
    } catch (const RenderError& e) {
      throw RenderError(request.modules[i] + ": " + e.what());
    }
  };
  for (std::size_t i = 0; i < request.modules.size(); ++i)
    naming(i, [&] { gauges.push_back(std::make_unique<Gauge>(request.modules[i], fonts)); });

  // Every frame is kept until the sheet is laid out: refuse what would not
  // fit in memory before drawing any of it.
  double pixels = 0;
  for (const auto& g : gauges) pixels += double(g->renderer.width()) * g->renderer.height();
  pixels *= request.scale * request.scale * static_cast<double>(times.size());
  if (pixels > pixel_limit)
    throw RenderError("the picture would take " + std::to_string(static_cast<long long>(pixels / 1e6)) +
                      " million pixels (at most " + std::to_string(static_cast<long long>(pixel_limit / 1e6)) +
                      "): lower --scale, --fps or --duration");

  std::vector<SurfacePtr> frames;
  for (double t : times) {
    std::vector<SurfacePtr> pictures;
    const auto values = scenario.values_at(t);
    for (std::size_t i = 0; i < gauges.size(); ++i) {
      Gauge& g = *gauges[i];
      for (const auto& [token, value] : values) g.session->variables.set(token, value);
      for (const auto& [token, value] : request.assignments) g.session->variables.set(token, value);
      g.session->run(request.cycles);
      naming(i, [&] { pictures.push_back(g.renderer.render(request.scale)); });
    }
    if (request.panel) {
      std::vector<Tile> tiles;
      for (std::size_t i = 0; i < gauges.size(); ++i)
        tiles.push_back({pictures[i].get(), gauges[i]->session->driver.name()});
      frames.push_back(compose_grid(tiles, static_cast<int>(tiles.size()), request.scale, panel_ground, fonts));
    } else {
      frames.push_back(std::move(pictures.front()));
    }
  }

  RenderResult result;
  if (sheet) {
    std::vector<Tile> tiles;
    for (std::size_t i = 0; i < frames.size(); ++i) tiles.push_back({frames[i].get(), seconds(times[i])});
    const int columns = sheet_columns(static_cast<int>(tiles.size()), cairo_image_surface_get_width(tiles[0].picture),
                                      cairo_image_surface_get_height(tiles[0].picture));
    result.picture = compose_grid(tiles, columns, request.scale, sheet_ground, fonts);
  } else {
    result.picture = std::move(frames.front());
  }
  for (std::size_t i = 0; i < gauges.size(); ++i)
    for (const std::string& w : gauges[i]->renderer.warnings()) result.warnings.push_back(request.modules[i] + ": " + w);
  return result;
}

int run_render(const RenderRequest& request, const std::string& output, std::ostream& err) {
  try {
    RenderResult r = render_request(request);
    for (const std::string& w : r.warnings) err << "panel-host: warning: " << w << "\n";
    write_png(r.picture.get(), output);
    return 0;
  } catch (const LoadError& e) {
    err << "panel-host: " << e.what() << "\n";
  } catch (const ScenarioError& e) {
    err << "panel-host: " << e.what() << "\n";
  } catch (const RenderError& e) {
    err << "panel-host: " << e.what() << "\n";
  } catch (const FormatError& e) {
    err << "panel-host: " << e.what() << "\n";
  }
  return 2;
}

}  // namespace panel_host
