// panel-host render, panel and info as a user runs them: the pictures they
// write, and a clear message with exit status 2 for what they refuse.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "render_support.h"

namespace {

using namespace render_test;
namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string slurp(const fs::path& p) {
  std::ifstream in(p);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

fs::path scratch() {
  const fs::path dir = fs::path(testing::TempDir()) / "panel_host_render_cli";
  fs::create_directories(dir);
  return dir;
}

Outcome panel_host(const std::string& args) {
  const fs::path dir = scratch();
  const std::string command =
      std::string(ZAZ_PANEL_HOST) + " " + args + " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, slurp(dir / "out"), slurp(dir / "err")};
}

fs::path write(const std::string& name, const std::string& text) {
  const fs::path p = scratch() / name;
  std::ofstream(p) << text;
  return p;
}

std::pair<int, int> png_size(const fs::path& p) {
  panel_host::SurfacePtr s(cairo_image_surface_create_from_png(p.c_str()));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return {0, 0};
  return {cairo_image_surface_get_width(s.get()), cairo_image_surface_get_height(s.get())};
}

std::string q(const fs::path& p) { return "'" + p.string() + "'"; }

struct Refusal {
  const char* what;
  std::string args;
  std::string message;  // part of what panel-host says
};

void PrintTo(const Refusal& r, std::ostream* o) { *o << r.what; }

class Refuses : public testing::TestWithParam<Refusal> {};

TEST_P(Refuses, WithExitTwoAndAReason) {
  const Refusal& r = GetParam();
  const Outcome run = panel_host(r.args);
  EXPECT_EQ(run.status, 2) << r.what << "\n" << run.err;
  EXPECT_NE(run.err.find(r.message), std::string::npos) << r.what << ": said\n" << run.err;
}

std::vector<Refusal> refusals() {
  const std::string out = " -o " + q(scratch() / "refused.png");
  const std::string eicas_so = "render " + q(module_path(eicas));
  const auto syntax = write("syntax.toml", "[variables]\n0x3D = 250\n0x301 = = 1\n");
  const auto unknown = write("unknown.toml", "title = \"x\"\n[variables]\nspeed = 3\n");
  const auto text = write("text.toml", "[variables]\n0x3D = \"fast\"\n");
  const auto not_module = write("not-a-module.so", "just text\n");
  return {
      {"a scenario with a syntax error", eicas_so + " --scenario " + q(syntax) + out, syntax.string() + ":3:"},
      {"a scenario with an unknown key", eicas_so + " --scenario " + q(unknown) + out,
       unknown.string() + ":3: unknown key 'speed'"},
      {"a scenario value that is no number", eicas_so + " --scenario " + q(text) + out,
       text.string() + ":2: '0x3D' must be a number"},
      {"a scenario file that is not there", eicas_so + " --scenario /nonexistent.toml" + out,
       "/nonexistent.toml: no such scenario file"},
      {"a module file that is not there", "render /nonexistent.so" + out, "/nonexistent.so: cannot open"},
      {"a file that is no module", "render " + q(not_module) + out, "not a gauge module"},
#ifdef ZAZ_BROKEN_root
      {"a bezel bitmap cut short", "render " + q(ZAZ_BROKEN_root) + out, "bitmap 0x2300: bitmap bytes end before its pixels do"},
      {"a dial face bitmap with a bad header", "render " + q(ZAZ_BROKEN_face) + " --set 0x301=1" + out,
       "bitmap 0x1800: not a bitmap: unknown header size 99"},
#endif
      {"a picture that cannot be written", eicas_so + " -o /nonexistent/dir/x.png", "/nonexistent/dir/x.png: cannot write"},
      {"too many frames", eicas_so + " --fps 100 --duration 100" + out, "more than 400"},
      {"frames too large to keep", eicas_so + " --scale 16 --fps 10 --duration 10" + out, "million pixels"},
      {"one frame and a sheet at once", eicas_so + " --time 1 --fps 2" + out, "--time"},
      {"a bad assignment", eicas_so + " --set 0x3D" + out, "expected TOKEN=VALUE"},
      {"a panel with a bad scenario", "panel " + q(unknown) + out, "unknown key 'speed'"},
  };
}

INSTANTIATE_TEST_SUITE_P(Inputs, Refuses, testing::ValuesIn(refusals()), [](const auto& info) {
  std::string n = info.param.what;
  for (char& c : n)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return n;
});

struct Expected {
  const char* what;
  std::string args;
  int width, height;
};

void PrintTo(const Expected& p, std::ostream* o) { *o << p.what; }

class Writes : public testing::TestWithParam<Expected> {};

TEST_P(Writes, APictureOfTheRightSize) {
  const Expected& c = GetParam();
  const fs::path out = scratch() / "written.png";
  fs::remove(out);
  const Outcome run = panel_host(c.args + " -o " + q(out));
  ASSERT_EQ(run.status, 0) << c.what << "\n" << run.err;
  EXPECT_EQ(png_size(out), std::pair(c.width, c.height)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Writes,
    testing::Values(
        Expected{"the EICAS", "render " + q(module_path(eicas)) + " --set 0x301=1", 660, 484},
        Expected{"the tape at twice the size", "render " + q(module_path(tape)) + " --scale 2", 202, 660},
        Expected{"the standby dial from a scenario",
                 "render " + q(module_path(standby)) + " --scenario " + q(scenario_path("cruise")), 342, 345},
        Expected{"one frame of a timeline",
                 "render " + q(module_path(standby)) + " --scenario " + q(scenario_path("takeoff-roll")) + " --time 5",
                 342, 345}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Writes, ATimelineAsASheetOfFrames) {
  const fs::path out = scratch() / "sheet.png";
  const Outcome run = panel_host("render " + q(module_path(standby)) + " --scenario " + q(scenario_path("takeoff-roll")) +
                             " --fps 0.5 -o " + q(out));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto [w, h] = png_size(out);
  // Seven frames, 0 to 12 s: at least three across and two down.
  EXPECT_GE(w, 3 * 342);
  EXPECT_GE(h, 2 * 345);
}

TEST(Writes, APanelOfTheThreeBesidePanelHost) {
  const fs::path out = scratch() / "panel.png";
  const Outcome run = panel_host("panel " + q(scenario_path("cruise")) + " -o " + q(out));
  ASSERT_EQ(run.status, 0) << run.err;
  const auto [w, h] = png_size(out);
  EXPECT_GE(w, 101 + 660 + 342);
  EXPECT_GT(h, 484) << "room for the names under the gauges";
}

TEST(Info, SaysWhichFaceDrawsEachFont) {
  const Outcome run = panel_host("info " + q(module_path(eicas)));
  ASSERT_EQ(run.status, 0) << run.err;
  for (const char* line : {"font      \"Quartz\" 400: ", "font      \"Quartz\" 100: ", "font      \"Glass Gauge\" 400: "})
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
}

}  // namespace
