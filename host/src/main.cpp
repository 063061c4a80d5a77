// panel-host: loads a gauge module, drives it as the panel system does and
// shows what it does.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cmd_resources.h"
#include "commands.h"
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
  if (resources->parsed())
    return panel_host::run_resources(res_module, extract_dir.empty() ? std::nullopt : std::optional(extract_dir),
                                     std::cout, std::cerr);
  return 2;
}
