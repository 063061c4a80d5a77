// A gauge module driven as the host sees it. Natively the module file is
// loaded like panel-host loads it; in the static 32-bit build the gauge is
// linked in and driven through the same records.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gauge_driver.h"

#ifdef ZAZ_MODULE_DIR
#include "module_file.h"
#else
#include "zaz/frame.h"
#endif

class GaugeUnderTest {
 public:
  explicit GaugeUnderTest(const std::string& name) {
#ifdef ZAZ_MODULE_DIR
    file_ = std::make_unique<panel_host::ModuleFile>(std::string(ZAZ_MODULE_DIR) + "/" + name + ".so");
    driver_ = std::make_unique<panel_host::GaugeDriver>(file_->linkage(), file_->import_table(), store_);
#else
    (void)name;
    driver_ = std::make_unique<panel_host::GaugeDriver>(&Linkage, &ImportTable, store_);
#endif
    driver_->create();
    driver_->cycle();  // past the first draw's forced power-off
  }
  ~GaugeUnderTest() {
    driver_.reset();
#ifdef ZAZ_MODULE_DIR
    file_.reset();
#endif
  }

  void set(uint32_t token, double value) { store_.set(token, value); }
  void cycle() { driver_->cycle(); }
  panel_host::GaugeDriver& driver() { return *driver_; }

  const panel_host::ElementState& at(std::size_t i) const { return driver_->elements().at(i); }
  bool hidden(std::size_t i) const { return (at(i).record->image_flags & host::image_hidden) != 0; }
  uint32_t flags(std::size_t i) const { return at(i).record->image_flags; }
  std::string text(std::size_t i) const { return at(i).text != nullptr ? at(i).text : "<no text>"; }
  double value(std::size_t i) const { return at(i).value; }
  double value_x(std::size_t i) const { return at(i).value_x; }
  double value_y(std::size_t i) const { return at(i).value_y; }
  std::size_t size() const { return driver_->elements().size(); }

 private:
  panel_host::VariableStore store_;
#ifdef ZAZ_MODULE_DIR
  std::unique_ptr<panel_host::ModuleFile> file_;
#endif
  std::unique_ptr<panel_host::GaugeDriver> driver_;
};
