// The callback shapes, seen through the test gauge's elements.
#include <cmath>
#include <limits>

#include "frame_fixture.h"

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr uint32_t shown = 0x87, hidden = 0x40000087;

TEST_F(FrameTest, PowerRuleSetsHiddenAndBrightBits) {
  driver->create();
  struct Case {
    double power;
    uint32_t flags;
  } cases[] = {{0.0, hidden}, {0.7, hidden}, {1.0, shown}, {2.0, shown}, {-1.0, shown}, {nan_value, shown}};
  driver->cycle();  // the first draw's forced power-off is behind us
  for (const Case& c : cases) {
    cycle_with(c.power, 120.0);
    for (unsigned i : {test_gauge::needle, test_gauge::readout, test_gauge::caption})
      EXPECT_EQ(element(i)->image_flags, c.flags) << "power " << c.power << " element " << i;
    EXPECT_EQ(element(test_gauge::background)->image_flags, 0x83u);
  }
}

TEST_F(FrameTest, OverlayIconTouchesOnlyTheBrightBit) {
  driver->create();
  driver->cycle();
  element(test_gauge::overlay)->image_flags |= host::image_hidden;
  for (double power : {1.0, 0.0, 2.0}) {
    cycle_with(power);
    EXPECT_EQ(state(test_gauge::overlay).value, frame::power_on == 1 ? 0.0 : 1.0) << power;
    EXPECT_EQ(element(test_gauge::overlay)->image_flags, hidden) << power;
  }
}

TEST_F(FrameTest, ValuePointerLimitsInDoublePrecision) {
  driver->create();
  driver->cycle();
  struct Case {
    double speed, returned;
    std::string text;
  } cases[] = {
      {-20, 0, "000"},          {60, 60, "060"},        {250.5, 250.5, "251"}, {750, 700, "750"},
      {1234, 700, "999"},       {999.4, 700, "999"},    {999.6, 700, "999"},   {0.1, 0.1, "000"},
      {-0.0, 0.0, "000"},       {1e40, 700, "999"},     {-1e40, 0, "000"},
  };
  for (const Case& c : cases) {
    cycle_with(1.0, c.speed);
    EXPECT_EQ(state(test_gauge::needle).value, c.returned) << c.speed;
    EXPECT_FALSE(std::signbit(state(test_gauge::needle).value)) << c.speed;
    EXPECT_EQ(text(test_gauge::readout), c.text) << c.speed;
  }
  cycle_with(1.0, nan_value);  // passes both limits
  EXPECT_TRUE(std::isnan(state(test_gauge::needle).value));
  EXPECT_EQ(text(test_gauge::readout), "---");
}

TEST_F(FrameTest, ReadoutRoundsToSinglePrecisionBeforeItsLimit) {
  driver->create();
  driver->cycle();
  cycle_with(1.0, 999.00001);  // the nearest float is 999.0: not above the limit
  EXPECT_EQ(text(test_gauge::readout), "999");
  cycle_with(1.0, 250.49999999);  // single precision makes it 250.5, printed away from zero
  EXPECT_EQ(text(test_gauge::readout), "251");
}

TEST_F(FrameTest, LabelPrintsCaptionSpacesAndOwnValue) {
  driver->create();
  cycle_with(0.0);
  EXPECT_EQ(text(test_gauge::caption), "M   0");
  EXPECT_EQ(element(test_gauge::caption)->image_flags, hidden);  // text is written while hidden
}

TEST_F(FrameTest, SignedTwinShowsOneOfTwo) {
  driver->create();
  driver->cycle();
  struct Case {
    double radians;
    bool positive_shown, negative_shown;
    std::string positive, negative;
  } cases[] = {
      {0.0, true, false, "+00.0", "000.0"},
      {-0.0, true, false, "+00.0", "-00.0"},
      {-0.0001, false, true, "+-0.0", "-00.0"},
      {2.0, true, false, "+100.0", "100.0"},
      {-2.0, false, true, "+-100.0", "-100.0"},
      {0.0436332, true, false, "+02.5", "002.5"},
  };
  for (const Case& c : cases) {
    cycle_with(1.0, 0.0, c.radians);
    EXPECT_EQ(!(element(test_gauge::trim_positive)->image_flags & host::image_hidden), c.positive_shown) << c.radians;
    EXPECT_EQ(!(element(test_gauge::trim_negative)->image_flags & host::image_hidden), c.negative_shown) << c.radians;
    if (c.positive_shown) {
      EXPECT_EQ(text(test_gauge::trim_positive), c.positive) << c.radians;
    }
    EXPECT_EQ(text(test_gauge::trim_negative), c.negative) << c.radians;
  }
  cycle_with(1.0, 0.0, nan_value);
  EXPECT_TRUE(element(test_gauge::trim_positive)->image_flags & host::image_hidden);
  EXPECT_TRUE(element(test_gauge::trim_negative)->image_flags & host::image_hidden);
}

TEST_F(FrameTest, AddedConditionJoinsThePowerTest) {
  driver->create();
  driver->cycle();
  struct Case {
    double power, speed;
    bool shown;
  } cases[] = {{1.0, 150, true}, {1.0, 50, false}, {0.0, 150, false}, {1.0, nan_value, false}};
  for (const Case& c : cases) {
    cycle_with(c.power, c.speed);
    EXPECT_EQ(!(element(test_gauge::gated_pointer)->image_flags & host::image_hidden), c.shown) << c.speed;
    EXPECT_EQ(state(test_gauge::gated_pointer).value_x, 0.0);
  }
}

TEST(Limits, UpperFirstThenLowerAndNanPasses) {
  const frame::Limits l{.low = 0, .high = 99.99, .high_value = 99.98999786376953};
  EXPECT_EQ(frame::limit(100.0, l), 99.98999786376953);
  EXPECT_EQ(frame::limit(-5.0, l), 0.0);
  EXPECT_FALSE(std::signbit(frame::limit(-0.0, l)));
  EXPECT_TRUE(std::isnan(frame::limit(nan_value, l)));
  const frame::Limits crossed{.low = 10, .high = 5};  // the lower bound wins, as the order says
  EXPECT_EQ(frame::limit(7.0, crossed), 10.0);
  EXPECT_EQ(frame::to_single(1e39), std::numeric_limits<double>::infinity());
  EXPECT_EQ(frame::to_single(0.1), static_cast<double>(0.1f));
}

}  // namespace
