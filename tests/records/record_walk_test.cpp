// A gauge's static records read as bytes at the host's offsets: the
// exported Linkage, the gauge header, the chain, each element's kind fields,
// the mouse list and the variable table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

#include "zaz/frame.h"

namespace {

static_assert(sizeof(void*) == 4, "the host's format has 4-byte addresses");

uint32_t word(const void* base, std::size_t offset) {
  uint32_t w;
  std::memcpy(&w, static_cast<const uint8_t*>(base) + offset, 4);
  return w;
}
double float64(const void* base, std::size_t offset) {
  double d;
  std::memcpy(&d, static_cast<const uint8_t*>(base) + offset, 8);
  return d;
}
const void* address(uint32_t w) { return reinterpret_cast<const void*>(static_cast<uintptr_t>(w)); }

TEST(RecordWalk, LinkageAndImportTable) {
  const void* linkage = &Linkage;
  EXPECT_EQ(word(linkage, 0), 0x13u);
  EXPECT_NE(word(linkage, 4), 0u);
  EXPECT_NE(word(linkage, 8), 0u);
  EXPECT_EQ(word(linkage, 12), 0u);
  EXPECT_EQ(word(linkage, 16), 0u);
  EXPECT_EQ(word(linkage, 20), 0x800u);
  EXPECT_EQ(address(word(linkage, 24)), &gauge_header);
  EXPECT_EQ(word(linkage, 28), 0u);
  EXPECT_EQ(word(&ImportTable, 0), 0x0Fu);
  EXPECT_EQ(word(&ImportTable, 8), 0u);
  EXPECT_EQ(word(&ImportTable, 12), 0u);
}

TEST(RecordWalk, GaugeHeader) {
  const void* h = address(word(&Linkage, 24));
  EXPECT_EQ(word(h, 0), 0x320u);
  EXPECT_STREQ(static_cast<const char*>(address(word(h, 4))), GAUGE_NAME);
  for (std::size_t off = 12; off < 44; off += 4) EXPECT_EQ(word(h, off), 0u) << off;
  EXPECT_EQ(word(h, 44), 100u);
  EXPECT_NE(word(h, 80), 0u);
  EXPECT_EQ(address(word(h, 84)), reinterpret_cast<const void*>(&frame::gauge_callback));
  for (std::size_t off : {48u, 52u, 76u, 88u, 120u, 192u}) EXPECT_EQ(word(h, off), 0u) << off;
}

TEST(RecordWalk, MouseListCarriesTheTooltip) {
  const void* h = address(word(&Linkage, 24));
  const uint8_t* m = static_cast<const uint8_t*>(address(word(h, 80)));
  const uint32_t kinds[] = {1, 4, 3, 0};
  for (int i = 0; i < 4; ++i) {
    const uint8_t* e = m + 44 * i;
    EXPECT_EQ(word(e, 0), kinds[i]) << i;
    for (std::size_t off = 4; off < 20; off += 4) EXPECT_EQ(word(e, off), 0u);
    EXPECT_EQ(word(e, 20), 0xFFFFFFFFu);
    EXPECT_EQ(word(e, 24) | word(e, 28) | word(e, 32), 0u);
    if (kinds[i] == 4) {
      EXPECT_NE(word(e, 36), 0u);
      EXPECT_NE(word(e, 40), 0u);
    } else {
      EXPECT_EQ(word(e, 36) | word(e, 40), 0u);
    }
  }
}

TEST(RecordWalk, ChainVisitsEveryElementOnce) {
  const void* h = address(word(&Linkage, 24));
  const void* list = address(word(h, 8));
  const uint8_t* e = static_cast<const uint8_t*>(address(word(list, 0)));
  std::set<const void*> seen, failure_lists;
  int count = 0;
  while (e != nullptr) {
    ASSERT_TRUE(seen.insert(e).second) << "element " << count << " visited twice";
    const uint32_t kind = word(e, 0);
    ASSERT_LE(kind, 5u) << count;
    EXPECT_EQ(word(e, 48), 0x83u) << count;
    EXPECT_EQ(address(word(e, 32)), h) << count;
    EXPECT_EQ(word(e, 52) | word(e, 56) | word(e, 16) | word(e, 20) | word(e, 36), 0u) << count;
    const void* failures = address(word(e, 44));
    ASSERT_NE(failures, nullptr) << count;
    EXPECT_TRUE(failure_lists.insert(failures).second) << "element " << count << " shares a failure list";
    EXPECT_EQ(word(failures, 0) | word(failures, 4) | word(failures, 8), 0u) << count;
    if (kind == 2) {
      EXPECT_EQ(word(e, 4), 0xFFFFFFFFu) << count;
      EXPECT_EQ(word(e, 184), 0u) << count;  // the host's text buffer
      EXPECT_GT(word(e, 192), 0u) << count;
      EXPECT_GT(word(e, 196), 0u) << count;
      EXPECT_EQ(word(e, 212) | word(e, 216), 0u) << count;
      EXPECT_EQ(word(e, 284), 1u) << count;
      EXPECT_EQ(word(e, 292), 0x4240u) << count;
      EXPECT_NE(word(e, 312), 0u) << count;
      const char* font = reinterpret_cast<const char*>(e + 248);
      EXPECT_TRUE(std::string(font) == "Quartz" || std::string(font) == "Glass Gauge") << count;
      const uint32_t weight = word(e, 280);
      EXPECT_TRUE(weight == 100 || weight == 400 || weight == 500) << count;
      for (std::size_t off : {60u, 88u, 116u}) EXPECT_EQ(word(e, off), 0u) << count;  // three source tokens
    } else {
      EXPECT_NE(word(e, 4), 0xFFFFFFFFu) << count;
    }
    if (kind != 0) { EXPECT_EQ(word(e, 60), 0u) << count; }  // own source token 0
    if (kind == 1) {
      EXPECT_NE(word(e, 112), 0u) << count;
      EXPECT_GE(word(e, 116), 2u) << count;
      EXPECT_NE(word(e, 224), 0u) << count;
      const uint8_t* table = static_cast<const uint8_t*>(address(word(e, 112)));
      for (uint32_t i = 1; i < word(e, 116); ++i) EXPECT_LT(float64(table, 24 * (i - 1) + 8), float64(table, 24 * i + 8));
    }
    if (kind == 3) { EXPECT_TRUE(word(e, 168) != 0 && word(e, 172) != 0) << count; }
    if (kind == 4) {
      EXPECT_EQ(word(e, 92), 3u) << count;
      EXPECT_GE(word(e, 112), 2u) << count;
      EXPECT_NE(word(e, 132), 0u) << count;
    }
    if (kind == 5) { EXPECT_TRUE(word(e, 244) != 0 && word(e, 248) != 0) << count; }
    if (kind != 1) { EXPECT_EQ(word(e, 24) | word(e, 28), 0u) << count; }
    ++count;
    const uint32_t next_list = word(e, 40);
    if (next_list == 0) break;
    EXPECT_EQ(word(address(next_list), 4), 0u) << count;
    e = static_cast<const uint8_t*>(address(word(address(next_list), 0)));
  }
  EXPECT_EQ(count, ELEMENT_COUNT);
}

TEST(RecordWalk, VariableTableIsPacked28ByteRecords) {
  ASSERT_EQ(module_gauge.variables.size(), static_cast<std::size_t>(VARIABLE_COUNT));
  const uint8_t* table = reinterpret_cast<const uint8_t*>(module_gauge.variables.data());
  for (int i = 0; i < VARIABLE_COUNT; ++i) {
    EXPECT_EQ(word(table, 28 * i), module_gauge.variables[i].token) << i;
    for (std::size_t off = 4; off < 28; off += 4) EXPECT_EQ(word(table, 28 * i + off), 0u) << i;
  }
  EXPECT_EQ(module_gauge.variables[module_gauge.power_slot].token, 0x301u);
}

}  // namespace
