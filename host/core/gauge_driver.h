// panel-host's core: drives one gauge through its life cycle as the panel
// system does, given its Linkage and ImportTable records. It does not care
// how the module was loaded, so a statically linked test can drive a gauge.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "zaz/host_format.h"

namespace panel_host {

// A module the host refuses: the message says why.
class LoadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Simulator variables by token; a token nobody set reads 0.0.
class VariableStore {
 public:
  void set(uint32_t token, double value) { values_[token] = value; }
  double get(uint32_t token) const {
    const auto it = values_.find(token);
    return it == values_.end() ? 0.0 : it->second;
  }
  const std::map<uint32_t, double>& values() const { return values_; }

 private:
  std::map<uint32_t, double> values_;
};

// What the element's callbacks returned or wrote in the last cycle.
struct ElementState {
  host::ElementHeader* record = nullptr;
  double value = 0.0;    // needle, icon
  double value_x = 0.0;  // slider, moving image
  double value_y = 0.0;
  const char* text = nullptr;  // string: the host's buffer
};

const char* kind_name(host::ElementKind kind);

class GaugeDriver {
 public:
  // Checks the records and points the module's import table at this host's
  // function table. Throws LoadError on a malformed gauge.
  GaugeDriver(host::LinkageRecord* linkage, host::ImportTableRecord* import_table, VariableStore& variables);
  ~GaugeDriver();
  GaugeDriver(const GaugeDriver&) = delete;
  GaugeDriver& operator=(const GaugeDriver&) = delete;

  void create();   // service 4
  void cycle();    // service 6, every element's update callbacks, service 10
  void destroy();  // service 12
  bool created() const { return created_; }

  std::string name() const;
  std::string tooltip() const;
  host::GaugeHeader& header() const { return *header_; }
  const std::vector<ElementState>& elements() const { return elements_; }
  VariableStore& variables() const { return variables_; }

 private:
  void service(int32_t id);
  void update(ElementState& state);

  host::LinkageRecord* linkage_;
  host::ImportTableRecord* import_table_;
  host::GaugeHeader* header_;
  VariableStore& variables_;
  std::vector<ElementState> elements_;
  std::vector<std::array<char, host::text_buffer_capacity>> buffers_;
  bool created_ = false;
};

// The function table this host hands every module: entry 40 refreshes a
// variable from the store of the gauge being serviced; any other entry
// stops the host with a message naming it.
host::HostFunctionTable* host_function_table();

}  // namespace panel_host
