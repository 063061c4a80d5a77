// Screenshots: each shipped scenario drawn on each gauge (and once as a
// panel), compared with the pictures in reference/. A failure leaves the
// render and a picture of the differences in the build tree.
//
// scripts/update-references redraws the references (it runs this test
// with ZAZ_UPDATE_REFERENCES=1); look at them before committing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "render_command.h"
#include "render_support.h"

namespace {

using namespace render_test;

struct Shot {
  std::string name;
  std::string scenario;
  std::vector<std::string> gauges;
  bool panel = false;
  std::optional<double> fps;
};

void PrintTo(const Shot& s, std::ostream* o) { *o << s.name; }

// Channels may differ this much, in this share of the pixels at most, so
// small changes in how a font is smoothed pass and a moved element fails.
constexpr int channel_tolerance = 32;
constexpr double pixel_share = 0.0001;

std::vector<Shot> shots() {
  const std::vector<std::pair<std::string, std::string>> gauges = {
      {eicas, "eicas"}, {tape, "tape"}, {standby, "standby"}};
  std::vector<Shot> out;
  for (const char* s : {"cold-and-dark", "ground-idle", "takeoff-roll", "cruise", "descent", "bad-data"})
    for (const auto& [gauge, short_name] : gauges) {
      Shot shot{std::string(s) + "-" + short_name, s, {gauge}};
      // The take-off's timeline as a sheet, a frame every two seconds.
      if (std::string(s) == "takeoff-roll") shot.fps = 0.5;
      out.push_back(shot);
    }
  out.push_back({"panel-cruise", "cruise", {tape, eicas, standby}, true});
  return out;
}

class Screenshot : public testing::TestWithParam<Shot> {};

TEST_P(Screenshot, MatchesItsReference) {
  const Shot& shot = GetParam();
  panel_host::RenderRequest request;
  for (const auto& g : shot.gauges) request.modules.push_back(module_path(g));
  request.scenario = scenario_path(shot.scenario);
  request.panel = shot.panel;
  request.fps = shot.fps;
  Picture actual(panel_host::render_request(request).picture);

  const std::filesystem::path reference = std::filesystem::path(ZAZ_REFERENCE_DIR) / (shot.name + ".png");
  if (const char* update = std::getenv("ZAZ_UPDATE_REFERENCES"); update != nullptr && std::string(update) == "1") {
    std::filesystem::create_directories(reference.parent_path());
    panel_host::write_png(actual.surface(), reference.string());
    GTEST_SKIP() << "redrew " << reference.string();
  }

  panel_host::SurfacePtr loaded(cairo_image_surface_create_from_png(reference.c_str()));
  ASSERT_EQ(cairo_surface_status(loaded.get()), CAIRO_STATUS_SUCCESS)
      << reference << " cannot be read; scripts/update-references draws it";
  const Picture expected(std::move(loaded));
  ASSERT_EQ(actual.width(), expected.width()) << shot.name;
  ASSERT_EQ(actual.height(), expected.height()) << shot.name;

  // The reference dimmed, with every pixel past the tolerance in red.
  panel_host::SurfacePtr diff(cairo_image_surface_create(CAIRO_FORMAT_RGB24, actual.width(), actual.height()));
  unsigned char* data = cairo_image_surface_get_data(diff.get());
  const int stride = cairo_image_surface_get_stride(diff.get());
  long differing = 0;
  for (int y = 0; y < actual.height(); ++y)
    for (int x = 0; x < actual.width(); ++x) {
      const Rgb a = actual.at(x, y), e = expected.at(x, y);
      const bool off = !a.near(e, channel_tolerance);
      differing += off;
      const int grey = (e.r + e.g + e.b) / 9;
      reinterpret_cast<uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride)[x] =
          off ? 0xFF0000u : static_cast<uint32_t>(grey * 0x010101);
    }
  cairo_surface_mark_dirty(diff.get());
  const long allowed = static_cast<long>(pixel_share * actual.width() * actual.height());
  if (differing > allowed) {
    const std::filesystem::path dir(ZAZ_DIFF_DIR);
    std::filesystem::create_directories(dir);
    panel_host::write_png(actual.surface(), (dir / (shot.name + "-actual.png")).string());
    panel_host::write_png(diff.get(), (dir / (shot.name + "-diff.png")).string());
    ADD_FAILURE() << shot.name << ": " << differing << " pixels differ from " << reference.string() << " (at most "
                  << allowed << " may); see " << (dir / (shot.name + "-diff.png")).string() << " and "
                  << (dir / (shot.name + "-actual.png")).string()
                  << ". If the change is meant, scripts/update-references redraws the references.";
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, Screenshot, testing::ValuesIn(shots()), [](const auto& info) {
  std::string n = info.param.name;
  for (char& c : n)
    if (c == '-') c = '_';
  return n;
});

}  // namespace
