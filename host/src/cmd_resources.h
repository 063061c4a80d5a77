// `panel-host resources MODULE [--extract DIR]`: what a module carries.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace panel_host {

// Lists the module's resources, its bitmaps' sizes and its version record
// on `out`; with `extract_dir`, also writes each bitmap there as a .bmp
// file named by its id (0x2300.bmp). Returns 0, or 2 after telling `err`
// why the module, one of its resources or an output file let it down.
int run_resources(const std::string& module_path, const std::optional<std::string>& extract_dir,
                  std::ostream& out, std::ostream& err);

}  // namespace panel_host
