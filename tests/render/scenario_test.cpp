// Scenario files: what they set and when, and what is wrong with a bad one.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "render_support.h"
#include "scenario.h"

namespace {

using panel_host::parse_scenario;
using panel_host::ScenarioError;

TEST(Scenario, ReadsTokensInEitherSpellingWithNumbersOfEitherKind) {
  const auto s = parse_scenario(R"(
title = "Test"
description = "two of each"
[variables]
0x301 = 1        # an integer is a number too
61 = 250.5       # decimal token 61 is 0x3D
"0x340" = nan
0x40 = -inf
)", "test.toml");
  EXPECT_EQ(s.title, "Test");
  EXPECT_EQ(s.variables.at(0x301), 1.0);
  EXPECT_EQ(s.variables.at(0x3D), 250.5);
  EXPECT_TRUE(std::isnan(s.variables.at(0x340)));
  EXPECT_EQ(s.variables.at(0x40), -INFINITY);
  EXPECT_FALSE(s.animated());
}

// A timeline animating 0x3D from 100 to 200 and on to 150, and 0x14C from
// its base of 16384 down to 0 from t = 6; 0x301 never moves.
const char* timeline = R"(
[variables]
0x301 = 1.0
0x14C = 16384.0
[[timeline]]
t = 0
0x3D = 100.0
[[timeline]]
t = 4
0x3D = 200.0
[[timeline]]
t = 6
0x14C = 16384.0
0x40 = nan
[[timeline]]
t = 10
0x3D = 150.0
0x14C = 0.0
0x40 = 100.0
)";

struct AtCase {
  double t;
  uint32_t token;
  double value;  // NaN: expect NaN
};

void PrintTo(const AtCase& c, std::ostream* o) { *o << "t " << c.t << " token 0x" << std::hex << c.token; }

class TimelineAt : public testing::TestWithParam<AtCase> {};

TEST_P(TimelineAt, InterpolatesEachTokenBetweenItsOwnKeyframes) {
  const auto s = parse_scenario(timeline, "timeline.toml");
  const AtCase& c = GetParam();
  const double v = s.values_at(c.t).at(c.token);
  if (std::isnan(c.value))
    EXPECT_TRUE(std::isnan(v)) << "t " << c.t << " token " << c.token;
  else
    EXPECT_DOUBLE_EQ(v, c.value) << "t " << c.t << " token " << c.token;
}

INSTANTIATE_TEST_SUITE_P(
    Keyframes, TimelineAt,
    testing::Values(AtCase{0, 0x3D, 100}, AtCase{1, 0x3D, 125}, AtCase{4, 0x3D, 200}, AtCase{7, 0x3D, 175},
                    AtCase{10, 0x3D, 150}, AtCase{30, 0x3D, 150},
                    AtCase{3, 0x14C, 16384}, AtCase{8, 0x14C, 8192}, AtCase{12, 0x14C, 0},
                    AtCase{0, 0x40, NAN}, AtCase{9.9, 0x40, NAN}, AtCase{10, 0x40, 100},
                    AtCase{5, 0x301, 1}));

TEST(Scenario, TimelineLastsToItsLastKeyframe) {
  EXPECT_EQ(parse_scenario(timeline, "timeline.toml").duration(), 10.0);
}

struct BadCase {
  const char* what;
  const char* text;
  const char* where;    // "file:line"
  const char* problem;  // part of the message
};

void PrintTo(const BadCase& c, std::ostream* o) { *o << c.what; }

class BadScenario : public testing::TestWithParam<BadCase> {};

TEST_P(BadScenario, NamesFileLineAndProblem) {
  const BadCase& c = GetParam();
  try {
    parse_scenario(c.text, "bad.toml");
    FAIL() << c.what << ": accepted";
  } catch (const ScenarioError& e) {
    const std::string m = e.what();
    EXPECT_EQ(m.rfind(c.where, 0), 0u) << c.what << ": " << m;
    EXPECT_NE(m.find(c.problem), std::string::npos) << c.what << ": " << m;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadScenario,
    testing::Values(
        BadCase{"syntax error", "[variables]\n0x3D = = 3\n", "bad.toml:2:", ""},
        BadCase{"unknown top-level key", "title = \"x\"\nspeed = 3\n", "bad.toml:2:", "unknown key 'speed'"},
        BadCase{"key that is no token", "[variables]\n0x301 = 1\nairspeed = 250\n", "bad.toml:3:",
                "unknown key 'airspeed'"},
        BadCase{"a string for a number", "[variables]\n\n0x3D = \"fast\"\n", "bad.toml:3:",
                "'0x3D' must be a number"},
        BadCase{"a boolean for a number", "[variables]\n0x301 = true\n", "bad.toml:2:", "not a boolean"},
        BadCase{"a token twice", "[variables]\n0x3D = 1\n61 = 2\n", "bad.toml:3:", "already given on line 2"},
        BadCase{"variables not a table", "variables = 3\n", "bad.toml:1:", "'variables' must be a table"},
        BadCase{"keyframe without a time", "[[timeline]]\n0x3D = 1\n", "bad.toml:1:", "without 't'"},
        BadCase{"keyframes out of order", "[[timeline]]\nt = 5\n[[timeline]]\nt = 2\n", "bad.toml:4:",
                "does not come after"},
        BadCase{"a negative time", "[[timeline]]\nt = -1\n", "bad.toml:2:", "'t' must be"},
        BadCase{"title not a string", "title = 5\n", "bad.toml:1:", "'title' must be a string"}));

TEST(Scenario, MissingFileIsNamed) {
  try {
    panel_host::load_scenario("/nonexistent/cruise.toml");
    FAIL();
  } catch (const ScenarioError& e) {
    EXPECT_EQ(std::string(e.what()), "/nonexistent/cruise.toml: no such scenario file");
  }
}

// The gauges' variable tables, token by token in slot order.
const std::vector<uint32_t> eicas_tokens = {
    0x277, 0x28A, 0x231, 0x23B, 0x237, 0x241, 0x232, 0x23C, 0x317, 0x27E, 0x291, 0x3D,  0x148, 0x149,
    0x160, 0x301, 0x0,   0x2EE, 0x272, 0x285, 0x80,  0xA3,  0x273, 0x286, 0x270, 0x283, 0x284, 0x282,
    0x130, 0x131, 0x12F, 0x2F0, 0x2EF, 0x38B, 0x146, 0x145, 0x147, 0x15E, 0x320, 0x30F, 0x313, 0x311,
    0x14C, 0x14D, 0x14E, 0x2DE, 0x2FC, 0x2FB, 0x2F9, 0x2DC, 0x2FA, 0x340, 0x387, 0x278};
const std::vector<uint32_t> tape_tokens = {0x3D, 0x301, 0x40, 0x340, 0x74, 0x73, 0x76, 0x75, 0x3F};
const std::vector<uint32_t> standby_tokens = {0x301, 0x3D, 0x331, 0x73, 0x74, 0x3F, 0x40, 0x76, 0x75, 0x340};

class ShippedScenario : public testing::TestWithParam<std::string> {};

TEST_P(ShippedScenario, SetsEveryVariableOfEveryGauge) {
  const auto s = panel_host::load_scenario(render_test::scenario_path(GetParam()));
  EXPECT_FALSE(s.title.empty());
  const auto values = s.values_at(0);
  for (const auto* tokens : {&eicas_tokens, &tape_tokens, &standby_tokens})
    for (uint32_t token : *tokens) EXPECT_TRUE(values.contains(token)) << GetParam() << " leaves out 0x" << std::hex << token;
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedScenario,
                         testing::Values("cold-and-dark", "ground-idle", "takeoff-roll", "cruise", "descent",
                                         "bad-data"),
                         [](const auto& info) {
                           std::string n = info.param;
                           for (char& c : n) if (c == '-') c = '_';
                           return n;
                         });

}  // namespace
