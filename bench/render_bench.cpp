// One EICAS frame as panel-host draws it: an update cycle, then the whole
// 660 x 484 chain. Target: 2 ms or less a frame.
#include <benchmark/benchmark.h>

#include <string>

#include "render.h"
#include "render_command.h"
#include "session.h"

namespace {

std::string eicas_module() {
#ifdef ZAZ_MODULE_DIR
  return std::string(ZAZ_MODULE_DIR) + "/Zazader_EICAS.so";
#else
  return panel_host::default_module_dir() + "/Zazader_EICAS.so";
#endif
}

// A cruise: every readout, needle and bar has something to show.
void cruise(panel_host::VariableStore& v) {
  const std::pair<uint32_t, double> values[] = {
      {0x301, 1},       {0x272, 91.5},    {0x285, 91.8},    {0x273, 94.2},    {0x286, 94.5},   {0x80, 13500},
      {0xA3, 13560},    {0x277, 1760.6},  {0x28A, 1766.0},  {0x237, 1589.6},  {0x241, 1593.2}, {0x231, 644.7},
      {0x23B, 646.5},   {0x232, 8933.7},  {0x23C, 9077.8},  {0x2F9, 28.0},    {0x2FB, 28.0},   {0x2FA, 38.2},
      {0x2FC, 37.5},    {0x2DC, 432277},  {0x2DE, 431556},  {0x317, 5200},    {0x27E, 1180},   {0x291, 1195},
      {0x130, 320},     {0x131, 136},     {0x12F, 320},     {0x340, 247.4},   {0x30F, -0.012}, {0x313, 0.003},
      {0x311, -0.002},  {0x145, 2000},    {0x146, 2000},    {0x147, 2000},    {0x148, 4096},   {0x38B, 10},
      {0x2F0, 27.9},    {0x2EF, 3.1}};
  for (const auto& [token, value] : values) v.set(token, value);
}

struct Eicas {
  Eicas()
      : session(eicas_module()),
        renderer(session.driver, panel_host::resources_from_handle(session.file.handle()), fonts) {
    cruise(session.variables);
    session.run(1);
  }
  panel_host::FontBook fonts;
  panel_host::Session session;
  panel_host::GaugeRenderer renderer;
};

// The frame drawn into one picture kept from frame to frame, as a panel
// would; the engine values drift so the readouts change.
void BM_EicasFrame(benchmark::State& state) {
  Eicas g;
  panel_host::SurfacePtr picture(cairo_image_surface_create(CAIRO_FORMAT_RGB24, g.renderer.width(), g.renderer.height()));
  cairo_t* cr = cairo_create(picture.get());
  double n1 = 80;
  for (auto _ : state) {
    n1 = n1 < 100 ? n1 + 0.37 : 80;
    g.session.variables.set(0x272, n1);
    g.session.variables.set(0x27E, 10 * n1);
    g.session.run(1);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    g.renderer.draw(cr);
    cairo_surface_flush(picture.get());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(picture.get()));
  }
  cairo_destroy(cr);
}
BENCHMARK(BM_EicasFrame)->Unit(benchmark::kMicrosecond);

// The same with a new picture every frame, as `panel-host render` makes.
void BM_EicasFrameNewPicture(benchmark::State& state) {
  Eicas g;
  for (auto _ : state) {
    g.session.run(1);
    panel_host::SurfacePtr picture = g.renderer.render(1.0);
    benchmark::DoNotOptimize(picture.get());
  }
}
BENCHMARK(BM_EicasFrameNewPicture)->Unit(benchmark::kMicrosecond);

}  // namespace
