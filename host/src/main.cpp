// panel-host: loads a gauge module, drives it as the panel system does and
// shows what it does.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cmd_resources.h"
#include "commands.h"
#if ZAZ_HOST_RENDER
#include "render_command.h"
#endif
#include "text.h"

namespace {

// --set TOKEN=VALUE, checked as it is read.
void add_run_options(CLI::App& cmd, panel_host::RunOptions& options) {
  cmd.add_option("MODULE", options.module, "gauge module file (.so or .gau)")->required();
  cmd.add_option_function<std::vector<std::string>>(
         "--set",
         [&options](const std::vector<std::string>& items) {
           for (const auto& item : items) {
             const auto a = panel_host::parse_assignment(item);
             if (!a) throw CLI::ValidationError("--set", "expected TOKEN=VALUE (TOKEN like 0x3D or 61), got '" + item + "'");
             options.assignments.push_back(*a);
           }
         },
         "set a simulator variable: TOKEN=VALUE, TOKEN hexadecimal (0x3D) or decimal, VALUE a number, nan, inf or -inf")
      ->take_all()
      ->allow_extra_args(false);
  cmd.add_option("--cycles", options.cycles, "update cycles to run (default 1)")->check(CLI::NonNegativeNumber);
}

#if ZAZ_HOST_RENDER
// What `render` and `panel` share: variables, cycles, scale and frames.
void add_picture_options(CLI::App& cmd, panel_host::RenderRequest& request, std::string& output) {
  cmd.add_option_function<std::vector<std::string>>(
         "--set",
         [&request](const std::vector<std::string>& items) {
           for (const auto& item : items) {
             const auto a = panel_host::parse_assignment(item);
             if (!a) throw CLI::ValidationError("--set", "expected TOKEN=VALUE (TOKEN like 0x3D or 61), got '" + item + "'");
             request.assignments.push_back(*a);
           }
         },
         "set a simulator variable over the scenario's: TOKEN=VALUE, TOKEN hexadecimal (0x3D) or decimal, VALUE a "
         "number, nan, inf or -inf")
      ->take_all()
      ->allow_extra_args(false);
  cmd.add_option("--cycles", request.cycles, "update cycles to run before each frame is drawn (default 1)")
      ->check(CLI::NonNegativeNumber);
  cmd.add_option("--scale", request.scale, "draw K times the gauge's size (default 1)")->check(CLI::Range(0.25, 16.0));
  auto* time = cmd.add_option_function<double>(
      "--time", [&request](double t) { request.time = t; }, "draw the one frame at T seconds into the timeline");
  time->check(CLI::NonNegativeNumber);
  auto* fps = cmd.add_option_function<double>(
      "--fps", [&request](double f) { request.fps = f; },
      "frames per second of the contact sheet a timeline makes (default 1)");
  fps->check(CLI::PositiveNumber);
  auto* duration = cmd.add_option_function<double>(
      "--duration", [&request](double d) { request.duration = d; },
      "seconds the contact sheet covers (default: to the timeline's last keyframe)");
  duration->check(CLI::NonNegativeNumber);
  time->excludes(fps)->excludes(duration);
  cmd.add_option("-o,--output", output, "the PNG file to write")->required();
}
#endif

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"panel-host: load a gauge module, drive it as the panel system does, show and draw it"};
  app.require_subcommand(1);

  panel_host::RunOptions dump_options;
  auto* dump = app.add_subcommand("dump", "run update cycles and print every element's state as JSON");
  add_run_options(*dump, dump_options);

  std::string info_module;
  auto* info = app.add_subcommand("info", "describe the gauge and its element chain");
  info->add_option("MODULE", info_module, "gauge module file")->required();

  std::string res_module;
  std::string extract_dir;
  auto* resources = app.add_subcommand("resources", "list the module's bitmaps and version record");
  resources->add_option("MODULE", res_module, "gauge module file (.so or .gau)")->required();
  resources->add_option("--extract", extract_dir, "write each bitmap as DIR/0xNNNN.bmp");

#if ZAZ_HOST_RENDER
  panel_host::RenderRequest render_request;
  std::string render_module, render_output;
  auto* render = app.add_subcommand("render", "run update cycles and draw the gauge as a PNG picture");
  render->add_option("MODULE", render_module, "gauge module file (.so or .gau)")->required();
  render->add_option_function<std::string>(
      "--scenario", [&render_request](const std::string& f) { render_request.scenario = f; },
      "TOML file of variable values and an optional timeline");
  add_picture_options(*render, render_request, render_output);

  panel_host::RenderRequest panel_request;
  panel_request.panel = true;
  std::string panel_scenario, panel_output;
  auto* panel = app.add_subcommand("panel", "draw several gauges side by side, each named under it, as a PNG picture");
  panel->add_option("SCENARIO", panel_scenario, "TOML file of variable values and an optional timeline")->required();
  panel->add_option("MODULE", panel_request.modules,
                    "gauge module files (default: the three in " + panel_host::default_module_dir() + ")");
  add_picture_options(*panel, panel_request, panel_output);
#endif

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    app.exit(e);
    return 2;
  }

  if (dump->parsed()) return panel_host::run_dump(dump_options, std::cout, std::cerr);
  if (info->parsed()) return panel_host::run_info(info_module, std::cout, std::cerr);
#if ZAZ_HOST_RENDER
  if (render->parsed()) {
    render_request.modules = {render_module};
    return panel_host::run_render(render_request, render_output, std::cerr);
  }
  if (panel->parsed()) {
    panel_request.scenario = panel_scenario;
    if (panel_request.modules.empty()) panel_request.modules = panel_host::default_panel_modules();
    return panel_host::run_render(panel_request, panel_output, std::cerr);
  }
#endif
  if (resources->parsed())
    return panel_host::run_resources(res_module, extract_dir.empty() ? std::nullopt : std::optional(extract_dir),
                                     std::cout, std::cerr);
  return 2;
}
