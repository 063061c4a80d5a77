#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "art/bmp.h"
#include "art/gauges.h"

namespace {

namespace fs = std::filesystem;

int run(const std::string& args) {
  const std::string cmd = std::string(ZAZ_ART_TOOL) + " " + args + " >/dev/null 2>&1";
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path scratch(const std::string& name) {
  const fs::path p = fs::path(::testing::TempDir()) / ("zaz_art_" + name);
  fs::remove_all(p);
  return p;
}

struct BadArgs {
  const char* name;
  const char* args;
};
std::ostream& operator<<(std::ostream& o, const BadArgs& b) { return o << b.name; }

class GeneratorRefuses : public ::testing::TestWithParam<BadArgs> {};

TEST_P(GeneratorRefuses, WithExitCode2AndNoOutput) {
  const fs::path out = scratch(GetParam().name);
  std::string args = GetParam().args;
  if (const auto at = args.find("OUT"); at != std::string::npos) args.replace(at, 3, out.string());
  EXPECT_EQ(run(args), 2);
  EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(Arguments, GeneratorRefuses,
                         ::testing::Values(BadArgs{"none", ""}, BadArgs{"one", "airspeed"},
                                           BadArgs{"unknown_gauge", "tape OUT"}, BadArgs{"three", "airspeed OUT extra"},
                                           BadArgs{"case", "Airspeed OUT"}, BadArgs{"flag_only", "--png OUT"}));

// The program is also rebuilt on its own (every gauge's resources need it), so
// it can be newer than this binary and draw with code this binary lacks.
bool tool_newer_than_tests() {
  std::error_code tool_err, self_err;
  const auto tool = fs::last_write_time(ZAZ_ART_TOOL, tool_err);
  const auto self = fs::last_write_time("/proc/self/exe", self_err);
  return !tool_err && !self_err && tool > self;
}

class GeneratorWrites : public ::testing::TestWithParam<const char*> {};

// Every bitmap lands in its own file, named by its id, and the list names
// each one once, in the order the gauge gives them.
TEST_P(GeneratorWrites, BitmapsAndTheirResourceList) {
  const std::string gauge = GetParam();
  ASSERT_FALSE(tool_newer_than_tests()) << ZAZ_ART_TOOL << " was rebuilt after this test program: rebuild art_tests";
  const fs::path out = scratch(gauge) / "nested" / "dir";
  ASSERT_EQ(run(gauge + " " + out.string()), 0);
  const auto bitmaps = gauge == "airspeed" ? airspeed_bitmaps() : gauge == "eicas" ? eicas_bitmaps() : backup_airspeed_bitmaps();

  std::string want;
  for (const art::Bitmap& b : bitmaps) {
    char name[16];
    std::snprintf(name, sizeof name, "0x%04x", static_cast<unsigned>(b.id));
    want += std::string(name) + " BITMAP \"" + name + ".bmp\"\n";
    const art::Bitmap read = art::read_bmp(out / (std::string(name) + ".bmp"), b.id);
    EXPECT_EQ(read.width, b.width) << name;
    EXPECT_EQ(read.height, b.height) << name;
    EXPECT_EQ(read.bits_per_pixel, b.bits_per_pixel) << name;
    EXPECT_EQ(read.palette, b.palette) << name;
    EXPECT_TRUE(read.pixels == b.pixels) << name;
  }
  std::ifstream rc(out / "bitmaps.rc");
  std::stringstream got;
  got << rc.rdbuf();
  EXPECT_EQ(got.str(), want);
  fs::remove_all(scratch(gauge));
}

INSTANTIATE_TEST_SUITE_P(Gauges, GeneratorWrites, ::testing::Values("backup_airspeed", "airspeed", "eicas"));

}  // namespace
