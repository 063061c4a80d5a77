// `panel-host resources`: the listing, --extract and the exit codes.
#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>

#include "cmd_resources.h"
#include "support.h"

namespace {

using namespace panel_host;
using fixture::Bytes;

struct Outcome {
  int code;
  std::string out, err;
};

Outcome run(const std::string& path, const std::optional<std::string>& extract = std::nullopt) {
  std::ostringstream out, err;
  const int code = run_resources(path, extract, out, err);
  return {code, out.str(), err.str()};
}

bool has_line(const std::string& text, const std::string& pattern) {
  const std::regex line("^ *" + pattern + " *$");
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);)
    if (std::regex_search(l, line)) return true;
  return false;
}

std::vector<std::string> files_in(const std::filesystem::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class Listing : public ::testing::TestWithParam<std::string> {};

TEST_P(Listing, ShowsEachResourceAndTheVersionRecord) {
  SKIP_WITHOUT(GetParam());
  const Outcome r = run(GetParam());
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.err, "");
  for (const char* line : {
           "type +id +language +bytes +picture",
           "BITMAP +0x2300 +1033 +64 +3 x 2, 8 bits per pixel",
           "BITMAP +0x2301 +1033 +64 +2 x 3, 24 bits per pixel",
           "RCDATA +\"FIXTURE_NAME\" +1033 +3",
           "\"CUSTOM_TYPE\" +0x0007 +1033 +5",
           "VERSION +0x0001 +1033 +[0-9]+",
           "version record 0x0001, language 1033:",
           "CompanyName +none",
           "FileDescription +Fixture Gauge",
           "FileVersion +2\\.0",
           "ProductName +FS2004 Gauge",
           "ProductVersion +2\\.0",
           "string table +040904b0",
           "file version +1\\.0\\.0\\.0",
           "product version +1\\.0\\.0\\.0",
           "flags mask +0x3f",
           "flags +0x0",
           "os +0x10004",
           "file type +1",
           "file subtype +0",
           "translation +0x0409 0x04b0",
       })
    EXPECT_TRUE(has_line(r.out, line)) << line << "\n" << r.out;
}

std::string form_name(const ::testing::TestParamInfo<std::string>& info) {
  static const char* const names[] = {"res", "pe32", "pe32_plus", "so"};
  return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(Forms, Listing, ::testing::Values(fixture::res, fixture::dll32, fixture::dll64, fixture::so),
                         form_name);

TEST(Extract, WritesEachBitmapAsABmpFileNamedByItsId) {
  SKIP_WITHOUT(fixture::res);
  const fixture::TempDir dir;
  const std::string target = (dir / "new" / "bitmaps").string();  // made as needed
  const Outcome r = run(fixture::res, target);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(files_in(target), (std::vector<std::string>{"0x2300.bmp", "0x2301.bmp"}));
  EXPECT_EQ(fixture::read(target + "/0x2300.bmp"), fixture::read(fixture::bmp8));
  EXPECT_EQ(fixture::read(target + "/0x2301.bmp"), fixture::read(fixture::bmp24));
  EXPECT_TRUE(has_line(r.out, "wrote " + target + "/0x2300\\.bmp")) << r.out;
  EXPECT_TRUE(has_line(r.out, "wrote " + target + "/0x2301\\.bmp")) << r.out;
}

// Names come from the file: they must not lead out of the folder, nor two
// bitmaps onto one file, nor control bytes onto the terminal.
TEST(Extract, KeepsHostileAndRepeatedNamesApart) {
  const Bytes pixel = fixture::dib({});
  const fixture::TempDir dir;
  const auto module = dir / "names.res";
  fixture::write(module, fixture::res_file({
                             {rt_bitmap, "", 0x2300, "", 1033, pixel},
                             {rt_bitmap, "", 0x2300, "", 1031, pixel},
                             {rt_bitmap, "", 0, "../../ESCAPE", 1033, pixel},
                             {rt_bitmap, "", 0, "0x2300", 1033, pixel},
                             {rt_bitmap, "", 0, "RED\x1b[31m", 1033, pixel},
                         }));
  const auto target = dir / "out";
  const Outcome r = run(module.string(), target.string());
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(files_in(target), (std::vector<std::string>{"0x2300-1031.bmp", "0x2300-1033.bmp", "0x2300.bmp",
                                                          "RED__31m.bmp", "______ESCAPE.bmp"}));
  EXPECT_EQ(files_in(dir.path()), (std::vector<std::string>{"names.res", "out"}));
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
  EXPECT_NE(r.out.find("RED\\x1b[31m"), std::string::npos) << r.out;
}

TEST(Extract, ReportsAModuleWithoutBitmaps) {
  const fixture::TempDir dir;
  const auto module = dir / "plain.res";
  fixture::write(module, fixture::res_file({{10, "", 1, "", 1033, {1, 2, 3}}}));
  const Outcome r = run(module.string(), (dir / "out").string());
  EXPECT_EQ(r.code, 0);
  EXPECT_TRUE(has_line(r.out, "no bitmaps to write to .*/out")) << r.out;
  EXPECT_TRUE(has_line(r.out, "no version record")) << r.out;
}

// Damaged resources inside a readable module: the rest is still listed
// and written, and the run fails naming what is wrong.
TEST(Resources, DamagedPiecesFailTheRunButNotTheRest) {
  const fixture::TempDir dir;
  const auto module = dir / "damaged.res";
  fixture::write(module, fixture::res_file({
                             {rt_bitmap, "", 0x2300, "", 1033, {1, 2, 3, 4, 5, 6}},
                             {rt_bitmap, "", 0x2301, "", 1033, fixture::dib({})},
                             {rt_version, "", 1, "", 1033, {4, 0, 0, 0}},
                         }));
  const auto target = dir / "out";
  const Outcome r = run(module.string(), target.string());
  EXPECT_EQ(r.code, 2);
  EXPECT_TRUE(has_line(r.out, "BITMAP +0x2300 +1033 +6 +damaged bitmap")) << r.out;
  EXPECT_TRUE(has_line(r.out, "BITMAP +0x2301 +1033 +56 +2 x 2, 24 bits per pixel")) << r.out;
  EXPECT_TRUE(has_line(r.out, "damaged")) << r.out;
  EXPECT_NE(r.err.find("panel-host: " + module.string() + ": bitmap 0x2300 is damaged"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("panel-host: " + module.string() + ": version record"), std::string::npos) << r.err;
  EXPECT_EQ(files_in(target), (std::vector<std::string>{"0x2301.bmp"}));
}

struct Failure {
  const char* name;
  std::function<std::string(const fixture::TempDir&)> module;
  bool extract_onto_file;
};
void PrintTo(const Failure& c, std::ostream* os) { *os << c.name; }

class ResourcesFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(ResourcesFailure, ExitsTwoNamingTheFile) {
  const fixture::TempDir dir;
  const std::string module = GetParam().module(dir);
  std::optional<std::string> extract;
  std::string named = module;
  if (GetParam().extract_onto_file) {
    fixture::write(dir / "taken", {1});
    extract = named = (dir / "taken").string();
  }
  const Outcome r = run(module, extract);
  EXPECT_EQ(r.code, 2);
  EXPECT_EQ(r.err.rfind("panel-host: ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find(named), std::string::npos) << r.err;
  if (!extract) {
    EXPECT_EQ(r.out, "");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ResourcesFailure,
    ::testing::Values(
        Failure{"missing", [](const fixture::TempDir& d) { return (d / "absent.gau").string(); }, false},
        Failure{"empty",
                [](const fixture::TempDir& d) {
                  fixture::write(d / "empty.gau", {});
                  return (d / "empty.gau").string();
                },
                false},
        Failure{"text",
                [](const fixture::TempDir& d) {
                  fixture::write(d / "readme.txt", {'h', 'i', '\n'});
                  return (d / "readme.txt").string();
                },
                false},
        Failure{"truncated_res",
                [](const fixture::TempDir& d) {
                  Bytes b = fixture::res_file({{rt_bitmap, "", 1, "", 1033, Bytes(40, 0)}});
                  b.resize(b.size() - 5);
                  fixture::write(d / "cut.res", b);
                  return (d / "cut.res").string();
                },
                false},
        Failure{"extract_onto_a_file",
                [](const fixture::TempDir& d) {
                  fixture::write(d / "ok.res", fixture::res_file({{rt_bitmap, "", 1, "", 1033, fixture::dib({})}}));
                  return (d / "ok.res").string();
                },
                true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
