// One gauge loaded from its file and driven with a variable store: what
// every panel-host command starts from.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gauge_driver.h"
#include "module_file.h"

namespace panel_host {

struct Session {
  explicit Session(const std::string& path) : file(path), driver(file.linkage(), file.import_table(), variables) {}

  // Creates the gauge (once) and runs `cycles` update cycles.
  void run(int cycles) {
    if (!driver.created()) driver.create();
    for (int i = 0; i < cycles; ++i) driver.cycle();
  }

  ModuleFile file;
  VariableStore variables;
  GaugeDriver driver;
};

}  // namespace panel_host
