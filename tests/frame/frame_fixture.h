// Drives the test gauge through the host's driver with fresh module state.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fake_kernel.h"
#include "gauge_driver.h"
#include "test_gauge.h"
#include "zaz/frame.h"

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake_kernel.reset();
    frame::sound_module = nullptr;
    frame::sound_module_loaded = false;
    frame::play_sound_fn = frame::stop_sound_fn = frame::terminate_sounds_fn = nullptr;
    frame::root_element = nullptr;
    frame::power_on = 0;
    frame::first_draw_done = 0;
    for (auto& v : test_gauge::variables) v.value = v.previous = 0.0;
    ImportTable.panels = nullptr;
    driver = std::make_unique<panel_host::GaugeDriver>(&Linkage, &ImportTable, store);
  }
  void TearDown() override {
    if (driver->created()) driver->destroy();
    driver.reset();
  }

  host::ElementHeader* element(unsigned index) { return driver->elements().at(index).record; }
  const panel_host::ElementState& state(unsigned index) { return driver->elements().at(index); }
  std::string text(unsigned index) { return state(index).text; }

  // One cycle with the given variables.
  void cycle_with(double power, double speed = 0.0, double trim = 0.0) {
    store.set(test_gauge::power_token, power);
    store.set(test_gauge::speed_token, speed);
    store.set(test_gauge::trim_token, trim);
    driver->cycle();
  }

  panel_host::VariableStore store;
  std::unique_ptr<panel_host::GaugeDriver> driver;
};
