// One EICAS update cycle as panel-host runs it on the Linux module: the
// pre-update service (sound library lookup, 54 variable refreshes, power)
// and the 83 elements' callbacks, then the pre-draw service. Also each half
// on its own, to show where the time goes.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utility>

#include "gauge_driver.h"
#include "module_file.h"

namespace {

// Cruise on both engines: every readout prints a number of ordinary size.
constexpr std::pair<uint32_t, double> cruise[] = {
    {0x301, 1.0},     {0x272, 92.4},    {0x285, 92.1},    {0x277, 1850.0},  {0x28A, 1842.5}, {0x231, 640.0},
    {0x23B, 642.0},   {0x237, 1700.0},  {0x241, 1705.0},  {0x232, 8200.0},  {0x23C, 8150.0}, {0x317, 2450.0},
    {0x27E, 1210.0},  {0x291, 1195.0},  {0x148, 4096.0},  {0x80, 14000.0},  {0xA3, 14100.0}, {0x273, 97.3},
    {0x286, 97.0},    {0x130, 820.0},   {0x131, 410.0},   {0x12F, 815.0},   {0x2F0, 28.1},   {0x2EF, 12.5},
    {0x38B, 10.0},    {0x146, 0.0},     {0x145, 0.0},     {0x147, 0.0},     {0x30F, 0.0213}, {0x313, -0.004},
    {0x311, 0.0011},  {0x14C, 0.0},     {0x14D, 0.0},     {0x14E, 0.0},     {0x2DE, 430000}, {0x2FC, 48.2},
    {0x2FB, 28.4},    {0x2F9, 28.3},    {0x2DC, 431000},  {0x2FA, 47.9},    {0x340, 231.5},
};

struct Eicas {
  panel_host::ModuleFile file{std::string(ZAZ_MODULE_DIR) + "/Zazader_EICAS.so"};
  panel_host::VariableStore store;
  panel_host::GaugeDriver driver{file.linkage(), file.import_table(), store};

  Eicas() {
    for (auto [token, value] : cruise) store.set(token, value);
    driver.create();
    driver.cycle();  // past the first draw's forced power-off
    driver.cycle();
  }
  ~Eicas() { driver.destroy(); }
};

Eicas& eicas() {
  static Eicas* e = new Eicas;  // outlives every benchmark; the process ends without unloading
  return *e;
}

void eicas_cycle(benchmark::State& state) {
  panel_host::GaugeDriver& d = eicas().driver;
  for (auto _ : state) {
    d.cycle();
    benchmark::ClobberMemory();
  }
}

void eicas_pre_update(benchmark::State& state) {
  host::GaugeHeader& h = eicas().driver.header();
  for (auto _ : state) {
    h.service_callback(&h, host::service_pre_update, 0);
    benchmark::ClobberMemory();
  }
}

double call(host::ElementHeader* e) {
  switch (e->kind) {
    case host::ElementKind::needle: return reinterpret_cast<host::NeedleElement*>(e)->update(e);
    case host::ElementKind::string: return reinterpret_cast<host::StringElement*>(e)->update(e);
    case host::ElementKind::icon: return reinterpret_cast<host::IconElement*>(e)->update(e);
    case host::ElementKind::slider: {
      auto* s = reinterpret_cast<host::SliderElement*>(e);
      return s->update_x(e) + s->update_y(e);
    }
    case host::ElementKind::moving_image: {
      auto* m = reinterpret_cast<host::MovingImageElement*>(e);
      return m->update_x(e) + m->update_y(e);
    }
    case host::ElementKind::static_image: break;
  }
  return 0.0;
}

void eicas_callbacks(benchmark::State& state) {
  const auto& elements = eicas().driver.elements();
  for (auto _ : state) {
    double sum = 0;
    for (const panel_host::ElementState& s : elements) sum += call(s.record);
    benchmark::DoNotOptimize(sum);
    benchmark::ClobberMemory();
  }
}

BENCHMARK(eicas_cycle)->Name("eicas_cycle/full");
BENCHMARK(eicas_pre_update)->Name("eicas_cycle/pre_update");
BENCHMARK(eicas_callbacks)->Name("eicas_cycle/callbacks");

}  // namespace
