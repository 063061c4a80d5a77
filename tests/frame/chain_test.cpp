// Walking the chain: element_at and the flag helpers.
#include "frame_fixture.h"

namespace {

TEST_F(FrameTest, ElementAtStepsAlongNextLists) {
  host::ElementHeader* root = element(0);
  for (unsigned n = 0; n < test_gauge::element_count; ++n) EXPECT_EQ(frame::element_at(root, n), element(n)) << n;
  EXPECT_EQ(frame::element_at(root, test_gauge::element_count), nullptr);
  EXPECT_EQ(frame::element_at(root, 0xFFFFFFFFu), nullptr);
  EXPECT_EQ(frame::element_at(nullptr, 0), nullptr);
  EXPECT_EQ(frame::element_at(nullptr, 3), nullptr);
  EXPECT_EQ(frame::element_at(element(2), 1), element(3));
}

TEST_F(FrameTest, FlagHelpersChangeOnlyTheFoundElement) {
  host::ElementHeader* root = element(0);
  frame::element_set_flags(root, 2, 0x100);
  EXPECT_EQ(element(2)->image_flags, 0x183u);
  frame::element_clear_flags(root, 2, 0x101);
  EXPECT_EQ(element(2)->image_flags, 0x82u);
  frame::element_set_flags(root, test_gauge::element_count, 0xFFFFFFFF);
  frame::element_clear_flags(root, test_gauge::element_count, 0xFFFFFFFF);
  frame::element_set_flags(nullptr, 0, 0xFFFFFFFF);
  for (unsigned i = 0; i < test_gauge::element_count; ++i)
    EXPECT_EQ(element(i)->image_flags, i == 2 ? 0x82u : 0x83u) << i;
  element(2)->image_flags = 0x83;
}

TEST_F(FrameTest, EveryRecordCarriesItsHeaderFailureListAndFlags) {
  const auto& states = driver->elements();
  ASSERT_EQ(states.size(), test_gauge::element_count);
  for (std::size_t i = 0; i < states.size(); ++i) {
    const host::ElementHeader* e = states[i].record;
    EXPECT_EQ(e->gauge, &gauge_header);
    EXPECT_EQ(e->image_flags, 0x83u);
    ASSERT_NE(e->failures, nullptr);
    EXPECT_EQ(e->failures[0].key, 0u);
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(states[j].record->failures, e->failures);
    if (i + 1 < states.size()) EXPECT_EQ(e->next_list[1], nullptr);
    else EXPECT_EQ(e->next_list, nullptr);
  }
  EXPECT_EQ(Linkage.gauges[0], &gauge_header);
  EXPECT_EQ(Linkage.gauges[1], nullptr);
  EXPECT_EQ(driver->tooltip(), "Test Gauge");
}

}  // namespace
