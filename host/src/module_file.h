// Loading a gauge module file and finding its exported records.
#pragma once

#include <string>

#include "gauge_driver.h"
#include "zaz/host_format.h"

namespace panel_host {

class ModuleFile {
 public:
  // Throws LoadError with a message naming the file.
  explicit ModuleFile(const std::string& path);
  ~ModuleFile();
  ModuleFile(const ModuleFile&) = delete;
  ModuleFile& operator=(const ModuleFile&) = delete;

  const std::string& path() const { return path_; }
  void* handle() const { return handle_; }
  host::LinkageRecord* linkage() const { return linkage_; }
  host::ImportTableRecord* import_table() const { return import_table_; }

 private:
  std::string path_;
  void* handle_ = nullptr;
  host::LinkageRecord* linkage_ = nullptr;
  host::ImportTableRecord* import_table_ = nullptr;
};

}  // namespace panel_host
