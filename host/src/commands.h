// The panel-host commands; each returns the process exit status.
#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace panel_host {

struct RunOptions {
  std::string module;
  std::vector<std::pair<uint32_t, double>> assignments;
  int cycles = 1;
};

int run_dump(const RunOptions& options, std::ostream& out, std::ostream& err);
int run_info(const std::string& module, std::ostream& out, std::ostream& err);

}  // namespace panel_host
