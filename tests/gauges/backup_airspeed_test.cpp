// Zazader_BckupAirspeed through its module.
#include <limits>

#include "gauge_under_test.h"

namespace {

constexpr uint32_t power = 0x301, airspeed = 0x3D, mach = 0x40;
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
enum : std::size_t { bezel, dial_face, red_marker, blue_marker, pointer, airspeed_text, mach_text, mach_label };

struct Case {
  const char* name;
  double power, airspeed, mach;
  bool shown;
  double pointer;
  const char* airspeed_text;
  const char* mach_text;
};

class BackupAirspeed : public ::testing::TestWithParam<Case> {};

TEST_P(BackupAirspeed, ShowsTheCase) {
  const Case& c = GetParam();
  GaugeUnderTest g("Zazader_BckupAirspeed");
  g.set(power, c.power);
  g.set(airspeed, c.airspeed);
  g.set(mach, c.mach);
  g.cycle();
  ASSERT_EQ(g.size(), 8u);
  EXPECT_EQ(g.flags(bezel), 0x83u);  // never hidden, never lit
  for (std::size_t i = dial_face; i <= mach_label; ++i)
    EXPECT_EQ(g.flags(i), c.shown ? 0x87u : 0x40000087u) << "element " << i;
  EXPECT_EQ(g.value(dial_face), 0.0);
  EXPECT_EQ(g.value(red_marker), 120.0);
  EXPECT_EQ(g.value(blue_marker), 175.0);
  EXPECT_EQ(g.value(pointer), c.pointer);
  EXPECT_EQ(g.text(airspeed_text), c.airspeed_text);
  EXPECT_EQ(g.text(mach_text), c.mach_text);
  EXPECT_EQ(g.text(mach_label), "M                   0");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackupAirspeed,
    ::testing::Values(
        Case{"power_0_hides", 0.0, 120, 0, false, 120, "120", "0.00"},
        Case{"power_0_7_hides", 0.7, 120, 0, false, 120, "120", "0.00"},
        Case{"power_1_shows", 1.0, 120, 0, true, 120, "120", "0.00"},
        Case{"power_3_shows", 3.0, 120, 0, true, 120, "120", "0.00"},
        Case{"power_minus_1_shows", -1.0, 120, 0, true, 120, "120", "0.00"},
        Case{"power_nan_shows", nan_value, 120, 0, true, 120, "120", "0.00"},  // truncates to INT32_MIN, not 0
        Case{"airspeed_minus_20", 1.0, -20, 0, true, 0, "000", "0.00"},
        Case{"airspeed_60", 1.0, 60, 0, true, 60, "060", "0.00"},
        Case{"airspeed_250_5_rounds_away", 1.0, 250.5, 0, true, 250.5, "251", "0.00"},
        Case{"airspeed_750_holds_pointer", 1.0, 750, 0, true, 700, "750", "0.00"},
        Case{"airspeed_1234_limits_readout", 1.0, 1234, 0, true, 700, "999", "0.00"},
        Case{"mach_0_8", 1.0, 300, 16384, true, 300, "300", "0.80"},
        Case{"mach_negative", 1.0, 300, -500, true, 300, "300", "0.00"},
        Case{"mach_10_is_wider", 1.0, 300, 204800, true, 300, "300", "10.00"},
        Case{"mach_nan_dashes", 1.0, 300, nan_value, true, 300, "300", "----"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BackupAirspeedGauge, NameTooltipAndNeedleTables) {
  GaugeUnderTest g("Zazader_BckupAirspeed");
  EXPECT_EQ(g.driver().name(), "Zazader_BckupAirspeed");
  EXPECT_EQ(g.driver().tooltip(), "Backup Airspeed");
  const host::NonLinearity* tables[3];
  for (std::size_t i = red_marker; i <= pointer; ++i) {
    const auto* n = reinterpret_cast<const host::NeedleElement*>(g.at(i).record);
    ASSERT_EQ(n->table_entries, 7u);
    EXPECT_EQ(n->table[1].x, 171);
    EXPECT_EQ(n->table[1].value, 60.0);
    EXPECT_EQ(n->table[6].value, 700.0);
    tables[i - red_marker] = n->table;
  }
  EXPECT_NE(tables[0], tables[1]);  // each needle its own copy
  EXPECT_NE(tables[1], tables[2]);
}

}  // namespace
