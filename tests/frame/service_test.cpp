// The service callback: refresh, power flag, first-draw latch, sound binding.
#include <cmath>
#include <limits>

#include "frame_fixture.h"

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();

TEST(PowerDerivation, TruncatesOrTestsForExactlyOne) {
  struct Case {
    double value;
    int32_t truncated;
    int32_t exactly_one;
  } cases[] = {
      {0.5, 0, 0},     {1.0, 1, 1},          {1.7, 1, 0},          {2.0, 2, 0},          {-1.2, -1, 0},
      {0.999, 0, 0},   {1.0001, 1, 0},       {-1.5, -1, 0},        {0.99, 0, 0},
      {nan_value, INT32_MIN, 0},           {3e9, INT32_MIN, 0},  {-3e9, INT32_MIN, 0},
      {2147483647.9, 2147483647, 0},       {-2147483648.9, INT32_MIN, 0},
      {std::numeric_limits<double>::infinity(), INT32_MIN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(frame::derive_power(frame::PowerDerivation::truncate, c.value), c.truncated) << c.value;
    EXPECT_EQ(frame::derive_power(frame::PowerDerivation::exactly_one, c.value), c.exactly_one) << c.value;
  }
}

TEST(PowerTest, EachModuleTest) {
  struct Case {
    int32_t power;
    bool equals_one, not_zero;
  } cases[] = {{0, false, false}, {1, true, true}, {2, false, true}, {-1, false, true}, {INT32_MIN, false, true}};
  for (const Case& c : cases) {
    EXPECT_EQ(frame::power_test_passes(frame::PowerTest::equals_one, c.power), c.equals_one) << c.power;
    EXPECT_EQ(frame::power_test_passes(frame::PowerTest::not_zero, c.power), c.not_zero) << c.power;
  }
}

TEST_F(FrameTest, PreUpdateRefreshesEveryRecordInOrderAndDerivesPower) {
  driver->create();
  driver->cycle();  // the first draw forces power off
  store.set(test_gauge::power_token, 1.9);
  store.set(test_gauge::speed_token, 250.0);
  store.set(test_gauge::trim_token, 0.25);
  driver->cycle();
  EXPECT_EQ(frame::power_on, 1);
  EXPECT_EQ(test_gauge::variables[test_gauge::speed].value, 250.0);
  EXPECT_EQ(test_gauge::variables[test_gauge::trim].value, 0.25);
  EXPECT_EQ(test_gauge::variables[test_gauge::unused].value, 0.0);  // token 0 is refreshed like the rest
  store.set(test_gauge::speed_token, 260.0);
  driver->cycle();
  EXPECT_EQ(test_gauge::variables[test_gauge::speed].previous, 250.0);
  EXPECT_EQ(test_gauge::variables[test_gauge::speed].value, 260.0);
}

TEST_F(FrameTest, RefreshOrderAndCountThroughTheHostTable) {
  static std::vector<uint32_t> seen;
  seen.clear();
  host::HostFunctionTable table = *panel_host::host_function_table();
  table.entries[host::refresh_variable_entry] =
      reinterpret_cast<host::AnyHostFunction>(+[](host::ModuleVar* v) { seen.push_back(v->token); });
  ImportTable.panels = &table;
  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  EXPECT_EQ(seen, (std::vector<uint32_t>{test_gauge::power_token, test_gauge::speed_token, test_gauge::trim_token,
                                        test_gauge::unused_token}));
}

TEST_F(FrameTest, PreUpdateWithoutImportTableRefreshesNothing) {
  ImportTable.panels = nullptr;
  test_gauge::variables[test_gauge::power].value = 3.0;
  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  EXPECT_EQ(frame::power_on, 3);  // derived from the value as it stands
}

TEST_F(FrameTest, UnknownServiceIdsChangeNothing) {
  driver->create();
  cycle_with(1.0);
  driver->cycle();
  const int32_t power = frame::power_on;
  const auto calls = fake_kernel.calls;
  const auto sound = frame::sound_module;
  for (int32_t id : {0, 5, 7, 11, 13, -1, 1000}) frame::gauge_callback(&gauge_header, id, 0);
  EXPECT_EQ(frame::power_on, power);
  EXPECT_EQ(fake_kernel.calls, calls);
  EXPECT_EQ(frame::sound_module, sound);
  EXPECT_EQ(frame::first_draw_done, 1);
}

TEST_F(FrameTest, FirstDrawForcesPowerOffOnceAndClearsGlobals) {
  driver->create();
  test_gauge::global_a = 7;
  test_gauge::global_b = 8;
  store.set(test_gauge::power_token, 1.0);
  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  EXPECT_EQ(frame::power_on, 1);
  frame::gauge_callback(&gauge_header, host::service_pre_draw, 0);
  EXPECT_EQ(frame::power_on, 0);
  EXPECT_EQ(frame::first_draw_done, 1);
  EXPECT_EQ(test_gauge::global_a, 0);
  EXPECT_EQ(test_gauge::global_b, 0);

  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  test_gauge::global_a = 5;
  frame::gauge_callback(&gauge_header, host::service_pre_draw, 0);
  EXPECT_EQ(frame::power_on, 1);
  EXPECT_EQ(test_gauge::global_a, 5);
}

TEST_F(FrameTest, RecreatedGaugeGetsNoSecondForcedPowerOff) {
  driver->create();
  cycle_with(1.0);
  driver->destroy();
  driver->create();
  store.set(test_gauge::power_token, 1.0);
  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  frame::gauge_callback(&gauge_header, host::service_pre_draw, 0);
  EXPECT_EQ(frame::power_on, 1);
}

TEST_F(FrameTest, PreInitializeRecordsRootAndBindsEntries) {
  driver->create();
  EXPECT_EQ(frame::root_element, element(test_gauge::background));
  EXPECT_EQ(fake_kernel.count("LoadLibraryA VorudAdizi"), 1);
  EXPECT_NE(frame::play_sound_fn, nullptr);
  EXPECT_NE(frame::stop_sound_fn, nullptr);
  EXPECT_NE(frame::terminate_sounds_fn, nullptr);
  const std::vector<std::string> lookups(fake_kernel.calls.end() - 3, fake_kernel.calls.end());
  EXPECT_EQ(lookups, (std::vector<std::string>{"GetProcAddress GaugePlaySound", "GetProcAddress GaugeStopSound",
                                               "GetProcAddress TerminateSounds"}));
}

TEST_F(FrameTest, ReferencesBalanceOverALifeCycle) {
  driver->create();
  for (int i = 0; i < 5; ++i) cycle_with(1.0);
  EXPECT_EQ(fake_kernel.references, 1);
  driver->destroy();
  EXPECT_EQ(fake_kernel.references, 0);
  EXPECT_EQ(fake_kernel.terminate_calls, 1);
  EXPECT_EQ(frame::sound_module, nullptr);
  EXPECT_EQ(frame::terminate_sounds_fn, nullptr);
  EXPECT_EQ(frame::play_sound_fn, nullptr);
}

TEST_F(FrameTest, TwoInstancesShareOneReference) {
  driver->create();
  frame::gauge_callback(&gauge_header, host::service_pre_initialize, 0);  // a second instance
  EXPECT_EQ(fake_kernel.count("LoadLibraryA"), 1);
  frame::gauge_callback(&gauge_header, host::service_pre_kill, 0);  // first copy closed
  EXPECT_EQ(fake_kernel.references, 0);
  cycle_with(1.0);  // the other copy loads the library again
  EXPECT_EQ(fake_kernel.references, 1);
  driver->destroy();
  EXPECT_EQ(fake_kernel.references, 0);
}

TEST_F(FrameTest, NeverReleasesAReferenceItDidNotTake) {
  // Another module holds the library; this one only finds it.
  fake_kernel.foreign_references = 1;
  frame::gauge_callback(&gauge_header, host::service_pre_update, 0);
  EXPECT_EQ(fake_kernel.count("LoadLibraryA"), 0);
  frame::gauge_callback(&gauge_header, host::service_pre_kill, 0);
  EXPECT_EQ(fake_kernel.count("FreeLibrary"), 0);
  EXPECT_EQ(fake_kernel.terminate_calls, 1);
  EXPECT_EQ(frame::sound_module, nullptr);
}

TEST_F(FrameTest, MissingLibrarySilencesTheGauge) {
  fake_kernel.library_exists = false;
  driver->create();
  cycle_with(1.0, 250.0);
  EXPECT_EQ(frame::sound_module, nullptr);
  EXPECT_EQ(frame::terminate_sounds_fn, nullptr);
  EXPECT_EQ(fake_kernel.count("GetProcAddress"), 0);  // no look-up through a null handle
  EXPECT_EQ(fake_kernel.count("LoadLibraryA"), 2);    // pre-initialize, then again each pre-update
  EXPECT_EQ(text(test_gauge::readout), "250");
  driver->destroy();
  EXPECT_EQ(fake_kernel.count("FreeLibrary"), 0);
  EXPECT_EQ(fake_kernel.terminate_calls, 0);
}

TEST_F(FrameTest, MissingEntryIsNullAndNotCalled) {
  fake_kernel.missing_entries = {"TerminateSounds"};
  driver->create();
  EXPECT_EQ(frame::terminate_sounds_fn, nullptr);
  EXPECT_NE(frame::play_sound_fn, nullptr);
  driver->destroy();
  EXPECT_EQ(fake_kernel.terminate_calls, 0);
  EXPECT_EQ(fake_kernel.references, 0);
}

TEST_F(FrameTest, EicasStyleDerivationThroughService) {
  const frame::ModuleGauge exact{.variables = test_gauge::variables,
                                 .power_slot = test_gauge::power,
                                 .derivation = frame::PowerDerivation::exactly_one,
                                 .test = frame::PowerTest::equals_one};
  driver->create();
  for (double v : {1.0, 0.999, 2.0, -1.0, nan_value}) {
    store.set(test_gauge::power_token, v);
    frame::service(exact, &gauge_header, host::service_pre_update);
    EXPECT_EQ(frame::power_on, v == 1.0 ? 1 : 0) << v;
  }
}

}  // namespace
